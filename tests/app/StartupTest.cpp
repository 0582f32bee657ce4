#include "DiskFixture.h"
#include "FakeScreens.h"
#include "app/Shell.h"
#include "app/SingleInstance.h"
#include "app/frmAbout.h"
#include "app/frmMainMenu.h"
#include "common/ScriptedPrompter.h"

#include <QAction>
#include <QListWidget>
#include <QMainWindow>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace kvx;
using kvx::test::FakeScreens;
using kvx::test::ScriptedPrompter;
using A = Prompter::Answer;

namespace {

QString kvxProgram()
{
    return qEnvironmentVariable("KVX_BUILD_DIR") + QStringLiteral("/bin/kvx");
}

QStringList texts(const ScriptedPrompter& p)
{
    QStringList t;
    for (const auto& m : p.shown)
        t << m.text;
    return t;
}

const QString kNoInfoA =
    QStringLiteral("No test information found on drive A:, would you like to try another drive?");
const QString kAgain = QStringLiteral("Drive select unsuccessful, would you like to try again?");

} // namespace

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void firstStartWithoutSettings()
    {
        QTemporaryDir dir;
        const QString disk = dir.filePath(QStringLiteral("disk"));
        QVERIFY(test::makeDataDisk(disk, "KVX\r\n", 3));
        Session session;
        ScriptedPrompter prompter;
        prompter.answers = {A::Yes, A::Yes};
        FakeScreens screens(session);
        screens.drives = {disk};
        Shell shell(session, prompter, screens);

        QVERIFY(shell.StartUp({dir.path(), false, false}));

        QCOMPARE(texts(prompter), (QStringList{kNoInfoA, kAgain}));
        QCOMPARE(screens.opened, QStringList{QStringLiteral("DriveSelect")});
        QSettings ini(dir.filePath(QStringLiteral("kvx.ini")), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("Options/SystemDB")).toString(),
                 dir.filePath(QStringLiteral("qelwkg.mda")));
        QCOMPARE(ini.value(QStringLiteral("Path/FilePath")).toString(), disk);
        // Nothing but what start-up and the drive choice write.
        QCOMPARE(ini.allKeys().size(), 2);

        QCOMPARE(session.SoundPath, QStringLiteral("c:"));
        QVERIFY(session.PrintDOS);
        QCOMPARE(session.QuestionDbPath, dir.filePath(QStringLiteral("KVX_32.db")));
        QCOMPARE(session.NumClients, 3);
        QVERIFY(session.RefreshNames);
        QCOMPARE(shell.workspace()->user(), QStringLiteral("admin"));
        QCOMPARE(shell.workspace()->name(), QString());
        QCOMPARE(shell.workspace()->defaults().DefaultUser, QStringLiteral("QELTest"));
        QCOMPARE(shell.workspace()->defaults().DefaultPassword, QStringLiteral("tamvoli"));
        QCOMPARE(shell.workspace()->defaults().IniPath, dir.filePath(QStringLiteral("kvx.ini")));

        frmMainMenu* menu = shell.mainMenu();
        QVERIFY(menu->isVisible());
        QCOMPARE(menu->windowTitle(), QStringLiteral("Kavexa"));
        QVERIFY(menu->mnuOptionsNumLock->isChecked());
        QVERIFY(menu->mnuOptionsPrintDOS->isChecked());
        QCOMPARE(menu->lbNameDisplay->count(), 3);
        QVERIFY(!menu->menuChoices()->button(0)->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
    }

    void noDataDiskEndsStartUp()
    {
        QTemporaryDir dir;
        Session session;
        ScriptedPrompter prompter;
        prompter.answers = {A::No};
        FakeScreens screens(session);
        Shell shell(session, prompter, screens);
        QVERIFY(!shell.StartUp({dir.path(), false, false}));
        QCOMPARE(texts(prompter), QStringList{kNoInfoA});
        QVERIFY(!shell.mainMenu());
        QSettings ini(dir.filePath(QStringLiteral("kvx.ini")), QSettings::IniFormat);
        QVERIFY(ini.contains(QStringLiteral("Options/SystemDB")));
        QVERIFY(!ini.contains(QStringLiteral("Path/FilePath")));
    }

    void splashBrandingAndSettings()
    {
        QTemporaryDir dir;
        const QString disk = dir.filePath(QStringLiteral("disk"));
        QVERIFY(test::makeDataDisk(disk, "KVX", 1));
        QVERIFY(test::writeBytes(dir.filePath(QStringLiteral("kvx.ini")),
                                 "[Path]\nFilePath=" + disk.toUtf8() +
                                     "\nSndPath=  /srv/sound  \n[Settings]\nBrandCode=b\n"
                                     "NumLock=false\nPrintDOS=Truth\n"));
        QVERIFY(test::writeBytes(dir.filePath(QStringLiteral("branding.ini")),
                                 "[Default]\nVendorName=First\n[b]\nVendorName=Second\n"));
        Session session;
        ScriptedPrompter prompter;
        FakeScreens screens(session);
        Shell shell(session, prompter, screens);
        shell.splashTickMs = 1;
        shell.splashCloseTickMs = 5;

        QVERIFY(shell.StartUp({dir.path(), true, false}));
        QVERIFY(prompter.shown.isEmpty());
        QVERIFY(screens.opened.isEmpty());
        QCOMPARE(session.BrandCode, QStringLiteral("b"));
        QCOMPARE(shell.branding().VendorName, QStringLiteral("Second"));
        QCOMPARE(session.SoundPath, QStringLiteral("/srv/sound"));
        QVERIFY(!shell.mainMenu()->mnuOptionsNumLock->isChecked());
        QVERIFY(shell.mainMenu()->mnuOptionsPrintDOS->isChecked());
        // The splash has gone.
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(!(qobject_cast<frmAbout*>(w) && w->isVisible()));
    }

    void aSecondCopyRaisesTheFirst()
    {
        QTemporaryDir dir;
        SingleInstance first(dir.path());
        QVERIFY(first.claim());
        QMainWindow window;
        window.showMinimized();
        QVERIFY(window.isMinimized());
        int asked = 0;
        connect(&first, &SingleInstance::raiseRequested, &window, [&] {
            ++asked;
            window.showNormal();
        });

        QProcess second;
        second.start(kvxProgram(),
                     {QStringLiteral("--program-dir"), dir.path(), QStringLiteral("--no-splash")});
        QVERIFY(second.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 20000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(second.readAllStandardOutput(), QByteArray());
        QCOMPARE(asked, 1);
        QVERIFY(!window.isMinimized());
        // The second copy touched nothing of the installation.
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("kvx.ini"))));
    }

    void aKilledCopyDoesNotBlockTheNext()
    {
        QTemporaryDir dir;
        const QString disk = dir.filePath(QStringLiteral("disk"));
        QVERIFY(test::makeDataDisk(disk, "KVX", 0));
        QVERIFY(test::writeBytes(dir.filePath(QStringLiteral("kvx.ini")),
                                 "[Path]\nFilePath=" + disk.toUtf8() + "\n"));
        QProcess running;
        running.start(kvxProgram(),
                      {QStringLiteral("--program-dir"), dir.path(), QStringLiteral("--no-splash")});
        QVERIFY(running.waitForStarted());
        const SingleInstance probe(dir.path());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(probe.socketPath()), 20000);
        {
            SingleInstance second(dir.path());
            QVERIFY(!second.claim());
        }
        running.kill();
        QVERIFY(running.waitForFinished(10000));
        QVERIFY(QFile::exists(probe.lockPath()));

        SingleInstance next(dir.path());
        QVERIFY(next.claim());
    }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
