#include "DiskFixture.h"
#include "app/frmAbout.h"
#include "app/frmDriveSelect.h"
#include "common/ModalDriver.h"
#include "common/ScriptedPrompter.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace kvx;
using kvx::test::ModalDriver;
using kvx::test::ScriptedPrompter;

namespace {

// Answers the folder dialog from a queue and counts how often it was asked.
class FakeFolderPicker : public FolderPicker
{
public:
    QString PickFolder(QWidget*, const QString&) override
    {
        ++asked;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QStringList answers;
    int asked = 0;
};

Branding sampleBranding()
{
    Branding b;
    b.VendorName = QStringLiteral("Sample Vendor");
    b.VendorWeb = QStringLiteral("www.sample.test");
    b.VendorEmail = QStringLiteral("mail@sample.test");
    b.Rights = QStringLiteral("All rights kept.");
    b.Phone = QStringLiteral("555 0100");
    return b;
}

QStringList entryTexts(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

} // namespace

class AboutAndDriveScreenTest : public QObject
{
    Q_OBJECT

private slots:
    void theWipeEndsAfterTenTicks()
    {
        frmAbout about(sampleBranding(), true, nullptr, 1);
        QSignalSpy done(&about, &frmAbout::fadeFinished);
        about.show();
        about.waitForFade();
        QVERIFY(about.FadeDone());
        QCOMPARE(about.wipeTicks(), 10);
        QCOMPARE(about.bandHeight(0), 60);
        QCOMPARE(done.count(), 1);
        for (QFrame* band : about.Picture2)
            QVERIFY(band->isHidden());
        QVERIFY(!about.Timer1->isActive());
    }

    void bandsShrinkFromTheTopBandDown()
    {
        frmAbout about(sampleBranding(), true, nullptr, 1000);
        about.show();
        for (int tick = 1; tick <= 9; ++tick) {
            QVERIFY(QMetaObject::invokeMethod(about.Timer1, "timeout"));
            for (int b = 0; b < 6; ++b)
                QCOMPARE(about.bandHeight(b), 560 - 50 * tick);
            QVERIFY(!about.FadeDone());
            QVERIFY(about.Picture2[0]->isVisible());
        }
        QVERIFY(QMetaObject::invokeMethod(about.Timer1, "timeout"));
        QVERIFY(about.FadeDone());
    }

    void splashClosesAfterFourMoreTicks()
    {
        frmAbout splash(sampleBranding(), true, nullptr, 1, 5);
        splash.show();
        splash.waitForFade();
        QSignalSpy ticks(&splash, &frmAbout::fadeFinished);
        splash.closeSplash();
        QCOMPARE(ticks.count(), 4);
        QVERIFY(!splash.isVisible());
        QCOMPARE(splash.wipeTicks(), 10);
    }

    void splashAndAboutModes()
    {
        frmAbout splash(sampleBranding(), true);
        QCOMPARE(splash.windowTitle(), QStringLiteral("Initializing..."));
        QVERIFY(splash.cmdOK->isHidden());
        QVERIFY(splash.sspMenuChoice->isHidden());

        frmAbout about(sampleBranding(), false);
        QCOMPARE(about.windowTitle(), QStringLiteral("About KVX"));
        QCOMPARE(about.cmdOK->text(), QStringLiteral("OK"));
        QVERIFY(!about.cmdOK->isHidden());
        QCOMPARE(about.sspMenuChoice->palette().color(QPalette::Window), kHighlightCyan);
        QCOMPARE(about.pnlTitle->text(), QStringLiteral("Kavexa v4.01"));
        QCOMPARE(about.SSPanel1->text(), QStringLiteral("Sample Vendor"));
        QCOMPARE(about.SSPanel4->text(), QStringLiteral("www.sample.test"));
        QCOMPARE(about.SSPanel5->text(), QStringLiteral("mail@sample.test"));
        QCOMPARE(about.SSPanel2->text(), QStringLiteral("All rights kept."));
        QCOMPARE(about.SSPanel3->text(), QStringLiteral("555 0100"));

        ModalDriver driver;
        driver.onModal<frmAbout>([](frmAbout* d) {
            QTest::keyClick(d->cmdOK, Qt::Key_A); // letters do nothing
            QVERIFY(d->isVisible());
            QTest::keyClick(d->cmdOK, Qt::Key_Return);
        });
        QCOMPARE(about.exec(), int(QDialog::Accepted));
        QVERIFY2(driver.failures().isEmpty(), qPrintable(driver.failures().join(u'\n')));
    }

    void removableVolumesComeFirst()
    {
        const QList<Volume> volumes = {
            {QStringLiteral("/"), {}, "ext4", true},
            {QStringLiteral("/media/user/STICK"), QStringLiteral("STICK"), "vfat", true},
            {QStringLiteral("/home"), {}, "ext4", true},
            {QStringLiteral("/mnt/floppy"), {}, "vfat", true},
            {QStringLiteral("/media/user/EMPTY"), {}, "vfat", false},
            {QStringLiteral("/snap/core/1"), {}, "squashfs", true},
            {QStringLiteral("/run/user/0"), {}, "tmpfs", true},
            {QStringLiteral("/boot/efi"), {}, "vfat", true},
        };
        QStringList paths;
        QStringList labels;
        for (const DriveEntry& e : driveEntries(volumes)) {
            paths << e.path;
            labels << e.label;
        }
        QCOMPARE(paths,
                 (QStringList{QStringLiteral("/media/user/STICK"), QStringLiteral("/mnt/floppy"),
                              QStringLiteral("/"), QStringLiteral("/home")}));
        QCOMPARE(labels.first(), QStringLiteral("/media/user/STICK  [STICK]"));
    }

    void driveScreenChoices()
    {
        QTemporaryDir dir;
        const QString inUse = dir.filePath(QStringLiteral("inuse"));
        const QString picked = dir.filePath(QStringLiteral("picked"));
        QVERIFY(test::makeDataDisk(inUse, "KVX", 0));
        QVERIFY(QDir().mkpath(picked));
        Session session;
        session.DataPath = inUse;
        ScriptedPrompter prompter;
        FakeFolderPicker picker;
        const QList<Volume> volumes = {{QStringLiteral("/"), {}, "ext4", true},
                                       {QStringLiteral("/media/u/KEY"), {}, "vfat", true}};
        frmDriveSelect screen(session, prompter, picker);
        screen.refreshDrives(volumes);
        QCOMPARE(screen.windowTitle(), QStringLiteral("Please select a drive"));
        QCOMPARE(
            screen.Label1->text(),
            QStringLiteral(" Choose the drive associated with the data disk. (Usually A: or E:)"));
        QCOMPARE(entryTexts(screen.drDrive),
                 (QStringList{inUse + QStringLiteral("  (data disk in use)"),
                              QStringLiteral("/media/u/KEY"), QStringLiteral("/"),
                              QStringLiteral("Choose a folder...")}));

        // Done with the list untouched: its current entry.
        ModalDriver driver;
        driver.onModal<frmDriveSelect>([](frmDriveSelect* d) { d->cmdDone->click(); });
        screen.exec();
        QCOMPARE(screen.SelectedDrive(), inUse);

        // Help, then a move down the list.
        driver.onModal<frmDriveSelect>([](frmDriveSelect* d) {
            d->cmdhelp->click();
            d->drDrive->setFocus();
            QTest::keyClick(d->drDrive, Qt::Key_Down);
            QTest::keyClick(d->cmdDone, Qt::Key_Space);
        });
        screen.exec();
        QCOMPARE(screen.SelectedDrive(), QStringLiteral("/media/u/KEY"));
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown[0].text,
                 QStringLiteral("Use the dropdown box to select the drive that the floppy data \n"
                                "diskette or USB Flash Drive is in. Floppy drives are usually A: "
                                "or\nB: and USB drives are usually F: or G:"));
        QCOMPARE(prompter.shown[0].buttons, Prompter::Buttons::Ok);
        QCOMPARE(prompter.shown[0].icon, Prompter::Icon::None);
        QCOMPARE(prompter.shown[0].title, QString());

        // The folder entry: a cancelled dialog keeps the choice, a chosen folder is taken.
        const int choose = screen.drDrive->count() - 1;
        screen.drDrive->setCurrentIndex(choose);
        emit screen.drDrive->activated(choose);
        QCOMPARE(picker.asked, 1);
        QCOMPARE(screen.SelectedDrive(), QStringLiteral("/media/u/KEY"));
        picker.answers = {picked + u'/'};
        screen.drDrive->setCurrentIndex(choose);
        emit screen.drDrive->activated(choose);
        QCOMPARE(picker.asked, 2);
        QCOMPARE(screen.SelectedDrive(), picked);

        // A later showing keeps both the choice and the picked folder.
        screen.refreshDrives(volumes);
        QCOMPARE(screen.SelectedDrive(), picked);
        QVERIFY(entryTexts(screen.drDrive).contains(picked));
        QVERIFY2(driver.failures().isEmpty(), qPrintable(driver.failures().join(u'\n')));
    }
};

QTEST_MAIN(AboutAndDriveScreenTest)
#include "AboutAndDriveScreenTest.moc"
