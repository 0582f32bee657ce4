#include "supervisor/frmPrintSelected.h"

#include "scoring/ReportBatchDialog.h"
#include "supervisor/PrintList.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace kvx {
namespace {

const QString kListHelp = QStringLiteral("Use up or down arrow keys or mouse to select client.");

} // namespace

frmPrintSelected::frmPrintSelected(Session& session, Prompter& prompter, ReportPrinter& printer,
                                   QWidget* parent)
    : KvxScreen(session, prompter, parent), printer_(printer)
{
    setObjectName(QStringLiteral("frmPrintSelected"));
    setWindowTitle(QStringLiteral("Print Selected Reports"));
    setAccessibleName(windowTitle());

    fraAll = new QFrame(this);
    fraAll->setObjectName(QStringLiteral("fraAll"));
    fraAll->setAccessibleName(QStringLiteral("Print Selected Reports"));

    txtInstructions = new QPlainTextEdit(fraAll);
    txtInstructions->setObjectName(QStringLiteral("txtInstructions"));
    txtInstructions->setAccessibleName(QStringLiteral("Instructions"));
    txtInstructions->viewport()->setAccessibleName(QStringLiteral("Instructions"));
    txtInstructions->setReadOnly(true);
    txtInstructions->setFocusPolicy(Qt::NoFocus);
    txtInstructions->setLineWrapMode(QPlainTextEdit::NoWrap);
    QString shown = PrintSelectedInstructions();
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtInstructions->setPlainText(shown.chopped(1));
    const QFontMetrics fm(txtInstructions->font());
    txtInstructions->setMinimumSize(fm.horizontalAdvance(QString(38, u'M')), fm.lineSpacing() * 18);

    fraClient = new QGroupBox(QStringLiteral("Client List"), fraAll);
    fraClient->setObjectName(QStringLiteral("fraClient"));
    fraClient->setAccessibleName(fraClient->title());
    fraClient->setAutoFillBackground(true);
    lbNameDisplay = new QListWidget(fraClient);
    lbNameDisplay->setObjectName(QStringLiteral("lbNameDisplay"));
    lbNameDisplay->setAccessibleName(QStringLiteral("Client List"));
    QFont lines = lbNameDisplay->font();
    lines.setBold(false);
    lbNameDisplay->setFont(lines);
    // A click or the space bar toggles a line; the arrows move without changing the selection.
    lbNameDisplay->setSelectionMode(QAbstractItemView::MultiSelection);
    lbNameDisplay->setMinimumWidth(lbNameDisplay->fontMetrics().horizontalAdvance(u'M') * 32);
    lbNameDisplay->installEventFilter(this);
    (new QVBoxLayout(fraClient))->addWidget(lbNameDisplay);
    setFrameHighlighted(fraClient, false);
    reserveBoldSize(fraClient);

    MenuChoices* menu = addMenuChoices(Qt::Horizontal);
    menu->add(QStringLiteral("Print Selected"), QStringLiteral("Print selected client reports"));
    menu->add(QStringLiteral("Select All"),
              QStringLiteral("Select all client reports for printing"));
    menu->add(QStringLiteral("Return to Main Menu"),
              QStringLiteral("Cancel selections and printing."));
    for (int i = 0; i < menu->count(); ++i)
        menu->button(i)->setAccessibleName(menu->button(i)->text());
    connect(menu, &MenuChoices::chosen, this, &frmPrintSelected::choose);

    auto* columns = new QHBoxLayout;
    columns->addWidget(txtInstructions);
    columns->addWidget(fraClient, 1);
    auto* inner = new QVBoxLayout(fraAll);
    inner->addLayout(columns, 1);
    inner->addWidget(menu, 0, Qt::AlignHCenter);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraAll, 1);
    layout->addWidget(MsgPanel);

    setTabOrder(lbNameDisplay, menu->button(PrintSelected));
    setTabOrder(menu->button(PrintSelected), menu->button(SelectAll));
    setTabOrder(menu->button(SelectAll), menu->button(ReturnToMainMenu));

    connect(lbNameDisplay, &QListWidget::itemClicked, this, &frmPrintSelected::UpdatePrintChoice);
    connect(lbNameDisplay, &QListWidget::currentRowChanged, this,
            &frmPrintSelected::UpdatePrintChoice);
    FillPrintList();
    UpdatePrintChoice();
}

void frmPrintSelected::showEvent(QShowEvent* e)
{
    KvxScreen::showEvent(e);
    ResetMenuChoices(this, ReturnToMainMenu);
    FillPrintList();
    UpdatePrintChoice();
    lbNameDisplay->setFocus();
}

void frmPrintSelected::FillPrintList()
{
    const QSignalBlocker block(lbNameDisplay);
    lbNameDisplay->clear();
    lbNameDisplay->addItems(PrintListLines(session()));
    if (lbNameDisplay->count() > 0)
        lbNameDisplay->setCurrentRow(0, QItemSelectionModel::NoUpdate);
}

void frmPrintSelected::UpdatePrintChoice()
{
    menuChoices()->button(PrintSelected)->setEnabled(lbNameDisplay->currentItem() != nullptr);
}

bool frmPrintSelected::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lbNameDisplay) {
        if (event->type() == QEvent::FocusIn)
            listFocused(true);
        else if (event->type() == QEvent::FocusOut)
            listFocused(false);
        else if (event->type() == QEvent::KeyPress)
            QTimer::singleShot(0, this, &frmPrintSelected::UpdatePrintChoice);
    }
    return KvxScreen::eventFilter(watched, event);
}

void frmPrintSelected::listFocused(bool in)
{
    if (!in) {
        setFrameHighlighted(fraClient, false);
        MsgPanel->clear();
        return;
    }
    if (lbNameDisplay->count() == 0) {
        // Nothing to choose from: the focus goes where the list would lead.
        QPushButton* next = menuChoices()->button(PrintSelected);
        if (!next->isEnabled())
            next = menuChoices()->button(ReturnToMainMenu);
        next->setFocus(Qt::TabFocusReason);
        return;
    }
    setFrameHighlighted(fraClient, true);
    MsgPanel->setText(kListHelp);
    UpdatePrintChoice();
}

void frmPrintSelected::choose(int index)
{
    switch (index) {
    case PrintSelected:
        printSelected();
        break;
    case SelectAll:
        lbNameDisplay->selectAll();
        UpdatePrintChoice();
        break;
    case ReturnToMainMenu:
        reject();
        break;
    default:
        break;
    }
}

void frmPrintSelected::printSelected()
{
    QList<int> rows;
    for (int row = 0; row < lbNameDisplay->count(); ++row) {
        if (lbNameDisplay->item(row)->isSelected()) {
            lbNameDisplay->setCurrentRow(row, QItemSelectionModel::NoUpdate);
            rows << row;
        }
    }
    if (rows.isEmpty()) {
        // The arrows move through the list without choosing; closing now would look as if
        // the reports had gone to the printer.
        prompter().Message(QStringLiteral("No client is selected for printing.\nPress the space "
                                          "bar on a name, or click it, to select it."),
                           Prompter::Buttons::Ok, Prompter::Icon::Information, windowTitle());
        lbNameDisplay->setFocus(Qt::OtherFocusReason);
        return;
    }
    const QList<int> records = RecordsForRows(rows, lbNameDisplay->count());
    if (!records.isEmpty())
        RunReportBatch(session(), records, printer_, prompter(), this);
    accept();
}

} // namespace kvx
