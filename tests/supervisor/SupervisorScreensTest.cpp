// The input box and the supervisor options screen, driven as real dialogs.
#include "scoring/OutputFixture.h"
#include "scoring/ReportPrint.h"
#include "supervisor/SecretCode.h"
#include "supervisor/frmMyInputBox.h"
#include "supervisor/frmSupervisorOptions.h"

#include "common/Accessibility.h"
#include "common/FakeScreens.h"
#include "common/ModalDriver.h"
#include "common/ScreenKeys.h"
#include "common/ScriptedPrompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

class SupervisorScreensTest : public QObject
{
    Q_OBJECT

    std::optional<OutputInstall> inst;
    std::optional<ScriptedPrompter> p;
    std::optional<FakeScreens> screens;
    int printersMade = 0;
    QString pdf;

    std::unique_ptr<frmSupervisorOptions> makeOptions()
    {
        return std::make_unique<frmSupervisorOptions>(inst->s, *p, *screens, [this] {
            ++printersMade;
            return std::make_unique<PdfReportPrinter>(pdf);
        });
    }

private slots:
    void init()
    {
        inst.emplace();
        p.emplace();
        screens.emplace(inst->s);
        printersMade = 0;
        pdf = inst->file(QStringLiteral("all.pdf"));
    }

    void inputBoxLimitsRefusesAndAsksForInput()
    {
        for (const bool password : {false, true}) {
            frmMyInputBox box(inst->s, *p);
            box.setInputLength(25);
            box.setPasswordInput(password);
            box.setHelpMessage(QStringLiteral("Type the name."));
            box.setWindowTitle(QStringLiteral("Client Name"));
            QVERIFY(openScreen(box));
            QCOMPARE(box.lblHelpMsg->text(), QStringLiteral("Type the name."));
            QCOMPARE(unnamedControls(&box).join(u";"), QString());
            QCOMPARE(box.txtInput->echoMode(), password ? QLineEdit::Password : QLineEdit::Normal);

            // Enter leads to "Information OK"; empty, it asks for input and the box stays.
            press(Qt::Key_Return);
            QVERIFY(box.menuChoices()->button(0)->hasFocus() && box.isVisible());
            press(Qt::Key_Return);
            QCOMPARE(p->shown.size(), 1);
            QCOMPARE(p->shown[0].title, QStringLiteral("Input required"));
            QCOMPARE(p->lastText(), password ? QStringLiteral("Please enter the required password.")
                                             : QStringLiteral("Please enter the required data."));
            QVERIFY(box.isVisible() && box.txtInput->hasFocus());

            // 26 typed, 25 kept; a character the disk cannot hold and a control character are
            // refused with a beep.
            QTest::keyClicks(box.txtInput, QString(26, u'a'));
            QCOMPARE(box.txtInput->text(), QString(25, u'a'));
            box.txtInput->setText(QStringLiteral("Ann"));
            box.txtInput->insert(QStringLiteral("\u03a9"));
            box.txtInput->insert(QStringLiteral("\x01"));
            QCOMPARE(p->beeps, 2);
            QCOMPARE(box.txtInput->text(), QStringLiteral("Ann"));

            box.menuChoices()->button(0)->click();
            QCOMPARE(box.result(), int(QDialog::Accepted));
            QCOMPARE(box.InputValue(), QStringLiteral("Ann"));
            QVERIFY(!box.Cancelled() && !box.PasswordInput());
            p->shown.clear();
            p->beeps = 0;
        }
    }

    void inputBoxCancelAndCloseButtonLeaveTheValue()
    {
        for (const bool closeButton : {false, true}) {
            frmMyInputBox box(inst->s, *p);
            box.setPasswordInput(true);
            QVERIFY(openScreen(box));
            QTest::keyClicks(box.txtInput, QStringLiteral("secret"));
            if (closeButton)
                box.close();
            else
                box.menuChoices()->button(1)->click();
            QVERIFY(!box.isVisible() && box.Cancelled() && !box.PasswordInput());
            QCOMPARE(box.InputValue(), QString());
        }
    }

    // As the secret code opens it: the prompt is given before the box is shown.
    void inputBoxFitsItsPromptAndShowsAsterisks()
    {
        frmMyInputBox box(inst->s, *p);
        box.setHelpMessage(kSecretCodePrompt);
        box.setPasswordInput(true);
        QVERIFY(openScreen(box));
        const QLabel* prompt = box.lblHelpMsg;
        QVERIFY(prompt->height() >= prompt->heightForWidth(prompt->width()));
        const QPushButton* ok = box.menuChoices()->button(0);
        QVERIFY(ok->height() >= ok->minimumSizeHint().height());
        QTest::keyClicks(box.txtInput, QStringLiteral("kvx"));
        QCOMPARE(box.txtInput->displayText(), QStringLiteral("***"));
    }

    // A caller's help message is the label above the text box, the caption is the window's.
    void inputBoxShowsTheCallersRequest()
    {
        InputBoxRequest ask;
        ask.caption = QStringLiteral("Client Name Input");
        ask.helpMessage = QStringLiteral("Enter the name of client.");
        test::ModalDriver driver;
        driver.onModal<frmMyInputBox>([](frmMyInputBox* box) {
            QCOMPARE(box->windowTitle(), QStringLiteral("Client Name Input"));
            QCOMPARE(box->lblHelpMsg->text(), QStringLiteral("Enter the name of client."));
            QCOMPARE(box->txtInput->maxLength(), 25);
            QTest::keyClicks(box->txtInput, QStringLiteral("Ann Lee"));
            box->menuChoices()->button(0)->click();
        });
        QCOMPARE(ShowInputBox(inst->s, *p, ask, nullptr), std::optional<QString>(u"Ann Lee"_qs));
        QVERIFY(driver.allDone() && driver.failures().isEmpty());
    }

    // The centred button row keeps its place while the focus moves along it.
    void menuButtonsStayPutWhenFocused()
    {
        auto screen = makeOptions();
        QVERIFY(openScreen(*screen));
        MenuChoices* menu = screen->menuChoices();
        const QRect before[2] = {menu->panel(0)->geometry(), menu->panel(1)->geometry()};
        for (int i : {0, 1, 0}) {
            menu->button(i)->setFocus(Qt::TabFocusReason);
            QCoreApplication::processEvents();
            QCOMPARE(menu->panel(0)->geometry(), before[0]);
            QCOMPARE(menu->panel(1)->geometry(), before[1]);
        }
    }

    // A tab's shortcut taken while a print option has the focus: the focus goes where the
    // keys can act, never stays on the page just hidden.
    void aTabShortcutLeavesTheFocusOnScreen()
    {
        auto screen = makeOptions();
        QVERIFY(openScreen(*screen));
        for (const auto& [key, tab] :
             {std::pair{Qt::Key_D, int(frmSupervisorOptions::DeleteNamesTab)},
              std::pair{Qt::Key_V, int(frmSupervisorOptions::VerifyTab)}}) {
            screen->sstSupervisorOperations->setCurrentIndex(frmSupervisorOptions::ReportsTab);
            screen->optPrintOption[0]->setFocus(Qt::TabFocusReason);
            QVERIFY(screen->optPrintOption[0]->hasFocus());
            QTest::keyClick(screen.get(), key, Qt::AltModifier);
            QCOMPARE(screen->sstSupervisorOperations->currentIndex(), tab);
            QTRY_COMPARE(QApplication::focusWidget(), screen->menuChoices()->button(0));
        }
    }

    void tabsShowTheirClientAndKeepTheChosenOption()
    {
        inst->s.CurClient = 2;
        auto screen = makeOptions();
        QVERIFY(openScreen(*screen));
        QCOMPARE(screen->lblNameDisplay->text(), inst->s.client(2).text(Field::Name));
        QVERIFY(screen->optPrintOption[0]->isChecked());
        QVERIFY(!screen->chkSumPage->isChecked());
        for (int tab = 2; tab >= 0; --tab) {
            screen->sstSupervisorOperations->setCurrentIndex(tab);
            QCOMPARE(unnamedControls(screen.get()).join(u";"), QString());
        }

        screen->optPrintOption[2]->click();
        screen->chkSumPage->click();
        QVERIFY(inst->s.SummaryPage);
        QTabWidget* tabs = screen->sstSupervisorOperations;
        tabs->setCurrentIndex(frmSupervisorOptions::DeleteNamesTab);
        QCOMPARE(screen->lblNameDisplay->text(), QStringLiteral("All Clients"));
        QCOMPARE(screen->helpLine()->text(),
                 QStringLiteral("Click Execute to perform delete names operation."));
        tabs->setCurrentIndex(frmSupervisorOptions::VerifyTab);
        QCOMPARE(screen->lblNameDisplay->text(), inst->s.client(2).text(Field::Name));
        QCOMPARE(screen->helpLine()->text(),
                 QStringLiteral("Click Execute to perform data verification."));
        tabs->setCurrentIndex(frmSupervisorOptions::ReportsTab);
        QCOMPARE(screen->lblNameDisplay->text(), inst->s.client(2).text(Field::Name));
        QVERIFY(screen->optPrintOption[2]->isChecked());
        QCOMPARE(screen->helpLine()->text(), QString());

        // The tab control taking the focus on a tab with nothing to choose passes it on.
        tabs->setCurrentIndex(frmSupervisorOptions::VerifyTab);
        screen->menuChoices()->button(1)->setFocus(Qt::TabFocusReason);
        tabs->tabBar()->setFocus(Qt::TabFocusReason);
        QVERIFY(screen->sspTabs->palette().color(QPalette::Window) == kHighlightCyan);
        QTRY_VERIFY(screen->menuChoices()->button(0)->hasFocus());

        // Leaving by the window's close button is "Go to Main Menu".
        screen->close();
        QVERIFY(!inst->s.SummaryPage);
        QVERIFY(screens->opened.isEmpty());
    }

    void emptyDiskAndEmptyDatabase()
    {
        inst->s.NumClients = 0;
        inst->s.CurClient = 0;
        auto screen = makeOptions();
        QCOMPARE(screen->exec(), int(QDialog::Rejected));
        QCOMPARE(p->shown.size(), 1);
        QCOMPARE(p->shown[0].title, QStringLiteral("Empty Data Disk"));
        QCOMPARE(p->shown[0].icon, Prompter::Icon::Information);
        QCOMPARE(
            p->lastText(),
            QStringLiteral("There are no clients on this data disk.\nReturning to main menu."));

        // Clients gone while the screen is up: each tab says so and does nothing.
        const QStringList titles{"Print Report", "Verify Data", "Delete Names"};
        for (int tab = 0; tab < 3; ++tab) {
            init();
            auto open = makeOptions();
            QVERIFY(openScreen(*open));
            open->sstSupervisorOperations->setCurrentIndex(tab);
            inst->s.NumClients = 0;
            open->menuChoices()->button(0)->click();
            QVERIFY(!open->isVisible());
            QCOMPARE(p->shown.size(), 1);
            QCOMPARE(p->shown[0].title, titles[tab]);
            QCOMPARE(p->lastText(),
                     QStringLiteral("Database empty.\nCannot perform this function."));
            QVERIFY(screens->opened.isEmpty());
        }
    }

    void eachTabOpensItsActionAWrongCodePrintsNothing()
    {
        const QString code = QStringLiteral("InputBox:Secret Code");
        const QStringList wrong(3, code); // "q", "kk", then cancelled
        // {tab, print option, what opens}; only printing asks for the code.
        const QList<std::tuple<int, int, QStringList>> cases{{0, 0, {code, "ViewReport"}},
                                                             {0, 1, {code, "PrintSelected"}},
                                                             {1, 0, {"Verify"}},
                                                             {2, 0, {}},
                                                             {0, 0, wrong},
                                                             {0, 1, wrong},
                                                             {0, 2, wrong}};
        for (const auto& [tab, option, opened] : cases) {
            init();
            auto screen = makeOptions();
            QVERIFY(openScreen(*screen));
            screen->optPrintOption[static_cast<size_t>(option)]->click();
            screen->sstSupervisorOperations->setCurrentIndex(tab);
            if (opened == wrong)
                screens->inputs = {QStringLiteral("q"), QStringLiteral("kk"), std::nullopt};
            else
                screens->inputs = {QStringLiteral("K")};
            p->answers = {Prompter::Answer::No};
            screen->menuChoices()->button(0)->click();
            QCOMPARE(screens->opened, opened);
            const QString said = p->shown.isEmpty() ? QString() : p->shown[0].title;
            QCOMPARE(said, tab == 2          ? QStringLiteral("WARNING!")
                           : opened == wrong ? QStringLiteral("Secret Code")
                                             : QString());
            QCOMPARE(printersMade, 0);
            QVERIFY(!QFile::exists(inst->file(kReportFileName)) && !screen->isVisible());
        }
    }

    void printAllOfThreeClientsToPdf()
    {
        for (const bool summary : {false, true}) {
            init();
            inst->s.NumClients = 3;
            inst->s.CurClient = 2;
            auto screen = makeOptions();
            QVERIFY(openScreen(*screen));
            screen->optPrintOption[2]->click();
            if (summary)
                screen->chkSumPage->click();
            screens->inputs = {QStringLiteral("k")};
            screen->menuChoices()->button(0)->click();
            QCOMPARE(printersMade, 1);
            QCOMPARE(inst->s.CurClient, 1);
            QVERIFY(!inst->s.SummaryPage);
            QVERIFY2(p->shown.isEmpty(), qPrintable(p->lastText()));

            QProcess text;
            text.start(QStringLiteral("pdftotext"),
                       {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
            QVERIFY(text.waitForFinished(30000) && text.exitCode() == 0);
            const QString all = QString::fromUtf8(text.readAllStandardOutput());
            // Each report complete (its last line, once more on its summary copy), in record
            // order, and no others.
            QCOMPARE(all.count(QStringLiteral("Scored by the KVX test program")), summary ? 6 : 3);
            QCOMPARE(all.count(QStringLiteral("ONE-PAGE SUMMARY")), summary ? 3 : 0);
            const qsizetype c1 = all.indexOf(u"Client 1"), c2 = all.indexOf(u"Client 2"),
                            c3 = all.indexOf(u"Client 3");
            QVERIFY(c1 >= 0 && c1 < c2 && c2 < c3);
            QVERIFY(!all.contains(u"Client 4"));
            QVERIFY(all.lastIndexOf(u"Client 1") < c2);
        }
    }
};

QTEST_MAIN(SupervisorScreensTest)
#include "SupervisorScreensTest.moc"
