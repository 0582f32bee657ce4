#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace kvx {

// What a caller asks of the input box: its caption, the help message shown in the label above
// the text box, an optional help line for the text box, the longest input accepted, and whether
// the input is hidden (a password).
struct InputBoxRequest
{
    QString caption;
    QString helpMessage;
    QString fieldHelp;
    int inputLength = 25;
    bool passwordInput = false;
    QString initialValue;
};

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

    // The chains of "Edit Current Client" and of a new client, one screen at a time.
    virtual void ClientInformation() = 0;
    virtual void CourtHistory() = 0;
    // The answer grid for the current client; doubtfulItems (item numbers 1..155) are marked as
    // needing a look (a scanned sheet's guesses).
    virtual void AnswerEntry(const QList<int>& doubtfulItems) = 0;
    // The on-screen test for the current (new) client in the given language.
    virtual void Presentation(const QString& language) = 0;
    // Reading a scanned answer sheet into a new client, through to the answer grid.
    virtual void ScanSheet() = 0;

    // "Add New Client": the entry method screen, which runs the new client's chain itself.
    virtual void EntryMethod() = 0;
    // "Supervisor Options" and the screens it opens.
    virtual void SupervisorOptions() = 0;
    virtual void ViewReport() = 0;    // the report viewer for the current client
    virtual void PrintSelected() = 0; // the selective printing screen
    virtual void Verify() = 0;        // double-entry verification of the current client

    // The input box: the text entered, or nothing when the operator cancelled.
    virtual std::optional<QString> InputBox(const InputBoxRequest& request) = 0;
};

} // namespace kvx
