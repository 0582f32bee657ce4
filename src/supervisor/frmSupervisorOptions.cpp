#include "supervisor/frmSupervisorOptions.h"

#include "scoring/ReportBatchDialog.h"
#include "store/Cp1252.h"
#include "supervisor/DelNames.h"
#include "supervisor/SecretCode.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace kvx {

namespace {

const QString kOptionHelp =
    QStringLiteral("Use the arrow keys or mouse to choose print operation.");

QGroupBox* makeFrame(const char* name, const QString& caption, QWidget* parent)
{
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QLatin1String(name));
    frame->setAccessibleName(caption);
    return frame;
}

QLabel* makeComment(const char* name, const QString& text, QGroupBox* frame)
{
    auto* label = new QLabel(text, frame);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setAccessibleName(text);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(label);
    return label;
}

void setBold(QWidget* w, bool bold)
{
    QFont f = w->font();
    f.setBold(bold);
    w->setFont(f);
}

} // namespace

frmSupervisorOptions::frmSupervisorOptions(Session& session, Prompter& prompter, Screens& screens,
                                           ReportPrinterFactory printers, QWidget* parent)
    : KvxScreen(session, prompter, parent), screens_(screens), printers_(std::move(printers))
{
    setObjectName(QStringLiteral("frmSupervisorOptions"));
    setWindowTitle(QStringLiteral("Supervisor Options"));

    frControls = new QFrame(this);
    frControls->setObjectName(QStringLiteral("frControls"));

    // The tab control stands on its own highlight panel.
    sspTabs = new QFrame(frControls);
    sspTabs->setObjectName(QStringLiteral("sspMenuChoice_2"));
    sspTabs->setFrameShape(QFrame::Panel);
    sspTabs->setFrameShadow(QFrame::Raised);
    sspTabs->setAutoFillBackground(true);
    sspTabs->setAccessibleName(QStringLiteral("Supervisor operations"));
    sstSupervisorOperations = new QTabWidget(sspTabs);
    sstSupervisorOperations->setObjectName(QStringLiteral("sstSupervisorOperations"));
    sstSupervisorOperations->setAccessibleName(QStringLiteral("Supervisor operations"));
    sstSupervisorOperations->tabBar()->setFocusPolicy(Qt::StrongFocus);
    sstSupervisorOperations->tabBar()->installEventFilter(this);
    auto* panelLayout = new QVBoxLayout(sspTabs);
    panelLayout->setContentsMargins(5, 5, 5, 5);
    panelLayout->addWidget(sstSupervisorOperations);

    // "&Reports"
    auto* reports = new QWidget;
    Frame1 = makeFrame("Frame1", QStringLiteral("Choose Report Option"), reports);
    const std::array<QString, 3> options{
        QStringLiteral("Print above current client's report"),
        QStringLiteral("Select and print multiple clients' reports"),
        QStringLiteral("Print all clients' reports")};
    auto* optionLayout = new QVBoxLayout(Frame1);
    for (int i = 0; i < 3; ++i) {
        auto* opt = new QRadioButton(options[static_cast<size_t>(i)], Frame1);
        opt->setObjectName(QStringLiteral("optPrintOption_%1").arg(i));
        opt->setAccessibleName(opt->text());
        opt->installEventFilter(this);
        reserveBoldSize(opt);
        connect(opt, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                printOption_ = i;
        });
        optionLayout->addWidget(opt);
        optPrintOption[static_cast<size_t>(i)] = opt;
    }
    chkSumPage = new QCheckBox(QStringLiteral("One-page summary report"), reports);
    chkSumPage->setObjectName(QStringLiteral("chkSumPage"));
    chkSumPage->setAccessibleName(chkSumPage->text());
    connect(chkSumPage, &QCheckBox::toggled, this,
            [this](bool on) { this->session().SummaryPage = on; });
    auto* reportsLayout = new QVBoxLayout(reports);
    reportsLayout->addWidget(Frame1);
    reportsLayout->addWidget(chkSumPage);
    reportsLayout->addStretch();

    // "&Verify Data"
    auto* verify = new QWidget;
    Frame3 = makeFrame("Frame3", QStringLiteral("Option Comments"), verify);
    makeComment("lblVerifyComment",
                QStringLiteral("This option gives you the opportunity to re-enter the client's "
                               "responses from the answer sheet.  After you enter the responses, "
                               "any differences from what was just entered and what was "
                               "previously stored will be reported.  This gives you the "
                               "opportunity to correct any errors."),
                Frame3);
    auto* verifyLayout = new QVBoxLayout(verify);
    verifyLayout->addWidget(Frame3);
    verifyLayout->addStretch();

    // "&Delete Names"
    auto* names = new QWidget;
    Frame4 = makeFrame("Frame4", QStringLiteral("Option Comments"), names);
    makeComment("lblDeleteComment",
                QStringLiteral("This option will delete the client's name from the client "
                               "database.  USE WITH CAUTION!  Once the name has been deleted on "
                               "this data disk, it CANNOT be retrieved.  All other associated "
                               "client data, demographics, court history and responses will NOT "
                               "be deleted.  Use this option to protect client confidentiality "
                               "when you are done with the disk."),
                Frame4);
    auto* namesLayout = new QVBoxLayout(names);
    namesLayout->addWidget(Frame4);
    namesLayout->addStretch();

    sstSupervisorOperations->addTab(reports, QStringLiteral("&Reports"));
    sstSupervisorOperations->addTab(verify, QStringLiteral("&Verify Data"));
    sstSupervisorOperations->addTab(names, QStringLiteral("&Delete Names"));
    for (int i = 0; i < sstSupervisorOperations->count(); ++i)
        sstSupervisorOperations->widget(i)->setAccessibleName(
            sstSupervisorOperations->tabText(i).remove(u'&'));
    if (auto* pages = sstSupervisorOperations->findChild<QStackedWidget*>())
        pages->setAccessibleName(QStringLiteral("Chosen operation"));
    connect(sstSupervisorOperations, &QTabWidget::currentChanged, this,
            &frmSupervisorOptions::tabChanged);

    frCurrentClient = makeFrame("frCurrentClient", QStringLiteral("Current Client"), frControls);
    lblNameDisplay = new QLabel(QStringLiteral("No Clients"), frCurrentClient);
    lblNameDisplay->setObjectName(QStringLiteral("lblNameDisplay"));
    lblNameDisplay->setTextFormat(Qt::PlainText);
    lblNameDisplay->setAccessibleName(QStringLiteral("Current client"));
    QFont mono(QStringLiteral("Courier New"));
    mono.setStyleHint(QFont::TypeWriter);
    lblNameDisplay->setFont(mono);
    auto* clientLayout = new QVBoxLayout(frCurrentClient);
    clientLayout->addWidget(lblNameDisplay);

    MenuChoices* menu = addMenuChoices(Qt::Horizontal);
    menu->add(QStringLiteral("Execute Selection"),
              QStringLiteral("Perform the selected operation."));
    menu->add(QStringLiteral("Go to Main Menu"),
              QStringLiteral("Close the Utilities window returning to the Main Menu."));
    connect(menu, &MenuChoices::chosen, this, [this](int i) {
        if (i == 0)
            ExecuteSelection();
        else
            reject();
    });

    auto* controlsLayout = new QVBoxLayout(frControls);
    controlsLayout->addWidget(sspTabs);
    controlsLayout->addWidget(frCurrentClient);
    controlsLayout->addWidget(menu, 0, Qt::AlignHCenter);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frControls, 1, Qt::AlignHCenter);
    layout->addWidget(MsgPanel);

    setTabOrder(sstSupervisorOperations->tabBar(), optPrintOption[0]);
    setPanelHighlighted(sspTabs, false);

    // Each opening starts afresh: option 0, no summary page.
    optPrintOption[0]->setChecked(true);
    printOption_ = 0;
    chkSumPage->setChecked(false);
    session.SummaryPage = false;
    if (session.NumClients >= 1)
        lblNameDisplay->setText(currentName());
    else
        noClients_ = true;
}

QString frmSupervisorOptions::currentName()
{
    const Session& s = session();
    if (s.CurClient < 1 || s.CurClient > kMaxClients)
        return QStringLiteral("No Clients");
    // A name from an old disk may hold controls; a label shows them as blanks.
    return cp1252::shownText(s.current().text(Field::Name));
}

void frmSupervisorOptions::showEvent(QShowEvent* e)
{
    KvxScreen::showEvent(e);
    setPanelHighlighted(sspTabs, sstSupervisorOperations->tabBar()->hasFocus());
    if (noClients_) {
        // After the window is up, as the operator sees it appear and go.
        QTimer::singleShot(0, this, [this] {
            if (!isVisible())
                return;
            prompter().Message(QStringLiteral("There are no clients on this data disk.\n"
                                              "Returning to main menu."),
                               Prompter::Buttons::Ok, Prompter::Icon::Information,
                               QStringLiteral("Empty Data Disk"));
            reject();
        });
    }
}

void frmSupervisorOptions::tabChanged(int index)
{
    if (index == lastTab_)
        return;
    lastTab_ = index;
    switch (index) {
    case ReportsTab:
        showHelp(QString());
        lblNameDisplay->setText(currentName());
        optPrintOption[static_cast<size_t>(printOption_)]->setChecked(true);
        break;
    case VerifyTab:
        showHelp(QStringLiteral("Click Execute to perform data verification."));
        lblNameDisplay->setText(currentName());
        break;
    case DeleteNamesTab:
        showHelp(QStringLiteral("Click Execute to perform delete names operation."));
        lblNameDisplay->setText(QStringLiteral("All Clients"));
        break;
    default:
        break;
    }
    // A tab's shortcut taken on a print option leaves the focus on the bare page, where no
    // key acts; the tab control takes it instead and passes it on as when tabbed to.
    if (QApplication::focusWidget() == sstSupervisorOperations->currentWidget())
        sstSupervisorOperations->tabBar()->setFocus(Qt::ShortcutFocusReason);
}

void frmSupervisorOptions::tabFocused()
{
    // A click on a tab lands here before the tab changes: look once it has.
    QTimer::singleShot(0, this, [this] {
        if (!sstSupervisorOperations->tabBar()->hasFocus())
            return;
        if (sstSupervisorOperations->currentIndex() != ReportsTab)
            menuChoices()->button(0)->setFocus(Qt::TabFocusReason);
    });
}

bool frmSupervisorOptions::eventFilter(QObject* watched, QEvent* event)
{
    const bool in = event->type() == QEvent::FocusIn;
    const bool out = event->type() == QEvent::FocusOut;
    if (in || out) {
        if (watched == sstSupervisorOperations->tabBar()) {
            setPanelHighlighted(sspTabs, in);
            if (in)
                tabFocused();
        } else {
            for (QRadioButton* opt : optPrintOption) {
                if (watched == opt) {
                    setBold(opt, in);
                    showHelp(in ? kOptionHelp : QString());
                }
            }
        }
    }
    return KvxScreen::eventFilter(watched, event);
}

void frmSupervisorOptions::ExecuteSelection()
{
    static const std::array<QString, 3> titles{QStringLiteral("Print Report"),
                                               QStringLiteral("Verify Data"),
                                               QStringLiteral("Delete Names")};
    Session& s = session();
    const int tab = sstSupervisorOperations->currentIndex();
    if (s.NumClients == 0) {
        prompter().Message(QStringLiteral("Database empty.\nCannot perform this function."),
                           Prompter::Buttons::Ok, Prompter::Icon::Information,
                           titles[static_cast<size_t>(tab)]);
    } else if (tab == ReportsTab) {
        if (AskSecretCode(screens_, prompter())) {
            switch (printOption_) {
            case 0:
                screens_.ViewReport();
                break;
            case 1:
                screens_.PrintSelected();
                break;
            default:
                printAll();
                break;
            }
        }
    } else if (tab == VerifyTab) {
        screens_.Verify();
    } else {
        DeleteNames(s, prompter(), {[] { ShowBusy(); }, [] { ShowNormal(); }, {}});
    }
    accept();
}

void frmSupervisorOptions::printAll()
{
    Session& s = session();
    QList<int> records;
    for (int n = 1; n <= s.NumClients; ++n)
        records << n;
    const std::unique_ptr<ReportPrinter> printer = printers_();
    RunReportBatch(s, records, *printer, prompter(), this);
    s.CurClient = 1;
}

void frmSupervisorOptions::done(int result)
{
    // The summary page is this screen's choice only.
    session().SummaryPage = false;
    KvxScreen::done(result);
}

} // namespace kvx
