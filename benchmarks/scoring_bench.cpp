// Scoring and writing one report, reading the key, text and paragraph files afresh each
// time (goal: at least 1,000 clients a second on one core), and kvxtool report run once for
// each client of a full data disk, process starts included (goal: under 2 seconds in all).
#include "FullDisk.h"
#include "scoring/ScoreAndReport.h"
#include "scoring/ScoringFixture.h"
#include "store/DataFile.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdlib>

using namespace kvx;

namespace {

QString g_binDir;

using Fixture = bench::FullDisk;

void BM_ScoreAndReportOneClient(benchmark::State& state)
{
    Fixture f;
    int n = 1;
    for (auto _ : state) {
        f.s.CurClient = n;
        if (!ScoreAndReport(f.s))
            state.SkipWithError("ScoreAndReport failed");
        n = n % kMaxClients + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ScoreAndReportOneClient)->Unit(benchmark::kMicrosecond);

void BM_KvxtoolReportFullDisk(benchmark::State& state)
{
    Fixture f;
    const QString tool = g_binDir + QStringLiteral("/kvxtool");
    for (auto _ : state) {
        for (int n = 1; n <= kMaxClients; ++n) {
            QProcess p;
            p.start(tool, {QStringLiteral("report"), QStringLiteral("--program-dir"),
                           f.program.path(), QStringLiteral("--data-dir"), f.data.path(),
                           QStringLiteral("--client"), QString::number(n)});
            if (!p.waitForFinished(30000) || p.exitCode() != 0)
                state.SkipWithError("kvxtool report failed");
        }
    }
}
BENCHMARK(BM_KvxtoolReportFullDisk)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    g_binDir = QFileInfo(QString::fromLocal8Bit(argv[0])).absolutePath();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
