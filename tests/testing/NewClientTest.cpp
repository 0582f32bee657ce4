#include "testing/Languages.h"
#include "testing/NewClientChains.h"
#include "testing/QuestionDatabase.h"
#include "testing/frmSelectEntryMethod.h"
#include "testing/frmSelectLanguage.h"

#include "common/Accessibility.h"
#include "common/FakeScreens.h"
#include "common/ScriptedPrompter.h"
#include "common/TestSupport.h"
#include "store/DataFile.h"

#include <QApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

// A data disk with two clients, the second current, and a new client's entry half typed.
struct Rig
{
    Rig()
    {
        SetDataPath(s, dir.path());
        const QByteArray one = ClientRecord().bytes();
        ok = writeBytes(s.DataFile, one + one) && ReadAllClients(s).ok();
        s.CurClient = 3;
        s.current().setRaw(Field::Name, "Typed In");
        s.CurClient = 2;
        disk = readBytes(s.DataFile);
        // Client information makes the new client's entry the current one.
        screens.whileOpen = [this](const QString& screen) {
            if (screen == "ClientInformation")
                s.CurClient = 3;
        };
    }
    QTemporaryDir dir;
    Session s;
    ScriptedPrompter p;
    FakeScreens screens{s};
    QByteArray disk;
    bool ok = false;

    QStringList languages = {"Spanish", "English"};
    QList<bool> languageAccepted; // the language screen's answers; Spanish when accepted
    QList<bool> codes;            // the secret code prompt's answers
    int codeAsked = 0;
    QStringList help;
    bool hidden = false;

    OnScreenSteps steps()
    {
        OnScreenSteps st;
        st.languages = [this]() -> Result<QStringList> { return languages; };
        st.selectLanguage = [this](const QStringList& found) {
            screens.opened << "SelectLanguage:" + found.join(',');
            s.ScreenAccepted = !languageAccepted.isEmpty() && languageAccepted.takeFirst();
            return s.ScreenAccepted ? found.first() : QString();
        };
        st.askSecretCode = [this] {
            ++codeAsked;
            return !codes.isEmpty() && codes.takeFirst();
        };
        st.hideChoices = [this] { hidden = true; };
        st.showHelp = [this](const QString& t) { help << t; };
        return st;
    }
};

QString makeDatabase(const QTemporaryDir& dir, const QStringList& tables)
{
    const QString path = dir.filePath("q.db");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "langs");
        db.setDatabaseName(path);
        db.open();
        for (const QString& t : tables)
            QSqlQuery(db).exec("CREATE TABLE \"" + t + "\" (ID INTEGER)");
        db.close();
    }
    QSqlDatabase::removeDatabase("langs");
    return path;
}

void enterOn(KvxScreen* screen, int button)
{
    QPushButton* b = screen->menuChoices()->button(button);
    b->setFocus(Qt::TabFocusReason);
    QTest::keyClick(b, Qt::Key_Return);
}

} // namespace

class NewClientTest : public QObject
{
    Q_OBJECT

private slots:
    void onScreenChainStopsAtTheFirstScreenNotCompleted_data()
    {
        QTest::addColumn<QList<bool>>("accepted"); // client info, court history, presentation
        QTest::addColumn<QList<bool>>("language");
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<int>("codeAsked");
        const QStringList all = {"ClientInformation", "CourtHistory",
                                 "SelectLanguage:Spanish,English", "Presentation:Spanish"};
        QTest::newRow("client info cancelled")
            << QList<bool>{false} << QList<bool>{} << all.mid(0, 1) << 0;
        QTest::newRow("court cancelled")
            << QList<bool>{true, false} << QList<bool>{} << all.mid(0, 2) << 0;
        QTest::newRow("language cancelled")
            << QList<bool>{true, true} << QList<bool>{false} << all.mid(0, 3) << 0;
        QTest::newRow("test left unfinished")
            << QList<bool>{true, true, false} << QList<bool>{true} << all << 0;
        // Two wrong codes (or cancels) ask again; the third is right.
        QTest::newRow("finished") << QList<bool>{true, true, true} << QList<bool>{true} << all << 3;
    }

    void onScreenChainStopsAtTheFirstScreenNotCompleted()
    {
        QFETCH(QList<bool>, accepted);
        QFETCH(QList<bool>, language);
        QFETCH(QStringList, opened);
        QFETCH(int, codeAsked);
        Rig r;
        QVERIFY(r.ok);
        r.screens.accepted = accepted;
        r.languageAccepted = language;
        r.codes = {false, false, true};
        AdministerTest(r.s, r.p, r.screens, r.steps());
        QCOMPARE(r.screens.opened, opened);
        QCOMPARE(r.codeAsked, codeAsked);
        QCOMPARE(readBytes(r.s.DataFile), r.disk);
        const bool presented = opened.size() == 4;
        QCOMPARE(r.hidden, presented);
        if (presented) {
            QCOMPARE(r.p.shown.size(), 1);
            QCOMPARE(r.p.shown[0].title, kPresentationNoteTitle);
            QCOMPARE(r.p.shown[0].text,
                     QString("The test will begin as soon as you press the Enter key."));
            QCOMPARE(r.help.first(), QString("Press Enter to continue."));
            QCOMPARE(r.help.size(), codeAsked ? 2 : 1);
        } else {
            QVERIFY(r.p.shown.isEmpty());
        }
    }

    void languagesFoundDecideTheLanguageScreen_data()
    {
        QTest::addColumn<QStringList>("tables");
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<QString>("lastOpened");
        QTest::newRow("English only") << QStringList{"ScanItem", "English"}
                                      << QStringList{"English"} << "Presentation:English";
        QTest::newRow("letter case differs")
            << QStringList{"english", "SPANISH"} << QStringList{} << "CourtHistory";
        QTest::newRow("both, database order")
            << QStringList{"Spanish", "Norms", "English"} << QStringList{"Spanish", "English"}
            << "SelectLanguage:Spanish,English";
    }

    void languagesFoundDecideTheLanguageScreen()
    {
        QFETCH(QStringList, tables);
        QFETCH(QStringList, languages);
        QFETCH(QString, lastOpened);
        QTemporaryDir dir;
        const QString db = makeDatabase(dir, tables);
        const Workspace ws(EngineDefaults{}, QString(), QString(), QString());
        const Result<QStringList> found = PresentationLanguages(ws, db);
        QVERIFY(found);
        QCOMPARE(*found, languages);

        Rig r;
        r.languages = languages;
        r.screens.accepted = {true, true};
        AdministerTest(r.s, r.p, r.screens, r.steps());
        QCOMPARE(r.screens.opened.last(), lastOpened);
        if (languages.isEmpty()) {
            // Nothing to present in: told, and the new client is not kept.
            QCOMPARE(r.p.lastText(), kNoLanguageText);
            QCOMPARE(r.s.CurClient, 1);
            QCOMPARE(r.s.client(3), ClientRecord());
            QVERIFY(!r.s.ScreenAccepted);
        }
    }

    void answerSheetChainEndsWithTheGrid()
    {
        for (const QList<bool>& accepted :
             {QList<bool>{false}, QList<bool>{true, false}, QList<bool>{true, true}}) {
            Rig r;
            r.screens.accepted = accepted;
            r.screens.doubtfulSeen = {1};
            EnterFromAnswerSheet(r.s, r.screens);
            const QStringList all = {"ClientInformation", "CourtHistory", "AnswerEntry"};
            QCOMPARE(r.screens.opened, all.mid(0, accepted.count(true) + 1));
            if (accepted.count(true) == 2)
                QVERIFY(r.screens.doubtfulSeen.isEmpty());
        }
    }

    void languageScreenChoosesOrDropsTheNewClient()
    {
        for (const bool closeButton : {false, true}) {
            Rig r;
            r.s.ScreenAccepted = true;
            r.s.CurClient = 3;
            frmSelectLanguage f(r.s, r.p, {"English"});
            f.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f));
            QCOMPARE(f.LanguageCount(), 1);
            QVERIFY2(unnamedControls(&f).isEmpty(), qPrintable(unnamedControls(&f).join(", ")));
            QVERIFY(f.menuChoices()->button(0)->hasFocus());
            QCOMPARE(f.helpLine()->text(), QString("Present in English"));
            QVERIFY(!f.menuChoices()->panel(1)->isVisible() &&
                    !f.menuChoices()->panel(2)->isVisible());
            if (closeButton) {
                f.close();
            } else {
                QTest::keyClick(f.menuChoices()->button(0), Qt::Key_Tab);
                QCOMPARE(f.helpLine()->text(), QString("Cancel presentation"));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            }
            QVERIFY(!f.isVisible() && f.Language().isEmpty() && !r.s.ScreenAccepted);
            QCOMPARE(r.s.CurClient, 1);
            QCOMPARE(r.s.client(3), ClientRecord());
        }
        Rig r;
        frmSelectLanguage f(r.s, r.p, {"Spanish", "English"});
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QTest::keyClick(f.menuChoices()->button(0), Qt::Key_X); // swallowed
        QVERIFY(f.isVisible());
        enterOn(&f, 1);
        QCOMPARE(f.Language(), QString("English"));
        QVERIFY(r.s.ScreenAccepted && r.s.CurClient == 2 && r.s.client(3) != ClientRecord());
    }

    void entryMethodRunsTheChosenChain()
    {
        const QList<QStringList> opened = {
            {"ClientInformation", "CourtHistory", "Presentation:English"},
            {"ClientInformation", "CourtHistory", "AnswerEntry"},
            {"ScanSheet"},
            {}};
        for (int button = 0; button < 4; ++button) {
            Rig r;
            r.screens.accepted = {true, true, true};
            int asked = 0;
            frmSelectEntryMethod f(
                r.s, r.p, r.screens, [] { return Result<QStringList>(QStringList{"English"}); },
                [&] { return ++asked == 2; });
            bool blankDuringChain = false;
            r.screens.whileOpen = [&](const QString&) {
                blankDuringChain = f.fraSelectMethod->isHidden() || !f.fraSelectMethod->isVisible();
            };
            f.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f));
            QCOMPARE(f.windowTitle(), QString("Entry Method"));
            QVERIFY2(unnamedControls(&f).isEmpty(), qPrintable(unnamedControls(&f).join(", ")));
            QVERIFY(!f.lblClientName->isVisible());
            f.menuChoices()->button(button)->setFocus(Qt::TabFocusReason);
            QTest::keyClick(f.menuChoices()->button(button), Qt::Key_Return);
            QVERIFY(!f.isVisible());
            QCOMPARE(r.screens.opened, opened[button]);
            QCOMPARE(asked, button == 0 ? 2 : 0);
            // The choices give way to the blank frame for the test and the scan only.
            QCOMPARE(blankDuringChain, button == 0 || button == 2);
        }
        Rig r;
        frmSelectEntryMethod f(r.s, r.p, r.screens, {}, {});
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.close(); // the close button cancels
        QVERIFY(r.screens.opened.isEmpty() && !f.isVisible());
    }
};

QTEST_MAIN(NewClientTest)
#include "NewClientTest.moc"
