// Report text, page cutting, the raw printer port, batches and the printer messages.
#include "scoring/OutputFixture.h"
#include "scoring/RawPrinter.h"
#include "scoring/ScoreAndReport.h"
#include "scoring/ScoringFixture.h"

#include <gtest/gtest.h>

#include <cups/cups.h>

using namespace kvx;
using namespace kvx::test;

namespace {

// Read (Windows-1252, the name in any case), cut at form feeds, each page into lines. The
// break that ended a form-feed line opens the next page with an empty line.
TEST(ReportPages, FromTheFileToPagesOfLines)
{
    const std::pair<const char*, QList<QStringList>> cases[] = {
        {"A\r\n\f\r\n  NAME\r\n\f\r\nJos\xe9\r\n", {{"A"}, {"", "  NAME"}, {"", "Jos\u00e9"}}},
        {"A\r\nB\r\n", {{"A", "B"}}},
        {"A\r\n\r\n\fB\f\fC\r\n", {{"A", ""}, {"B"}, {""}, {"C"}}},
        {"A\nB\n\nC\n", {{"A", "B", "", "C"}}},
        {"", {{""}}},
    };
    QTemporaryDir dir;
    for (const auto& [bytes, expected] : cases) {
        ASSERT_TRUE(writeBytes(dir.filePath("report.prn"), bytes));
        QList<QStringList> pages;
        for (const QString& piece : ReportPages(ReadReportText(dir.path()).value()))
            pages.append(PageLines(piece));
        EXPECT_EQ(pages, expected) << bytes;
    }
}

TEST(RawPort, PrintsTheReportWithAFormFeedLineOrLeavesItAsItWas)
{
    QTemporaryDir dir;
    const QString report = dir.filePath("REPORT.PRN"), lp0 = dir.filePath("lp0");
    const QString absent = dir.filePath("no/lp0");
    // device, report (none: missing), error code (0: printed twice), message
    const std::tuple<QString, const char*, int, QString> cases[] = {
        {lp0, "Line 1\r\n", 0, ""},
        {absent, "Line 1\r\n", err::DeviceIo,
         QString("The printer device \"%1\" cannot be reached").arg(absent)},
        {lp0, nullptr, err::FileNotFound, "There is no report to print"},
    };
    for (const auto& [device, bytes, code, says] : cases) {
        QFile::remove(report);
        ASSERT_TRUE(writeBytes(lp0, {}) && (!bytes || writeBytes(report, bytes)));
        RawPortPrinter port(device);
        Status st = port.PrintReportFile(dir.path());
        if (st)
            st = port.PrintReportFile(dir.path());
        EXPECT_EQ(st ? 0 : st.error().code, code) << str(device);
        EXPECT_TRUE(st || st.error().message.startsWith(says)) << str(st.error().message);
        const QByteArray once = bytes + QByteArray("\f\r\n"), twice = once + "\f\r\n";
        EXPECT_EQ(readBytes(report), code ? QByteArray(bytes) : twice);
        EXPECT_EQ(readBytes(lp0), code ? QByteArray() : once + twice);
        EXPECT_EQ(QFile::exists(report), bytes != nullptr); // none is made up
    }
}

// A missing print service is told as an offline printer; a refusal names the printer.
TEST(PrinterErrors, PrintServiceFailuresAreSortedOut)
{
    EXPECT_EQ(printServiceError(IPP_STATUS_ERROR_SERVICE_UNAVAILABLE, "office", "").code,
              err::DeviceIo);
    const Error e =
        printServiceError(IPP_STATUS_ERROR_DOCUMENT_FORMAT_NOT_SUPPORTED, "office", "why");
    EXPECT_NE(e.code, err::DeviceIo);
    EXPECT_EQ(e.message, "The printer \"office\" refused the report: why");
}

TEST(Batch, WritesEveryCopyThenPrintsThemInOrderUnlessItEndsEarly)
{
    struct Case
    {
        QList<int> records;
        const char* removed;            // an installation file taken away first
        std::pair<BatchStep, int> stop; // stopped when told of this step of report k
        int failAt, code;
        const char* says;
        int written, printed, curClient;
    } cases[] = {
        {{2, 5, 7}, nullptr, {}, 0, 0, "", 3, 3, 7},
        {{2, 5, 7}, nullptr, {BatchStep::Printing, 2}, 0, 0, "", 3, 1, 7},
        {{2, 5, 7}, nullptr, {BatchStep::Printing, 1}, 0, 0, "", 3, 0, 7},
        {{2, 5, 7}, nullptr, {BatchStep::Writing, 2}, 0, 0, "", 1, 0, 2},
        // Every record number is checked before anything is written.
        {{2, 8}, nullptr, {}, 0, err::BadRecordNumber, "no client 8", 0, 0, 3},
        {{2, 5}, "KVXB2.TXT", {}, 0, err::FileNotFound, "KVXB2.TXT", 0, 0, 2},
        {{2, 5, 7}, nullptr, {}, 2, err::DeviceIo, "offline", 3, 1, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        OutputInstall inst;
        ASSERT_TRUE(!c.removed || QFile::remove(inst.file(c.removed)));
        RecordingPrinter p;
        p.failAt = c.failAt;
        inst.s.CurClient = 3;
        std::pair<BatchStep, int> last;
        const BatchOutcome out =
            PrintReportBatch(inst.s, c.records, p, [&](BatchStep step, int k, int) {
                last = {step, k};
                return last != c.stop;
            });
        EXPECT_EQ(out.stopped, c.stop.second > 0);
        EXPECT_TRUE(!out.stopped || last == c.stop); // nothing asked after a stop
        EXPECT_EQ(out.error ? out.error->code : 0, c.code);
        EXPECT_TRUE(!out.error || out.error->message.contains(c.says)) << str(out.error->message);
        EXPECT_EQ(std::tuple(out.written, out.printed, inst.s.CurClient),
                  std::tuple(c.written, c.printed, c.curClient));
        for (int k = 1; k <= 3; ++k) {
            const QByteArray copy = readBytes(inst.file(BatchCopyName(k)));
            EXPECT_EQ(!copy.isEmpty(), k <= c.written) << k;
            EXPECT_TRUE(k > c.written ||
                        copy.contains("Client " + QByteArray::number(c.records[k - 1])));
        }
        EXPECT_EQ(p.printed.size(), c.printed + (c.failAt ? 1 : 0));
        for (qsizetype j = 0; j < p.printed.size(); ++j) {
            EXPECT_EQ(p.printed[j], readBytes(inst.file(BatchCopyName(j + 1))));
            EXPECT_EQ(p.copies[j], c.written);
        }
        // The report file is left as the last copy printed; what was printed is completed.
        EXPECT_TRUE(p.printed.isEmpty() || inst.report() == p.printed.back());
        EXPECT_TRUE(c.written < c.records.size() || p.finished == 1);
    }
}

} // namespace
