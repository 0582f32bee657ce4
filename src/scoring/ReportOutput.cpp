#include "scoring/ReportOutput.h"

#include "scoring/ReportWriter.h"
#include "scoring/ScoreAndReport.h"
#include "store/Cp1252.h"
#include "store/DataFile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cerrno>

namespace kvx {

namespace {

Result<QByteArray> readWhole(const QString& path)
{
    QFile f(path);
    if (!f.exists())
        return Error{err::FileNotFound,
                     QStringLiteral("There is no report to print: %1 is missing.")
                         .arg(QDir::toNativeSeparators(path))};
    errno = 0;
    if (!f.open(QIODevice::ReadOnly))
        return reportFileError(errno, path, f.errorString());
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return reportFileError(EIO, path, f.errorString());
    return bytes;
}

Status writeWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    errno = 0;
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        return reportFileError(errno != 0 ? errno : EIO, path, f.errorString());
    return {};
}

QString reportPath(const QString& programDir)
{
    return resolveFileName(programDir, kReportFileName);
}

} // namespace

Error reportFileError(int errnum, const QString& path, const QString& why)
{
    Error e = fileError(errnum, path);
    if (e.code == err::DeviceIo)
        e.code = err::OsErrorBase + EIO;
    e.message = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), why);
    return e;
}

QString BatchCopyName(int k)
{
    return QStringLiteral("temp") + QString::number(k);
}

Result<QString> ReadReportText(const QString& programDir)
{
    Result<QByteArray> bytes = readWhole(reportPath(programDir));
    if (!bytes)
        return bytes.error();
    // All of the file but its last character, the line feed that ends the last line.
    bytes->chop(1);
    return cp1252::decode(*bytes);
}

QStringList ReportPages(const QString& text)
{
    return text.split(QChar(u'\f'));
}

QStringList PageLines(const QString& piece)
{
    QString text = piece;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // A text cut just before its final line feed ends in a lone carriage return.
    if (text.endsWith(u'\r'))
        text.chop(1);
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text.split(u'\n');
}

BatchOutcome PrintReportBatch(Session& s, const QList<int>& records, ReportPrinter& printer,
                              const BatchProgress& progress)
{
    BatchOutcome out;
    out.total = static_cast<int>(records.size());
    for (int n : records) {
        if (n < 1 || n > s.NumClients) {
            out.error = Error{err::BadRecordNumber,
                              QStringLiteral("There is no client %1 on the data disk; nothing "
                                             "has been printed.")
                                  .arg(n)};
            return out;
        }
    }
    const QDir dir(s.ProgramDir);
    for (int k = 1; k <= out.total; ++k) {
        if (progress && !progress(BatchStep::Writing, k, out.total)) {
            out.stopped = true;
            return out;
        }
        s.CurClient = records[k - 1];
        if (const Status st = ScoreAndReport(s); !st) {
            out.error = st.error();
            return out;
        }
        const Result<QByteArray> report = readWhole(reportPath(s.ProgramDir));
        if (!report) {
            out.error = report.error();
            return out;
        }
        if (const Status st = writeWhole(dir.filePath(BatchCopyName(k)), *report); !st) {
            out.error = st.error();
            return out;
        }
        ++out.written;
    }
    for (int k = 1; k <= out.total; ++k) {
        if (progress && !progress(BatchStep::Printing, k, out.total)) {
            out.stopped = true;
            break;
        }
        const Result<QByteArray> copy = readWhole(dir.filePath(BatchCopyName(k)));
        if (!copy) {
            out.error = copy.error();
            break;
        }
        if (const Status st = writeWhole(reportPath(s.ProgramDir), *copy); !st) {
            out.error = st.error();
            break;
        }
        if (const Status st = printer.PrintReportFile(s.ProgramDir); !st) {
            out.error = st.error();
            break;
        }
        ++out.printed;
    }
    // What was printed is completed even when the batch ended early.
    if (const Status st = printer.Finish(); !st && !out.error)
        out.error = st.error();
    return out;
}

void ShowPrinterError(Prompter& prompter, const Error& e)
{
    if (e.code == err::DeviceIo)
        prompter.Message(kPrinterOfflineText, Prompter::Buttons::Ok, Prompter::Icon::None,
                         kPrinterErrorTitle);
    else
        prompter.Message(e.message, Prompter::Buttons::Ok, Prompter::Icon::Critical,
                         kPrinterErrorTitle);
}

QString BatchStoppedText(const BatchOutcome& o)
{
    const QString reports = o.printed == 1 ? QStringLiteral("report") : QStringLiteral("reports");
    if (o.stopped)
        return QStringLiteral("Printing was stopped: %1 %2 of %3 printed.")
            .arg(o.printed)
            .arg(reports)
            .arg(o.total);
    return QStringLiteral("Printing ended early: %1 %2 of %3 printed.")
        .arg(o.printed)
        .arg(reports)
        .arg(o.total);
}

} // namespace kvx
