#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

namespace kvx {

// One running copy per installation. The first copy holds a lock and listens on a local
// socket; a later copy finds the lock taken, asks the first to come to the front, and ends.
// A lock left by a copy that was killed is stale and taken over.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // folder: where the lock and socket live (empty: the user's runtime folder).
    explicit SingleInstance(const QString& programDir, const QString& folder = QString());
    ~SingleInstance() override;

    // True when this is the only copy. False when another copy runs: it has been asked to
    // come to the front (and has answered, when it could).
    bool claim();

    QString lockPath() const { return base_ + QStringLiteral(".lock"); }
    QString socketPath() const { return base_ + QStringLiteral(".sock"); }

signals:
    void raiseRequested();

private:
    bool askFirstCopy() const;

    QString base_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
};

} // namespace kvx
