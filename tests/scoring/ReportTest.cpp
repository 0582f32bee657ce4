#include "scoring/ReportWriter.h"
#include "scoring/ScoreAndReport.h"
#include "scoring/ScoringFixture.h"

#include "common/TestSupport.h"
#include "store/Cp1252.h"

#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

// Hand-made results with one line in each item list.
ClientScores plain()
{
    return {.Percentile = {0, 50, 7, 99, 10, 0, 45},
            .ItemLists = {QStringList(), {"a1"}, {"d1"}, {"v1"}, {"c1"}, {"t1"}}};
}

// The report's lines, without their CR LF.
QStringList reportLines(const ClientScores& r, const ClientFixture& c = {})
{
    QTemporaryDir dir;
    writeInstallation(dir.path());
    const Result<QByteArray> bytes =
        ComposeReport({dir.path(), standardTables(), UnpackClient(c.record(), 3), r, false,
                       "Vendor one", "Vendor two"});
    if (!bytes)
        return {"failed: " + bytes.error().message};
    QStringList lines = cp1252::decode(*bytes).split("\r\n");
    lines.removeLast();
    return lines;
}

// The first line that starts with start.
qsizetype find(const QStringList& lines, const QString& start)
{
    return std::ranges::find_if(lines, [&](const QString& l) { return l.startsWith(start); }) -
           lines.begin();
}

// A line of two columns: from column 8 and from column 44.
QString row(const QString& left, const QString& right = {})
{
    return (QString(7, u' ') + left).leftJustified(right.isEmpty() ? 0 : 43) + right;
}

TEST(Report, ChartNotesColumnsAndResponses)
{
    ClientScores r = plain();
    r.OmitCount[3] = 4; // still scored
    r.ItemLists[3] = {"A domestic violence text longer than the column"};
    r.ItemLists[4] = {"c1", "c2"};
    // Codes without a letter print as 0; item 155 has no interview choice 7.
    ClientFixture c;
    c.answers = QByteArray(155, '0').replace(0, 3, "123").replace(139, 3, "124");
    c.answers.replace(9, 1, " ").replace(119, 1, "3").replace(145, 1, "2");
    c.answers.replace(150, 1, "4").replace(154, 1, "7");
    const QStringList lines = reportLines(r, c);

    const qsizetype chart = find(lines, "       TRUTHFULNESS");
    const QStringList rows{
        "       TRUTHFULNESS         50       *********************.......-.......-...-",
        "       ALCOHOL               7       ***.............-...........-.......-...-",
        "       CONTROL              99       ****************************************-",
        "       DRUG                 10       *****...........-...........-.......-...-",
        "       VIOLENCE              0       *...............-...........-.......-...-",
        "       STRESS COPING        45       *******************.........-.......-...-"};
    for (int s = 0; s < 6; ++s)
        EXPECT_EQ(lines.value(chart + 2 * s), rows[s]);
    EXPECT_EQ(lines.value(find(lines, "       CONTROL SCALE:")),
              row("CONTROL SCALE: MAXIMUM RISK RANGE" + QString(20, u' ') + "RISK PERCENTILE:99"));

    // Too long for its column: the right column goes on lines of its own.
    const QStringList wrapped{row(r.ItemLists[3][0]), row("", "c1"), row("", "c2"), ""};
    EXPECT_EQ(lines.mid(find(lines, wrapped[0]), 4), wrapped);

    const qsizetype interview = find(lines, "       STRUCTURED INTERVIEW:");
    EXPECT_EQ(lines.value(interview + 3), row("Item 146 choice 2", "Item 151 choice 4"));
    EXPECT_EQ(lines.value(interview + 7), row("150. No response given", "155. No response given"));
    const QString pad(35, u' ');
    const QString zeros = "0000000000  ";
    const QStringList responses{pad + "KVX RESPONSES",
                                pad + "-------------",
                                "         1- 50   TF00000000  " + zeros.repeated(4),
                                "        51-100   " + zeros.repeated(5),
                                "       101-150   " + zeros + "0000000003  " + zeros +
                                    "000000000Y  N000020000  ",
                                "       151-155   40007"};
    EXPECT_EQ(lines.mid(find(lines, pad + "KVX RESPONSES"), 6), responses);

    // From Truthfulness 90 every row is marked, and its note goes before the note on floors.
    r.Percentile[1] = 90;
    r.ArrestFloorFlag[2] = 1;
    const QStringList marked = reportLines(r);
    EXPECT_TRUE(marked.value(chart + 10).startsWith("       STRESS COPING        45 *     ***"));
    EXPECT_EQ(marked.value(chart + 12).left(37),
              QString("       * These test results").leftJustified(37));
    EXPECT_EQ(marked.value(chart + 13).left(37),
              QString("         are inaccurate").leftJustified(37));
}

TEST(Report, ANameWithControlsFromAnOldDiskStaysOnItsLine)
{
    ClientFixture c;
    c.name = "Ann\tLee\nSecond\x7f";
    const QStringList lines = reportLines(score(c), c);
    const QStringList named = lines.filter("Ann Lee Second ");
    ASSERT_FALSE(named.isEmpty());
    for (const QString& line : lines)
        EXPECT_FALSE(line.contains(u'\t') || line.contains(u'\n') || line.contains(QChar(0x7f)))
            << line.toStdString();
    EXPECT_EQ(lines.filter("Second").size(), named.size());
}

TEST(ScoreAndReport, FailuresNameTheFileAndKeepThePreviousReport)
{
    // The file spoiled (no contents: removed), whether the test is invalid, the error.
    const std::tuple<const char*, const char*, bool, QString> cases[]{
        {"KVXDG.TXT", nullptr, false, "KVXDG.TXT: file not found"},
        {"KVXCL.TXT", "LOW \r\nx\r\nEND\r\n", false, "KVXCL.TXT: no paragraph for the key \"LOW\""},
        {"KVXSC.TXT", "x\r\nLOW\r\nline\r\nEND \r\n", false,
         "KVXSC.TXT:2: the paragraph \"LOW\" is not ended by \"END\""},
        {"INVAL.TXT", nullptr, true, "INVAL.TXT: file not found"},
        {"KVXB2.TXT", "21,22,23\r\n", false,
         "KVXB2.TXT:1: the file ends before significant item 4 of 40"},
        {"KVXRPT.TXT", nullptr, false, "KVXRPT.TXT: file not found"}};
    for (const auto& [file, contents, invalid, message] : cases) {
        SCOPED_TRACE(file);
        QTemporaryDir program;
        writeInstallation(program.path());
        Session s;
        s.ProgramDir = program.path();
        s.client(1) = clientWith("", invalid ? answered({{1, 94, '1'}}) : QByteArray()).record();
        s.NumClients = s.CurClient = 1;
        ASSERT_TRUE(ScoreAndReport(s));
        const QByteArray before = readBytes(program.filePath("REPORT.PRN"));
        const QString spoiled = program.filePath(file);
        ASSERT_TRUE(contents ? writeBytes(spoiled, contents) : QFile::remove(spoiled));
        const Status st = ScoreAndReport(s);
        EXPECT_EQ(st ? QString() : st.error().message, message);
        EXPECT_EQ(readBytes(program.filePath("REPORT.PRN")), before);
        EXPECT_EQ(QDir(program.path()).entryList(QDir::Files).filter("REPORT"),
                  QStringList{"REPORT.PRN"});
    }
    Session s;
    for (int n : {0, 52, -1}) {
        s.CurClient = n;
        const Status st = ScoreAndReport(s);
        EXPECT_TRUE(!st && st.error().code == err::BadRecordNumber) << n;
    }
}

// Some True answers on every scale, mixed frequencies, most interview items answered.
QByteArray variedAnswers()
{
    QByteArray a = neutralAnswers();
    for (int i : {3, 8, 14, 22, 27, 30, 44, 47, 63, 69, 70, 84, 88, 137, 142})
        a[i - 1] = '1';
    for (int i = 95; i <= 134; ++i)
        a[i - 1] = static_cast<char>('1' + (i * 7) % 4);
    return a.replace(145, 10, "2413032140");
}

ClientFixture smith()
{
    const char* court = "1=19;2=3;3=1;4=2;5=N;6=-1;7=0;8=4;9=2;10=0;11=1;12=2;13=1;14=N;15=0";
    return {.name = "Smith, John Q.",
            .age = "42",
            .dob = "11/23/1981",
            .testDate = "02/14/2024",
            .race = 2,
            .marital = 3,
            .education = 5,
            .court = clientWith(court).court,
            .answers = variedAnswers()};
}

// Whole reports compared byte for byte with reviewed copies under golden/. After a deliberate
// layout change, run with KVX_UPDATE_GOLDEN=1 and review the differences before committing.
TEST(GoldenReport, MatchesTheReviewedCopy)
{
    ClientFixture invalid = smith(), longer = smith(); // the second runs past page nine
    invalid.name = "Roe, Richard";
    invalid.age = "N";
    invalid.answers = answered({{1, 92, '1'}}, variedAnswers());
    longer.name = "Garc\u00eda, Mar\u00eda";
    longer.gender = 2;
    longer.race = 3;
    longer.answers = answered({{41, 45, '0'}}, variedAnswers());
    // File, client, one-page summary, brand, paragraph lines a key.
    const std::tuple<QString, ClientFixture, bool, QString, int> goldens[]{
        {"normal.PRN", smith(), false, "", 3},
        {"invalid.PRN", invalid, false, "", 3},
        {"summary.PRN", smith(), true, "b", 3},
        {"tenpages.PRN", longer, false, "", 100}};
    const QDir golden(qEnvironmentVariable("KVX_SOURCE_DIR") + "/tests/scoring/golden");
    for (const auto& [file, client, summaryPage, brand, linesPerKey] : goldens) {
        QTemporaryDir program;
        writeInstallation(program.path(), linesPerKey);
        Session s;
        s.ProgramDir = program.path();
        s.BrandCode = brand;
        s.SummaryPage = summaryPage;
        s.client(2) = client.record();
        s.NumClients = s.CurClient = 2;
        const Status st = ScoreAndReport(s);
        ASSERT_TRUE(st) << file.toStdString() << ": " << st.error().message.toStdString();
        const QByteArray report = readBytes(program.filePath("REPORT.PRN"));
        if (qEnvironmentVariable("KVX_UPDATE_GOLDEN") == "1")
            writeBytes(golden.filePath(file), report);
        EXPECT_TRUE(report == readBytes(golden.filePath(file)))
            << "differs from " << golden.filePath(file).toStdString();
    }
}

} // namespace
