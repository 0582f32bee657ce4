#include "common/TestSupport.h"

#include <QDirIterator>
#include <QProcess>

#include <sys/mount.h>
#include <unistd.h>

namespace kvx::test {

ToolRun runKvxtool(const QStringList& args, const QString& workDir)
{
    QProcess p;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(qEnvironmentVariable("KVX_BUILD_DIR") + QStringLiteral("/bin/kvxtool"), args);
    if (!p.waitForFinished(120000))
        return {-1, {}, "kvxtool did not finish"};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

ReadOnlyFolder::ReadOnlyFolder()
{
    if (!dir_.isValid())
        return;
    if (::geteuid() == 0) {
        const QByteArray p = QFile::encodeName(dir_.path());
        mounted_ = ::mount("kvxtest", p.constData(), "tmpfs", 0, "size=4m") == 0;
        valid_ = mounted_;
    } else {
        valid_ = true;
    }
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    if (mounted_) {
        const QByteArray p = QFile::encodeName(dir_.path());
        ::umount2(p.constData(), MNT_DETACH);
    } else {
        QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

bool ReadOnlyFolder::makeReadOnly()
{
    if (mounted_) {
        const QByteArray p = QFile::encodeName(dir_.path());
        return ::mount("kvxtest", p.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=4m") == 0;
    }
    QDirIterator it(dir_.path(), QDir::Files);
    while (it.hasNext())
        QFile::setPermissions(it.next(), QFile::ReadOwner);
    return QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner);
}

bool ReadOnlyFolder::makeWritable()
{
    if (mounted_) {
        const QByteArray p = QFile::encodeName(dir_.path());
        return ::mount("kvxtest", p.constData(), "tmpfs", MS_REMOUNT, "size=4m") == 0;
    }
    if (!QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return false;
    QDirIterator it(dir_.path(), QDir::Files);
    while (it.hasNext())
        QFile::setPermissions(it.next(), QFile::ReadOwner | QFile::WriteOwner);
    return true;
}

} // namespace kvx::test
