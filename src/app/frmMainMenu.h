#pragma once

#include "install/Branding.h"
#include "store/Session.h"
#include "ui/Prompter.h"
#include "ui/ScreenConventions.h"
#include "ui/Screens.h"

#include <QMainWindow>

class QAction;
class QGroupBox;
class QListWidget;
class QTimer;

namespace kvx {

class Settings;

// The home screen: the client list and the four activities. Every other screen is shown
// modally from here.
class frmMainMenu : public QMainWindow
{
    Q_OBJECT
public:
    enum Choice
    {
        EditCurrentClient,
        AddNewClient,
        SupervisorOptions,
        ExitApplication
    };

    frmMainMenu(Session& session, Settings& settings, Prompter& prompter, Screens& screens,
                const Branding& branding, QWidget* parent = nullptr);

    // What runs each time the menu becomes the active screen again.
    void Activate();
    void RefreshNameDisplay();
    void UpdateEditChoice();
    // Reads the two options into their flags and check marks.
    void loadOptions();
    void setCloseOthersAllowed(bool allowed) { closeOthers_ = allowed; }

    bool numLockOption() const { return numLock_; }
    MenuChoices* menuChoices() const { return menu_; }

    QFrame* frMainMenu;
    QGroupBox* fraClient;
    QListWidget* lbNameDisplay;
    QLabel* MsgPanel;
    QLabel* imgQELLogo;
    QTimer* timNumLock;
    QAction* mnuExit;
    QAction* mnuDriveSelect;
    QAction* mnuOptionsNumLock;
    QAction* mnuOptionsPrintDOS;
    QAction* mnuHelpAbout;

signals:
    // The program must end with this exit code.
    void programEnded(int exitCode);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void choose(int index);
    void runEditChain();
    void runScreen(void (Screens::*open)(), bool scanEditOff);
    void changeDataDrive();
    void toggleNumLock();
    void togglePrintDOS();
    void keepNumLock();
    void listFocused(bool in);
    void takeCurrentClient();

    Session& session_;
    Settings& settings_;
    Prompter& prompter_;
    Screens& screens_;
    MenuChoices* menu_;
    bool numLock_ = true;
    bool closeOthers_ = true;
};

} // namespace kvx
