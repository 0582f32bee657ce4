// A scanned sheet, from the image in memory to the client information screen filled with what
// was read (goal: at most 50 ms): raw.bmp, preparation, registration, the 177 layout rows with
// their rewrite, the values for the screens, and the screen built.
#include "intake/frmClientInfo.h"
#include "scan/AnswerSheet.h"
#include "scan/ScanAnswerSheet.h"
#include "testing/QuestionDatabase.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <optional>

using namespace kvx;

namespace {

struct QuietPrompter : Prompter
{
    Answer Message(const QString&, Buttons, Icon, const QString&) override { return Answer::Yes; }
    void Beep() override {}
};

struct MemoryScanner : SheetScanner
{
    QImage page;
    bool Present() override { return true; }
    Result<QImage> Acquire() override { return page; }
};

struct NoPicker : ImagePicker
{
    QString PickImage() override { return {}; }
};

// The name comes at once; client information is built, filled and left unaccepted.
struct BuildingScreens : Screens
{
    BuildingScreens(Session& s, Prompter& p) : session(s), prompter(p) {}
    void About() override {}
    QString DriveSelect() override { return {}; }
    void ClientInformation() override
    {
        frmClientInfo screen(session, prompter);
        filledAge = screen.txtAge->text();
    }
    void CourtHistory() override {}
    void AnswerEntry(const QList<int>&) override {}
    void Presentation(const QString&) override {}
    void ScanSheet() override {}
    void EntryMethod() override {}
    void SupervisorOptions() override {}
    void ViewReport() override {}
    void PrintSelected() override {}
    void Verify() override {}
    std::optional<QString> InputBox(const InputBoxRequest&) override
    {
        return QStringLiteral("Bench Client");
    }

    Session& session;
    Prompter& prompter;
    QString filledAge;
};

void ScannedSheetToClientInformation(benchmark::State& state)
{
    QTemporaryDir dir;
    Session s;
    s.ProgramDir = dir.path();
    s.QuestionDbPath = dir.filePath(kQuestionDbFileName);
    if (!QFile::copy(QStringLiteral(KVX_BUILT_DB), s.QuestionDbPath) ||
        !QFile::setPermissions(s.QuestionDbPath, QFile::ReadOwner | QFile::WriteOwner)) {
        state.SkipWithError("no question database");
        return;
    }
    const Workspace ws = DefaultWorkspace(dir.path());
    const auto layout = LoadSheetLayout(ws, s.QuestionDbPath);
    SheetTexts values{QStringLiteral("42"),       QStringLiteral("1"),
                      QStringLiteral("2"),        QStringLiteral("1"),
                      QStringLiteral("3"),        QStringList(kCourtItems, QStringLiteral("1")),
                      QString(kAnswerItems, u'2')};
    values.court[0] = QStringLiteral("19");
    MemoryScanner scanner;
    const Result<QImage> img = layout ? RenderAnswerSheet(*layout, &values) : layout.error();
    if (!img) {
        state.SkipWithError(qPrintable(img.error().message));
        return;
    }
    scanner.page = *img;
    QuietPrompter p;
    BuildingScreens screens(s, p);
    NoPicker picker;
    for (auto _ : state)
        ScanAnswerSheet(s, p, screens, scanner, picker, ws);
    if (screens.filledAge != values.age)
        state.SkipWithError("the screen was not filled");
}
BENCHMARK(ScannedSheetToClientInformation)->Unit(benchmark::kMillisecond);

} // namespace
