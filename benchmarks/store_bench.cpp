// Reading a full data disk and writing one record (with its flush to disk).
#include "store/DataFile.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kvx;

namespace {

void fill(Session& s, const QTemporaryDir& dir)
{
    SetDataPath(s, dir.path());
    if (!ReadAllClients(s, MissingDataFile::Create)) // an empty data file to write to
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

// The yardstick for the one above: a record written as records were before the journal (open,
// one positioned write, its flush, close). The journaled write should stay within three times
// this.
void BM_SingleFsyncedRecordWrite(benchmark::State& state)
{
    QTemporaryDir dir(QStringLiteral("./kvxbench-XXXXXX"));
    Session s;
    fill(s, dir);
    const QByteArray path = QFile::encodeName(s.DataFile);
    const QByteArray record = s.client(1).bytes();
    int n = 1;
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
        struct stat st
        {
        };
        if (fd < 0 || ::fstat(fd, &st) != 0 ||
            ::pwrite(fd, record.constData(), static_cast<size_t>(record.size()),
                     static_cast<off_t>(n - 1) * ClientRecord::Size) != record.size() ||
            ::fsync(fd) != 0 || ::close(fd) != 0)
            state.SkipWithError("write failed");
        n = n % kMaxClients + 1;
    }
}
BENCHMARK(BM_SingleFsyncedRecordWrite)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
