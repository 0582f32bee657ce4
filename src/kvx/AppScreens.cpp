#include "kvx/AppScreens.h"

#include "app/frmAbout.h"
#include "entry/AnswerEntryScreen.h"
#include "entry/frmVerify.h"
#include "install/Branding.h"
#include "install/Settings.h"
#include "intake/IntakeScreens.h"
#include "scan/ScanAnswerSheet.h"
#include "scoring/ReportPrint.h"
#include "scoring/frmViewReport.h"
#include "supervisor/SecretCode.h"
#include "supervisor/frmMyInputBox.h"
#include "supervisor/frmPrintSelected.h"
#include "supervisor/frmSupervisorOptions.h"
#include "testing/Languages.h"
#include "testing/QuestionDatabase.h"
#include "testing/frmPresentQA.h"
#include "testing/frmSelectEntryMethod.h"

#include <QApplication>
#include <QDir>

namespace kvx {

AppScreens::AppScreens(Session& session, Prompter& prompter)
    : session_(session), prompter_(prompter)
{}

AppScreens::~AppScreens() = default;

void AppScreens::About()
{
    frmAbout about(LoadBranding(session_.ProgramDir, session_.BrandCode), false,
                   QApplication::activeWindow());
    about.exec();
}

QString AppScreens::DriveSelect()
{
    if (!driveSelect_) {
        driveSelect_ = std::make_unique<frmDriveSelect>(session_, prompter_, folderPicker_,
                                                        QApplication::activeWindow());
    }
    driveSelect_->setLastFolder(Settings(session_.ProgramDir).GetFilePathSetting());
    driveSelect_->refreshDrives();
    // Escape or the window's close button: no choice.
    if (driveSelect_->exec() != QDialog::Accepted)
        return {};
    return driveSelect_->SelectedDrive();
}

void AppScreens::ClientInformation()
{
    ShowClientInformation(session_, prompter_, QApplication::activeWindow());
}

void AppScreens::CourtHistory()
{
    ShowCourtHistory(session_, prompter_, QApplication::activeWindow());
}

void AppScreens::AnswerEntry(const QList<int>& doubtfulItems)
{
    ShowAnswerEntry(session_, prompter_, doubtfulItems, QApplication::activeWindow());
}

// Each screen below is filled in by the subsystem that builds it.

void AppScreens::Presentation(const QString& language)
{
    const Workspace workspace(
        EngineDefaults{QStringLiteral("QELTest"), QStringLiteral("tamvoli"),
                       QDir(session_.ProgramDir).filePath(QStringLiteral("kvx.ini"))},
        QString(), QStringLiteral("admin"), QString());
    ShowPresentation(session_, prompter_, workspace, language, QApplication::activeWindow());
}

void AppScreens::ScanSheet()
{
    SaneSheetScanner scanner(Settings(session_.ProgramDir).GetScannerDevice());
    ScanAnswerSheet(session_, prompter_, *this, scanner, imagePicker_,
                    DefaultWorkspace(session_.ProgramDir));
}

void AppScreens::EntryMethod()
{
    frmSelectEntryMethod screen(
        session_, prompter_, *this,
        [this] {
            return PresentationLanguages(DefaultWorkspace(session_.ProgramDir),
                                         session_.QuestionDbPath);
        },
        [this] { return AskSecretCode(*this, prompter_); }, QApplication::activeWindow());
    screen.exec();
}

void AppScreens::SupervisorOptions()
{
    frmSupervisorOptions screen(
        session_, prompter_, *this, [this] { return MakeReportPrinter(session_); },
        QApplication::activeWindow());
    screen.exec();
}

void AppScreens::ViewReport()
{
    FileDialogSaveChooser chooser;
    frmViewReport viewer(session_, prompter_, chooser, QApplication::activeWindow());
    viewer.exec();
}

void AppScreens::PrintSelected()
{
    // The printer the settings choose now: "Print to DOS port" may have changed meanwhile.
    const std::unique_ptr<ReportPrinter> printer = MakeReportPrinter(session_);
    frmPrintSelected screen(session_, prompter_, *printer, QApplication::activeWindow());
    screen.exec();
}

void AppScreens::Verify()
{
    frmVerify screen(session_, prompter_, QApplication::activeWindow());
    screen.exec();
}

std::optional<QString> AppScreens::InputBox(const InputBoxRequest& request)
{
    return ShowInputBox(session_, prompter_, request, QApplication::activeWindow());
}

} // namespace kvx
