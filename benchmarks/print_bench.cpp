// A batch of a full data disk (51 clients) printed into one PDF file (goal: under 5 seconds),
// and the same batch with a printer that does nothing, to show how much of it is scoring.
#include "FullDisk.h"
#include "scoring/ReportPrint.h"
#include "scoring/ScoringFixture.h"
#include "store/DataFile.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>

using namespace kvx;

namespace {

using Fixture = bench::FullDisk;

class NullPrinter : public ReportPrinter
{
public:
    Status PrintReportFile(const QString&) override { return {}; }
};

void BM_BatchOf51ToOnePdf(benchmark::State& state)
{
    Fixture f;
    const QString pdf = QDir(f.program.path()).filePath(QStringLiteral("batch.pdf"));
    int pages = 0;
    for (auto _ : state) {
        PdfReportPrinter printer(pdf);
        const BatchOutcome out = PrintReportBatch(f.s, f.all, printer);
        if (out.error || out.printed != kMaxClients)
            state.SkipWithError("the batch failed");
        pages = 0;
        for (int k = 1; k <= kMaxClients; ++k) {
            QFile copy(QDir(f.program.path()).filePath(BatchCopyName(k)));
            if (copy.open(QIODevice::ReadOnly))
                pages += static_cast<int>(copy.readAll().count('\f')) + 1;
        }
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_BatchOf51ToOnePdf)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BatchOf51ScoringOnly(benchmark::State& state)
{
    Fixture f;
    for (auto _ : state) {
        NullPrinter printer;
        if (PrintReportBatch(f.s, f.all, printer).error)
            state.SkipWithError("the batch failed");
    }
}
BENCHMARK(BM_BatchOf51ScoringOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
