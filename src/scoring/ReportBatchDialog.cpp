#include "scoring/ReportBatchDialog.h"

#include "ui/ScreenConventions.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvx {

ReportBatchDialog::ReportBatchDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ReportBatchDialog"));
    setWindowTitle(QStringLiteral("Printing Reports"));
    setWindowModality(Qt::ApplicationModal);

    lblProgress = new QLabel(this);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    lblProgress->setMinimumWidth(lblProgress->fontMetrics().horizontalAdvance(QString(40, u'M')));
    barProgress = new QProgressBar(this);
    barProgress->setObjectName(QStringLiteral("barProgress"));
    cmdStop = new QPushButton(QStringLiteral("&Stop"), this);
    cmdStop->setObjectName(QStringLiteral("cmdStop"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblProgress);
    layout->addWidget(barProgress);
    layout->addWidget(cmdStop, 0, Qt::AlignHCenter);

    connect(cmdStop, &QPushButton::clicked, this, [this] {
        stopRequested_ = true;
        cmdStop->setEnabled(false);
        lblProgress->setText(QStringLiteral("Stopping after this report..."));
    });
}

bool ReportBatchDialog::step(BatchStep step, int k, int total, int recordNo)
{
    if (!stopRequested_) {
        const QString what = step == BatchStep::Writing
                                 ? QStringLiteral("Writing report %1 of %2")
                                 : QStringLiteral("Printing report %1 of %2");
        lblProgress->setText(what.arg(k).arg(total) + QStringLiteral(" (client %1)").arg(recordNo));
        // The first half of the bar for writing, the second for printing.
        barProgress->setRange(0, 2 * total);
        barProgress->setValue(step == BatchStep::Writing ? k - 1 : total + k - 1);
    }
    QCoreApplication::processEvents();
    return !stopRequested_;
}

void ReportBatchDialog::closeEvent(QCloseEvent* e)
{
    // Closing the window asks for a stop; the batch closes it when it has stopped.
    cmdStop->click();
    e->ignore();
}

void ReportBatchDialog::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        cmdStop->click();
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

BatchOutcome RunReportBatch(Session& s, const QList<int>& records, ReportPrinter& printer,
                            Prompter& prompter, QWidget* parent)
{
    ReportBatchDialog dialog(parent);
    dialog.show();
    CenterForm(&dialog);
    ShowBusy();
    const BatchOutcome out =
        PrintReportBatch(s, records, printer, [&](BatchStep step, int k, int total) {
            return dialog.step(step, k, total, records[k - 1]);
        });
    ShowNormal();
    dialog.hide();
    if (out.error) {
        if (out.written < out.total)
            prompter.Message(out.error->message, Prompter::Buttons::Ok, Prompter::Icon::Critical);
        else
            ShowPrinterError(prompter, *out.error);
    }
    if (out.stopped || (out.error && out.written == out.total))
        prompter.Message(BatchStoppedText(out), Prompter::Buttons::Ok, Prompter::Icon::Information);
    return out;
}

} // namespace kvx
