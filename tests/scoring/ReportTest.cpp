#include "scoring/LineWriter.h"
#include "scoring/ReportWriter.h"
#include "scoring/ScoreAndReport.h"
#include "scoring/ScoringFixture.h"

#include "common/TestSupport.h"
#include "store/Cp1252.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

TEST(LineWriter, SpacingTabsAndNumbers)
{
    LineWriter w;
    w.spc(3).text(u"ab").tab(10).text(u"x").tab(11).text(u"y").end();
    w.text(u"abcdef").tab(3).text(u"x").end(); // past the column: a new line
    w.number(7).number(-3).number(0).number(42).end();
    w.text(u"a");
    w.tab(5).text(u"b").end(); // a line goes on until it is ended
    w.formFeedLine();
    w.emptyLine();
    EXPECT_EQ(w.contents(), "   ab    xy\r\nabcdef\r\n  x\r\n 7 -3  0  42 \r\na   b\r\n\f\r\n\r\n");
}

// Hand-made results with one line in each item list.
ClientScores plain()
{
    ClientScores r;
    r.Percentile = {0, 50, 7, 99, 10, 0, 45};
    r.ItemLists = {QStringList(), {"a1"}, {"d1"}, {"v1"}, {"c1"}, {"t1"}};
    return r;
}

// The report's lines, without their CR LF.
QStringList reportLines(const ClientScores& r, const ClientFixture& c = {}, int linesPerKey = 3)
{
    QTemporaryDir dir;
    writeInstallation(dir.path(), linesPerKey);
    const ScoringTables t = tablesOf();
    const ClientWork work = UnpackClient(c.record(), 3);
    const Result<QByteArray> bytes =
        ComposeReport({dir.path(), t, work, r, false, "Vendor one", "Vendor two"});
    if (!bytes)
        return {"failed: " + bytes.error().message};
    QStringList lines = cp1252::decode(*bytes).split("\r\n");
    lines.removeLast();
    return lines;
}

qsizetype find(const QStringList& lines, const QString& start, qsizetype from = 0)
{
    for (qsizetype i = from; i < lines.size(); ++i)
        if (lines[i].startsWith(start))
            return i;
    return -1;
}

// A line of two columns: from column 8 and from column 44.
QString row(const QString& left, const QString& right = {})
{
    return (QString(7, u' ') + left).leftJustified(right.isEmpty() ? 0 : 43) + right;
}

TEST(Report, ProfileChartRows)
{
    const QStringList lines = reportLines(plain());
    const qsizetype first = find(lines, "       TRUTHFULNESS");
    ASSERT_GE(first, 0);
    const QStringList expected{
        "       TRUTHFULNESS         50       *********************.......-.......-...-",
        "       ALCOHOL               7       ***.............-...........-.......-...-",
        "       CONTROL              99       ****************************************-",
        "       DRUG                 10       *****...........-...........-.......-...-",
        "       VIOLENCE              0       *...............-...........-.......-...-",
        "       STRESS COPING        45       *******************.........-.......-...-"};
    for (int s = 0; s < 6; ++s)
        EXPECT_EQ(lines.value(first + 2 * s), expected[s]);
}

TEST(Report, ChartMarksAndNotes)
{
    // Truthfulness percentile, ALCOHOL's arrest floor flag, a scale with 5 omitted items;
    // the ALCOHOL row from its percentile on, and the notes under the chart.
    const std::tuple<int, int, int, QString, QString, QString> cases[]{
        {50, 1, 0, "37 *     ****", "", "* Minimum Scale Score"},
        {90, 0, 0, "37 *     ****", "* These test results", "  are inaccurate"},
        {94, 1, 0, "37 *     ****", "* These test results", "  are inaccurate"},
        {50, 0, 2, "**       Scale not scored, insufficient answers", "** Too many omitted items",
         "   to score this scale"},
        {50, 0, 0, "37       ****", "", ""}};
    for (const auto& [p1, flag, omitted, alcohol, noteA, noteB] : cases) {
        ClientScores r = plain();
        r.Percentile[1] = p1;
        r.Percentile[2] = 37;
        r.ArrestFloorFlag[2] = flag;
        if (omitted)
            r.OmitCount[omitted] = 5;
        const QStringList lines = reportLines(r);
        const qsizetype at = find(lines, "       ALCOHOL ");
        SCOPED_TRACE(p1);
        EXPECT_TRUE(lines.value(at).mid(28).startsWith(alcohol)) << lines.value(at).toStdString();
        const auto notes = [](const QString& note, const QString& scale) {
            return (QString(7, u' ') + note).leftJustified(37) + scale;
        };
        EXPECT_EQ(lines.value(at + 10), notes(noteA, "0               40          70      90 100"));
        EXPECT_EQ(lines.value(at + 11), notes(noteB, "----------- PERCENTILE SCORES -----------"));
    }
}

TEST(Report, FiveOmittedItemsLeaveAScaleUnscored)
{
    const QString maximum = " SCALE: MAXIMUM RISK RANGE" + QString(20, u' ') + "RISK PERCENTILE:99";
    for (int omitted : {4, 5}) {
        ClientScores r = plain();
        r.OmitCount[2] = omitted;
        r.Percentile[2] = 99;
        const QStringList lines = reportLines(r);
        const QStringList expected =
            omitted == 4 ? QStringList{row("ALCOHOL" + maximum),
                                       row(" Scale 2, MAXIMUM-HIGH paragraph, line 1.")}
                         : QStringList{row("ALCOHOL"),
                                       "",
                                       row(" This scale  is inaccurate  and  not  scorable  "
                                           "because  the respondent"),
                                       row(" omitted or skipped an excessive number of items."),
                                       "",
                                       row("CONTROL" + maximum)};
        const qsizetype head = find(lines, "       ALCOHOL", 40); // past the chart
        EXPECT_EQ(lines.mid(head, expected.size()), expected) << omitted << " omitted";
    }
}

TEST(Report, ResponsesAndStructuredInterview)
{
    ClientFixture c;
    c.answers = answered({{1, 1, '1'},
                          {2, 2, '2'},
                          {3, 3, '3'}, // no True/False code: 0
                          {10, 10, ' '},
                          {120, 120, '3'},
                          {140, 140, '1'},
                          {141, 141, '2'},
                          {142, 142, '4'}, // no Yes/No code: 0
                          {146, 146, '2'},
                          {151, 151, '4'},
                          {155, 155, '7'}}, // no interview choice: no text
                         QByteArray(155, '0'));
    const QStringList lines = reportLines(plain(), c);
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
    const QString none = ". No response given";
    const QStringList interview{row("Item 146 choice 2", "Item 151 choice 4"),
                                row("147" + none, "152" + none), row("148" + none, "153" + none),
                                row("149" + none, "154" + none), row("150" + none, "155" + none)};
    EXPECT_EQ(lines.mid(find(lines, "       STRUCTURED INTERVIEW:") + 3, 5), interview);
}

TEST(Report, SignificantItemColumns)
{
    ClientScores r = plain();
    r.ItemLists[1] = {"** Score due to alcohol arrests", "a2"};
    r.ItemLists[3] = {"A domestic violence text longer than the column"};
    r.ItemLists[4] = {"c1", "c2", "c3"};
    const QStringList lines = reportLines(r);
    const QStringList expected{
        row("ALCOHOL", "DRUGS"), row("-------", "-----"),
        row("** Score due to alcohol arrests", "d1"), row("a2"), "",
        row("DOMESTIC VIOLENCE", "CONTROL"), row(QString(17, u'-'), "-------"),
        // Too long for its column: the right column goes on a line of its own.
        row("A domestic violence text longer than the column"), row("", "c1"), row("", "c2"),
        row("", "c3"), "", row("TREATMENT NEEDS (PROGRAMS) SELECTED"), row(QString(35, u'-')),
        row("t1")};
    EXPECT_EQ(lines.mid(find(lines, expected[0]), expected.size()), expected);
}

TEST(Report, PagesPastNineAreNumberedWhole)
{
    const QStringList lines = reportLines(plain(), {}, 100);
    QStringList headers;
    for (qsizetype i = 1; i < lines.size(); ++i)
        if (lines[i - 1] == "\f")
            headers.append(lines[i]);
    ASSERT_GE(headers.size(), 9);
    const QString name = "       NAME: Doe, Jane" + QString(18, u' ');
    EXPECT_EQ(headers[0], name + "-2-" + QString(25, u' ') + "KVX REPORT");
    EXPECT_EQ(headers[8], name + "-10-" + QString(24, u' ') + "KVX REPORT");
}

TEST(ScoreAndReport, FailuresNameTheFileAndKeepThePreviousReport)
{
    // The file spoiled (no contents: removed), whether the test is invalid, the error.
    const std::tuple<const char*, const char*, bool, QString> cases[]{
        {"KVXDG.TXT", nullptr, false, "KVXDG.TXT: file not found"},
        {"KVXCL.TXT", "MEDIUM-LOW\r\nx\r\nEND\r\n", false,
         "KVXCL.TXT: no paragraph for the key \"LOW\""},
        {"KVXSC.TXT", "x\r\nLOW\r\nline\r\n", false,
         "KVXSC.TXT:2: the paragraph \"LOW\" is not ended by \"END\""},
        {"INVAL.TXT", nullptr, true, "INVAL.TXT: file not found"},
        {"KVXB2.TXT", "21,22,23\r\n", false,
         "KVXB2.TXT:1: the file ends before significant item 4 of 40"},
        {"KVXRPT.TXT", nullptr, false, "KVXRPT.TXT: file not found"}};
    for (const auto& [file, contents, invalid, message] : cases) {
        SCOPED_TRACE(file);
        QTemporaryDir program;
        writeInstallation(program.path());
        const QDir d(program.path());
        Session s;
        s.ProgramDir = program.path();
        s.client(1) = clientWith({}, invalid ? answered({{1, 94, '1'}}) : QByteArray()).record();
        s.NumClients = s.CurClient = 1;
        ASSERT_TRUE(ScoreAndReport(s));
        const QByteArray before = readBytes(d.filePath("REPORT.PRN"));
        ASSERT_FALSE(before.isEmpty());
        if (contents)
            writeBytes(d.filePath(file), contents);
        else
            QFile::remove(d.filePath(file));
        const Status st = ScoreAndReport(s);
        ASSERT_FALSE(st);
        EXPECT_EQ(st.error().message, message);
        EXPECT_EQ(readBytes(d.filePath("REPORT.PRN")), before);
        EXPECT_EQ(d.entryList(QDir::Files).filter("REPORT"), QStringList{"REPORT.PRN"});
    }
    Session s;
    for (int n : {0, 52, -1}) {
        s.CurClient = n;
        const Status st = ScoreAndReport(s);
        ASSERT_FALSE(st);
        EXPECT_EQ(st.error().code, err::BadRecordNumber);
    }
}

} // namespace
