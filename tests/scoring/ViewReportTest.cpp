// The report viewer and the batch progress window, driven as real dialogs.
#include "scoring/OutputFixture.h"
#include "scoring/ReportBatchDialog.h"
#include "scoring/frmViewReport.h"

#include "common/ModalDriver.h"
#include "common/ScriptedPrompter.h"

#include <QFontInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

using namespace kvx;
using namespace kvx::test;

class ViewReportTest : public QObject
{
    Q_OBJECT

    struct FakeSaveChooser : SaveFileChooser
    {
        QString ChooseSaveFile(QWidget*, const QString&, const QString& path,
                               const QString&) override
        {
            suggested << path;
            return answer;
        }
        QStringList suggested;
        QString answer; // empty: cancelled
    };

    std::optional<OutputInstall> inst;
    std::optional<ScriptedPrompter> p;
    std::optional<FakeSaveChooser> chooser;

    // Opens the viewer modally, runs action on it, then closes it with "&Close".
    void openViewer(const std::function<void(frmViewReport*)>& action)
    {
        ModalDriver driver;
        driver.onModal<frmViewReport>([&](frmViewReport* v) {
            action(v);
            v->cmdCancel->click();
        });
        frmViewReport(inst->s, *p, *chooser).exec();
        QVERIFY2(driver.failures().isEmpty(), qPrintable(driver.failures().join(u'\n')));
        QVERIFY(driver.allDone());
    }

    // The messages shown, as "title: text".
    QStringList said() const
    {
        QStringList all;
        for (const ScriptedPrompter::Shown& m : p->shown)
            all << m.title + ": " + m.text;
        return all;
    }

private slots:
    void init()
    {
        inst.emplace();
        p.emplace();
        chooser.emplace();
    }

    void showsAFreshReportEachTimeItOpens()
    {
        inst->s.CurClient = 3;
        QStringList seen;
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_PageDown}) {
            if (seen.size() == 2)
                QVERIFY(inst->s.client(3).setText(Field::Name, u"Renamed Client"));
            openViewer([&](frmViewReport* v) {
                seen << v->Text1->toPlainText();
                QVERIFY(QFontInfo(v->Text1->font()).fixedPitch());
                // The scrolling keys go to the report from anywhere.
                v->cmdCancel->setFocus();
                QTest::keyClick(v->cmdCancel, key);
                QVERIFY(v->Text1->hasFocus() &&
                        (key == Qt::Key_Down || v->Text1->verticalScrollBar()->value() > 0));
            });
        }
        QCOMPARE(seen.size(), 3);
        QCOMPARE(seen[0], seen[1]);
        QVERIFY(seen[0].contains("Client 3") && seen[2].contains("Renamed Client"));
        // Scored afresh and shown whole, its last line break too.
        QCOMPARE(seen[2], QString::fromLatin1(inst->report()).replace("\r\n", "\n"));
        QCOMPARE(said(), QStringList());
    }

    void printGoesToTheRawPortOrSaysWhyNot()
    {
        inst->s.PrintDOS = true;
        const QString lp0 = inst->file("lp0"), folder = inst->program.path();
        const std::pair<QString, QStringList> cases[] = {
            {lp0, {}},
            {folder,
             {"Printer Error: The printer device \"" + folder + "\" cannot print: Is a directory"}},
        };
        for (const auto& [device, messages] : cases) {
            QVERIFY(writeBytes(lp0, {}));
            QVERIFY(writeBytes(inst->file("kvx.ini"),
                               "[Settings]\r\nRawPrinter=" + device.toUtf8() + "\r\n"));
            p.emplace();
            QByteArray before;
            openViewer([&](frmViewReport* v) {
                before = inst->report();
                v->cmdPrintReport->click();
            });
            QCOMPARE(said(), messages);
            const QByteArray added = messages.isEmpty() ? "\f\r\n" : "";
            QCOMPARE(readBytes(lp0), added.isEmpty() ? QByteArray() : before + added);
            QCOMPARE(inst->report(), before + added);
        }
    }

    void savesAPdfUnderANameMadeFromTheRecordNumber()
    {
        inst->s.CurClient = 7;
        const QString pdf = inst->file("chosen.pdf");
        chooser->answer = inst->file("chosen");
        openViewer([&](frmViewReport* v) { v->cmdSavePdf->click(); });
        QCOMPARE(chooser->suggested.size(), 1);
        QVERIFY(chooser->suggested[0].endsWith("/client-7-report.pdf"));
        QCOMPARE(pdfPageCount(readBytes(pdf)), inst->report().count('\f') + 1);

        chooser->answer.clear(); // cancelled: nothing written, nothing said
        QVERIFY(QFile::remove(pdf));
        openViewer([&](frmViewReport* v) { v->cmdSavePdf->click(); });
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(said(), QStringList());

        chooser->answer = inst->file("no/such/folder.pdf"); // the writer cannot say why; we do
        openViewer([&](frmViewReport* v) { v->cmdSavePdf->click(); });
        QCOMPARE(said(),
                 QStringList{"Client Report: The report could not be saved as " + chooser->answer +
                             ".\n\n" + chooser->answer + ": No such file or directory"});
    }

    void aReportThatCannotBeMadeCannotBePrinted()
    {
        QVERIFY(QFile::remove(inst->file("KVXB2.TXT")));
        openViewer([&](frmViewReport* v) {
            QVERIFY(v->Text1->toPlainText().isEmpty());
            QVERIFY(!v->cmdPrintReport->isEnabled() && !v->cmdSavePdf->isEnabled());
        });
        QCOMPARE(said().size(), 1);
        QVERIFY(said()[0].startsWith("Client Report: ") && said()[0].contains("KVXB2.TXT"));
    }

    void aBatchShowsItsProgressAndSaysWhyItEndedEarly()
    {
        const auto dialog = [] {
            return qobject_cast<ReportBatchDialog*>(QApplication::activeModalWidget());
        };
        // the printer fails at report k (0: stopped during the first), what is said
        const std::pair<int, QStringList> cases[] = {
            {0, {": Printing was stopped: 1 report of 3 printed."}},
            {2,
             {"Printer Error: Communication to the printer is not found, either turn the printer "
              "online or check your connection and re-try again",
              ": Printing ended early: 1 report of 3 printed."}},
        };
        for (const auto& [failAt, messages] : cases) {
            p.emplace();
            RecordingPrinter printer;
            printer.failAt = failAt;
            QString progress;
            printer.onPrint = [&] {
                QVERIFY(dialog());
                progress = dialog()->lblProgress->text();
                if (failAt == 0)
                    QTest::mouseClick(dialog()->cmdStop, Qt::LeftButton);
            };
            RunReportBatch(inst->s, {2, 5, 7}, printer, *p);
            QCOMPARE(progress, failAt ? "Printing report 2 of 3 (client 5)"
                                      : "Printing report 1 of 3 (client 2)");
            QCOMPARE(said(), messages);
            QVERIFY(!dialog());
        }
    }
};

QTEST_MAIN(ViewReportTest)
#include "ViewReportTest.moc"
