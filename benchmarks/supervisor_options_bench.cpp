// "Print all clients' reports" from the supervisor screen over a full data disk (51 clients)
// into one PDF file. Compare with BM_BatchOf51ToOnePdf of bench_print, the same batch without
// the screen and its progress window (goal: within twice that time).
#include "FullDisk.h"
#include "scoring/ReportPrint.h"
#include "scoring/ScoringFixture.h"
#include "store/DataFile.h"
#include "supervisor/frmSupervisorOptions.h"

#include "common/FakeScreens.h"
#include "common/ScriptedPrompter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QRadioButton>
#include <QTemporaryDir>

#include <cstdlib>

using namespace kvx;

namespace {

void BM_PrintAllFromSupervisorScreen(benchmark::State& state)
{
    bench::FullDisk disk;
    Session& s = disk.s;
    const QTemporaryDir& program = disk.program;

    const QString pdf = QDir(program.path()).filePath(QStringLiteral("all.pdf"));
    test::ScriptedPrompter prompter;
    test::FakeScreens screens(s);
    for (auto _ : state) {
        frmSupervisorOptions screen(s, prompter, screens,
                                    [&] { return std::make_unique<PdfReportPrinter>(pdf); });
        screen.show();
        screen.optPrintOption[2]->click();
        screens.inputs = {QStringLiteral("K")};
        screen.menuChoices()->button(0)->click();
        if (!prompter.shown.isEmpty() || s.CurClient != 1)
            state.SkipWithError("printing failed");
    }
}
BENCHMARK(BM_PrintAllFromSupervisorScreen)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
