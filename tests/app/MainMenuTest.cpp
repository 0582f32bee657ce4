#include "DiskFixture.h"
#include "FakeScreens.h"
#include "app/DriveSelect.h"
#include "app/Settings.h"
#include "app/frmMainMenu.h"
#include "common/ScriptedPrompter.h"
#include "store/DataFile.h"

#include <QAction>
#include <QGroupBox>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace kvx;
using kvx::test::FakeScreens;
using kvx::test::ScriptedPrompter;

namespace {

// A main menu on a temporary installation whose data disk holds a given number of clients.
struct Installation
{
    explicit Installation(int clients, const QByteArray& ini = {})
    {
        disk = dir.filePath(QStringLiteral("disk"));
        QVERIFY(test::makeDataDisk(disk, "KVX\r\n", clients));
        if (!ini.isEmpty())
            QVERIFY(test::writeBytes(dir.filePath(QStringLiteral("kvx.ini")), ini));
        settings = std::make_unique<Settings>(dir.path());
        ScriptedPrompter quiet;
        QCOMPARE(LoadDataDisk(session, disk, quiet).kind, LoadResult::Accepted);
        menu = std::make_unique<frmMainMenu>(session, *settings, prompter, screens, Branding{});
        menu->show();
        QVERIFY(QTest::qWaitForWindowExposed(menu.get()));
        menu->activateWindow();
        menu->Activate();
        menu->loadOptions();
    }

    QPushButton* button(int i) const { return menu->menuChoices()->button(i); }

    QTemporaryDir dir;
    QString disk;
    Session session;
    std::unique_ptr<Settings> settings;
    ScriptedPrompter prompter;
    FakeScreens screens{session};
    std::unique_ptr<frmMainMenu> menu;
};

} // namespace

class MainMenuTest : public QObject
{
    Q_OBJECT

private slots:
    void twelveClientsAreListedAndSelectable()
    {
        Installation in(12);
        QListWidget* list = in.menu->lbNameDisplay;
        QCOMPARE(list->count(), 12);
        for (int n = 1; n <= 12; ++n) {
            QCOMPARE(list->item(n - 1)->text(), ClientListLine(in.session, n));
            QVERIFY(list->item(n - 1)->text().startsWith(QString::number(n) + u'-'));
        }
        QCOMPARE(list->item(2)->text(), QStringLiteral("3-Client 3") + QString(17, u' '));
        QVERIFY(!in.button(0)->isEnabled());

        // Into the list: highlighted frame, its help line, still nothing selected.
        in.button(3)->setFocus();
        QTest::keyClick(in.button(3), Qt::Key_Tab);
        QVERIFY(list->hasFocus());
        QCOMPARE(in.menu->MsgPanel->text(),
                 QStringLiteral("Use up or down arrow keys or mouse to select client."));
        QCOMPARE(in.menu->fraClient->palette().color(QPalette::Window), kHighlightCyan);
        QVERIFY(in.menu->fraClient->font().bold());

        // The first arrow key picks the first line; down to the last: client 12.
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(in.session.CurClient, 1);
        for (int i = 1; i < 12; ++i)
            QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentRow(), 11);
        QCOMPARE(in.session.CurClient, 12);
        QTRY_VERIFY(in.button(0)->isEnabled());

        QTest::keyClick(list, Qt::Key_Up);
        QCOMPARE(in.session.CurClient, 11);

        // A mouse click picks a line too.
        const QRect r = list->visualItemRect(list->item(4));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(in.session.CurClient, 5);

        // Leaving the list clears the help line and the highlight.
        QTest::keyClick(list, Qt::Key_Tab);
        QVERIFY(!list->hasFocus());
        QCOMPARE(in.menu->fraClient->palette().color(QPalette::Window), kPanelBlue);
        QVERIFY(!in.menu->fraClient->font().bold());
        QVERIFY(in.menu->MsgPanel->text() !=
                QStringLiteral("Use up or down arrow keys or mouse to select client."));

        // Activation disables editing again until a line is chosen.
        in.menu->Activate();
        QVERIFY(!in.button(0)->isEnabled());
    }

    void addNewClientFollowsTheFreeRecords_data()
    {
        QTest::addColumn<int>("clients");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("empty disk") << 0 << true;
        QTest::newRow("50 clients") << 50 << true;
        QTest::newRow("51 clients") << 51 << false;
    }

    void addNewClientFollowsTheFreeRecords()
    {
        QFETCH(int, clients);
        QFETCH(bool, enabled);
        Installation in(clients);
        QCOMPARE(in.button(1)->isEnabled(), enabled);
        QCOMPARE(in.menu->lbNameDisplay->count(), clients);
    }

    void anEmptyListPassesTheFocusOn()
    {
        Installation in(0);
        in.button(3)->setFocus();
        QTest::keyClick(in.button(3), Qt::Key_Tab);
        QVERIFY(in.button(1)->hasFocus());
        QVERIFY(!in.button(0)->isEnabled());
    }

    void buttonsShowTheirHelpAndIgnoreLetters()
    {
        Installation in(2);
        const QStringList help = {
            QStringLiteral("Edit client's information."),
            QStringLiteral(
                "Enter a new client. Test client on computer or enter data from answer sheet."),
            QStringLiteral("Print client report, verify data entry or delete client names."),
            QStringLiteral("Quit the program."),
        };
        for (int i = 1; i < 4; ++i) {
            in.button(i)->setFocus();
            QCOMPARE(in.menu->MsgPanel->text(), help[i]);
            QCOMPARE(in.menu->menuChoices()->focused(), i);
        }
        QSignalSpy ended(in.menu.get(), &frmMainMenu::programEnded);
        for (Qt::Key k : {Qt::Key_X, Qt::Key_E, Qt::Key_Q, Qt::Key_A, Qt::Key_Escape})
            QTest::keyClick(in.button(3), k);
        QCOMPARE(ended.count(), 0);
        QVERIFY(in.screens.opened.isEmpty());
        QTest::keyClick(in.button(3), Qt::Key_Return);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).toInt(), 0);

        in.button(1)->setFocus();
        QTest::keyClick(in.button(1), Qt::Key_N);
        QVERIFY(in.screens.opened.isEmpty());
        QTest::keyClick(in.button(1), Qt::Key_Space);
        QCOMPARE(in.screens.opened, QStringList{QStringLiteral("EntryMethod")});
    }

    void editChainOpensTheNextScreenOnlyWhenAccepted_data()
    {
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("opened");
        const QString info = QStringLiteral("ClientInformation");
        const QString court = QStringLiteral("CourtHistory");
        const QString grid = QStringLiteral("AnswerEntry");
        QTest::newRow("information cancelled") << QList<bool>{false} << QStringList{info};
        QTest::newRow("court history cancelled")
            << QList<bool>{true, false} << QStringList{info, court};
        QTest::newRow("all accepted")
            << QList<bool>{true, true, false} << QStringList{info, court, grid};
    }

    void editChainOpensTheNextScreenOnlyWhenAccepted()
    {
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, opened);
        Installation in(4);
        in.screens.accepted.assign(answers.begin(), answers.end());
        in.screens.whileOpen = [&](const QString&) {
            QVERIFY(in.session.EditMode);
            QVERIFY(!in.session.ScanEditMode);
            QVERIFY(!in.session.RefreshNames);
            QVERIFY(!in.menu->frMainMenu->isVisible());
        };
        in.session.ScanEditMode = true;
        QListWidget* list = in.menu->lbNameDisplay;
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(in.session.CurClient, 2);
        QTRY_VERIFY(in.button(0)->isEnabled());
        in.button(0)->setFocus();
        QTest::keyClick(in.button(0), Qt::Key_Return);

        QCOMPARE(in.screens.opened, opened);
        QCOMPARE(in.session.CurClient, 2);
        QVERIFY(!in.session.EditMode);
        QVERIFY(in.session.RefreshNames);
        QVERIFY(in.menu->frMainMenu->isVisible());
        QVERIFY(!in.button(0)->isEnabled());
        // The keyboard is not left without a focus.
        QTRY_VERIFY(QApplication::focusWidget() && QApplication::focusWidget()->isEnabled() &&
                    QApplication::focusWidget()->isVisible());
    }

    void otherActivitiesResetTheModes()
    {
        Installation in(3);
        in.session.EditMode = true;
        in.session.ScanEditMode = true;
        in.screens.whileOpen = [&](const QString&) {
            QVERIFY(!in.session.EditMode);
            QVERIFY(!in.session.RefreshNames);
        };
        in.button(2)->click();
        QVERIFY(in.session.ScanEditMode); // the supervisor path leaves it alone
        in.button(1)->click();
        QVERIFY(!in.session.ScanEditMode);
        QCOMPARE(in.screens.opened,
                 (QStringList{QStringLiteral("SupervisorOptions"), QStringLiteral("EntryMethod")}));
        QVERIFY(in.session.RefreshNames);

        in.menu->mnuHelpAbout->trigger();
        QCOMPARE(in.screens.opened.last(), QStringLiteral("About"));
    }

    void aNewClientAppearsAfterTheChain()
    {
        Installation in(3);
        in.screens.whileOpen = [&](const QString&) {
            InitNewClient(in.session, QDate(2024, 5, 6));
            QVERIFY(in.session.current().setText(Field::Name, QStringLiteral("New Person")));
            QVERIFY(WriteClient(in.session, in.session.CurClient));
            ++in.session.NumClients;
        };
        in.button(1)->click();
        QCOMPARE(in.menu->lbNameDisplay->count(), 4);
        QVERIFY(in.menu->lbNameDisplay->item(3)->text().startsWith(QStringLiteral("4-New Person")));
    }

    void printToDosTogglesAndPersists()
    {
        Installation in(1);
        QAction* item = in.menu->mnuOptionsPrintDOS;
        QVERIFY(item->isChecked());
        QVERIFY(in.session.PrintDOS);
        item->trigger();
        QVERIFY(!item->isChecked());
        QVERIFY(!in.session.PrintDOS);
        QCOMPARE(Settings(in.dir.path())
                     .readKey(QStringLiteral("Settings"), QStringLiteral("PrintDOS"), {}, 10),
                 QStringLiteral("False"));
        item->trigger();
        QVERIFY(item->isChecked());
        QVERIFY(in.session.PrintDOS);
        QCOMPARE(Settings(in.dir.path())
                     .readKey(QStringLiteral("Settings"), QStringLiteral("PrintDOS"), {}, 10),
                 QStringLiteral("True"));
    }

    void optionsAreReadByTheOnOffRule_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("on");
        QTest::newRow("True") << QByteArray("True") << true;
        QTest::newRow("Trumpet") << QByteArray("Trumpet") << true;
        QTest::newRow("lower case") << QByteArray("true") << false;
        QTest::newRow("False") << QByteArray("False") << false;
    }

    void optionsAreReadByTheOnOffRule()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, on);
        Installation in(1, "[Settings]\nNumLock=" + value + "\nPrintDOS=" + value + "\n");
        QCOMPARE(in.menu->mnuOptionsNumLock->isChecked(), on);
        QCOMPARE(in.menu->numLockOption(), on);
        QCOMPARE(in.menu->mnuOptionsPrintDOS->isChecked(), on);
        QCOMPARE(in.session.PrintDOS, on);
    }

    void numLockKeeperStopsForGoodOnceOff()
    {
        Installation in(1);
        QTimer* keeper = in.menu->timNumLock;
        QCOMPARE(keeper->interval(), 1000);
        QVERIFY(keeper->isActive());
        QVERIFY(QMetaObject::invokeMethod(keeper, "timeout"));
        QVERIFY(keeper->isActive());

        in.menu->mnuOptionsNumLock->trigger();
        QVERIFY(!in.menu->mnuOptionsNumLock->isChecked());
        QCOMPARE(Settings(in.dir.path()).GetNumLockSetting(), false);
        QVERIFY(QMetaObject::invokeMethod(keeper, "timeout"));
        QVERIFY(!keeper->isActive());

        in.menu->mnuOptionsNumLock->trigger();
        QVERIFY(in.menu->mnuOptionsNumLock->isChecked());
        QCOMPARE(Settings(in.dir.path()).GetNumLockSetting(), true);
        QVERIFY(!keeper->isActive());
    }

    void changeDataDriveRebuildsTheList()
    {
        Installation in(3);
        const QString other = in.dir.filePath(QStringLiteral("other"));
        QVERIFY(test::makeDataDisk(other, "KVX", 0));
        in.screens.drives = {other};
        in.menu->mnuDriveSelect->trigger();
        QCOMPARE(in.screens.opened, QStringList{QStringLiteral("DriveSelect")});
        QCOMPARE(in.session.DataPath, other);
        QCOMPARE(in.session.NumClients, 0);
        // Empty disk: the old lines must not stay.
        QCOMPARE(in.menu->lbNameDisplay->count(), 0);
        QCOMPARE(Settings(in.dir.path()).GetFilePathSetting(), other);
        QVERIFY(in.prompter.shown.isEmpty());
    }

    void failedReloadEndsTheProgram()
    {
        Installation in(3);
        in.screens.drives = {in.dir.filePath(QStringLiteral("missing"))};
        // No to another drive.
        in.prompter.answers = {Prompter::Answer::No};
        QSignalSpy ended(in.menu.get(), &frmMainMenu::programEnded);
        in.menu->mnuDriveSelect->trigger();
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).toInt(), 1);
    }
};

QTEST_MAIN(MainMenuTest)
#include "MainMenuTest.moc"
