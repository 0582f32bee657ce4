// PDF files read back with poppler-utils, a real print queue (scripts/start-cups), kvxtool print.
#include "scoring/ReportPrint.h"
#include "scoring/OutputFixture.h"
#include "scoring/RawPrinter.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QRectF>
#include <QThread>

#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

QByteArray goldenReport(const char* name)
{
    return readBytes(qEnvironmentVariable("KVX_SOURCE_DIR") + "/tests/scoring/golden/" + name);
}

QByteArray run(const QString& tool, const QStringList& args)
{
    QProcess p;
    p.start(tool, args);
    EXPECT_TRUE(p.waitForFinished(30000)) << "cannot run " << str(tool);
    return p.exitCode() == 0 ? p.readAllStandardOutput() : QByteArray();
}

int pdfinfoPages(const QString& file)
{
    static const QRegularExpression re("^Pages:\\s+(\\d+)", QRegularExpression::MultilineOption);
    const auto m = re.match(QString::fromUtf8(run("pdfinfo", {file})));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Each page's words and their boxes, in points from the paper's top left.
struct PdfPage
{
    QRectF paper;
    QStringList words;
    QList<QRectF> boxes;
};

QList<PdfPage> pdfPages(const QString& file)
{
    static const QRegularExpression re(
        "<page width=\"([0-9.]+)\" height=\"([0-9.]+)\">|<word xMin=\"([0-9.]+)\" "
        "yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>");
    QList<PdfPage> pages;
    for (const auto& m : re.globalMatch(run("pdftotext", {"-bbox", file, "-"}))) {
        const auto at = [&](int i) { return m.captured(i).toDouble(); };
        if (m.hasCaptured(1)) {
            pages.append({QRectF(0, 0, at(1), at(2)), {}, {}});
        } else if (!pages.isEmpty()) {
            pages.back().words << m.captured(7);
            pages.back().boxes << QRectF(QPointF(at(3), at(4)), QPointF(at(5), at(6)));
        }
    }
    return pages;
}

// Prints report through the PDF printer into dir's "out.pdf".
Status printToPdf(const QTemporaryDir& dir, const QByteArray& report,
                  const QPageSize& paper = QPageSize(QPageSize::Letter))
{
    writeBytes(dir.filePath("REPORT.PRN"), report);
    PdfReportPrinter printer(dir.filePath("out.pdf"), paper);
    const Status st = printer.PrintReportFile(dir.path());
    return st ? printer.Finish() : st;
}

// normal.PRN (three pages), then a full page: 58 lines of 80 columns after its form feed.
TEST(ReportPdf, OnePagePerPieceEachStartingWithItsLineBreak)
{
    EXPECT_TRUE(QFontInfo(reportPrintFont()).fixedPitch());
    QTemporaryDir one; // no form feed: one page
    ASSERT_TRUE(printToPdf(one, goldenReport("invalid.PRN")));
    EXPECT_EQ(pdfPageCount(readBytes(one.filePath("out.pdf"))), 1);
    QStringList full;
    for (int i = 1; i <= 58; ++i)
        full << QString(79, u'M') + QString::number(i % 10);
    const QByteArray report = goldenReport("normal.PRN") + "\f\r\n" + full.join("\r\n").toLatin1();
    for (const QPageSize& paper : {QPageSize(QPageSize::Letter), QPageSize(QPageSize::A4)}) {
        SCOPED_TRACE(str(paper.name()));
        QTemporaryDir dir;
        ASSERT_TRUE(printToPdf(dir, report + "\r\n", paper));
        const QList<PdfPage> pages = pdfPages(dir.filePath("out.pdf"));
        ASSERT_EQ(pages.size(), 4);
        for (const PdfPage& p : pages) {
            ASSERT_FALSE(p.words.isEmpty());
            for (qsizetype i = 0; i < p.words.size(); ++i)
                EXPECT_TRUE(p.paper.contains(p.boxes[i])) << str(p.words[i]);
        }
        EXPECT_EQ(pages[3].words, full); // all there, 80 columns between even margins
        EXPECT_LE(pages[3].boxes[0].right(), pages[3].paper.right() - pages[3].boxes[0].left());
        // Pages 2 to 4 open with the empty rest of the form-feed line: their first words stand
        // one line lower than page 1's, all at the same height, full page or not.
        EXPECT_EQ(pages[0].words[0], "KAVEXA");
        EXPECT_EQ(pages[2].words[0], "NAME:");
        const double pitch = pages[2].boxes[0].top() - pages[0].boxes[0].top();
        EXPECT_TRUE(pitch > 11.0 && pitch < 14.0) << pitch;
        EXPECT_NEAR(pages[1].boxes[0].top(), pages[2].boxes[0].top(), 0.01);
        EXPECT_NEAR(pages[3].boxes[0].top(), pages[2].boxes[0].top(), 0.01);
    }
}

TEST(SystemPrinter, AThreePageReportComesOutOfARealQueueAsThreePages)
{
    const QString queue = qEnvironmentVariable("KVX_CUPS_QUEUE", "kvx-pdf");
    const QDir folder(qEnvironmentVariable("KVX_CUPS_PDF_DIR", "/var/spool/kvx-pdf"));
    if (!ResolvePrintQueue(queue) || !folder.exists())
        GTEST_SKIP() << "no print queue " << str(queue) << " writing into " << str(folder.path())
                     << " (run scripts/start-cups first)";
    QTemporaryDir dir;
    ASSERT_TRUE(writeBytes(dir.filePath("REPORT.PRN"), goldenReport("normal.PRN")));
    const Status unknown = SystemReportPrinter("kvx-no-such-queue").PrintReportFile(dir.path());
    ASSERT_FALSE(unknown);
    EXPECT_EQ(unknown.error().message,
              "There is no printer \"kvx-no-such-queue\" on this computer.");

    const auto pdfs = [&] { return QDir(folder.path()).entryList({"*.pdf"}, QDir::Files); };
    const QStringList before = pdfs();
    const Status st = SystemReportPrinter(queue).PrintReportFile(dir.path());
    ASSERT_TRUE(st) << str(st.error().message);
    // The queue writes the job into a file of its own; wait until it is complete.
    QString made;
    int pages = -1;
    for (int i = 0; i < 300 && pages <= 0; ++i) {
        QThread::msleep(100);
        for (const QString& f : pdfs())
            if (!before.contains(f))
                pages = pdfinfoPages(made = folder.filePath(f));
    }
    EXPECT_EQ(pages, 3) << "the queue wrote " << (made.isEmpty() ? "no file" : str(made));
    QFile::remove(made);
}

TEST(ToolPrint, ABatchIntoOnePdfAndAFailureIsNoSuccess)
{
    OutputInstall inst;
    const auto print = [&](const QString& clients, const QStringList& extra) {
        return runKvxtool(QStringList{"print", "--program-dir", inst.program.path(), "--data-dir",
                                      inst.data.path(), "--clients", clients} +
                          extra);
    };
    const QString pdf = inst.file("out.pdf");
    const ToolRun r = print("2,5,7", {"--pdf", pdf});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("report 3 of 3: client 7\n3 reports printed to"));
    qsizetype pieces = 0; // each report starts on a page of its own
    for (int k = 1; k <= 3; ++k)
        pieces += readBytes(inst.file(BatchCopyName(k))).count('\f') + 1;
    EXPECT_EQ(pdfPageCount(readBytes(pdf)), pieces);
    const ToolRun failed = print("1", {"--raw", inst.file("absent/lp0")});
    EXPECT_NE(failed.exitCode, 0);
    EXPECT_TRUE(failed.err.contains("cannot be reached")) << failed.err.toStdString();
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv); // fonts and the PDF writer need it, though no screen
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
