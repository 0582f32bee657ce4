#pragma once

#include "scoring/ReportOutput.h"
#include "ui/ScreenConventions.h"
#include "ui/Screens.h"

#include <QGroupBox>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QRadioButton;
class QTabWidget;

namespace kvx {

// Where "Print all clients' reports" sends the reports: the settings' printer in the program,
// a PDF file in tests.
using ReportPrinterFactory = std::function<std::unique_ptr<ReportPrinter>()>;

// "Supervisor Options": reports, verification and deleting names for the whole data disk.
class frmSupervisorOptions : public KvxScreen
{
    Q_OBJECT
public:
    enum Tab
    {
        ReportsTab,
        VerifyTab,
        DeleteNamesTab
    };

    frmSupervisorOptions(Session& session, Prompter& prompter, Screens& screens,
                         ReportPrinterFactory printers, QWidget* parent = nullptr);

    void ExecuteSelection();

    QFrame* frControls;
    QFrame* sspTabs; // sspMenuChoice_2, the tab control's highlight panel
    QTabWidget* sstSupervisorOperations;
    QGroupBox* Frame1;
    std::array<QRadioButton*, 3> optPrintOption{};
    QCheckBox* chkSumPage;
    QGroupBox* Frame3;
    QGroupBox* Frame4;
    QGroupBox* frCurrentClient;
    QLabel* lblNameDisplay;

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tabChanged(int index);
    void tabFocused();
    void printAll();
    QString currentName();

    Screens& screens_;
    ReportPrinterFactory printers_;
    bool noClients_ = false;
    int printOption_ = 0;
    int lastTab_ = ReportsTab;
};

} // namespace kvx
