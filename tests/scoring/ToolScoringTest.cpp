// kvxtool score, report and check-install on fixture installations and data disks.
#include "scoring/ReportWriter.h"
#include "scoring/ScoreAndReport.h"
#include "scoring/ScoringHelpers.h"

#include "common/TestSupport.h"
#include "store/DataFile.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <functional>
#include <memory>

using namespace kvx;
using namespace kvx::test;

namespace {

// A question database with the given record counts; ids out of order when shuffled.
void writeQuestionDb(const QString& path, int english, int spanish, int scanRows,
                     bool shuffled = false)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), path);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        for (const char* table : {"English", "Spanish"})
            ASSERT_TRUE(q.exec(QStringLiteral("CREATE TABLE %1 (ID INTEGER, TestQuestion TEXT)")
                                   .arg(QLatin1String(table))));
        ASSERT_TRUE(q.exec(QStringLiteral("CREATE TABLE ScanItem (ItemName TEXT)")));
        db.transaction();
        for (int id = 1; id <= english; ++id)
            q.exec(QStringLiteral("INSERT INTO English VALUES (%1, 'q')")
                       .arg(shuffled && id == 7   ? 8
                            : shuffled && id == 8 ? 7
                                                  : id));
        for (int id = 1; id <= spanish; ++id)
            q.exec(QStringLiteral("INSERT INTO Spanish VALUES (%1, 'p')").arg(id));
        for (int i = 1; i <= scanRows; ++i)
            q.exec(QStringLiteral("INSERT INTO ScanItem VALUES ('r%1')").arg(i));
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(path);
}

class Tool : public ::testing::Test
{
protected:
    void SetUp() override
    {
        program_ = std::make_unique<QTemporaryDir>();
        writeInstallation(program_->path());
        writeQuestionDb(file(QStringLiteral("KVX_32.db")), 155, 155, 177);
        Session s;
        SetDataPath(s, data_.path());
        ClientFixture a;
        a.court[12] = QStringLiteral("2");
        a.court[13] = QStringLiteral("1");
        a.answers = answersWithRange(21, 23, '1');
        ClientFixture b;
        b.answers = answersWithRange(1, 90, '1');
        s.client(1) = a.record();
        s.client(2) = b.record();
        ASSERT_TRUE(WriteClient(s, 1));
        ASSERT_TRUE(WriteClient(s, 2));
    }

    QString file(const QString& name) const { return QDir(program_->path()).filePath(name); }

    ToolRun run(const QString& command, const QStringList& extra)
    {
        return runKvxtool(QStringList{command, QStringLiteral("--program-dir"), program_->path()} +
                          extra);
    }

    ToolRun runOnClient(const QString& command, int client, const QStringList& extra = {})
    {
        return run(command, QStringList{QStringLiteral("--data-dir"), data_.path(),
                                        QStringLiteral("--client"), QString::number(client)} +
                                extra);
    }

    std::unique_ptr<QTemporaryDir> program_;
    QTemporaryDir data_;
};

TEST_F(Tool, ScorePrintsTheResultsAsJson)
{
    const ToolRun r = runOnClient(QStringLiteral("score"), 1, {QStringLiteral("--json")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // ALCOHOL: 3 True answers and 1 point for the arrest, floor 29; VIOLENCE: 4 points for
    // two domestic violence arrests, floor 68. Stress coping: raw 60, bracket 30.
    EXPECT_EQ(r.out.toStdString(),
              "{\"client\": 1, \"scales\": ["
              "{\"name\": \"TRUTHFULNESS\", \"raw\": 0, \"percentile\": 0, \"omitted\": 0, "
              "\"endorsed\": 0, \"arrestFloor\": 0}, "
              "{\"name\": \"ALCOHOL\", \"raw\": 4, \"percentile\": 29, \"omitted\": 0, "
              "\"endorsed\": 3, \"arrestFloor\": 1}, "
              "{\"name\": \"CONTROL\", \"raw\": 0, \"percentile\": 0, \"omitted\": 0, "
              "\"endorsed\": 0, \"arrestFloor\": 0}, "
              "{\"name\": \"DRUG\", \"raw\": 0, \"percentile\": 0, \"omitted\": 0, "
              "\"endorsed\": 0, \"arrestFloor\": 0}, "
              "{\"name\": \"VIOLENCE\", \"raw\": 4, \"percentile\": 68, \"omitted\": 0, "
              "\"endorsed\": 0, \"arrestFloor\": 1}, "
              "{\"name\": \"STRESS COPING\", \"raw\": 60, \"percentile\": 30, \"omitted\": 0, "
              "\"endorsed\": 9, \"arrestFloor\": 0}], \"timesArrestedFlag\": 0}\n");

    const ToolRun invalid = runOnClient(QStringLiteral("score"), 2, {QStringLiteral("--json")});
    ASSERT_EQ(invalid.exitCode, 0);
    EXPECT_TRUE(invalid.out.startsWith("{\"client\": 2, \"scales\": [{\"name\": \"TRUTHFULNESS\", "
                                       "\"raw\": 99, \"percentile\": 99,"));
}

TEST_F(Tool, ReportWritesTheSameFileAsTheProgram)
{
    for (bool summary : {false, true}) {
        Session s;
        s.ProgramDir = program_->path();
        s.SummaryPage = summary;
        SetDataPath(s, data_.path());
        ASSERT_TRUE(ReadAllClients(s));
        s.CurClient = 1;
        ASSERT_TRUE(ScoreAndReport(s));
        const QByteArray expected = readBytes(file(QStringLiteral("REPORT.PRN")));
        ASSERT_TRUE(QFile::remove(file(QStringLiteral("REPORT.PRN"))));

        const ToolRun r =
            runOnClient(QStringLiteral("report"), 1,
                        summary ? QStringList{QStringLiteral("--summary-page")} : QStringList{});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(readBytes(file(QStringLiteral("REPORT.PRN"))), expected);
        EXPECT_EQ(expected.contains("ONE-PAGE SUMMARY"), summary);
    }
}

TEST_F(Tool, ScoreAndReportRefuseBadArguments)
{
    struct Case
    {
        QString command;
        int client;
        const char* message;
    };
    const Case cases[] = {
        {QStringLiteral("score"), 3, "kvxtool: score: the data disk has no client 3 (it holds 2)"},
        {QStringLiteral("report"), 0,
         "kvxtool: report: the data disk has no client 0 (it holds 2)"},
    };
    for (const Case& c : cases) {
        const ToolRun r = runOnClient(c.command, c.client);
        EXPECT_NE(r.exitCode, 0);
        EXPECT_EQ(r.err.trimmed().toStdString(), c.message);
    }
    QFile::remove(file(QStringLiteral("KVXB2.TXT")));
    const ToolRun missing = runOnClient(QStringLiteral("report"), 1);
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_EQ(missing.err.trimmed().toStdString(), "kvxtool: KVXB2.TXT: file not found");
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("REPORT.PRN"))));
}

TEST_F(Tool, CheckInstallFindsEachPlantedFault)
{
    const ToolRun sound = run(QStringLiteral("check-install"), {});
    EXPECT_EQ(sound.exitCode, 0) << sound.out.toStdString();
    EXPECT_TRUE(sound.out.isEmpty());

    const auto rewrite = [this](const char* name, std::function<QByteArray(QByteArray)> change) {
        const QString path = file(QString::fromLatin1(name));
        writeBytes(path, change(readBytes(path)));
    };
    const auto replaceLine = [](int line, const QByteArray& with) {
        return [line, with](QByteArray bytes) {
            QList<QByteArray> lines = bytes.split('\n');
            lines[line - 1] = with + '\r';
            return lines.join('\n');
        };
    };
    KeyFixture falling = KeyFixture::standard();
    falling.norm[2][1][1][5] = 1;
    KeyFixture unordered = KeyFixture::standard();
    unordered.stressBound[10] = unordered.stressBound[9];
    struct Case
    {
        const char* name;
        std::function<void()> plant;
        const char* line;
    };
    const Case cases[] = {
        {"missing file", [&] { QFile::remove(file(QStringLiteral("KVXSC.TXT"))); },
         "KVXSC.TXT: file not found"},
        {"short key file",
         [&] { rewrite("KVXB2.TXT", [](QByteArray b) { return b.left(b.indexOf("0 2 4")); }); },
         "KVXB2.TXT:50: the file ends before stress coping bound 1 of 52"},
        {"malformed key file", [&] { rewrite("KVXB2.TXT", replaceLine(2, "\"0000")); },
         "KVXB2.TXT:2: the point key of block 1, answer 0 has no closing quotation mark"},
        {"item outside 1-155",
         [&] {
             rewrite("KVXB2.TXT", [](QByteArray b) { return b.replace("21,22,23", "21,222,23"); });
         },
         "KVXB2.TXT:1: significant item 2 of 40 is 222, outside 1-155"},
        {"falling norms", [&] { writeBytes(file(QStringLiteral("KVXB2.TXT")), falling.render()); },
         "KVXB2.TXT:22: the norms of scale 2 (sex 1, race group 1) fall from 10 to 1 at raw "
         "score 6"},
        {"stress bounds",
         [&] { writeBytes(file(QStringLiteral("KVXB2.TXT")), unordered.render()); },
         "KVXB2.TXT:51: stress coping bound 10 (16) is not above bound 9 (16)"},
        {"short text file",
         [&] {
             rewrite("KVXRPT.TXT", [](QByteArray b) { return b.left(b.indexOf("Program 3")); });
         },
         "KVXRPT.TXT:87: the file ends before treatment need text 3 of 10"},
        {"paragraph key missing",
         [&] {
             rewrite("KVXVI.TXT", [](QByteArray b) { return b.replace("MAXIMUM-LOW", "MAX-LOW"); });
         },
         "KVXVI.TXT: no paragraph for the key \"MAXIMUM-LOW\""},
        {"paragraph not ended",
         [&] {
             writeBytes(file(QStringLiteral("KVXAL.TXT")),
                        paragraphFile(2,
                                      {QStringLiteral("LOW"), QStringLiteral("MEDIUM-LOW"),
                                       QStringLiteral("MEDIUM-HIGH"), QStringLiteral("PROBLEM"),
                                       QStringLiteral("MAXIMUM-LOW")},
                                      2) +
                            "MAXIMUM-HIGH\r\ntext\r\n");
         },
         "KVXAL.TXT:22: the paragraph \"MAXIMUM-HIGH\" is not ended by \"END\""},
        {"invalid text missing", [&] { QFile::remove(file(QStringLiteral("INVAL.TXT"))); },
         "INVAL.TXT: file not found"},
        {"branding missing", [&] { QFile::remove(file(QStringLiteral("branding.ini"))); },
         "branding.ini: file not found"},
        {"question table short",
         [&] {
             QFile::remove(file(QStringLiteral("KVX_32.db")));
             writeQuestionDb(file(QStringLiteral("KVX_32.db")), 155, 154, 177);
         },
         "KVX_32.db: table Spanish holds 154 records instead of 155"},
        {"question table out of order",
         [&] {
             QFile::remove(file(QStringLiteral("KVX_32.db")));
             writeQuestionDb(file(QStringLiteral("KVX_32.db")), 155, 155, 177, true);
         },
         "KVX_32.db: table English: record 7 has ID 8, not 7"},
        {"scan layout rows",
         [&] {
             QFile::remove(file(QStringLiteral("KVX_32.db")));
             writeQuestionDb(file(QStringLiteral("KVX_32.db")), 155, 155, 0);
         },
         "KVX_32.db: table ScanItem holds 0 rows instead of 177"},
        {"database missing", [&] { QFile::remove(file(QStringLiteral("KVX_32.db"))); },
         "KVX_32.db: file not found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp(); // a fresh installation for each fault
        c.plant();
        const ToolRun r = run(QStringLiteral("check-install"), {});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.out.split('\n').first().toStdString(), c.line) << r.out.toStdString();
        EXPECT_TRUE(r.err.contains("problem(s) found"));
    }
}

} // namespace
