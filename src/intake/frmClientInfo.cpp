#include "intake/frmClientInfo.h"

#include "store/Cp1252.h"
#include "store/DataFile.h"
#include "ui/SaveClient.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace kvx {
namespace {

const char* const kLabels[kInfoFieldCount] = {
    "Client Name:",      "Age:",       "Date of Birth:", "Sex:",
    "Ethnicity (Race):", "Education:", "Marital Status:"};

QString fieldHelp(InfoField f)
{
    switch (f) {
    case InfoField::Name:
        return QStringLiteral(
            "Type client's name (up to 25 characters) or N for not available, then press Enter.");
    case InfoField::Age:
        return QStringLiteral("Type age in years or N for not available, then press Enter.");
    case InfoField::DateOfBirth:
        return QStringLiteral("Type date of birth in the form mm/dd/yyyy or N for not available, "
                              "then press Enter.");
    case InfoField::Gender:
        return QStringLiteral("Use up or down arrow keys to select sex or N/A for not available, "
                              "then press Enter.");
    case InfoField::Race:
        return QStringLiteral("Use up or down arrow keys to select ethnicity/race or N/A for not "
                              "available, then press Enter.");
    case InfoField::Education:
        return QStringLiteral("Use up or down arrow keys to select education level or N/A for "
                              "not available, then press Enter.");
    case InfoField::Marital:
        break;
    }
    return QStringLiteral("Use up or down arrow keys to select marital status or N/A for not "
                          "available, then press Enter.");
}

const QString kDateMask = QStringLiteral(">N9/99/9999;_");

const QString kNameDeletedHelp = QStringLiteral(
    "Client name has been deleted. Editing is not permitted. Press Enter to continue.");

} // namespace

frmClientInfo::frmClientInfo(Session& session, Prompter& prompter, QWidget* parent)
    : KvxScreen(session, prompter, parent)
{
    setObjectName(QStringLiteral("frmClientInfo"));
    setWindowTitle(QStringLiteral("Client Information"));

    frClient = new QFrame(this);
    frClient->setObjectName(QStringLiteral("frClient"));
    auto* grid = new QGridLayout(frClient);

    txtName = new QLineEdit(frClient);
    txtName->setMaxLength(25);
    applyTextRule(txtName, prompter);
    txtAge = new QLineEdit(frClient);
    txtAge->setMaxLength(2);
    applyTextRule(txtAge, prompter);
    mebDateOfBirth = new QLineEdit(frClient);
    applyTextRule(mebDateOfBirth, prompter);
    showDateOfBirth(QString());
    cmbGender = new InfoListBox(InfoList::Gender, frClient);
    cmbRace = new InfoListBox(InfoList::Race, frClient);
    cmbEducation = new InfoListBox(InfoList::Education, frClient);
    cmbMarital = new InfoListBox(InfoList::Marital, frClient);

    const char* const names[kInfoFieldCount] = {"txtName",   "txtAge",  "mebDateOfBirth",
                                                "cmbGender", "cmbRace", "cmbEducation",
                                                "cmbMarital"};
    QWidget* previous = nullptr;
    for (int i = 0; i < kInfoFieldCount; ++i) {
        QWidget* field = fieldWidget(static_cast<InfoField>(i));
        field->setObjectName(QLatin1String(names[i]));
        auto* label = new QLabel(QLatin1String(kLabels[i]), frClient);
        label->setObjectName(QStringLiteral("lblInfo_%1").arg(i));
        label->setBuddy(field);
        lblInfo[static_cast<size_t>(i)] = label;
        grid->addWidget(label, i, 0);
        grid->addWidget(field, i, 1);
        field->installEventFilter(this);
        SelectAllOnFocus::install(field);
        if (previous)
            setTabOrder(previous, field);
        previous = field;
    }

    MenuChoices* menu = addMenuChoices(Qt::Horizontal);
    menu->add(QStringLiteral("Information OK"), QString());
    menu->add(QStringLiteral("Cancel Input"),
              QStringLiteral("Cancel information input and return to Main Menu."));
    setTabOrder(previous, menu->button(0));
    setTabOrder(menu->button(0), menu->button(1));
    connect(menu, &MenuChoices::chosen, this, [this](int index) {
        if (index == 0)
            Save();
        else
            CancelInput();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frClient);
    layout->addWidget(menu);
    layout->addWidget(MsgPanel);
    // Wide enough for the longest help line.
    setMinimumWidth(MsgPanel->fontMetrics().horizontalAdvance(fieldHelp(InfoField::Race)) + 40);

    Load();
}

void frmClientInfo::showDateOfBirth(const QString& value)
{
    // "N" stands alone; a date is typed into the mask, whose first place takes a letter or a
    // digit in upper case, the others digits, "_" marking an empty place.
    const bool notAvailable = value.compare(u"N", Qt::CaseInsensitive) == 0;
    mebDateOfBirth->setInputMask(notAvailable ? QString() : kDateMask);
    mebDateOfBirth->setText(notAvailable ? QStringLiteral("N") : value);
}

QWidget* frmClientInfo::fieldWidget(InfoField f) const
{
    switch (f) {
    case InfoField::Name:
        return txtName;
    case InfoField::Age:
        return txtAge;
    case InfoField::DateOfBirth:
        return mebDateOfBirth;
    case InfoField::Gender:
        return cmbGender;
    case InfoField::Race:
        return cmbRace;
    case InfoField::Education:
        return cmbEducation;
    case InfoField::Marital:
        break;
    }
    return cmbMarital;
}

int frmClientInfo::fieldIndexOf(QObject* w) const
{
    for (int i = 0; i < kInfoFieldCount; ++i) {
        if (fieldWidget(static_cast<InfoField>(i)) == w)
            return i;
    }
    return -1;
}

void frmClientInfo::Load()
{
    accepted_.fill(QString());
    acceptedEditCount_ = 0;
    countEdits_ = true;
    if (session().EditMode) {
        RecordToScreen();
    } else {
        session().EditCount = 0;
        session().NameDeleted = 0;
    }
    if (!session().EditMode && session().ScanEditMode) {
        // What the sheet gave, for the operator to check.
        const ScannedIntake& v = session().Scanned;
        txtName->setText(v.name);
        txtAge->setText(v.age);
        cmbGender->choose(v.gender);
        cmbRace->choose(v.race);
        cmbEducation->choose(v.education);
        cmbMarital->choose(v.marital);
    }
    updateOkHelp();
}

void frmClientInfo::RecordToScreen()
{
    const ClientRecord& r = session().current();
    const InfoValues v = valuesOfRecord(r);
    txtName->setText(v.name);
    txtAge->setText(v.age);
    showDateOfBirth(v.dateOfBirth);
    cmbGender->choose(v.gender);
    cmbRace->choose(v.race);
    cmbEducation->choose(v.education);
    cmbMarital->choose(v.marital);
    session().NameDeleted = r.code(Field::NameDeleted);
    session().EditCount = r.code(Field::EditCount);

    if (session().NameDeleted == 1 || session().EditCount >= kEditLimit) {
        LockFields();
        if (session().NameDeleted == 1)
            showHelp(kNameDeletedHelp);
        else if (session().EditCount == kEditLimit)
            showHelp(QStringLiteral("Exceeded limits of editing. Press Enter to continue."));
    }
    for (int i = 0; i < kInfoFieldCount; ++i)
        accepted_[static_cast<size_t>(i)] = currentText(static_cast<InfoField>(i));
    acceptedEditCount_ = session().EditCount;
}

QString frmClientInfo::currentText(InfoField f) const
{
    return acceptedText(screenValues(), f);
}

InfoValues frmClientInfo::screenValues() const
{
    InfoValues v;
    v.name = txtName->text();
    v.age = txtAge->text();
    // The mask leaves its separators in an empty or "N" box.
    const QString dob = mebDateOfBirth->text();
    if (dob.startsWith(u'N') || dob.startsWith(u'n'))
        v.dateOfBirth = QStringLiteral("N");
    else if (dob == u"//")
        v.dateOfBirth = QString();
    else
        v.dateOfBirth = dob;
    v.gender = cmbGender->chosen();
    v.race = cmbRace->chosen();
    v.education = cmbEducation->chosen();
    v.marital = cmbMarital->chosen();
    return v;
}

Status frmClientInfo::RecordToDB()
{
    return StoreInfo(session().current(), screenValues(), session().NameDeleted,
                     session().EditCount);
}

void frmClientInfo::LockFields()
{
    const bool hadFocus = fieldIndexOf(QApplication::focusWidget()) >= 0;
    // Disabled first, so that the field the focus leaves cannot count (and complain) again.
    for (int i = 0; i < kInfoFieldCount; ++i)
        fieldWidget(static_cast<InfoField>(i))->setEnabled(false);
    // No field has the focus any more, so no label stays bold.
    ResetInfoLabels(this, kInfoFieldCount - 1);
    if (hadFocus)
        menuChoices()->button(0)->setFocus(Qt::OtherFocusReason);
}

bool frmClientInfo::fieldPasses(InfoField f) const
{
    const InfoValues v = screenValues();
    switch (f) {
    case InfoField::Name:
        return CheckName(v.name).ok();
    case InfoField::Age:
        return CheckAge(v.age).ok();
    case InfoField::DateOfBirth:
        return CheckDateOfBirth(v.dateOfBirth).ok();
    default:
        break;
    }
    const auto* box = static_cast<const InfoListBox*>(fieldWidget(f));
    return CheckList(box->list(), box->chosen()).ok();
}

void frmClientInfo::restoreStored(InfoField f)
{
    const InfoValues v = valuesOfRecord(session().current());
    switch (f) {
    case InfoField::Name:
        txtName->setText(v.name);
        return;
    case InfoField::Age:
        txtAge->setText(v.age);
        return;
    case InfoField::DateOfBirth:
        showDateOfBirth(v.dateOfBirth);
        return;
    case InfoField::Gender:
        cmbGender->choose(v.gender);
        return;
    case InfoField::Race:
        cmbRace->choose(v.race);
        return;
    case InfoField::Education:
        cmbEducation->choose(v.education);
        return;
    case InfoField::Marital:
        cmbMarital->choose(v.marital);
        return;
    }
}

void frmClientInfo::CountEdit(const QString& fieldName)
{
    if (!session().EditMode || !countEdits_)
        return;
    for (int i = 0; i < kInfoFieldCount; ++i) {
        const auto f = static_cast<InfoField>(i);
        if (infoFieldName(f) != fieldName)
            continue;
        const EditOutcome outcome =
            CountEditRule(accepted_[static_cast<size_t>(i)], currentText(f), session().EditCount);
        if (outcome == EditOutcome::LimitReached && fieldWidget(f)->isEnabled()) {
            // A field that fails its check could never be mended once locked: it gets back
            // its stored value, so the screen can always be completed.
            for (int j = 0; j < kInfoFieldCount; ++j) {
                const auto other = static_cast<InfoField>(j);
                if (!fieldPasses(other))
                    restoreStored(other);
            }
            ShowEditLimitMessage();
            LockFields();
        }
        updateOkHelp();
        return;
    }
}

void frmClientInfo::ShowEditLimitMessage()
{
    prompter().Message(QStringLiteral("This client's information has been edited\n"
                                      "3 times already. Further editing of this\n"
                                      "information is no longer permitted."),
                       Prompter::Buttons::Ok, Prompter::Icon::Information,
                       QStringLiteral("Edit Limit Reached"));
}

void frmClientInfo::updateOkHelp()
{
    QString help;
    if (session().NameDeleted == 1)
        help = kNameDeletedHelp;
    else if (session().EditCount < kEditLimit)
        help = QStringLiteral(
            "If information is correct press Enter or press Tab to change an entry.");
    else
        help = QStringLiteral("No further editing permitted. Press Enter to save and continue.");
    menuChoices()->setHelp(0, help);
    if (menuChoices()->button(0)->hasFocus())
        showHelp(help);
}

void frmClientInfo::showEvent(QShowEvent* e)
{
    KvxScreen::showEvent(e);
    if (activated_)
        return;
    activated_ = true;
    if (session().EditMode || session().ScanEditMode) {
        ResetInfoLabels(this, kInfoFieldCount - 1);
        menuChoices()->button(0)->setFocus(Qt::OtherFocusReason);
    } else {
        txtName->setFocus(Qt::OtherFocusReason);
    }
    // The messages come once the screen is up.
    QTimer::singleShot(0, this, &frmClientInfo::Activate);
}

void frmClientInfo::Activate()
{
    if (session().NameDeleted == 1) {
        prompter().Message(QStringLiteral("This client's name has been deleted.\n"
                                          "Editing this information is no longer permitted."),
                           Prompter::Buttons::Ok, Prompter::Icon::Information,
                           QStringLiteral("Name Deleted"));
    } else if (session().EditCount == kEditLimit) {
        prompter().Message(QStringLiteral("This client's information has been changed 3 times.\n"
                                          "No further editing is permitted. Press Enter to "
                                          "continue."),
                           Prompter::Buttons::Ok, Prompter::Icon::Information,
                           QStringLiteral("Edit Limit Reached"));
    }
}

bool frmClientInfo::eventFilter(QObject* watched, QEvent* event)
{
    const int index = fieldIndexOf(watched);
    if (index < 0)
        return KvxScreen::eventFilter(watched, event);
    const auto f = static_cast<InfoField>(index);
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* k = static_cast<QKeyEvent*>(event);
        if (isEnterOrTab(k)) {
            enterField(f);
            return true;
        }
        return typeInField(f, k);
    }
    case QEvent::FocusIn:
        fieldFocused(f, true);
        break;
    case QEvent::FocusOut: {
        // A message box or the list's own drop-down does not take the field away.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Nor does the list's view taking the keys while it is open (a change made there
        // counts once, when the list is left).
        auto* box = qobject_cast<InfoListBox*>(watched);
        const bool intoOwnList = box && box->view()->isVisible();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !intoOwnList)
            fieldFocused(f, false);
        break;
    }
    default:
        break;
    }
    return KvxScreen::eventFilter(watched, event);
}

bool frmClientInfo::typeInField(InfoField f, QKeyEvent* k)
{
    const QString text = k->text();
    if (text.isEmpty())
        return false; // cursor, editing and function keys
    const QChar c = text.front();
    switch (f) {
    case InfoField::Name:
        if (cp1252::firstUnencodable(text).isNull())
            return false;
        prompter().Beep();
        return true;
    case InfoField::Age:
        return false;
    case InfoField::DateOfBirth:
        // Digits of other scripts would pass the mask but never make a date.
        if (!c.isPrint() || (c >= u'0' && c <= u'9') || c == u'N' || c == u'n' || c == u'/') {
            // A lone "N" shows without the mask; typing starts a new date in it.
            if (c.isPrint() && mebDateOfBirth->inputMask().isEmpty())
                showDateOfBirth(QString());
            return false;
        }
        prompter().Beep();
        return true;
    default:
        break;
    }
    auto* box = static_cast<InfoListBox*>(fieldWidget(f));
    if (c.isPrint() && ListKeyAccepted(box->list(), c)) {
        box->typeText(QString(c.toUpper()));
    } else {
        box->empty();
        prompter().Beep();
    }
    return true;
}

void frmClientInfo::fieldFocused(InfoField f, bool in)
{
    const int index = static_cast<int>(f);
    setInfoLabelBold(this, index, in);
    if (in) {
        showHelp(fieldHelp(f));
        return;
    }
    if (auto* box = qobject_cast<InfoListBox*>(fieldWidget(f)))
        box->rematch();
    CountEdit(infoFieldName(f));
}

void frmClientInfo::complain(InfoField f, const QString& message)
{
    prompter().Beep();
    prompter().Message(message, Prompter::Buttons::Ok, Prompter::Icon::Critical);
    QWidget* field = fieldWidget(f);
    if (field->isEnabled())
        field->setFocus(Qt::OtherFocusReason);
}

bool frmClientInfo::checkField(InfoField f)
{
    Verdict v;
    switch (f) {
    case InfoField::Name:
        v = CheckName(txtName->text());
        break;
    case InfoField::Age:
        v = CheckAge(txtAge->text());
        // A refused age is emptied, an accepted one shown as it is kept.
        txtAge->setText(v.value);
        break;
    case InfoField::DateOfBirth:
        v = CheckDateOfBirth(screenValues().dateOfBirth);
        if (v.ok())
            showDateOfBirth(v.value);
        break;
    default: {
        auto* box = static_cast<InfoListBox*>(fieldWidget(f));
        v = CheckList(box->list(), box->chosen());
        break;
    }
    }
    if (!v.ok())
        complain(f, v.message);
    return v.ok();
}

void frmClientInfo::enterField(InfoField f)
{
    if (!checkField(f))
        return;
    // Counted here, before the focus moves, so that the limit message never interrupts a
    // change of focus; leaving the field by other ways counts on focus out.
    CountEdit(infoFieldName(f));
    if (!fieldWidget(f)->isEnabled()) {
        menuChoices()->button(0)->setFocus(Qt::TabFocusReason);
        return;
    }
    const int next = static_cast<int>(f) + 1;
    if (next < kInfoFieldCount)
        fieldWidget(static_cast<InfoField>(next))->setFocus(Qt::TabFocusReason);
    else
        menuChoices()->button(0)->setFocus(Qt::TabFocusReason);
}

void frmClientInfo::Save()
{
    Session& s = session();
    const InfoValues values = screenValues();
    // A locked screen that shows the stored record has nothing to check: nothing is stored.
    const bool locked = !txtName->isEnabled();
    if (!(locked && s.EditMode && !InfoChanged(s.current(), values))) {
        for (int i = 0; i < kInfoFieldCount; ++i) {
            if (!checkField(static_cast<InfoField>(i)))
                return;
        }
    }
    s.ScreenAccepted = true;

    SaveContext c;
    c.editMode = s.EditMode;
    c.scanEditMode = s.ScanEditMode;
    c.numClients = s.NumClients;
    c.loadedEditCount = acceptedEditCount_;
    c.changed = !s.EditMode || InfoChanged(s.current(), screenValues());
    switch (DecideSave(c)) {
    case SaveAction::CloseUnchanged:
    case SaveAction::CloseAtLimit:
        accept();
        return;
    case SaveAction::RefuseDiskFull:
        s.ScreenAccepted = false;
        prompter().Message(QStringLiteral("This data disk already holds %1 clients, as many as it "
                                          "can.\nUse another data disk for this client.")
                               .arg(kMaxClients),
                           Prompter::Buttons::Ok, Prompter::Icon::Critical);
        return;
    case SaveAction::StoreNew: {
        const int before = s.CurClient;
        InitNewClient(s, today_());
        if (Status st = RecordToDB(); !st) {
            s.current().clear();
            s.CurClient = before;
            s.ScreenAccepted = false;
            prompter().Message(st.error().message, Prompter::Buttons::Ok, Prompter::Icon::Critical);
            return;
        }
        accept();
        return;
    }
    case SaveAction::StoreAndWrite:
        break;
    }

    const ClientRecord before = s.current();
    Status stored = RecordToDB();
    if (!stored) {
        s.ScreenAccepted = false;
        prompter().Message(stored.error().message, Prompter::Buttons::Ok, Prompter::Icon::Critical);
        return;
    }
    if (!SaveCurrentClient(s, prompter())) {
        // The operator keeps the screen with all that was typed; memory matches the disk again.
        s.current() = before;
        s.ScreenAccepted = false;
        return;
    }
    accept();
}

void frmClientInfo::CancelInput()
{
    session().ScreenAccepted = false;
    reject();
}

} // namespace kvx
