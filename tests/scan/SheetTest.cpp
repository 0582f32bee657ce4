// Our answer sheet, kvxtool sheet and read-sheet, and a corpus of marked sheets as scanned.
#include "ScanTestSupport.h"
#include "scan/AnswerSheet.h"
#include "scan/SheetReader.h"
#include "testing/QuestionDatabase.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPainter>

#include <random>

using namespace kvx;
using test::str;

namespace {

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

// Bubbles of a layout row: the digit columns count down, all other rows across.
int bubbles(int row)
{
    const LayoutRow& r = shared().layout[size_t(row)];
    return row == 0 || row == 1 || row == 6 || row == 7 ? r.dimY : r.dimx;
}

// Values as a client might mark them, reproducible from the seed.
SheetTexts randomValues(unsigned seed)
{
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    auto digit = [&](int noneIn) { return pick(noneIn) == 0 ? QChar('N') : QChar('0' + pick(10)); };
    SheetTexts t;
    t.age = QString(digit(12)) + digit(12);
    QString* choices[] = {&t.gender, &t.race, &t.marital, &t.education};
    for (int i = 0; i < 4; ++i)
        *choices[i] = QString::number(pick(bubbles(2 + i) + 1));
    t.court << QString(digit(8)) + digit(8);
    for (int i = 1; i < kCourtItems; ++i)
        t.court << (pick(6) == 0 ? QString("N") : QString::number(pick(10)));
    for (int item = 1; item <= kAnswerItems; ++item)
        t.answers += QChar('0' + (pick(15) == 0 ? 0 : 1 + pick(bubbles(21 + item))));
    return t;
}

// Distortions: blur 3 x 3; faint pencil grey 120-150 instead of one grey; erased marks, grey
// 190-220, on unchosen bubbles; a second, lighter and smaller mark in some rows.
constexpr int Blur = 1, Faint = 2, Smudges = 4, Doubles = 8;
constexpr int NoAnchor = 16, NoReference = 32, Unmarked = 64;

struct Distortion
{
    const char* name;
    unsigned seed;
    double degrees, shiftX, shiftY, noise; // noise: standard deviation per channel
    int jpeg, flags;                       // jpeg: quality, 0 for none
};

// The sheet printed, marked in pencil with the values, laid on the glass turned about its centre
// and shifted, and scanned with noise, blur and JPEG compression as d says.
QImage scannedSheet(const Distortion& d, const SheetTexts& values)
{
    const auto& layout = shared().layout;
    std::mt19937 rng(d.seed * 7919u + 1);
    auto grey = [&](int lo, int hi) {
        const int g = lo + int(rng() % unsigned(hi - lo + 1));
        return QColor(g, g, g);
    };
    QImage img(sheet::kPageWidth, sheet::kPageHeight, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(img.width() / 2.0, img.height() / 2.0);
    p.translate(centre + QPointF(d.shiftX, d.shiftY));
    p.rotate(d.degrees);
    p.translate(-centre);
    DrawAnswerSheet(p, layout);
    const Result<std::vector<int>> marks = BubblesForValues(layout, values);
    EXPECT_TRUE(marks);
    for (int row = 0; marks && row < int(layout.size()); ++row) {
        const int count = bubbles(row), chosen = (*marks)[size_t(row)];
        auto other = [&] { return (chosen + 1 + int(rng() % unsigned(count - 1))) % count; };
        if (chosen >= 0) {
            const QColor pencil = d.flags & Faint ? grey(120, 150) : grey(135, 135);
            DrawPencilMark(p, BubbleRect(layout, row, chosen), pencil);
            if (d.flags & Doubles && row % 3 == 0 && count > 1)
                DrawPencilMark(p, BubbleRect(layout, row, other()).adjusted(3, 3, -3, -3),
                               grey(140, 150));
        }
        if (d.flags & Smudges && row % 4 == 1 && count > 1) {
            p.setPen(Qt::NoPen);
            p.setBrush(grey(190, 220));
            p.drawEllipse(BubbleRect(layout, row, other()).adjusted(-2, -1, 2, 1));
        }
    }
    for (const QPoint corner : {sheet::kAnchorCorner, sheet::kReferenceCorner})
        if (d.flags & (corner == sheet::kAnchorCorner ? NoAnchor : NoReference))
            p.fillRect(QRect(corner, QSize(sheet::kBoxSide, sheet::kBoxSide)), Qt::white);
    p.end();
    std::normal_distribution<double> noise(0.0, std::max(d.noise, 1.0));
    uchar* bits = img.bits(); // blue, green, red, unused
    for (qsizetype i = 0; d.noise > 0 && i < img.sizeInBytes(); ++i)
        if (i % 4 != 3)
            bits[i] = uchar(std::clamp(int(bits[i] + noise(rng)), 0, 255));
    if (d.flags & Blur) { // 3 x 3 box: the running mean of the nine shifted copies
        const QImage src = img.copy();
        QPainter b(&img);
        for (int k = 0, n = 1; k < 9; ++k) {
            if (k == 4)
                continue; // the centre is there already
            b.setOpacity(1.0 / ++n);
            b.drawImage(k % 3 - 1, k / 3 - 1, src);
        }
    }
    QBuffer jpeg;
    if (d.jpeg > 0 && jpeg.open(QIODevice::WriteOnly) && img.save(&jpeg, "JPEG", d.jpeg))
        img.loadFromData(jpeg.data(), "JPEG");
    return img;
}

TEST(SheetLayout, BubblesFitAndOnlyTheTwoBoxesSurvivePreparation)
{
    const auto& layout = shared().layout;
    ASSERT_EQ(layout.size(), size_t(kScanItemRows));
    // Not off the page, nor where the boxes are searched (with the travel a fed sheet needs).
    const QRect page(20, 20, sheet::kPageWidth - 40, sheet::kPageHeight - 40);
    const QRegion windows =
        QRegion(0, 0, 110, 180) + QRegion(sheet::kAnchorCorner.x() + 741 - 30, 0, 200, 200);
    QRegion taken;
    const int choices[] = {2, 6, 5, 8}; // sex, race, marital status, education
    for (int row = 0; row < kScanItemRows; ++row) {
        const int item = row - 21; // answers of sections 1 and 3 are two-way
        const int n = row >= 2 && row < 6                         ? choices[row - 2]
                      : item < 1                                  ? 10
                      : item <= 94 || (item > 135 && item <= 145) ? 2
                                                                  : 4;
        EXPECT_EQ(bubbles(row), n) << "row " << row + 1;
        for (int k = 0; k < n; ++k) {
            const QRect b = BubbleRect(layout, row, k);
            EXPECT_TRUE(page.contains(b) && !windows.intersects(b) && !taken.intersects(b))
                << "row " << row + 1 << " bubble " << k;
            taken += b.adjusted(-4, -4, 4, 4);
        }
    }
    // Printed in the drop-out colour, all but the boxes vanish from the black plane.
    const Result<QImage> blank = RenderAnswerSheet(layout, nullptr);
    ASSERT_TRUE(blank);
    ASSERT_EQ(blank->size(), QSize(850, 1400));
    const ScanImage img = PrepareScanImage(*blank);
    const QSize box(sheet::kBoxSide, sheet::kBoxSide);
    const QRegion boxes =
        QRegion(QRect(sheet::kAnchorCorner, box)) + QRect(sheet::kReferenceCorner, box);
    int dark = 0, inBoxes = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (!img.isWhite(x, y)) {
                ++dark;
                inBoxes += boxes.contains(QPoint(x, y));
            }
    EXPECT_EQ(dark, 2 * sheet::kBoxSide * sheet::kBoxSide);
    EXPECT_EQ(inBoxes, dark);
}

TEST(SheetCorpus, EveryValueComesBackExactly)
{
    const int all = Blur | Faint | Smudges | Doubles;
    const Distortion corpus[] = {
        {"straight", 1, 0, 0, 0, 0, 0, 0},
        {"+1.5 deg, shifted", 2, 1.5, 8, -8, 0, 0, 0},
        {"-1.5 deg, shifted", 3, -1.5, -8, 8, 0, 0, 0},
        {"+1.5 deg, other corner", 4, 1.5, -8, 8, 6, 0, Faint},
        {"-1.5 deg, other corner", 5, -1.5, 8, -8, 6, 0, Faint},
        {"noise and blur", 6, 0.8, 3, 5, 18, 0, Blur},
        {"JPEG", 7, -0.6, -5, -2, 0, 55, 0},
        {"faint pencil, smudges", 8, 1.1, 2, 7, 8, 0, Faint | Smudges},
        {"double marks", 9, -1.2, -7, 3, 0, 0, Doubles},
        {"everything", 10, 1.4, 6, 6, 12, 70, all},
        {"everything, other way", 11, -1.4, -6, -6, 12, 60, all},
        {"unmarked", 20, 1.0, 4, -4, 10, 65, Blur | Smudges | Unmarked},
        {"no anchor box", 21, 0.5, 2, 2, 0, 0, NoAnchor},
        {"no reference box", 22, -0.5, 2, 2, 0, 0, NoReference},
    };
    SheetTexts unmarked{
        "NN", "0", "0", "0", "0", QStringList(kCourtItems, "N"), QString(kAnswerItems, '0')};
    unmarked.court[0] = "NN";
    test::sql(shared().db, {"UPDATE ScanItem SET X = -7, Y = -7"});
    for (const Distortion& d : corpus) {
        SCOPED_TRACE(d.name);
        const SheetTexts values = d.flags & Unmarked ? unmarked : randomValues(d.seed);
        const Result<SheetReading> r =
            ReadSheetImage(scannedSheet(d, values), shared().ws, shared().db);
        if (d.flags & (NoAnchor | NoReference)) {
            ASSERT_FALSE(r);
            EXPECT_EQ(str(r.error().message),
                      d.flags & NoAnchor ? "Anchor Box not found" : "Reference Box not found");
            continue;
        }
        ASSERT_TRUE(r) << str(r.error().message);
        EXPECT_EQ(str(SheetReadingJson({{}, {}, r->texts})),
                  str(SheetReadingJson({{}, {}, values})));
        EXPECT_NEAR(r->reference.theta, d.degrees, 0.3);
    }
    // Every read rewrites X and Y of every row from its r and theta.
    for (const QVariantList& row :
         test::sql(shared().db, {"SELECT r, theta, X, Y FROM ScanItem"})) {
        ScanPoint p{0, 0, row[0].toFloat(), row[1].toFloat()};
        PolarToXY(p);
        EXPECT_EQ(std::pair(row[2].toInt(), row[3].toInt()), std::pair(int(p.X), int(p.Y)));
    }
}

TEST(SheetLayout, AnUnreadableLayoutStopsTheRead)
{
    const QImage image = scannedSheet({"straight", 40, 0, 0, 0, 0, 0, 0}, randomValues(40));
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
            test::sql(inst.db, {change});
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

TEST(SheetTool, DrawsFillsAndReadsBack)
{
    const Installation inst;
    auto tool = [&](const char* command, const QStringList& args) {
        return test::runKvxtool(QStringList{command, "--program-dir", inst.dir.path()} + args);
    };
    auto file = [&](const char* name) { return inst.dir.filePath(name); };
    const SheetReading expected{{35, 50}, {761, 0}, randomValues(50)};
    ASSERT_TRUE(test::writeBytes(file("values.json"), SheetReadingJson(expected).toUtf8()));
    for (const char* out : {"filled.png", "filled.pdf"}) {
        const test::ToolRun r = tool("sheet", {"--out", file(out), "--fill", file("values.json")});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    }
    QImage torn(file("filled.png"));
    EXPECT_EQ(torn.size(), QSize(850, 1400));
    const QByteArray pdf = test::readBytes(file("filled.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_TRUE(pdf.contains("/MediaBox [0 0 612.000000 1008.000000]")); // legal, in points

    const test::ToolRun read = tool("read-sheet", {file("filled.png")});
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_EQ(read.out.toStdString(), str(SheetReadingJson(expected) + "\n"));
    EXPECT_TRUE(read.out.startsWith(R"({"anchor": [35, 50], "reference": [761, 0, 0], "age": )"));

    QPainter(&torn).fillRect(QRect(sheet::kAnchorCorner, QSize(20, 20)), Qt::white);
    ASSERT_TRUE(torn.save(file("torn.jpg"), "JPEG", 80));
    const test::ToolRun refused = tool("read-sheet", {file("torn.jpg")});
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_EQ(refused.err.toStdString(), "kvxtool: Anchor Box not found\n");

    ASSERT_TRUE(test::writeBytes(file("bad.json"), R"({"court": ["NN", "12"]})"));
    const test::ToolRun tooBig =
        tool("sheet", {"--out", file("bad.png"), "--fill", file("bad.json")});
    EXPECT_NE(tooBig.exitCode, 0);
    EXPECT_TRUE(tooBig.err.contains("court item 2")) << tooBig.err.toStdString();
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv); // the sheet is drawn with fonts
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
