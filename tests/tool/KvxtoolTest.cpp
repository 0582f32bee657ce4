#include "common/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>

#include <tuple>

using namespace kvx::test;

namespace {

TEST(KvxtoolList, PrintsCountAndMenuLinesDecodedFromWindows1252)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeBytes(dir.filePath("DATA401.KVX"),
                           QByteArray("Jane Doe").leftJustified(239) +
                               QByteArray("Jos\351 Pe\361a").leftJustified(239)));
    const ToolRun r = runKvxtool({"list", "--data-dir", dir.path()});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    // UTF-8 on the terminal, the 25 stored characters with their trailing blanks.
    EXPECT_EQ(r.out, "2\n1-Jane Doe" + QByteArray(17, ' ') + "\n2-Jos\303\251 Pe\303\261a" +
                         QByteArray(16, ' ') + "\n");
}

TEST(KvxtoolList, FailsWithAOneLineMessage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeBytes(dir.filePath("DATA401.KVX"), QByteArray(239 * 52, ' ')));
    for (const auto& [args, why] :
         {std::pair{QStringList{"list"}, "--data-dir DIR is required"},
          {QStringList{"list", "--data-dir", dir.path()}, "holds 52 records"}}) {
        const ToolRun r = runKvxtool(args);
        EXPECT_NE(r.exitCode, 0) << why;
        EXPECT_TRUE(r.err.startsWith("kvxtool: ") && r.err.contains(why)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << why;
    }
}

const char* const kCommands[] = {"list",   "sheet", "read-sheet",    "scan",  "score",
                                 "report", "print", "check-install", "export"};

TEST(KvxtoolHelp, HelpAndVersionAnswerOnStandardOutputAndSucceed)
{
    for (const char* flag : {"--help", "-h", "help"}) {
        const ToolRun r = runKvxtool({flag});
        EXPECT_EQ(r.exitCode, 0) << flag;
        EXPECT_TRUE(r.err.isEmpty()) << flag << r.err.toStdString();
        EXPECT_TRUE(r.out.startsWith("usage: kvxtool COMMAND")) << flag;
        EXPECT_TRUE(r.out.contains("exit status:")) << flag;
        for (const char* c : kCommands)
            EXPECT_TRUE(r.out.contains(QByteArray("\n  ") + c + ' ')) << flag << ' ' << c;
    }
    const ToolRun v = runKvxtool({"--version"});
    EXPECT_EQ(v.exitCode, 0);
    EXPECT_TRUE(v.out.startsWith("kvxtool ") && v.out.endsWith("\n") && v.out.trimmed().size() > 8)
        << v.out.toStdString();
}

TEST(KvxtoolHelp, EveryCommandExplainsItsOptionsWithoutRunning)
{
    QTemporaryDir work;
    for (const char* c : kCommands) {
        // --help wins over anything missing or wrong beside it, and nothing is written.
        const ToolRun r = runKvxtool({c, "--help"}, work.path());
        EXPECT_EQ(r.exitCode, 0) << c << r.err.toStdString();
        EXPECT_TRUE(r.out.startsWith(QByteArray("usage: kvxtool ") + c + " [options]"))
            << r.out.toStdString();
        EXPECT_TRUE(r.out.contains("-h, --help") && r.out.contains("exit status:")) << c;
        EXPECT_TRUE(QDir(work.path()).isEmpty()) << c;
    }
}

TEST(KvxtoolHelp, WrongUseSaysSoOnStandardError)
{
    for (const auto& [args, code, says] :
         {std::tuple{QStringList{}, 2, "usage: kvxtool COMMAND"},
          {QStringList{"bogus"}, 2, "unknown command \"bogus\""},
          {QStringList{"list", "--no-such-option"}, 1, "kvxtool: Unknown option"}}) {
        const ToolRun r = runKvxtool(args);
        EXPECT_EQ(r.exitCode, code) << says;
        EXPECT_TRUE(r.out.isEmpty()) << says;
        EXPECT_TRUE(r.err.contains(says)) << r.err.toStdString();
    }
}

TEST(KvxtoolHelp, NoToolkitWarningWithoutARuntimeFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeBytes(dir.filePath("DATA401.KVX"), QByteArray("Jane Doe").leftJustified(239)));
    qunsetenv("XDG_RUNTIME_DIR");
    const ToolRun list = runKvxtool({"list", "--data-dir", dir.path()});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_TRUE(list.err.isEmpty()) << list.err.toStdString();
    // A command that needs the graphics stack: its own message and nothing else.
    const ToolRun sheet = runKvxtool({"sheet"});
    EXPECT_EQ(sheet.exitCode, 1);
    EXPECT_EQ(sheet.err, "kvxtool: sheet: --program-dir DIR and --out FILE are required\n");
}

} // namespace
