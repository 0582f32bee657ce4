#include "testing/QtAudioPlayer.h"

#include "common/TestSupport.h"
#include "testing/ToneWave.h"

#include <QSignalSpy>
#include <QTest>

using namespace kvx;

// Plays a real recording through Qt Multimedia. Needs an audio output (in CI a PulseAudio null
// sink, started by .ci/run); elsewhere the test is skipped without one, in CI it fails.
class PlaybackTest : public QObject
{
    Q_OBJECT

private slots:
    void aRecordingPlaysToItsEnd()
    {
        QtAudioPlayer player;
        if (!player.Prepare()) {
            if (qEnvironmentVariable("CI") == QLatin1String("true"))
                QFAIL("no audio output device (is the sound server with its null sink running?)");
            QSKIP("no audio output device");
        }
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("KVXTest/sound/English"));
        QVERIFY(QDir().mkpath(folder) &&
                test::writeBytes(folder + QStringLiteral("/INST0.WAV"), test::toneWave(400)));

        TestAudio audio(player, root.path(), QStringLiteral("English"));
        audio.Prepare();
        QVERIFY(audio.soundOn());
        QSignalSpy started(&player, &QtAudioPlayer::started);
        QSignalSpy finished(&player, &QtAudioPlayer::finished);
        audio.Play(QStringLiteral("Inst0.wav"));
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 15000);
        QCOMPARE(started.size(), 1);
        QCOMPARE(started.first().first().toString(), folder + QStringLiteral("/INST0.WAV"));
        QCOMPARE(finished.first().first().toString(), folder + QStringLiteral("/INST0.WAV"));
    }
};

QTEST_MAIN(PlaybackTest)
#include "PlaybackTest.moc"
