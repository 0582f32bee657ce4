// Speed of the answer grid: building the grids of 155 items (goal: at most 50 ms), and one
// keystroke stored and the next row highlighted (goal: at most 5 ms).
#include "entry/frmNewEntry.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>

namespace {

struct QuietPrompter : kvx::Prompter
{
    Answer Message(const QString&, Buttons, Icon, const QString&) override { return Answer::Ok; }
    void Beep() override {}
};

kvx::Session client()
{
    kvx::Session s;
    s.CurClient = 1;
    s.EditMode = true;
    s.current().setRaw(kvx::Field::Answers, QByteArray(kvx::kItemCount, '1'));
    return s;
}

void BuildGrids(benchmark::State& state)
{
    kvx::Session s = client();
    QuietPrompter p;
    const std::vector<kvx::GridPlan> plan = kvx::StandardGridPlan();
    for (auto _ : state) {
        kvx::frmNewEntry f(s, p, plan);
        benchmark::DoNotOptimize(f.grid(3));
    }
}
BENCHMARK(BuildGrids)->Unit(benchmark::kMillisecond);

void KeyToNextRow(benchmark::State& state)
{
    kvx::Session s = client();
    QuietPrompter p;
    kvx::frmNewEntry f(s, p, kvx::StandardGridPlan());
    f.show();
    QApplication::setActiveWindow(&f);
    if (!QTest::qWaitForWindowActive(&f)) {
        state.SkipWithError("the screen did not become active");
        return;
    }
    kvx::ResponseGrid* g = f.grid(0);
    for (auto _ : state) {
        QTest::keyClick(g, '2');
        if (g->currentRow() == g->lastRow()) {
            state.PauseTiming();
            while (g->currentRow() > 0)
                QTest::keyClick(g, Qt::Key_Up);
            state.ResumeTiming();
        }
    }
    if (f.answerTable().code(1) != '2')
        state.SkipWithError("the keys were not stored");
}
BENCHMARK(KeyToNextRow)->Unit(benchmark::kMicrosecond);

} // namespace
