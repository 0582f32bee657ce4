#include "testing/QtAudioPlayer.h"

#include "common/TestSupport.h"
#include "testing/ToneWave.h"

#include <QMediaPlayer>
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
        QSignalSpy states(player.mediaPlayer(), &QMediaPlayer::playbackStateChanged);
        audio.Play(QStringLiteral("Inst0.wav"));
        QTRY_VERIFY_WITH_TIMEOUT(player.mediaPlayer()->mediaStatus() == QMediaPlayer::EndOfMedia,
                                 15000);
        QCOMPARE(player.mediaPlayer()->error(), QMediaPlayer::NoError);
        QVERIFY(states.size() >= 2);
        QCOMPARE(states.first().first().value<QMediaPlayer::PlaybackState>(),
                 QMediaPlayer::PlayingState);
        QCOMPARE(states.last().first().value<QMediaPlayer::PlaybackState>(),
                 QMediaPlayer::StoppedState);
        QVERIFY(player.mediaPlayer()->duration() >= 300);
    }
};

QTEST_MAIN(PlaybackTest)
#include "PlaybackTest.moc"
