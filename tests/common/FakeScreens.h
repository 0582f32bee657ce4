#pragma once

#include "store/Session.h"
#include "ui/Screens.h"

#include <QStringList>

#include <deque>
#include <functional>

namespace kvx::test {

// A Screens for chain tests: records each screen opened (with its argument, e.g.
// "Presentation:Spanish"), runs whileOpen as if the screen were on display, then answers with the
// next queued ScreenAccepted value (false when none). DriveSelect and InputBox answer from their
// own queues (an empty InputBox queue answers Cancel).
struct FakeScreens : Screens
{
    explicit FakeScreens(Session& s) : session(s) {}

    void About() override { opened << QStringLiteral("About"); }
    QString DriveSelect() override
    {
        opened << QStringLiteral("DriveSelect");
        return drives.isEmpty() ? QString() : drives.takeFirst();
    }
    void ClientInformation() override { chain(QStringLiteral("ClientInformation")); }
    void CourtHistory() override { chain(QStringLiteral("CourtHistory")); }
    void AnswerEntry(const QList<int>& doubtful) override
    {
        doubtfulSeen = doubtful;
        chain(QStringLiteral("AnswerEntry"));
    }
    void Presentation(const QString& language) override
    {
        chain(QStringLiteral("Presentation:") + language);
    }
    void ScanSheet() override { chain(QStringLiteral("ScanSheet")); }
    void EntryMethod() override { chain(QStringLiteral("EntryMethod")); }
    void SupervisorOptions() override { chain(QStringLiteral("SupervisorOptions")); }
    void ViewReport() override { chain(QStringLiteral("ViewReport")); }
    void PrintSelected() override { chain(QStringLiteral("PrintSelected")); }
    void Verify() override { chain(QStringLiteral("Verify")); }
    std::optional<QString> InputBox(const InputBoxRequest& r) override
    {
        opened << QStringLiteral("InputBox:") + r.caption;
        requests.push_back(r);
        if (inputs.empty())
            return std::nullopt;
        auto v = inputs.front();
        inputs.pop_front();
        return v;
    }

    void chain(const QString& name)
    {
        opened << name;
        if (whileOpen)
            whileOpen(name);
        session.ScreenAccepted = !accepted.isEmpty() && accepted.takeFirst();
    }

    Session& session;
    QStringList opened, drives;
    QList<bool> accepted;
    std::deque<std::optional<QString>> inputs;
    QList<InputBoxRequest> requests;
    QList<int> doubtfulSeen;
    std::function<void(const QString& screen)> whileOpen;
};

} // namespace kvx::test
