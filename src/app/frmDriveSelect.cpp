#include "app/frmDriveSelect.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
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

bool startsWithAny(const QString& path, std::initializer_list<const char*> prefixes)
{
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](const char* p) { return path.startsWith(QLatin1String(p)); });
}

} // namespace

QString FileDialogFolderPicker::PickFolder(QWidget* parent, const QString& startFolder)
{
    return QFileDialog::getExistingDirectory(parent, QStringLiteral("Data disk folder"),
                                             startFolder);
}

QList<Volume> mountedVolumes()
{
    QList<Volume> list;
    const auto volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& v : volumes) {
        if (v.isValid())
            list.append({v.rootPath(), v.name(), v.fileSystemType(), v.isReady()});
    }
    return list;
}

QList<DriveEntry> driveEntries(const QList<Volume>& volumes)
{
    QList<DriveEntry> entries;
    for (const Volume& v : volumes) {
        if (!v.ready)
            continue;
        const QString& root = v.root;
        const QByteArray& type = v.type;
        // System areas never hold a data disk.
        if (type == "squashfs" || type == "devtmpfs" || type == "proc" || type == "sysfs")
            continue;
        if (startsWithAny(root, {"/proc", "/sys", "/dev", "/boot", "/snap", "/etc"}))
            continue;
        const bool removable = startsWithAny(root, {"/media/", "/run/media/", "/mnt/"});
        if (root.startsWith(QLatin1String("/run")) && !removable)
            continue;
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
    const QString keep = SelectedDrive();
    QStringList folders; // folders chosen earlier stay on offer
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
    const QString current = session().DataPath;
    if (QDir::isAbsolutePath(current) && QDir(current).exists())
        add(QDir::toNativeSeparators(current) + QStringLiteral("  (data disk in use)"), current);
    for (const QString& f : folders)
        addFolderEntry(f);
    for (const DriveEntry& e : driveEntries(volumes))
        add(e.label, e.path);
    drDrive->addItem(QStringLiteral("Choose a folder..."));
    drDrive->setItemData(drDrive->count() - 1, true, kChooseRole);

    const int found = keep.isEmpty() ? -1 : drDrive->findData(keep, kPathRole);
    lastIndex_ = found >= 0 ? found : 0;
    drDrive->setCurrentIndex(lastIndex_);
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
    return true;
}

void frmDriveSelect::onActivated(int index)
{
    if (index == chooseEntry())
        chooseFolder();
}

} // namespace kvx
