#pragma once

#include "testing/TestAudio.h"

#include <QObject>
#include <QString>

class QSoundEffect;

namespace kvx {

// Plays wave files through Qt Multimedia's sound effect, which loads and plays on threads of
// its own, straight to the sound server: starting or stopping a recording never holds up the
// screen. (The media player's pipeline can wait for ever on a stop in this Qt version.) Without
// an audio output device it refuses to prepare, so the sound stays off.
class QtAudioPlayer : public QObject, public AudioPlayer
{
    Q_OBJECT
public:
    explicit QtAudioPlayer(QObject* parent = nullptr);
    ~QtAudioPlayer() override;

    bool Prepare() override;
    void Play(const QString& path) override;
    void Stop() override;

signals:
    // The recording is loaded and sounding; it has played to its end (not stopped).
    void started(const QString& path);
    void finished(const QString& path);

private:
    void announce();

    QSoundEffect* effect_ = nullptr;
    QString path_;
    bool stopping_ = false;
    bool announced_ = false;
};

} // namespace kvx
