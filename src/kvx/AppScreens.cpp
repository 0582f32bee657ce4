#include "kvx/AppScreens.h"

#include "app/frmAbout.h"
#include "install/Branding.h"
#include "install/Settings.h"
#include "intake/IntakeScreens.h"

#include <QApplication>

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

// Each screen below is filled in by the subsystem that builds it.
void AppScreens::AnswerEntry(const QList<int>&) {}

void AppScreens::Presentation(const QString&) {}

void AppScreens::ScanSheet() {}

void AppScreens::EntryMethod() {}

void AppScreens::SupervisorOptions() {}

void AppScreens::ViewReport() {}

void AppScreens::PrintSelected() {}

void AppScreens::Verify() {}

std::optional<QString> AppScreens::InputBox(const InputBoxRequest&)
{
    return std::nullopt;
}

} // namespace kvx
