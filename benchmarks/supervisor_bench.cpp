// One keystroke of data verification on the real screen (goal: at most 5 ms), the keystroke
// that ends the first pass and compares, and every report of a full data disk printed into
// one PDF file from the selective printing screen (goal: within twice the time kvxtool print
// takes for the same clients, measured beside it).
#include "FullDisk.h"
#include "entry/frmVerify.h"
#include "scoring/ReportPrint.h"
#include "scoring/ScoringFixture.h"
#include "store/DataFile.h"
#include "supervisor/frmPrintSelected.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <memory>

using namespace kvx;

namespace {

QString g_binDir;

class SilentPrompter : public Prompter
{
public:
    Answer Message(const QString&, Buttons, Icon, const QString&) override { return Answer::Ok; }
    void Beep() override {}
};

using Fixture = bench::FullDisk;

// An accepted key in the middle of the first pass.
void BM_VerifyKeystroke(benchmark::State& state)
{
    Fixture f;
    SilentPrompter p;
    const QByteArray answers = f.s.client(1).raw(Field::Answers);
    auto screen = std::make_unique<frmVerify>(f.s, p);
    screen->show();
    for (auto _ : state) {
        const int item = screen->verification().currentItem();
        QTest::keyClick(screen->txtCurQuestion, answers[item - 1]);
        if (screen->verification().position() == kItemCount) {
            state.PauseTiming();
            screen = std::make_unique<frmVerify>(f.s, p);
            screen->show();
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_VerifyKeystroke)->Unit(benchmark::kMicrosecond);

// The last key of the first pass: the comparison and the start of the correction pass.
void BM_VerifyLastKeyCompares(benchmark::State& state)
{
    Fixture f;
    SilentPrompter p;
    QByteArray answers = f.s.client(1).raw(Field::Answers);
    answers[9] = answers[9] == '1' ? '2' : '1';
    for (auto _ : state) {
        state.PauseTiming();
        frmVerify screen(f.s, p);
        screen.show();
        for (int i = 0; i < kItemCount - 1; ++i)
            QTest::keyClick(screen.txtCurQuestion, answers[i]);
        state.ResumeTiming();
        QTest::keyClick(screen.txtCurQuestion, answers[kItemCount - 1]);
        if (!screen.verification().correctionPass())
            state.SkipWithError("no correction pass");
    }
}
BENCHMARK(BM_VerifyLastKeyCompares)->Unit(benchmark::kMicrosecond);

// "Select All", then "Print Selected" into one PDF file.
void BM_PrintAllFromScreenToPdf(benchmark::State& state)
{
    Fixture f;
    SilentPrompter p;
    const QString pdf = QDir(f.program.path()).filePath(QStringLiteral("screen.pdf"));
    for (auto _ : state) {
        PdfReportPrinter printer(pdf);
        frmPrintSelected screen(f.s, p, printer);
        screen.show();
        QTest::keyClick(screen.menuChoices()->button(frmPrintSelected::SelectAll), Qt::Key_Return);
        QTest::keyClick(screen.menuChoices()->button(frmPrintSelected::PrintSelected),
                        Qt::Key_Return);
        if (printer.reportCount() != kMaxClients)
            state.SkipWithError("not every report was printed");
    }
}
BENCHMARK(BM_PrintAllFromScreenToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_KvxtoolPrintAllToPdf(benchmark::State& state)
{
    Fixture f;
    const QString pdf = QDir(f.program.path()).filePath(QStringLiteral("tool.pdf"));
    QStringList all;
    for (int n = 1; n <= kMaxClients; ++n)
        all << QString::number(n);
    for (auto _ : state) {
        QProcess tool;
        tool.start(g_binDir + QStringLiteral("/kvxtool"),
                   {QStringLiteral("print"), QStringLiteral("--program-dir"), f.program.path(),
                    QStringLiteral("--data-dir"), f.data.path(), QStringLiteral("--clients"),
                    all.join(u','), QStringLiteral("--pdf"), pdf});
        if (!tool.waitForFinished(120000) || tool.exitCode() != 0)
            state.SkipWithError("kvxtool print failed");
    }
}
BENCHMARK(BM_KvxtoolPrintAllToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    g_binDir = QFileInfo(QString::fromLocal8Bit(argv[0])).absolutePath();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
