#include "entry/AnswerEntryScreen.h"
#include "entry/frmNewEntry.h"

#include "common/ModalDriver.h"
#include "common/ScriptedPrompter.h"
#include "common/TestSupport.h"
#include "store/DataFile.h"

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

ClientRecord client(const char* name, const QByteArray& answers = QByteArray(kItemCount, '0'))
{
    ClientRecord r;
    (void)r.setText(Field::Name, QString::fromLatin1(name));
    r.setRaw(Field::Answers, answers);
    return r;
}

// A data disk (which can be write-protected) with two clients, loaded into a session.
struct Rig
{
    Rig()
    {
        SetDataPath(s, dir.path());
        QByteArray answers(kItemCount, '0');
        answers[0] = '1';
        answers[1] = '5'; // beyond a True/False item's columns
        answers[2] = ' ';
        answers[3] = '2';
        ok = dir.valid() &&
             writeBytes(s.DataFile, client("Ann Lee", answers).bytes() + client("Bob").bytes()) &&
             ReadAllClients(s).ok();
    }
    void newClient()
    {
        InitNewClient(s, QDate(2024, 3, 5));
        (void)s.current().setText(Field::Name, u"New Person");
        s.EditMode = false;
    }
    void editClient(int n)
    {
        s.CurClient = n;
        s.EditMode = true;
    }
    QByteArray bytes() const { return readBytes(s.DataFile); }
    QByteArray storedAnswers(int n) const
    {
        return ClientRecord::fromBytes(bytes().mid((n - 1) * ClientRecord::Size))
            .raw(Field::Answers);
    }

    ReadOnlyFolder dir;
    Session s;
    ScriptedPrompter p;
    bool ok = false;
};

bool openScreen(QDialog& screen)
{
    screen.show();
    QApplication::setActiveWindow(&screen);
    const bool active = QTest::qWaitForWindowActive(&screen);
    QCoreApplication::processEvents();
    return active;
}

// Each key to whatever has the focus at that moment, with no pause between keys.
void keys(const QString& text)
{
    for (QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

void press(Qt::Key key, int times = 1)
{
    for (int i = 0; i < times; ++i)
        QTest::keyClick(QApplication::focusWidget(), key);
}

void choose(frmNewEntry& f, int button)
{
    QWidget* b = f.menuChoices()->button(button);
    b->setFocus(Qt::TabFocusReason);
    QTest::keyClick(b, Qt::Key_Return);
}

QString text(ResponseGrid* g, int row, int column)
{
    return g->item(row, column)->text();
}

QColor back(ResponseGrid* g, int row, int column)
{
    return g->item(row, column)->background().color();
}

bool rowHighlighted(ResponseGrid* g, int row)
{
    for (int c = 1; c <= g->choices(); ++c) {
        if (back(g, row, c) != kHighlightCyan)
            return false;
    }
    return true;
}

int marks(const frmNewEntry& f)
{
    int n = 0;
    for (ResponseGrid* g : f.grdResponses) {
        for (int r = 0; r < g->rowCount(); ++r)
            for (int c = 1; c < g->columnCount(); ++c)
                n += text(g, r, c) == "X";
    }
    return n;
}

// Two items of each type that has five choices or fewer.
std::vector<GridPlan> fourTypePlan()
{
    return {{0, {1, 2}}, {2, {3, 4}}, {4, {5, 6}}, {5, {7, 8}}};
}

} // namespace

class AnswerEntryScreenTest : public QObject
{
    Q_OBJECT

private slots:
    void aNewClientOpensEmptyAndSavesAllZeros()
    {
        Rig r;
        r.newClient();
        frmNewEntry f(r.s, r.p, StandardGridPlan());
        QVERIFY(r.ok && openScreen(f));
        QCOMPARE(f.windowTitle(), "Offender Responses");
        QVERIFY(f.lblClientName->text().startsWith("New Person"));
        QCOMPARE(f.gridCount(), 4);
        const int columns[] = {3, 5, 3, 5};
        const int rows[] = {94, 41, 10, 10};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(f.lblSection[size_t(i)]->text(), QString("Section %1").arg(i + 1));
            QCOMPARE(f.grid(i)->columnCount(), columns[i]);
            QCOMPARE(f.grid(i)->rowCount(), rows[i]);
            QCOMPARE(f.grid(i)->horizontalHeaderItem(0)->text(), "Num");
        }
        QCOMPARE(text(f.grid(1), 0, 0), "95.");
        QCOMPARE(marks(f), 0);
        // Every control a screen reader meets is named.
        for (QWidget* w : f.findChildren<QWidget*>()) {
            if (!qobject_cast<QLabel*>(w) && !qobject_cast<QAbstractButton*>(w) &&
                !qobject_cast<ResponseGrid*>(w) && w != f.frEntry)
                continue;
            if (!w->isVisible())
                continue;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            QVERIFY2(a && !a->text(QAccessible::Name).isEmpty(), w->metaObject()->className());
        }
        QCOMPARE(QApplication::focusWidget(), f.grid(0));
        QCOMPARE(f.helpLine()->text(), "0=No answer, 1=True, 2=False, Tab=Next grid");
        QVERIFY(rowHighlighted(f.grid(0), 0));

        choose(f, 0);
        QVERIFY(r.s.ScreenAccepted && r.s.RefreshNames);
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QCOMPARE(r.s.NumClients, 3);
        QCOMPARE(r.bytes().size(), 3 * ClientRecord::Size);
        QCOMPARE(r.storedAnswers(3), QByteArray(kItemCount, '0'));
        QVERIFY(r.storedAnswers(3).size() == kItemCount);
    }

    void keysAreLimitedByTheGridsAnswerType()
    {
        struct Case
        {
            int grid;
            char key;
            char stored; // '\0': refused with a beep
        };
        const Case cases[] = {
            {0, '3', 0}, {0, 'a', 0},   {0, '2', '2'}, {1, '5', 0},  {1, '4', '4'},
            {2, '6', 0}, {2, '5', '5'}, {3, '5', '5'}, {3, '\r', 0},
        };
        const QString help4 = "0=No answer, 1=True, 2=Mostly True, 3=Can't Decide, 4=Mostly "
                              "False, 5=False, Tab=Next grid";
        for (const Case& c : cases) {
            Rig r;
            r.newClient();
            frmNewEntry f(r.s, r.p, fourTypePlan());
            QVERIFY(r.ok && openScreen(f));
            // Types 4 and 5 get five answer columns.
            QCOMPARE(f.grid(2)->columnCount(), 6);
            QCOMPARE(f.grid(3)->horizontalHeaderItem(5)->text(), "5");
            press(Qt::Key_Tab, c.grid);
            ResponseGrid* g = f.grid(c.grid);
            QCOMPARE(QApplication::focusWidget(), g);
            if (c.grid == 2)
                QCOMPARE(f.helpLine()->text(), help4);
            const int item = g->itemAt(0);
            QTest::keyClick(g, c.key);
            QCOMPARE(f.answerTable().code(item), c.stored ? c.stored : '0');
            QCOMPARE(r.p.beeps, c.stored ? 0 : 1);
            QCOMPARE(g->currentRow(), c.stored ? 1 : 0);
        }
    }

    void storedCodesShowAndZeroTakesTheMarkAway()
    {
        Rig r;
        r.editClient(1);
        frmNewEntry f(r.s, r.p, StandardGridPlan());
        QVERIFY(r.ok && openScreen(f));
        ResponseGrid* g = f.grid(0);
        // Row 1 is highlighted with its "X" kept; answered rows below are green.
        QCOMPARE(text(g, 0, 1), "X");
        QVERIFY(rowHighlighted(g, 0));
        QCOMPARE(text(g, 3, 2), "X");
        QCOMPARE(back(g, 3, 2), QColor(0, 255, 0));
        QCOMPARE(back(g, 3, 1), kWhite);
        // A "5" on a True/False item and a blank show nothing.
        QCOMPARE(marks(f), 2);
        QTest::keyClick(g, '0');
        QCOMPARE(text(g, 0, 1), QString());
        QCOMPARE(back(g, 0, 1), kWhite);
        QVERIFY(rowHighlighted(g, 1));
        QCOMPARE(r.p.beeps, 0);
        choose(f, 0);
        QVERIFY(r.s.ScreenAccepted);
        QCOMPARE(r.s.NumClients, 2);
        const QByteArray stored = r.storedAnswers(1);
        QCOMPARE(stored.left(5), QByteArray("05 20"));
        QCOMPARE(stored, r.s.client(1).raw(Field::Answers));
    }

    void typingPastSectionOneMovesOnAndUpComesBack()
    {
        Rig r;
        r.newClient();
        frmNewEntry f(r.s, r.p, StandardGridPlan());
        QVERIFY(r.ok && openScreen(f));
        press(Qt::Key_Up); // above the first item
        QCOMPARE(r.p.beeps, 1);
        keys(QString(94, '1'));
        ResponseGrid* one = f.grid(0);
        ResponseGrid* two = f.grid(1);
        QCOMPARE(QApplication::focusWidget(), two);
        QCOMPARE(f.currentGrid(), 1);
        QCOMPARE(two->currentRow(), 0);
        QVERIFY(rowHighlighted(two, 0));
        QCOMPARE(text(one, 93, 1), "X");
        QVERIFY(!rowHighlighted(one, 93));
        QCOMPARE(f.helpLine()->text(), "0=No answer, 1=Rare or Never, 2=Sometimes, 3=Often, "
                                       "4=Very Often or Always, Tab=Next grid");
        press(Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), one);
        QCOMPARE(f.currentGrid(), 0);
        QCOMPARE(one->currentRow(), 93);
        QVERIFY(rowHighlighted(one, 93) && !rowHighlighted(two, 0));
        // The row is scrolled into view.
        const int y = one->rowViewportPosition(93);
        QVERIFY(y >= 0 && y + one->rowHeight(93) <= one->viewport()->height());
        press(Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), two);
        QCOMPARE(f.answerTable().code(95), '0');
        QCOMPARE(r.p.beeps, 1);
    }

    void theLastItemIsStoredWithABeepAndTheRowStays()
    {
        Rig r;
        r.newClient();
        frmNewEntry f(r.s, r.p, StandardGridPlan());
        QVERIFY(r.ok && openScreen(f));
        press(Qt::Key_Tab, 3);
        ResponseGrid* g = f.grid(3);
        QCOMPARE(QApplication::focusWidget(), g);
        press(Qt::Key_Down, 9);
        QCOMPARE(g->currentRow(), 9);
        QCOMPARE(r.p.beeps, 0);
        keys("4");
        QCOMPARE(f.answerTable().code(155), '4');
        QCOMPARE(r.p.beeps, 1);
        QCOMPARE(g->currentRow(), 9);
        QCOMPARE(QApplication::focusWidget(), g);
        QVERIFY(rowHighlighted(g, 9));
        QCOMPARE(text(g, 9, 4), "X");
        press(Qt::Key_Down);
        QCOMPARE(r.p.beeps, 2);
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.menuChoices()->button(0));
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.menuChoices()->button(1));
    }

    void aGridEnteredByAClickTakesTheKeys()
    {
        Rig r;
        r.newClient();
        frmNewEntry f(r.s, r.p, StandardGridPlan());
        QVERIFY(r.ok && openScreen(f));
        ResponseGrid* three = f.grid(2);
        QTest::mouseClick(three->viewport(), Qt::LeftButton, {},
                          three->visualItemRect(three->item(3, 1)).center());
        QCOMPARE(QApplication::focusWidget(), three);
        QCOMPARE(f.currentGrid(), 2);
        QVERIFY(rowHighlighted(three, 3));
        QVERIFY(!rowHighlighted(f.grid(0), 0));
        press(Qt::Key_Down);
        QVERIFY(rowHighlighted(three, 4) && !rowHighlighted(three, 3));
        keys("1");
        QCOMPARE(f.answerTable().code(140), '1');
        QVERIFY(rowHighlighted(three, 5));
        // Tab back round into the first grid: its own row lights up again.
        press(Qt::Key_Tab, 4);
        QCOMPARE(QApplication::focusWidget(), f.grid(0));
        QCOMPARE(f.currentGrid(), 0);
        QVERIFY(rowHighlighted(f.grid(0), 0) && !rowHighlighted(three, 5));
        // Each grid keeps its own place.
        press(Qt::Key_Tab, 2);
        QCOMPARE(three->currentRow(), 5);
        QVERIFY(rowHighlighted(three, 5) && !rowHighlighted(f.grid(0), 0));
    }

    void cancelStoresNothingAndEmptiesANewClient()
    {
        for (const bool edit : {true, false}) {
            for (const bool closeButton : {false, true}) {
                Rig r;
                QVERIFY(r.ok);
                if (edit)
                    r.editClient(2);
                else
                    r.newClient();
                const QByteArray bytes = r.bytes();
                const ClientRecord before = r.s.current();
                const int current = r.s.CurClient;
                r.s.ScreenAccepted = true;
                frmNewEntry f(r.s, r.p, StandardGridPlan());
                QVERIFY(openScreen(f));
                keys("1212");
                if (closeButton)
                    f.close();
                else
                    choose(f, 1);
                QVERIFY(!f.isVisible());
                QVERIFY(!r.s.ScreenAccepted);
                QCOMPARE(r.bytes(), bytes);
                QCOMPARE(r.s.NumClients, 2);
                if (edit) {
                    QCOMPARE(r.s.CurClient, current);
                    QVERIFY(r.s.client(current) == before);
                } else {
                    QCOMPARE(r.s.CurClient, 1);
                    QVERIFY(r.s.client(current) == ClientRecord());
                }
            }
        }
    }

    void allKeysTypedAtFullSpeedLandInOrder()
    {
        Rig r;
        r.newClient();
        frmNewEntry f(r.s, r.p, StandardGridPlan());
        QVERIFY(r.ok && openScreen(f));
        QString typed;
        for (int item = 1; item <= kItemCount; ++item) {
            const int choices = (item <= 94 || (item > 135 && item <= 145)) ? 2 : 4;
            typed += QChar(u'0' + (item * 7) % (choices + 1));
        }
        keys(typed);
        QCOMPARE(r.p.beeps, 1); // the end of the last grid
        QCOMPARE(f.answerTable().answers(), typed.toLatin1());
        choose(f, 0);
        QCOMPARE(r.storedAnswers(3), typed.toLatin1());
    }

    void aFailedWriteKeepsEveryKeyUntilItSucceeds()
    {
        Rig r;
        r.newClient();
        frmNewEntry f(r.s, r.p, StandardGridPlan());
        QVERIFY(r.ok && openScreen(f));
        const ClientRecord before = r.s.current();
        const QByteArray bytes = r.bytes();
        keys("2112");
        QVERIFY(r.dir.makeReadOnly());
        r.p.answers = {Prompter::Answer::Retry, Prompter::Answer::Cancel};
        choose(f, 0);
        QCOMPARE(r.p.shown.size(), 2);
        for (const auto& m : r.p.shown) {
            QCOMPARE(m.title, "Data Disk Error");
            QCOMPARE(m.buttons, Prompter::Buttons::RetryCancel);
        }
        QVERIFY(f.isVisible() && !r.s.ScreenAccepted);
        QCOMPARE(r.s.NumClients, 2);
        QVERIFY(r.s.current() == before);
        QCOMPARE(r.bytes(), bytes);
        QCOMPARE(f.answerTable().answers().left(5), QByteArray("21120"));

        QVERIFY(r.dir.makeWritable());
        choose(f, 0);
        QVERIFY(r.s.ScreenAccepted && !f.isVisible());
        QCOMPARE(r.s.NumClients, 3);
        QCOMPARE(r.storedAnswers(3).left(5), QByteArray("21120"));
    }

    void doubtfulItemsAreMarkedUntilKeyed()
    {
        Rig r;
        r.newClient();
        r.s.ScanEditMode = true;
        QByteArray scanned(kItemCount, '1');
        r.s.current().setRaw(Field::Answers, scanned);
        frmNewEntry f(r.s, r.p, StandardGridPlan(), {140, 17, 64});
        QVERIFY(r.ok && openScreen(f));
        QVERIFY(f.lblDoubtful->isVisible());
        QCOMPARE(f.lblDoubtful->text(), "3 answers need checking: 17, 64, 140");
        // The mark is a colour of its own.
        const QColor doubt = back(f.grid(0), 16, 0);
        for (const QColor& c :
             {kWhite, kHighlightCyan, kBlack, QColor(0, 255, 0), QColor(0, 0, 128)})
            QVERIFY(doubt != c);
        QCOMPARE(back(f.grid(0), 15, 0), kWhite);
        QCOMPARE(back(f.grid(2), 4, 0), doubt);
        QCOMPARE(f.helpLine()->text(), "0=No answer, 1=True, 2=False, Tab=Next grid");
        press(Qt::Key_Down, 16);
        QCOMPARE(f.doubtfulItems().count(), 3); // moving over it is not checking it
        keys("2");
        QCOMPARE(f.lblDoubtful->text(), "2 answers need checking: 64, 140");
        QCOMPARE(back(f.grid(0), 16, 0), kWhite);
        choose(f, 0); // doubts left do not hold the save back
        QVERIFY(r.s.ScreenAccepted);
        scanned[16] = '2';
        QCOMPARE(r.storedAnswers(3), scanned);
    }

    void theInstalledQuestionTableOrTheSectionsBuildTheGrids()
    {
        const QString built = qEnvironmentVariable("KVX_BUILD_DIR") + "/data/KVX_32.db";
        for (const QString& db : {built, QString("/nonexistent/KVX_32.db")}) {
            Rig r;
            r.editClient(1);
            r.s.QuestionDbPath = db;
            QList<int> sizes;
            ModalDriver driver;
            driver.onModal<frmNewEntry>([&](frmNewEntry* f) {
                for (ResponseGrid* g : f->grdResponses)
                    sizes << g->rowCount();
                QTest::keyClick(f->grid(0), '2');
                choose(*f, 0);
            });
            ShowAnswerEntry(r.s, r.p, {}, nullptr);
            QVERIFY2(driver.failures().isEmpty(), qPrintable(driver.failures().join('\n')));
            QCOMPARE(sizes, QList<int>({94, 41, 10, 10}));
            QVERIFY(r.s.ScreenAccepted);
            QCOMPARE(r.storedAnswers(1).left(2), QByteArray("25"));
        }
    }
};

QTEST_MAIN(AnswerEntryScreenTest)
#include "AnswerEntryScreenTest.moc"
