#pragma once

#include "store/Result.h"
#include "store/Session.h"
#include "ui/Prompter.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace kvx {

inline const QString kPrinterErrorTitle = QStringLiteral("Printer Error");
inline const QString kPrinterOfflineText =
    QStringLiteral("Communication to the printer is not found, either turn the printer online or "
                   "check your connection and re-try again");

// The batch copies of the report: "temp1", "temp2", ... in the program folder.
QString BatchCopyName(int k);

// A failed file operation of the report output, told apart from a printer failure.
Error reportFileError(int errnum, const QString& path, const QString& why);

// The report file "REPORT.PRN" of the program folder (name matched without regard to case),
// decoded, without its final line feed.
Result<QString> ReadReportText(const QString& programDir);

// The report cut at its form feeds: the piece before the first one, then each piece from
// the character right after its form feed. The form feeds themselves are dropped.
QStringList ReportPages(const QString& text);

// The printed lines of one piece: every line break (CR LF, or LF alone) starts a new line.
// The break that ends the piece opens no line of its own.
QStringList PageLines(const QString& piece);

// Where a report goes when it is printed: the system printer, the raw printer port, or a
// PDF file. A device failure carries err::DeviceIo; every other failure names the printer.
class ReportPrinter
{
public:
    virtual ~ReportPrinter() = default;
    // Prints "REPORT.PRN" of the program folder as it stands.
    virtual Status PrintReportFile(const QString& programDir) = 0;
    // Ends the output after the last report of a run (a PDF file is completed here).
    virtual Status Finish() { return {}; }
};

// The two steps of a batch: every report written to its copy, then every copy printed.
enum class BatchStep
{
    Writing,
    Printing
};

// Told before each report of a batch is written or printed (k counts from 1); returning
// false stops the batch there.
using BatchProgress = std::function<bool(BatchStep step, int k, int total)>;

struct BatchOutcome
{
    int total = 0;
    int written = 0;
    int printed = 0;
    bool stopped = false;
    std::optional<Error> error;
};

// Scores and writes the report of each record in turn (CurClient = record) and keeps it as
// "temp"k; only when all are written are the copies put back over "REPORT.PRN" one by one
// and printed. CurClient is left at the last record written. A stop or a failure prints
// nothing more.
BatchOutcome PrintReportBatch(Session& s, const QList<int>& records, ReportPrinter& printer,
                              const BatchProgress& progress = {});

// Tells the operator why printing failed: the device message for a device failure,
// otherwise the failure's own text, both titled "Printer Error".
void ShowPrinterError(Prompter& prompter, const Error& e);

// What a batch that ended early has to say for itself.
QString BatchStoppedText(const BatchOutcome& outcome);

} // namespace kvx
