#include "scoring/LineWriter.h"
#include "scoring/ReportWriter.h"
#include "scoring/ScoreAndReport.h"
#include "scoring/ScoringHelpers.h"

#include "common/TestSupport.h"
#include "store/DataFile.h"

#include <QDir>
#include <QTemporaryDir>

#include <functional>

using namespace kvx;
using namespace kvx::test;

namespace {

TEST(LineWriter, SpacingTabsAndNumbers)
{
    struct Case
    {
        const char* name;
        std::function<void(LineWriter&)> write;
        const char* expected;
    };
    const Case cases[] = {
        {"spc and tab", [](LineWriter& w) { w.spc(3).text(u"ab").tab(10).text(u"x").end(); },
         "   ab    x\r\n"},
        {"tab to the current column", [](LineWriter& w) { w.text(u"abc").tab(4).text(u"x").end(); },
         "abcx\r\n"},
        {"tab past the column wraps",
         [](LineWriter& w) { w.text(u"abcdef").tab(3).text(u"x").end(); }, "abcdef\r\n  x\r\n"},
        {"numbers", [](LineWriter& w) { w.number(7).number(-3).number(0).number(42).end(); },
         " 7 -3  0  42 \r\n"},
        {"line without end continues",
         [](LineWriter& w) {
             w.text(u"a");
             w.tab(5).text(u"b").end();
         },
         "a   b\r\n"},
        {"form feed and empty lines",
         [](LineWriter& w) {
             w.formFeedLine();
             w.emptyLine();
         },
         "\f\r\n\r\n"},
    };
    for (const Case& c : cases) {
        LineWriter w;
        c.write(w);
        EXPECT_EQ(w.contents().toStdString(), c.expected) << c.name;
    }
}

// A report of hand-made results, as lines without their CR LF.
class Report : public ::testing::Test
{
protected:
    void SetUp() override
    {
        writeInstallation(dir_.path(), KeyFixture::standard(), TextFixture::standard(),
                          linesPerKey_);
        tables_ = tablesOf();
    }

    QStringList compose(const ClientScores& r, const ClientFixture& c = {}, bool summary = false)
    {
        const ClientWork work = UnpackClient(c.record(), 3);
        const ReportInput in{dir_.path(),
                             tables_,
                             work,
                             r,
                             summary,
                             QStringLiteral("Vendor one"),
                             QStringLiteral("Vendor two")};
        const Result<QByteArray> bytes = ComposeReport(in);
        if (!bytes) {
            ADD_FAILURE() << bytes.error().message.toStdString();
            return {};
        }
        EXPECT_TRUE(bytes->endsWith("\r\n"));
        EXPECT_EQ(bytes->count('\n'), bytes->count("\r\n"));
        QStringList lines = cp1252::decode(*bytes).split(QStringLiteral("\r\n"));
        lines.removeLast();
        return lines;
    }

    static ClientScores plain()
    {
        ClientScores r;
        r.Percentile = {0, 50, 7, 99, 10, 0, 45};
        r.ItemLists = {QStringList(),          {QStringLiteral("a1")}, {QStringLiteral("d1")},
                       {QStringLiteral("v1")}, {QStringLiteral("c1")}, {QStringLiteral("t1")}};
        return r;
    }

    static int indexOf(const QStringList& lines, const QString& start, int from = 0)
    {
        for (qsizetype i = from; i < lines.size(); ++i)
            if (lines[i].startsWith(start))
                return static_cast<int>(i);
        return -1;
    }

    QTemporaryDir dir_;
    ScoringTables tables_;
    int linesPerKey_ = 3;
};

TEST_F(Report, ProfileChartRows)
{
    ClientScores r = plain();
    const QStringList lines = compose(r);
    const int first = indexOf(lines, QStringLiteral("       TRUTHFULNESS"));
    ASSERT_GE(first, 0);
    const char* expected[] = {
        "       TRUTHFULNESS         50       *********************.......-.......-...-",
        "       ALCOHOL               7       ***.............-...........-.......-...-",
        "       CONTROL              99       ****************************************-",
        "       DRUG                 10       *****...........-...........-.......-...-",
        "       VIOLENCE              0       *...............-...........-.......-...-",
        "       STRESS COPING        45       *******************.........-.......-...-",
    };
    for (int s = 0; s < 6; ++s)
        EXPECT_EQ(lines[first + 2 * s].toStdString(), expected[s]);
    EXPECT_EQ(lines[first + 1],
              QString(37, u' ') + QStringLiteral("-               -           -       -   -"));
    EXPECT_EQ(lines[first + 11],
              QString(37, u' ') + QStringLiteral("+---------------+-----------+-------+---+"));
    EXPECT_EQ(lines[first + 12],
              QString(37, u' ') + QStringLiteral("0               40          70      90 100"));
}

TEST_F(Report, ChartMarksAndNotes)
{
    struct Case
    {
        const char* name;
        int p1;
        int alcoholFlag;
        int omittedScale; // a scale with 5 unanswered items, 0 for none
        const char* alcoholRow;
        const char* noteA;
        const char* noteB;
    };
    const Case cases[] = {
        {"arrest floor", 50, 1, 0, "       ALCOHOL              37 *     ***************.-..", "",
         "* Minimum Scale Score"},
        {"truthfulness 90", 90, 0, 0, "       ALCOHOL              37 *     ***************.-..",
         "* These test results", "  are inaccurate"},
        {"truthfulness 94 beats the floor note", 94, 1, 0,
         "       ALCOHOL              37 *     ***************.-..", "* These test results",
         "  are inaccurate"},
        {"not scored", 50, 0, 2,
         "       ALCOHOL              **       Scale not scored, insufficient answers",
         "** Too many omitted items", "   to score this scale"},
        {"no note", 50, 0, 0, "       ALCOHOL              37       ***************.-..", "", ""},
    };
    for (const Case& c : cases) {
        ClientScores r = plain();
        r.Percentile[1] = c.p1;
        r.Percentile[2] = 37;
        r.ArrestFloorFlag[2] = c.alcoholFlag;
        if (c.omittedScale)
            r.OmitCount[c.omittedScale] = 5;
        const QStringList lines = compose(r);
        SCOPED_TRACE(c.name);
        const int row = indexOf(lines, QStringLiteral("       ALCOHOL "));
        ASSERT_GE(row, 0);
        EXPECT_TRUE(lines[row].startsWith(QString::fromLatin1(c.alcoholRow)))
            << lines[row].toStdString();
        int notes = row;
        while (notes < lines.size() && !lines[notes].endsWith(QStringLiteral("90 100")))
            ++notes;
        ASSERT_LT(notes + 1, lines.size());
        EXPECT_EQ(lines[notes].left(37).trimmed().toStdString(), c.noteA);
        EXPECT_TRUE(lines[notes].endsWith(QStringLiteral("90 100")));
        EXPECT_EQ(lines[notes + 1].left(37).trimmed().toStdString(),
                  QString::fromLatin1(c.noteB).trimmed().toStdString());
    }
}

TEST_F(Report, OmittedItemsInTheParagraphs)
{
    struct Case
    {
        int omitted;
        bool scored;
    };
    for (const Case& c : {Case{4, true}, Case{5, false}}) {
        ClientScores r = plain();
        r.OmitCount[2] = c.omitted;
        r.Percentile[2] = 99;
        const QStringList lines = compose(r);
        const int head = indexOf(lines, QStringLiteral("       ALCOHOL"), 40);
        ASSERT_GE(head, 0);
        if (c.scored) {
            EXPECT_EQ(lines[head], QStringLiteral("       ALCOHOL SCALE: MAXIMUM RISK RANGE") +
                                       QString(20, u' ') + QStringLiteral("RISK PERCENTILE:99"));
            EXPECT_EQ(lines[head + 1],
                      QStringLiteral("        Scale 2, MAXIMUM-HIGH paragraph, line 1."));
        } else {
            EXPECT_EQ(lines[head], QStringLiteral("       ALCOHOL"));
            EXPECT_EQ(lines[head + 1], QString());
            EXPECT_EQ(lines[head + 2],
                      QStringLiteral("        This scale  is inaccurate  and  not  scorable  "
                                     "because  the respondent"));
            EXPECT_EQ(lines[head + 3],
                      QStringLiteral("        omitted or skipped an excessive number of items."));
            EXPECT_EQ(lines[head + 4], QString());
            EXPECT_TRUE(lines[head + 5].startsWith(QStringLiteral("       CONTROL SCALE:")));
        }
    }
}

TEST_F(Report, ResponsesLines)
{
    ClientFixture c;
    QByteArray a(155, '0');
    a[0] = '1';   // T
    a[1] = '2';   // F
    a[2] = '3';   // no True/False code: 0
    a[119] = '3'; // item 120
    a[139] = '1'; // item 140: Y
    a[140] = '2'; // item 141: N
    a[141] = '4'; // item 142: 0
    a[150] = '4';
    a[154] = '2';
    a[9] = ' '; // item 10: never answered
    c.answers = a;
    const QStringList lines = compose(plain(), c);
    const int head = indexOf(lines, QString(35, u' ') + QStringLiteral("KVX RESPONSES"));
    ASSERT_GE(head, 0);
    EXPECT_EQ(lines[head + 1], QString(35, u' ') + QStringLiteral("-------------"));
    EXPECT_EQ(lines[head + 2].toStdString(),
              "         1- 50   TF00000000  0000000000  0000000000  0000000000  0000000000  ");
    EXPECT_EQ(lines[head + 3].toStdString(),
              "        51-100   0000000000  0000000000  0000000000  0000000000  0000000000  ");
    EXPECT_EQ(lines[head + 4].toStdString(),
              "       101-150   0000000000  0000000003  0000000000  000000000Y  N000000000  ");
    EXPECT_EQ(lines[head + 5].toStdString(), "       151-155   40002");
}

TEST_F(Report, SignificantItemColumns)
{
    ClientScores r = plain();
    r.ItemLists[1] = {QStringLiteral("** Score due to alcohol arrests"), QStringLiteral("a2")};
    r.ItemLists[2] = {QStringLiteral("d1")};
    r.ItemLists[3] = {QStringLiteral("A domestic violence text longer than the column")};
    r.ItemLists[4] = {QStringLiteral("c1"), QStringLiteral("c2"), QStringLiteral("c3")};
    const QStringList lines = compose(r);
    const QString pad7(7, u' ');
    const int head = indexOf(lines, pad7 + QStringLiteral("ALCOHOL") + QString(29, u' ') +
                                        QStringLiteral("DRUGS"));
    ASSERT_GE(head, 0);
    const QStringList expected{
        pad7 + QStringLiteral("ALCOHOL") + QString(29, u' ') + QStringLiteral("DRUGS"),
        pad7 + QStringLiteral("-------") + QString(29, u' ') + QStringLiteral("-----"),
        pad7 + QStringLiteral("** Score due to alcohol arrests     d1"),
        pad7 + QStringLiteral("a2"),
        QString(),
        pad7 + QStringLiteral("DOMESTIC VIOLENCE") + QString(19, u' ') + QStringLiteral("CONTROL"),
        pad7 + QString(17, u'-') + QString(19, u' ') + QStringLiteral("-------"),
        // Too long for its column: the right column goes on a line of its own.
        pad7 + QStringLiteral("A domestic violence text longer than the column"),
        QString(43, u' ') + QStringLiteral("c1"),
        QString(43, u' ') + QStringLiteral("c2"),
        QString(43, u' ') + QStringLiteral("c3"),
        QString(),
        pad7 + QStringLiteral("TREATMENT NEEDS (PROGRAMS) SELECTED"),
        pad7 + QString(35, u'-'),
        pad7 + QStringLiteral("t1"),
    };
    EXPECT_EQ(lines.mid(head, expected.size()), expected);
}

TEST_F(Report, StructuredInterviewTexts)
{
    ClientFixture c;
    c.answers = answersWith({{146, '2'}, {151, '4'}, {147, '0'}, {155, '7'}});
    const QStringList lines = compose(plain(), c);
    const int head = indexOf(lines, QStringLiteral("       STRUCTURED INTERVIEW:"));
    ASSERT_GE(head, 0);
    const QString pad7(7, u' ');
    EXPECT_EQ(lines[head + 3], pad7 + QStringLiteral("Item 146 choice 2") + QString(19, u' ') +
                                   QStringLiteral("Item 151 choice 4"));
    EXPECT_EQ(lines[head + 4], pad7 + QStringLiteral("147. No response given") + QString(14, u' ') +
                                   QStringLiteral("Item 152 choice 1"));
    EXPECT_EQ(lines[head + 7], pad7 + QStringLiteral("Item 150 choice 1") + QString(19, u' ') +
                                   QStringLiteral("155. No response given"));
}

TEST_F(Report, PagesPastNineAreNumberedWhole)
{
    linesPerKey_ = 100;
    SetUp();
    const QStringList lines = compose(plain());
    QStringList headers;
    for (qsizetype i = 1; i < lines.size(); ++i)
        if (lines[i - 1] == QStringLiteral("\f") &&
            lines[i].startsWith(QStringLiteral("       NAME: ")))
            headers.append(lines[i]);
    ASSERT_GE(headers.size(), 9);
    const QString name = QStringLiteral("Doe, Jane") + QString(16, u' ');
    EXPECT_EQ(headers[0], QStringLiteral("       NAME: ") + name + QStringLiteral("  -2-") +
                              QString(25, u' ') + QStringLiteral("KVX REPORT"));
    EXPECT_EQ(headers[8], QStringLiteral("       NAME: ") + name + QStringLiteral("  -10-") +
                              QString(24, u' ') + QStringLiteral("KVX REPORT"));
}

// The whole chain: a failure names the file and key, and the previous report stays.
TEST(ScoreAndReport, FailuresKeepThePreviousReport)
{
    struct Case
    {
        const char* name;
        std::function<void(const QDir&)> spoil;
        bool invalidTest;
        const char* message;
    };
    const Case cases[] = {
        {"paragraph file missing",
         [](const QDir& d) { QFile::remove(d.filePath(QStringLiteral("KVXDG.TXT"))); }, false,
         "KVXDG.TXT: file not found"},
        {"paragraph key missing",
         [](const QDir& d) {
             writeBytes(d.filePath(QStringLiteral("KVXCL.TXT")), "MEDIUM-LOW\r\nx\r\nEND\r\n");
         },
         false, "KVXCL.TXT: no paragraph for the key \"LOW\""},
        {"paragraph not ended",
         [](const QDir& d) {
             writeBytes(d.filePath(QStringLiteral("KVXSC.TXT")), "x\r\nLOW\r\nline\r\n");
         },
         false, "KVXSC.TXT:2: the paragraph \"LOW\" is not ended by \"END\""},
        {"invalid text missing",
         [](const QDir& d) { QFile::remove(d.filePath(QStringLiteral("INVAL.TXT"))); }, true,
         "INVAL.TXT: file not found"},
        {"key file short",
         [](const QDir& d) { writeBytes(d.filePath(QStringLiteral("KVXB2.TXT")), "21,22,23\r\n"); },
         false, "KVXB2.TXT:1: the file ends before significant item 4 of 40"},
        {"text file missing",
         [](const QDir& d) { QFile::remove(d.filePath(QStringLiteral("KVXRPT.TXT"))); }, false,
         "KVXRPT.TXT: file not found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir program;
        QTemporaryDir data;
        writeInstallation(program.path());
        Session s;
        s.ProgramDir = program.path();
        SetDataPath(s, data.path());
        ClientFixture client;
        if (c.invalidTest)
            client.answers = answersWithRange(1, 94, '1');
        s.client(1) = client.record();
        s.NumClients = 1;
        s.CurClient = 1;
        const QString report = QDir(program.path()).filePath(QStringLiteral("REPORT.PRN"));
        ASSERT_TRUE(ScoreAndReport(s));
        const QByteArray before = readBytes(report);
        ASSERT_FALSE(before.isEmpty());
        c.spoil(QDir(program.path()));
        const Status st = ScoreAndReport(s);
        ASSERT_FALSE(st);
        EXPECT_EQ(st.error().message.toStdString(), c.message);
        EXPECT_EQ(readBytes(report), before);
        EXPECT_EQ(QDir(program.path()).entryList(QDir::Files).filter(QStringLiteral("REPORT")),
                  QStringList{QStringLiteral("REPORT.PRN")});
    }
}

TEST(ScoreAndReport, RefusesAClientOutsideTheTable)
{
    Session s;
    for (int n : {0, 52, -1}) {
        s.CurClient = n;
        const Status st = ScoreAndReport(s);
        ASSERT_FALSE(st);
        EXPECT_EQ(st.error().code, err::BadRecordNumber);
    }
}

} // namespace
