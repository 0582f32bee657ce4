#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

namespace kvx {
namespace {

const QByteArray kRaise = "raise\n";
const QByteArray kDone = "ok\n";

} // namespace

SingleInstance::SingleInstance(const QString& programDir, const QString& folder)
{
    QString dir = folder;
    if (dir.isEmpty() && !qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    // Without a session's runtime folder, a memory-backed one keeps the lock quick to take.
    if (dir.isEmpty()) {
        for (const QString& candidate :
             {QStringLiteral("/run/user/%1").arg(::getuid()), QStringLiteral("/dev/shm")}) {
            const QFileInfo fi(candidate);
            if (fi.isDir() && fi.isWritable()) {
                dir = candidate;
                break;
            }
        }
    }
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QString canonical = QFileInfo(programDir).canonicalFilePath();
    if (canonical.isEmpty())
        canonical = QDir(programDir).absolutePath();
    const QByteArray id =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    // The user is part of the name: a shared temporary folder serves every user.
    base_ = QDir(dir).filePath(QStringLiteral("kvx-%1-%2").arg(::getuid()).arg(QLatin1String(id)));
}

SingleInstance::~SingleInstance()
{
    if (server_)
        server_->close();
}

bool SingleInstance::claim()
{
    lock_ = std::make_unique<QLockFile>(lockPath());
    // Only a dead owner makes a lock stale, never its age: a copy may run for days.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        lock_.reset();
        askFirstCopy();
        return false;
    }

    QLocalServer::removeServer(socketPath());
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                if (!s->canReadLine())
                    return;
                if (s->readLine() == kRaise) {
                    emit raiseRequested();
                    s->write(kDone);
                    s->flush();
                }
                s->disconnectFromServer();
            });
        }
    });
    // Without the socket the program still runs; a second copy then only ends.
    server_->listen(socketPath());
    return true;
}

bool SingleInstance::askFirstCopy() const
{
    // The first copy may still be starting; give it a moment to listen.
    const QDeadlineTimer deadline(3000);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(500)) {
            socket.write(kRaise);
            socket.waitForBytesWritten(1000);
            // Wait until the first copy has acted on it.
            const bool answered = socket.waitForReadyRead(2000) && socket.readLine() == kDone;
            socket.disconnectFromServer();
            return answered;
        }
        QThread::msleep(100);
    }
    return false;
}

} // namespace kvx
