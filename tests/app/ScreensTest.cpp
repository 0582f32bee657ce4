#include "AppFixtures.h"
#include "app/frmAbout.h"
#include "app/frmDriveSelect.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

using namespace kvx;

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

QStringList entryTexts(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

} // namespace

class ScreensTest : public QObject
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
        for (const QString v : {"/ ext4", "/media/user/STICK vfat STICK", "/home ext4",
                                "/mnt/floppy vfat", "?/media/user/EMPTY vfat",
                                "/snap/core/1 squashfs", "/run/user/0 tmpfs", "/boot/efi vfat"})
            volumes.append({v.section(' ', 0, 0).remove('?'), v.section(' ', 2),
                            v.section(' ', 1, 1).toLatin1(), !v.startsWith('?')});
        frmDriveSelect screen(session, prompter, picker);
        screen.refreshDrives(volumes);
        QCOMPARE(entryTexts(screen.drDrive),
                 (QStringList{inUse + "  (data disk in use)", "/media/user/STICK  [STICK]",
                              "/mnt/floppy", "/", "/home", "Choose a folder..."}));

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
};

QTEST_MAIN(ScreensTest)
#include "ScreensTest.moc"
