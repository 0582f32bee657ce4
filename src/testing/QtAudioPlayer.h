#pragma once

#include "testing/TestAudio.h"

#include <QObject>

#include <memory>

class QAudioOutput;
class QMediaPlayer;

namespace kvx {

// Plays wave files through Qt Multimedia. Without an audio output device it refuses to
// prepare (playing with none can hang or crash the media back end), so the sound stays off.
class QtAudioPlayer : public QObject, public AudioPlayer
{
    Q_OBJECT
public:
    explicit QtAudioPlayer(QObject* parent = nullptr);
    ~QtAudioPlayer() override;

    bool Prepare() override;
    void Play(const QString& path) override;
    void Stop() override;

    // The player underneath, once prepared (for watching playback).
    QMediaPlayer* mediaPlayer() const { return player_; }

private:
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* output_ = nullptr;
};

} // namespace kvx
