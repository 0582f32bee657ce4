#include "entry/AnswerEntryScreen.h"
#include "entry/frmNewEntry.h"

#include "common/ModalDriver.h"
#include "common/ScreenKeys.h"
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

// A data disk (which can be write-protected) with two clients, loaded into a session. Client 1
// has the answers "15 2" and then "0"s: a "5" beyond a True/False item's columns, a blank.
struct Rig
{
    Rig()
    {
        SetDataPath(s, dir.path());
        QByteArray disk;
        for (const QByteArray& answers : {"15 2" + QByteArray(kItemCount - 4, '0'), QByteArray()}) {
            ClientRecord c;
            c.setRaw(Field::Answers, answers.leftJustified(kItemCount, '0'));
            disk += c.bytes();
        }
        ok = dir.valid() && writeBytes(s.DataFile, disk) && ReadAllClients(s).ok();
    }
    void newClient()
    {
        InitNewClient(s, QDate(2024, 3, 5));
        (void)s.current().setText(Field::Name, u"New Person");
    }
    void editClient(int n) { s.CurClient = n, s.EditMode = true; }
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

// Each key to whatever has the focus at that moment, with no pause between keys.
void keys(const QString& text)
{
    for (QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
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
    for (ResponseGrid* g : f.grdResponses)
        for (int r = 0; r < g->rowCount(); ++r)
            for (int c = 1; c < g->columnCount(); ++c)
                n += text(g, r, c) == "X";
    return n;
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
        const int columns[] = {3, 5, 3, 5}, rows[] = {94, 41, 10, 10};
        QCOMPARE(f.gridCount(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(f.lblSection[size_t(i)]->text(), QString("Section %1").arg(i + 1));
            QCOMPARE(f.grid(i)->columnCount(), columns[i]);
            QCOMPARE(f.grid(i)->rowCount(), rows[i]);
        }
        QCOMPARE(text(f.grid(1), 0, 0), "95.");
        QCOMPARE(marks(f), 0);
        for (QWidget* w : f.findChildren<QWidget*>()) {
            if (w->isVisible() && (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
                                   qobject_cast<ResponseGrid*>(w))) {
                QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
                QVERIFY2(a && !a->text(QAccessible::Name).isEmpty(), qPrintable(w->objectName()));
            }
        }
        QCOMPARE(QApplication::focusWidget(), f.grid(0));
        QCOMPARE(f.helpLine()->text(), "0=No answer, 1=True, 2=False, Tab=Next grid");
        QVERIFY(rowHighlighted(f.grid(0), 0));
        choose(f, 0);
        QVERIFY(r.s.ScreenAccepted && r.s.RefreshNames && !f.isVisible());
        QCOMPARE(r.s.NumClients, 3);
        QCOMPARE(r.storedAnswers(3), QByteArray(kItemCount, '0'));
    }

    void keysAreLimitedByTheGridsAnswerType()
    {
        // grid, key, code stored ('\0': refused with a beep); grids of types 0, 2, 4, 5.
        const std::tuple<int, char, char> cases[] = {
            {0, '3', 0}, {0, 'a', 0},   {0, '2', '2'}, {1, '5', 0},  {1, '4', '4'},
            {2, '6', 0}, {2, '5', '5'}, {3, '5', '5'}, {3, '\r', 0},
        };
        for (const auto& [index, key, stored] : cases) {
            Rig r;
            r.newClient();
            frmNewEntry f(r.s, r.p, {{0, {1, 2}}, {2, {3, 4}}, {4, {5, 6}}, {5, {7, 8}}});
            QVERIFY(r.ok && openScreen(f));
            QCOMPARE(f.grid(2)->columnCount(), 6); // five answer columns
            QCOMPARE(f.grid(3)->horizontalHeaderItem(5)->text(), "5");
            for (int i = 0; i < index; ++i)
                press(Qt::Key_Tab);
            ResponseGrid* g = f.grid(index);
            QCOMPARE(QApplication::focusWidget(), g);
            QCOMPARE(f.helpLine()->text(), EntryHelpText(g->answerType()));
            QTest::keyClick(g, key);
            QCOMPARE(f.answerTable().code(g->itemAt(0)), stored ? stored : '0');
            QCOMPARE(r.p.beeps, stored ? 0 : 1);
            QCOMPARE(g->currentRow(), stored ? 1 : 0);
        }
    }

    void storedCodesShowAndZeroTakesTheMarkAway()
    {
        Rig r;
        r.editClient(1);
        frmNewEntry f(r.s, r.p, StandardGridPlan());
        QVERIFY(r.ok && openScreen(f));
        ResponseGrid* g = f.grid(0);
        QCOMPARE(text(g, 0, 1), "X"); // kept visible on the highlighted row
        QCOMPARE(text(g, 3, 2), "X");
        QCOMPARE(back(g, 3, 2), QColor(0, 255, 0));
        QCOMPARE(back(g, 3, 1), kWhite);
        QCOMPARE(marks(f), 2); // a "5" on a True/False item and a blank show nothing
        QTest::keyClick(g, '0');
        QCOMPARE(text(g, 0, 1), QString());
        QCOMPARE(back(g, 0, 1), kWhite);
        QVERIFY(rowHighlighted(g, 1));
        choose(f, 0);
        QVERIFY(r.s.ScreenAccepted);
        QCOMPARE(r.s.NumClients, 2);
        QCOMPARE(r.storedAnswers(1).left(5), QByteArray("05 20"));
    }

    void keysAtFullSpeedCrossTheGridsAndEndWithABeep()
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
        press(Qt::Key_Up); // above the first item
        QCOMPARE(r.p.beeps, 1);
        keys(typed.left(94));
        ResponseGrid *one = f.grid(0), *two = f.grid(1), *four = f.grid(3);
        QCOMPARE(QApplication::focusWidget(), two);
        QCOMPARE(f.currentGrid(), 1);
        QVERIFY(rowHighlighted(two, 0) && !rowHighlighted(one, 93));
        press(Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), one);
        QCOMPARE(one->currentRow(), 93);
        QVERIFY(rowHighlighted(one, 93) && !rowHighlighted(two, 0));
        const int y = one->rowViewportPosition(93); // scrolled into view
        QVERIFY(y >= 0 && y + one->rowHeight(93) <= one->viewport()->height());
        press(Qt::Key_Down);
        keys(typed.mid(94));
        QCOMPARE(r.p.beeps, 2); // the last item is stored with a beep, and the row stays
        QCOMPARE(QApplication::focusWidget(), four);
        QCOMPARE(four->currentRow(), 9);
        QVERIFY(rowHighlighted(four, 9));
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.menuChoices()->button(0));
        press(Qt::Key_Return);
        QCOMPARE(r.storedAnswers(3), typed.toLatin1());
    }

    void theFocusedGridTakesTheKeysAndKeepsItsPlace()
    {
        Rig r;
        r.newClient();
        frmNewEntry f(r.s, r.p, StandardGridPlan());
        QVERIFY(r.ok && openScreen(f));
        ResponseGrid* three = f.grid(2);
        QTest::mouseClick(three->viewport(), Qt::LeftButton, {},
                          three->visualItemRect(three->item(3, 1)).center());
        QCOMPARE(f.currentGrid(), 2);
        QVERIFY(rowHighlighted(three, 3) && !rowHighlighted(f.grid(0), 0));
        press(Qt::Key_Down);
        keys("1");
        QCOMPARE(f.answerTable().code(140), '1');
        QVERIFY(rowHighlighted(three, 5) && !rowHighlighted(three, 4));
        for (int i = 0; i < 4; ++i) // round to the first grid, then back to the third
            press(Qt::Key_Tab);
        QCOMPARE(f.currentGrid(), 0);
        QVERIFY(rowHighlighted(f.grid(0), 0) && !rowHighlighted(three, 5));
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        QCOMPARE(f.currentGrid(), 2);
        QVERIFY(rowHighlighted(three, 5) && !rowHighlighted(f.grid(0), 0));
    }

    void cancelStoresNothingAndEmptiesANewClient()
    {
        for (const bool edit : {true, false}) {
            for (const bool closeButton : {false, true}) {
                Rig r;
                edit ? r.editClient(2) : r.newClient();
                const QByteArray bytes = r.bytes();
                const ClientRecord before = r.s.current();
                const int current = r.s.CurClient;
                frmNewEntry f(r.s, r.p, StandardGridPlan());
                QVERIFY(r.ok && openScreen(f));
                keys("1212");
                closeButton ? (void)f.close() : choose(f, 1);
                QVERIFY(!f.isVisible() && !r.s.ScreenAccepted);
                QCOMPARE(r.bytes(), bytes);
                QCOMPARE(r.s.NumClients, 2);
                QCOMPARE(r.s.CurClient, edit ? current : 1);
                QVERIFY(r.s.client(current) == (edit ? before : ClientRecord()));
            }
        }
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
        QVERIFY(f.isVisible() && !r.s.ScreenAccepted && r.s.current() == before);
        QCOMPARE(r.s.NumClients, 2);
        QCOMPARE(r.bytes(), bytes);
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
        const QColor doubt = back(f.grid(0), 16, 0); // a colour of its own
        for (const QColor& c :
             {kWhite, kHighlightCyan, kBlack, QColor(0, 255, 0), QColor(0, 0, 128)})
            QVERIFY(doubt != c);
        QCOMPARE(back(f.grid(0), 15, 0), kWhite);
        QCOMPARE(back(f.grid(2), 4, 0), doubt);
        for (int i = 0; i < 16; ++i)
            press(Qt::Key_Down);
        QCOMPARE(f.doubtfulItems().count(), 3); // passing over it is not checking it
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
