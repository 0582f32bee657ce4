#include "store/RegularFile.h"

#include "store/DataFile.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvx {

FdCloser::~FdCloser()
{
    if (fd_ >= 0)
        ::close(fd_);
}

int FdCloser::release()
{
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc;
}

Result<int> openRegularFile(const QString& path, int flags, int mode)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), flags | O_NONBLOCK | O_CLOEXEC, mode);
    if (fd < 0)
        return fileError(errno, path);
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0) {
        const int e = errno;
        ::close(fd);
        return fileError(e, path);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return Error{err::BadFileName,
                     QStringLiteral("Not a regular file (%1)").arg(QDir::toNativeSeparators(path))};
    }
    const int fl = ::fcntl(fd, F_GETFL);
    if (fl >= 0 && !(flags & O_NONBLOCK))
        ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
    return fd;
}

Error fileTooLarge(const QString& path, qint64 maxBytes)
{
    return Error{err::FileTooLarge,
                 QStringLiteral("The file %1 is larger than %2 bytes and has not been read.")
                     .arg(QDir::toNativeSeparators(path))
                     .arg(maxBytes)};
}

Result<QByteArray> readRegularFile(const QString& path, qint64 maxBytes)
{
    const Result<int> opened = openRegularFile(path, O_RDONLY);
    if (!opened)
        return opened.error();
    FdCloser fd(*opened);
    struct stat st
    {
    };
    if (::fstat(fd.get(), &st) != 0)
        return fileError(errno, path);
    if (st.st_size > maxBytes)
        return fileTooLarge(path, maxBytes);
    // One byte more than the limit, so that a file growing while it is read is noticed.
    QByteArray bytes(static_cast<qsizetype>(st.st_size) + 1, Qt::Uninitialized);
    if (!readFullyAt(fd.get(), bytes, 0))
        return fileError(errno, path);
    if (bytes.size() > maxBytes)
        return fileTooLarge(path, maxBytes);
    return bytes;
}

bool readFullyAt(int fd, QByteArray& out, qint64 offset)
{
    qsizetype got = 0;
    while (got < out.size()) {
        const ssize_t n = ::pread(fd, out.data() + got, static_cast<size_t>(out.size() - got),
                                  static_cast<off_t>(offset + got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            break;
        got += n;
    }
    out.truncate(got);
    return true;
}

bool writeFullyAt(int fd, const char* data, qint64 size, qint64 offset)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, data + done, static_cast<size_t>(size - done),
                                   static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}

} // namespace kvx
