// The selective printing screen driven with keys over seven clients, printing into a recorder
// or a PDF file.
#include "supervisor/PrintList.h"
#include "supervisor/frmPrintSelected.h"

#include "common/Accessibility.h"
#include "common/ScreenKeys.h"
#include "common/ScriptedPrompter.h"
#include "scoring/OutputFixture.h"
#include "scoring/ReportBatchDialog.h"
#include "scoring/ReportPrint.h"

#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

using namespace kvx;
using namespace kvx::test;

namespace {

// The client of a printed report, from its "Client n" name.
QStringList clientsIn(const QList<QByteArray>& reports)
{
    static const QRegularExpression name(QStringLiteral("Client \\d+"));
    QStringList found;
    for (const QByteArray& r : reports)
        found << name.match(QString::fromLatin1(r)).captured();
    return found;
}

QPushButton* menuButton(frmPrintSelected& f, int i)
{
    return f.menuChoices()->button(i);
}

void press(QWidget* w, Qt::Key key)
{
    QTest::keyClick(w, key);
    QCoreApplication::processEvents();
}

} // namespace

class PrintSelectedTest : public QObject
{
    Q_OBJECT

    std::optional<OutputInstall> inst;
    ScriptedPrompter p;

private slots:
    void init()
    {
        inst.emplace();
        p = ScriptedPrompter();
    }

    void theListAndTheInstructionsAreAsStaffReadThem()
    {
        const QStringList lines = PrintSelectedInstructions().split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 18); // 17 lines, the last one ended too
        QVERIFY(lines.last().isEmpty() && !lines.join(QString()).contains(u'\n'));
        QCOMPARE(lines[7], QStringLiteral("  of view, they are still selected "));
        QCOMPARE(lines[9], QStringLiteral("- Click the \"Select All\" button to "));
        QCOMPARE(lines[11], QStringLiteral("- Click the \"Print Selected\" button "));
        QCOMPARE(lines[14], QStringLiteral("- Click the \"Return to Main Menu\" "));

        RecordingPrinter printer;
        frmPrintSelected f(inst->s, p, printer);
        QVERIFY(openScreen(f));
        QCOMPARE(unnamedControls(&f).join(u","), QString());
        QCOMPARE(f.lbNameDisplay->count(), 7);
        QCOMPARE(f.lbNameDisplay->item(6)->text(),
                 QStringLiteral("7-Client 7") + QString(17, u' '));
        QCOMPARE(f.lbNameDisplay->currentRow(), 0);
        QVERIFY(f.lbNameDisplay->selectedItems().isEmpty() && f.lbNameDisplay->hasFocus());
        QCOMPARE(f.helpLine()->text(),
                 QStringLiteral("Use up or down arrow keys or mouse to select client."));
    }

    // Lines 4 and 2 chosen with the space bar (in that order) print as 2 then 4.
    void chosenLinesPrintInListOrder()
    {
        RecordingPrinter printer;
        frmPrintSelected f(inst->s, p, printer);
        QVERIFY(openScreen(f));
        QListWidget* list = f.lbNameDisplay;
        for (Qt::Key k : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Space, Qt::Key_Up,
                          Qt::Key_Up, Qt::Key_Space})
            press(list, k);
        QCOMPARE(list->selectedItems().size(), 2);
        menuButton(f, 0)->setFocus();
        QCOMPARE(f.helpLine()->text(), QStringLiteral("Print selected client reports"));
        press(menuButton(f, 0), Qt::Key_Return);
        QCOMPARE(clientsIn(printer.printed), (QStringList{"Client 2", "Client 4"}));
        QCOMPARE(printer.finished, 1);
        QCOMPARE(inst->s.CurClient, 4);
        QVERIFY(!f.isVisible());
        QCOMPARE(p.said(), QStringList());
    }

    void selectAllPrintsEveryClientIntoOnePdf()
    {
        const QString pdf = inst->file("all.pdf");
        PdfReportPrinter printer(pdf);
        frmPrintSelected f(inst->s, p, printer);
        QVERIFY(openScreen(f));
        press(menuButton(f, 1), Qt::Key_Return);
        QVERIFY(f.isVisible());
        QCOMPARE(f.lbNameDisplay->selectedItems().size(), 7);
        QString progress;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            if (auto* d = qobject_cast<ReportBatchDialog*>(QApplication::activeModalWidget()))
                progress = d->lblProgress->text();
        });
        poll.start(0);
        press(menuButton(f, 0), Qt::Key_Return);
        QCOMPARE(printer.reportCount(), 7);
        QCOMPARE(inst->s.CurClient, 7);
        QVERIFY(pdfPageCount(readBytes(pdf)) >= 7);
        QVERIFY2(progress.contains(QStringLiteral("of 7")), qPrintable(progress));
    }

    // The batch window's Stop ends the batch between reports, and says how far it got.
    void aStoppedBatchSaysSo()
    {
        RecordingPrinter printer;
        printer.onPrint = [] {
            auto* d = qobject_cast<ReportBatchDialog*>(QApplication::activeModalWidget());
            QVERIFY(d);
            QTest::mouseClick(d->cmdStop, Qt::LeftButton);
        };
        frmPrintSelected f(inst->s, p, printer);
        QVERIFY(openScreen(f));
        for (int row : {1, 4, 6})
            f.lbNameDisplay->item(row)->setSelected(true);
        press(menuButton(f, 0), Qt::Key_Return);
        QCOMPARE(p.said(), QStringList{": Printing was stopped: 1 report of 3 printed."});
        QCOMPARE(clientsIn(printer.printed), QStringList{"Client 2"});
        QVERIFY(!f.isVisible());
    }

    // Arrowed to a name but nothing chosen: told so, the screen stays, nothing printed.
    void printingWithNothingSelectedSaysSo()
    {
        RecordingPrinter printer;
        frmPrintSelected f(inst->s, p, printer);
        QVERIFY(openScreen(f));
        press(f.lbNameDisplay, Qt::Key_Down);
        press(menuButton(f, 0), Qt::Key_Return);
        QCOMPARE(p.said(), QStringList{"Print Selected Reports: No client is selected for "
                                       "printing.\nPress the space bar on a name, or click it, "
                                       "to select it."});
        QVERIFY(f.isVisible() && f.lbNameDisplay->hasFocus() && printer.printed.isEmpty());
        press(f.lbNameDisplay, Qt::Key_Space);
        press(menuButton(f, 0), Qt::Key_Return);
        QCOMPARE(clientsIn(printer.printed), QStringList{"Client 2"});
        QVERIFY(!f.isVisible());
    }

    void printSelectedNeedsACurrentLine()
    {
        RecordingPrinter printer;
        frmPrintSelected f(inst->s, p, printer);
        QVERIFY(openScreen(f));
        press(f.lbNameDisplay, Qt::Key_Space);
        QVERIFY(menuButton(f, 0)->isEnabled());
        f.lbNameDisplay->setCurrentRow(-1);
        QVERIFY(!menuButton(f, 0)->isEnabled());
        press(f.lbNameDisplay, Qt::Key_Down);
        QVERIFY(menuButton(f, 0)->isEnabled());
        // Leaving prints nothing, whatever was chosen.
        menuButton(f, 2)->setFocus();
        QCOMPARE(f.helpLine()->text(), QStringLiteral("Cancel selections and printing."));
        press(menuButton(f, 2), Qt::Key_Return);
        QVERIFY(!f.isVisible() && printer.printed.isEmpty());

        inst->s.NumClients = 0;
        frmPrintSelected empty(inst->s, p, printer);
        QVERIFY(openScreen(empty));
        QCOMPARE(empty.lbNameDisplay->count(), 0);
        QVERIFY(!menuButton(empty, 0)->isEnabled());
        // An empty list hands the focus on.
        QVERIFY(!empty.lbNameDisplay->hasFocus());
        QVERIFY(menuButton(empty, 2)->hasFocus());
        QVERIFY(printer.printed.isEmpty());
    }
};

QTEST_MAIN(PrintSelectedTest)
#include "PrintSelectedTest.moc"
