#include "app/Shell.h"
#include "AppFixtures.h"
#include "app/SingleInstance.h"
#include "app/frmAbout.h"
#include "app/frmDriveSelect.h"
#include "app/frmMainMenu.h"
#include "common/Accessibility.h"
#include "common/FakeScreens.h"
#include "store/DataFile.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

using namespace kvx;
using kvx::test::FakeScreens;

namespace {

class SampleScreen : public KvxScreen
{
public:
    SampleScreen(Session& s, Prompter& p) : KvxScreen(s, p)
    {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(edit);
        SelectAllOnFocus::install(edit);
        addMenuChoices(Qt::Horizontal)->add("OK", "Accept.");
        menuChoices()->add("Cancel", "Go back.");
        layout->addWidget(menuChoices());
        layout->addWidget(MsgPanel);
        show();
        QVERIFY(QTest::qWaitForWindowExposed(this));
    }
    QLineEdit* edit = new QLineEdit("some text", this);

    // "lit": cyan with a bold caption; "plain": blue with a normal one.
    QString look(int i) const
    {
        const QColor c = menuChoices()->panel(i)->palette().color(QPalette::Window);
        const bool bold = menuChoices()->button(i)->font().bold();
        return c == kHighlightCyan && bold ? "lit" : c == kPanelBlue && !bold ? "plain" : "mixed";
    }
};

struct FakeFolderPicker : FolderPicker
{
    QString PickFolder(QWidget*, const QString&) override { return ++asked, answer; }
    QString answer;
    int asked = 0;
};

// A start-up on a temporary installation.
struct Start
{
    QString path(const char* name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    Session session;
    test::ScriptedPrompter prompter;
    FakeScreens screens{session};
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

    Session session;
    test::ScriptedPrompter prompter;
    const Branding branding{
        "Vendor", "www.vendor.test", "mail@vendor.test", "Rights.", "555 0100", {}, {}, {}};

private slots:
    void menuButtonsHighlightShowHelpAndActOnlyOnEnterAndSpace()
    {
        SampleScreen screen(session, prompter);
        screen.activateWindow();
        QPushButton* ok = screen.menuChoices()->button(0);
        ok->setFocus();
        QCOMPARE(screen.look(0) + ' ' + screen.look(1), "lit plain");
        QCOMPARE(screen.helpLine()->text(), "Accept.");
        QSignalSpy chosen(screen.menuChoices(), &MenuChoices::chosen);
        for (Qt::Key key : {Qt::Key_O, Qt::Key_C, Qt::Key_1, Qt::Key_Escape, Qt::Key_Down})
            QTest::keyClick(ok, key);
        // Escape on a button must not close the screen either.
        QVERIFY(chosen.isEmpty() && screen.isVisible() && screen.result() == 0);
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space})
            QTest::keyClick(ok, key);
        QCOMPARE(chosen, (QList<QVariantList>{{0}, {0}, {0}}));

        QTest::keyClick(ok, Qt::Key_Tab);
        QCOMPARE(screen.look(0) + ' ' + screen.look(1), "plain lit");
        // Leaving for a text field keeps the button's help text and selects the field's text.
        screen.edit->setFocus();
        QCOMPARE(screen.look(1), "plain");
        QCOMPARE(screen.helpLine()->text(), "Go back.");
        QTRY_COMPARE(screen.edit->selectedText(), "some text");
        HighlightMenuChoice(&screen, 1);
        QCOMPARE(screen.look(1), "lit");
        ResetMenuChoices(&screen, 1);
        QCOMPARE(screen.look(1), "plain");
    }

    void splashWipesInTenTicksAndClosesAfterFourMore()
    {
        frmAbout splash(branding, true, nullptr, 100000, 5);
        QCOMPARE(splash.windowTitle(), "Initializing...");
        QVERIFY(splash.cmdOK->isHidden());
        QSignalSpy ticks(&splash, &frmAbout::fadeFinished);
        splash.show();
        for (int tick = 1; tick <= 10; ++tick) {
            QVERIFY(!splash.FadeDone() && splash.Picture2[0]->isVisible());
            QVERIFY(QMetaObject::invokeMethod(splash.Timer1, "timeout"));
            QCOMPARE(splash.bandHeight(5), 560 - 50 * tick);
        }
        QVERIFY(splash.FadeDone() && !splash.Timer1->isActive() && splash.Picture2[5]->isHidden());
        QCOMPARE(ticks.count(), 1);
        splash.closeSplash();
        QCOMPARE(ticks.count(), 5);
        QVERIFY(!splash.isVisible());
    }

    void aboutModeShowsTheBrandingAndClosesOnOk()
    {
        frmAbout about(branding, false);
        QCOMPARE(about.windowTitle(), "About KVX");
        QCOMPARE(
            (QStringList{about.SSPanel1->text(), about.SSPanel4->text(), about.SSPanel5->text(),
                         about.SSPanel2->text(), about.SSPanel3->text()}),
            (QStringList{"Vendor", "www.vendor.test", "mail@vendor.test", "Rights.", "555 0100"}));
        about.show();
        QTest::keyClick(about.cmdOK, Qt::Key_Return);
        QVERIFY(!about.isVisible() && about.result() == QDialog::Accepted);
    }

    void driveScreenOffersRemovableVolumesFirst()
    {
        QTemporaryDir dir;
        const QString inUse = dir.filePath("inuse"), picked = dir.filePath("picked");
        QVERIFY(test::makeDataDisk(inUse, "KVX", 0) && QDir().mkpath(picked));
        session.DataPath = inUse;
        FakeFolderPicker picker;
        QList<Volume> volumes; // root, type and name; "?" marks a drive that is not ready
        const QString home = QDir::homePath();
        for (const QString& v :
             QStringList{"/ ext4", "/media/user/STICK vfat STICK", "/home ext4", "/mnt/floppy vfat",
                         "?/media/user/EMPTY vfat", "/snap/core/1 squashfs", "/run/user/0 tmpfs",
                         "/boot/efi vfat", home + "/usb ext4"})
            volumes.append({v.section(' ', 0, 0).remove('?'), v.section(' ', 2),
                            v.section(' ', 1, 1).toLatin1(), !v.startsWith('?')});
        frmDriveSelect screen(session, prompter, picker);
        screen.refreshDrives(volumes);
        QStringList entries;
        for (int i = 0; i < screen.drDrive->count(); ++i)
            entries << screen.drDrive->itemText(i);
        QCOMPARE(entries, (QStringList{inUse + "  (data disk in use)", "/media/user/STICK  [STICK]",
                                       "/mnt/floppy", home + "/usb", "Choose a folder..."}));

        // Done with the list untouched: its current entry.
        screen.show();
        screen.cmdDone->click();
        QCOMPARE(screen.SelectedDrive(), inUse);
        // Enter on the focused Help button shows the help; the screen stays.
        prompter.shown.clear();
        screen.show();
        screen.cmdhelp->setFocus();
        QTest::keyClick(screen.cmdhelp, Qt::Key_Return);
        QVERIFY(screen.isVisible());
        screen.drDrive->setFocus();
        QTest::keyClick(screen.drDrive, Qt::Key_Down);
        QTest::keyClick(screen.cmdDone, Qt::Key_Space);
        QVERIFY(!screen.isVisible() && screen.result() == QDialog::Accepted);
        QCOMPARE(screen.SelectedDrive(), "/media/user/STICK");
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown[0].text,
                 "Use the dropdown box to select the drive that the floppy data \ndiskette or USB "
                 "Flash Drive is in. Floppy drives are usually A: or\nB: and USB drives are "
                 "usually F: or G:");
        QVERIFY(prompter.shown[0].buttons == Prompter::Buttons::Ok &&
                prompter.shown[0].icon == Prompter::Icon::None &&
                prompter.shown[0].title.isEmpty());

        // The folder entry: a cancelled dialog keeps the choice, a chosen folder is taken.
        const int choose = screen.drDrive->count() - 1;
        for (const QString& answer : {QString(), picked + '/'}) {
            picker.answer = answer;
            screen.drDrive->setCurrentIndex(choose);
            emit screen.drDrive->activated(choose);
            QCOMPARE(screen.SelectedDrive(), answer.isEmpty() ? "/media/user/STICK" : picked);
        }
        QCOMPARE(picker.asked, 2);
        // A later showing keeps the picked folder as the choice.
        screen.refreshDrives(volumes);
        QCOMPARE(screen.SelectedDrive(), picked);
    }

    void driveListTakesUserMountsFromTheMountTable()
    {
        // A mount table as the kernel writes it: blanks in a path as \\040.
        const QByteArray table =
            "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
            "23 22 0:5 / /proc rw - proc proc rw\n"
            "24 22 0:6 / /sys rw shared:2 - sysfs sysfs rw\n"
            "25 22 0:7 / /run rw - tmpfs tmpfs rw\n"
            "26 22 8:17 / /media/ann/MY\\040STICK rw,nosuid shared:9 - vfat /dev/sdb1 rw\n"
            "27 22 8:18 / /run/media/ann/CARD rw - exfat /dev/sdc1 rw\n"
            "28 22 0:40 / /home/ann/remote rw - fuse.sshfs host: rw\n"
            "29 22 0:41 / /home/ann/.cache/doc rw - fuse.portal portal rw\n"
            "30 22 0:42 / /mnt rw - nfs server:/x rw\n"
            "31 22 0:43 / /media/ann/MY\\040STICK rw - vfat /dev/sdb1 rw\n"
            "32 22 7:0 / /snap/core/1 ro - squashfs /dev/loop0 ro\n"
            "33 22 0:44 / /home/annex rw - ext4 /dev/sdd1 rw\n"
            "34 22 0:45 / /home/ann/tmp rw - tmpfs tmpfs rw\n"
            "garbage line\n";
        const QList<Volume> volumes = parseMountInfo(table);
        QCOMPARE(volumes.size(), 13);
        QCOMPARE(volumes[4].root, "/media/ann/MY STICK");
        QCOMPARE(volumes[4].type, "vfat");
        QStringList offered;
        for (const DriveEntry& e : driveEntries(volumes, "/home/ann"))
            offered << e.path + (e.removable ? " removable" : "");
        QCOMPARE(offered, (QStringList{"/media/ann/MY STICK removable", "/mnt removable",
                                       "/run/media/ann/CARD removable", "/home/ann/remote"}));
    }

    void driveScreenEscapeAndCloseLeaveWithoutAChoice()
    {
        QTemporaryDir dir;
        const QString inUse = dir.filePath("inuse"), last = dir.filePath("last");
        QVERIFY(test::makeDataDisk(inUse, "KVX", 0) && QDir().mkpath(last));
        session.DataPath = inUse;
        FakeFolderPicker picker;
        prompter.shown.clear();
        frmDriveSelect screen(session, prompter, picker);
        // The last disk used is offered and chosen; the one in use stays on offer, marked.
        screen.setLastFolder(last + '/');
        screen.refreshDrives({});
        QCOMPARE(screen.drDrive->count(), 3);
        QCOMPARE(screen.drDrive->itemText(0), inUse + "  (data disk in use)");
        QCOMPARE(screen.drDrive->currentText(), last);
        QCOMPARE(screen.SelectedDrive(), last);
        for (const bool escape : {true, false}) {
            screen.show();
            QVERIFY(QTest::qWaitForWindowExposed(&screen));
            screen.drDrive->setFocus();
            if (escape)
                QTest::keyClick(screen.drDrive, Qt::Key_Escape);
            else
                screen.close(); // the window's close button
            QVERIFY(!screen.isVisible());
            QCOMPARE(screen.result(), int(QDialog::Rejected));
        }
        QCOMPARE(picker.asked, 0);
        QVERIFY(prompter.shown.isEmpty());
        QCOMPARE(test::unnamedControls(&screen), QStringList());
    }

    void focusChangesMoveNothing()
    {
        Menu m(3);
        m.menu->adjustSize();
        QCoreApplication::processEvents();
        const QSize menuSize = m.menu->size();
        const auto geometries = [&m] {
            QList<QRect> g;
            for (int i = 0; i < 4; ++i)
                g << m.button(i)->geometry() << m.menu->menuChoices()->panel(i)->geometry();
            g << m.menu->fraClient->geometry();
            return g;
        };
        const QList<QRect> before = geometries();
        for (int i = 1; i < 4; ++i) {
            m.button(i)->setFocus();
            QCoreApplication::processEvents();
            QVERIFY(m.button(i)->font().bold());
            QCOMPARE(geometries(), before);
            QCOMPARE(m.menu->sizeHint().width() <= menuSize.width(), true);
        }
        m.menu->lbNameDisplay->setFocus();
        QCoreApplication::processEvents();
        QVERIFY(m.menu->fraClient->font().bold());
        QCOMPARE(geometries(), before);
        QCOMPARE(test::unnamedControls(m.menu), QStringList());
    }

    void commandLineHelpAndVersionNeedNoDisplay()
    {
        auto env = QProcessEnvironment::systemEnvironment();
        for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(var);
        const auto run = [&env](const QStringList& args) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(qEnvironmentVariable("KVX_BUILD_DIR") + "/bin/kvx", args);
            p.waitForFinished(30000);
            return std::tuple{p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
        };
        for (const char* flag : {"--help", "-h"}) {
            const auto [code, out, err] = run({"--no-splash", flag});
            QCOMPARE(code, 0);
            QVERIFY(err.isEmpty());
            QVERIFY(out.startsWith("usage: kvx "));
            for (const char* option : {"--program-dir DIR", "--no-splash", "--exit-when-ready",
                                       "--help", "--version", "exit status:"})
                QVERIFY2(out.contains(option), option);
        }
        const auto [code, out, err] = run({"--version"});
        QCOMPARE(code, 0);
        QVERIFY(out.startsWith("kvx ") && out.endsWith("\n") && err.isEmpty());
    }

    void noRuntimeFolderWarningAtStartUp()
    {
        Start s;
        QVERIFY(test::makeDataDisk(s.path("disk"), "KVX\r\n", 2));
        QVERIFY(test::writeBytes(s.path("kvx.ini"),
                                 "[Path]\nFilePath=" + s.path("disk").toUtf8() + '\n'));
        QProcess p;
        auto env = QProcessEnvironment::systemEnvironment();
        env.remove("XDG_RUNTIME_DIR");
        p.setProcessEnvironment(env);
        p.start(qEnvironmentVariable("KVX_BUILD_DIR") + "/bin/kvx",
                {"--program-dir", s.dir.path(), "--no-splash", "--exit-when-ready"});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        const QByteArray err = p.readAllStandardError();
        QVERIFY2(!err.contains("XDG_RUNTIME_DIR") && !err.contains("QStandardPaths"),
                 err.constData());
    }

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
        s.screens.drives = {s.path("disk")};
        Shell shell(s.session, s.prompter, s.screens);
        QVERIFY(shell.StartUp({s.dir.path(), false, false}));
        QCOMPARE(s.prompter.shown.size(), 3);
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
        QCOMPARE(list->item(2)->text(), "3-Client 3" + QString(17, ' '));
        QCOMPARE(list->item(11)->text(), "12-Client 12" + QString(16, ' '));

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
        // Back into the rebuilt list after line 5 was clicked: the focus makes line 1 current
        // without choosing it; the first arrow key or the space bar chooses it and its client.
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Space}) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(4)).center());
            QCOMPARE(in.session.CurClient, 5);
            in.menu->Activate(); // editing waits for a chosen line again
            QVERIFY(!in.button(0)->isEnabled());
            in.button(3)->setFocus();
            QTest::keyClick(in.button(3), Qt::Key_Tab);
            QTest::keyClick(list, key);
            QTRY_VERIFY(in.button(0)->isEnabled());
            QCOMPARE(in.session.CurClient, 1);
        }
    }

    void exitActsOnEnterOnlyAndAnEmptyListPassesTheFocusOn()
    {
        Menu in(0);
        in.button(3)->setFocus();
        QTest::keyClick(in.button(3), Qt::Key_Tab);
        QVERIFY(in.button(1)->hasFocus());
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
            in.screens.whileOpen = [&](const QString& screen) {
                QVERIFY(in.session.EditMode && !in.session.ScanEditMode &&
                        !in.session.RefreshNames && !in.menu->frMainMenu->isVisible());
                // What the chain changed shows in the list when the menu is back.
                if (screen == "AnswerEntry")
                    QVERIFY(in.session.current().setText(Field::Name, u"Edited Name"));
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
            QCOMPARE(in.menu->lbNameDisplay->item(1)->text().startsWith("2-Edited Name"),
                     opened.size() == 3);
            QVERIFY(!in.session.EditMode && in.session.RefreshNames);
            QVERIFY(in.menu->frMainMenu->isVisible() && !in.button(0)->isEnabled());
            // The keyboard is not left without a focus.
            QTRY_VERIFY(QApplication::focusWidget() && QApplication::focusWidget()->isEnabled() &&
                        QApplication::focusWidget()->isVisible());
        }
    }

    void addNewClientRefreshesTheListAndIsDisabledAtFiftyOne()
    {
        Menu in(50);
        in.session.EditMode = in.session.ScanEditMode = true;
        in.screens.whileOpen = [&](const QString&) {
            QVERIFY(!in.session.EditMode && !in.session.RefreshNames);
            InitNewClient(in.session, QDate(2024, 5, 6));
            QVERIFY(in.session.current().setText(Field::Name, u"New Person"));
            QVERIFY(WriteClient(in.session, in.session.CurClient));
            ++in.session.NumClients;
        };
        QVERIFY(in.button(1)->isEnabled());
        in.button(1)->click();
        QCOMPARE(in.screens.opened, QStringList{"EntryMethod"});
        QVERIFY(!in.session.ScanEditMode && in.session.RefreshNames);
        QCOMPARE(in.menu->lbNameDisplay->count(), 51);
        QVERIFY(in.menu->lbNameDisplay->item(50)->text().startsWith("51-New Person"));
        QVERIFY(!in.button(1)->isEnabled());
    }

    void supervisorOptionsRebuildsTheListAfterNamesAreDeleted()
    {
        Menu in(3);
        in.screens.whileOpen = [&](const QString&) {
            for (int n = 1; n <= 3; ++n)
                in.session.client(n).setRaw(Field::Name, "QXWZ");
            in.session.RefreshNames = true;
        };
        in.button(2)->click();
        QCOMPARE(in.screens.opened, QStringList{"SupervisorOptions"});
        QCOMPARE(in.menu->lbNameDisplay->count(), 3);
        for (int n = 1; n <= 3; ++n)
            QVERIFY(in.menu->lbNameDisplay->item(n - 1)->text().startsWith(
                QString::number(n) + QStringLiteral("-QXWZ")));
    }

    void optionsToggleAndPersist()
    {
        Menu in(1);
        QTimer* keeper = in.menu->timNumLock;
        QVERIFY(QMetaObject::invokeMethod(keeper, "timeout") && keeper->isActive());
        for (bool on : {false, true}) {
            in.menu->mnuOptionsPrintDOS->trigger();
            in.menu->mnuOptionsNumLock->trigger();
            QVERIFY(in.session.PrintDOS == on && in.menu->mnuOptionsPrintDOS->isChecked() == on &&
                    in.menu->mnuOptionsNumLock->isChecked() == on);
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
        QCOMPARE(in.session.DataPath, in.path("other"));
        // Empty disk: the old lines must not stay.
        QCOMPARE(in.menu->lbNameDisplay->count(), 0);

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
