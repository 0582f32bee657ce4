// Acquisition through SANE's "test" backend (scripts/enable-sane-test turns it on).
#include "common/TestSupport.h"
#include "scan/ScanImage.h"
#include "scan/ScanSupport.h"
#include "scan/Scanner.h"

#include <gtest/gtest.h>

using namespace kvx;

namespace {

TEST(Sane, AcquiresOnePageFromTheTestBackend)
{
    TwainOptions o;
    SetTwainOptions(o);
    EXPECT_EQ(o.TwainFrameWidth, 12240);
    EXPECT_EQ(o.TwainFrameHeight, 20160);
    EXPECT_EQ(o.TwainRes, 100);
    EXPECT_EQ(o.TwainPixelType, 2);

    const Result<QImage> page = AcquirePage(o, "test");
    if (!page && page.error().code == err::ScanNoSource)
        GTEST_SKIP() << "SANE's test backend is not enabled (run scripts/enable-sane-test): "
                     << page.error().message.toStdString();
    ASSERT_TRUE(page) << page.error().message.toStdString();
    // The test device offers at most 200 mm each way: the 8.5 x 14 in frame is clamped to it,
    // at 100 dpi.
    EXPECT_NEAR(page->width(), 787, 2);
    EXPECT_NEAR(page->height(), 787, 2);
    // Its default picture is solid black: a page with no white never arms the box search.
    EXPECT_EQ(page->pixel(10, 10), qRgb(0, 0, 0));
    EXPECT_EQ(page->pixel(page->width() - 1, page->height() - 1), qRgb(0, 0, 0));
    ScanImage img = PrepareScanImage(*page);
    ScanState st;
    const Status s = RegisterSheet(st, img);
    ASSERT_FALSE(s);
    EXPECT_EQ(s.error().message, QString("Anchor Box not found"));
}

TEST(Sane, KvxtoolScanWritesThePageAndRawBmp)
{
    QTemporaryDir dir;
    const QString page = dir.filePath("page.png");
    const kvx::test::ToolRun r = kvx::test::runKvxtool(
        {"scan", "--program-dir", dir.path(), "--device", "test", "--out", page});
    if (r.exitCode != 0 && r.err.contains("Twain no Data Source"))
        GTEST_SKIP() << "SANE's test backend is not enabled (run scripts/enable-sane-test)";
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_NEAR(QImage(page).width(), 787, 2);
    const QByteArray raw = kvx::test::readBytes(dir.filePath("raw.bmp"));
    ASSERT_GT(raw.size(), 54);
    EXPECT_TRUE(raw.startsWith("BM"));
    EXPECT_EQ(quint8(raw[28]), 8);

    const kvx::test::ToolRun none = kvx::test::runKvxtool(
        {"scan", "--program-dir", dir.path(), "--device", "kvx-no-such-backend", "--out", page});
    EXPECT_NE(none.exitCode, 0);
    EXPECT_TRUE(none.err.startsWith("kvxtool: scan: error 20082, Twain no Data Source"))
        << none.err.toStdString();
}

TEST(Sane, AMissingDeviceIsNoDataSource)
{
    TwainOptions o;
    SetTwainOptions(o);
    const Result<QImage> page = AcquirePage(o, "kvx-no-such-backend:0");
    ASSERT_FALSE(page);
    EXPECT_EQ(page.error().code, err::ScanNoSource);
    EXPECT_TRUE(page.error().message.startsWith("Twain no Data Source"));
}

} // namespace
