#include "common/TestSupport.h"

#include <gtest/gtest.h>

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

} // namespace
