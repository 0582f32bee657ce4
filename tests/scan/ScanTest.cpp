// Imaging, registration, the layout readers, our answer sheet and a corpus of it as scanned.
#include "common/TestSupport.h"
#include "scan/AnswerSheet.h"
#include "scan/SheetReader.h"
#include "testing/QuestionDatabase.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <QtEndian>

#include <array>
#include <cmath>
#include <random>

#include <sys/stat.h>

using namespace kvx;
using test::str;

namespace {

void sql(const QString& path, const QStringList& statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "scan-fixture");
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open()) << str(path);
        QSqlQuery q(db);
        for (const QString& s : statements)
            EXPECT_TRUE(q.exec(s)) << str(s);
    }
    QSqlDatabase::removeDatabase("scan-fixture");
}

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
    const std::tuple<qint16, qint16, float, float> toPolar[] = {{0, 5, 5, 90},
                                                                {-10, 0, 10, 0},
                                                                {3, 4, 5, 53.130102f},
                                                                {0, 0, 0, 90},
                                                                {10, -10, 14.142136f, -45},
                                                                {-10, 10, 14.142136f, -45}};
    for (auto [x, y, r, theta] : toPolar) {
        ScanPoint p{x, y, -1, -1};
        XYToPolar(p);
        EXPECT_FLOAT_EQ(p.r, r) << x << "," << y;
        EXPECT_FLOAT_EQ(p.theta, theta) << x << "," << y;
    }
    const std::tuple<float, float, int, int> toXY[] = {
        {2.5f, 0, 2, 0},  {3.5f, 0, 4, 0},     {2.5f, 90, 0, 2},
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
    // White, drop-out red, erasure smudge, the threshold after contrast, black, a dark colour.
    const std::pair<QRgb, bool> cases[] = {
        {qRgb(255, 255, 255), false}, {qRgb(255, 160, 160), false}, {qRgb(190, 190, 190), false},
        {qRgb(157, 157, 157), false}, {qRgb(156, 156, 156), true},  {qRgb(0, 0, 0), true},
        {qRgb(100, 140, 150), true}};
    for (auto [colour, black] : cases) {
        QImage src(3, 2, QImage::Format_RGB32);
        src.fill(colour);
        const ScanImage img = PrepareScanImage(src);
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
        {35, 50, 850, 761, 0, true},  {35, 50, 850, 765, 113, false}, // in and below the window
        {60, 40, 900, 789, 10, true}, {60, 40, 900, 790, 10, false},  // column 849 read, 850 never
        {40, 40, 900, 791, 10, true}, {40, 40, 900, 802, 10, false},  // 849 - 40 is beyond 801
        {60, 40, 850, -1, 0, false},    // the dark beyond the image edge is never a box
        {60, 40, 850, 770, 30, true},   // ... nor lifts the row of the real one
        {35, 50, 787, -1, 0, false},    // a narrower scan stops at its own edge
        {60, 40, 850, 765, -40, true}}; // the image's top row
    for (auto [ax, ay, width, bx, by, found] : cases) {
        ScanImage img(width, 400);
        paint(img, ax, ay, 20, 400);
        if (bx >= 0)
            paint(img, ax + bx, ay + by, 20, 400);
        ScanState st;
        const Status s = RegisterSheet(st, img);
        EXPECT_EQ(xy(st.AnchorBox), std::pair(ax, ay));
        ASSERT_EQ(bool(s), found) << ax << " " << bx << "," << by;
        if (!found)
            EXPECT_EQ(str(s.error().message), "Reference Box not found");
        else
            EXPECT_EQ(xy(st.ReferenceBox), std::pair(bx, by));
    }
}

// Runs reader 'd' (digit column), 'c' (choice row), 'm' (court row) or 'a' (answer row) on a
// one-row layout ("r, theta, dimx, DimY, dx, dy"), text in and out; the row's stored X and Y after.
std::pair<int, int> readRow(char reader, const QString& row, ScanState& st, const ScanImage& img,
                            QString& text)
{
    QTemporaryDir dir;
    const QString db = dir.filePath("layout.db");
    sql(db,
        {"CREATE TABLE ScanItem (ItemName, r, theta, X, Y, dimx, DimY, dx, dy)",
         "INSERT INTO ScanItem (r, theta, dimx, DimY, dx, dy, X, Y) VALUES (" + row + ", -7, -7)"});
    {
        auto open = DefaultWorkspace(dir.path()).OpenDatabase(db, true);
        Result<Recordset> rs = (*open)->OpenRecordset("ScanItem");
        const Status s = reader == 'd'   ? ReadDigitColumn(st, img, *rs, text)
                         : reader == 'c' ? ReadChoiceRow(st, img, *rs, text)
                                         : ReadMarkRow(st, img, *rs, text, reader == 'a' ? 1 : 0);
        EXPECT_TRUE(s) << str(s.error().message);
    }
    auto reopened = DefaultWorkspace(dir.path()).OpenDatabase(db, true);
    const Result<Recordset> stored = (*reopened)->OpenRecordset("ScanItem");
    return {stored->text("X").toInt(), stored->text("Y").toInt()};
}

TEST(Readers, NoneOneOrMoreMarks)
{
    // Reader, bubbles, marks (bubble, dark pixels), text before and after; 9 pixels are no mark.
    // clang-format off
    const std::tuple<char, int, std::vector<std::pair<int, int>>, const char*, const char*>
    cases[] = {
        {'d', 10, {}, "3", "3N"},                    {'d', 10, {{0, 150}}, "", "0"},
        {'d', 10, {{3, 100}, {7, 160}}, "", "7"},    {'d', 10, {{3, 130}, {7, 130}}, "N", "N3"},
        {'c', 2, {}, "2", "0"},                      {'c', 8, {{7, 140}}, "5", "8"},
        {'c', 6, {{1, 150}, {4, 90}}, "", "2"},      {'m', 10, {}, "", "N"},
        {'m', 12, {{11, 150}}, "", "11"},            {'m', 10, {{2, 9}, {5, 60}}, "", "5"},
        {'a', 4, {}, "1", "10"},                     {'a', 4, {{1, 120}, {3, 180}}, "12", "124"},
        {'a', 4, {{0, 200}, {2, 200}, {3, 30}}, "", "1"}};
    // clang-format on
    for (const auto& [reader, bubbles, marks, before, after] : cases) {
        const bool down = reader == 'd';
        // The anchor box at (50, 60), the first bubble 300 across and 400 down from it.
        ScanImage img(900, 1000);
        img.setOrigin(50, 60);
        for (auto [k, n] : marks)
            paint(img, 350 + (down ? 0 : 25 * k), 460 + (down ? 24 * k : 0), 15, n);
        const QString row = down ? QString("500, 53.130102, 1, %1, 25, 24").arg(bubbles)
                                 : QString("500, 53.130102, %1, 1, 25, 24").arg(bubbles);
        ScanState st;
        QString text = before;
        EXPECT_EQ(readRow(reader, row, st, img, text), std::pair(300, 400));
        EXPECT_EQ(str(text), after) << reader << ": " << before << " " << marks.size();
    }
}

TEST(Readers, TheWholeRowFollowsTheSkew)
{
    // Turned 1.5 degrees, the first bubble far from the anchor box moves more than its width.
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
    EXPECT_EQ(readRow('m', row, st, img, text), std::pair(700, 1100));
    EXPECT_EQ(str(text), "9");
    EXPECT_EQ(st.DarkCount, 225); // the last box lands exactly on the mark
}

TEST(ImageFiles, RawImageIsAnEightBitBmpAndFilesLoadOrFail)
{
    QTemporaryDir dir;
    QImage colour(85, 140, QImage::Format_RGB32);
    colour.fill(qRgb(255, 160, 160));
    ASSERT_TRUE(SaveRawImage(colour, dir.path()));
    const QByteArray bmp = test::readBytes(dir.filePath("raw.bmp"));
    EXPECT_TRUE(bmp.startsWith("BM") && bmp.mid(28, 1) == "\x08") << "8 bits per pixel";
    EXPECT_EQ(QImage(dir.filePath("raw.bmp")).pixel(10, 10), colour.pixel(10, 10));

    for (const char* format : {"png", "jpg", "tif", "bmp"}) {
        const QString path = dir.filePath(QString("sheet.") + format);
        const Result<QImage> loaded = colour.save(path) ? LoadScanImageFile(path) : Error{};
        EXPECT_TRUE(loaded && loaded->size() == colour.size()) << format;
    }
    ASSERT_TRUE(test::writeBytes(dir.filePath("sheet.gif"), "GIF89a")); // a format we do not take
    EXPECT_EQ(LoadScanImageFile(dir.filePath("sheet.gif")).error().code, err::ImgInvalidFormat);
    EXPECT_EQ(LoadScanImageFile(dir.filePath("none.png")).error().code, err::ImgFileNotFound);

    test::ReadOnlyFolder ro;
    ASSERT_TRUE(ro.valid() && ro.makeReadOnly());
    const Status denied = SaveRawImage(colour, ro.path());
    EXPECT_EQ(denied ? 0 : denied.error().code, err::ImgWritingFile);
}

TEST(Sane, AcquiresOnePageFromTheTestBackend)
{
    QTemporaryDir dir;
    auto scan = [&](const char* device) {
        return test::runKvxtool({"scan", "--program-dir", dir.path(), "--device", device, "--out",
                                 dir.filePath("page.png")});
    };
    const test::ToolRun none = scan("kvx-no-such-backend");
    EXPECT_TRUE(none.exitCode != 0 &&
                none.err.startsWith("kvxtool: scan: error 20082, Twain no Data Source"))
        << str(none.err);

    const test::ToolRun r = scan("test");
    if (r.err.contains("error 20082"))
        GTEST_SKIP() << "SANE's test backend is not enabled (run scripts/enable-sane-test)";
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // The frame clamped to the test device's 200 mm each way, its default picture solid black.
    const QImage img(dir.filePath("page.png"));
    EXPECT_NEAR(img.width(), 787, 2);
    EXPECT_NEAR(img.height(), 787, 2);
    EXPECT_EQ(img.pixel(10, 10), qRgb(0, 0, 0));
    EXPECT_TRUE(test::readBytes(dir.filePath("raw.bmp")).startsWith("BM"));
}

// A temporary installation holding a copy of the built question database, and its layout.
struct Installation
{
    QTemporaryDir dir;
    QString db = dir.filePath(kQuestionDbFileName);
    Workspace ws = DefaultWorkspace(dir.path());
    // Members start in this order: the copy is made before the layout is read.
    bool copied =
        QFile::copy(qEnvironmentVariable("KVX_BUILD_DIR") + "/data/" + kQuestionDbFileName, db) &&
        QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner);
    std::vector<LayoutRow> layout = LoadSheetLayout(ws, db).value();
};

const Installation& shared()
{
    static const Installation inst;
    return inst;
}

int bubbles(int row)
{
    return std::max(shared().layout[size_t(row)].dimx, shared().layout[size_t(row)].dimY);
}

SheetTexts randomValues(unsigned seed)
{
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    auto digit = [&](int noneIn) { return pick(noneIn) == 0 ? QChar('N') : QChar('0' + pick(10)); };
    SheetTexts t;
    t.age = QString(digit(12)) + digit(12);
    for (int i = 2; QString * choice : {&t.gender, &t.race, &t.marital, &t.education})
        *choice = QString::number(pick(bubbles(i++) + 1));
    t.court << QString(digit(8)) + digit(8);
    for (int i = 1; i < kCourtItems; ++i)
        t.court << QString(digit(6));
    for (int item = 1; item <= kAnswerItems; ++item)
        t.answers += QChar('0' + (pick(15) == 0 ? 0 : 1 + pick(bubbles(21 + item))));
    return t;
}

// Distortions: blur; faint pencil grey 120-150 instead of one grey; erased marks, grey
// 190-220, on unchosen bubbles; a second, lighter and smaller mark in some rows.
constexpr int Blur = 1, Faint = 2, Smudges = 4, Doubles = 8, All = 15;
constexpr int NoAnchor = 16, NoReference = 32, Unmarked = 64, Metadata = 128;

struct Distortion
{
    unsigned seed;
    double degrees, shiftX, shiftY, noise; // noise: standard deviation per channel
    int jpeg, flags;                       // jpeg: quality, 0 for none
    // Printed at this size ("fit to page"), scanned at this resolution (stated in the file with
    // Metadata), on paper this light (255 white) and with the scanner's darkest level this light
    // (0 black); a pencil of this grey (0: the usual).
    double scale = 1.0;
    int dpi = 100, paper = 255, ink = 0, pencil = 0;
};

// The sheet printed, marked in pencil, laid on the glass turned and shifted, scanned as d says.
QImage scannedSheet(const Distortion& d, const SheetTexts& values)
{
    const auto& layout = shared().layout;
    std::mt19937 rng(d.seed * 7919u + 1);
    auto grey = [&](int lo, int hi) { return QColor::fromHsv(0, 0, lo + rng() % (hi - lo + 1)); };
    QImage img(sheet::kPageWidth * d.dpi / 100, sheet::kPageHeight * d.dpi / 100,
               QImage::Format_RGB32);
    img.fill(Qt::white);
    if (d.flags & Metadata) {
        img.setDotsPerMeterX(int(std::lround(d.dpi / 0.0254)));
        img.setDotsPerMeterY(int(std::lround(d.dpi / 0.0254)));
    }
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(d.dpi / 100.0, d.dpi / 100.0);
    const QPointF centre(sheet::kPageWidth / 2.0, sheet::kPageHeight / 2.0);
    p.translate(centre + QPointF(d.shiftX, d.shiftY));
    p.rotate(d.degrees);
    p.scale(d.scale, d.scale);
    p.translate(-centre);
    DrawAnswerSheet(p, layout);
    const std::vector<int> marks = BubblesForValues(layout, values).value();
    for (int row = 0; row < int(layout.size()); ++row) {
        const int count = bubbles(row), chosen = marks[size_t(row)];
        auto other = [&] { return (chosen + 1 + int(rng() % unsigned(count - 1))) % count; };
        if (chosen >= 0) {
            const QColor pencil = d.flags & Faint ? grey(120, 150)
                                  : d.pencil      ? grey(d.pencil, d.pencil)
                                                  : grey(135, 135);
            DrawPencilMark(p, BubbleRect(layout, row, chosen), pencil);
            if (d.flags & Doubles && row % 3 == 0 && count > 1)
                DrawPencilMark(p, BubbleRect(layout, row, other()).adjusted(3, 3, -3, -3),
                               grey(140, 150));
        }
        if (d.flags & Smudges && row % 4 == 1 && count > 1)
            DrawPencilMark(p, BubbleRect(layout, row, other()).adjusted(-3, -2, 3, 2),
                           grey(190, 220));
    }
    for (const QPoint corner : {sheet::kAnchorCorner, sheet::kReferenceCorner})
        if (d.flags & (corner == sheet::kAnchorCorner ? NoAnchor : NoReference))
            p.fillRect(QRect(corner, QSize(sheet::kBoxSide, sheet::kBoxSide)), Qt::white);
    p.end();
    uchar* bits = img.bits(); // blue, green, red, unused
    if (d.paper != 255 || d.ink != 0) {
        std::array<uchar, 256> level{};
        for (int v = 0; v < 256; ++v)
            level[size_t(v)] = uchar(d.ink + v * (d.paper - d.ink) / 255);
        for (qsizetype i = 0; i < img.sizeInBytes(); ++i)
            bits[i] = level[bits[i]];
    }
    std::normal_distribution<double> noise(0.0, std::max(d.noise, 1.0));
    if (d.dpi == 100) {
        for (qsizetype i = 0; d.noise > 0 && i < img.sizeInBytes(); ++i)
            if (i % 4 != 3)
                bits[i] = uchar(std::clamp(int(bits[i] + noise(rng)), 0, 255));
    } else if (d.noise > 0) { // finer scans: drawn from a table, many times faster
        std::vector<int> table(1 << 16);
        for (int& v : table)
            v = int(std::lround(noise(rng)));
        quint32 state = d.seed;
        for (qsizetype i = 0; i < img.sizeInBytes(); ++i) {
            state = state * 1664525u + 1013904223u;
            if (i % 4 != 3)
                bits[i] = uchar(std::clamp(bits[i] + table[state >> 16], 0, 255));
        }
    }
    if (d.flags & Blur) // halved and restored
        img = img.scaled(img.size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                  .scaled(img.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QBuffer jpeg;
    if (d.jpeg > 0 && jpeg.open(QIODevice::WriteOnly) && img.save(&jpeg, "JPEG", d.jpeg))
        img.loadFromData(jpeg.data(), "JPEG");
    return img;
}

// An uncompressed 8-bit grey TIFF with its directory first and its pixels after, as scanners
// write them: cut short, the pixels are what is missing.
QByteArray greyTiff(const QImage& grey)
{
    QByteArray t("II*\0\x08\0\0\0", 8);
    auto put = [&](quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            t += char((v >> (8 * i)) & 0xff);
    };
    const quint32 w = quint32(grey.width()), h = quint32(grey.height()), data = 8 + 2 + 8 * 12 + 4;
    const quint32 entries[][3] = {{256, 4, w}, {257, 4, h},    {258, 3, 8}, {259, 3, 1},
                                  {262, 3, 1}, {273, 4, data}, {278, 4, h}, {279, 4, w * h}};
    put(8, 2);
    for (const auto& e : entries) {
        put(e[0], 2);
        put(e[1], 2);
        put(1, 4);
        put(e[2], 4);
    }
    put(0, 4);
    for (int y = 0; y < grey.height(); ++y)
        t.append(reinterpret_cast<const char*>(grey.constScanLine(y)), grey.width());
    return t;
}

// Qt writes bottom-up BMPs; the same rows stored top down, with a negative height.
QByteArray topDownBmp(const QByteArray& bottomUp)
{
    const int offset = qFromLittleEndian<qint32>(bottomUp.constData() + 10);
    const int height = qFromLittleEndian<qint32>(bottomUp.constData() + 22);
    const int stride = int(bottomUp.size() - offset) / height;
    QByteArray out = bottomUp.left(offset);
    qToLittleEndian<qint32>(-height, out.data() + 22);
    for (int row = height - 1; row >= 0; --row)
        out += bottomUp.mid(offset + row * stride, stride);
    return out;
}

TEST(ImageFiles, DamagedOrIncompleteImagesAreRefused)
{
    QTemporaryDir dir;
    const QImage sheet = RenderAnswerSheet(shared().layout, nullptr).value();
    auto encoded = [&](const char* format) {
        QBuffer b;
        b.open(QIODevice::WriteOnly);
        sheet.save(&b, format);
        return b.data();
    };
    const QByteArray bmp = encoded("BMP");
    const std::pair<const char*, QByteArray> files[] = {
        {"bottom-up.bmp", bmp},
        {"top-down.bmp", topDownBmp(bmp)},
        {"sheet.jpg", encoded("JPEG")},
        {"sheet.png", encoded("PNG")},
        {"sheet.tif", encoded("TIFF")},
        {"scanner.tif", greyTiff(sheet.convertToFormat(QImage::Format_Grayscale8))}};
    for (const auto& [name, bytes] : files) {
        const QString whole = dir.filePath(QString("whole-") + name);
        const QString cut = dir.filePath(QString("cut-") + name);
        ASSERT_TRUE(test::writeBytes(whole, bytes) &&
                    test::writeBytes(cut, bytes.left(bytes.size() * 3 / 5)));
        const Result<QImage> good = LoadScanImageFile(whole);
        EXPECT_TRUE(good && good->size() == sheet.size()) << name;
        const Result<QImage> bad = LoadScanImageFile(cut);
        ASSERT_FALSE(bad) << name;
        EXPECT_EQ(str(bad.error().message),
                  str("The scanned image is damaged or incomplete: " + cut));
        const test::ToolRun run =
            test::runKvxtool(QStringList{"read-sheet", "--program-dir", shared().dir.path(), cut});
        EXPECT_TRUE(run.exitCode != 0 && run.out.isEmpty()) << name;
        // The decoders may say more before.
        EXPECT_TRUE(run.err.endsWith(("kvxtool: " + bad.error().message + "\n").toUtf8()))
            << run.err.toStdString();
    }
    // A stream that runs to its end but is corrupt on the way is refused too.
    QByteArray scrambled = encoded("JPEG");
    for (qsizetype i = scrambled.size() / 2; i < scrambled.size() / 2 + 64; ++i)
        scrambled[i] = char(0xff);
    EXPECT_FALSE(DecodeScanImage(scrambled, "x"));
}

TEST(ImageFiles, OnlyRegularFilesOfASheetsSizeAreRead)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo.png"), zero = dir.filePath("zero.png"),
                  huge = dir.filePath("huge.bmp");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", zero));
    QFile big(huge);
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.write("BM") == 2 &&
                big.resize(kMaxImageFileBytes + 1)); // sparse: no disk space taken
    big.close();
    for (const QString& path : {fifo, zero, huge}) {
        const Result<QImage> r = LoadScanImageFile(path); // returns at once: nothing blocks
        ASSERT_FALSE(r) << str(path);
        EXPECT_EQ(r.error().code, err::ImgReadingFile) << str(path);
    }
    // An image larger than any sheet is refused before it is decoded.
    QImage wide(kMaxImageWidth + 1, 10, QImage::Format_Grayscale8);
    wide.fill(255);
    const QString widePath = dir.filePath("wide.png");
    ASSERT_TRUE(wide.save(widePath));
    EXPECT_EQ(LoadScanImageFile(widePath).error().code, err::ImgInvalidSize);
    // A legal-size colour sheet at 600 dpi is within the limits.
    QImage fine(5100, 8400, QImage::Format_RGB32);
    fine.fill(Qt::white);
    const QString finePath = dir.filePath("fine.bmp");
    ASSERT_TRUE(fine.save(finePath));
    fine = QImage();
    const Result<QImage> loaded = LoadScanImageFile(finePath);
    EXPECT_TRUE(loaded && loaded->size() == QSize(5100, 8400))
        << str(loaded ? QString() : loaded.error().message);
}

TEST(SheetLayout, BubblesFitAndOnlyTheTwoBoxesSurvivePreparation)
{
    const auto& layout = shared().layout;
    // Not off the page, nor where the boxes are searched (with the travel a fed sheet needs).
    const QRect page(20, 20, sheet::kPageWidth - 40, sheet::kPageHeight - 40);
    const QRegion windows =
        QRegion(0, 0, 110, 180) + QRegion(sheet::kAnchorCorner.x() + 741 - 30, 0, 200, 200);
    QRegion taken;
    for (int row = 0; row < kScanItemRows; ++row)
        for (int k = 0; k < bubbles(row); ++k) {
            const QRect b = BubbleRect(layout, row, k);
            EXPECT_TRUE(page.contains(b) && !windows.intersects(b) && !taken.intersects(b))
                << "row " << row + 1 << " bubble " << k;
            taken += b.adjusted(-4, -4, 4, 4);
        }
    // Printed in the drop-out colour, all but the boxes vanish from the black plane.
    const ScanImage img = PrepareScanImage(RenderAnswerSheet(layout, nullptr).value());
    const QSize box(sheet::kBoxSide, sheet::kBoxSide);
    const QRegion boxes =
        QRegion(QRect(sheet::kAnchorCorner, box)) + QRect(sheet::kReferenceCorner, box);
    int dark = 0, stray = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            dark += !img.isWhite(x, y);
            stray += !img.isWhite(x, y) && !boxes.contains(QPoint(x, y));
        }
    EXPECT_EQ(std::pair(dark, stray), std::pair(2 * sheet::kBoxSide * sheet::kBoxSide, 0));
}

TEST(SheetCorpus, EveryValueComesBackExactly)
{
    // Seed, degrees, shift, noise, JPEG quality, flags: straight; turned both ways and shifted to
    // all four corners; each distortion alone; all at once; unmarked; a box missing.
    const Distortion corpus[] = {
        {1, 0, 0, 0, 0, 0, 0},           {2, 1.5, 8, -8, 0, 0, 0},
        {3, -1.5, -8, 8, 0, 0, 0},       {4, 1.5, -8, 8, 6, 0, Faint},
        {5, -1.5, 8, -8, 6, 0, Faint},   {6, 0.8, 3, 5, 18, 0, Blur},
        {7, -0.6, -5, -2, 0, 55, 0},     {8, 1.1, 2, 7, 8, 0, Faint | Smudges},
        {9, -1.2, -7, 3, 0, 0, Doubles}, {10, 1.4, 6, 6, 12, 70, All},
        {11, -1.4, -6, -6, 12, 60, All}, {20, 1.0, 4, -4, 10, 65, Blur | Smudges | Unmarked},
        {21, 0.5, 2, 2, 0, 0, NoAnchor}, {22, -0.5, 2, 2, 0, 0, NoReference}};
    SheetTexts unmarked{
        "NN", "0", "0", "0", "0", QStringList(kCourtItems, "N"), QString(kAnswerItems, '0')};
    unmarked.court[0] = "NN";
    for (const Distortion& d : corpus) {
        SCOPED_TRACE(testing::Message() << "seed " << d.seed);
        const SheetTexts values = d.flags & Unmarked ? unmarked : randomValues(d.seed);
        const QImage scan = scannedSheet(d, values);
        const auto r = ReadSheetImage(scan, shared().ws, shared().db);
        if (d.flags & (NoAnchor | NoReference)) {
            EXPECT_EQ(str(r ? QString() : r.error().message),
                      d.flags & NoAnchor ? "Anchor Box not found" : "Reference Box not found");
            continue;
        }
        ASSERT_TRUE(r) << str(r.error().message);
        EXPECT_EQ(str(SheetReadingJson({{}, {}, r->texts, {}})),
                  str(SheetReadingJson({{}, {}, values, {}})));
        if (!(d.flags & (Doubles | Blur))) {
            EXPECT_TRUE(r->doubtful.isEmpty()) << r->doubtful.size() << " doubts";
        }
        // On these 100-dpi sheets on white paper nothing is resampled or stretched.
        const ScanImage plain = PrepareScanImage(scan);
        SheetLevels levels;
        const ScanImage prepared = PrepareSheetImage(scan, &levels);
        EXPECT_FALSE(levels.stretched);
        ASSERT_EQ(prepared.width(), plain.width());
        EXPECT_TRUE(std::equal(prepared.row(0), prepared.row(0) + 850 * 1400, plain.row(0)));
        EXPECT_NEAR(r->reference.theta, d.degrees, 0.3);
    }
}

TEST(SheetCorpus, ScaledGreyAndFineScansReadExactly)
{
    // Seed, degrees, shift, noise, JPEG, flags, then printed size, dpi, paper, scanner's darkest
    // level, pencil grey. Pencil 140 is 45 % black; erasures (Smudges) stay unmarked throughout.
    const Distortion corpus[] = {
        // "fit to page": the reference box in the usual window, straddling its edge, and nearer
        {30, 0, 0, 0, 0, 0, 0, 0.98},
        {31, 1.0, -3, 4, 6, 0, 0, 0.96},
        {32, -2.0, -5, 5, 0, 0, Smudges, 0.95},
        {33, 2.0, 0, 2, 0, 0, 0, 0.94},
        {34, -2.0, -6, -3, 4, 0, 0, 0.94},
        // grey recycled paper, light pencil, a scanner that never reaches black, noise
        {35, 0.5, 2, 2, 10, 0, Smudges, 1, 100, 204, 0, 140},
        {36, -2.0, -4, 3, 8, 0, Smudges, 1, 100, 150, 0, 140},
        {37, 2.0, 3, -3, 6, 0, Smudges, 1, 100, 190, 90, 140},
        // office scans: resolution stated or known from the size only
        {38, 0.7, 3, 3, 6, 0, Metadata, 1, 200},
        {39, -2.0, -3, 2, 5, 0, 0, 1, 300},
        {40, 0.3, 1, 1, 0, 0, Metadata, 1, 600},
        {41, 1.2, 2, -2, 0, 80, 0, 1, 150},
        // all three at once
        {42, 2.0, -2, -4, 6, 0, Smudges, 0.95, 300, 170, 40, 140},
        {43, -2.0, 2, 4, 6, 0, Metadata | Smudges, 0.97, 200, 200, 60, 140}};
    for (const Distortion& d : corpus) {
        SCOPED_TRACE(testing::Message() << "seed " << d.seed);
        const SheetTexts values = randomValues(d.seed);
        const auto r = ReadSheetImage(scannedSheet(d, values), shared().ws, shared().db);
        ASSERT_TRUE(r) << str(r.error().message);
        EXPECT_EQ(str(SheetReadingJson({{}, {}, r->texts, {}})),
                  str(SheetReadingJson({{}, {}, values, {}})));
        EXPECT_NEAR(r->reference.theta, d.degrees, 0.3);
    }
}

TEST(SheetTool, ReadsBatchesOfFilesAndFolders)
{
    QTemporaryDir dir;
    const SheetTexts a = randomValues(70), b = randomValues(71);
    const QString first = dir.filePath("a.png"), second = dir.filePath("b.jpg"),
                  torn = dir.filePath("c.bmp");
    ASSERT_TRUE(scannedSheet({70, 0.6, 2, 2, 0, 0, 0}, a).save(first));
    // An office scan at 300 dpi, decoded at a reduced size and averaged down.
    ASSERT_TRUE(scannedSheet({71, -1.0, -2, 3, 4, 0, 0, 1, 300}, b).save(second, "JPEG", 90));
    QBuffer bmp;
    bmp.open(QIODevice::WriteOnly);
    ASSERT_TRUE(scannedSheet({72, 0, 0, 0, 0, 0, 0}, a).save(&bmp, "BMP"));
    ASSERT_TRUE(test::writeBytes(torn, bmp.data().left(bmp.data().size() / 2)));

    auto lines = [&](const QStringList& args) {
        const test::ToolRun run = test::runKvxtool(
            QStringList{"read-sheet", "--program-dir", shared().dir.path()} + args);
        QList<QJsonObject> objects;
        for (const QByteArray& line : run.out.split('\n'))
            if (!line.isEmpty())
                objects << QJsonDocument::fromJson(line).object();
        return std::pair(run.exitCode, objects);
    };
    auto texts = [](const QJsonObject& o) {
        return SheetTextsFromJson(QJsonDocument(o).toJson()).value();
    };

    const auto [failed, three] = lines({first, torn, second});
    EXPECT_NE(failed, 0);
    ASSERT_EQ(three.size(), 3);
    EXPECT_EQ(str(three[0]["file"].toString()), str(first));
    EXPECT_TRUE(texts(three[0]) == a && three[0]["doubtful"].toArray().isEmpty());
    EXPECT_EQ(str(three[1]["error"].toString()),
              str("The scanned image is damaged or incomplete: " + torn));
    EXPECT_FALSE(three[1].contains("answers"));
    EXPECT_TRUE(texts(three[2]) == b) << str(three[2]["answers"].toString());

    QFile::remove(torn);
    const auto [fine, folder] = lines({dir.path()});
    EXPECT_EQ(fine, 0);
    ASSERT_EQ(folder.size(), 2);
    EXPECT_EQ(str(folder[1]["file"].toString()), str(second));
    EXPECT_TRUE(texts(folder[0]) == a && texts(folder[1]) == b);
}

TEST(Resolution, StatedOrFromTheWidthAndAveragedByArea)
{
    // Width, stated dpi (0: none stated), the resolution taken.
    const std::tuple<int, int, double> dpis[] = {
        {850, 72, 100},   {1700, 0, 200},   {2550, 72, 300},  {2550, 96, 300},
        {2550, 300, 300}, {2400, 300, 300}, {1275, 150, 150}, {850, 96, 96}};
    for (auto [width, stated, dpi] : dpis) {
        QImage img(width, 10, QImage::Format_Grayscale8);
        if (stated)
            img.setDotsPerMeterX(int(std::lround(stated / 0.0254)));
        EXPECT_NEAR(ImageDpi(img), dpi, 0.05) << width << " at " << stated;
    }
    // 200 dpi: each new pixel the mean of two by two; 150 dpi: of a pixel and a half each way.
    ScanImage fine(8, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            fine.row(y)[x] = (x + y) % 2 ? 0 : 200;
    const ScanImage half = AverageTo100Dpi(fine, 200);
    EXPECT_EQ(std::pair(half.width(), half.height()), std::pair(4, 3));
    EXPECT_EQ(half.level(3, 2), 100);
    ScanImage steps(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            steps.row(y)[x] = x == 0 ? 0 : x == 1 ? 90 : 255;
    const ScanImage twoThirds = AverageTo100Dpi(steps, 150);
    EXPECT_EQ(std::pair(twoThirds.width(), twoThirds.height()), std::pair(2, 2));
    EXPECT_EQ(twoThirds.level(0, 0), 30);             // (0 + 0.5 * 90) / 1.5
    EXPECT_EQ(twoThirds.level(1, 1), 200);            // (0.5 * 90 + 255) / 1.5
    EXPECT_EQ(AverageTo100Dpi(fine, 104).width(), 8); // near enough to 100: untouched
}

TEST(Levels, GreyPaperAndLightInkAreStretchedWhitePaperIsNot)
{
    // Paper, the scanner's darkest level, stretched?
    const std::tuple<int, int, bool> cases[] = {
        {255, 0, false}, {235, 20, false}, {220, 0, true}, {150, 0, true}, {255, 60, true}};
    for (auto [paper, ink, stretched] : cases) {
        Distortion d{80, 0.4, 1, 1, 0, 0, Smudges};
        d.paper = paper;
        d.ink = ink;
        SheetLevels levels;
        PrepareSheetImage(scannedSheet(d, randomValues(80)), &levels);
        EXPECT_EQ(levels.stretched, stretched) << paper << " " << ink;
        EXPECT_NEAR(levels.paper, paper, 2) << paper << " " << ink;
        EXPECT_NEAR(levels.ink, ink, 3) << paper << " " << ink;
    }
}

TEST(SheetLayout, AnUnreadableLayoutStopsTheRead)
{
    const QImage image = scannedSheet({40, 0, 0, 0, 0, 0, 0}, randomValues(40));
    const std::pair<const char*, int> cases[] = {
        {"", err::DbFileNotFound}, // the database removed
        {"", err::DbInUse},        // held open by someone else
        {"DROP TABLE ScanItem", err::DbNoSuchTable},
        {"ALTER TABLE ScanItem DROP COLUMN dx", err::DbNoSuchField},
        {"DELETE FROM ScanItem WHERE rowid > 100", err::DbNoCurrentRecord},
        {"UPDATE ScanItem SET r = NULL WHERE rowid = 150", err::DbFailure},
        {"UPDATE ScanItem SET dimx = 200 WHERE rowid = 30", err::DbFailure}, // no sheet is so wide
    };
    for (auto [change, code] : cases) {
        SCOPED_TRACE(QString("%1 (%2)").arg(change).arg(code).toStdString());
        Installation inst;
        if (*change)
            sql(inst.db, {change});
        if (code == err::DbFileNotFound)
            QFile::remove(inst.db);
        const auto holder = code == err::DbInUse ? inst.ws.OpenDatabase(inst.db, true) : Error{};
        const Result<SheetReading> r = ReadSheetImage(image, inst.ws, inst.db);
        ASSERT_FALSE(r);
        EXPECT_EQ(r.error().code, code);
        EXPECT_TRUE(r.error().message.startsWith("The scan layout cannot be read: "))
            << str(r.error().message);
    }
}

TEST(Doubts, RuleFigures)
{
    // Marked bubbles, the winner's dark pixels, the most dark pixels of an unmarked bubble.
    const std::tuple<int, int, int, const char*> cases[] = {
        {2, 225, 0, "several"}, {3, 12, 9, "several"}, {1, 19, 0, "faint"}, {1, 20, 9, ""},
        {0, 0, 5, "faint"},     {0, 0, 4, ""},         {0, 0, 0, ""},       {1, 10, 0, "faint"}};
    for (auto [marked, winner, unset, reason] : cases) {
        const RowMarks m{marked, marked ? 0 : -1, winner, unset};
        EXPECT_EQ(str(RowDoubt(m)), reason) << marked << " " << winner << " " << unset;
    }
}

// A mark of w x h pure black pixels inside bubble k of a layout row.
void blot(QImage& img, const std::vector<LayoutRow>& layout, int row, int k, int w, int h)
{
    const QRect b = BubbleRect(layout, row, k);
    QPainter(&img).fillRect(QRect(b.x() + 4, b.y() + 4, w, h), Qt::black);
}

TEST(Doubts, DoubleFaintAndNearlyMissedMarks)
{
    const auto& layout = shared().layout;
    SheetTexts values = randomValues(60);
    values.age = "3N";
    values.race = "3";
    values.court[0] = "12";
    values.court[4] = "2";
    values.answers[16] = '1';
    values.answers[39] = values.answers[40] = values.answers[98] = '0';
    values.answers[120] = '2';
    QImage img = RenderAnswerSheet(layout, &values).value();
    // Layout row (answers start at row 22), bubble, blot size; 16 pixels mark, 6 nearly do.
    const std::tuple<int, int, int, int> blots[] = {
        {1, 5, 4, 4},                      // age units: a faint 5
        {6, 4, 7, 7},        {7, 6, 7, 7}, // both columns of the first conviction doubled
        {11, 0, 4, 4},                     // court item 5: a faint second mark
        {21 + 17, 1, 7, 7},                // answer 17: two marks
        {21 + 40, 1, 3, 2},                // answer 40: nearly marked
        {21 + 41, 1, 2, 2},                // answer 41: a speck, no doubt
        {21 + 99, 2, 4, 4},                // answer 99: a faint mark
        {21 + 121, 1, 3, 3},               // answer 121: a speck beside a firm mark, no doubt
    };
    for (auto [row, k, w, h] : blots)
        blot(img, layout, row, k, w, h);
    const Result<SheetReading> r = ReadSheetImage(img, shared().ws, shared().db);
    ASSERT_TRUE(r) << str(r.error().message);
    EXPECT_EQ(str(r->texts.age), "35");
    EXPECT_EQ(str(r->texts.answers.mid(98, 1)), "3");
    const QList<SheetDoubt> expected = {{"age", 2, "faint"},      {"court", 1, "several"},
                                        {"court", 5, "several"},  {"answers", 17, "several"},
                                        {"answers", 40, "faint"}, {"answers", 99, "faint"}};
    EXPECT_EQ(str(SheetReadingJson({{}, {}, {}, r->doubtful}).section("\"doubtful\"", 1)),
              str(SheetReadingJson({{}, {}, {}, expected}).section("\"doubtful\"", 1)));

    // The same through the command line, in the one format the batches use too.
    const QString file = shared().dir.filePath("doubts.png");
    ASSERT_TRUE(img.save(file));
    const test::ToolRun read =
        test::runKvxtool({"read-sheet", "--program-dir", shared().dir.path(), file});
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_TRUE(read.out.contains(R"({"field": "answers", "item": 17, "reason": "several"})"))
        << read.out.toStdString();
}

TEST(Doubts, AListRowMarkedPastItsListReadsAsNotAvailable)
{
    // A layout with four gender bubbles where the list has Male and Female only.
    Installation inst;
    sql(inst.db, {"UPDATE ScanItem SET dimx = 4 WHERE rowid = 3"});
    const std::vector<LayoutRow> layout = LoadSheetLayout(inst.ws, inst.db).value();
    for (const char* gender : {"2", "3", "4"}) {
        SheetTexts values = randomValues(61);
        values.gender = gender;
        const Result<SheetReading> r =
            ReadSheetImage(RenderAnswerSheet(layout, &values).value(), inst.ws, inst.db);
        ASSERT_TRUE(r) << str(r.error().message);
        const bool beyond = QString(gender) != "2";
        EXPECT_EQ(str(r->texts.gender), beyond ? "0" : "2");
        EXPECT_EQ(r->doubtful.contains(SheetDoubt{"gender", 1, "beyond"}), beyond) << gender;
    }
}

TEST(SheetLayout, AFailedReadLeavesTheLayoutAsItWas)
{
    Installation inst;
    sql(inst.db, {"UPDATE ScanItem SET X = -7, Y = -7",
                  "UPDATE ScanItem SET theta = 'x' WHERE rowid = 120"});
    const Result<SheetReading> r =
        ReadSheetImage(RenderAnswerSheet(inst.layout, nullptr).value(), inst.ws, inst.db);
    ASSERT_FALSE(r);
    auto db = inst.ws.OpenDatabase(inst.db, false);
    Result<Recordset> rows = (*db)->OpenRecordset("Select * from [ScanItem]");
    ASSERT_TRUE(rows);
    int rewritten = 0;
    for (rows->MoveFirst(); !rows->AtEOF(); rows->MoveNext())
        rewritten += rows->text("X") != "-7" || rows->text("Y") != "-7";
    EXPECT_EQ(rewritten, 0);
}

TEST(SheetTool, DrawsFillsAndReadsBack)
{
    auto tool = [&](const char* command, const QStringList& args) {
        return test::runKvxtool(QStringList{command, "--program-dir", shared().dir.path()} + args);
    };
    auto file = [&](const char* name) { return shared().dir.filePath(name); };
    const SheetReading expected{{35, 50}, {761, 0}, randomValues(50), {}};
    ASSERT_TRUE(test::writeBytes(file("values.json"), SheetReadingJson(expected).toUtf8()));
    for (const char* out : {"filled.png", "filled.pdf"})
        ASSERT_EQ(tool("sheet", {"--out", file(out), "--fill", file("values.json")}).exitCode, 0);
    QImage torn(file("filled.png"));
    EXPECT_EQ(torn.size(), QSize(850, 1400));
    const QByteArray pdf = test::readBytes(file("filled.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF") && pdf.contains("/MediaBox [0 0 612.000000 1008.000000]"));

    const test::ToolRun read = tool("read-sheet", {file("filled.png")});
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_EQ(read.out.toStdString(), str(SheetReadingJson(expected) + "\n"));
    EXPECT_TRUE(read.out.startsWith(R"({"anchor": [35, 50], "reference": [761, 0, 0], "age": )"));

    QPainter(&torn).fillRect(QRect(sheet::kAnchorCorner, QSize(20, 20)), Qt::white);
    ASSERT_TRUE(torn.save(file("torn.jpg"), "JPEG", 80));
    const test::ToolRun refused = tool("read-sheet", {file("torn.jpg")});
    EXPECT_TRUE(refused.exitCode != 0 && refused.out.isEmpty());
    EXPECT_EQ(refused.err.toStdString(), "kvxtool: Anchor Box not found\n");

    ASSERT_TRUE(test::writeBytes(file("bad.json"), R"({"court": ["NN", "12"]})"));
    const test::ToolRun tooBig =
        tool("sheet", {"--out", file("bad.png"), "--fill", file("bad.json")});
    EXPECT_TRUE(tooBig.exitCode != 0 && tooBig.err.contains("court item 2")) << str(tooBig.err);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv); // the sheet is drawn with fonts
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
