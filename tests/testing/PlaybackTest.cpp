#include "testing/QtAudioPlayer.h"

#include "common/TestSupport.h"

#include <QMediaPlayer>
#include <QSignalSpy>
#include <QTest>
#include <QtEndian>

#include <cmath>

using namespace kvx;

namespace {

// A short tone as a 16-bit mono wave file.
QByteArray toneWave(int milliseconds)
{
    constexpr int rate = 22050;
    const int samples = rate * milliseconds / 1000;
    QByteArray pcm(samples * 2, '\0');
    for (int i = 0; i < samples; ++i) {
        const auto v = static_cast<qint16>(8000 * std::sin(2 * M_PI * 440 * i / rate));
        qToLittleEndian(v, pcm.data() + 2 * i);
    }
    QByteArray head("RIFF....WAVEfmt ");
    const auto u32 = [&head](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        head.append(b, 4);
    };
    const auto u16 = [&head](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        head.append(b, 2);
    };
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    head += "data";
    u32(static_cast<quint32>(pcm.size()));
    QByteArray wave = head + pcm;
    qToLittleEndian(static_cast<quint32>(wave.size() - 8), wave.data() + 4);
    return wave;
}

} // namespace

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
                test::writeBytes(folder + QStringLiteral("/INST0.WAV"), toneWave(400)));

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
