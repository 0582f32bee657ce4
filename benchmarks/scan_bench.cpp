// One 850 x 1400 sheet: preparation, registration and the reading of all 177 layout rows; a
// 300-dpi office scan against merely decoding it at 100 dpi; a sheet in a batch; a whole
// kvxtool read-sheet run. Goals: the 300-dpi read within 1.5 times the scaled decoding, a
// 100-dpi sheet in a batch within 10 ms, a single run within 50 ms.
#include "scan/AnswerSheet.h"
#include "scan/ScanImage.h"
#include "scan/ScanSupport.h"
#include "scan/SheetReader.h"
#include "testing/QuestionDatabase.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdlib>

using namespace kvx;

namespace {

QByteArray encoded(const QImage& img, const char* format, int quality = -1)
{
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    img.save(&b, format, quality);
    return b.data();
}

struct Fixture
{
    QTemporaryDir dir;
    QString db;
    std::vector<LayoutRow> layout;
    QImage scan;
    QByteArray png100; // the askew sheet as a file
    QByteArray bmp100;
    QByteArray jpeg300; // the same values scanned at 300 dpi in colour
    QByteArray png300;
    ScanLayout scanLayout;

    Fixture()
    {
        db = dir.filePath(kQuestionDbFileName);
        if (!QFile::copy(QStringLiteral(KVX_BUILT_DB), db))
            std::abort();
        QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner);
        Result<std::vector<LayoutRow>> l = LoadSheetLayout(DefaultWorkspace(dir.path()), db);
        if (!l)
            std::abort();
        layout = std::move(*l);
        SheetTexts values;
        values.age = QStringLiteral("37");
        values.gender = QStringLiteral("2");
        values.race = QStringLiteral("4");
        values.marital = QStringLiteral("3");
        values.education = QStringLiteral("6");
        values.court << QStringLiteral("19");
        for (int i = 1; i < kCourtItems; ++i)
            values.court << QString::number(i % 10);
        for (int item = 1; item <= kAnswerItems; ++item)
            values.answers +=
                QChar(u'1' + item % (item <= 94 || (item > 135 && item <= 145) ? 2 : 4));
        Result<QImage> sheet = RenderAnswerSheet(layout, &values);
        if (!sheet)
            std::abort();
        // Fed a little askew, as a real sheet is.
        scan = QImage(sheet->size(), QImage::Format_RGB32);
        scan.fill(Qt::white);
        QPainter p(&scan);
        p.translate(425 + 4, 700 - 3);
        p.rotate(0.8);
        p.translate(-425, -700);
        p.drawImage(0, 0, *sheet);
        p.end();
        png100 = encoded(scan, "PNG");
        bmp100 = encoded(scan, "BMP");

        QImage fine(2550, 4200, QImage::Format_RGB32);
        fine.fill(Qt::white);
        QPainter q(&fine);
        q.setRenderHint(QPainter::Antialiasing);
        q.scale(3, 3);
        q.translate(425 + 4, 700 - 3);
        q.rotate(0.8);
        q.translate(-425, -700);
        DrawAnswerSheet(q, layout);
        const std::vector<int> marks = BubblesForValues(layout, values).value();
        for (int row = 0; row < int(marks.size()); ++row)
            if (marks[size_t(row)] >= 0)
                DrawPencilMark(q, BubbleRect(layout, row, marks[size_t(row)]),
                               QColor(sheet::kPencilGrey, sheet::kPencilGrey, sheet::kPencilGrey));
        q.end();
        jpeg300 = encoded(fine, "JPEG", 90);
        png300 = encoded(fine, "PNG");
        Result<ScanLayout> opened = OpenScanLayout(DefaultWorkspace(dir.path()), db);
        if (!opened)
            std::abort();
        scanLayout = std::move(*opened);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

// The whole read as a scan does it, with the layout table opened, read and rewritten.
void BM_ReadSheetWithLayoutTable(benchmark::State& state)
{
    Fixture& f = fixture();
    const Workspace ws = DefaultWorkspace(f.dir.path());
    for (auto _ : state) {
        Result<SheetReading> r = ReadSheetImage(f.scan, ws, f.db);
        if (!r)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_ReadSheetWithLayoutTable)->Unit(benchmark::kMillisecond);

// The image work alone: preparation, both box searches and every bubble of the 177 rows.
void BM_PrepareRegisterReadBubbles(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        ScanImage img = PrepareScanImage(f.scan);
        ScanState st;
        if (!RegisterSheet(st, img))
            state.SkipWithError("boxes not found");
        int marked = 0;
        for (size_t row = 0; row < f.layout.size(); ++row) {
            const LayoutRow& r = f.layout[row];
            const bool digit = row == 0 || row == 1 || row == 6 || row == 7;
            ScanPoint base{0, 0, r.r, r.theta + st.ReferenceBox.theta};
            PolarToXY(base);
            marked += ReadBubbles(st, img, base, digit ? r.dimY : r.dimx, digit ? r.dy : r.dx,
                                  st.ReferenceBox.theta + (digit ? 90.0f : 0.0f))
                          .marked;
        }
        benchmark::DoNotOptimize(marked);
    }
}
BENCHMARK(BM_PrepareRegisterReadBubbles)->Unit(benchmark::kMillisecond);

void BM_PrepareScanImage(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        ScanImage img = PrepareScanImage(f.scan);
        benchmark::DoNotOptimize(img.row(0));
    }
}
BENCHMARK(BM_PrepareScanImage)->Unit(benchmark::kMillisecond);

// A file's bytes to values along a layout opened once, as a batch reads each sheet.
void readFile(benchmark::State& state, const QByteArray& bytes)
{
    const ScanLayout& layout = fixture().scanLayout;
    for (auto _ : state) {
        Result<QImage> img = DecodeScanImage(bytes, QStringLiteral("bench"));
        Result<SheetReading> r = img ? ReadSheetImage(*img, layout) : img.error();
        if (!r)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(r);
    }
}

// The yardstick: decoding the same file at 100 dpi and nothing else (JPEG scales while
// decoding, PNG is decoded whole and then scaled).
void decodeScaled(benchmark::State& state, const QByteArray& bytes)
{
    for (auto _ : state) {
        QBuffer b;
        b.setData(bytes);
        b.open(QIODevice::ReadOnly);
        QImageReader reader(&b);
        reader.setScaledSize(QSize(850, 1400));
        QImage img = reader.read();
        if (img.isNull())
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(img.constBits());
    }
}

void BM_BatchSheet100DpiPng(benchmark::State& state)
{
    readFile(state, fixture().png100);
}
BENCHMARK(BM_BatchSheet100DpiPng)->Unit(benchmark::kMillisecond);

void BM_BatchSheet100DpiBmp(benchmark::State& state)
{
    readFile(state, fixture().bmp100);
}
BENCHMARK(BM_BatchSheet100DpiBmp)->Unit(benchmark::kMillisecond);

// What the PNG sheet costs to decode alone.
void BM_Decode100DpiPng(benchmark::State& state)
{
    for (auto _ : state) {
        Result<QImage> img = DecodeScanImage(fixture().png100, QStringLiteral("bench"));
        benchmark::DoNotOptimize(img);
    }
}
BENCHMARK(BM_Decode100DpiPng)->Unit(benchmark::kMillisecond);

void BM_Read300DpiJpeg(benchmark::State& state)
{
    readFile(state, fixture().jpeg300);
}
BENCHMARK(BM_Read300DpiJpeg)->Unit(benchmark::kMillisecond);

void BM_DecodeScaled300DpiJpeg(benchmark::State& state)
{
    decodeScaled(state, fixture().jpeg300);
}
BENCHMARK(BM_DecodeScaled300DpiJpeg)->Unit(benchmark::kMillisecond);

void BM_Read300DpiPng(benchmark::State& state)
{
    readFile(state, fixture().png300);
}
BENCHMARK(BM_Read300DpiPng)->Unit(benchmark::kMillisecond);

void BM_DecodeScaled300DpiPng(benchmark::State& state)
{
    decodeScaled(state, fixture().png300);
}
BENCHMARK(BM_DecodeScaled300DpiPng)->Unit(benchmark::kMillisecond);

// A whole "kvxtool read-sheet" process on one 100-dpi file, start to exit.
void BM_KvxtoolReadSheetRun(benchmark::State& state)
{
    Fixture& f = fixture();
    const QString file = f.dir.filePath(QStringLiteral("sheet.png"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(f.png100) != f.png100.size())
        std::abort();
    out.close();
    for (auto _ : state) {
        QProcess run;
        run.start(QStringLiteral(KVX_TOOL), {QStringLiteral("read-sheet"),
                                             QStringLiteral("--program-dir"), f.dir.path(), file});
        if (!run.waitForFinished() || run.exitCode() != 0)
            state.SkipWithError("kvxtool read-sheet failed");
    }
}
BENCHMARK(BM_KvxtoolReadSheetRun)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
