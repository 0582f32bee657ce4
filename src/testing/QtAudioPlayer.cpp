#include "testing/QtAudioPlayer.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

namespace kvx {

QtAudioPlayer::QtAudioPlayer(QObject* parent) : QObject(parent) {}

QtAudioPlayer::~QtAudioPlayer()
{
    Stop();
}

bool QtAudioPlayer::Prepare()
{
    if (player_)
        return true;
    if (QMediaDevices::audioOutputs().isEmpty())
        return false;
    output_ = new QAudioOutput(QMediaDevices::defaultAudioOutput(), this);
    player_ = new QMediaPlayer(this);
    player_->setAudioOutput(output_);
    // A file that cannot be played only means silence.
    connect(player_, &QMediaPlayer::errorOccurred, this, [this] { player_->stop(); });
    return true;
}

void QtAudioPlayer::Play(const QString& path)
{
    if (!player_)
        return;
    player_->setSource(QUrl::fromLocalFile(path));
    player_->play();
}

void QtAudioPlayer::Stop()
{
    if (player_ && player_->playbackState() != QMediaPlayer::StoppedState)
        player_->stop();
}

} // namespace kvx
