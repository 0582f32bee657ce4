// The verification screen driven with keys, as the supervisor uses it, on a real data disk.
#include "entry/frmVerify.h"

#include "common/Accessibility.h"
#include "common/ScriptedPrompter.h"
#include "common/TestSupport.h"
#include "store/DataFile.h"

#include <QApplication>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

// Every code of each section, "0" (no answer) among them.
QByteArray storedAnswers()
{
    QByteArray a(kItemCount, '0');
    for (int i = 1; i <= kItemCount; ++i) {
        const bool threeCodes = i <= 94 || (i > 135 && i <= 145);
        a[i - 1] = static_cast<char>('0' + (i * 7) % (threeCodes ? 3 : 5));
    }
    return a;
}

ClientRecord client(const QByteArray& name, const QByteArray& answers = storedAnswers())
{
    ClientRecord r;
    r.setRaw(Field::Name, name);
    r.setRaw(Field::Answers, answers);
    r.setRaw(Field::EditCount, "2");
    return r;
}

// Three clients on a disk that can be write-protected; the second is verified.
struct Rig
{
    Rig()
    {
        SetDataPath(s, dir.path());
        ok = dir.valid() && writeBytes(s.DataFile, disk()) && ReadAllClients(s).ok();
        s.CurClient = 2;
        f.emplace(s, p);
        f->show();
    }
    // The disk with the second client's answers as given.
    static QByteArray disk(const QByteArray& answers = storedAnswers())
    {
        return client("Ann").bytes() + client("Bob", answers).bytes() + client("Cy").bytes();
    }
    QByteArray bytes() const { return readBytes(s.DataFile); }

    ReadOnlyFolder dir;
    Session s;
    ScriptedPrompter p;
    bool ok = false;
    std::optional<frmVerify> f;
};

void keyAll(Rig& r, const QByteArray& keys)
{
    for (char c : keys)
        QTest::keyClick(r.f->txtCurQuestion, c);
}

// The stored answers with item 5 keyed as "1" (stored: "2").
QByteArray fifthDiffers()
{
    return QByteArray(storedAnswers()).replace(4, 1, "1");
}

const QString kNoCorrections =
    QStringLiteral("Data Verification.: Data Verification complete. No corrections needed.");
const QString kCorrectionsDue = QStringLiteral(
    "Data Corrections: Data Correction needed. Please correct the following questions.");
const QString kComplete = QStringLiteral("Data Verification: Data Verification complete.");

} // namespace

class VerifyScreenTest : public QObject
{
    Q_OBJECT

private slots:
    void theStoredAnswersKeyedBackLeaveTheRecordAsItWas()
    {
        Rig r;
        QVERIFY(r.ok);
        QCOMPARE(unnamedControls(r.f.operator->()).join(u","), QString());
        QCOMPARE(r.f->lblCurQuestion->text(), QStringLiteral("Question #1"));
        QCOMPARE(r.f->helpLine()->text(), QStringLiteral("Enter response data from answer "
                                                         "sheet. Press Backspace for previous "
                                                         "question."));
        keyAll(r, storedAnswers());
        QCOMPARE(r.p.said(), QStringList{kNoCorrections});
        QCOMPARE(r.f->result(), int(QDialog::Accepted));
        QCOMPARE(r.bytes(), Rig::disk());
        QCOMPARE(r.p.beeps, 0);
    }

    void aDifferingItemIsAskedAgainAndWhatIsKeyedThereIsStored()
    {
        Rig r;
        QVERIFY(r.ok);
        keyAll(r, fifthDiffers());
        QCOMPARE(r.p.said(), QStringList{kCorrectionsDue});
        QCOMPARE(r.f->lblCurQuestion->text(), QStringLiteral("Question #5"));
        QVERIFY(r.f->Frame1->isHidden() && r.f->isVisible());
        keyAll(r, "50"); // "5" still refused
        QCOMPARE(r.p.beeps, 1);
        QCOMPARE(r.p.said(), (QStringList{kCorrectionsDue, kComplete}));
        QVERIFY(!r.f->isVisible());
        const QByteArray stored = QByteArray(storedAnswers()).replace(4, 1, "0");
        QCOMPARE(r.bytes(), Rig::disk(stored));
        QCOMPARE(r.s.client(2).raw(Field::Answers), stored);
    }

    void refusedKeysBeepAndBackspaceStopsAtTheFirstQuestion()
    {
        Rig r;
        QVERIFY(r.ok);
        keyAll(r, "1");
        QVERIFY(r.f->Frame1->isVisibleTo(r.f.operator->()));
        QCOMPARE(r.f->txtPrevQuestion->text(), QStringLiteral("1"));
        for (int beeps : {0, 1}) {
            QTest::keyClick(r.f->txtCurQuestion, Qt::Key_Backspace);
            QCOMPARE(r.p.beeps, beeps);
            QCOMPARE(r.f->lblCurQuestion->text(), QStringLiteral("Question #1"));
            QVERIFY(r.f->Frame1->isHidden() && r.f->txtPrevQuestion->text().isEmpty());
        }
        keyAll(r, storedAnswers().left(93));
        // key, beeps after it, the question then
        const std::tuple<char, int, QString> steps[] = {
            {'3', 2, QStringLiteral("Question #94")}, {'5', 3, QStringLiteral("Question #94")},
            {'x', 4, QStringLiteral("Question #94")}, {'2', 4, QStringLiteral("Question #95")},
            {'5', 5, QStringLiteral("Question #95")}, {'3', 5, QStringLiteral("Question #96")},
        };
        for (const auto& [c, beeps, label] : steps) {
            QTest::keyClick(r.f->txtCurQuestion, c);
            QCOMPARE(r.p.beeps, beeps);
            QCOMPARE(r.f->lblCurQuestion->text(), label);
        }
        QCOMPARE(r.f->lblPrevQuestion->text(), QStringLiteral("Question #95"));
        QCOMPARE(r.f->txtPrevQuestion->text(), QStringLiteral("3"));
        QVERIFY(r.p.shown.isEmpty());
    }

    // The window neither grows nor jumps when the previous question comes and goes.
    void theScreenKeepsItsSizeAsThePreviousQuestionComesAndGoes()
    {
        Rig r;
        QVERIFY(r.ok && QTest::qWaitForWindowExposed(r.f.operator->()));
        const QRect shown = r.f->geometry();
        for (const int key : {int(Qt::Key_1), int(Qt::Key_Backspace)}) {
            QTest::keyClick(r.f->txtCurQuestion, Qt::Key(key));
            QCoreApplication::processEvents();
            QCOMPARE(r.f->geometry(), shown);
        }
    }

    // Cancel by its button (Enter on it) or by the window's close button, in either pass.
    void cancellingStoresNothing()
    {
        for (const bool correctionPass : {false, true}) {
            for (const bool closeButton : {false, true}) {
                Rig r;
                QVERIFY(r.ok);
                QApplication::setActiveWindow(r.f.operator->());
                keyAll(r, correctionPass ? fifthDiffers() : storedAnswers().left(40));
                if (closeButton) {
                    r.f->close();
                } else {
                    r.f->cmdCancel->setFocus();
                    QCOMPARE(r.f->helpLine()->text(),
                             QStringLiteral("Press Enter to Cancel Data Verification and return "
                                            "to Main Menu"));
                    QTest::keyClick(r.f->cmdCancel, Qt::Key_Return);
                }
                QVERIFY(!r.f->isVisible());
                QCOMPARE(r.f->result(), int(QDialog::Rejected));
                QCOMPARE(r.p.said(), correctionPass ? QStringList{kCorrectionsDue} : QStringList{});
                QCOMPARE(r.bytes(), Rig::disk());
                QCOMPARE(r.s.client(2), client("Bob"));
            }
        }
    }

    void aFailedWriteKeepsEveryKeyAndIsRetried()
    {
        Rig r;
        QVERIFY(r.ok);
        keyAll(r, fifthDiffers());
        QVERIFY(r.dir.makeReadOnly());
        r.p.shown.clear();
        r.p.answers = {Prompter::Answer::Retry, Prompter::Answer::Cancel};
        keyAll(r, "0");
        QCOMPARE(r.p.shown.size(), 2);
        for (const auto& m : r.p.shown)
            QVERIFY(m.title == "Data Disk Error" && m.buttons == Prompter::Buttons::RetryCancel);
        // Given up: no success told, still at the corrected item, memory as on the disk.
        QVERIFY(r.f->isVisible());
        QCOMPARE(r.f->lblCurQuestion->text(), QStringLiteral("Question #5"));
        QCOMPARE(r.f->verification().keyed(5), '0');
        QCOMPARE(r.s.client(2), client("Bob"));
        QCOMPARE(r.bytes(), Rig::disk());
        // Keyed again, the disk seen to while the message is up: Retry writes it.
        r.p.shown.clear();
        r.p.onMessage = [&r](const ScriptedPrompter::Shown&) { r.dir.makeWritable(); };
        keyAll(r, "1");
        QCOMPARE(r.p.said().size(), 2);
        QCOMPARE(r.p.said().last(), kComplete);
        QVERIFY(!r.f->isVisible());
        QCOMPARE(r.bytes(), Rig::disk(fifthDiffers()));
    }
};

QTEST_MAIN(VerifyScreenTest)
#include "VerifyScreenTest.moc"
