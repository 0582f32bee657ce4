#include "kvx/AppScreens.h"

#include "app/frmAbout.h"
#include "install/Branding.h"
#include "intake/IntakeScreens.h"
#include "testing/QuestionDatabase.h"
#include "testing/frmPresentQA.h"

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
    } else {
        driveSelect_->refreshDrives();
    }
    driveSelect_->exec();
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

void AppScreens::Presentation(const QString& language)
{
    const Workspace workspace(
        EngineDefaults{QStringLiteral("QELTest"), QStringLiteral("tamvoli"),
                       QDir(session_.ProgramDir).filePath(QStringLiteral("kvx.ini"))},
        QString(), QStringLiteral("admin"), QString());
    ShowPresentation(session_, prompter_, workspace, language, QApplication::activeWindow());
}

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
