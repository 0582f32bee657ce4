#pragma once

#include <QString>

namespace kvx {

// How the main menu and the screen chains open the other screens. Each call shows its screen
// modally and returns when it has closed; a screen that belongs to a chain reports through
// Session::ScreenAccepted. The program's implementation builds the real screens; tests hand in
// fakes, so a chain is tested without them and each real screen is tested on its own.
class Screens
{
public:
    virtual ~Screens() = default;

    // frmAbout in about mode.
    virtual void About() = 0;
    // frmDriveSelect; the data disk folder it leaves selected (empty when none).
    virtual QString DriveSelect() = 0;

    // The edit chain of "Edit Current Client", one screen at a time.
    virtual void ClientInformation() = 0;
    virtual void CourtHistory() = 0;
    virtual void AnswerEntry() = 0;

    // "Add New Client": the entry method screen, which runs the new client's chain itself.
    virtual void EntryMethod() = 0;
    // "Supervisor Options".
    virtual void SupervisorOptions() = 0;
};

} // namespace kvx
