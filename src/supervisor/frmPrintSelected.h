#pragma once

#include "scoring/ReportOutput.h"
#include "ui/ScreenConventions.h"

class QGroupBox;
class QListWidget;
class QPlainTextEdit;

namespace kvx {

// "Print Selected Reports": several clients chosen from the list, their reports printed in
// list order as one batch.
class frmPrintSelected : public KvxScreen
{
    Q_OBJECT
public:
    enum Choice
    {
        PrintSelected,
        SelectAll,
        ReturnToMainMenu
    };

    frmPrintSelected(Session& session, Prompter& prompter, ReportPrinter& printer,
                     QWidget* parent = nullptr);

    void FillPrintList();
    void UpdatePrintChoice();

    QFrame* fraAll;
    QPlainTextEdit* txtInstructions;
    QGroupBox* fraClient;
    QListWidget* lbNameDisplay;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void choose(int index);
    void printSelected();
    void listFocused(bool in);

    ReportPrinter& printer_;
};

} // namespace kvx
