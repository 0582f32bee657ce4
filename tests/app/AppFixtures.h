#pragma once

#include "app/Screens.h"
#include "common/ScriptedPrompter.h"
#include "common/TestSupport.h"
#include "store/ClientRecord.h"
#include "store/Session.h"

#include <QStringList>

#include <functional>

namespace kvx::test {

// A data disk: identity file (none when null), records "Client 1".. (no data file when n < 0).
inline bool makeDataDisk(const QString& folder, const char* identity, int clients)
{
    QByteArray bytes;
    for (int i = 1; i <= clients; ++i) {
        ClientRecord r;
        (void)r.setText(Field::Name, QStringLiteral("Client %1").arg(i));
        bytes += r.bytes();
    }
    return QDir().mkpath(folder) &&
           (!identity || writeBytes(folder + QStringLiteral("/TID"), identity)) &&
           (clients < 0 || writeBytes(folder + QStringLiteral("/DATA401.KVX"), bytes));
}

// Screens that record what was opened. A chain screen answers with the next queued
// ScreenAccepted value (false when none); DriveSelect returns the next queued folder.
class FakeScreens : public Screens
{
public:
    explicit FakeScreens(Session& s) : session(s) {}

    void About() override { opened << QStringLiteral("About"); }
    QString DriveSelect() override
    {
        opened << QStringLiteral("DriveSelect");
        return drives.isEmpty() ? QString() : drives.takeFirst();
    }
    void ClientInformation() override { chain(QStringLiteral("ClientInformation")); }
    void CourtHistory() override { chain(QStringLiteral("CourtHistory")); }
    void AnswerEntry() override { chain(QStringLiteral("AnswerEntry")); }
    void EntryMethod() override { chain(QStringLiteral("EntryMethod")); }
    void SupervisorOptions() override { chain(QStringLiteral("SupervisorOptions")); }

    Session& session;
    QStringList opened;
    QStringList drives;
    QList<bool> accepted;
    std::function<void()> whileOpen; // looks at the session while a chain screen is open

private:
    void chain(const QString& name)
    {
        opened << name;
        if (whileOpen)
            whileOpen();
        session.ScreenAccepted = !accepted.isEmpty() && accepted.takeFirst();
    }
};

} // namespace kvx::test
