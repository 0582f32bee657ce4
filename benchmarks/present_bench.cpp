// The on-screen test as the client feels it: from the Enter that chooses an answer to the next
// question on screen (goal: one frame, 16 ms), and from an answer button's focus to its
// recording playing (goal: 150 ms, needs an audio output device).
#include "store/DataFile.h"
#include "testing/QtAudioPlayer.h"
#include "testing/QuestionDatabase.h"
#include "testing/ToneWave.h"
#include "testing/frmPresentQA.h"
#include "ui/Prompter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

using namespace kvx;

namespace {

struct QuietPrompter : Prompter
{
    Answer Message(const QString&, Buttons, Icon, const QString&) override { return Answer::Ok; }
    void Beep() override {}
};

struct SilentPlayer : AudioPlayer
{
    bool Prepare() override { return true; }
    void Play(const QString&) override {}
    void Stop() override {}
};

// An installation with the question database and the recordings of the first items, and a
// data disk with a new client, the screen shown with item `first` on display.
struct Rig
{
    explicit Rig(AudioPlayer& player)
    {
        s.QuestionDbPath = dir.filePath(kQuestionDbFileName);
        s.SoundPath = dir.path();
        const QString sound = dir.filePath(QStringLiteral("KVXTest/sound/English/"));
        QDir().mkpath(sound);
        QDir().mkpath(dir.filePath(QStringLiteral("disk")));
        SetDataPath(s, dir.filePath(QStringLiteral("disk")));
        bool ok =
            QFile::copy(QStringLiteral(KVX_BUILT_DB), s.QuestionDbPath) && ReadAllClients(s).ok();
        const QByteArray tone = test::toneWave(500);
        for (const char* name : {"Inst0.wav", "Inst1.wav", "Q001.wav", "Q002.wav", "Q003.wav",
                                 "True.wav", "False.wav"}) {
            QFile f(sound + QLatin1String(name));
            ok = ok && f.open(QIODevice::WriteOnly) && f.write(tone) == tone.size();
        }
        if (!ok)
            std::abort();
        InitNewClient(s, QDate(2024, 3, 5));
        screen = std::make_unique<frmPresentQA>(s, prompter, ws, player);
        screen->setLanguage(QStringLiteral("English"));
        screen->show();
        QApplication::setActiveWindow(screen.get());
        if (!QTest::qWaitForWindowActive(screen.get()))
            std::abort();
        key(Qt::Key_Return); // general instructions
        key(Qt::Key_Return); // section 1
        key(Qt::Key_Down);   // item 1's first answer
        key(Qt::Key_Return); // item 2 on screen
    }
    static void key(Qt::Key k)
    {
        QTest::keyClick(QApplication::focusWidget(), k);
        QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
    Session s;
    QuietPrompter prompter;
    Workspace ws{EngineDefaults{}, QString(), QStringLiteral("admin"), QString()};
    std::unique_ptr<frmPresentQA> screen;
};

void answerToNextQuestion(benchmark::State& state, AudioPlayer& player)
{
    Rig r(player);
    for (auto _ : state) {
        state.PauseTiming();
        Rig::key(Qt::Key_Down); // on item 2's first answer
        state.ResumeTiming();
        Rig::key(Qt::Key_Return);
        r.screen->txtQuestion->repaint();
        state.PauseTiming();
        if (r.screen->currentItem() != 3)
            std::abort();
        Rig::key(Qt::Key_F10); // back to item 2
        state.ResumeTiming();
    }
}

void BM_AnswerToNextQuestion(benchmark::State& state)
{
    SilentPlayer player;
    answerToNextQuestion(state, player);
}
BENCHMARK(BM_AnswerToNextQuestion)->Unit(benchmark::kMillisecond);

// The same with Qt Multimedia starting the question's recording.
void BM_AnswerToNextQuestionPlaying(benchmark::State& state)
{
    QtAudioPlayer player;
    if (!player.Prepare()) {
        state.SkipWithError("no audio output device");
        return;
    }
    answerToNextQuestion(state, player);
}
BENCHMARK(BM_AnswerToNextQuestionPlaying)->Unit(benchmark::kMillisecond);

void BM_AnswerFocusToRecordingPlaying(benchmark::State& state)
{
    QtAudioPlayer player;
    if (!player.Prepare()) {
        state.SkipWithError("no audio output device");
        return;
    }
    Rig r(player);
    bool playing = false;
    QObject::connect(&player, &QtAudioPlayer::started, [&playing](const QString& path) {
        playing = path.endsWith(QLatin1String("/True.wav"));
    });
    for (auto _ : state) {
        state.PauseTiming();
        Rig::key(Qt::Key_Up); // the question, whose recording starts
        playing = false;
        state.ResumeTiming();
        r.screen->cmdMenuChoice[0]->setFocus(Qt::TabFocusReason);
        const QDeadlineTimer limit(5000);
        while (!playing) {
            if (limit.hasExpired()) {
                state.SkipWithError("the recording did not start within 5 s");
                return;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        }
    }
}
BENCHMARK(BM_AnswerFocusToRecordingPlaying)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
