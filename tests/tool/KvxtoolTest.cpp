#include "common/TestSupport.h"
#include "store/DataFile.h"

#include <gtest/gtest.h>

using namespace kvx;

namespace {

using test::runKvxtool;

TEST(KvxtoolList, PrintsCountAndMenuLinesDecodedFromWindows1252)
{
    QTemporaryDir dir;
    Session s;
    SetDataPath(s, dir.path());
    s.client(1).setRaw(Field::Name, "Jane Doe");
    s.client(2).setRaw(Field::Name, "Jos\xE9 Pe\xF1"
                                    "a");
    ASSERT_TRUE(WriteClient(s, 1));
    ASSERT_TRUE(WriteClient(s, 2));

    const test::ToolRun r =
        runKvxtool({QStringLiteral("list"), QStringLiteral("--data-dir"), dir.path()});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QByteArray("2\n1-Jane Doe") + QByteArray(17, ' ') +
                         "\n2-Jos\xC3\xA9 Pe\xC3\xB1"
                         "a" +
                         QByteArray(16, ' ') + "\n");
}

TEST(KvxtoolList, FailsWithAOneLineMessage)
{
    const test::ToolRun missingOption = runKvxtool({QStringLiteral("list")});
    EXPECT_NE(missingOption.exitCode, 0);
    EXPECT_TRUE(missingOption.err.startsWith("kvxtool: "));

    QTemporaryDir dir;
    ASSERT_TRUE(
        test::writeBytes(dir.filePath(QStringLiteral("DATA401.KVX")), QByteArray(239 * 52, ' ')));
    const test::ToolRun tooMany =
        runKvxtool({QStringLiteral("list"), QStringLiteral("--data-dir"), dir.path()});
    EXPECT_NE(tooMany.exitCode, 0);
    EXPECT_TRUE(tooMany.err.contains("52 records"));
    EXPECT_TRUE(tooMany.out.isEmpty());
}

} // namespace
