#include "intake/frmCourtHistory.h"

#include "common/ModalDriver.h"
#include "common/ScriptedPrompter.h"
#include "intake/IntakeFixture.h"

#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

const QString kCountMessage =
    QStringLiteral("Type a number from 0 to 99 or N for Not Available. Press Enter to continue.");
const QString kAgeMessage = QStringLiteral(
    "Enter age in years from 5 to 99 or N for Not Available. Press Enter to continue.");

QPushButton* okButton(QWidget* screen)
{
    return child<QPushButton>(screen, "cmdMenuChoice_0");
}

// Two clients on the disk and a third being entered: client information has been accepted.
void startNewClient(Disk& disk)
{
    disk.s.EditMode = false;
    InitNewClient(disk.s, QDate(2024, 3, 5));
    disk.s.current().setRaw(Field::Name, "New Person");
    disk.s.current().setRaw(Field::Age, "30");
}

} // namespace

class CourtHistoryTest : public QObject
{
    Q_OBJECT

private slots:
    void eachItemIsCheckedOnEnter_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message");
        QTest::newRow("1: 4") << 1 << "4"
                              << "4" << kAgeMessage;
        QTest::newRow("1: 5") << 1 << "5"
                              << "5" << QString();
        QTest::newRow("1: n") << 1 << "n"
                              << "N" << QString();
        QTest::newRow("2: 0") << 2 << "0"
                              << "0" << QString();
        QTest::newRow("2: 00") << 2 << "00"
                               << "00" << kCountMessage;
        QTest::newRow("15: 00") << 15 << "00"
                                << "00" << kCountMessage;
        QTest::newRow("7: blank") << 7 << " "
                                  << "" << kCountMessage;
    }

    void eachItemIsCheckedOnEnter()
    {
        QFETCH(int, item);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        Disk disk({sampleClient("Ann"), sampleClient("Bob")});
        QVERIFY(disk.ok());
        startNewClient(disk);
        ScriptedPrompter p;
        frmCourtHistory f(disk.s, p);
        QVERIFY(openScreen(f));
        QCOMPARE(focused(), f.txtAgeAtFirstConviction);
        focusOn(f.box(item));
        QVERIFY(f.lblInfo[static_cast<size_t>(item - 1)]->font().bold());
        QCOMPARE(f.helpLine()->text(),
                 item == 1
                     ? QStringLiteral("Type a value 5 to 99 or N for Not Available, then press "
                                      "Enter.")
                     : QStringLiteral("Type a value 0 to 99 or N for Not Available, then press "
                                      "Enter."));
        type(typed);
        press(Qt::Key_Return);
        QCOMPARE(f.box(item)->text(), shown);
        if (message.isEmpty()) {
            QVERIFY(p.shown.isEmpty());
            QCOMPARE(focused(), item < 15 ? static_cast<QWidget*>(f.box(item + 1))
                                          : static_cast<QWidget*>(okButton(&f)));
        } else {
            QCOMPARE(p.shown.size(), 1);
            QCOMPARE(p.shown[0].text, message);
            QCOMPARE(p.shown[0].title, QStringLiteral("Data Entry Error"));
            QCOMPARE(p.shown[0].icon, Prompter::Icon::Critical);
            QCOMPARE(p.beeps, 1);
            QCOMPARE(focused(), f.box(item));
        }
    }

    void aThirdCharacterBeeps()
    {
        Disk disk({sampleClient("Ann")});
        startNewClient(disk);
        ScriptedPrompter p;
        frmCourtHistory f(disk.s, p);
        QVERIFY(openScreen(f));
        focusOn(f.txtProbation);
        type(QStringLiteral("12"));
        QCOMPARE(p.beeps, 0);
        type(QStringLiteral("3"));
        QCOMPARE(p.beeps, 1);
        QCOMPARE(f.txtProbation->text(), QStringLiteral("12"));
        // Only part of it selected: still refused.
        f.txtProbation->setSelection(0, 1);
        type(QStringLiteral("4"));
        QCOMPARE(p.beeps, 2);
        QCOMPARE(f.txtProbation->text(), QStringLiteral("12"));
        // Backspace still works, and the whole value selected is replaced.
        f.txtProbation->end(false);
        press(Qt::Key_Backspace);
        QCOMPARE(f.txtProbation->text(), QStringLiteral("1"));
        type(QStringLiteral("2"));
        f.txtProbation->selectAll();
        type(QStringLiteral("3"));
        QCOMPARE(f.txtProbation->text(), QStringLiteral("3"));
        QCOMPARE(p.beeps, 2);
    }

    void informationOkChecksItemEightFirst()
    {
        Disk disk({sampleClient("Ann"), sampleClient("Bob")});
        const QByteArray before = disk.bytes();
        startNewClient(disk);
        ScriptedPrompter p;
        frmCourtHistory f(disk.s, p);
        QVERIFY(openScreen(f));
        for (int item = 1; item <= 15; ++item)
            f.box(item)->setText(item == 1 ? QStringLiteral("18") : QStringLiteral("2"));
        f.txtFelony->clear();
        f.txtArrests->clear();
        focusOn(okButton(&f));
        press(Qt::Key_Return);
        QCOMPARE(p.shown.size(), 1);
        QCOMPARE(p.lastText(), kCountMessage);
        QCOMPARE(focused(), f.txtArrests);

        type(QStringLiteral("6"));
        focusOn(okButton(&f));
        press(Qt::Key_Return);
        QCOMPARE(p.shown.size(), 2);
        QCOMPARE(focused(), f.txtFelony);
        QVERIFY(!disk.s.ScreenAccepted);

        type(QStringLiteral("n"));
        focusOn(okButton(&f));
        press(Qt::Key_Return);
        QCOMPARE(p.shown.size(), 2);
        QVERIFY(disk.s.ScreenAccepted);
        QVERIFY(!f.isVisible());
        const ClientRecord& r = disk.s.client(3);
        QCOMPARE(r.raw(Field::AgeAtFirstConviction), QByteArray("18"));
        QCOMPARE(r.raw(Field::Felony), QByteArray("N "));
        QCOMPARE(r.raw(Field::Arrests), QByteArray("6 "));
        QCOMPARE(r.raw(Field::Assaults), QByteArray("2 "));
        // A new client waits in memory for its answers.
        QCOMPARE(disk.bytes(), before);
    }

    void cancelOnANewClientBlanksItsEntry()
    {
        Disk disk({sampleClient("Ann"), sampleClient("Bob")});
        const QByteArray before = disk.bytes();
        startNewClient(disk);
        ScriptedPrompter p;
        frmCourtHistory f(disk.s, p);
        QVERIFY(openScreen(f));
        QCOMPARE(f.lblClientName->text(), QStringLiteral("New Person") + QString(15, u' '));
        type(QStringLiteral("20"));
        press(Qt::Key_Return);
        focusOn(child<QPushButton>(&f, "cmdMenuChoice_1"));
        press(Qt::Key_Return);
        QVERIFY(!f.isVisible());
        QVERIFY(!disk.s.ScreenAccepted);
        QCOMPARE(disk.s.CurClient, 1);
        QCOMPARE(disk.s.client(3), ClientRecord());
        QCOMPARE(disk.s.client(1), sampleClient("Ann"));
        QCOMPARE(disk.bytes(), before);
    }

    void altShiftF10LeavesAtOnce()
    {
        Disk disk({sampleClient("Ann")});
        disk.s.EditMode = true;
        disk.s.ScreenAccepted = true;
        const QByteArray before = disk.bytes();
        ScriptedPrompter p;
        frmCourtHistory f(disk.s, p);
        QVERIFY(openScreen(f));
        focusOn(f.txtFelony);
        type(QStringLiteral("00"));
        press(Qt::Key_F10, Qt::AltModifier | Qt::ShiftModifier);
        QVERIFY(!f.isVisible());
        QVERIFY(disk.s.ScreenAccepted); // as it was
        QVERIFY(p.shown.isEmpty());
        QCOMPARE(disk.s.current(), sampleClient("Ann"));
        QCOMPARE(disk.bytes(), before);
    }

    void aFailedWriteKeepsTheScreenAndWhatWasTyped()
    {
        Disk disk({sampleClient("Ann")}, true);
        QVERIFY(disk.ok());
        disk.s.EditMode = true;
        ScriptedPrompter p;
        frmCourtHistory f(disk.s, p);
        QVERIFY(openScreen(f));
        focusOn(f.txtDVArrests);
        type(QStringLiteral("4"));
        press(Qt::Key_Return);
        QVERIFY(disk.protect());
        const QByteArray before = disk.bytes();
        p.answers = {Prompter::Answer::Cancel};
        focusOn(okButton(&f));
        press(Qt::Key_Return);
        QCOMPARE(p.shown.size(), 1);
        QCOMPARE(p.shown[0].buttons, Prompter::Buttons::RetryCancel);
        QCOMPARE(p.shown[0].title, QStringLiteral("Data Disk Error"));
        QVERIFY(f.isVisible());
        QVERIFY(!disk.s.ScreenAccepted);
        QCOMPARE(f.txtDVArrests->text(), QStringLiteral("4"));
        QCOMPARE(disk.s.current(), sampleClient("Ann"));
        QCOMPARE(disk.bytes(), before);

        QVERIFY(disk.unprotect());
        press(Qt::Key_Return);
        QVERIFY(disk.s.ScreenAccepted);
        QCOMPARE(disk.bytes().mid(74, 2), QByteArray("4 "));
    }
};

QTEST_MAIN(CourtHistoryTest)
#include "CourtHistoryTest.moc"
