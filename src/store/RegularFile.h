#pragma once

#include "store/Result.h"

#include <QByteArray>
#include <QString>

namespace kvx {

// Opens path only when it is a regular file. The open itself never waits (a FIFO or a
// device in the file's place would otherwise block or stream forever); anything else is
// refused with err::BadFileName. flags are open(2) flags; O_NONBLOCK is taken off again once
// the file is known to be regular. Returns the descriptor, which the caller closes.
Result<int> openRegularFile(const QString& path, int flags, int mode = 0666);

// The whole content of a regular file of at most maxBytes bytes. A larger file is refused
// with err::FileTooLarge and nothing of it is read.
Result<QByteArray> readRegularFile(const QString& path, qint64 maxBytes);

// The error for a file that is larger than a file of its kind can be.
Error fileTooLarge(const QString& path, qint64 maxBytes);

// Closes fd on scope exit.
class FdCloser
{
public:
    explicit FdCloser(int fd) : fd_(fd) {}
    ~FdCloser();
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;
    FdCloser(FdCloser&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FdCloser& operator=(FdCloser&&) = delete;
    int get() const { return fd_; }
    // Closes now and returns close(2)'s result: on some file systems that is where a write
    // is found to have failed.
    int release();

private:
    int fd_;
};

// pread/pwrite of the whole range, retried after interruptions and short transfers.
// Return false with errno set on failure; a read ending early at the end of the file
// shortens out.
bool readFullyAt(int fd, QByteArray& out, qint64 offset);
bool writeFullyAt(int fd, const char* data, qint64 size, qint64 offset);

} // namespace kvx
