#include "store/RuntimeFolder.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace kvx {
namespace {

// Ours alone: a real folder (not a link), owned by us, closed to everyone else.
bool isPrivateFolder(const QByteArray& path)
{
    struct stat st
    {
    };
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 077) == 0;
}

} // namespace

void ensureRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QByteArray base = QFile::encodeName(QDir::tempPath());
    QByteArray path = base + "/kvx-runtime-" + QByteArray::number(::getuid());
    if (::mkdir(path.constData(), 0700) != 0 && !isPrivateFolder(path)) {
        // Taken by someone else: a fresh folder of our own instead.
        QByteArray pattern = base + "/kvx-runtime-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            return; // the toolkit's own fallback, with its warning
        path = pattern;
    }
    if (isPrivateFolder(path))
        qputenv("XDG_RUNTIME_DIR", path);
}

} // namespace kvx
