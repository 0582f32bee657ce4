#include "install/ProgramFolder.h"

#include "install/Settings.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace kvx {

namespace {

// What a copy needs to be an installation; the readers of these files name them too.
const QString kDbName = QStringLiteral("KVX_32.db");
const QString kKeyName = QStringLiteral("KVXB2.TXT");
// Records, per template file, the time and size it had when copied, so that a changed template
// is noticed even when the program has since written to its copy (the question database's
// layout rows are rewritten at every scan).
const QString kStampsName = QStringLiteral(".template-stamps");

bool isUsersOwn(const QString& relative)
{
    const QString name = QFileInfo(relative).fileName().toLower();
    if (relative.contains(u'/'))
        return false;
    if (name == QLatin1String("kvx.ini") || name == QLatin1String("report.prn") ||
        name == QLatin1String("raw.bmp") || name == kStampsName)
        return true;
    // The numbered copies a batch print leaves: temp1, temp2, ...
    if (name.startsWith(QLatin1String("temp"))) {
        bool digits = false;
        name.mid(4).toInt(&digits);
        return digits;
    }
    return false;
}

struct Stamp
{
    qint64 modified = -1;
    qint64 size = -1;
};

QHash<QString, Stamp> readStamps(const QString& path)
{
    QHash<QString, Stamp> stamps;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return stamps;
    // A small file of our own; a damaged line is skipped, so its file counts as never copied.
    const QList<QByteArray> lines = f.read(1 << 20).split('\n');
    for (const QByteArray& line : lines) {
        const QList<QByteArray> parts = line.split('\t');
        if (parts.size() != 3)
            continue;
        bool ok1 = false;
        bool ok2 = false;
        const Stamp s{parts[1].toLongLong(&ok1), parts[2].toLongLong(&ok2)};
        if (ok1 && ok2)
            stamps.insert(QString::fromUtf8(parts[0]), s);
    }
    return stamps;
}

Status writeStamps(const QString& path, const QHash<QString, Stamp>& stamps)
{
    QStringList keys = stamps.keys();
    keys.sort();
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return Error{err::PermissionDenied, QStringLiteral("%1: %2").arg(path, f.errorString())};
    for (const QString& k : keys) {
        const Stamp& s = stamps[k];
        f.write(k.toUtf8() + '\t' + QByteArray::number(s.modified) + '\t' +
                QByteArray::number(s.size) + '\n');
    }
    if (!f.commit())
        return Error{err::PermissionDenied, QStringLiteral("%1: %2").arg(path, f.errorString())};
    return {};
}

// Copies through a temporary file and a rename, so a copy cut short never replaces a good file.
Status copyFile(const QString& from, const QString& to)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return Error{err::PermissionDenied, QStringLiteral("%1: %2").arg(from, in.errorString())};
    if (!QDir().mkpath(QFileInfo(to).absolutePath()))
        return Error{err::PermissionDenied,
                     QStringLiteral("%1: the folder cannot be created").arg(to)};
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly))
        return Error{err::PermissionDenied, QStringLiteral("%1: %2").arg(to, out.errorString())};
    char buffer[1 << 16];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0)
            return Error{err::PermissionDenied,
                         QStringLiteral("%1: %2").arg(from, in.errorString())};
        if (n == 0)
            break;
        if (out.write(buffer, n) != n)
            return Error{err::PermissionDenied,
                         QStringLiteral("%1: %2").arg(to, out.errorString())};
    }
    if (!out.commit())
        return Error{err::PermissionDenied, QStringLiteral("%1: %2").arg(to, out.errorString())};
    return {};
}

} // namespace

bool HoldsInstallation(const QString& dir)
{
    const QDir d(dir);
    return QFileInfo(d.filePath(kDbName)).isFile() && QFileInfo(d.filePath(kKeyName)).isFile();
}

ProgramFolderPlaces DefaultProgramFolderPlaces(const QString& option, const QString& executableDir)
{
    ProgramFolderPlaces p;
    p.option = option;
    p.homeEnv = qEnvironmentVariable("KVX_HOME");
    p.executableDir = executableDir;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!data.isEmpty())
        p.userDir = data + QStringLiteral("/kvx");
    // Relative to the executable, so an installation under any prefix (or DESTDIR) finds its own.
    p.templateDir = QDir::cleanPath(executableDir + QStringLiteral("/../share/kvx"));
    return p;
}

Result<QString> LocateProgramFolder(const ProgramFolderPlaces& p)
{
    QString dir = p.option.isEmpty() ? p.homeEnv : p.option;
    if (dir.isEmpty() && HoldsInstallation(p.executableDir))
        dir = p.executableDir;
    if (dir.isEmpty()) {
        if (!HoldsInstallation(p.templateDir))
            return Error{err::PathNotFound,
                         QStringLiteral("no installation found: %1 holds no %2 and %3, and no "
                                        "template was installed in %4; name the program folder "
                                        "with --program-dir or KVX_HOME")
                             .arg(p.executableDir, kDbName, kKeyName, p.templateDir)};
        if (p.userDir.isEmpty())
            return Error{err::PathNotFound, QStringLiteral("no per-user data folder is known")};
        if (const Status st = SyncFromTemplate(p.templateDir, p.userDir); !st)
            return st.error();
        dir = p.userDir;
    }
    const QDir d(dir);
    if (!d.exists())
        return Error{err::PathNotFound, QStringLiteral("program folder %1 not found").arg(dir)};
    return d.absolutePath();
}

Status SyncFromTemplate(const QString& templateDir, const QString& userDir)
{
    const bool fresh = !QFileInfo::exists(userDir);
    if (!QDir().mkpath(userDir))
        return Error{err::PermissionDenied,
                     QStringLiteral("the program folder %1 cannot be created").arg(userDir)};
    const QString stampsPath = QDir(userDir).filePath(kStampsName);
    QHash<QString, Stamp> stamps = readStamps(stampsPath);
    bool changed = false;
    const QDir from(templateDir);
    QDirIterator it(templateDir, QDir::Files | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo src(it.next());
        const QString rel = from.relativeFilePath(src.filePath());
        if (isUsersOwn(rel))
            continue;
        const QFileInfo dst(QDir(userDir).filePath(rel));
        const Stamp now{src.lastModified().toMSecsSinceEpoch(), src.size()};
        const auto known = stamps.constFind(rel);
        bool copy = !dst.exists();
        if (!copy) {
            copy = known == stamps.constEnd()
                       ? src.lastModified() > dst.lastModified()
                       : (known->modified != now.modified || known->size != now.size);
        }
        if (copy) {
            if (const Status st = copyFile(src.filePath(), dst.filePath()); !st)
                return st;
        }
        if (copy || known == stamps.constEnd() || known->modified != now.modified ||
            known->size != now.size) {
            stamps.insert(rel, now);
            changed = true;
        }
    }
    if (changed) {
        if (const Status st = writeStamps(stampsPath, stamps); !st)
            return st;
    }
    if (fresh && QFileInfo(QDir(userDir).filePath(QStringLiteral("KVXTest"))).isDir()) {
        Settings settings(userDir);
        if (const Status st = settings.writeKey(QStringLiteral("Path"), QStringLiteral("SndPath"),
                                                QDir(userDir).absolutePath());
            !st)
            return st;
    }
    return {};
}

} // namespace kvx
