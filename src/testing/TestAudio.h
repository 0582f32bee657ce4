#pragma once

#include <QString>

namespace kvx {

// A wave-file player. Play returns at once; the sound goes on while the screen does. Playing
// cuts off what was playing before.
class AudioPlayer
{
public:
    virtual ~AudioPlayer() = default;
    // Readies the output device; false when there is none to play on.
    virtual bool Prepare() = 0;
    virtual void Play(const QString& path) = 0;
    virtual void Stop() = 0;
};

// The file a recording name stands for: "T", "F", "Y" and "N" (any case, with or without
// ".wav") mean True.wav, False.wav, Yes.wav and No.wav; other names are kept as they are.
QString RecordingFileName(const QString& name);

// The existing file at folder/relative, each part matched without regard to letter case
// when the exact spelling is absent (recordings copied from elsewhere may be "INST0.WAV").
// Empty when there is no such file.
QString FindFileAnyCase(const QString& folder, const QString& relative);

// The presentation's play and stop routines: recordings of one language, found under
// <sound root>/KVXTest/sound/<language>/, on a player that may turn out to have no device
// (sound off for the rest of the run).
class TestAudio
{
public:
    TestAudio(AudioPlayer& player, QString soundPath, QString language);

    // Readies the player; without a device the sound stays off.
    void Prepare();
    bool soundOn() const { return soundOn_; }

    // Stops what is playing, then plays the named recording of the language's folder; a
    // missing file is skipped silently.
    void Play(const QString& fileName);
    void Stop();

private:
    AudioPlayer& player_;
    QString root_;
    QString language_;
    bool soundOn_ = false;
};

} // namespace kvx
