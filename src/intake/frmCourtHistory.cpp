#include "intake/frmCourtHistory.h"

#include "intake/IntakeFields.h"

#include "store/Cp1252.h"
#include "store/DataFile.h"
#include "ui/SaveClient.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QShortcut>
#include <QVBoxLayout>

namespace kvx {
namespace {

struct Item
{
    const char* control;
    const char* label;
};

const Item kItems[kCourtItemCount] = {
    {"txtAgeAtFirstConviction", "1. Your age at your first conviction:"},
    {"txtMisdemeanor", "2. Number of misdemeanor convictions"},
    {"txtFelony", "3. Number of felony convictions:"},
    {"txtProbation", "4. Number of times on probation:"},
    {"txtProbationRevocations", "5. Number of probation revocations:"},
    {"txtParole", "6. Number of times on parole:"},
    {"txtParoleRevocations", "7. Number of parole revocations:"},
    {"txtArrests", "8. Total number of times arrested"},
    {"txtJail", "9. Number of times sentenced to jail:"},
    {"txtPrison", "10. Number of times sentenced to prison:"},
    {"txtYears", "11. Number of years in jail and prison:"},
    {"txtDVArrests", "12. Number of domestic violence arrests:"},
    {"txtAlcoholArrests", "13. Number of alcohol-related arrests:"},
    {"txtDrugArrests", "14. Number of drug-related arrests:"},
    {"txtAssaults", "15. Number of assault (not domestic violence) arrests:"},
};

} // namespace

frmCourtHistory::frmCourtHistory(Session& session, Prompter& prompter, QWidget* parent)
    : KvxScreen(session, prompter, parent)
{
    setObjectName(QStringLiteral("frmCourtHistory"));
    setWindowTitle(QStringLiteral("Court History"));

    frCourt = new QFrame(this);
    frCourt->setObjectName(QStringLiteral("frCourt"));
    auto* grid = new QGridLayout(frCourt);
    lblClientName = new QLabel(frCourt);
    lblClientName->setObjectName(QStringLiteral("lblClientName"));
    lblClientName->setTextFormat(Qt::PlainText);
    grid->addWidget(lblClientName, 0, 0, 1, 2);

    int row = 1;
    QWidget* previous = nullptr;
    for (int i = 0; i < kCourtItemCount; ++i) {
        auto* edit = new QLineEdit(frCourt);
        edit->setObjectName(QLatin1String(kItems[i].control));
        edit->setMaxLength(2);
        applyTextRule(edit, prompter);
        edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 16);
        auto* label = new QLabel(QLatin1String(kItems[i].label), frCourt);
        label->setObjectName(QStringLiteral("lblInfo_%1").arg(i));
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        ++row;
        // Items 2 and 8 carry a reminder under them.
        if (i == 1 || i == 7) {
            auto* note = new QLabel(QStringLiteral("(Do not include moving violations):"), frCourt);
            note->setObjectName(i == 1 ? QStringLiteral("lblMovingViolations_0")
                                       : QStringLiteral("lblMovingViolations_1"));
            grid->addWidget(note, row++, 0);
        }
        edit->installEventFilter(this);
        SelectAllOnFocus::install(edit);
        if (previous)
            setTabOrder(previous, edit);
        previous = edit;
        boxes_[static_cast<size_t>(i)] = edit;
        lblInfo[static_cast<size_t>(i)] = label;
    }
    txtAgeAtFirstConviction = box(1);
    txtMisdemeanor = box(2);
    txtFelony = box(3);
    txtProbation = box(4);
    txtProbationRevocations = box(5);
    txtParole = box(6);
    txtParoleRevocations = box(7);
    txtArrests = box(8);
    txtJail = box(9);
    txtPrison = box(10);
    txtYears = box(11);
    txtDVArrests = box(12);
    txtAlcoholArrests = box(13);
    txtDrugArrests = box(14);
    txtAssaults = box(15);

    MenuChoices* menu = addMenuChoices(Qt::Horizontal);
    menu->add(QStringLiteral("Information OK"),
              QStringLiteral("If information is correct press Enter or press Tab to change an "
                             "entry."));
    menu->add(QStringLiteral("Cancel Input"),
              QStringLiteral("Cancel information input and return to Main Menu."));
    setTabOrder(previous, menu->button(0));
    setTabOrder(menu->button(0), menu->button(1));
    connect(menu, &MenuChoices::chosen, this, [this](int index) {
        if (index == 0)
            InformationOK();
        else
            CancelInput();
    });

    // Leaves at once: nothing checked, nothing stored, ScreenAccepted as it was.
    auto* leave = new QShortcut(QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_F10), this);
    leave->setContext(Qt::WindowShortcut);
    connect(leave, &QShortcut::activated, this, [this] { done(QDialog::Rejected); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frCourt);
    layout->addWidget(menu);
    layout->addWidget(MsgPanel);

    if (session.EditMode) {
        GetCourtData();
    } else if (session.ScanEditMode) {
        for (int item = 1; item <= kCourtItemCount; ++item)
            box(item)->setText(session.Scanned.court[static_cast<size_t>(item - 1)]);
    }
}

int frmCourtHistory::itemOf(QObject* w) const
{
    for (int i = 0; i < kCourtItemCount; ++i) {
        if (boxes_[static_cast<size_t>(i)] == w)
            return i + 1;
    }
    return 0;
}

QWidget* frmCourtHistory::nextAfter(int item) const
{
    return item < kCourtItemCount ? static_cast<QWidget*>(box(item + 1))
                                  : static_cast<QWidget*>(menuChoices()->button(0));
}

void frmCourtHistory::GetCourtData()
{
    const ClientRecord& r = session().current();
    for (int item = 1; item <= kCourtItemCount; ++item)
        box(item)->setText(cp1252::shownText(r.court(item).trimmed()));
}

bool frmCourtHistory::SaveCourtData()
{
    Session& s = session();
    std::array<QString, kCourtItemCount> values;
    for (int item = 1; item <= kCourtItemCount; ++item)
        values[static_cast<size_t>(item - 1)] = box(item)->text();
    const ClientRecord before = s.current();
    if (Status st = StoreCourtValues(s.current(), values); !st) {
        prompter().Message(st.error().message, Prompter::Buttons::Ok, Prompter::Icon::Critical);
        return false;
    }
    if (s.EditMode && !SaveCurrentClient(s, prompter())) {
        // The screen stays with what was typed; memory matches the disk again.
        s.current() = before;
        return false;
    }
    return true;
}

bool frmCourtHistory::CheckCourtEntry(int item, QWidget* next)
{
    QLineEdit* edit = box(item);
    const Verdict v = CheckCourtItem(item, edit->text());
    edit->setText(v.value);
    if (!v.ok()) {
        prompter().Beep();
        prompter().Message(v.message, Prompter::Buttons::Ok, Prompter::Icon::Critical,
                           QStringLiteral("Data Entry Error"));
        edit->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (next)
        next->setFocus(Qt::TabFocusReason);
    return true;
}

void frmCourtHistory::showEvent(QShowEvent* e)
{
    KvxScreen::showEvent(e);
    if (activated_)
        return;
    activated_ = true;
    lblClientName->setText(cp1252::shownText(session().current().text(Field::Name)));
    if (session().EditMode || session().ScanEditMode)
        menuChoices()->button(0)->setFocus(Qt::OtherFocusReason);
    else
        box(1)->setFocus(Qt::OtherFocusReason);
}

bool frmCourtHistory::eventFilter(QObject* watched, QEvent* event)
{
    const int item = itemOf(watched);
    if (item == 0)
        return KvxScreen::eventFilter(watched, event);
    QLineEdit* edit = box(item);
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* k = static_cast<QKeyEvent*>(event);
        if (isEnterOrTab(k)) {
            CheckCourtEntry(item, nextAfter(item));
            return true;
        }
        const QString text = k->text();
        const bool character = !text.isEmpty() && text.front().isPrint();
        if (character && edit->text().size() >= 2 && edit->selectedText().size() < 2) {
            prompter().Beep();
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
        setInfoLabelBold(this, item - 1, true);
        showHelp(item == 1
                     ? QStringLiteral("Type a value 5 to 99 or N for Not Available, then press "
                                      "Enter.")
                     : QStringLiteral("Type a value 0 to 99 or N for Not Available, then press "
                                      "Enter."));
        break;
    case QEvent::FocusOut:
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason)
            setInfoLabelBold(this, item - 1, false);
        break;
    default:
        break;
    }
    return KvxScreen::eventFilter(watched, event);
}

void frmCourtHistory::InformationOK()
{
    for (int item : kCourtCheckOrder) {
        if (!CheckCourtEntry(item, nullptr))
            return;
    }
    if (!SaveCourtData())
        return;
    session().ScreenAccepted = true;
    accept();
}

void frmCourtHistory::CancelInput()
{
    Session& s = session();
    if (!s.EditMode)
        DropNewClient(s);
    s.ScreenAccepted = false;
    reject();
}

} // namespace kvx
