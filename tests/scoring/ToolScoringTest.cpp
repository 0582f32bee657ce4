// kvxtool score, report and check-install on fixture installations and data disks.
#include "scoring/ScoreAndReport.h"
#include "scoring/ScoringFixture.h"

#include "common/TestSupport.h"
#include "store/DataFile.h"

#include <QProcess>

#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

struct Tool : ::testing::Test
{
    void SetUp() override
    {
        writeInstallation(program_.path());
        Session s;
        SetDataPath(s, data_.path());
        s.client(1) = clientWith("12=2;13=1", answered({{21, 23, '1'}})).record();
        s.client(2) = ClientFixture().record();
        ASSERT_TRUE(WriteClient(s, 1) && WriteClient(s, 2));
    }

    QString report() const { return QDir(program_.path()).filePath("REPORT.PRN"); }

    ToolRun run(const char* command, int client, const QStringList& extra = {})
    {
        return runKvxtool(QStringList{command, "--program-dir", program_.path(), "--data-dir",
                                      data_.path(), "--client", QString::number(client)} +
                          extra);
    }

    QTemporaryDir program_;
    QTemporaryDir data_;
};

TEST_F(Tool, ScorePrintsTheResultsAsJson)
{
    const ToolRun r = run("score", 1, {"--json"});
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
}

TEST_F(Tool, ReportWritesTheSameFileAsTheProgram)
{
    Session s;
    s.ProgramDir = program_.path();
    SetDataPath(s, data_.path());
    ASSERT_TRUE(ReadAllClients(s));
    s.CurClient = 1;
    for (bool summary : {false, true}) {
        s.SummaryPage = summary;
        ASSERT_TRUE(ScoreAndReport(s));
        const QByteArray expected = readBytes(report());
        ASSERT_TRUE(QFile::remove(report()));
        const ToolRun r = run("report", 1, summary ? QStringList{"--summary-page"} : QStringList{});
        EXPECT_EQ(std::pair(r.exitCode, readBytes(report())), std::pair(0, expected));
        EXPECT_EQ(expected.contains("ONE-PAGE SUMMARY"), summary);
    }
}

TEST_F(Tool, ScoreRefusesAClientNotOnTheDisk)
{
    const ToolRun none = run("score", 3);
    EXPECT_EQ(
        std::pair(none.exitCode, none.err.trimmed().toStdString()),
        std::pair(1, std::string("kvxtool: score: the data disk has no client 3 (it holds 2)")));
}

TEST(CheckInstall, FindsEachPlantedFault)
{
    // An installation with the built question database. The file; the text replaced in it
    // (none: the file is removed) and its replacement (none: the file is cut before it), or
    // for the database the SQL run on it; the first line printed.
    const std::tuple<const char*, const char*, const char*, const char*> cases[]{
        {"KVXSC.TXT", "", "", ""}, // a sound installation
        {"KVXSC.TXT", nullptr, nullptr, "KVXSC.TXT: file not found"},
        {"KVXB2.TXT", "0 2 4 6", nullptr,
         "KVXB2.TXT:50: the file ends before stress coping bound 1 of 52"},
        {"KVXB2.TXT", "21,22,23", "21,222,23",
         "KVXB2.TXT:1: significant item 2 of 40 is 222, outside 1-155"},
        {"KVXB2.TXT", "0\"\r\n\"1", "0\r\n\"1",
         "KVXB2.TXT:2: the point key of block 1, answer 0 has no closing quotation mark"},
        {"KVXB2.TXT", "\n40, 2, 4,", "\n40, 100, 4,",
         "KVXB2.TXT:21: the norm of raw score 1 of scale 1 (sex 1, race group 1) is 100, outside "
         "0-99"},
        {"KVXB2.TXT", ", 10, 12,", ", 10, 1,",
         "KVXB2.TXT:21: the norms of scale 1 (sex 1, race group 1) fall from 10 to 1 at raw score "
         "6"},
        {"KVXB2.TXT", "56 58", "56 10",
         "KVXB2.TXT:51: stress coping bound 30 (10) is not above bound 29 (56)"},
        {"KVXRPT.TXT", "Program 3", nullptr,
         "KVXRPT.TXT:87: the file ends before treatment need text 3 of 10"},
        {"KVXVI.TXT", "MAXIMUM-LOW\r\n", "MAX-LOW\r\n",
         "KVXVI.TXT: no paragraph for the key \"MAXIMUM-LOW\""},
        {"KVXAL.TXT", "Scale 2, MAXIMUM-HIGH paragraph, line 3", nullptr,
         "KVXAL.TXT:27: the paragraph \"MAXIMUM-HIGH\" is not ended by \"END\""},
        {"INVAL.TXT", nullptr, nullptr, "INVAL.TXT: file not found"},
        {"branding.ini", nullptr, nullptr, "branding.ini: file not found"},
        {"KVX_32.db", nullptr, nullptr, "KVX_32.db: file not found"},
        {"KVX_32.db", "DELETE FROM Spanish WHERE ID = 155", nullptr,
         "KVX_32.db: table Spanish holds 154 records instead of 155"},
        {"KVX_32.db", "UPDATE English SET ID = 15 - ID WHERE ID IN (7, 8)", nullptr,
         "KVX_32.db: table English: record 7 has ID 8, not 7"},
        {"KVX_32.db", "DELETE FROM ScanItem", nullptr,
         "KVX_32.db: table ScanItem holds 0 rows instead of 177"}};
    for (const auto& [file, from, to, line] : cases) {
        SCOPED_TRACE(line);
        QTemporaryDir dir;
        writeInstallation(dir.path());
        ASSERT_TRUE(QFile::copy(qEnvironmentVariable("KVX_BUILD_DIR") + "/data/KVX_32.db",
                                dir.filePath("KVX_32.db")));
        const QString path = dir.filePath(file);
        QByteArray bytes = readBytes(path);
        if (!from)
            QFile::remove(path);
        else if (path.endsWith(".db"))
            QProcess::execute("sqlite3", {path, from});
        else
            writeBytes(path, to ? bytes.replace(from, to) : bytes.left(bytes.indexOf(from)));
        const ToolRun r = runKvxtool({"check-install", "--program-dir", dir.path()});
        EXPECT_EQ(std::pair(r.exitCode, r.err.contains("problem(s) found")),
                  std::pair(*line ? 1 : 0, *line != 0));
        EXPECT_EQ(r.out.split('\n').first().toStdString(), line) << r.out.toStdString();
    }
}

} // namespace
