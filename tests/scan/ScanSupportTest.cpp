#include "scan/ScanSupport.h"
#include "ScanTestSupport.h"
#include "scan/ScanImage.h"
#include "scan/Scanner.h"
#include "scan/SheetReader.h"
#include "testing/QuestionDatabase.h"

#include <cmath>

using namespace kvx;
using test::str;

namespace {

// Darkens the first n pixels, row by row, of the box w pixels wide at image (x, y).
void paint(ScanImage& img, int x, int y, int w, int n)
{
    for (int k = 0; k < n; ++k)
        img.row(y + k / w)[x + k % w] = ScanImage::Black;
}

const auto degrees = [](double y, double x) { return float(std::atan2(y, x) * 180 / M_PI); };
const auto xy = [](const ScanPoint& p) { return std::pair<int, int>(p.X, p.Y); };

TEST(FindMark, ThresholdsWholeBoxAndImageEdge)
{
    const std::tuple<qint16, int, bool> cases[] = {{6, 10, false}, {6, 11, true},  {6, 36, true},
                                                   {14, 9, false}, {14, 10, true}, {14, 225, true}};
    for (auto [size, dark, marked] : cases) {
        ScanImage img(60, 60);
        const int side = size == 6 ? 6 : size + 1;
        paint(img, 10, 10, side, dark);
        paint(img, 10 + side, 10, 3, 3 * side); // just outside the box: never counted
        paint(img, 10, 10 + side, side, 3 * side);
        ScanState st;
        EXPECT_EQ(FindMark(st, img, ScanPoint{10, 10}, size), marked) << size << ": " << dark;
        EXPECT_EQ(st.DarkCount, dark);
    }
    ScanImage img(20, 20);
    img.setOrigin(10, 10);
    ScanState st;
    EXPECT_TRUE(FindMark(st, img, ScanPoint{5, 0}, 14)); // image x 15-29: outside reads dark
    EXPECT_EQ(st.DarkCount, 225 - 5 * 10);
    EXPECT_FALSE(FindMark(st, img, ScanPoint{-10, -10}, 6));
}

TEST(Polar, BothWaysHalvesToEven)
{
    const float diagonal = std::sqrt(200.0f);
    const std::tuple<qint16, qint16, float, float> toPolar[] = {
        {0, 5, 5, 90}, {-10, 0, 10, 0},          {3, 4, 5, 53.130102f},
        {0, 0, 0, 90}, {10, -10, diagonal, -45}, {-10, 10, diagonal, -45}};
    for (auto [x, y, r, theta] : toPolar) {
        ScanPoint p{x, y, -1, -1};
        XYToPolar(p);
        EXPECT_FLOAT_EQ(p.r, r) << x << "," << y;
        EXPECT_FLOAT_EQ(p.theta, theta) << x << "," << y;
    }
    const std::tuple<float, float, int, int> toXY[] = {
        {2.5f, 0, 2, 0},  {3.5f, 0, 4, 0},     {0.5f, 0, 0, 0},
        {2.5f, 90, 0, 2}, {5, 180, -5, 0},     {10, 60, 5, 9},
        {10, -30, 9, -5}, {1000, 1, 1000, 17}, {761.0421f, 0.6022f, 761, 8}};
    for (auto [r, theta, x, y] : toXY) {
        ScanPoint p{-1, -1, r, theta};
        PolarToXY(p);
        EXPECT_EQ(xy(p), std::pair(x, y)) << r << " at " << theta;
    }
}

TEST(LeadErrorText, TableAndGaps)
{
    QStringList texts;
    for (int code : {20029, 20000, 20013, 20063, 20064, 20074, 20077, 20082, 20090, 20016, 20020,
                     20066, 20069, 19999, 20091})
        texts << LeadErrorText(code);
    EXPECT_EQ(str(texts.join("|")),
              "Escape key pressed|General failure|Invalid parmameter passed|Fixed palette data not "
              "found|Fixed palette data not found|Premature end-of-line code|Premature end-of-line "
              "code|Twain no Data Source|Twain operation was cancelled||||||");
    for (int code = 20030; code <= 20062; ++code)
        EXPECT_EQ(str(LeadErrorText(code)), "Internal Error - Call LEAD") << code;
}

TEST(Preparation, BlackPlaneContrastAndThreshold)
{
    const std::pair<QRgb, bool> cases[] = {
        {qRgb(255, 255, 255), false}, {qRgb(255, 160, 160), false}, // drop-out red
        {qRgb(255, 0, 0), false},     {qRgb(190, 190, 190), false}, // erasure smudge
        {qRgb(157, 157, 157), false}, {qRgb(156, 156, 156), true},
        {qRgb(150, 150, 150), true},  {qRgb(120, 120, 120), true}, // pencil
        {qRgb(0, 0, 0), true},        {qRgb(100, 140, 150), true},
    };
    for (auto [colour, black] : cases) {
        QImage src(3, 2, QImage::Format_RGB32);
        src.fill(colour);
        const ScanImage img = PrepareScanImage(src);
        ASSERT_EQ(std::pair(img.width(), img.height()), std::pair(3, 2));
        EXPECT_EQ(img.level(2, 1), black ? ScanImage::Black : ScanImage::White)
            << qRed(colour) << "," << qGreen(colour) << "," << qBlue(colour);
    }
    QImage grey(4, 4, QImage::Format_Grayscale8);
    grey.fill(150);
    EXPECT_FALSE(PrepareScanImage(grey).isWhite(0, 0));
    EXPECT_EQ(PrepareScanImage(QImage()).width(), 0);
}

TEST(AnchorBox, SearchRules)
{
    ScanImage img(850, 300, ScanImage::Black);
    ScanState st;
    st.AnchorBox = ScanPoint{7, 8, 1, 2};
    EXPECT_FALSE(FindAnchorBox(st, img)); // never armed
    EXPECT_EQ(xy(st.AnchorBox), std::pair(7, 8));
    img.row(0)[5] = ScanImage::White; // arms the search for good
    ASSERT_TRUE(FindAnchorBox(st, img));
    EXPECT_EQ(xy(st.AnchorBox), std::pair(5, 0));

    // Two dark areas: the first hit's row, the smallest x of all hits, polar form to match.
    img = ScanImage(850, 300);
    paint(img, 40, 30, 10, 100);
    paint(img, 20, 60, 10, 100);
    ASSERT_TRUE(FindAnchorBox(st, img));
    EXPECT_EQ(xy(st.AnchorBox), std::pair(20, 30));
    EXPECT_FLOAT_EQ(st.AnchorBox.r, std::hypot(20.0f, 30.0f));
    EXPECT_FLOAT_EQ(st.AnchorBox.theta, degrees(30, 20));

    // Beyond the window (x 65, y 112) nothing counts, nor specks too small.
    img = ScanImage(850, 300);
    paint(img, 66, 20, 20, 400);
    paint(img, 20, 113, 20, 400);
    paint(img, 30, 30, 3, 9);
    EXPECT_FALSE(FindAnchorBox(st, img));
}

TEST(ReferenceBox, WindowClippedToTheImage)
{
    // Anchor x, y, image width, box relative to the anchor (x -1: none), found.
    const std::tuple<int, int, int, int, int, bool> cases[] = {
        {35, 50, 850, 761, 0, true},   {35, 50, 850, 761, 8, true},
        {60, 40, 900, 789, 10, true},  // up to column 849
        {60, 40, 900, 790, 10, false}, // column 850 and beyond are never read
        {40, 40, 900, 791, 10, true},  // 849 - 40 is beyond 801
        {40, 40, 900, 802, 10, false}, {35, 50, 850, 765, 113, false},
        {60, 40, 850, -1, 0, false},   // the dark beyond the image edge is never a box
        {60, 40, 850, 770, 30, true},  // ... nor lifts the row of the real one
        {35, 50, 787, -1, 0, false},   // a narrower scan stops at its own edge
        {60, 40, 850, 765, -40, true}, // the image's top row
    };
    for (auto [ax, ay, width, bx, by, found] : cases) {
        ScanImage img(width, 400);
        paint(img, ax, ay, 20, 400);
        if (bx >= 0)
            paint(img, ax + bx, ay + by, 20, 400);
        ScanState st;
        const Status s = RegisterSheet(st, img);
        EXPECT_EQ(xy(st.AnchorBox), std::pair(ax, ay));
        ASSERT_EQ(bool(s), found) << ax << " " << bx << "," << by;
        if (!found) {
            EXPECT_EQ(str(s.error().message), "Reference Box not found");
            continue;
        }
        EXPECT_EQ(xy(st.ReferenceBox), std::pair(bx, by));
        EXPECT_FLOAT_EQ(st.ReferenceBox.theta, degrees(by, bx));
    }
}

// Runs reader 'd' (digit column), 'c' (choice row), 'm' (court row) or 'a' (answer row) on a
// one-row layout ("r, theta, dimx, DimY, dx, dy"), text in and out; the row's X and Y after.
std::pair<int, int> readRow(char reader, const QString& row, ScanState& st, const ScanImage& img,
                            QString& text)
{
    QTemporaryDir dir;
    const QString db = dir.filePath("layout.db");
    test::sql(db, {"CREATE TABLE ScanItem (ItemName TEXT, r REAL, theta REAL, X INTEGER, "
                   "Y INTEGER, dimx INTEGER, DimY INTEGER, dx REAL, dy REAL)",
                   "INSERT INTO ScanItem (r, theta, dimx, DimY, dx, dy) VALUES (" + row + ")"});
    {
        auto open = DefaultWorkspace(dir.path()).OpenDatabase(db, true);
        Result<Recordset> rs = (*open)->OpenRecordset("ScanItem");
        rs->MoveFirst();
        const Status s = reader == 'd'   ? ReadDigitColumn(st, img, *rs, text)
                         : reader == 'c' ? ReadChoiceRow(st, img, *rs, text)
                                         : ReadMarkRow(st, img, *rs, text, reader == 'a' ? 1 : 0);
        EXPECT_TRUE(s) << str(s.error().message);
    }
    const QVariantList stored = test::sql(db, {"SELECT X, Y FROM ScanItem"}).at(0);
    return {stored[0].toInt(), stored[1].toInt()};
}

TEST(Readers, NoneOneOrMoreMarks)
{
    // Reader, bubbles, marks (bubble, dark pixels), text before and after.
    const std::tuple<char, int, std::vector<std::pair<int, int>>, const char*, const char*>
        cases[] = {
            {'d', 10, {}, "3", "3N"},
            {'d', 10, {{0, 150}}, "", "0"},
            {'d', 10, {{3, 100}, {7, 160}}, "", "7"},
            {'d', 10, {{3, 130}, {7, 130}}, "N", "N3"},
            {'c', 2, {}, "2", "0"},
            {'c', 8, {{7, 140}}, "5", "8"},
            {'c', 6, {{1, 150}, {4, 90}}, "", "2"},
            {'m', 10, {}, "", "N"},
            {'m', 12, {{11, 150}}, "", "11"},
            {'m', 10, {{2, 9}, {5, 60}}, "", "5"}, // 9 pixels are no mark
            {'a', 4, {}, "1", "10"},
            {'a', 4, {{1, 120}, {3, 180}}, "12", "124"},
            {'a', 4, {{0, 200}, {2, 200}, {3, 30}}, "", "1"},
        };
    for (const auto& [reader, bubbles, marks, before, after] : cases) {
        const bool down = reader == 'd';
        // The anchor box at (50, 60), the first bubble 300 across and 400 down from it.
        ScanImage img(900, 1000);
        img.setOrigin(50, 60);
        for (auto [k, n] : marks)
            paint(img, 350 + (down ? 0 : 25 * k), 460 + (down ? 24 * k : 0), 15, n);
        const QString row = QString("500, 53.130102, %1, %2, 25, 24")
                                .arg(down ? 1 : bubbles)
                                .arg(down ? bubbles : 1);
        ScanState st;
        QString text = before;
        EXPECT_EQ(readRow(reader, row, st, img, text), std::pair(300, 400));
        EXPECT_EQ(str(text), after) << reader << ": " << before << " " << marks.size();
    }
}

TEST(Readers, TheWholeRowFollowsTheSkew)
{
    // Far from the anchor box a turn of 1.5 degrees moves the first bubble by more than its
    // width, and the tenth 6 pixels across its row.
    const float r = std::hypot(700.0f, 1100.0f), theta = degrees(1100, 700);
    ScanPoint first{0, 0, r, theta + 1.5f}, step{0, 0, 225, 1.5f};
    PolarToXY(first);
    PolarToXY(step);
    ScanImage img(1000, 1400);
    img.setOrigin(40, 50);
    paint(img, 40 + first.X + step.X, 50 + first.Y + step.Y, 15, 225);
    const QString row = QString("%1, %2, 10, 1, 25, 0").arg(r, 0, 'g', 9).arg(theta, 0, 'g', 9);
    ScanState st;
    st.ReferenceBox.theta = 1.5f;
    QString text;
    // The layout keeps its straight-sheet position.
    EXPECT_EQ(readRow('m', row, st, img, text), std::pair(700, 1100));
    EXPECT_EQ(str(text), "9");
    EXPECT_EQ(st.DarkCount, 225); // the last box lands exactly on the mark
}

TEST(ImageFiles, RawImageIsAnEightBitBmpAndFilesLoadOrFail)
{
    QTemporaryDir dir;
    QImage colour(850, 1400, QImage::Format_RGB32);
    colour.fill(qRgb(255, 160, 160));
    ASSERT_TRUE(SaveRawImage(colour, dir.path()));
    const QByteArray bmp = test::readBytes(dir.filePath("raw.bmp"));
    EXPECT_TRUE(bmp.startsWith("BM") && bmp.mid(28, 1) == "\x08") << "8 bits per pixel";
    EXPECT_EQ(QImage(dir.filePath("raw.bmp")).pixel(10, 10), colour.pixel(10, 10));

    for (const char* format : {"png", "jpg", "tif", "bmp"}) {
        const QString path = dir.filePath(QString("sheet.") + format);
        ASSERT_TRUE(colour.save(path));
        const Result<QImage> loaded = LoadScanImageFile(path);
        EXPECT_TRUE(loaded && loaded->size() == colour.size()) << format;
    }
    ASSERT_TRUE(test::writeBytes(dir.filePath("sheet.gif"), "GIF89a")); // a format we do not take
    EXPECT_EQ(LoadScanImageFile(dir.filePath("sheet.gif")).error().code, err::ImgInvalidFormat);
    EXPECT_EQ(LoadScanImageFile(dir.filePath("none.png")).error().code, err::ImgFileNotFound);

    test::ReadOnlyFolder ro;
    ASSERT_TRUE(ro.valid() && ro.makeReadOnly());
    const Status denied = SaveRawImage(colour, ro.path());
    ASSERT_FALSE(denied);
    EXPECT_EQ(denied.error().code, err::ImgWritingFile);
}

// Acquires through SANE's "test" backend (scripts/enable-sane-test turns it on).
TEST(Sane, AcquiresOnePageFromTheTestBackend)
{
    QTemporaryDir dir;
    const QString page = dir.filePath("page.png");
    auto scan = [&](const char* device) {
        return test::runKvxtool(
            {"scan", "--program-dir", dir.path(), "--device", device, "--out", page});
    };
    const test::ToolRun none = scan("kvx-no-such-backend");
    EXPECT_NE(none.exitCode, 0);
    EXPECT_TRUE(none.err.startsWith("kvxtool: scan: error 20082, Twain no Data Source"))
        << none.err.toStdString();

    TwainOptions o;
    SetTwainOptions(o);
    const Result<QImage> img = AcquirePage(o, "test");
    if (!img && img.error().code == err::ScanNoSource)
        GTEST_SKIP() << "SANE's test backend is not enabled (run scripts/enable-sane-test)";
    ASSERT_TRUE(img) << img.error().message.toStdString();
    // The frame clamped to the test device's 200 mm each way, its default picture solid black.
    EXPECT_NEAR(img->width(), 787, 2);
    EXPECT_NEAR(img->height(), 787, 2);
    EXPECT_EQ(img->pixel(10, 10), qRgb(0, 0, 0));

    const test::ToolRun r = scan("test");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_NEAR(QImage(page).width(), 787, 2);
    EXPECT_TRUE(test::readBytes(dir.filePath("raw.bmp")).startsWith("BM"));
}

} // namespace
