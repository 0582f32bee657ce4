// The verification screen driven with keys, as the supervisor uses it, on a real data disk.
#include "entry/frmVerify.h"

#include "common/ScriptedPrompter.h"
#include "common/TestSupport.h"
#include "store/DataFile.h"

#include <QApplication>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

QByteArray storedAnswers()
{
    QByteArray a(kItemCount, '0');
    for (int i = 1; i <= kItemCount; ++i) {
        const bool threeCodes = i <= 94 || (i > 135 && i <= 145);
        a[i - 1] = static_cast<char>('0' + (i * 7) % (threeCodes ? 3 : 5));
    }
    return a;
}

ClientRecord client(const QByteArray& name)
{
    ClientRecord r;
    r.setRaw(Field::Name, name);
    r.setRaw(Field::Age, "41");
    r.setRaw(Field::Answers, storedAnswers());
    r.setRaw(Field::EditCount, "2");
    r.setRaw(Field::NameDeleted, "0");
    return r;
}

// Three clients on a disk that can be write-protected; the second is verified.
struct Rig
{
    Rig()
    {
        SetDataPath(s, dir.path());
        const QByteArray bytes =
            client("Ann").bytes() + client("Bob").bytes() + client("Cy").bytes();
        ok = dir.valid() && writeBytes(s.DataFile, bytes) && ReadAllClients(s).ok();
        s.CurClient = 2;
    }
    QByteArray bytes() const { return readBytes(s.DataFile); }

    ReadOnlyFolder dir;
    Session s;
    ScriptedPrompter p;
    bool ok = false;
};

void key(frmVerify& f, char c)
{
    QTest::keyClick(f.txtCurQuestion, c);
}

void keyAll(frmVerify& f, const QByteArray& keys)
{
    for (char c : keys)
        key(f, c);
}

QStringList said(const ScriptedPrompter& p)
{
    QStringList all;
    for (const auto& m : p.shown)
        all << m.title + ": " + m.text;
    return all;
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
        const QByteArray before = r.bytes();
        frmVerify f(r.s, r.p);
        f.show();
        QCOMPARE(f.windowTitle(), QStringLiteral("Test Data Input Verification"));
        QCOMPARE(f.lblCurQuestion->text(), QStringLiteral("Question #1"));
        QVERIFY(f.Frame1->isHidden());
        QCOMPARE(f.helpLine()->text(), QStringLiteral("Enter response data from answer sheet. "
                                                      "Press Backspace for previous question."));
        keyAll(f, storedAnswers());
        QCOMPARE(said(r.p), QStringList{kNoCorrections});
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QCOMPARE(r.bytes(), before);
        QCOMPARE(r.p.beeps, 0);
    }

    void aDifferingItemIsAskedAgainAndWhatIsKeyedThereIsStored()
    {
        Rig r;
        QVERIFY(r.ok);
        frmVerify f(r.s, r.p);
        f.show();
        QByteArray keys = storedAnswers();
        keys[4] = '1'; // stored: '2'
        keyAll(f, keys);
        QCOMPARE(said(r.p), QStringList{kCorrectionsDue});
        QCOMPARE(f.lblCurQuestion->text(), QStringLiteral("Question #5"));
        QVERIFY(f.Frame1->isHidden());
        QVERIFY(f.isVisible());
        key(f, '5'); // still refused in the correction pass
        QCOMPARE(r.p.beeps, 1);
        key(f, '0');
        QCOMPARE(said(r.p), (QStringList{kCorrectionsDue, kComplete}));
        QVERIFY(!f.isVisible());
        ClientRecord expected = client("Bob");
        QByteArray answers = storedAnswers();
        answers[4] = '0';
        expected.setRaw(Field::Answers, answers);
        QCOMPARE(r.bytes(), client("Ann").bytes() + expected.bytes() + client("Cy").bytes());
        QCOMPARE(r.s.client(2), expected);
    }

    void keysOutsideTheSectionBeepAndStay()
    {
        Rig r;
        QVERIFY(r.ok);
        frmVerify f(r.s, r.p);
        f.show();
        keyAll(f, storedAnswers().left(93));
        QCOMPARE(f.lblCurQuestion->text(), QStringLiteral("Question #94"));
        // item, key, beeps after it, the label then
        const std::tuple<int, char, int, QString> steps[] = {
            {94, '3', 1, QStringLiteral("Question #94")},
            {94, '5', 2, QStringLiteral("Question #94")},
            {94, 'x', 3, QStringLiteral("Question #94")},
            {94, '2', 3, QStringLiteral("Question #95")},
            {95, '5', 4, QStringLiteral("Question #95")},
            {95, '3', 4, QStringLiteral("Question #96")},
        };
        for (const auto& [item, c, beeps, label] : steps) {
            key(f, c);
            QCOMPARE(r.p.beeps, beeps);
            QCOMPARE(f.lblCurQuestion->text(), label);
        }
        QCOMPARE(f.lblPrevQuestion->text(), QStringLiteral("Question #95"));
        QCOMPARE(f.txtPrevQuestion->text(), QStringLiteral("3"));
        QCOMPARE(f.verification().keyed(94), '2');
        QVERIFY(r.p.shown.isEmpty());
    }

    void backspaceGoesBackToTheFirstQuestionAndNoFurther()
    {
        Rig r;
        QVERIFY(r.ok);
        frmVerify f(r.s, r.p);
        f.show();
        key(f, '1');
        QVERIFY(f.Frame1->isVisibleTo(&f));
        QCOMPARE(f.lblPrevQuestion->text(), QStringLiteral("Question #1"));
        QCOMPARE(f.txtPrevQuestion->text(), QStringLiteral("1"));
        QTest::keyClick(f.txtCurQuestion, Qt::Key_Backspace);
        QCOMPARE(f.lblCurQuestion->text(), QStringLiteral("Question #1"));
        QVERIFY(f.Frame1->isHidden());
        QVERIFY(f.txtPrevQuestion->text().isEmpty());
        QCOMPARE(r.p.beeps, 0);
        QTest::keyClick(f.txtCurQuestion, Qt::Key_Backspace);
        QCOMPARE(r.p.beeps, 1);
        QCOMPARE(f.lblCurQuestion->text(), QStringLiteral("Question #1"));
    }

    // Cancel by its button (Enter on it) or by the window's close button, in either pass.
    void cancellingStoresNothing()
    {
        for (const bool correctionPass : {false, true}) {
            for (const bool closeButton : {false, true}) {
                Rig r;
                QVERIFY(r.ok);
                const QByteArray before = r.bytes();
                const ClientRecord was = r.s.client(2);
                frmVerify f(r.s, r.p);
                f.show();
                QApplication::setActiveWindow(&f);
                QByteArray keys = correctionPass ? storedAnswers() : storedAnswers().left(40);
                if (correctionPass)
                    keys[0] = keys[0] == '0' ? '1' : '0';
                keyAll(f, keys);
                if (closeButton) {
                    f.close();
                } else {
                    f.cmdCancel->setFocus();
                    QCOMPARE(f.helpLine()->text(),
                             QStringLiteral("Press Enter to Cancel Data Verification and return "
                                            "to Main Menu"));
                    QTest::keyClick(f.cmdCancel, Qt::Key_Return);
                }
                QVERIFY(!f.isVisible());
                QCOMPARE(f.result(), int(QDialog::Rejected));
                QCOMPARE(said(r.p), correctionPass ? QStringList{kCorrectionsDue} : QStringList{});
                QCOMPARE(r.bytes(), before);
                QCOMPARE(r.s.client(2), was);
            }
        }
    }

    void aFailedWriteKeepsEveryKeyAndIsRetried()
    {
        Rig r;
        QVERIFY(r.ok);
        const QByteArray before = r.bytes();
        const ClientRecord was = r.s.client(2);
        frmVerify f(r.s, r.p);
        f.show();
        QByteArray keys = storedAnswers();
        keys[4] = '1'; // stored: '2'
        keyAll(f, keys);
        QVERIFY(r.dir.makeReadOnly());
        r.p.shown.clear();
        r.p.answers = {Prompter::Answer::Retry, Prompter::Answer::Cancel};
        key(f, '0');
        QCOMPARE(r.p.shown.size(), 2);
        for (const auto& m : r.p.shown) {
            QCOMPARE(m.title, QStringLiteral("Data Disk Error"));
            QCOMPARE(m.buttons, Prompter::Buttons::RetryCancel);
        }
        // Given up: no success told, still at the corrected item, memory as on the disk.
        QVERIFY(f.isVisible());
        QCOMPARE(f.lblCurQuestion->text(), QStringLiteral("Question #5"));
        QCOMPARE(f.verification().keyed(5), '0');
        QCOMPARE(r.s.client(2), was);
        QCOMPARE(r.bytes(), before);
        // Keyed again, the disk seen to while the message is up: Retry writes it.
        r.p.shown.clear();
        r.p.onMessage = [&r](const ScriptedPrompter::Shown& m) {
            if (m.title == QStringLiteral("Data Disk Error"))
                r.dir.makeWritable();
        };
        r.p.answers = {Prompter::Answer::Retry};
        QVERIFY(r.dir.makeReadOnly());
        key(f, '2');
        QCOMPARE(r.p.shown.size(), 2);
        QCOMPARE(r.p.shown[0].title, QStringLiteral("Data Disk Error"));
        QCOMPARE(said(r.p).last(), kComplete);
        QVERIFY(!f.isVisible());
        QCOMPARE(r.s.client(2).answerChar(5), '2');
        QCOMPARE(ClientRecord::fromBytes(r.bytes().mid(ClientRecord::Size, ClientRecord::Size)),
                 r.s.client(2));
    }
};

QTEST_MAIN(VerifyScreenTest)
#include "VerifyScreenTest.moc"
