#pragma once

#include "scoring/ReportOutput.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kvx {

// The small window a batch of reports shows while it runs: which report of how many, and a
// button that stops the batch before the next report.
class ReportBatchDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ReportBatchDialog(QWidget* parent = nullptr);

    // Shows a step of the batch and lets the window react; false once Stop was pressed.
    bool step(BatchStep step, int k, int total, int recordNo);
    bool stopRequested() const { return stopRequested_; }

    QLabel* lblProgress;
    QProgressBar* barProgress;
    QPushButton* cmdStop;

protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    bool stopRequested_ = false;
};

// Prints the reports of records in order through printer (see PrintReportBatch) with the
// progress window up. A failure, a stop, and how many reports were printed then, are told
// through the prompter.
BatchOutcome RunReportBatch(Session& s, const QList<int>& records, ReportPrinter& printer,
                            Prompter& prompter, QWidget* parent = nullptr);

} // namespace kvx
