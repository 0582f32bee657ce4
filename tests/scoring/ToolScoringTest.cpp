// kvxtool score, report and check-install on fixture installations and data disks.
#include "scoring/OutputFixture.h"
#include "scoring/ScoreAndReport.h"

#include <QProcess>

#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

ToolRun run(const OutputInstall& inst, const char* command, int client, QStringList extra = {})
{
    return runKvxtool(QStringList{command, "--program-dir", inst.program.path(), "--data-dir",
                                  inst.data.path(), "--client", QString::number(client)} +
                      extra);
}

TEST(Tool, ScorePrintsTheResultsAsJson)
{
    OutputInstall inst;
    const ToolRun r = run(inst, "score", 1, {"--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // Floors: ALCOHOL 29 (one arrest), VIOLENCE 68 (two). Stress coping: raw 60, bracket 30.
    // Ranges: 0-39 LOW, 40-69 MEDIUM.
    const std::tuple<const char*, int, int, int, int, const char*> scales[]{
        {"TRUTHFULNESS", 0, 0, 0, 0, "LOW"}, {"ALCOHOL", 4, 29, 3, 1, "LOW"},
        {"CONTROL", 0, 0, 0, 0, "LOW"},      {"DRUG", 0, 0, 0, 0, "LOW"},
        {"VIOLENCE", 4, 68, 0, 1, "MEDIUM"}, {"STRESS COPING", 60, 30, 9, 0, "LOW"}};
    QStringList json;
    for (auto [name, raw, percentile, endorsed, floor, range] : scales)
        json << QString::asprintf(R"({"name": "%s", "raw": %d, "percentile": %d, "omitted": 0, )"
                                  R"("endorsed": %d, "arrestFloor": %d, "range": "%s"})",
                                  name, raw, percentile, endorsed, floor, range);
    EXPECT_EQ(QString(r.out), R"({"client": 1, "scales": [)" + json.join(", ") +
                                  R"(], "timesArrestedFlag": 0})"
                                  "\n");
    const ToolRun none = run(inst, "score", 8);
    EXPECT_EQ(
        std::pair(none.exitCode, none.err.trimmed()),
        std::pair(1, QByteArray("kvxtool: score: the data disk has no client 8 (it holds 7)")));
}

TEST(Tool, ReportWritesTheSameFileAsTheProgram)
{
    OutputInstall inst;
    inst.s.CurClient = 1;
    for (bool summary : {false, true}) {
        inst.s.SummaryPage = summary;
        ASSERT_TRUE(ScoreAndReport(inst.s));
        const QByteArray expected = inst.report();
        ASSERT_TRUE(QFile::remove(inst.file("REPORT.PRN")));
        const ToolRun r =
            run(inst, "report", 1, summary ? QStringList{"--summary-page"} : QStringList{});
        EXPECT_EQ(std::pair(r.exitCode, inst.report()), std::pair(0, expected));
        EXPECT_EQ(expected.contains("ONE-PAGE SUMMARY"), summary);
    }
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
