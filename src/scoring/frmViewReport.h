#pragma once

#include "ui/ScreenConventions.h"

class QPlainTextEdit;

namespace kvx {

// How the viewer asks where to save a file: a file dialog in the program, a fake in tests.
class SaveFileChooser
{
public:
    virtual ~SaveFileChooser() = default;
    // The file chosen, or empty when the operator cancelled.
    virtual QString ChooseSaveFile(QWidget* parent, const QString& caption,
                                   const QString& suggestedPath, const QString& filter) = 0;
};

class FileDialogSaveChooser : public SaveFileChooser
{
public:
    QString ChooseSaveFile(QWidget* parent, const QString& caption, const QString& suggestedPath,
                           const QString& filter) override;
};

// The file name offered for a client's PDF report: made from the record number, never from
// the name, which is confidential.
QString suggestedPdfName(int recordNo);

// The report viewer: scores CurClient afresh each time it is shown and shows the report,
// which can be printed or saved as a PDF file.
class frmViewReport : public KvxScreen
{
    Q_OBJECT
public:
    frmViewReport(Session& session, Prompter& prompter, SaveFileChooser& chooser,
                  QWidget* parent = nullptr);

    // Scores the current client, writes the report file and shows it.
    void reloadReport();
    void cmdPrintReport_Click();
    void cmdSavePdf_Click();

    QFrame* fraAll;
    QPlainTextEdit* Text1;
    QPushButton* cmdPrintReport;
    QPushButton* cmdSavePdf;
    QPushButton* cmdCancel;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setReportShown(bool shown);

    SaveFileChooser& chooser_;
};

} // namespace kvx
