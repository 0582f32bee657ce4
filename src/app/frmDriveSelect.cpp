#include "app/frmDriveSelect.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QStorageInfo>
#include <QVBoxLayout>

#include <algorithm>

namespace kvx {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kChooseRole = Qt::UserRole + 1;
constexpr int kChosenRole = Qt::UserRole + 2; // a folder the operator picked

const QString kHelpText =
    QStringLiteral("Use the dropdown box to select the drive that the floppy data \n"
                   "diskette or USB Flash Drive is in. Floppy drives are usually A: or\n"
                   "B: and USB drives are usually F: or G:");

// File systems of the kernel and the desktop, never a data disk.
bool isPseudoFileSystem(const QByteArray& type)
{
    static const char* const pseudo[] = {
        "autofs",      "binfmt_misc",     "bpf",        "cgroup",     "cgroup2",
        "configfs",    "debugfs",         "devpts",     "devtmpfs",   "efivarfs",
        "fusectl",     "hugetlbfs",       "mqueue",     "nsfs",       "overlay",
        "proc",        "pstore",          "ramfs",      "rpc_pipefs", "securityfs",
        "squashfs",    "sysfs",           "tmpfs",      "tracefs",    "nfsd",
        "fuse.portal", "fuse.gvfsd-fuse", "fuse.lxcfs", "selinuxfs",  "zram"};
    return std::any_of(std::begin(pseudo), std::end(pseudo),
                       [&](const char* p) { return type == p; });
}

bool isUnder(const QString& path, const QString& folder)
{
    return !folder.isEmpty() && folder != u"/" &&
           (path == folder || path.startsWith(folder + u'/'));
}

// Where the desktop mounts removable media, and where an administrator mounts by hand.
bool isRemovableMount(const QString& root)
{
    return (isUnder(root, QStringLiteral("/media")) && root != u"/media") ||
           (isUnder(root, QStringLiteral("/run/media")) && root != u"/run/media") ||
           isUnder(root, QStringLiteral("/mnt"));
}

// Where removable media and a user's own mounts appear.
bool isOfferedMount(const QString& root, const QString& home)
{
    return isRemovableMount(root) || isUnder(root, home);
}

// Mount points escape blanks, tabs, new lines and backslashes as three octal digits.
QString unescapeMountPath(const QByteArray& field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int c = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out += static_cast<char>(c);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return QFile::decodeName(out);
}

} // namespace

QString FileDialogFolderPicker::PickFolder(QWidget* parent, const QString& startFolder)
{
    return QFileDialog::getExistingDirectory(parent, QStringLiteral("Data disk folder"),
                                             startFolder);
}

QList<Volume> parseMountInfo(const QByteArray& table)
{
    // id parent major:minor root mount-point options [optional...] - type source super-options
    QList<Volume> list;
    const QList<QByteArray> lines = table.split('\n');
    for (const QByteArray& line : lines) {
        const QList<QByteArray> f = line.simplified().split(' ');
        const qsizetype dash = f.indexOf("-");
        if (f.size() < 5 || dash < 6 || dash + 1 >= f.size())
            continue;
        list.append({unescapeMountPath(f[4]), QString(), f[dash + 1], true});
    }
    return list;
}

QList<Volume> mountedVolumes()
{
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<Volume> list = parseMountInfo(file.readAll());
    const QString home = QDir::homePath();
    for (Volume& v : list) {
        if (isOfferedMount(v.root, home) && !isPseudoFileSystem(v.type)) {
            const QStorageInfo info(v.root);
            v.name = info.name();
            v.ready = info.isValid() && info.isReady();
        }
    }
    return list;
}

QList<DriveEntry> driveEntries(const QList<Volume>& volumes)
{
    return driveEntries(volumes, QDir::homePath());
}

QList<DriveEntry> driveEntries(const QList<Volume>& volumes, const QString& home)
{
    QList<DriveEntry> entries;
    const QString homeFolder = QDir::cleanPath(home);
    for (const Volume& v : volumes) {
        if (!v.ready || isPseudoFileSystem(v.type))
            continue;
        const QString root = QDir::cleanPath(v.root);
        if (!isOfferedMount(root, homeFolder))
            continue;
        const bool removable = isRemovableMount(root);
        if (std::any_of(entries.begin(), entries.end(),
                        [&](const DriveEntry& e) { return e.path == root; }))
            continue; // mounted twice over
        QString label = QDir::toNativeSeparators(root);
        if (!v.name.isEmpty())
            label += QStringLiteral("  [") + v.name + u']';
        entries.append({label, root, removable});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const DriveEntry& a, const DriveEntry& b) {
        if (a.removable != b.removable)
            return a.removable;
        return a.path < b.path;
    });
    return entries;
}

frmDriveSelect::frmDriveSelect(Session& session, Prompter& prompter, FolderPicker& picker,
                               QWidget* parent)
    : KvxScreen(session, prompter, parent), picker_(picker)
{
    setObjectName(QStringLiteral("frmDriveSelect"));
    setWindowTitle(QStringLiteral("Please select a drive"));
    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel(
        QStringLiteral(" Choose the drive associated with the data disk. (Usually A: or E:)"),
        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(Label1);

    drDrive = new QComboBox(this);
    drDrive->setObjectName(QStringLiteral("drDrive"));
    drDrive->setMinimumContentsLength(40);
    drDrive->setAccessibleName(QStringLiteral("Data disk drive"));
    Label1->setBuddy(drDrive);
    layout->addWidget(drDrive);

    auto* buttons = new QHBoxLayout;
    cmdhelp = new QPushButton(QStringLiteral("Help"), this);
    cmdhelp->setObjectName(QStringLiteral("cmdhelp"));
    cmdDone = new QPushButton(QStringLiteral("Done"), this);
    cmdDone->setObjectName(QStringLiteral("cmdDone"));
    cmdDone->setDefault(true);
    buttons->addWidget(cmdhelp);
    buttons->addStretch();
    buttons->addWidget(cmdDone);
    layout->addLayout(buttons);
    MsgPanel->hide();

    connect(cmdhelp, &QPushButton::clicked, this, [this] { this->prompter().Message(kHelpText); });
    connect(cmdDone, &QPushButton::clicked, this, [this] {
        if (drDrive->currentIndex() == chooseEntry() && !chooseFolder())
            return;
        selected_ = SelectedDrive();
        accept(); // hides the screen; the object and its choice stay
    });
    connect(drDrive, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0 && i != chooseEntry())
            lastIndex_ = i;
    });
    connect(drDrive, &QComboBox::activated, this, &frmDriveSelect::onActivated);
    refreshDrives();
}

int frmDriveSelect::chooseEntry() const
{
    return drDrive->findData(true, kChooseRole);
}

void frmDriveSelect::refreshDrives(const QList<Volume>& volumes)
{
    const QString keep = selected_; // the operator's last choice
    QStringList folders;            // folders chosen earlier stay on offer
    for (int i = 0; i < drDrive->count(); ++i) {
        if (drDrive->itemData(i, kChooseRole).toBool())
            continue;
        if (drDrive->itemData(i, kChosenRole).toBool())
            folders << drDrive->itemData(i, kPathRole).toString();
    }

    const QSignalBlocker block(drDrive);
    drDrive->clear();
    auto add = [this](const QString& label, const QString& path) {
        if (drDrive->findData(path, kPathRole) < 0)
            drDrive->addItem(label, path);
    };
    // The disk in use is always on offer, marked; a folder that just failed to load is not it.
    const QString current = session().DataPath;
    if (QDir::isAbsolutePath(current) && QDir(current).exists())
        add(QDir::toNativeSeparators(current) + QStringLiteral("  (data disk in use)"), current);
    const QString last = lastFolder_.isEmpty() ? QString() : QDir::cleanPath(lastFolder_);
    if (QDir::isAbsolutePath(last) && QDir(last).exists())
        add(QDir::toNativeSeparators(last), last);
    for (const QString& f : folders)
        addFolderEntry(f);
    for (const DriveEntry& e : driveEntries(volumes))
        add(e.label, e.path);
    drDrive->addItem(QStringLiteral("Choose a folder..."));
    drDrive->setItemData(drDrive->count() - 1, true, kChooseRole);

    int found = keep.isEmpty() ? -1 : drDrive->findData(keep, kPathRole);
    if (found < 0 && !last.isEmpty())
        found = drDrive->findData(last, kPathRole);
    lastIndex_ = found >= 0 ? found : 0;
    drDrive->setCurrentIndex(lastIndex_);
}

void frmDriveSelect::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        reject();
        return;
    }
    KvxScreen::keyPressEvent(e);
}

QString frmDriveSelect::SelectedDrive() const
{
    int i = drDrive->currentIndex();
    if (i == chooseEntry())
        i = lastIndex_;
    return i >= 0 && i < drDrive->count() ? drDrive->itemData(i, kPathRole).toString() : QString();
}

int frmDriveSelect::addFolderEntry(const QString& folder)
{
    int i = drDrive->findData(folder, kPathRole);
    if (i < 0) {
        const int choose = chooseEntry();
        i = choose >= 0 ? choose : drDrive->count();
        drDrive->insertItem(i, QDir::toNativeSeparators(folder), folder);
        drDrive->setItemData(i, true, kChosenRole);
    }
    return i;
}

bool frmDriveSelect::chooseFolder()
{
    const QString start = SelectedDrive().isEmpty() ? QDir::homePath() : SelectedDrive();
    const QString folder = picker_.PickFolder(this, start);
    if (folder.isEmpty()) {
        drDrive->setCurrentIndex(lastIndex_);
        return false;
    }
    drDrive->setCurrentIndex(addFolderEntry(QDir::cleanPath(folder)));
    selected_ = SelectedDrive();
    return true;
}

void frmDriveSelect::onActivated(int index)
{
    if (index == chooseEntry())
        chooseFolder();
}

} // namespace kvx
