#include "intake/IntakeScreens.h"
#include "intake/frmClientInfo.h"
#include "intake/frmCourtHistory.h"

#include "common/Accessibility.h"
#include "common/ModalDriver.h"
#include "common/ScreenKeys.h"
#include "common/ScriptedPrompter.h"
#include "common/TestSupport.h"
#include "store/DataFile.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

const QString kCountMessage =
    QStringLiteral("Type a number from 0 to 99 or N for Not Available. Press Enter to continue.");

// Record order: name, age, date of birth, sex, race, marital, education, test date, the
// court items, the answers, the edit count, the name-deleted flag.
ClientRecord sampleClient(const QByteArray& name, char editCount = '0')
{
    return ClientRecord::fromBytes(name.leftJustified(25) + "34 05/17/19901232" +
                                   QByteArray(10, ' ') + "19" + QByteArray("1 ").repeated(14) +
                                   QByteArray(155, ' ') + editCount + '0');
}

// A data disk (which can be write-protected) loaded into a session, and the screens' prompter.
struct Rig
{
    // editing: the client being edited, or 0.
    explicit Rig(const QList<ClientRecord>& records, int editing = 0)
    {
        SetDataPath(s, dir.path());
        QByteArray bytes;
        for (const ClientRecord& r : records)
            bytes += r.bytes();
        ok = dir.valid() && writeBytes(s.DataFile, bytes) && ReadAllClients(s).ok();
        s.EditMode = editing > 0;
        s.CurClient = editing;
    }
    QByteArray bytes() const { return readBytes(s.DataFile); }

    ReadOnlyFolder dir;
    Session s;
    ScriptedPrompter p;
    bool ok = false;
};

// Client information accepted for a client who is not on the disk yet.
void startNewClient(Rig& r)
{
    InitNewClient(r.s, QDate(2024, 3, 5));
    r.s.current().setRaw(Field::Name, "New Person");
}

// "Information OK" (0) or "Cancel Input" (1) chosen with the keyboard.
void choose(QWidget* screen, int index)
{
    focusOn(child<QPushButton>(screen, index == 0 ? "cmdMenuChoice_0" : "cmdMenuChoice_1"));
    press(Qt::Key_Return);
}

bool fieldsLocked(const frmClientInfo& f)
{
    const QList<QWidget*> fields = {f.txtName, f.txtAge,       f.mebDateOfBirth, f.cmbGender,
                                    f.cmbRace, f.cmbEducation, f.cmbMarital};
    return std::none_of(fields.begin(), fields.end(), [](QWidget* w) { return w->isEnabled(); });
}

} // namespace

class IntakeScreensTest : public QObject
{
    Q_OBJECT

private slots:
    void aNewClientIsTypedInAndKeptInMemory()
    {
        Rig r({sampleClient("Ann"), sampleClient("Bob")});
        const QByteArray before = r.bytes();
        frmClientInfo f(r.s, r.p);
        f.setClock([] { return QDate(2024, 3, 5); });
        QVERIFY(r.ok && openScreen(f));
        // Enter refuses, with a beep, a blank name, age 10 (emptying it) and 02/30/1970.
        const auto refused = [&r](QWidget* field, const char* typed, const char* message) {
            type(QString::fromLatin1(typed), true);
            QCOMPARE(focused(), field);
            QCOMPARE(r.p.lastText(), QString::fromLatin1(message));
            QCOMPARE(r.p.shown.last().icon, Prompter::Icon::Critical);
            QCOMPARE(r.p.shown.last().title, QString()); // the application's title
        };
        refused(f.txtName, "", "Enter client's name. Press Enter to continue.");
        // The name refuses, typed or pasted, what the data disk cannot hold.
        type(QStringLiteral("Jo"));
        for (const char16_t c : {u'\u0141', u'\u00E9'})
            QTest::sendKeyEvent(QTest::Click, f.txtName, Qt::Key_unknown, QString(QChar(c)),
                                Qt::NoModifier);
        f.txtName->insert(QStringLiteral("\u4E2D"));
        QCOMPARE(f.txtName->text(), QStringLiteral("Jo\u00E9"));
        QCOMPARE(r.p.beeps, 3); // the blank name, the typed and the inserted character
        type(QStringLiteral(" Roe"), true);
        refused(f.txtAge, "10", "Enter age of client in number of years. Press Enter to continue.");
        QCOMPARE(f.txtAge->text(), QString());
        type(QStringLiteral("n"), true);
        // The date takes the digits 0 to 9 and N only, not the digits of other scripts.
        QTest::sendKeyEvent(QTest::Click, f.mebDateOfBirth, Qt::Key_unknown,
                            QStringLiteral("\u0663"), Qt::NoModifier);
        type(QStringLiteral("AB"));
        refused(f.mebDateOfBirth, "02301970",
                "Enter date of birth month, day, year as mm/dd/yyyy or N for Not Available. Press "
                "Enter to continue.");
        f.mebDateOfBirth->clear();
        type(QStringLiteral("N"), true);

        // Sex: "2" and "N" choose, "F" empties the box with a beep and Enter refuses it.
        type(QStringLiteral("2"));
        QCOMPARE(f.cmbGender->currentText(), QStringLiteral("Female"));
        type(QStringLiteral("N"));
        QCOMPARE(f.cmbGender->currentText(), QStringLiteral("N/A"));
        type(QStringLiteral("F"), true);
        QCOMPARE(f.cmbGender->currentText(), QString());
        QCOMPARE(r.p.beeps, 10); // the key, then the message
        QCOMPARE(r.p.lastText(), QStringLiteral("Press down arrow to select sex or N for not "
                                                "available. Press Enter to continue."));
        QCOMPARE(focused(), f.cmbGender);
        type(QStringLiteral("2"), true);

        // Nothing in the ethnicity list matches "N": it drops down for the arrow keys.
        type(QStringLiteral("N"));
        QCOMPARE(f.cmbRace->chosen(), -1);
        QTRY_VERIFY(f.cmbRace->view()->isVisible());
        f.cmbRace->hidePopup();
        for (const char* entry : {"3", "8", "1"})
            type(QString::fromLatin1(entry), true);
        QCOMPARE(r.p.shown.size(), 4);
        press(Qt::Key_Return);
        QVERIFY(r.s.ScreenAccepted);
        QCOMPARE(r.s.CurClient, 3);
        QCOMPARE(r.s.client(3).bytes(),
                 QByteArray("Jo\xE9 Roe").leftJustified(25) + "N  N" + QByteArray(9, ' ') +
                     "231803/05/2024" + QByteArray(30, ' ') + QByteArray(kItemCount, '0') + "00");
        QCOMPARE(r.bytes(), before);
    }

    void theThirdChangeLocksTheInformation()
    {
        Rig r({sampleClient("Ann"), sampleClient("Bob")}, 2);
        r.s.ScreenAccepted = true;
        const QByteArray before = r.bytes();
        { // Cancel after a change stores nothing.
            frmClientInfo f(r.s, r.p);
            QVERIFY(r.ok && openScreen(f));
            focusOn(f.txtName);
            type(QStringLiteral("Someone Else"), true);
            choose(&f, 1);
            QVERIFY(!r.s.ScreenAccepted);
            QCOMPARE(r.bytes(), before);
            QCOMPARE(r.s.current(), sampleClient("Bob"));
        }
        frmClientInfo f(r.s, r.p);
        QVERIFY(openScreen(f));
        focusOn(f.txtName); // unchanged fields count nothing
        for (int i = 0; i < 7; ++i)
            press(Qt::Key_Tab);
        QCOMPARE(focused(), child<QPushButton>(&f, "cmdMenuChoice_0"));
        QCOMPARE(r.s.EditCount, 0);
        // Enter, Tab, Enter: the third change brings the message and the lock.
        const std::tuple<QWidget*, const char*, Qt::Key> changes[] = {
            {f.txtAge, "45", Qt::Key_Return},
            {f.cmbGender, "2", Qt::Key_Tab},
            {f.cmbEducation, "3", Qt::Key_Return}};
        int count = 0;
        for (const auto& [field, typed, key] : changes) {
            focusOn(field);
            type(QString::fromLatin1(typed));
            press(key);
            QCOMPARE(r.s.EditCount, ++count);
        }
        QCOMPARE(r.p.shown.size(), 1);
        QCOMPARE(r.p.shown[0].text, QStringLiteral("This client's information has been edited\n"
                                                   "3 times already. Further editing of this\n"
                                                   "information is no longer permitted."));
        QCOMPARE(r.p.shown[0].title, QStringLiteral("Edit Limit Reached"));
        QCOMPARE(r.p.shown[0].icon, Prompter::Icon::Information);
        QVERIFY(fieldsLocked(f));
        QCOMPARE(f.helpLine()->text(), QStringLiteral("No further editing permitted. Press "
                                                      "Enter to save and continue."));
        press(Qt::Key_Return);
        QVERIFY(r.s.ScreenAccepted);
        ClientRecord bob = sampleClient("Bob", '3');
        bob.setRaw(Field::Age, "45");
        bob.setRaw(Field::Gender, "2");
        bob.setRaw(Field::Education, "3");
        const QByteArray stored = sampleClient("Ann").bytes() + bob.bytes();
        QCOMPARE(r.bytes(), stored);

        // Opened again, the client can only be looked at.
        r.p.shown.clear();
        r.s.ScreenAccepted = false;
        frmClientInfo again(r.s, r.p);
        QVERIFY(openScreen(again));
        QCOMPARE(r.p.shown.size(), 1);
        QCOMPARE(r.p.shown[0].text,
                 QStringLiteral("This client's information has been changed 3 times.\n"
                                "No further editing is permitted. Press Enter to continue."));
        QCOMPARE(r.p.shown[0].title, QStringLiteral("Edit Limit Reached"));
        QVERIFY(fieldsLocked(again));
        press(Qt::Key_Return);
        QVERIFY(r.s.ScreenAccepted);
        QCOMPARE(r.bytes(), stored);
    }

    void pastedControlsAreRefusedWholeWithOneBeep()
    {
        Rig r({sampleClient("Ann")});
        startNewClient(r);
        frmClientInfo info(r.s, r.p);
        frmCourtHistory court(r.s, r.p);
        // Tab, line feed, DEL, an undefined byte of the code page, and one it has no byte for.
        const QString pastes[] = {QStringLiteral("Ann\tLee\nSecond"), QStringLiteral("A\u007F"),
                                  QStringLiteral("B\u0081"), QStringLiteral("\u0394")};
        const std::pair<QDialog*, QLineEdit*> fields[] = {{&info, info.txtName},
                                                          {&info, info.txtAge},
                                                          {&court, court.txtFelony},
                                                          {&court, court.txtYears}};
        for (const auto& [screen, field] : fields) {
            QVERIFY(r.ok && openScreen(*screen));
            const QString kept = field == info.txtName ? QStringLiteral("Jo") : QStringLiteral("1");
            field->setText(kept);
            focusOn(field);
            field->end(false);
            for (const QString& paste : pastes) {
                const int beeps = r.p.beeps;
                QGuiApplication::clipboard()->setText(paste);
                QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
                QCOMPARE(field->text(), kept);
                QCOMPARE(r.p.beeps, beeps + 1);
            }
            // Typed control keys insert nothing and leave the field's keys working.
            QTest::keyClick(field, Qt::Key_I, Qt::ControlModifier);
            QCOMPARE(field->text(), kept);
            QTest::keyClick(field, Qt::Key_Backspace);
            QCOMPARE(field->text(), kept.chopped(1));
        }
        court.hide();
        QVERIFY(openScreen(info));
        // A paste the disk can hold goes in.
        info.txtName->setFocus(Qt::OtherFocusReason);
        QGuiApplication::clipboard()->setText(QStringLiteral(" L\u00E9e"));
        QTest::keyClick(info.txtName, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(info.txtName->text(), QStringLiteral("J L\u00E9e"));
        QVERIFY(r.p.shown.isEmpty());
    }

    void aNameWithControlsFromAnOldDiskIsShownWithBlanksAndKept()
    {
        const QByteArray odd("Ann\tLee\nSecond");
        Rig r({sampleClient("Ann"), sampleClient(odd)}, 2);
        QCOMPARE(ClientListLine(r.s, 2), QStringLiteral("2-Ann Lee Second") + QString(11, u' '));
        const QByteArray before = r.bytes();
        {
            frmClientInfo f(r.s, r.p);
            QVERIFY(r.ok && openScreen(f));
            QCOMPARE(f.txtName->text(), QStringLiteral("Ann Lee Second"));
            QCOMPARE(r.p.beeps, 0);
            choose(&f, 0); // nothing changed: nothing counted, nothing written
            QVERIFY(r.s.ScreenAccepted);
            QCOMPARE(r.s.EditCount, 0);
            QCOMPARE(r.bytes(), before);
        }
        { // Another field changed: the name stays as stored.
            frmClientInfo f(r.s, r.p);
            QVERIFY(openScreen(f));
            focusOn(f.txtAge);
            type(QStringLiteral("41"), true);
            choose(&f, 0);
            QCOMPARE(r.s.current().raw(Field::Name), odd.leftJustified(25));
            QCOMPARE(r.s.current().text(Field::Age).trimmed(), QStringLiteral("41"));
            QCOMPARE(r.s.EditCount, 1);
        }
        { // Edited, the name is stored as typed.
            frmClientInfo f(r.s, r.p);
            QVERIFY(openScreen(f));
            focusOn(f.txtName);
            type(QStringLiteral("Ann Lee"), true);
            choose(&f, 0);
            QCOMPARE(r.s.current().raw(Field::Name), QByteArray("Ann Lee").leftJustified(25));
        }
    }

    void aChangeThroughTheDropDownCountsOnce()
    {
        Rig r({sampleClient("Ann")}, 1);
        frmClientInfo f(r.s, r.p);
        QVERIFY(r.ok && openScreen(f));
        focusOn(f.cmbRace);
        type(QStringLiteral("N")); // no entry starts with N: the list drops down
        QTRY_VERIFY(f.cmbRace->view()->isVisible());
        QWidget* popup = f.cmbRace->view();
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Return);
        QTRY_VERIFY(!f.cmbRace->view()->isVisible());
        QCoreApplication::processEvents();
        QCOMPARE(focused(), f.cmbRace);
        press(Qt::Key_Return);
        QCOMPARE(f.cmbRace->chosen(), 1);
        QCOMPARE(focused(), f.cmbEducation);
        choose(&f, 0);
        QVERIFY(r.s.ScreenAccepted);
        QCOMPARE(r.s.EditCount, 1);
        QCOMPARE(r.s.current().code(Field::Race), 1);
    }

    void theLockNeverStrandsAFieldThatFailsItsCheck()
    {
        Rig r({sampleClient("Ann"), sampleClient("Bob")}, 2);
        frmClientInfo f(r.s, r.p);
        QVERIFY(r.ok && openScreen(f));
        // Name cleared (refused, stays), age cleared and left with the mouse, name retyped.
        focusOn(f.txtName);
        f.txtName->clear();
        focusOn(f.txtAge); // the empty name counts once on leaving
        f.txtAge->clear();
        focusOn(f.txtName);                   // the empty age: the second change
        type(QStringLiteral("Robert"), true); // the third change locks
        QCOMPARE(r.s.EditCount, 3);
        QVERIFY(fieldsLocked(f));
        // The age that failed its check is back to the stored one.
        QCOMPARE(f.txtAge->text(), QStringLiteral("34"));
        QVERIFY(!f.lblInfo[0]->font().bold() && !f.lblInfo[1]->font().bold());
        const int messages = static_cast<int>(r.p.shown.size());
        choose(&f, 0);
        QCOMPARE(r.p.shown.size(), messages); // no complaint about a field that cannot change
        QVERIFY(r.s.ScreenAccepted);
        QCOMPARE(r.s.current().text(Field::Name).trimmed(), QStringLiteral("Robert"));
        QCOMPARE(r.s.current().text(Field::Age).trimmed(), QStringLiteral("34"));
        QCOMPARE(r.s.current().code(Field::EditCount), 3);
    }

    void aDateOfBirthStoredAsNShowsAsN()
    {
        ClientRecord c = sampleClient("Ann");
        c.setRaw(Field::DateOfBirth, "N");
        Rig r({c}, 1);
        frmClientInfo f(r.s, r.p);
        QVERIFY(r.ok && openScreen(f));
        QCOMPARE(f.mebDateOfBirth->displayText(), QStringLiteral("N"));
        choose(&f, 0);
        QVERIFY(r.s.ScreenAccepted);
        QCOMPARE(r.s.EditCount, 0);
    }

    void boldLabelsMoveNoFieldAndEveryControlIsNamed()
    {
        Rig r({sampleClient("Ann")});
        startNewClient(r);
        frmClientInfo info(r.s, r.p);
        frmCourtHistory court(r.s, r.p);
        for (KvxScreen* screen : std::initializer_list<KvxScreen*>{&info, &court}) {
            QVERIFY(openScreen(*screen));
            QCOMPARE(test::unnamedControls(screen), QStringList());
            QList<QLineEdit*> edits;
            QList<QWidget*> fields;
            for (QWidget* w : screen->findChildren<QWidget*>()) {
                if (w->objectName().startsWith(u"txt") || w->objectName().startsWith(u"meb") ||
                    w->objectName().startsWith(u"cmb"))
                    fields << w;
            }
            QVERIFY(fields.size() >= 7);
            QList<QRect> before;
            for (QWidget* w : fields)
                before << w->geometry();
            const QSize size = screen->size();
            for (QWidget* w : fields) {
                focusOn(w);
                QList<QRect> now;
                for (QWidget* x : fields)
                    now << x->geometry();
                QCOMPARE(now, before);
                QCOMPARE(screen->size(), size);
            }
        }
        QCOMPARE(info.txtName->accessibleName(), QStringLiteral("Client Name"));
        QCOMPARE(info.cmbRace->accessibleName(), QStringLiteral("Ethnicity (Race)"));
    }

    void courtItemsAreCheckedOnEnterAndItemEightFirstOnOk()
    {
        Rig r({sampleClient("Ann"), sampleClient("Bob")});
        const QByteArray before = r.bytes();
        startNewClient(r);
        frmCourtHistory f(r.s, r.p);
        QVERIFY(r.ok && openScreen(f));
        QCOMPARE(focused(), f.txtAgeAtFirstConviction);
        const QString ageMessage = QStringLiteral(
            "Enter age in years from 5 to 99 or N for Not Available. Press Enter to continue.");
        const std::tuple<int, const char*, const QString&> refused[] = {
            {1, "4", ageMessage}, {2, "00", kCountMessage}, {15, "00", kCountMessage}};
        int messages = 0;
        for (const auto& [item, typed, message] : refused) {
            focusOn(f.box(item));
            QVERIFY(f.lblInfo[static_cast<size_t>(item - 1)]->font().bold());
            QCOMPARE(f.helpLine()->text(), QStringLiteral("Type a value %1 to 99 or N for Not "
                                                          "Available, then press Enter.")
                                               .arg(item == 1 ? 5 : 0));
            type(QString::fromLatin1(typed), true);
            QCOMPARE(r.p.shown.size(), ++messages);
            QCOMPARE(r.p.shown.last().text, message);
            QCOMPARE(r.p.shown.last().title, QStringLiteral("Data Entry Error"));
            QCOMPARE(r.p.shown.last().icon, Prompter::Icon::Critical);
            QCOMPARE(r.p.beeps, messages);
            QCOMPARE(focused(), f.box(item));
        }
        focusOn(f.box(1));
        type(QStringLiteral("n"), true);
        QCOMPARE(f.box(1)->text(), QStringLiteral("N"));
        QCOMPARE(focused(), f.box(2));

        for (int item = 1; item <= 15; ++item)
            f.box(item)->setText(item == 1 ? QStringLiteral("18") : QStringLiteral("2"));
        f.txtFelony->clear();
        f.txtArrests->clear();
        // Each blank box in turn takes the focus and the message.
        for (QLineEdit* box : {f.txtArrests, f.txtFelony}) {
            choose(&f, 0);
            QCOMPARE(r.p.shown.size(), ++messages);
            QCOMPARE(r.p.lastText(), kCountMessage);
            QCOMPARE(focused(), box);
            type(box == f.txtFelony ? QStringLiteral("n") : QStringLiteral("654"));
        }
        // The third character beeps, unless the whole value is selected.
        QCOMPARE(r.p.beeps, 6);
        QCOMPARE(f.txtArrests->text(), QStringLiteral("65"));
        focusOn(f.txtArrests);
        f.txtArrests->setSelection(0, 1);
        type(QStringLiteral("7"));
        QCOMPARE(r.p.beeps, 7);
        f.txtArrests->selectAll();
        type(QStringLiteral("6"));
        QCOMPARE(r.p.beeps, 7);
        choose(&f, 0);
        QCOMPARE(r.p.shown.size(), 5);
        QVERIFY(r.s.ScreenAccepted);
        const ClientRecord& c = r.s.client(3);
        QCOMPARE(c.raw(Field::AgeAtFirstConviction) + c.raw(Field::Felony) + c.raw(Field::Arrests) +
                     c.raw(Field::Assaults),
                 QByteArray("18N 6 2 "));
        QCOMPARE(r.bytes(), before); // a new client waits in memory for its answers
    }

    void cancelBlanksANewClientAltShiftF10LeavesItAsItWas()
    {
        Rig r({sampleClient("Ann"), sampleClient("Bob")});
        const QByteArray before = r.bytes();
        for (bool cancel : {true, false}) {
            startNewClient(r);
            const ClientRecord entered = r.s.current();
            r.s.ScreenAccepted = true;
            frmCourtHistory f(r.s, r.p);
            QVERIFY(r.ok && openScreen(f));
            QCOMPARE(f.lblClientName->text(), QStringLiteral("New Person") + QString(15, u' '));
            type(QStringLiteral("20"), true);
            type(QStringLiteral("00"));
            if (cancel)
                choose(&f, 1);
            else
                press(Qt::Key_F10, Qt::AltModifier | Qt::ShiftModifier);
            QVERIFY(!f.isVisible());
            QVERIFY(r.p.shown.isEmpty());
            QCOMPARE(r.s.ScreenAccepted, !cancel);
            QCOMPARE(r.s.CurClient, cancel ? 1 : 3);
            QCOMPARE(r.s.client(3), cancel ? ClientRecord() : entered);
            QCOMPARE(r.s.client(1), sampleClient("Ann"));
            QCOMPARE(r.bytes(), before);
        }
    }

    // Both screens run modally for an existing client, as "Edit Current Client" runs them, each
    // one first refused by a write-protected disk.
    void theEditChainWritesTheEditedClientThroughADiskError()
    {
        Rig r({sampleClient("Ann"), sampleClient("Bob")}, 2);
        QVERIFY(r.ok && r.dir.makeReadOnly());
        const auto edit = [&r](QDialog* screen, const char* box, const char* value) {
            QCoreApplication::processEvents(); // the screen's start-up
            const QByteArray before = r.bytes();
            const ClientRecord was = r.s.current();
            r.s.ScreenAccepted = false;
            focusOn(child<QLineEdit>(screen, box));
            type(QString::fromLatin1(value), true);
            r.p.answers = {Prompter::Answer::Retry, Prompter::Answer::Cancel};
            choose(screen, 0);
            QCOMPARE(r.p.shown.size(), 2);
            for (const auto& m : r.p.shown) {
                QCOMPARE(m.buttons, Prompter::Buttons::RetryCancel);
                QCOMPARE(m.icon, Prompter::Icon::Critical);
                QCOMPARE(m.title, QStringLiteral("Data Disk Error"));
                const QString reason = m.text.section(u'\n', 1, 1);
                QVERIFY(!reason.isEmpty());
                QCOMPARE(m.text, QStringLiteral("The client could not be saved on the data disk.\n"
                                                "%1\nCheck that the data disk is in its drive and "
                                                "can be written to, then choose Retry.")
                                     .arg(reason));
            }
            // Given up: the screen stays with what was typed, and memory matches the disk.
            QVERIFY(screen->isVisible());
            QVERIFY(!r.s.ScreenAccepted);
            QCOMPARE(child<QLineEdit>(screen, box)->text(), QString::fromLatin1(value));
            QCOMPARE(r.s.current(), was);
            QCOMPARE(r.bytes(), before);
            // The disk seen to while the message is up: Retry writes it.
            r.p.onMessage = [&r](const ScriptedPrompter::Shown&) { r.dir.makeWritable(); };
            r.p.answers = {Prompter::Answer::Retry, Prompter::Answer::Cancel};
            press(Qt::Key_Return);
            QCOMPARE(r.p.shown.size(), 3);
            QVERIFY(r.s.ScreenAccepted);
            r.p.shown.clear();
            r.p.onMessage = nullptr;
            QVERIFY(r.dir.makeReadOnly());
        };
        ModalDriver driver;
        driver.onModal<frmClientInfo>([&](frmClientInfo* f) { edit(f, "txtAge", "52"); });
        ShowClientInformation(r.s, r.p, nullptr);
        driver.onModal<frmCourtHistory>([&](frmCourtHistory* f) { edit(f, "txtYears", "3"); });
        ShowCourtHistory(r.s, r.p, nullptr);
        QVERIFY2(driver.failures().isEmpty(), qPrintable(driver.failures().join(u'\n')));
        ClientRecord expected = sampleClient("Bob", '1');
        expected.setRaw(Field::Age, "52");
        expected.setRaw(Field::Years, "3");
        QCOMPARE(r.bytes(), sampleClient("Ann").bytes() + expected.bytes());
    }
};

QTEST_MAIN(IntakeScreensTest)
#include "IntakeScreensTest.moc"
