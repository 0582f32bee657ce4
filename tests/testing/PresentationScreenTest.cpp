#include "testing/Presentation.h"
#include "testing/QuestionDatabase.h"
#include "testing/TestAudio.h"
#include "testing/frmPresentQA.h"

#include "common/ScreenKeys.h"
#include "common/ScriptedPrompter.h"
#include "common/TestSupport.h"
#include "store/DataFile.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSet>
#include <QTest>

using namespace kvx;
using namespace kvx::test;

namespace {

const QString kEnglish = QStringLiteral("English");
const QString kSpanish = QStringLiteral("Spanish");

// Writes what the screen asks to play into a log shared with the notes shown.
struct FakePlayer : AudioPlayer
{
    explicit FakePlayer(QStringList& log) : log(log) {}
    bool Prepare() override { return device; }
    void Play(const QString& path) override { log << QFileInfo(path).fileName(); }
    void Stop() override {}
    QStringList& log;
    bool device = true;
};

Workspace workspace()
{
    return Workspace(EngineDefaults{}, QString(), QStringLiteral("admin"), QString());
}

// The question database and an (empty) recording for every file its tables name, made once.
struct Installation
{
    Installation()
    {
        db = dir.filePath(QStringLiteral("KVX_32.db"));
        ok = QFile::copy(QStringLiteral(KVX_BUILT_DB), db) && makeRecordings();
    }
    bool makeRecordings()
    {
        auto opened = workspace().OpenDatabase(db, false);
        for (const QString& language : {kEnglish, kSpanish}) {
            auto rs = opened.value()->OpenRecordset(language);
            const auto items = ReadQuestionItems(rs.value(), language);
            if (!items)
                return false;
            QSet<QString> names;
            for (int k = 0; k < kInstructionCount; ++k)
                names << InstructionAudio(k);
            for (const QuestionItem& item : items.value()) {
                names << item.questionAudio;
                for (const QString& c : item.choiceAudio)
                    names << RecordingFileName(c);
            }
            const QString folder = dir.filePath(QStringLiteral("KVXTest/sound/") + language);
            QDir().mkpath(folder);
            for (const QString& n : names) {
                if (!writeBytes(folder + u'/' + n, "RIFF"))
                    return false;
            }
        }
        return true;
    }
    QTemporaryDir dir;
    QString db;
    bool ok = false;
};

const Installation& installation()
{
    static const Installation once;
    return once;
}

// A data disk with two clients and a new third one being tested.
struct Rig
{
    Rig()
    {
        SetDataPath(s, disk.path());
        const QByteArray two = ClientRecord().bytes().replace(0, 3, "Ann") +
                               ClientRecord().bytes().replace(0, 3, "Bob");
        s.QuestionDbPath = installation().db;
        s.SoundPath = installation().dir.path();
        ok = installation().ok && disk.valid() && writeBytes(s.DataFile, two) &&
             ReadAllClients(s).ok();
        InitNewClient(s, QDate(2024, 3, 5));
        s.RefreshNames = false;
        p.onMessage = [this](const ScriptedPrompter::Shown& m) { log << m.title + u'|' + m.text; };
    }

    ReadOnlyFolder disk;
    Workspace ws = workspace();
    Session s;
    ScriptedPrompter p;
    QStringList log;
    FakePlayer player{log};
    bool ok = false;
};

bool open(frmPresentQA& f, const QString& language)
{
    f.setLanguage(language);
    f.show();
    QApplication::setActiveWindow(&f);
    return QTest::qWaitForWindowActive(&f);
}

// The choice a test run makes on item n: varied, within the item's choices.
int choiceFor(int item)
{
    return item % (item <= 94 || (item >= 136 && item <= 145) ? 2 : 4);
}

// Answers items until the given one is on screen (instructions passed with Enter).
void answerUntil(frmPresentQA& f, int item)
{
    while (f.isVisible() && !f.waitingForSave()) {
        if (f.instructionsShowing()) {
            press(Qt::Key_Return);
            continue;
        }
        if (f.currentItem() == item)
            return;
        for (int i = 0; i <= choiceFor(f.currentItem()); ++i)
            press(Qt::Key_Down);
        press(Qt::Key_Return);
    }
}

QByteArray expectedAnswers()
{
    QByteArray a;
    for (int n = 1; n <= kItemCount; ++n)
        a += char('1' + choiceFor(n));
    return a;
}

} // namespace

class PresentationScreenTest : public QObject
{
    Q_OBJECT

private slots:
    void aWholeTestIsKeyedAndWritten_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("endNote");
        QTest::addColumn<QString>("questionHelp");
        QTest::addRow("English")
            << kEnglish << "Question Presentation"
            << "Presentation Note|You have completed this part of the test. Press Enter to "
               "continue."
            << "Presentation Note|You have completed the test. Thank you for your "
               "participation.\n\nPress Enter to continue."
            << "Use Up or Down arrow keys to highlight answer, then press Enter. Press F10 to go "
               "back to previous question.";
        QTest::addRow("Spanish")
            << kSpanish << "Presentación de preguntas"
            << "Nota de Presentación|Usted ha terminado esta parte de la prueba. Oprima la tecla "
               "«Enter» para seguir."
            << "Nota de Presentación|Usted ha terminado la prueba. Se le agradece su "
               "participación.\n\nOprima la tecla «Enter» para terminar."
            << "Oprima las teclas de flechas Hacia Arriba o Hacia Abajo para iluminar su "
               "respuesta. Luego oprima la tecla «Enter». Oprima la tecla «F10» para ver la "
               "pregunta anterior.";
    }
    void aWholeTestIsKeyedAndWritten()
    {
        QFETCH(QString, language);
        QFETCH(QString, caption);
        QFETCH(QString, note);
        QFETCH(QString, endNote);
        QFETCH(QString, questionHelp);
        Rig r;
        frmPresentQA f(r.s, r.p, r.ws, r.player);
        QVERIFY(r.ok && open(f, language));
        QCOMPARE(f.windowTitle(), caption);
        QCOMPARE(
            f.txtInstructions->toPlainText(),
            BuildInstructions(language)[0].replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        answerUntil(f, 1);
        QCOMPARE(f.helpLine()->text(), questionHelp);
        QCOMPARE(r.log, QStringList({"Inst0.wav", "Inst1.wav", "Q001.wav"}));
        // Two-choice items hide rows 3 to 5; the four-choice ones show them again.
        answerUntil(f, 94);
        QVERIFY(f.sspMenuChoice[1]->isVisible() && !f.sspMenuChoice[2]->isVisible());
        answerUntil(f, 95);
        QVERIFY(f.sspMenuChoice[2]->isVisible() && f.sspMenuChoice[3]->isVisible() &&
                !f.sspMenuChoice[4]->isVisible());
        answerUntil(f, 137);
        QVERIFY(!f.sspMenuChoice[2]->isVisible() && !f.sspMenuChoice[3]->isVisible());
        answerUntil(f, 0);
        QVERIFY(!f.isVisible());
        QCOMPARE(f.result(), int(QDialog::Accepted));

        // Each item: its question, then the choices walked to with Down. After the last item of
        // a section the note, then the next section's instructions; the new item is read out
        // only after it is on screen.
        const auto at = [&r](const QString& entry) { return r.log.indexOf(entry); };
        QCOMPARE(r.log.mid(at("Q093.wav"), 8),
                 QStringList({"Q093.wav", "True.wav", "False.wav", "Q094.wav", "True.wav", note,
                              "Inst2.wav", "Q095.wav"}));
        QCOMPARE(r.log.mid(at("Q135.wav"), 7),
                 QStringList({"Q135.wav", "Rare.wav", "Sometimes.wav", "Often.wav", "VeryOften.wav",
                              note, "Inst3.wav"}));
        QCOMPARE(r.log.mid(at("Q145.wav"), 6),
                 QStringList({"Q145.wav", "Yes.wav", "No.wav", note, "Inst4.wav", "Q146.wav"}));
        QCOMPARE(r.log.mid(at("Q155.wav")), QStringList({"Q155.wav", "C155_1.wav", "C155_2.wav",
                                                         "C155_3.wav", "C155_4.wav", endNote}));
        QCOMPARE(r.log.count(note), 3);
        QCOMPARE(r.p.shown.size(), 4);

        QCOMPARE(r.s.NumClients, 3);
        QVERIFY(r.s.ScreenAccepted && r.s.RefreshNames);
        QCOMPARE(r.s.client(3).raw(Field::Answers), expectedAnswers());
        QCOMPARE(readBytes(r.s.DataFile).mid(2 * ClientRecord::Size), r.s.client(3).bytes());
    }

    void f10GoesBackWithoutRepeatingInstructions()
    {
        Rig r;
        frmPresentQA f(r.s, r.p, r.ws, r.player);
        QVERIFY(r.ok && open(f, kEnglish));
        press(Qt::Key_F10); // on the instructions: nothing
        answerUntil(f, 1);
        press(Qt::Key_F10);
        QCOMPARE(r.p.beeps, 1);
        QCOMPARE(f.currentItem(), 1);
        answerUntil(f, 95);
        press(Qt::Key_F10);
        QCOMPARE(f.currentItem(), 94);
        QVERIFY(!f.instructionsShowing());
        QVERIFY(f.txtQuestion->toPlainText().startsWith(QLatin1String("94. ")));
        QCOMPARE(r.log.last(), QStringLiteral("Q094.wav"));
        // Answered again: the last choice counts, the note and the section's instructions
        // come again.
        QCOMPARE(f.answerTable()[93], 1);
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        press(Qt::Key_Return);
        QCOMPARE(f.answerTable()[93], 2);
        QCOMPARE(r.p.shown.size(), 2);
        QVERIFY(f.instructionsShowing());
        QCOMPARE(r.log.last(), QStringLiteral("Inst2.wav"));
        press(Qt::Key_Return);
        QCOMPARE(f.currentItem(), 95);
        // Tab from an answer reads the question out again.
        press(Qt::Key_Down);
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.txtQuestion);
        QCOMPARE(r.log.mid(r.log.size() - 3), QStringList({"Q095.wav", "Rare.wav", "Q095.wav"}));
        // A click on an answer's text chooses it.
        QTest::mouseClick(f.txtButtonText[2], Qt::LeftButton);
        QCOMPARE(f.answerTable()[94], 3);
        QCOMPARE(f.currentItem(), 96);
    }

    void staffKeyAbandonsTheClient_data()
    {
        QTest::addColumn<int>("item");
        QTest::addRow("general instructions") << 0;
        QTest::addRow("mid-test") << 50;
        QTest::addRow("section instructions") << 136;
    }
    void staffKeyAbandonsTheClient()
    {
        QFETCH(int, item);
        Rig r;
        const QByteArray disk = readBytes(r.s.DataFile);
        frmPresentQA f(r.s, r.p, r.ws, r.player);
        QVERIFY(r.ok && open(f, kEnglish));
        if (item > 0)
            answerUntil(f, item == 136 ? 135 : item);
        if (item == 136) {
            for (int i = 0; i < choiceFor(135) + 1; ++i)
                press(Qt::Key_Down);
            press(Qt::Key_Return);
            QVERIFY(f.instructionsShowing());
        }
        // The window's close button and Alt+F4 are refused with a beep.
        f.close();
        press(Qt::Key_F4, Qt::AltModifier);
        QVERIFY(f.isVisible());
        QCOMPARE(r.p.beeps, 2);
        press(Qt::Key_F10, Qt::AltModifier | Qt::ShiftModifier);
        QVERIFY(!f.isVisible());
        QVERIFY(!r.s.ScreenAccepted);
        QCOMPARE(r.s.CurClient, 1);
        QCOMPARE(r.s.NumClients, 2);
        QCOMPARE(r.s.client(3), ClientRecord());
        QCOMPARE(readBytes(r.s.DataFile), disk);
    }

    void aFailedFinalWriteKeepsTheAnswers()
    {
        Rig r;
        frmPresentQA f(r.s, r.p, r.ws, r.player);
        QVERIFY(r.ok && open(f, kEnglish));
        answerUntil(f, 155);
        QVERIFY(r.disk.makeReadOnly());
        // Retry on a protected disk fails again; Cancel leaves the answers waiting.
        r.p.answers = {Prompter::Answer::Ok, Prompter::Answer::Retry, Prompter::Answer::Cancel};
        answerUntil(f, 0);
        QCOMPARE(r.p.shown.size(), 6);
        QCOMPARE(r.p.shown[4].title, QStringLiteral("Data Disk Error"));
        QCOMPARE(r.p.shown[5].buttons, Prompter::Buttons::RetryCancel);
        QVERIFY(f.isVisible() && f.waitingForSave() && !r.s.ScreenAccepted);
        QCOMPARE(f.txtInstructions->toPlainText(), kAnswersNotSaved);
        QCOMPARE(f.helpLine()->text(), kAnswersNotSaved);
        QCOMPARE(r.s.NumClients, 2);
        // The staff key asks first; its default No keeps the answers.
        press(Qt::Key_F10, Qt::AltModifier | Qt::ShiftModifier);
        QCOMPARE(r.p.lastText(), kAbandonUnsaved);
        QCOMPARE(r.p.shown.last().buttons, Prompter::Buttons::YesNoDefaultNo);
        QVERIFY(f.isVisible());
        // Enter writes again: a second failure, then Retry once the disk is writable.
        r.p.onMessage = [&r](const ScriptedPrompter::Shown&) { r.disk.makeWritable(); };
        press(Qt::Key_Return);
        QVERIFY(!f.isVisible() && r.s.ScreenAccepted);
        QCOMPARE(r.s.NumClients, 3);
        QCOMPARE(readBytes(r.s.DataFile).mid(2 * ClientRecord::Size, ClientRecord::Size),
                 r.s.client(3).bytes());
        QCOMPARE(r.s.client(3).raw(Field::Answers), expectedAnswers());
    }

    void aLanguageWithoutItsTableIsRefused()
    {
        Rig r;
        frmPresentQA f(r.s, r.p, r.ws, r.player);
        f.setLanguage(QStringLiteral("French"));
        f.show();
        QVERIFY(r.ok);
        QTRY_VERIFY(!f.isVisible());
        QCOMPARE(r.p.shown.size(), 1);
        QVERIFY(r.p.lastText().startsWith(QLatin1String("The questions cannot be shown.\n")));
        QVERIFY(!r.s.ScreenAccepted);
        QCOMPARE(r.s.CurClient, 3); // the client typed in stays for the caller
    }

    void soundOffAndTheClientsView()
    {
        Rig r;
        r.player.device = false;
        frmPresentQA f(r.s, r.p, r.ws, r.player);
        QVERIFY(r.ok && open(f, kEnglish));
        QVERIFY(f.isFullScreen());
        answerUntil(f, 1);
        press(Qt::Key_Down);
        QCOMPARE(f.helpLine()->text(), QStringLiteral("Press Enter to select this answer."));
        QCOMPARE(f.sspMenuChoice[0]->palette().color(QPalette::Window), kHighlightCyan);
        QVERIFY(f.txtButtonText[0]->font().bold());
        QCOMPARE(f.txtQuestion->palette().color(QPalette::Base), kPanelBlue);
        press(Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), f.txtQuestion);
        QCOMPARE(f.txtQuestion->palette().color(QPalette::Base), kHighlightCyan);
        QCOMPARE(f.sspMenuChoice[0]->palette().color(QPalette::Window), kPanelBlue);
        QVERIFY(r.log.isEmpty());
        for (QWidget* w :
             std::initializer_list<QWidget*>{f.txtQuestion, f.txtButtonText[0], f.txtInstructions})
            QVERIFY2(w->font().pointSizeF() >= 16, qPrintable(w->objectName()));
        const auto controls = f.findChildren<QWidget*>(
            QRegularExpression(QStringLiteral("^(txt|cmd|ssp|fra|fr|MsgPanel)")));
        QCOMPARE(controls.size(), 22);
        for (QWidget* w : controls)
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
    }
};

QTEST_MAIN(PresentationScreenTest)
#include "PresentationScreenTest.moc"
