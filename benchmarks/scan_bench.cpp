// One 850 x 1400 sheet: preparation, registration and the reading of all 177 layout rows.
#include "scan/AnswerSheet.h"
#include "scan/ScanImage.h"
#include "scan/ScanSupport.h"
#include "scan/SheetReader.h"
#include "testing/QuestionDatabase.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdlib>

using namespace kvx;

namespace {

struct Fixture
{
    QTemporaryDir dir;
    QString db;
    std::vector<LayoutRow> layout;
    QImage scan;

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

} // namespace
