#include "testing/QtAudioPlayer.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace kvx {

QtAudioPlayer::QtAudioPlayer(QObject* parent) : QObject(parent) {}

QtAudioPlayer::~QtAudioPlayer()
{
    Stop();
}

bool QtAudioPlayer::Prepare()
{
    if (effect_)
        return true;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    effect_ = new QSoundEffect(device, this);
    connect(effect_, &QSoundEffect::playingChanged, this, [this] {
        if (effect_->isPlaying())
            announce();
        else if (!stopping_)
            emit finished(path_);
    });
    connect(effect_, &QSoundEffect::statusChanged, this, [this] {
        // A file that cannot be played only means silence.
        if (effect_->status() == QSoundEffect::Error)
            Stop();
        else
            announce();
    });
    return true;
}

void QtAudioPlayer::announce()
{
    if (!announced_ && effect_->isPlaying() && effect_->status() == QSoundEffect::Ready) {
        announced_ = true;
        emit started(path_);
    }
}

void QtAudioPlayer::Play(const QString& path)
{
    if (!effect_)
        return;
    Stop();
    path_ = path;
    announced_ = false;
    effect_->setSource(QUrl::fromLocalFile(path));
    // Plays as soon as the file is loaded, when it is not already.
    effect_->play();
    announce();
}

void QtAudioPlayer::Stop()
{
    if (!effect_ || !effect_->isPlaying())
        return;
    stopping_ = true;
    effect_->stop();
    stopping_ = false;
}

} // namespace kvx
