#include "app/Shell.h"

#include "app/DriveSelect.h"
#include "app/frmAbout.h"
#include "app/frmMainMenu.h"
#include "ui/ScreenConventions.h"

#include <QDir>

namespace kvx {

Shell::Shell(Session& session, Prompter& prompter, Screens& screens)
    : session_(session), prompter_(prompter), screens_(screens)
{}

Shell::~Shell() = default;

bool Shell::StartUp(const StartupOptions& options)
{
    ShowBusy();
    session_.ProgramDir = options.programDir;
    settings_ = std::make_unique<Settings>(options.programDir);

    // The database engine: its defaults, the workgroup file named in the settings, and the
    // one workspace of the run.
    // Written only when it differs: the same text again would cost a synced file write.
    const QString workgroup =
        QDir::toNativeSeparators(QDir(options.programDir).filePath(QStringLiteral("qelwkg.mda")));
    if (Status st = settings_->GetSystemDB() == workgroup ? Status() : settings_->SaveSystemDB();
        !st) {
        ShowNormal();
        prompter_.Message(
            QStringLiteral("Error %1:%2").arg(st.error().code).arg(st.error().message));
        return false;
    }
    workspace_ = std::make_unique<Workspace>(
        EngineDefaults{QStringLiteral("QELTest"), QStringLiteral("tamvoli"), settings_->iniPath()},
        QString(), QStringLiteral("admin"), QString());

    ShowNormal();
    if (SelectDataDrive(
            session_, *settings_, prompter_, [this] { return screens_.DriveSelect(); }, true) ==
        DriveOutcome::EndProgram)
        return false;

    ShowBusy();
    session_.SoundPath = settings_->GetINISndPath();
    session_.QuestionDbPath = QDir(options.programDir).filePath(kQuestionDbFileName);
    session_.BrandCode = settings_->GetBrandCode();
    branding_ = LoadBranding(options.programDir, session_.BrandCode);
    mainMenu_ = std::make_unique<frmMainMenu>(session_, *settings_, prompter_, screens_, branding_);
    session_.RefreshNames = true;

    if (options.splash) {
        frmAbout splash(branding_, true, nullptr, splashTickMs, splashCloseTickMs);
        splash.show();
        splash.waitForFade();
        ShowBusy();
        splash.closeSplash();
    }

    mainMenu_->show();
    CenterForm(mainMenu_.get());
    mainMenu_->Activate();
    mainMenu_->loadOptions();
    session_.RefreshNames = true;
    mainMenu_->setCloseOthersAllowed(true);
    ShowNormal();
    return true;
}

} // namespace kvx
