// Reading a full data disk and writing one record (with its flush to disk).
#include "store/DataFile.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

using namespace kvx;

namespace {

void fill(Session& s, const QTemporaryDir& dir)
{
    SetDataPath(s, dir.path());
    if (!ReadAllClients(s)) // an empty data file to write to
        std::abort();
    for (int n = 1; n <= kMaxClients; ++n) {
        s.client(n).setRaw(Field::Name, "Client " + QByteArray::number(n));
        s.client(n).setRaw(Field::Answers, QByteArray(155, '1'));
        if (!WriteClient(s, n))
            std::abort();
    }
}

void BM_ReadAllClients51(benchmark::State& state)
{
    QTemporaryDir dir(QStringLiteral("./kvxbench-XXXXXX"));
    Session s;
    fill(s, dir);
    for (auto _ : state) {
        if (!ReadAllClients(s))
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(s.NumClients);
    }
}
BENCHMARK(BM_ReadAllClients51)->Unit(benchmark::kMillisecond);

void BM_WriteClientWithFsync(benchmark::State& state)
{
    QTemporaryDir dir(QStringLiteral("./kvxbench-XXXXXX"));
    Session s;
    fill(s, dir);
    int n = 1;
    for (auto _ : state) {
        if (!WriteClient(s, n))
            state.SkipWithError("write failed");
        n = n % kMaxClients + 1;
    }
}
BENCHMARK(BM_WriteClientWithFsync)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
