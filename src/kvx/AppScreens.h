#pragma once

#include "app/frmDriveSelect.h"
#include "scan/ScanAnswerSheet.h"
#include "store/Session.h"
#include "ui/Prompter.h"
#include "ui/Screens.h"

#include <memory>

namespace kvx {

// The program's screens.
class AppScreens : public Screens
{
public:
    AppScreens(Session& session, Prompter& prompter);
    ~AppScreens() override;

    void About() override;
    QString DriveSelect() override;
    void ClientInformation() override;
    void CourtHistory() override;
    void AnswerEntry(const QList<int>& doubtfulItems) override;
    void Presentation(const QString& language) override;
    void ScanSheet() override;
    void EntryMethod() override;
    void SupervisorOptions() override;
    void ViewReport() override;
    void PrintSelected() override;
    void Verify() override;
    std::optional<QString> InputBox(const InputBoxRequest& request) override;

private:
    Session& session_;
    Prompter& prompter_;
    FileDialogFolderPicker folderPicker_;
    FileDialogImagePicker imagePicker_; // remembers its folder from one scan to the next
    std::unique_ptr<frmDriveSelect> driveSelect_;
};

} // namespace kvx
