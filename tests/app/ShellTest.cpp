#include "app/Shell.h"
#include "AppFixtures.h"
#include "app/SingleInstance.h"
#include "app/frmAbout.h"
#include "app/frmMainMenu.h"
#include "store/DataFile.h"

#include <QAction>
#include <QGroupBox>
#include <QListWidget>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace kvx;

namespace {

// A start-up on a temporary installation.
struct Start
{
    QString path(const char* name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    Session session;
    test::ScriptedPrompter prompter;
    test::FakeScreens screens{session};
    Shell shell{session, prompter, screens};
};

// The main menu after a start-up from a remembered disk with a given number of clients.
struct Menu : Start
{
    explicit Menu(int clients, const QByteArray& moreIni = {}, bool splash = false)
    {
        QVERIFY(test::makeDataDisk(path("disk"), "KVX\r\n", clients));
        QVERIFY(test::writeBytes(path("kvx.ini"),
                                 "[Path]\nFilePath=" + path("disk").toUtf8() + '\n' + moreIni));
        QVERIFY(
            test::writeBytes(path("branding.ini"), "[Default]\nVendorName=A\n[b]\nVendorName=B\n"));
        shell.splashTickMs = 1;
        shell.splashCloseTickMs = 5;
        QVERIFY(shell.StartUp({dir.path(), splash, false}));
        menu = shell.mainMenu();
        QVERIFY(QTest::qWaitForWindowExposed(menu));
    }
    QPushButton* button(int i) const { return menu->menuChoices()->button(i); }

    frmMainMenu* menu = nullptr;
};

void startKvx(QProcess& p, const QString& folder)
{
    p.start(qEnvironmentVariable("KVX_BUILD_DIR") + "/bin/kvx",
            {"--program-dir", folder, "--no-splash"});
    QVERIFY(p.waitForStarted());
}

} // namespace

class ShellTest : public QObject
{
    Q_OBJECT

private slots:
    void firstStartWithoutSettings()
    {
        Start s;
        // No to another drive ends the start-up: no menu, no remembered drive.
        s.prompter.answers = {Prompter::Answer::No};
        QVERIFY(!s.shell.StartUp({s.dir.path(), false, false}));
        QVERIFY(!s.shell.mainMenu());
        QCOMPARE(s.prompter.lastText(),
                 "No test information found on drive A:, would you like to try another drive?");
        QCOMPARE(QSettings(s.path("kvx.ini"), QSettings::IniFormat).allKeys(),
                 QStringList{"Options/SystemDB"});

        QVERIFY(test::makeDataDisk(s.path("disk"), "KVX\r\n", 3));
        s.prompter.answers = {Prompter::Answer::Yes, Prompter::Answer::Yes};
        s.screens.drives = {s.path("disk")};
        Shell shell(s.session, s.prompter, s.screens);
        QVERIFY(shell.StartUp({s.dir.path(), false, false}));
        QCOMPARE(s.prompter.shown.size(), 3);
        QCOMPARE(s.screens.opened, QStringList{"DriveSelect"});
        const QSettings ini(s.path("kvx.ini"), QSettings::IniFormat);
        QCOMPARE(ini.value("Options/SystemDB").toString(), s.path("qelwkg.mda"));
        QCOMPARE(ini.value("Path/FilePath").toString(), s.path("disk"));
        // Nothing but what start-up and the drive choice write.
        QCOMPARE(ini.allKeys().size(), 2);
        QCOMPARE(s.session.SoundPath, "c:");
        QCOMPARE(s.session.QuestionDbPath, s.path("KVX_32.db"));
        QVERIFY(s.session.PrintDOS && shell.mainMenu()->mnuOptionsNumLock->isChecked());
        QCOMPARE(shell.mainMenu()->lbNameDisplay->count(), 3);
    }

    void splashBrandingAndSettings()
    {
        Menu in(1,
                "SndPath=  /srv/sound  \n[Settings]\nBrandCode=b\nNumLock=Truth\nPrintDOS=true\n",
                true);
        QVERIFY(in.prompter.shown.isEmpty() && in.screens.opened.isEmpty());
        QCOMPARE(in.shell.branding().VendorName, "B");
        QCOMPARE(in.session.SoundPath, "/srv/sound");
        // Only a value starting with "Tru" is on.
        QVERIFY(in.menu->mnuOptionsNumLock->isChecked() && !in.session.PrintDOS);
        // The splash is gone and its second busy call did not leave the wait cursor behind.
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(!(qobject_cast<frmAbout*>(w) && w->isVisible()));
        QVERIFY(!QApplication::overrideCursor());
    }

    void aKilledCopyBlocksNothingAndASecondCopyRaisesTheFirst()
    {
        QTemporaryDir dir;
        QVERIFY(test::makeDataDisk(dir.filePath("disk"), "KVX", 0));
        QVERIFY(test::writeBytes(dir.filePath("kvx.ini"),
                                 "[Path]\nFilePath=" + dir.filePath("disk").toUtf8() + "\n"));
        QProcess killed;
        startKvx(killed, dir.path());
        const SingleInstance probe(dir.path());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(probe.socketPath()), 20000);
        QVERIFY(!SingleInstance(dir.path()).claim());
        killed.kill();
        QVERIFY(killed.waitForFinished(10000) && QFile::exists(probe.lockPath()));

        SingleInstance first(dir.path());
        QVERIFY(first.claim());
        QMainWindow window;
        window.showMinimized();
        int asked = 0;
        connect(&first, &SingleInstance::raiseRequested, &window, [&] {
            ++asked;
            window.showNormal();
        });
        const QByteArray ini = test::readBytes(dir.filePath("kvx.ini"));
        QProcess second;
        startKvx(second, dir.path());
        QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 20000);
        QVERIFY(second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0);
        QCOMPARE(second.readAllStandardOutput(), QByteArray());
        QCOMPARE(asked, 1);
        QVERIFY(!window.isMinimized());
        // The second copy touched nothing of the installation.
        QCOMPARE(test::readBytes(dir.filePath("kvx.ini")), ini);
    }

    void twelveClientsAreListedAndSelectable()
    {
        Menu in(12);
        QListWidget* list = in.menu->lbNameDisplay;
        QCOMPARE(list->count(), 12);
        for (int n = 1; n <= 12; ++n)
            QVERIFY(list->item(n - 1)->text().startsWith(QString::number(n) + '-'));
        QCOMPARE(list->item(2)->text(), "3-Client 3" + QString(17, ' '));
        QVERIFY(!in.button(0)->isEnabled());

        // Into the list: highlighted frame and its help line, still nothing selected.
        in.button(3)->setFocus();
        QTest::keyClick(in.button(3), Qt::Key_Tab);
        QCOMPARE(in.menu->MsgPanel->text(), "Use up or down arrow keys or mouse to select client.");
        QCOMPARE(in.menu->fraClient->palette().color(QPalette::Window), kHighlightCyan);
        // The first arrow key picks the first line; down to the last: client 12.
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(in.session.CurClient, 1);
        for (int i = 1; i < 12; ++i)
            QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(in.session.CurClient, 12);
        QTRY_VERIFY(in.button(0)->isEnabled());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(4)).center());
        QCOMPARE(in.session.CurClient, 5);
        // Activation disables editing again until a line is chosen.
        in.menu->Activate();
        QVERIFY(!in.button(0)->isEnabled());
        // Back into the rebuilt list after line 5 was chosen: the focus makes line 1 current
        // without choosing it; the first arrow key or the space bar chooses it and its client.
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Space}) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(4)).center());
            in.menu->Activate();
            in.button(3)->setFocus();
            QTest::keyClick(in.button(3), Qt::Key_Tab);
            QTest::keyClick(list, key);
            QTRY_VERIFY(in.button(0)->isEnabled());
            QCOMPARE(in.session.CurClient, 1);
        }
    }

    void addNewClientDisabledWhenFullAndExitIgnoresLetters()
    {
        for (const auto& [clients, enabled] : {std::pair{0, true}, {50, true}, {51, false}}) {
            Menu in(clients);
            QVERIFY2(in.button(1)->isEnabled() == enabled, qPrintable(QString::number(clients)));
        }
        // An empty list passes the focus on.
        Menu in(0);
        in.button(3)->setFocus();
        QTest::keyClick(in.button(3), Qt::Key_Tab);
        QVERIFY(in.button(1)->hasFocus());

        // Exit acts on Enter only, not on letters.
        QSignalSpy ended(in.menu, &frmMainMenu::programEnded);
        in.button(3)->setFocus();
        for (Qt::Key k : {Qt::Key_X, Qt::Key_E, Qt::Key_Escape})
            QTest::keyClick(in.button(3), k);
        QCOMPARE(ended.count(), 0);
        QTest::keyClick(in.button(3), Qt::Key_Enter);
        QCOMPARE(ended, QList<QVariantList>{{0}});
    }

    void editChainOpensTheNextScreenOnlyWhenAccepted()
    {
        const std::pair<QList<bool>, QStringList> cases[] = {
            {{false}, {"ClientInformation"}},
            {{true, false}, {"ClientInformation", "CourtHistory"}},
            {{true, true, false}, {"ClientInformation", "CourtHistory", "AnswerEntry"}},
        };
        for (const auto& [answers, opened] : cases) {
            Menu in(4);
            in.screens.accepted = answers;
            in.screens.whileOpen = [&] {
                QVERIFY(in.session.EditMode && !in.session.ScanEditMode);
                QVERIFY(!in.session.RefreshNames && !in.menu->frMainMenu->isVisible());
            };
            in.session.ScanEditMode = true;
            in.menu->lbNameDisplay->setFocus();
            QTest::keyClick(in.menu->lbNameDisplay, Qt::Key_Down);
            QTest::keyClick(in.menu->lbNameDisplay, Qt::Key_Down);
            QTRY_VERIFY(in.button(0)->isEnabled());
            in.button(0)->setFocus();
            QTest::keyClick(in.button(0), Qt::Key_Return);

            QCOMPARE(in.screens.opened, opened);
            QCOMPARE(in.session.CurClient, 2);
            QVERIFY(!in.session.EditMode && in.session.RefreshNames);
            QVERIFY(in.menu->frMainMenu->isVisible() && !in.button(0)->isEnabled());
            // The keyboard is not left without a focus.
            QTRY_VERIFY(QApplication::focusWidget() && QApplication::focusWidget()->isEnabled() &&
                        QApplication::focusWidget()->isVisible());
        }
    }

    void addNewClientResetsTheModesAndRefreshesTheList()
    {
        Menu in(3);
        in.session.EditMode = in.session.ScanEditMode = true;
        in.screens.whileOpen = [&] {
            QVERIFY(!in.session.EditMode && !in.session.RefreshNames);
            InitNewClient(in.session, QDate(2024, 5, 6));
            QVERIFY(in.session.current().setText(Field::Name, u"New Person"));
            QVERIFY(WriteClient(in.session, in.session.CurClient));
            ++in.session.NumClients;
        };
        in.button(1)->click();
        QCOMPARE(in.screens.opened, QStringList{"EntryMethod"});
        QVERIFY(!in.session.ScanEditMode && in.session.RefreshNames);
        QCOMPARE(in.menu->lbNameDisplay->count(), 4);
        QVERIFY(in.menu->lbNameDisplay->item(3)->text().startsWith("4-New Person"));
    }

    void optionsToggleAndPersist()
    {
        Menu in(1);
        QTimer* keeper = in.menu->timNumLock;
        QVERIFY(QMetaObject::invokeMethod(keeper, "timeout") && keeper->isActive());
        QVERIFY(in.session.PrintDOS && in.menu->mnuOptionsPrintDOS->isChecked());
        for (bool on : {false, true}) {
            in.menu->mnuOptionsPrintDOS->trigger();
            in.menu->mnuOptionsNumLock->trigger();
            QCOMPARE(in.session.PrintDOS, on);
            QCOMPARE(in.menu->mnuOptionsPrintDOS->isChecked(), on);
            QCOMPARE(in.menu->mnuOptionsNumLock->isChecked(), on);
            const Settings ini(in.dir.path());
            for (const char* key : {"PrintDOS", "NumLock"})
                QCOMPARE(ini.readKey("Settings", key, {}, 10), on ? "True" : "False");
            // Once off, the Num Lock keeper stops for the rest of the run.
            QVERIFY(QMetaObject::invokeMethod(keeper, "timeout") && !keeper->isActive());
        }
    }

    void numLockKeeperFollowsTheOptionBeforeTheMenuShowsIt()
    {
        // The keeper ticks during the splash already: with the option off it must not act.
        Start s;
        QVERIFY(test::writeBytes(s.path("kvx.ini"), "[Settings]\nNumLock=False\n"));
        Settings settings(s.dir.path());
        frmMainMenu menu(s.session, settings, s.prompter, s.screens, Branding{});
        QVERIFY(QMetaObject::invokeMethod(menu.timNumLock, "timeout"));
        QVERIFY(!menu.timNumLock->isActive());
    }

    void changeDataDriveRebuildsTheListOrEndsTheProgram()
    {
        Menu in(3);
        QVERIFY(test::makeDataDisk(in.path("other"), "KVX", 0));
        in.screens.drives = {in.path("other")};
        in.menu->mnuDriveSelect->trigger();
        QCOMPARE(in.screens.opened, QStringList{"DriveSelect"});
        QCOMPARE(in.session.DataPath, in.path("other"));
        // Empty disk: the old lines must not stay.
        QCOMPARE(in.menu->lbNameDisplay->count(), 0);
        QCOMPARE(Settings(in.dir.path()).GetFilePathSetting(), in.path("other"));
        QVERIFY(in.prompter.shown.isEmpty());

        // A missing folder, and no to another drive.
        in.screens.drives = {in.path("missing")};
        in.prompter.answers = {Prompter::Answer::No};
        QSignalSpy ended(in.menu, &frmMainMenu::programEnded);
        in.menu->mnuDriveSelect->trigger();
        QCOMPARE(ended, QList<QVariantList>{{1}});
    }
};

QTEST_MAIN(ShellTest)
#include "ShellTest.moc"
