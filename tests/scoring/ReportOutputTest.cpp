// Report text, page cutting, the raw printer port, batches and the printer messages.
#include "scoring/ReportOutput.h"
#include "scoring/OutputFixture.h"
#include "scoring/RawPrinter.h"
#include "scoring/ScoreAndReport.h"
#include "scoring/ScoringFixture.h"

#include <gtest/gtest.h>

#include <cups/cups.h>

#include <functional>

using namespace kvx;
using namespace kvx::test;

namespace {

TEST(ReportPages, CutAtFormFeeds)
{
    struct Case
    {
        const char* text;
        QStringList pages;
    } cases[] = {
        {"A\r\nB\r", {"A\r\nB\r"}},
        {"A\r\n\f\r\nB\r\n\f\r\nC\r", {"A\r\n", "\r\nB\r\n", "\r\nC\r"}},
        {"A\f\fB", {"A", "", "B"}},
        {"", {""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ReportPages(QString::fromLatin1(c.text)), c.pages);
    }
}

TEST(ReportPages, LinesOfAPiece)
{
    struct Case
    {
        const char* piece;
        QStringList lines;
    } cases[] = {
        // The break that ended the form-feed line opens the page with an empty line.
        {"\r\n  NAME\r\nx\r\n", {"", "  NAME", "x"}},
        {"A\r\nB\r", {"A", "B"}},           // the last piece, cut before its final line feed
        {"A\nB\n\nC", {"A", "B", "", "C"}}, // line feeds alone
        {"A\r\n\r\n", {"A", ""}},
        {"", {""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.piece);
        EXPECT_EQ(PageLines(QString::fromLatin1(c.piece)), c.lines);
    }
}

TEST(ReadReportText, AllButTheFinalLineFeed)
{
    QTemporaryDir dir;
    // Windows-1252: 0xE9 is an e with an acute accent. The name is matched in any case.
    ASSERT_TRUE(writeBytes(dir.filePath(QStringLiteral("report.prn")), "Jos\xe9\r\nx\r\n"));
    const Result<QString> text = ReadReportText(dir.path());
    ASSERT_TRUE(text) << str(text.error().message);
    EXPECT_EQ(*text, QStringLiteral("Jos\u00e9\r\nx\r"));

    QTemporaryDir empty;
    const Result<QString> none = ReadReportText(empty.path());
    ASSERT_FALSE(none);
    EXPECT_EQ(none.error().code, err::FileNotFound);
    EXPECT_TRUE(none.error().message.contains(QStringLiteral("REPORT.PRN")));
}

// --- raw printer port ---

TEST(RawPort, EachPrintAddsOneFormFeedLineAndSendsTheWholeFile)
{
    QTemporaryDir dir;
    const QString device = dir.filePath(QStringLiteral("lp0"));
    ASSERT_TRUE(writeBytes(device, {}));
    const QByteArray report = "Line 1\r\nLine 2\r\n";
    ASSERT_TRUE(writeBytes(dir.filePath(QStringLiteral("REPORT.PRN")), report));

    RawPortPrinter port(device);
    ASSERT_TRUE(port.PrintReportFile(dir.path()));
    ASSERT_TRUE(port.PrintReportFile(dir.path()));

    const QByteArray once = report + "\f\r\n";
    const QByteArray twice = once + "\f\r\n";
    EXPECT_EQ(readBytes(dir.filePath(QStringLiteral("REPORT.PRN"))), twice);
    // The device got the file as it stood each time, byte for byte.
    EXPECT_EQ(readBytes(device), once + twice);
}

TEST(RawPort, AFailedPrintLeavesTheReportAsItWas)
{
    QTemporaryDir dir;
    const QByteArray report = "Line 1\r\n";
    ASSERT_TRUE(writeBytes(dir.filePath(QStringLiteral("REPORT.PRN")), report));
    struct Case
    {
        QString device;
        int code;
        const char* says;
    } cases[] = {
        // No such device: the printer is not connected.
        {dir.filePath(QStringLiteral("missing/lp0")), err::DeviceIo, "cannot be reached"},
        // A folder is no printer.
        {dir.path(), err::OsErrorBase + EISDIR, "cannot print"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(str(c.device));
        RawPortPrinter port(c.device);
        const Status st = port.PrintReportFile(dir.path());
        ASSERT_FALSE(st);
        EXPECT_EQ(st.error().code, c.code);
        EXPECT_TRUE(st.error().message.contains(c.device));
        EXPECT_TRUE(st.error().message.contains(QLatin1String(c.says)));
        EXPECT_EQ(readBytes(dir.filePath(QStringLiteral("REPORT.PRN"))), report);
    }
}

TEST(RawPort, AMissingReportIsNotPrinted)
{
    QTemporaryDir dir;
    const QString device = dir.filePath(QStringLiteral("lp0"));
    ASSERT_TRUE(writeBytes(device, {}));
    const Status st = RawPortPrinter(device).PrintReportFile(dir.path());
    ASSERT_FALSE(st);
    EXPECT_EQ(st.error().code, err::FileNotFound);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("REPORT.PRN"))));
    EXPECT_TRUE(readBytes(device).isEmpty());
}

TEST(PrinterErrors, DeviceAndServiceFailuresAreSortedOut)
{
    struct Case
    {
        Error e;
        int code;
        const char* names;
    } cases[] = {
        {deviceError(ENOENT, QStringLiteral("/dev/usb/lp0")), err::DeviceIo, "\"/dev/usb/lp0\""},
        {deviceError(EACCES, QStringLiteral("/dev/lp0")), err::PermissionDenied, "\"/dev/lp0\""},
        {printServiceError(IPP_STATUS_ERROR_SERVICE_UNAVAILABLE, QStringLiteral("office"), {}),
         err::DeviceIo, "\"office\""},
        {printServiceError(IPP_STATUS_ERROR_NOT_FOUND, QStringLiteral("office"), {}),
         err::FileNotFound, "There is no printer \"office\""},
        {printServiceError(IPP_STATUS_ERROR_DOCUMENT_FORMAT_NOT_SUPPORTED, QStringLiteral("office"),
                           QStringLiteral("bad format")),
         err::OsErrorBase + EPROTO, "\"office\" refused the report: bad format"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(str(c.e.message));
        EXPECT_EQ(c.e.code, c.code);
        EXPECT_TRUE(c.e.message.contains(QString::fromUtf8(c.names)));
    }
}

// --- batches ---

// Notes what it is asked to print and what the program folder held at that moment.
class RecordingPrinter : public ReportPrinter
{
public:
    Status PrintReportFile(const QString& programDir) override
    {
        printed.append(readBytes(QDir(programDir).filePath(QStringLiteral("REPORT.PRN"))));
        copiesWhenPrinted.append(static_cast<int>(
            QDir(programDir).entryList({QStringLiteral("temp*")}, QDir::Files).size()));
        if (failAt == printed.size())
            return Error{err::DeviceIo, QStringLiteral("offline")};
        return {};
    }
    Status Finish() override
    {
        ++finished;
        return {};
    }

    QList<QByteArray> printed;
    QList<int> copiesWhenPrinted;
    int failAt = 0;
    int finished = 0;
};

class Batch : public ::testing::Test
{
protected:
    // Each client's report as a batch of one would print it.
    QByteArray reportOf(int n)
    {
        inst.s.CurClient = n;
        EXPECT_TRUE(ScoreAndReport(inst.s));
        return inst.report();
    }

    OutputInstall inst;
    RecordingPrinter printer;
};

TEST_F(Batch, WritesEveryCopyThenPrintsThemInOrder)
{
    const QByteArray r2 = reportOf(2), r5 = reportOf(5), r7 = reportOf(7);
    ASSERT_NE(r2, r5);
    inst.s.CurClient = 1;

    const BatchOutcome out = PrintReportBatch(inst.s, {2, 5, 7}, printer);
    ASSERT_FALSE(out.error) << str(out.error->message);
    EXPECT_EQ(out.printed, 3);
    EXPECT_EQ(readBytes(inst.file(QStringLiteral("temp1"))), r2);
    EXPECT_EQ(readBytes(inst.file(QStringLiteral("temp2"))), r5);
    EXPECT_EQ(readBytes(inst.file(QStringLiteral("temp3"))), r7);
    EXPECT_EQ(printer.printed, (QList<QByteArray>{r2, r5, r7}));
    // All three copies were there before the first report was printed.
    EXPECT_EQ(printer.copiesWhenPrinted, (QList<int>{3, 3, 3}));
    EXPECT_EQ(inst.report(), r7);
    EXPECT_EQ(inst.s.CurClient, 7);
    EXPECT_EQ(printer.finished, 1);
}

TEST_F(Batch, StopsBetweenReports)
{
    struct Case
    {
        BatchStep stopStep;
        int stopAt;
        int written, printed;
    } cases[] = {
        {BatchStep::Printing, 2, 3, 1},
        {BatchStep::Printing, 1, 3, 0},
        {BatchStep::Writing, 2, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stopAt);
        RecordingPrinter p;
        QList<std::pair<BatchStep, int>> told;
        const BatchOutcome out =
            PrintReportBatch(inst.s, {2, 5, 7}, p, [&](BatchStep step, int k, int total) {
                EXPECT_EQ(total, 3);
                told.append({step, k});
                return !(step == c.stopStep && k == c.stopAt);
            });
        EXPECT_TRUE(out.stopped);
        EXPECT_FALSE(out.error);
        EXPECT_EQ(out.written, c.written);
        EXPECT_EQ(out.printed, c.printed);
        EXPECT_EQ(p.printed.size(), c.printed);
        // Nothing is asked after the stop.
        EXPECT_EQ(told.back(), std::make_pair(c.stopStep, c.stopAt));
    }
}

TEST_F(Batch, APrinterFailureEndsTheBatch)
{
    printer.failAt = 2;
    const BatchOutcome out = PrintReportBatch(inst.s, {2, 5, 7}, printer);
    ASSERT_TRUE(out.error);
    EXPECT_EQ(out.error->code, err::DeviceIo);
    EXPECT_EQ(out.printed, 1);
    EXPECT_EQ(printer.printed.size(), 2); // the second was tried, the third never
    EXPECT_EQ(printer.finished, 1);       // what was printed is completed
}

TEST_F(Batch, AClientThatIsNotThereStopsItBeforeAnythingIsWritten)
{
    inst.s.CurClient = 3;
    const BatchOutcome out = PrintReportBatch(inst.s, {2, 8}, printer);
    ASSERT_TRUE(out.error);
    EXPECT_EQ(out.error->code, err::BadRecordNumber);
    EXPECT_TRUE(out.error->message.contains(QStringLiteral("client 8")));
    EXPECT_EQ(out.written, 0);
    EXPECT_FALSE(QFile::exists(inst.file(QStringLiteral("temp1"))));
    EXPECT_EQ(inst.s.CurClient, 3);
}

TEST_F(Batch, AScoringFailurePrintsNothing)
{
    ASSERT_TRUE(QFile::remove(inst.file(QStringLiteral("KVXB2.TXT"))));
    const BatchOutcome out = PrintReportBatch(inst.s, {2, 5}, printer);
    ASSERT_TRUE(out.error);
    EXPECT_TRUE(out.error->message.contains(QStringLiteral("KVXB2.TXT")));
    EXPECT_TRUE(printer.printed.isEmpty());
}

} // namespace
