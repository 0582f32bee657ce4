// Reports on pages: PDF files, the system printer (through a real print queue when one has
// been set up by scripts/start-cups) and kvxtool print.
#include "scoring/ReportPrint.h"
#include "scoring/OutputFixture.h"
#include "scoring/RawPrinter.h"

#include <QDirIterator>
#include <QFontInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

// Fonts and the PDF writer need a GUI application; no screen is needed.
class GuiEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "test_report_print";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QGuiApplication> app_;
};
const auto* const g_env = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

// A word of a PDF page as pdftotext places it (points from the top left of the paper).
struct Word
{
    QString text;
    double xMin, yMin, xMax, yMax;
};

struct PdfPage
{
    double width = 0, height = 0;
    QList<Word> words;
};

bool havePoppler()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

QByteArray runTool(const QString& tool, const QStringList& args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput();
}

QList<PdfPage> pdfPages(const QString& file)
{
    const QString html = QString::fromUtf8(
        runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")}));
    static const QRegularExpression pageRe(
        QStringLiteral("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\">"));
    static const QRegularExpression wordRe(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                       "yMax=\"([0-9.]+)\">([^<]*)</word>"));
    QList<PdfPage> pages;
    const QStringList lines = html.split(u'\n');
    for (const QString& line : lines) {
        if (const auto m = pageRe.match(line); m.hasMatch()) {
            pages.append({m.captured(1).toDouble(), m.captured(2).toDouble(), {}});
        } else if (const auto w = wordRe.match(line); w.hasMatch() && !pages.isEmpty()) {
            pages.back().words.append({w.captured(5), w.captured(1).toDouble(),
                                       w.captured(2).toDouble(), w.captured(3).toDouble(),
                                       w.captured(4).toDouble()});
        }
    }
    return pages;
}

int pdfinfoPages(const QString& file)
{
    const QString info = QString::fromUtf8(runTool(QStringLiteral("pdfinfo"), {file}));
    static const QRegularExpression re(QStringLiteral("^Pages:\\s+(\\d+)"),
                                       QRegularExpression::MultilineOption);
    const auto m = re.match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Writes report bytes as "REPORT.PRN" of dir and prints them into pdf.
Status printToPdf(const QString& dir, const QByteArray& report, const QString& pdf,
                  const QPageSize& paper = QPageSize(QPageSize::Letter))
{
    if (!writeBytes(QDir(dir).filePath(QStringLiteral("REPORT.PRN")), report))
        return Error{err::FileNotFound, QStringLiteral("cannot write the report")};
    PdfReportPrinter printer(pdf, paper);
    if (Status st = printer.PrintReportFile(dir); !st)
        return st;
    return printer.Finish();
}

TEST(ReportPdf, OnePrintedPagePerPieceOfTheReport)
{
    struct Case
    {
        const char* report;
        int pages;
    } cases[] = {{"normal.PRN", 3}, {"invalid.PRN", 1}, {"tenpages.PRN", 11}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.report);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        const Status st = printToPdf(dir.path(), goldenReport(c.report), pdf);
        ASSERT_TRUE(st) << str(st.error().message);
        EXPECT_EQ(pdfPageCount(readBytes(pdf)), c.pages);
        if (havePoppler()) {
            EXPECT_EQ(pdfinfoPages(pdf), c.pages);
        }
    }
}

TEST(ReportPdf, ThePieceAfterAFormFeedStartsWithItsLineBreak)
{
    if (!havePoppler())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    ASSERT_TRUE(printToPdf(dir.path(), goldenReport("normal.PRN"), pdf));
    const QList<PdfPage> pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 3);
    for (const PdfPage& p : pages)
        ASSERT_FALSE(p.words.isEmpty());
    // Page 1 opens with its first report line; pages 2 and 3 with the empty rest of the
    // form-feed line, so their first words stand one line lower.
    EXPECT_EQ(pages[0].words[0].text, QStringLiteral("KAVEXA"));
    EXPECT_EQ(pages[2].words[0].text, QStringLiteral("NAME:"));
    const double pitch = pages[2].words[0].yMin - pages[0].words[0].yMin;
    EXPECT_GT(pitch, 11.0);
    EXPECT_LT(pitch, 14.0);
    EXPECT_NEAR(pages[1].words[0].yMin, pages[2].words[0].yMin, 0.01);
}

TEST(ReportPdf, EightyColumnsAndFullPagesFitThePaper)
{
    if (!havePoppler())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    // 59 printed lines (a full report page after its form feed) of 80 characters each.
    QByteArray page = "\r\n";
    for (int i = 1; i <= 58; ++i)
        page += QByteArray(79, 'M') + QByteArray::number(i % 10) + "\r\n";
    const QByteArray report = page.mid(2) + "\f" + page;
    struct Case
    {
        const char* name;
        QPageSize paper;
    } cases[] = {{"Letter", QPageSize(QPageSize::Letter)}, {"A4", QPageSize(QPageSize::A4)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        ASSERT_TRUE(printToPdf(dir.path(), report, pdf, c.paper));
        const QList<PdfPage> pages = pdfPages(pdf);
        ASSERT_EQ(pages.size(), 2);
        for (const PdfPage& p : pages) {
            ASSERT_EQ(p.words.size(), 58);
            EXPECT_EQ(p.words.back().text, QString(79, u'M') + u'8');
            for (const Word& w : p.words) {
                EXPECT_EQ(w.text.size(), 80);
                EXPECT_GE(w.xMin, 0.0);
                EXPECT_LE(w.xMax, p.width);
                EXPECT_LE(w.yMax, p.height);
            }
        }
        // Without the leading empty line, page 1 has room to spare; page 2's first line is
        // one line further down.
        EXPECT_GT(pages[1].words[0].yMin, pages[0].words[0].yMin);
    }
}

TEST(ReportPdf, FontIsCourierNewOrItsFixedPitchStandIn)
{
    const QFont f = reportPrintFont();
    EXPECT_DOUBLE_EQ(f.pointSizeF(), 11.5);
    const QFontInfo info(f);
    EXPECT_TRUE(info.fixedPitch()) << info.family().toStdString();
}

TEST(ReportPdf, ABatchGoesIntoOneFileInItsOrder)
{
    OutputInstall inst;
    const QString pdf = inst.file(QStringLiteral("batch.pdf"));
    PdfReportPrinter printer(pdf);
    const BatchOutcome out = PrintReportBatch(inst.s, {2, 5, 7}, printer);
    ASSERT_FALSE(out.error) << str(out.error->message);
    EXPECT_EQ(printer.reportCount(), 3);
    int pieces = 0;
    for (int k = 1; k <= 3; ++k) {
        const QByteArray copy = readBytes(inst.file(BatchCopyName(k)));
        pieces += static_cast<int>(copy.count('\f')) + 1;
    }
    EXPECT_EQ(pdfPageCount(readBytes(pdf)), pieces);
    if (!havePoppler())
        return;
    const QString text =
        QString::fromUtf8(runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}));
    const qsizetype at2 = text.indexOf(QStringLiteral("Client 2"));
    const qsizetype at5 = text.indexOf(QStringLiteral("Client 5"));
    const qsizetype at7 = text.indexOf(QStringLiteral("Client 7"));
    EXPECT_GE(at2, 0);
    EXPECT_GT(at5, at2);
    EXPECT_GT(at7, at5);
}

TEST(ReportPdf, AFileThatCannotBeWrittenIsNamed)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("no/such/folder/out.pdf"));
    const Status st = printToPdf(dir.path(), goldenReport("invalid.PRN"), pdf);
    ASSERT_FALSE(st);
    EXPECT_NE(st.error().code, err::DeviceIo); // not a printer fault
    EXPECT_TRUE(st.error().message.contains(QStringLiteral("out.pdf")));
}

// --- the system printer ---

QString cupsQueue()
{
    const QString q = qEnvironmentVariable("KVX_CUPS_QUEUE");
    return q.isEmpty() ? QStringLiteral("kvx-pdf") : q;
}

QString cupsFolder()
{
    const QString d = qEnvironmentVariable("KVX_CUPS_PDF_DIR");
    return d.isEmpty() ? QStringLiteral("/var/spool/kvx-pdf") : d;
}

QStringList pdfFilesIn(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, {QStringLiteral("*.pdf")}, QDir::Files);
    while (it.hasNext())
        files << it.next();
    return files;
}

TEST(SystemPrinter, AThreePageReportComesOutOfARealQueueAsThreePages)
{
    const Result<QString> queue = ResolvePrintQueue(cupsQueue());
    if (!queue || !QDir(cupsFolder()).exists() || !havePoppler())
        GTEST_SKIP() << "no print queue " << str(cupsQueue()) << " writing into "
                     << str(cupsFolder()) << " (run scripts/start-cups first)"
                     << (queue ? "" : ": ") << (queue ? "" : str(queue.error().message));
    const QStringList before = pdfFilesIn(cupsFolder());
    QTemporaryDir dir;
    ASSERT_TRUE(writeBytes(dir.filePath(QStringLiteral("REPORT.PRN")), goldenReport("normal.PRN")));
    SystemReportPrinter printer(cupsQueue());
    const Status st = printer.PrintReportFile(dir.path());
    ASSERT_TRUE(st) << str(st.error().message);

    // The queue turns the job into a file of its own; wait until it is complete.
    QString made;
    int pages = -1;
    for (int i = 0; i < 300 && pages < 0; ++i) {
        QThread::msleep(100);
        for (const QString& f : pdfFilesIn(cupsFolder()))
            if (!before.contains(f))
                made = f;
        if (!made.isEmpty())
            pages = pdfinfoPages(made);
    }
    ASSERT_FALSE(made.isEmpty()) << "the queue wrote no file within 30 s";
    EXPECT_EQ(pages, 3);
    QFile::remove(made);
}

TEST(SystemPrinter, AnUnknownQueueIsNamed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(
        writeBytes(dir.filePath(QStringLiteral("REPORT.PRN")), goldenReport("invalid.PRN")));
    const QString name = QStringLiteral("kvx-no-such-queue");
    const Status st = SystemReportPrinter(name).PrintReportFile(dir.path());
    ASSERT_FALSE(st);
    // Without a print service there is nobody to ask: the printer cannot be reached.
    if (st.error().code == err::DeviceIo)
        EXPECT_FALSE(ResolvePrintQueue(QString()).ok());
    else
        EXPECT_EQ(st.error().message,
                  QStringLiteral("There is no printer \"kvx-no-such-queue\" on this computer."));
}

// --- kvxtool print ---

class ToolPrint : public ::testing::Test
{
protected:
    ToolRun print(const QStringList& extra)
    {
        return runKvxtool(QStringList{QStringLiteral("print"), QStringLiteral("--program-dir"),
                                      inst.program.path(), QStringLiteral("--data-dir"),
                                      inst.data.path()} +
                          extra);
    }
    OutputInstall inst;
};

TEST_F(ToolPrint, ClientsIntoOnePdf)
{
    const QString pdf = inst.file(QStringLiteral("out.pdf"));
    const ToolRun r =
        print({QStringLiteral("--clients"), QStringLiteral("2,5,7"), QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("report 3 of 3: client 7"));
    EXPECT_TRUE(r.out.contains("3 reports printed to"));
    EXPECT_GE(pdfPageCount(readBytes(pdf)), 3);
    EXPECT_TRUE(inst.report().contains("Client 7"));
}

TEST_F(ToolPrint, RawDeviceGetsEachReportWithItsFormFeedLine)
{
    const QString device = inst.file(QStringLiteral("lp0"));
    ASSERT_TRUE(writeBytes(device, {}));
    const ToolRun r = print(
        {QStringLiteral("--clients"), QStringLiteral("3,1"), QStringLiteral("--raw"), device});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray sent = readBytes(device);
    const QByteArray first = readBytes(inst.file(QStringLiteral("temp1"))) + "\f\r\n";
    const QByteArray second = readBytes(inst.file(QStringLiteral("temp2"))) + "\f\r\n";
    EXPECT_EQ(sent, first + second);
    EXPECT_TRUE(first.contains("Client 3"));
}

TEST_F(ToolPrint, RefusesWhatItCannotDo)
{
    struct Case
    {
        QStringList args;
        const char* says;
    } cases[] = {
        {{QStringLiteral("--clients"), QStringLiteral("2,x")}, "record numbers"},
        {{QStringLiteral("--clients"), QStringLiteral("9")}, "no client 9"},
        {{QStringLiteral("--clients"), QStringLiteral("1"), QStringLiteral("--raw"),
          inst.file(QStringLiteral("absent/lp0"))},
         "cannot be reached"},
        {{QStringLiteral("--clients"), QStringLiteral("1"), QStringLiteral("--pdf"),
          QStringLiteral("a.pdf"), QStringLiteral("--raw"), QStringLiteral("/dev/null")},
         "choose one"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        const ToolRun r = print(c.args);
        EXPECT_NE(r.exitCode, 0);
        EXPECT_TRUE(r.err.contains(c.says)) << r.err.toStdString();
    }
}

} // namespace
