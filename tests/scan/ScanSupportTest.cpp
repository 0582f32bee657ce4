#include "scan/ScanSupport.h"
#include "ScanTestSupport.h"
#include "common/TestSupport.h"
#include "scan/ScanImage.h"
#include "scan/SheetReader.h"
#include "testing/QuestionDatabase.h"

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlQuery>

#include <cmath>

using namespace kvx;
using test::paintBlack;
using test::paintBubble;

namespace {

TEST(FindMark, ThresholdsAndWholeBoxCount)
{
    const struct
    {
        qint16 size;
        int dark;
        bool marked;
    } cases[] = {
        {6, 10, false}, {6, 11, true},  {6, 36, true},   {14, 9, false},
        {14, 10, true}, {14, 0, false}, {14, 225, true},
    };
    for (const auto& c : cases) {
        ScanImage img(60, 60);
        const int side = c.size == 6 ? 6 : c.size + 1;
        for (int k = 0; k < c.dark; ++k)
            img.row(10 + k / side)[10 + k % side] = ScanImage::Black;
        // Dark pixels just outside the box must not count.
        paintBlack(img, 10 + side, 10, 3, side);
        paintBlack(img, 10, 10 + side, side, 3);
        ScanState st;
        EXPECT_EQ(FindMark(st, img, ScanPoint{10, 10}, c.size), c.marked)
            << "size " << c.size << ", " << c.dark << " dark";
        EXPECT_EQ(st.DarkCount, c.dark);
    }
}

TEST(FindMark, OutsideTheImageAndUnderTheOriginReadsDark)
{
    ScanImage img(20, 20);
    ScanState st;
    EXPECT_TRUE(FindMark(st, img, ScanPoint{-3, -3}, 6));
    EXPECT_EQ(st.DarkCount, 36 - 9);
    img.setOrigin(10, 10);
    EXPECT_TRUE(FindMark(st, img, ScanPoint{5, 0}, 14)); // image x 15..29: half outside
    EXPECT_EQ(st.DarkCount, 225 - 5 * 10);
    EXPECT_FALSE(FindMark(st, img, ScanPoint{-10, -10}, 6));
    EXPECT_EQ(st.DarkCount, 0);
}

TEST(Polar, XYToPolar)
{
    const struct
    {
        qint16 x, y;
        float r, theta;
    } cases[] = {
        {0, 5, 5.0f, 90.0f}, {-10, 0, 10.0f, 0.0f},         {3, 4, 5.0f, 53.130102f},
        {0, 0, 0.0f, 90.0f}, {10, -10, 14.142136f, -45.0f}, {-10, 10, 14.142136f, -45.0f},
    };
    for (const auto& c : cases) {
        ScanPoint p{c.x, c.y, -1, -1};
        XYToPolar(p);
        EXPECT_FLOAT_EQ(p.r, c.r) << c.x << "," << c.y;
        EXPECT_FLOAT_EQ(p.theta, c.theta) << c.x << "," << c.y;
    }
}

TEST(Polar, PolarToXYRoundsHalvesToEven)
{
    const struct
    {
        float r, theta;
        qint16 x, y;
    } cases[] = {
        {2.5f, 0, 2, 0},     {3.5f, 0, 4, 0},
        {0.5f, 0, 0, 0},     {2.5f, 90, 0, 2},
        {100, 90, 0, 100},   {5, 180, -5, 0},
        {10, 60, 5, 9},      {10, -30, 9, -5},
        {1000, 1, 1000, 17}, {761.0421f, 0.6022f, 761, 8},
    };
    for (const auto& c : cases) {
        ScanPoint p{-1, -1, c.r, c.theta};
        PolarToXY(p);
        EXPECT_EQ(p.X, c.x) << c.r << " at " << c.theta;
        EXPECT_EQ(p.Y, c.y) << c.r << " at " << c.theta;
    }
}

TEST(LeadErrorText, TableAndGaps)
{
    const struct
    {
        int code;
        const char* text;
    } cases[] = {
        {20029, "Escape key pressed"},
        {20016, ""},
        {20020, ""},
        {20066, ""},
        {20069, ""},
        {19999, ""},
        {20091, ""},
        {0, ""},
        {20000, "General failure"},
        {20013, "Invalid parmameter passed"},
        {20063, "Fixed palette data not found"},
        {20064, "Fixed palette data not found"},
        {20074, "Premature end-of-line code"},
        {20077, "Premature end-of-line code"},
        {20082, "Twain no Data Source"},
        {20090, "Twain operation was cancelled"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LeadErrorText(c.code), QString(c.text)) << c.code;
    for (int code = 20030; code <= 20062; ++code)
        EXPECT_EQ(LeadErrorText(code), QString("Internal Error - Call LEAD")) << code;
}

TEST(Preparation, BlackPlaneContrastAndThreshold)
{
    EXPECT_EQ(ContrastLevel(98), 74);
    EXPECT_EQ(ContrastLevel(99), 76);
    EXPECT_EQ(ContrastLevel(0), 0);
    EXPECT_EQ(ContrastLevel(255), 255);
    const struct
    {
        QRgb colour;
        bool black;
    } cases[] = {
        {qRgb(255, 255, 255), false}, {qRgb(255, 160, 160), false}, // drop-out red
        {qRgb(255, 0, 0), false},     {qRgb(0, 0, 255), false},     {qRgb(220, 220, 220), false},
        {qRgb(190, 190, 190), false}, // erasure smudges
        {qRgb(157, 157, 157), false}, {qRgb(156, 156, 156), true},  {qRgb(150, 150, 150), true},
        {qRgb(120, 120, 120), true}, // pencil
        {qRgb(0, 0, 0), true},        {qRgb(100, 140, 150), true},  {qRgb(254, 254, 254), false},
    };
    for (const auto& c : cases) {
        QImage src(3, 2, QImage::Format_RGB32);
        src.fill(c.colour);
        const ScanImage img = PrepareScanImage(src);
        ASSERT_EQ(img.width(), 3);
        ASSERT_EQ(img.height(), 2);
        EXPECT_EQ(img.level(2, 1), c.black ? ScanImage::Black : ScanImage::White)
            << qRed(c.colour) << "," << qGreen(c.colour) << "," << qBlue(c.colour);
    }
    // Indexed and grey images are separated the same way.
    QImage grey(4, 4, QImage::Format_Grayscale8);
    grey.fill(150);
    EXPECT_FALSE(PrepareScanImage(grey).isWhite(0, 0));
    EXPECT_EQ(PrepareScanImage(QImage()).width(), 0);
}

// Anchor search in image coordinates.
TEST(AnchorBox, SearchRules)
{
    ScanImage allDark(850, 200, ScanImage::Black);
    ScanState st;
    st.AnchorBox = ScanPoint{7, 8, 1, 2};
    EXPECT_FALSE(FindAnchorBox(st, allDark));
    EXPECT_EQ(st.AnchorBox.X, 7); // a failed search leaves the earlier values
    EXPECT_EQ(st.AnchorBox.Y, 8);

    // One white pixel first in scan order arms the search for good.
    ScanImage armedOnce(850, 200, ScanImage::Black);
    armedOnce.row(0)[5] = ScanImage::White;
    ASSERT_TRUE(FindAnchorBox(st, armedOnce));
    EXPECT_EQ(st.AnchorBox.X, 5);
    EXPECT_EQ(st.AnchorBox.Y, 0);

    // Two dark areas: the first hit's row, the smallest x of all hits, polar form to match.
    ScanImage two(850, 200);
    paintBlack(two, 40, 30, 10, 10);
    paintBlack(two, 20, 60, 10, 10);
    ASSERT_TRUE(FindAnchorBox(st, two));
    EXPECT_EQ(st.AnchorBox.X, 20);
    EXPECT_EQ(st.AnchorBox.Y, 30);
    EXPECT_FLOAT_EQ(st.AnchorBox.r, std::sqrt(20.0f * 20 + 30 * 30));
    EXPECT_FLOAT_EQ(st.AnchorBox.theta, float(std::atan(1.5) * 180 / 3.14159265358979));

    // Outside the window (x beyond 65, y beyond 112) nothing counts; specks too small neither.
    ScanImage outside(850, 300);
    paintBlack(outside, 66, 20, 20, 20);
    paintBlack(outside, 20, 113, 20, 20);
    paintBlack(outside, 30, 30, 3, 3);
    EXPECT_FALSE(FindAnchorBox(st, outside));
}

TEST(ReferenceBox, WindowClippedToTheImage)
{
    const struct
    {
        int anchorX, anchorY, width;
        int boxX, boxY; // relative to the anchor; -1000: no box
        bool found;
    } cases[] = {
        {35, 50, 850, 761, 0, true},
        {35, 50, 850, 761, 8, true},
        {60, 40, 900, 789, 10, true},  // up to column 849
        {60, 40, 900, 790, 10, false}, // column 850 and beyond are never read
        {40, 40, 900, 791, 10, true},  // 849 - 40 is beyond 801
        {40, 40, 900, 802, 10, false},
        {60, 40, 850, -1000, 0, false}, // the dark beyond the image edge is never a box
        {60, 40, 850, 770, 30, true},   // ... nor lifts the row of the real one
        {35, 50, 787, -1000, 0, false}, // a narrower scan stops at its own edge
        {60, 40, 850, 765, -40, true},  // the image's top row
        {35, 50, 850, 765, 113, false},
    };
    for (const auto& c : cases) {
        ScanImage img(c.width, 400);
        paintBlack(img, c.anchorX, c.anchorY, 20, 20);
        if (c.boxX != -1000)
            paintBlack(img, c.anchorX + c.boxX, c.anchorY + c.boxY, 20, 20);
        ScanState st;
        Status s = RegisterSheet(st, img);
        EXPECT_EQ(st.AnchorBox.X, c.anchorX);
        EXPECT_EQ(st.AnchorBox.Y, c.anchorY);
        ASSERT_EQ(bool(s), c.found) << c.anchorX << " " << c.boxX << "," << c.boxY;
        if (!c.found) {
            EXPECT_EQ(s.error().message, QString("Reference Box not found"));
            continue;
        }
        EXPECT_EQ(st.ReferenceBox.X, c.boxX);
        EXPECT_EQ(st.ReferenceBox.Y, c.boxY);
        EXPECT_FLOAT_EQ(st.ReferenceBox.theta,
                        float(std::atan(double(c.boxY) / c.boxX) * 180 / 3.14159265358979));
    }
    ScanImage blank(850, 400);
    ScanState st;
    const Status s = RegisterSheet(st, blank);
    ASSERT_FALSE(s);
    EXPECT_EQ(s.error().message, QString("Anchor Box not found"));
    EXPECT_EQ(s.error().code, err::AnchorBoxNotFound);
}

TEST(ReadBubbles, DarkestWinsFirstOnATie)
{
    const struct
    {
        std::vector<std::pair<int, int>> marks; // bubble, dark pixels
        int marked, chosen;
    } cases[] = {
        {{}, 0, -1},
        {{{0, 120}}, 1, 0},
        {{{9, 10}}, 1, 9},
        {{{3, 100}, {7, 150}}, 2, 7},
        {{{3, 150}, {7, 100}}, 2, 3},
        {{{3, 120}, {7, 120}}, 2, 3},
        {{{2, 9}, {5, 60}}, 1, 5}, // 9 pixels are no mark
        {{{1, 30}, {4, 200}, {8, 200}}, 3, 4},
    };
    for (const auto& c : cases) {
        ScanImage img(400, 100);
        for (auto [k, n] : c.marks)
            paintBubble(img, 20 + 25 * k, 30, n);
        img.setOrigin(10, 20);
        ScanState st;
        const RowMarks m = ReadBubbles(st, img, ScanPoint{10, 10}, 10, 25.0f, 0.0f);
        EXPECT_EQ(m.marked, c.marked);
        EXPECT_EQ(m.chosen, c.chosen);
    }
}

TEST(ReadBubbles, TheSkewTurnsTheFirstBubbleAndBothPartsOfEachStep)
{
    // A sheet turned by 2 degrees: row at r 1000, theta 60 and bubbles 25 apart.
    const float angle = 2.0f;
    ScanPoint base{0, 0, 1000.0f, 60.0f + angle};
    PolarToXY(base);
    ScanImage img(1200, 1200);
    for (int k = 0; k < 10; ++k) {
        ScanPoint step{0, 0, 25.0f * k, angle};
        PolarToXY(step);
        if (k == 9)
            paintBubble(img, base.X + step.X, base.Y + step.Y, 225);
    }
    ScanState st;
    st.ReferenceBox.theta = angle;
    const RowMarks m = ReadBubbles(st, img, base, 10, 25.0f, angle);
    EXPECT_EQ(m.marked, 1);
    EXPECT_EQ(m.chosen, 9);
    EXPECT_EQ(st.DarkCount, 225); // the box lands exactly on the mark
    // And the reader places the first bubble there from r and theta of the layout.
    ScanPoint straight{0, 0, 1000.0f, 60.0f};
    PolarToXY(straight);
    EXPECT_GT(std::abs(straight.Y - base.Y) + std::abs(straight.X - base.X), 20);
}

// The readers on a layout database: what each appends or sets, and the X, Y rewrite.
TEST(Readers, TextsFromOneRow)
{
    enum Reader
    {
        Digit,
        Choice,
        Court,
        Answer
    };
    const struct
    {
        Reader reader;
        int bubbles;
        std::vector<std::pair<int, int>> marks;
        const char* before;
        const char* after;
    } cases[] = {
        {Digit, 10, {}, "3", "3N"},
        {Digit, 10, {{0, 150}}, "", "0"},
        {Digit, 10, {{3, 100}, {7, 160}}, "", "7"},
        {Digit, 10, {{3, 130}, {7, 130}}, "N", "N3"},
        {Choice, 2, {}, "2", "0"},
        {Choice, 2, {{1, 140}}, "", "2"},
        {Choice, 8, {{7, 140}}, "5", "8"},
        {Court, 10, {}, "", "N"},
        {Court, 10, {{0, 150}}, "", "0"},
        {Court, 12, {{11, 150}}, "", "11"},
        {Answer, 4, {{1, 120}, {3, 180}}, "12", "124"},
        {Answer, 4, {}, "1", "10"},
        {Answer, 2, {{0, 200}}, "", "1"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const bool vertical = c.reader == Digit;
        // First bubble at relative (300, 400) on a straight sheet.
        const float r = std::sqrt(300.0f * 300 + 400 * 400);
        const float theta = float(std::atan2(400.0, 300.0) * 180 / 3.14159265358979);
        const QString db = test::writeLayoutDb(
            dir, {{r, theta, vertical ? 1 : c.bubbles, vertical ? c.bubbles : 1, 25, 24}});
        ScanImage img(900, 1000);
        img.setOrigin(50, 60);
        for (auto [k, n] : c.marks)
            paintBubble(img, 350 + (vertical ? 0 : 25 * k), 460 + (vertical ? 24 * k : 0), n);
        ScanState st;
        QString text = c.before;
        {
            auto open = DefaultWorkspace(dir.path()).OpenDatabase(db, true);
            ASSERT_TRUE(open) << test::str(open.error().message);
            Result<Recordset> rs = (*open)->OpenRecordset("ScanItem");
            ASSERT_TRUE(rs);
            rs->MoveFirst();
            Status s;
            switch (c.reader) {
            case Digit:
                s = ReadDigitColumn(st, img, *rs, text);
                break;
            case Choice:
                s = ReadChoiceRow(st, img, *rs, text);
                break;
            case Court:
                s = ReadMarkRow(st, img, *rs, text, 0);
                break;
            case Answer:
                s = ReadMarkRow(st, img, *rs, text, 1);
                break;
            }
            ASSERT_TRUE(s) << test::str(s.error().message);
        }
        EXPECT_EQ(test::str(text), c.after);
        QSqlDatabase check = QSqlDatabase::addDatabase("QSQLITE", "check");
        check.setDatabaseName(db);
        ASSERT_TRUE(check.open());
        QSqlQuery q("SELECT X, Y FROM ScanItem", check);
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toInt(), 300);
        EXPECT_EQ(q.value(1).toInt(), 400);
        q.finish();
        check.close();
        check = QSqlDatabase();
        QSqlDatabase::removeDatabase("check");
    }
}

TEST(Readers, TheFirstBubbleFollowsTheSkew)
{
    // Far from the anchor box a turn of 1.5 degrees moves a bubble by more than its width.
    QTemporaryDir dir;
    const float r = std::sqrt(700.0f * 700 + 1100 * 1100);
    const float theta = float(std::atan2(1100.0, 700.0) * 180 / 3.14159265358979);
    const QString db = test::writeLayoutDb(dir, {{r, theta, 4, 1, 25, 0}});
    ScanState st;
    st.ReferenceBox.theta = 1.5f;
    ScanPoint first{0, 0, r, theta + 1.5f};
    PolarToXY(first);
    ScanPoint step{0, 0, 50.0f, 1.5f};
    PolarToXY(step);
    ScanImage img(1000, 1400);
    img.setOrigin(40, 50);
    paintBubble(img, 40 + first.X + step.X, 50 + first.Y + step.Y, 225);
    auto open = DefaultWorkspace(dir.path()).OpenDatabase(db, true);
    ASSERT_TRUE(open);
    Result<Recordset> rs = (*open)->OpenRecordset("ScanItem");
    ASSERT_TRUE(rs);
    rs->MoveFirst();
    QString text;
    ASSERT_TRUE(ReadMarkRow(st, img, *rs, text, 1));
    EXPECT_EQ(test::str(text), "3");
    // The layout keeps its straight-sheet position.
    EXPECT_EQ(rs->Field("X")->toInt(), 700);
    EXPECT_EQ(rs->Field("Y")->toInt(), 1100);
}

TEST(Readers, AnUnreadableRowIsAnError)
{
    QTemporaryDir dir;
    const QString db = test::writeLayoutDb(dir, {{100, 10, 200, 1, 25, 0}, {100, 10, 4, 1, 25, 0}});
    {
        QSqlDatabase d = QSqlDatabase::addDatabase("QSQLITE", "nulls");
        d.setDatabaseName(db);
        ASSERT_TRUE(d.open());
        QSqlQuery(d).exec("UPDATE ScanItem SET theta = NULL WHERE rowid = 2");
        d.close();
    }
    QSqlDatabase::removeDatabase("nulls");
    auto open = DefaultWorkspace(dir.path()).OpenDatabase(db, true);
    ASSERT_TRUE(open);
    Result<Recordset> rs = (*open)->OpenRecordset("ScanItem");
    ASSERT_TRUE(rs);
    ScanImage img(850, 1400);
    ScanState st;
    QString text;
    rs->MoveFirst();
    EXPECT_FALSE(ReadMarkRow(st, img, *rs, text, 1)); // 200 bubbles in a row
    rs->MoveNext();
    const Status s = ReadMarkRow(st, img, *rs, text, 1);
    ASSERT_FALSE(s);
    EXPECT_TRUE(s.error().message.contains("theta"));
    EXPECT_TRUE(text.isEmpty());
}

TEST(ImageFiles, RawImageIsAnEightBitBmpAndFilesLoadOrFail)
{
    QTemporaryDir dir;
    QImage colour(850, 1400, QImage::Format_RGB32);
    colour.fill(qRgb(255, 160, 160));
    ASSERT_TRUE(test::writeBytes(dir.filePath("raw.bmp"), "old"));
    ASSERT_TRUE(SaveRawImage(colour, dir.path()));
    const QByteArray bmp = test::readBytes(dir.filePath("raw.bmp"));
    ASSERT_GT(bmp.size(), 54);
    EXPECT_TRUE(bmp.startsWith("BM"));
    EXPECT_EQ(quint8(bmp[28]), 8); // bits per pixel
    const QImage back(dir.filePath("raw.bmp"));
    EXPECT_EQ(back.size(), colour.size());
    EXPECT_EQ(back.pixel(10, 10), qRgb(255, 160, 160));

    const Result<QImage> missing = LoadScanImageFile(dir.filePath("none.png"));
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().code, 20010);
    ASSERT_TRUE(test::writeBytes(dir.filePath("text.png"), "not an image"));
    const Result<QImage> notImage = LoadScanImageFile(dir.filePath("text.png"));
    ASSERT_FALSE(notImage);
    EXPECT_TRUE(notImage.error().message.startsWith("Invalid file format") ||
                notImage.error().message.startsWith("Error reading file"));
    for (const char* format : {"png", "jpg", "tif", "bmp"}) {
        const QString path = dir.filePath(QString("sheet.") + format);
        ASSERT_TRUE(colour.save(path));
        const Result<QImage> loaded = LoadScanImageFile(path);
        ASSERT_TRUE(loaded) << format;
        EXPECT_EQ(loaded->size(), colour.size());
    }
    ASSERT_TRUE(colour.save(dir.filePath("sheet.gif"), "gif") ||
                test::writeBytes(dir.filePath("sheet.gif"), "GIF89a"));
    EXPECT_FALSE(LoadScanImageFile(dir.filePath("sheet.gif")));

    test::ReadOnlyFolder ro;
    ASSERT_TRUE(ro.valid());
    ASSERT_TRUE(ro.makeReadOnly());
    const Status denied = SaveRawImage(colour, ro.path());
    ASSERT_FALSE(denied);
    EXPECT_EQ(denied.error().code, 20005);
}

} // namespace
