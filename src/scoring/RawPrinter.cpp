#include "scoring/RawPrinter.h"

#include "scoring/ReportWriter.h"
#include "store/DataFile.h"

#include <QDir>
#include <QFile>

#include <cups/cups.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvx {

namespace {

QString quoted(const QString& name)
{
    return u'"' + name + u'"';
}

QString lastCupsMessage()
{
    const char* m = cupsLastErrorString();
    return m ? QString::fromLocal8Bit(m) : QString();
}

Status cupsStatus(const QString& queue)
{
    return printServiceError(cupsLastError(), queue, lastCupsMessage());
}

Status writeToDevice(const QString& device, const QByteArray& bytes)
{
    const QByteArray path = QFile::encodeName(device);
    // Never created: a printer device that is not there is a printer that is not connected.
    int fd = -1;
    do {
        fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return deviceError(errno, device);
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n =
            ::write(fd, bytes.constData() + sent, static_cast<size_t>(bytes.size() - sent));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int errnum = errno;
            ::close(fd);
            return deviceError(errnum, device);
        }
        sent += n;
    }
    if (::close(fd) != 0 && errno != EINTR)
        return deviceError(errno, device);
    return {};
}

} // namespace

Error printServiceError(int ippStatus, const QString& queue, const QString& detail)
{
    const QString printer = queue.isEmpty() ? QStringLiteral("(default)") : quoted(queue);
    switch (static_cast<ipp_status_t>(ippStatus)) {
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
    case IPP_STATUS_ERROR_DEVICE:
    case IPP_STATUS_ERROR_TIMEOUT:
        return {err::DeviceIo,
                QStringLiteral("The printer %1 cannot be reached: %2").arg(printer, detail)};
    case IPP_STATUS_ERROR_NOT_FOUND:
        return {err::FileNotFound,
                QStringLiteral("There is no printer %1 on this computer.").arg(printer)};
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
        return {err::OsErrorBase + EBUSY,
                QStringLiteral("The printer %1 is not accepting print jobs.").arg(printer)};
    case IPP_STATUS_ERROR_FORBIDDEN:
    case IPP_STATUS_ERROR_NOT_AUTHORIZED:
    case IPP_STATUS_ERROR_NOT_AUTHENTICATED:
        return {err::PermissionDenied,
                QStringLiteral("The printer %1 does not allow this user to print.").arg(printer)};
    default:
        return {err::OsErrorBase + EPROTO,
                QStringLiteral("The printer %1 refused the report: %2").arg(printer, detail)};
    }
}

Error deviceError(int errnum, const QString& device)
{
    const QString why = QString::fromLocal8Bit(std::strerror(errnum));
    switch (errnum) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case EIO:
    case EBUSY:
    case ETIMEDOUT:
    case EPIPE:
        return {
            err::DeviceIo,
            QStringLiteral("The printer device %1 cannot be reached: %2").arg(quoted(device), why)};
    case EACCES:
    case EPERM:
        return {err::PermissionDenied,
                QStringLiteral("The printer device %1 may not be written: %2")
                    .arg(quoted(device), why)};
    default:
        return {err::OsErrorBase + errnum,
                QStringLiteral("The printer device %1 cannot print: %2").arg(quoted(device), why)};
    }
}

Result<QString> ResolvePrintQueue(const QString& name)
{
    const QByteArray wanted = name.toLocal8Bit();
    cups_dest_t* dest =
        cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.isEmpty() ? nullptr : wanted.constData(), nullptr);
    if (!dest) {
        const ipp_status_t status = cupsLastError();
        if (status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE || status == IPP_STATUS_ERROR_TIMEOUT)
            return printServiceError(status, name, lastCupsMessage());
        if (name.isEmpty())
            return Error{err::FileNotFound,
                         QStringLiteral("No default printer is set up on this computer.")};
        return printServiceError(IPP_STATUS_ERROR_NOT_FOUND, name, {});
    }
    QString queue = QString::fromLocal8Bit(dest->name);
    if (dest->instance)
        queue += u'/' + QString::fromLocal8Bit(dest->instance);
    cupsFreeDests(1, dest);
    return queue;
}

Status SubmitPrintJob(const QString& queue, const QString& title, const QByteArray& document,
                      const char* format)
{
    const Result<QString> resolved = ResolvePrintQueue(queue);
    if (!resolved)
        return resolved.error();
    // An instance ("queue/instance") is a set of options on its queue; the job goes to the queue.
    const QByteArray name = resolved->section(u'/', 0, 0).toLocal8Bit();
    const QByteArray jobTitle = title.toLocal8Bit();
    const int job =
        cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), jobTitle.constData(), 0, nullptr);
    if (job <= 0)
        return cupsStatus(*resolved);
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), job, jobTitle.constData(), format,
                          1) != HTTP_STATUS_CONTINUE) {
        const Status st = cupsStatus(*resolved);
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
        return st;
    }
    if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, document.constData(),
                             static_cast<size_t>(document.size())) != HTTP_STATUS_CONTINUE) {
        const Status st = cupsStatus(*resolved);
        cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData());
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
        return st;
    }
    if (cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData()) > IPP_STATUS_OK_CONFLICTING) {
        const Status st = cupsStatus(*resolved);
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
        return st;
    }
    return {};
}

Status SendRaw(const QString& printer, const QByteArray& bytes, const QString& title)
{
    if (printer.startsWith(u'/'))
        return writeToDevice(printer, bytes);
    return SubmitPrintJob(printer, title, bytes, CUPS_FORMAT_RAW);
}

Status RawPortPrinter::PrintReportFile(const QString& programDir)
{
    const QString path = resolveFileName(programDir, kReportFileName);
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFile::exists(path))
        return Error{err::FileNotFound,
                     QStringLiteral("There is no report to print: %1 is missing.").arg(shown)};
    QFile f(path);
    errno = 0;
    if (!f.open(QIODevice::ReadWrite))
        return reportFileError(errno, path, f.errorString());
    const qint64 before = f.size();
    // The form-feed line: the form feed and the line's CR LF.
    QByteArray bytes = f.readAll();
    bytes.append("\f\r\n");
    if (f.error() != QFileDevice::NoError || !f.seek(before) || f.write("\f\r\n", 3) != 3 ||
        !f.flush()) {
        const Error e = reportFileError(errno != 0 ? errno : EIO, path, f.errorString());
        f.resize(before);
        return e;
    }
    const Status sent = SendRaw(printer_, bytes, kReportFileName);
    if (!sent)
        f.resize(before);
    return sent;
}

} // namespace kvx
