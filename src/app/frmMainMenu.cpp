#include "app/frmMainMenu.h"

#include "app/DriveSelect.h"
#include "app/Logo.h"
#include "app/NumLock.h"
#include "install/Settings.h"
#include "store/DataFile.h"

#include <QApplication>
#include <QDialog>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

namespace kvx {
namespace {

const QString kListHelp = QStringLiteral("Use up or down arrow keys or mouse to select client.");

} // namespace

frmMainMenu::frmMainMenu(Session& session, Settings& settings, Prompter& prompter, Screens& screens,
                         const Branding& branding, QWidget* parent)
    : QMainWindow(parent), session_(session), settings_(settings), prompter_(prompter),
      screens_(screens)
{
    setObjectName(QStringLiteral("frmMainMenu"));
    setWindowTitle(QStringLiteral("Kavexa"));

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    MsgPanel = makeHelpLine(central);

    imgQELLogo = new QLabel(central);
    imgQELLogo->setObjectName(QStringLiteral("imgQELLogo"));
    imgQELLogo->setPixmap(logoPixmap(branding.LogoPath, QSize(240, 135)));
    imgQELLogo->setAccessibleName(QStringLiteral("Logo"));
    outer->addWidget(imgQELLogo, 0, Qt::AlignHCenter);

    frMainMenu = new QFrame(central);
    frMainMenu->setObjectName(QStringLiteral("frMainMenu"));
    frMainMenu->setAccessibleName(QStringLiteral("Main Menu"));
    auto* row = new QHBoxLayout(frMainMenu);

    menu_ = new MenuChoices(MsgPanel, Qt::Vertical, frMainMenu);
    menu_->add(QStringLiteral("Edit Current Client"), QStringLiteral("Edit client's information."));
    menu_->add(QStringLiteral("Add New Client"),
               QStringLiteral("Enter a new client. Test client on computer or enter data from "
                              "answer sheet."));
    menu_->add(QStringLiteral("Supervisor Options"),
               QStringLiteral("Print client report, verify data entry or delete client names."));
    menu_->add(QStringLiteral("Exit Application"), QStringLiteral("Quit the program."));
    connect(menu_, &MenuChoices::chosen, this, &frmMainMenu::choose);
    row->addWidget(menu_, 0, Qt::AlignTop);

    fraClient = new QGroupBox(QStringLiteral("Client List"), frMainMenu);
    fraClient->setObjectName(QStringLiteral("fraClient"));
    fraClient->setAutoFillBackground(true);
    auto* listLayout = new QVBoxLayout(fraClient);
    lbNameDisplay = new QListWidget(fraClient);
    lbNameDisplay->setObjectName(QStringLiteral("lbNameDisplay"));
    // Its own weight, so the frame's bold caption does not reach the lines.
    QFont lines = lbNameDisplay->font();
    lines.setBold(false);
    lbNameDisplay->setFont(lines);
    lbNameDisplay->setSelectionMode(QAbstractItemView::SingleSelection);
    lbNameDisplay->setMinimumWidth(lbNameDisplay->fontMetrics().horizontalAdvance(u'M') * 32);
    lbNameDisplay->installEventFilter(this);
    listLayout->addWidget(lbNameDisplay);
    setFrameHighlighted(fraClient, false);
    // The bold caption of the focused list takes no more room than the plain one had.
    reserveBoldSize(fraClient);
    row->addWidget(fraClient, 1);
    outer->addWidget(frMainMenu, 1);
    outer->addWidget(MsgPanel);
    setCentralWidget(central);
    central->setAccessibleName(QStringLiteral("Kavexa"));
    nameControls(this);

    // Selection, not the current row: focus alone makes a row current, and the space bar
    // selects the current row without moving it.
    connect(lbNameDisplay, &QListWidget::itemSelectionChanged, this, [this] {
        takeCurrentClient();
        UpdateEditChoice();
    });
    connect(lbNameDisplay, &QListWidget::itemClicked, this, [this] {
        takeCurrentClient();
        UpdateEditChoice();
    });
    // Tab order: the four buttons, then the list.
    for (int i = 0; i < 3; ++i)
        setTabOrder(menu_->button(i), menu_->button(i + 1));
    setTabOrder(menu_->button(3), lbNameDisplay);

    QMenuBar* bar = menuBar();
    bar->setAccessibleName(QStringLiteral("Menu bar"));
    mnuExit = bar->addAction(QStringLiteral("E&xit!"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    QMenu* options = bar->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("mnuOptions"));
    mnuDriveSelect = options->addAction(QStringLiteral("&Change Data Drive"));
    mnuDriveSelect->setObjectName(QStringLiteral("mnuDriveSelect"));
    mnuOptionsNumLock = options->addAction(QStringLiteral("&Num Lock Always On"));
    mnuOptionsNumLock->setObjectName(QStringLiteral("mnuOptionsNumLock"));
    mnuOptionsNumLock->setCheckable(true);
    mnuOptionsPrintDOS = options->addAction(QStringLiteral("&Print to DOS port"));
    mnuOptionsPrintDOS->setObjectName(QStringLiteral("mnuOptionsPrintDOS"));
    mnuOptionsPrintDOS->setCheckable(true);
    mnuHelpAbout = bar->addAction(QStringLiteral("&About..."));
    mnuHelpAbout->setObjectName(QStringLiteral("mnuHelpAbout"));

    connect(mnuExit, &QAction::triggered, this, [this] { choose(ExitApplication); });
    connect(mnuDriveSelect, &QAction::triggered, this, &frmMainMenu::changeDataDrive);
    connect(mnuOptionsNumLock, &QAction::triggered, this, &frmMainMenu::toggleNumLock);
    connect(mnuOptionsPrintDOS, &QAction::triggered, this, &frmMainMenu::togglePrintDOS);
    connect(mnuHelpAbout, &QAction::triggered, this, [this] {
        screens_.About();
        Activate();
    });

    // The keeper runs from the start, splash included, so it follows the stored option
    // from its first tick; the check mark shows it once the options are loaded.
    numLock_ = settings_.GetNumLockSetting();
    timNumLock = new QTimer(this);
    timNumLock->setObjectName(QStringLiteral("timNumLock"));
    timNumLock->setInterval(1000);
    connect(timNumLock, &QTimer::timeout, this, &frmMainMenu::keepNumLock);
    timNumLock->start();
}

void frmMainMenu::Activate()
{
    ResetMenuChoices(this, 3);
    RefreshNameDisplay();
    UpdateEditChoice();
    menu_->button(AddNewClient)->setEnabled(session_.NumClients < kMaxClients);
    menu_->button(EditCurrentClient)->setEnabled(false);
    // Back from a screen whose button is now disabled (or hidden meanwhile), the keyboard
    // would be left with no focus at all: the client list takes it.
    if (isVisible()) {
        activateWindow();
        if (!focusWidget() || !focusWidget()->isEnabled() || !focusWidget()->isVisible())
            lbNameDisplay->setFocus(Qt::OtherFocusReason);
    }
    // A highlight stays with the button that keeps the focus.
    for (int i = 0; i < menu_->count(); ++i) {
        if (menu_->button(i)->hasFocus())
            HighlightMenuChoice(this, i);
    }
    if (closeOthers_) {
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget* w : windows) {
            if (w != this && w->isVisible() && qobject_cast<QDialog*>(w))
                w->close();
        }
    }
}

void frmMainMenu::RefreshNameDisplay()
{
    if (session_.NumClients <= 0 || !session_.RefreshNames)
        return;
    const QSignalBlocker block(lbNameDisplay);
    lbNameDisplay->clear();
    for (int n = 1; n <= session_.NumClients; ++n)
        lbNameDisplay->addItem(ClientListLine(session_, n));
    lbNameDisplay->setCurrentRow(-1);
}

void frmMainMenu::UpdateEditChoice()
{
    const QListWidgetItem* item = lbNameDisplay->currentItem();
    const bool selected = item && item->isSelected() && !item->text().isEmpty();
    menu_->button(EditCurrentClient)->setEnabled(selected);
}

void frmMainMenu::takeCurrentClient()
{
    const QListWidgetItem* item = lbNameDisplay->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString line = item->text();
    const qsizetype dash = line.indexOf(u'-');
    bool ok = false;
    const int n = line.left(dash).toInt(&ok);
    if (dash > 0 && ok && n >= 1 && n <= session_.NumClients)
        session_.CurClient = n;
}

bool frmMainMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lbNameDisplay) {
        switch (event->type()) {
        case QEvent::FocusIn:
            listFocused(true);
            break;
        case QEvent::FocusOut:
            listFocused(false);
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            // With no line chosen yet, the first arrow key chooses the first line.
            const QListWidgetItem* item = lbNameDisplay->currentItem();
            if ((key == Qt::Key_Down || key == Qt::Key_Up) && lbNameDisplay->count() > 0 &&
                !(item && item->isSelected())) {
                lbNameDisplay->setCurrentRow(0);
                UpdateEditChoice();
                return true;
            }
            // After the list has handled the key.
            QTimer::singleShot(0, this, &frmMainMenu::UpdateEditChoice);
            break;
        }
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMainMenu::listFocused(bool in)
{
    if (!in) {
        setFrameHighlighted(fraClient, false);
        MsgPanel->clear();
        return;
    }
    if (session_.NumClients < 1) {
        menu_->button(AddNewClient)->setFocus(Qt::TabFocusReason);
        return;
    }
    setFrameHighlighted(fraClient, true);
    MsgPanel->setText(kListHelp);
    UpdateEditChoice();
}

void frmMainMenu::choose(int index)
{
    switch (index) {
    case EditCurrentClient:
        runEditChain();
        break;
    case AddNewClient:
        runScreen(&Screens::EntryMethod, true);
        break;
    case SupervisorOptions:
        runScreen(&Screens::SupervisorOptions, false);
        break;
    case ExitApplication:
        emit programEnded(0);
        break;
    default:
        break;
    }
}

void frmMainMenu::runEditChain()
{
    session_.EditMode = true;
    session_.ScanEditMode = false;
    closeOthers_ = false;
    session_.RefreshNames = false;
    frMainMenu->hide();

    session_.ScreenAccepted = false;
    screens_.ClientInformation();
    if (session_.ScreenAccepted) {
        session_.ScreenAccepted = false;
        screens_.CourtHistory();
        if (session_.ScreenAccepted)
            screens_.AnswerEntry({});
    }

    closeOthers_ = true;
    frMainMenu->show();
    session_.EditMode = false;
    session_.RefreshNames = true;
    Activate();
}

void frmMainMenu::runScreen(void (Screens::*open)(), bool scanEditOff)
{
    session_.EditMode = false;
    if (scanEditOff)
        session_.ScanEditMode = false;
    session_.RefreshNames = false;
    frMainMenu->hide();
    (screens_.*open)();
    frMainMenu->show();
    session_.RefreshNames = true;
    Activate();
}

void frmMainMenu::changeDataDrive()
{
    const DriveOutcome outcome = SelectDataDrive(
        session_, settings_, prompter_, [this] { return screens_.DriveSelect(); }, false);
    if (outcome == DriveOutcome::EndProgram) {
        emit programEnded(1);
        return;
    }
    // The list always shows the clients of the disk in use.
    lbNameDisplay->clear();
    session_.RefreshNames = true;
    Activate();
}

void frmMainMenu::loadOptions()
{
    numLock_ = settings_.GetNumLockSetting();
    mnuOptionsNumLock->setChecked(numLock_);
    session_.PrintDOS = settings_.GetPrintDOSSetting();
    mnuOptionsPrintDOS->setChecked(session_.PrintDOS);
}

void frmMainMenu::toggleNumLock()
{
    numLock_ = !numLock_;
    mnuOptionsNumLock->setChecked(numLock_);
    if (Status st = settings_.SaveNumLockSetting(numLock_); !st)
        prompter_.Message(
            QStringLiteral("Error %1:%2").arg(st.error().code).arg(st.error().message));
}

void frmMainMenu::togglePrintDOS()
{
    session_.PrintDOS = !session_.PrintDOS;
    mnuOptionsPrintDOS->setChecked(session_.PrintDOS);
    if (Status st = settings_.SavePrintDOSSetting(session_.PrintDOS); !st)
        prompter_.Message(
            QStringLiteral("Error %1:%2").arg(st.error().code).arg(st.error().message));
}

void frmMainMenu::keepNumLock()
{
    // Once the option is off the keeper stops for the rest of the run.
    if (!numLock_) {
        timNumLock->stop();
        return;
    }
    holdNumLockOn();
}

} // namespace kvx
