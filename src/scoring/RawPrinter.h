#pragma once

#include "scoring/ReportOutput.h"

#include <QByteArray>

namespace kvx {

// The print queue to use: name itself when the system knows it, the user's default queue
// when name is empty. Fails with err::DeviceIo when the print service cannot be reached.
Result<QString> ResolvePrintQueue(const QString& name);

// Sends document to a print queue (empty: the default queue) as one job. format is the
// document's MIME type ("application/vnd.cups-raw" for bytes the printer takes as they are).
Status SubmitPrintJob(const QString& queue, const QString& title, const QByteArray& document,
                      const char* format);

// Sends bytes unchanged to a raw printer: a path starting with "/" is a device written
// directly (it must exist), anything else is a print queue that gets them as a raw job.
Status SendRaw(const QString& printer, const QByteArray& bytes, const QString& title);

// The printer error for a print service status (an ipp_status_t) on queue.
Error printServiceError(int ippStatus, const QString& queue, const QString& detail);

// The printer error for an errno of a printer device.
Error deviceError(int errnum, const QString& device);

// The raw printer port: a form-feed line is added to the end of "REPORT.PRN", which then
// goes to the printer byte for byte. The added line stays; when sending fails the file is
// put back as it was, so that printing again adds one line, not two.
class RawPortPrinter : public ReportPrinter
{
public:
    // printer as for SendRaw; empty means the default print queue.
    explicit RawPortPrinter(QString printer) : printer_(std::move(printer)) {}
    Status PrintReportFile(const QString& programDir) override;

private:
    QString printer_;
};

} // namespace kvx
