#pragma once

#include "app/Screens.h"
#include "store/Session.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

namespace kvx::test {

// Screens that record what was opened. Each chain screen answers with the next queued
// ScreenAccepted value (false when none); DriveSelect returns the next queued folder.
class FakeScreens : public Screens
{
public:
    explicit FakeScreens(Session& s) : session(s) {}

    void About() override { opened << QStringLiteral("About"); }
    QString DriveSelect() override
    {
        opened << QStringLiteral("DriveSelect");
        if (drives.empty())
            return {};
        const QString d = drives.front();
        drives.pop_front();
        return d;
    }
    void ClientInformation() override { chain(QStringLiteral("ClientInformation")); }
    void CourtHistory() override { chain(QStringLiteral("CourtHistory")); }
    void AnswerEntry() override { chain(QStringLiteral("AnswerEntry")); }
    void EntryMethod() override { chain(QStringLiteral("EntryMethod")); }
    void SupervisorOptions() override { chain(QStringLiteral("SupervisorOptions")); }

    Session& session;
    QStringList opened;
    std::deque<bool> accepted;
    std::deque<QString> drives;
    // Called while a chain screen is "open", to look at the session then.
    std::function<void(const QString&)> whileOpen;

private:
    void chain(const QString& name)
    {
        opened << name;
        if (whileOpen)
            whileOpen(name);
        session.ScreenAccepted = !accepted.empty() && accepted.front();
        if (!accepted.empty())
            accepted.pop_front();
    }
};

} // namespace kvx::test
