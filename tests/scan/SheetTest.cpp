// Our answer sheet: its layout, its drop-out printing, and a corpus of marked sheets that
// are turned, shifted, smudged and compressed as a scanner and a pencil would, read back.
#include "ScanTestSupport.h"
#include "common/TestSupport.h"
#include "scan/AnswerSheet.h"
#include "scan/SheetReader.h"
#include "testing/QuestionDatabase.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QPainter>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <random>

using namespace kvx;

namespace {

constexpr int kChoices[] = {2, 6, 5, 8};

struct Installation
{
    QTemporaryDir dir;
    QString db = test::copyBuiltDatabase(dir);
    Workspace ws = DefaultWorkspace(dir.path());
    std::vector<LayoutRow> layout;

    Installation()
    {
        Result<std::vector<LayoutRow>> l = LoadSheetLayout(ws, db);
        if (!l)
            throw std::runtime_error(l.error().message.toStdString());
        layout = std::move(*l);
    }
};

Installation& installation()
{
    static Installation inst;
    return inst;
}

int answerChoices(int item)
{
    return item <= 94 || (item > 135 && item <= 145) ? 2 : 4;
}

// Values as a client might mark them, reproducible from the seed.
SheetTexts randomValues(unsigned seed)
{
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    auto digit = [&](int noneIn) { return pick(noneIn) == 0 ? QChar('N') : QChar('0' + pick(10)); };
    SheetTexts t;
    t.age = QString(digit(12)) + digit(12);
    t.gender = QString::number(pick(kChoices[0] + 1));
    t.race = QString::number(pick(kChoices[1] + 1));
    t.marital = QString::number(pick(kChoices[2] + 1));
    t.education = QString::number(pick(kChoices[3] + 1));
    t.court << QString(digit(8)) + digit(8);
    for (int i = 1; i < kCourtItems; ++i)
        t.court << (pick(6) == 0 ? QString("N") : QString::number(pick(10)));
    for (int item = 1; item <= kAnswerItems; ++item)
        t.answers += QChar('0' + (pick(15) == 0 ? 0 : 1 + pick(answerChoices(item))));
    return t;
}

SheetTexts unmarked()
{
    SheetTexts t{"NN", "0", "0", "0", "0", {}, QString(kAnswerItems, '0')};
    t.court << "NN";
    for (int i = 1; i < kCourtItems; ++i)
        t.court << "N";
    return t;
}

struct Distortion
{
    const char* name;
    unsigned seed;
    double degrees;
    int shiftX, shiftY;
    double noise;  // standard deviation per channel
    bool blur;     // 3 x 3 box blur
    int jpeg;      // quality; 0: none
    bool faint;    // pencil grey 120-150 instead of one grey
    bool smudges;  // erased marks, grey 190-220, on unchosen bubbles
    bool doubles;  // a second, lighter mark in some rows
    bool noAnchor; // the anchor box torn or covered
    bool noReference;
};

// The marked sheet as printed and pencilled, before the scanner sees it.
QImage markedSheet(const Distortion& d, const SheetTexts* values)
{
    const auto& layout = installation().layout;
    std::mt19937 rng(d.seed * 7919u + 1);
    auto uniform = [&](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
    QImage img(sheet::kPageWidth, sheet::kPageHeight, QImage::Format_RGB32);
    QPainter p(&img);
    DrawAnswerSheet(p, layout);
    std::vector<int> marks(layout.size(), -1);
    if (values) {
        Result<std::vector<int>> m = BubblesForValues(layout, *values);
        EXPECT_TRUE(m);
        marks = *m;
    }
    for (int row = 0; row < int(layout.size()); ++row) {
        const bool digit = row == 0 || row == 1 || row == 6 || row == 7;
        const int count = digit ? layout[size_t(row)].dimY : layout[size_t(row)].dimx;
        const int chosen = marks[size_t(row)];
        if (chosen >= 0) {
            const int g = d.faint ? uniform(120, 150) : sheet::kPencilGrey;
            DrawPencilMark(p, BubbleRect(layout, row, chosen), QColor(g, g, g));
            if (d.doubles && row % 3 == 0 && count > 1) {
                // A lighter, smaller second mark: fewer of its pixels pass as dark.
                const int other = (chosen + 1 + uniform(0, count - 2)) % count;
                const int g2 = uniform(140, 150);
                const QRect b = BubbleRect(layout, row, other).adjusted(3, 3, -3, -3);
                DrawPencilMark(p, b, QColor(g2, g2, g2));
            }
        }
        if (d.smudges && row % 4 == 1 && count > 1) {
            const int other = chosen >= 0 ? (chosen + 1) % count : uniform(0, count - 1);
            const int g = uniform(190, 220);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(g, g, g));
            p.drawEllipse(BubbleRect(layout, row, other).adjusted(-2, -1, 2, 1));
        }
    }
    if (d.noAnchor)
        p.fillRect(QRect(sheet::kAnchorCorner, QSize(sheet::kBoxSide, sheet::kBoxSide)), Qt::white);
    if (d.noReference)
        p.fillRect(QRect(sheet::kReferenceCorner, QSize(sheet::kBoxSide, sheet::kBoxSide)),
                   Qt::white);
    p.end();
    return img;
}

// What the scanner hands over: turned about the page centre, shifted, noisy, blurred, JPEG.
QImage scanned(const QImage& paper, const Distortion& d)
{
    QImage img(paper.size(), QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.setRenderHint(QPainter::Antialiasing);
        const QPointF centre(paper.width() / 2.0, paper.height() / 2.0);
        p.translate(centre + QPointF(d.shiftX, d.shiftY));
        p.rotate(d.degrees);
        p.translate(-centre);
        p.drawImage(0, 0, paper);
    }
    if (d.noise > 0) {
        std::mt19937 rng(d.seed);
        std::normal_distribution<double> n(0.0, d.noise);
        for (int y = 0; y < img.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x) {
                auto ch = [&](int v) { return std::clamp(int(v + n(rng)), 0, 255); };
                line[x] = qRgb(ch(qRed(line[x])), ch(qGreen(line[x])), ch(qBlue(line[x])));
            }
        }
    }
    if (d.blur) {
        const QImage src = img.copy();
        for (int y = 1; y < img.height() - 1; ++y) {
            auto* out = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 1; x < img.width() - 1; ++x) {
                int r = 0, g = 0, b = 0;
                for (int j = -1; j <= 1; ++j)
                    for (int i = -1; i <= 1; ++i) {
                        const QRgb c = src.pixel(x + i, y + j);
                        r += qRed(c);
                        g += qGreen(c);
                        b += qBlue(c);
                    }
                out[x] = qRgb(r / 9, g / 9, b / 9);
            }
        }
    }
    if (d.jpeg > 0) {
        QBuffer buf;
        buf.open(QIODevice::WriteOnly);
        EXPECT_TRUE(img.save(&buf, "JPEG", d.jpeg));
        img = QImage::fromData(buf.data(), "JPEG").convertToFormat(QImage::Format_RGB32);
    }
    return img;
}

TEST(SheetLayout, BubblesFitThePageAndNeverTouch)
{
    const auto& layout = installation().layout;
    ASSERT_EQ(layout.size(), size_t(kScanItemRows));
    std::vector<QRect> all;
    for (int row = 0; row < kScanItemRows; ++row) {
        const LayoutRow& r = layout[size_t(row)];
        const bool digit = row == 0 || row == 1 || row == 6 || row == 7;
        int expected = 0;
        if (digit)
            expected = 10;
        else if (row >= 2 && row < 6)
            expected = kChoices[row - 2];
        else if (row < 22)
            expected = 10;
        else
            expected = answerChoices(row - 21);
        EXPECT_EQ(digit ? r.dimY : r.dimx, expected) << "row " << row + 1;
        for (int k = 0; k < expected; ++k)
            all.push_back(BubbleRect(layout, row, k));
    }
    const QRect page(20, 20, sheet::kPageWidth - 40, sheet::kPageHeight - 40);
    // Where the boxes are searched (with the travel a fed sheet needs), no bubble may lie.
    const QRect anchorWindow(0, 0, 110, 180);
    const QRect referenceWindow(sheet::kAnchorCorner.x() + 741 - 30, 0, 200, 200);
    for (size_t i = 0; i < all.size(); ++i) {
        EXPECT_TRUE(page.contains(all[i])) << i;
        EXPECT_FALSE(all[i].intersects(anchorWindow)) << i;
        EXPECT_FALSE(all[i].intersects(referenceWindow)) << i;
        for (size_t j = i + 1; j < all.size(); ++j)
            EXPECT_FALSE(all[i].adjusted(-4, -4, 4, 4).intersects(all[j])) << i << " " << j;
    }
}

TEST(SheetLayout, OnlyTheTwoBoxesSurvivePreparationOfABlankSheet)
{
    Result<QImage> blank = RenderAnswerSheet(installation().layout, nullptr);
    ASSERT_TRUE(blank);
    ASSERT_EQ(blank->size(), QSize(850, 1400));
    const ScanImage img = PrepareScanImage(*blank);
    const QRect anchor(sheet::kAnchorCorner, QSize(sheet::kBoxSide, sheet::kBoxSide));
    const QRect reference(sheet::kReferenceCorner, QSize(sheet::kBoxSide, sheet::kBoxSide));
    int dark = 0;
    int stray = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (!img.isWhite(x, y)) {
                ++dark;
                stray += !anchor.contains(x, y) && !reference.contains(x, y);
            }
    EXPECT_EQ(stray, 0);
    EXPECT_EQ(dark, 2 * sheet::kBoxSide * sheet::kBoxSide);
}

TEST(SheetLayout, ValuesThatDoNotFitAreRefused)
{
    const auto& layout = installation().layout;
    SheetTexts ok = unmarked();
    EXPECT_TRUE(BubblesForValues(layout, ok));
    const struct
    {
        const char* name;
        void (*change)(SheetTexts&);
    } cases[] = {
        {"age of three digits", [](SheetTexts& t) { t.age = "123"; }},
        {"age with a letter", [](SheetTexts& t) { t.age = "3x"; }},
        {"gender 3", [](SheetTexts& t) { t.gender = "3"; }},
        {"education 9", [](SheetTexts& t) { t.education = "9"; }},
        {"court 10 on a 0-9 row", [](SheetTexts& t) { t.court[4] = "10"; }},
        {"court negative", [](SheetTexts& t) { t.court[4] = "-1"; }},
        {"answer 3 in section 1", [](SheetTexts& t) { t.answers[0] = '3'; }},
        {"answer letter", [](SheetTexts& t) { t.answers[100] = 'x'; }},
        {"156 answers", [](SheetTexts& t) { t.answers += '1'; }},
    };
    for (const auto& c : cases) {
        SheetTexts t = unmarked();
        c.change(t);
        EXPECT_FALSE(BubblesForValues(layout, t)) << c.name;
    }
}

TEST(SheetCorpus, EveryValueComesBackExactly)
{
    const Distortion corpus[] = {
        {"straight", 1, 0, 0, 0, 0, false, 0, false, false, false, false, false},
        {"+1.5 deg, shifted", 2, 1.5, 8, -8, 0, false, 0, false, false, false, false, false},
        {"-1.5 deg, shifted", 3, -1.5, -8, 8, 0, false, 0, false, false, false, false, false},
        {"+1.5 deg, other corner", 4, 1.5, -8, 8, 6, false, 0, true, false, false, false, false},
        {"-1.5 deg, other corner", 5, -1.5, 8, -8, 6, false, 0, true, false, false, false, false},
        {"noise and blur", 6, 0.8, 3, 5, 18, true, 0, false, false, false, false, false},
        {"JPEG", 7, -0.6, -5, -2, 0, false, 55, false, false, false, false, false},
        {"faint pencil, smudges", 8, 1.1, 2, 7, 8, false, 0, true, true, false, false, false},
        {"double marks", 9, -1.2, -7, 3, 0, false, 0, false, false, true, false, false},
        {"everything", 10, 1.4, 6, 6, 12, true, 70, true, true, true, false, false},
        {"everything, other way", 11, -1.4, -6, -6, 12, true, 60, true, true, true, false, false},
    };
    for (const Distortion& d : corpus) {
        SCOPED_TRACE(d.name);
        const SheetTexts values = randomValues(d.seed);
        const QImage image = scanned(markedSheet(d, &values), d);
        const Result<SheetReading> r = ReadSheetImage(image, installation().ws, installation().db);
        ASSERT_TRUE(r) << test::str(r.error().message);
        EXPECT_EQ(test::str(r->texts.age), test::str(values.age));
        EXPECT_EQ(test::str(r->texts.gender), test::str(values.gender));
        EXPECT_EQ(test::str(r->texts.race), test::str(values.race));
        EXPECT_EQ(test::str(r->texts.marital), test::str(values.marital));
        EXPECT_EQ(test::str(r->texts.education), test::str(values.education));
        EXPECT_EQ(r->texts.court, values.court);
        EXPECT_EQ(test::str(r->texts.answers), test::str(values.answers));
        EXPECT_NEAR(r->reference.theta, d.degrees, 0.3);
    }
}

TEST(SheetCorpus, UnmarkedAndUnregisteredSheets)
{
    const struct
    {
        Distortion d;
        const char* error; // nullptr: reads as unmarked
    } cases[] = {
        {{"unmarked", 20, 1.0, 4, -4, 10, true, 65, false, true, false, false, false}, nullptr},
        {{"no anchor box", 21, 0.5, 2, 2, 0, false, 0, false, false, false, true, false},
         "Anchor Box not found"},
        {{"no reference box", 22, -0.5, 2, 2, 0, false, 0, false, false, false, false, true},
         "Reference Box not found"},
    };
    const SheetTexts blank = unmarked();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.d.name);
        const SheetTexts values = randomValues(c.d.seed);
        const QImage image = scanned(markedSheet(c.d, c.error ? &values : nullptr), c.d);
        const Result<SheetReading> r = ReadSheetImage(image, installation().ws, installation().db);
        if (c.error) {
            ASSERT_FALSE(r);
            EXPECT_EQ(test::str(r.error().message), c.error);
            continue;
        }
        ASSERT_TRUE(r) << test::str(r.error().message);
        EXPECT_EQ(r->texts, blank);
    }
}

void sql(const QString& db, const QStringList& statements)
{
    {
        QSqlDatabase d = QSqlDatabase::addDatabase("QSQLITE", "alter");
        d.setDatabaseName(db);
        ASSERT_TRUE(d.open());
        for (const QString& s : statements)
            ASSERT_TRUE(QSqlQuery(d).exec(s)) << test::str(s);
        d.close();
    }
    QSqlDatabase::removeDatabase("alter");
}

TEST(SheetLayout, EveryReadRewritesXAndYOfAllRows)
{
    QTemporaryDir dir;
    const QString db = test::copyBuiltDatabase(dir);
    sql(db, {"UPDATE ScanItem SET X = -7, Y = -7"});
    const SheetTexts values = randomValues(30);
    const Distortion d{"turned", 30, 1.0, 0, 0, 0, false, 0, false, false, false, false, false};
    const Result<SheetReading> r =
        ReadSheetImage(scanned(markedSheet(d, &values), d), DefaultWorkspace(dir.path()), db);
    ASSERT_TRUE(r);
    QSqlDatabase c = QSqlDatabase::addDatabase("QSQLITE", "rewritten");
    c.setDatabaseName(db);
    ASSERT_TRUE(c.open());
    {
        QSqlQuery q("SELECT r, theta, X, Y FROM ScanItem ORDER BY rowid", c);
        int rows = 0;
        while (q.next()) {
            ScanPoint p{0, 0, q.value(0).toFloat(), q.value(1).toFloat()};
            PolarToXY(p);
            EXPECT_EQ(q.value(2).toInt(), p.X) << rows;
            EXPECT_EQ(q.value(3).toInt(), p.Y) << rows;
            ++rows;
        }
        EXPECT_EQ(rows, kScanItemRows);
    }
    c.close();
    c = QSqlDatabase();
    QSqlDatabase::removeDatabase("rewritten");
}

TEST(SheetLayout, AnUnreadableLayoutStopsTheRead)
{
    const SheetTexts values = randomValues(40);
    const Distortion d{"straight", 40, 0, 0, 0, 0, false, 0, false, false, false, false, false};
    const QImage image = scanned(markedSheet(d, &values), d);
    const struct
    {
        const char* name;
        QStringList statements;
        int code;
    } cases[] = {
        {"no table", {"DROP TABLE ScanItem"}, err::DbNoSuchTable},
        {"no dx column", {"ALTER TABLE ScanItem DROP COLUMN dx"}, err::DbNoSuchField},
        {"too few rows", {"DELETE FROM ScanItem WHERE rowid > 100"}, err::DbNoCurrentRecord},
        {"a value missing", {"UPDATE ScanItem SET r = NULL WHERE rowid = 150"}, err::DbFailure},
        {"no database", {}, err::DbFileNotFound},
        {"in use", {}, err::DbInUse},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString db = test::copyBuiltDatabase(dir);
        if (!c.statements.isEmpty())
            sql(db, c.statements);
        if (c.code == err::DbFileNotFound)
            QFile::remove(db);
        std::unique_ptr<QuestionDatabase> holder;
        if (c.code == err::DbInUse) {
            auto h = DefaultWorkspace(dir.path()).OpenDatabase(db, true);
            ASSERT_TRUE(h);
            holder = std::move(*h);
        }
        const Result<SheetReading> r = ReadSheetImage(image, DefaultWorkspace(dir.path()), db);
        ASSERT_FALSE(r);
        EXPECT_EQ(r.error().code, c.code);
        EXPECT_TRUE(r.error().message.startsWith("The scan layout cannot be read: "))
            << test::str(r.error().message);
    }
}

TEST(SheetTool, DrawsFillsAndReadsBack)
{
    QTemporaryDir dir;
    test::copyBuiltDatabase(dir);
    SheetReading expected;
    expected.texts = randomValues(50);
    expected.anchor = ScanPoint{35, 50};
    XYToPolar(expected.anchor);
    expected.reference = ScanPoint{761, 0};
    XYToPolar(expected.reference);
    ASSERT_TRUE(test::writeBytes(dir.filePath("values.json"), SheetReadingJson(expected).toUtf8()));
    const auto sheet = [&](const QString& out) {
        return test::runKvxtool({"sheet", "--program-dir", dir.path(), "--out", out, "--fill",
                                 dir.filePath("values.json")});
    };
    const test::ToolRun png = sheet(dir.filePath("filled.png"));
    ASSERT_EQ(png.exitCode, 0) << png.err.toStdString();
    const QImage drawn(dir.filePath("filled.png"));
    EXPECT_EQ(drawn.size(), QSize(850, 1400));

    const test::ToolRun read =
        test::runKvxtool({"read-sheet", "--program-dir", dir.path(), dir.filePath("filled.png")});
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_EQ(read.out.toStdString(), (SheetReadingJson(expected) + "\n").toStdString());
    EXPECT_TRUE(
        read.out.startsWith("{\"anchor\": [35, 50], \"reference\": [761, 0, 0], \"age\": "));

    const test::ToolRun pdf = sheet(dir.filePath("filled.pdf"));
    ASSERT_EQ(pdf.exitCode, 0) << pdf.err.toStdString();
    const QByteArray bytes = test::readBytes(dir.filePath("filled.pdf"));
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_TRUE(bytes.contains("/MediaBox [0 0 612.000000 1008.000000]")); // legal, in points

    QImage torn = drawn;
    QPainter(&torn).fillRect(QRect(sheet::kAnchorCorner, QSize(20, 20)), Qt::white);
    ASSERT_TRUE(torn.save(dir.filePath("torn.jpg"), "JPEG", 80));
    const test::ToolRun refused =
        test::runKvxtool({"read-sheet", "--program-dir", dir.path(), dir.filePath("torn.jpg")});
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_EQ(refused.err.toStdString(), "kvxtool: Anchor Box not found\n");

    ASSERT_TRUE(test::writeBytes(dir.filePath("bad.json"), "{\"court\": [\"NN\", \"12\"]}"));
    const test::ToolRun tooBig =
        test::runKvxtool({"sheet", "--program-dir", dir.path(), "--out", dir.filePath("bad.png"),
                          "--fill", dir.filePath("bad.json")});
    EXPECT_NE(tooBig.exitCode, 0);
    EXPECT_TRUE(tooBig.err.contains("court item 2")) << tooBig.err.toStdString();
}

} // namespace
