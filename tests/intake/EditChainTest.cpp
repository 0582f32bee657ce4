#include "intake/IntakeScreens.h"
#include "intake/frmClientInfo.h"
#include "intake/frmCourtHistory.h"

#include "common/ModalDriver.h"
#include "common/ScriptedPrompter.h"
#include "intake/IntakeFixture.h"

#include <QTest>

using namespace kvx;
using namespace kvx::test;

// The two intake screens opened one after the other, modally, for an existing client, as the
// main menu's "Edit Current Client" opens them: each hands the client on through the session.
class EditChainTest : public QObject
{
    Q_OBJECT

private slots:
    void bothScreensWriteTheEditedClient()
    {
        Disk disk({sampleClient("Ann"), sampleClient("Bob")});
        QVERIFY(disk.ok());
        disk.s.CurClient = 2;
        disk.s.EditMode = true;
        disk.s.ScanEditMode = false;
        ScriptedPrompter p;
        ModalDriver driver;

        driver.onModal<frmClientInfo>([](frmClientInfo* f) {
            QCoreApplication::processEvents();
            focusOn(f->txtAge);
            type(QStringLiteral("52"));
            press(Qt::Key_Return);
            focusOn(child<QPushButton>(f, "cmdMenuChoice_0"));
            press(Qt::Key_Return);
        });
        ShowClientInformation(disk.s, p, nullptr);
        QVERIFY2(driver.failures().isEmpty(), qPrintable(driver.failures().join(u'\n')));
        QVERIFY(disk.s.ScreenAccepted);

        disk.s.ScreenAccepted = false;
        driver.onModal<frmCourtHistory>([](frmCourtHistory* f) {
            QCoreApplication::processEvents();
            focusOn(f->txtYears);
            type(QStringLiteral("3"));
            press(Qt::Key_Return);
            focusOn(child<QPushButton>(f, "cmdMenuChoice_0"));
            press(Qt::Key_Return);
        });
        ShowCourtHistory(disk.s, p, nullptr);
        QVERIFY2(driver.failures().isEmpty(), qPrintable(driver.failures().join(u'\n')));
        QVERIFY(disk.s.ScreenAccepted);
        QVERIFY(p.shown.isEmpty());

        ClientRecord expected = sampleClient("Bob");
        expected.setRaw(Field::Age, "52");
        expected.setRaw(Field::EditCount, "1");
        expected.setRaw(Field::Years, "3");
        QCOMPARE(disk.bytes(), sampleClient("Ann").bytes() + expected.bytes());
    }
};

QTEST_MAIN(EditChainTest)
#include "EditChainTest.moc"
