// The report viewer and the batch progress window, driven as real dialogs.
#include "scoring/OutputFixture.h"
#include "scoring/ReportBatchDialog.h"
#include "scoring/frmViewReport.h"

#include "common/ModalDriver.h"
#include "common/ScriptedPrompter.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

const QString kOffline =
    QStringLiteral("Communication to the printer is not found, either turn the printer online or "
                   "check your connection and re-try again");

class FakeSaveChooser : public SaveFileChooser
{
public:
    QString ChooseSaveFile(QWidget*, const QString&, const QString& suggested,
                           const QString&) override
    {
        suggestions << suggested;
        return answer;
    }
    QStringList suggestions;
    QString answer;
};

// A printer for batches: runs a step on each report and fails where told.
class StepPrinter : public ReportPrinter
{
public:
    Status PrintReportFile(const QString&) override
    {
        ++printed;
        if (onPrint)
            onPrint(printed);
        if (failAt == printed)
            return Error{err::DeviceIo, QStringLiteral("offline")};
        return {};
    }
    std::function<void(int)> onPrint;
    int printed = 0;
    int failAt = 0;
};

ReportBatchDialog* batchDialog()
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        if (auto* d = qobject_cast<ReportBatchDialog*>(w); d && d->isVisible())
            return d;
    return nullptr;
}

// The report file's text as the viewer shows it.
QString shownReport(const QByteArray& file)
{
    QString text = QString::fromLatin1(file.left(file.size() - 1));
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}

} // namespace

class ViewReportTest : public QObject
{
    Q_OBJECT

    // Opens the viewer modally, runs action on it, then closes it with "&Close".
    void openViewer(Session& s, Prompter& p, SaveFileChooser& chooser,
                    const std::function<void(frmViewReport*)>& action)
    {
        ModalDriver driver;
        driver.onModal<frmViewReport>([&](frmViewReport* v) {
            action(v);
            child<QPushButton>(v, "cmdCancel")->click();
        });
        frmViewReport viewer(s, p, chooser);
        viewer.exec();
        QVERIFY2(driver.failures().isEmpty(), qPrintable(driver.failures().join(u'\n')));
        QVERIFY(driver.allDone());
    }

private slots:
    void showsTheSameReportEachTimeItOpens()
    {
        OutputInstall inst;
        inst.s.CurClient = 3;
        ScriptedPrompter p;
        FakeSaveChooser chooser;
        QStringList seen;
        for (int i = 0; i < 2; ++i) {
            openViewer(inst.s, p, chooser, [&](frmViewReport* v) {
                QCOMPARE(v->windowTitle(), QStringLiteral("Client Report"));
                QCOMPARE(v->Text1->font().pointSize(), 9);
                QVERIFY(QFontInfo(v->Text1->font()).fixedPitch());
                seen << v->Text1->toPlainText();
            });
        }
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[0], seen[1]);
        QVERIFY(seen[0].contains(QStringLiteral("Client 3")));
        QCOMPARE(seen[0], shownReport(inst.report()));
        QVERIFY(p.shown.isEmpty());
    }

    void scoresTheClientAfreshEachTime()
    {
        OutputInstall inst;
        inst.s.CurClient = 3;
        ScriptedPrompter p;
        FakeSaveChooser chooser;
        QString first, second;
        openViewer(inst.s, p, chooser, [&](frmViewReport* v) { first = v->Text1->toPlainText(); });
        QVERIFY(inst.s.client(3).setText(Field::Name, QStringLiteral("Renamed Client")));
        openViewer(inst.s, p, chooser, [&](frmViewReport* v) { second = v->Text1->toPlainText(); });
        QVERIFY(first.contains(QStringLiteral("Client 3")));
        QVERIFY(second.contains(QStringLiteral("Renamed Client")));
        QVERIFY(inst.report().contains("Renamed Client"));
    }

    void printSendsTheReportToTheRawPort()
    {
        OutputInstall inst;
        inst.s.CurClient = 2;
        inst.s.PrintDOS = true;
        const QString device = inst.file(QStringLiteral("lp0"));
        QVERIFY(writeBytes(device, {}));
        inst.setRawPrinter(device);
        ScriptedPrompter p;
        FakeSaveChooser chooser;
        QByteArray before;
        openViewer(inst.s, p, chooser, [&](frmViewReport* v) {
            before = inst.report();
            v->cmdPrintReport->click();
            QVERIFY(v->isVisible()); // the viewer stays open
        });
        QVERIFY(p.shown.isEmpty());
        QCOMPARE(inst.report(), before + "\f\r\n");
        QCOMPARE(readBytes(device), before + "\f\r\n");
    }

    void printerFailuresAreToldAndLeaveTheReport()
    {
        OutputInstall inst;
        inst.s.CurClient = 2;
        inst.s.PrintDOS = true;
        struct Case
        {
            QString device;
            QString text;
        } cases[] = {
            {inst.file(QStringLiteral("absent/lp0")), kOffline},
            {inst.program.path(),
             QStringLiteral("The printer device \"%1\" cannot print: Is a directory")
                 .arg(inst.program.path())},
        };
        for (const Case& c : cases) {
            inst.setRawPrinter(c.device);
            ScriptedPrompter p;
            FakeSaveChooser chooser;
            QByteArray before;
            openViewer(inst.s, p, chooser, [&](frmViewReport* v) {
                before = inst.report();
                v->cmdPrintReport->click();
            });
            QCOMPARE(p.shown.size(), 1);
            QCOMPARE(p.shown[0].text, c.text);
            QCOMPARE(p.shown[0].title, QStringLiteral("Printer Error"));
            QCOMPARE(inst.report(), before);
        }
    }

    void savesAPdfUnderANameMadeFromTheRecordNumber()
    {
        OutputInstall inst;
        inst.s.CurClient = 7;
        ScriptedPrompter p;
        FakeSaveChooser chooser;
        const QString target = inst.file(QStringLiteral("chosen"));
        chooser.answer = target;
        QString help;
        openViewer(inst.s, p, chooser, [&](frmViewReport* v) {
            v->cmdSavePdf->click();
            help = v->findChild<QLabel*>(QStringLiteral("MsgPanel"))->text();
        });
        QCOMPARE(chooser.suggestions.size(), 1);
        QVERIFY(chooser.suggestions[0].endsWith(QStringLiteral("/client-7-report.pdf")));
        QVERIFY(!chooser.suggestions[0].contains(QStringLiteral("Client")));
        const QByteArray pdf = readBytes(target + QStringLiteral(".pdf"));
        QVERIFY(pdf.startsWith("%PDF"));
        QCOMPARE(pdfPageCount(pdf), static_cast<int>(inst.report().count('\f')) + 1);
        QVERIFY(help.contains(QStringLiteral("chosen.pdf")));
        QVERIFY(p.shown.isEmpty());

        // Cancelled: nothing written, nothing said.
        chooser.answer.clear();
        QVERIFY(QFile::remove(target + QStringLiteral(".pdf")));
        openViewer(inst.s, p, chooser, [&](frmViewReport* v) { v->cmdSavePdf->click(); });
        QVERIFY(!QFile::exists(target + QStringLiteral(".pdf")));
        QVERIFY(p.shown.isEmpty());
    }

    void scrollKeysGoToTheReport()
    {
        OutputInstall inst;
        inst.s.CurClient = 1;
        ScriptedPrompter p;
        FakeSaveChooser chooser;
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_PageDown}) {
            openViewer(inst.s, p, chooser, [&](frmViewReport* v) {
                v->cmdCancel->setFocus();
                QTest::keyClick(v->cmdCancel, key);
                QVERIFY(v->Text1->hasFocus());
                if (key == Qt::Key_PageDown)
                    QVERIFY(v->Text1->verticalScrollBar()->value() > 0);
            });
        }
    }

    void aReportThatCannotBeMadeCannotBePrinted()
    {
        OutputInstall inst;
        inst.s.CurClient = 2;
        QVERIFY(QFile::remove(inst.file(QStringLiteral("KVXB2.TXT"))));
        ScriptedPrompter p;
        FakeSaveChooser chooser;
        openViewer(inst.s, p, chooser, [&](frmViewReport* v) {
            QVERIFY(v->Text1->toPlainText().isEmpty());
            QVERIFY(!v->cmdPrintReport->isEnabled());
            QVERIFY(!v->cmdSavePdf->isEnabled());
        });
        QCOMPARE(p.shown.size(), 1);
        QVERIFY(p.shown[0].text.contains(QStringLiteral("KVXB2.TXT")));
        QCOMPARE(p.shown[0].title, QStringLiteral("Client Report"));
    }

    void aStoppedBatchPrintsNothingMoreAndSaysHowMany()
    {
        OutputInstall inst;
        ScriptedPrompter p;
        StepPrinter printer;
        QString progress;
        printer.onPrint = [&](int n) {
            ReportBatchDialog* d = batchDialog();
            QVERIFY(d);
            if (n == 1) {
                progress = d->lblProgress->text();
                QTest::mouseClick(d->cmdStop, Qt::LeftButton);
            }
        };
        const BatchOutcome out = RunReportBatch(inst.s, {2, 5, 7}, printer, p);
        QCOMPARE(progress, QStringLiteral("Printing report 1 of 3 (client 2)"));
        QCOMPARE(printer.printed, 1);
        QVERIFY(out.stopped);
        QCOMPARE(p.shown.size(), 1);
        QCOMPARE(p.shown[0].text, QStringLiteral("Printing was stopped: 1 report of 3 printed."));
        QVERIFY(!batchDialog());
    }

    void aPrinterFailureInABatchIsTold()
    {
        OutputInstall inst;
        ScriptedPrompter p;
        StepPrinter printer;
        printer.failAt = 2;
        const BatchOutcome out = RunReportBatch(inst.s, {2, 5, 7}, printer, p);
        QCOMPARE(out.printed, 1);
        QCOMPARE(printer.printed, 2);
        QCOMPARE(p.shown.size(), 2);
        QCOMPARE(p.shown[0].text, kOffline);
        QCOMPARE(p.shown[0].title, QStringLiteral("Printer Error"));
        QCOMPARE(p.shown[1].text, QStringLiteral("Printing ended early: 1 report of 3 printed."));
    }
};

QTEST_MAIN(ViewReportTest)
#include "ViewReportTest.moc"
