#include "intake/frmClientInfo.h"

#include "common/ModalDriver.h"
#include "common/ScriptedPrompter.h"
#include "intake/IntakeFixture.h"

#include <QAbstractItemView>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

using Shown = ScriptedPrompter::Shown;

const QString kEditedThreeTimes = QStringLiteral("This client's information has been edited\n"
                                                 "3 times already. Further editing of this\n"
                                                 "information is no longer permitted.");

QPushButton* okButton(QWidget* screen)
{
    return child<QPushButton>(screen, "cmdMenuChoice_0");
}

bool fieldsLocked(const frmClientInfo& f)
{
    for (QWidget* w :
         std::initializer_list<QWidget*>{f.txtName, f.txtAge, f.mebDateOfBirth, f.cmbGender,
                                         f.cmbRace, f.cmbEducation, f.cmbMarital}) {
        if (w->isEnabled())
            return false;
    }
    return true;
}

} // namespace

class ClientInfoTest : public QObject
{
    Q_OBJECT

private slots:
    void fieldsAreCheckedOnEnter_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("next"); // empty: refused
        const QString age = QStringLiteral("txtAge"), dob = QStringLiteral("mebDateOfBirth");
        QTest::newRow("age 10") << age << "10" << QString();
        QTest::newRow("age 11") << age << "11" << dob;
        QTest::newRow("age 99") << age << "99" << dob;
        QTest::newRow("age n") << age << "n" << dob;
        QTest::newRow("02/30/1970") << dob << "02301970" << QString();
        QTest::newRow("04/31/1980") << dob << "04311980" << QString();
        QTest::newRow("12/31/1999") << dob << "12311999"
                                    << "cmbGender";
        QTest::newRow("N") << dob << "N"
                           << "cmbGender";
        QTest::newRow("letters other than N") << dob << "AB" << QString();
    }

    void fieldsAreCheckedOnEnter()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, next);
        Disk disk({});
        QVERIFY(disk.ok());
        ScriptedPrompter p;
        frmClientInfo f(disk.s, p);
        QVERIFY(openScreen(f));
        QCOMPARE(focused(), f.txtName);
        auto* edit = f.findChild<QLineEdit*>(field);
        focusOn(edit);
        type(typed);
        press(Qt::Key_Return);
        if (!next.isEmpty()) {
            QVERIFY(p.shown.isEmpty());
            QCOMPARE(focused()->objectName(), next);
            if (edit == f.txtAge)
                QCOMPARE(f.txtAge->text(), typed.toUpper());
            return;
        }
        QCOMPARE(focused(), edit);
        QCOMPARE(p.shown.last().icon, Prompter::Icon::Critical);
        QCOMPARE(p.shown.last().title, QString()); // the application's title
        if (edit == f.txtAge) {
            QCOMPARE(p.lastText(), QStringLiteral("Enter age of client in number of years. Press "
                                                  "Enter to continue."));
            QCOMPARE(f.txtAge->text(), QString());
        } else {
            QCOMPARE(p.lastText(), QStringLiteral("Enter date of birth month, day, year as "
                                                  "mm/dd/yyyy or N for Not Available. Press "
                                                  "Enter to continue."));
        }
        QCOMPARE(p.beeps, p.shown.size() + (typed == u"AB" ? 2 : 0));
    }

    void theNameRefusesWhatTheDataDiskCannotHold()
    {
        Disk disk({});
        ScriptedPrompter p;
        frmClientInfo f(disk.s, p);
        QVERIFY(openScreen(f));
        type(QStringLiteral("Jo"));
        QTest::sendKeyEvent(QTest::Click, f.txtName, Qt::Key_unknown, QString(QChar(0x0141)),
                            Qt::NoModifier);
        QCOMPARE(p.beeps, 1);
        QCOMPARE(f.txtName->text(), QStringLiteral("Jo"));
        QTest::sendKeyEvent(QTest::Click, f.txtName, Qt::Key_unknown, QString(QChar(0x00E9)),
                            Qt::NoModifier);
        QCOMPARE(p.beeps, 1);
        QCOMPARE(f.txtName->text(), QString(QStringLiteral("Jo") + QChar(0x00E9)));
        // Pasted text is held to the same rule.
        f.txtName->selectAll();
        f.txtName->insert(QString(QChar(0x4E2D)));
        QCOMPARE(f.txtName->text(), QString(QStringLiteral("Jo") + QChar(0x00E9)));
    }

    void listsChooseByTyping()
    {
        Disk disk({});
        ScriptedPrompter p;
        frmClientInfo f(disk.s, p);
        QVERIFY(openScreen(f));
        focusOn(f.cmbGender);
        type(QStringLiteral("2"));
        QCOMPARE(f.cmbGender->chosen(), 2);
        QCOMPARE(f.cmbGender->currentText(), QStringLiteral("Female"));
        type(QStringLiteral("N"));
        QCOMPARE(f.cmbGender->chosen(), 0);
        QCOMPARE(f.cmbGender->currentText(), QStringLiteral("N/A"));
        QCOMPARE(p.beeps, 0);
        type(QStringLiteral("F"));
        QCOMPARE(p.beeps, 1);
        QCOMPARE(f.cmbGender->currentText(), QString());
        QCOMPARE(f.cmbGender->chosen(), -1);
        press(Qt::Key_Return);
        QCOMPARE(p.lastText(), QStringLiteral("Press down arrow to select sex or N for not "
                                              "available. Press Enter to continue."));
        QCOMPARE(focused(), f.cmbGender);

        // Nothing in the ethnicity list matches "N": it drops down for the arrow keys.
        focusOn(f.cmbRace);
        QVERIFY(!f.cmbRace->view()->isVisible());
        type(QStringLiteral("N"));
        QCOMPARE(f.cmbRace->currentText(), QStringLiteral("N"));
        QCOMPARE(f.cmbRace->chosen(), -1);
        QTRY_VERIFY(f.cmbRace->view()->isVisible());
        f.cmbRace->hidePopup();
        type(QStringLiteral("0"));
        QCOMPARE(f.cmbRace->currentText(), QStringLiteral("N/A"));
    }

    void newClientIsInitialisedButNotWritten()
    {
        Disk disk({sampleClient("Ann"), sampleClient("Bob")});
        QVERIFY(disk.ok());
        const QByteArray before = disk.bytes();
        ScriptedPrompter p;
        frmClientInfo f(disk.s, p);
        f.setClock([] { return QDate(2024, 3, 5); });
        QVERIFY(openScreen(f));
        for (const char* entry : {"Jane Roe", "n", "12311999", "2", "3", "8", "1"}) {
            type(QString::fromLatin1(entry));
            press(Qt::Key_Return);
        }
        QVERIFY2(p.shown.isEmpty(), qPrintable(p.lastText()));
        QCOMPARE(focused(), okButton(&f));
        press(Qt::Key_Return);

        QVERIFY(disk.s.ScreenAccepted);
        QVERIFY(!f.isVisible());
        QCOMPARE(disk.s.CurClient, 3);
        QCOMPARE(disk.s.NumClients, 2);
        const ClientRecord& r = disk.s.client(3);
        QCOMPARE(r.raw(Field::Name), QByteArray("Jane Roe" + QByteArray(17, ' ')));
        QCOMPARE(r.raw(Field::Age), QByteArray("N  "));
        QCOMPARE(r.raw(Field::DateOfBirth), QByteArray("12/31/1999"));
        QCOMPARE(r.raw(Field::Gender) + r.raw(Field::Race) + r.raw(Field::Education) +
                     r.raw(Field::Marital),
                 QByteArray("2381"));
        QCOMPARE(r.raw(Field::TestDate), QByteArray("03/05/2024"));
        QCOMPARE(r.raw(Field::Answers), QByteArray(155, '0'));
        QCOMPARE(r.raw(Field::EditCount) + r.raw(Field::NameDeleted), QByteArray("00"));
        QCOMPARE(disk.bytes(), before);
    }

    void theThirdChangeLocksTheInformation()
    {
        Disk disk({sampleClient("Ann"), sampleClient("Bob")});
        QVERIFY(disk.ok());
        disk.s.EditMode = true;
        disk.s.CurClient = 2;
        ScriptedPrompter p;
        {
            frmClientInfo f(disk.s, p);
            QVERIFY(openScreen(f));
            QCOMPARE(focused(), okButton(&f));
            QVERIFY(p.shown.isEmpty());

            focusOn(f.txtAge);
            type(QStringLiteral("45"));
            press(Qt::Key_Return);
            QCOMPARE(disk.s.EditCount, 1);
            focusOn(f.cmbGender);
            type(QStringLiteral("2"));
            press(Qt::Key_Tab);
            QCOMPARE(disk.s.EditCount, 2);
            QVERIFY(p.shown.isEmpty());
            focusOn(f.cmbEducation);
            type(QStringLiteral("3"));
            press(Qt::Key_Return);
            QCOMPARE(disk.s.EditCount, 3);
            QCOMPARE(p.shown.size(), 1);
            QCOMPARE(p.shown[0].text, kEditedThreeTimes);
            QCOMPARE(p.shown[0].title, QStringLiteral("Edit Limit Reached"));
            QCOMPARE(p.shown[0].icon, Prompter::Icon::Information);
            QVERIFY(fieldsLocked(f));
            QCOMPARE(focused(), okButton(&f));
            QCOMPARE(f.helpLine()->text(), QStringLiteral("No further editing permitted. Press "
                                                          "Enter to save and continue."));
            press(Qt::Key_Return);
            QVERIFY(disk.s.ScreenAccepted);
        }
        const QByteArray stored = disk.bytes().mid(239, 239);
        const ClientRecord r = ClientRecord::fromBytes(stored);
        QCOMPARE(r.raw(Field::Age), QByteArray("45 "));
        QCOMPARE(r.raw(Field::Gender), QByteArray("2"));
        QCOMPARE(r.raw(Field::Education), QByteArray("3"));
        QCOMPARE(r.raw(Field::EditCount), QByteArray("3"));
        QCOMPARE(disk.bytes().left(239), sampleClient("Ann").bytes());

        // Opened again, the client can only be looked at.
        const QByteArray before = disk.bytes();
        p.shown.clear();
        disk.s.ScreenAccepted = false;
        frmClientInfo again(disk.s, p);
        QVERIFY(openScreen(again));
        QCOMPARE(p.shown.size(), 1);
        QCOMPARE(p.shown[0].text,
                 QStringLiteral("This client's information has been changed 3 times.\n"
                                "No further editing is permitted. Press Enter to continue."));
        QCOMPARE(p.shown[0].title, QStringLiteral("Edit Limit Reached"));
        QVERIFY(fieldsLocked(again));
        QCOMPARE(again.txtAge->text(), QStringLiteral("45"));
        press(Qt::Key_Return);
        QVERIFY(disk.s.ScreenAccepted);
        QVERIFY(!again.isVisible());
        QCOMPARE(disk.bytes(), before);
    }

    void tabbingThroughUnchangedFieldsCountsNothing()
    {
        Disk disk({sampleClient("Ann", '1')});
        disk.s.EditMode = true;
        const QByteArray before = disk.bytes();
        ScriptedPrompter p;
        frmClientInfo f(disk.s, p);
        QVERIFY(openScreen(f));
        focusOn(f.txtName);
        for (int i = 0; i < 7; ++i)
            press(Qt::Key_Tab);
        QCOMPARE(focused(), okButton(&f));
        QVERIFY2(p.shown.isEmpty(), qPrintable(p.lastText()));
        QCOMPARE(disk.s.EditCount, 1);
        press(Qt::Key_Return);
        QVERIFY(disk.s.ScreenAccepted);
        QCOMPARE(disk.bytes(), before);
    }

    void cancelLeavesTheDataFileAndTheRecordAlone()
    {
        Disk disk({sampleClient("Ann")});
        disk.s.EditMode = true;
        disk.s.ScreenAccepted = true;
        const QByteArray before = disk.bytes();
        ScriptedPrompter p;
        frmClientInfo f(disk.s, p);
        QVERIFY(openScreen(f));
        focusOn(f.txtName);
        type(QStringLiteral("Someone Else"));
        press(Qt::Key_Return);
        type(QStringLiteral("77"));
        press(Qt::Key_Return);
        QCOMPARE(disk.s.EditCount, 2);
        focusOn(child<QPushButton>(&f, "cmdMenuChoice_1"));
        QCOMPARE(f.helpLine()->text(),
                 QStringLiteral("Cancel information input and return to Main Menu."));
        press(Qt::Key_Return);
        QVERIFY(!f.isVisible());
        QVERIFY(!disk.s.ScreenAccepted);
        QCOMPARE(disk.bytes(), before);
        QCOMPARE(disk.s.current(), sampleClient("Ann"));
    }

    void aFailedWriteKeepsTheScreenAndWhatWasTyped()
    {
        Disk disk({sampleClient("Ann")}, true);
        QVERIFY(disk.ok());
        disk.s.EditMode = true;
        ScriptedPrompter p;
        frmClientInfo f(disk.s, p);
        QVERIFY(openScreen(f));
        focusOn(f.txtAge);
        type(QStringLiteral("45"));
        press(Qt::Key_Return);
        QVERIFY(disk.protect());
        const QByteArray before = disk.bytes();

        p.answers = {Prompter::Answer::Retry, Prompter::Answer::Cancel};
        focusOn(okButton(&f));
        press(Qt::Key_Return);
        QCOMPARE(p.shown.size(), 2);
        QCOMPARE(p.shown[1].buttons, Prompter::Buttons::RetryCancel);
        QCOMPARE(p.shown[1].title, QStringLiteral("Data Disk Error"));
        QVERIFY(p.shown[1].text.startsWith(
            QStringLiteral("The client could not be saved on the data disk.\n")));
        QVERIFY(f.isVisible());
        QVERIFY(!disk.s.ScreenAccepted);
        QCOMPARE(f.txtAge->text(), QStringLiteral("45"));
        QCOMPARE(disk.s.current(), sampleClient("Ann"));
        QCOMPARE(disk.bytes(), before);

        // With the disk writable again the same screen saves.
        QVERIFY(disk.unprotect());
        press(Qt::Key_Return);
        QVERIFY(!f.isVisible());
        QVERIFY(disk.s.ScreenAccepted);
        const ClientRecord r = ClientRecord::fromBytes(disk.bytes());
        QCOMPARE(r.raw(Field::Age), QByteArray("45 "));
        QCOMPARE(r.raw(Field::EditCount), QByteArray("1"));
    }
};

QTEST_MAIN(ClientInfoTest)
#include "ClientInfoTest.moc"
