#pragma once

#include "app/StartupOptions.h"
#include "install/Branding.h"
#include "install/Settings.h"
#include "store/Session.h"
#include "testing/QuestionDatabase.h"
#include "ui/Prompter.h"
#include "ui/Screens.h"

#include <memory>

namespace kvx {

class frmMainMenu;

// The program's start-up and what it owns for the whole run: settings, the database
// workspace, the branding and the main menu.
class Shell
{
public:
    Shell(Session& session, Prompter& prompter, Screens& screens);
    ~Shell();

    // The start-up sequence after the single-copy check. False when the program must end
    // (no data disk, or the database engine could not be set up).
    bool StartUp(const StartupOptions& options);

    frmMainMenu* mainMenu() const { return mainMenu_.get(); }
    Settings* settings() const { return settings_.get(); }
    const Workspace* workspace() const { return workspace_.get(); }
    const Branding& branding() const { return branding_; }

    // Splash timing; tests shorten it.
    int splashTickMs = 10;
    int splashCloseTickMs = 1000;

private:
    Session& session_;
    Prompter& prompter_;
    Screens& screens_;
    std::unique_ptr<Settings> settings_;
    std::unique_ptr<Workspace> workspace_;
    Branding branding_;
    std::unique_ptr<frmMainMenu> mainMenu_;
};

} // namespace kvx
