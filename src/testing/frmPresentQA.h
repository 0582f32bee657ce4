#pragma once

#include "testing/Instructions.h"
#include "testing/Presentation.h"
#include "testing/TestAudio.h"
#include "ui/ScreenConventions.h"

#include <QString>

#include <array>
#include <memory>
#include <vector>

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;

namespace kvx {

class QuestionDatabase;
class Workspace;

// The on-screen test: the instructions, the 155 items one at a time with their recordings, and
// at the end the answers written to the new client's record. Only the staff's Alt+Shift+F10
// leaves it early (the client is then discarded); the window's close button is refused.
class frmPresentQA : public KvxScreen
{
    Q_OBJECT
public:
    frmPresentQA(Session& session, Prompter& prompter, const Workspace& workspace,
                 AudioPlayer& player, QWidget* parent = nullptr);
    ~frmPresentQA() override;

    // The question table (language) to present; set before the screen is shown.
    void setLanguage(const QString& language);
    const QString& language() const { return Language; }

    void GetNextQuestion();
    void TestInstructions(int section);

    int currentItem() const { return currentItem_; }
    const AnswerTable& answerTable() const { return answers_; }
    bool soundOn() const { return audio_ && audio_->soundOn(); }
    bool instructionsShowing() const;
    // The final write failed and was cancelled: the answers wait in memory.
    bool waitingForSave() const { return waitingForSave_; }

    QGroupBox* fraInstructions;
    QPlainTextEdit* txtInstructions;
    QWidget* frQandA;
    QGroupBox* fraQuestions;
    QPlainTextEdit* txtQuestion;
    QGroupBox* fraAnswer;
    std::array<QFrame*, kMaxChoices> sspMenuChoice{};
    std::array<MenuButton*, kMaxChoices> cmdMenuChoice{};
    std::array<QLineEdit*, kMaxChoices> txtButtonText{};

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void buildControls();
    bool Load();
    void Activate();
    bool screenKey(QKeyEvent* k);
    void instructionsKey(QKeyEvent* k);
    void questionKey(QKeyEvent* k);
    bool answerKey(int index, QKeyEvent* k);
    void focusEvent(QObject* watched, QFocusEvent* e);
    void questionFocused(bool play);
    void answerFocused(int index, bool on, bool play);
    void ChooseAnswer(int index);
    void GoBack();
    void Abort();
    void EndOfTest();
    void showItem(const QuestionItem& item);
    void setInstructionsShowing(bool on);
    void focusQuestion();
    int lastVisibleChoice() const;
    void leave(int result);

    const Workspace& workspace_;
    AudioPlayer& player_;
    QString Language;
    QWidget* content_ = nullptr;
    PresentationTexts texts_;
    InstructionTexts instructions_;
    std::unique_ptr<TestAudio> audio_;
    std::unique_ptr<QuestionDatabase> db_;
    std::vector<QuestionItem> items_;
    AnswerTable answers_{};

    int currentItem_ = 0;
    bool firstItemPending_ = true;
    bool goingBack_ = false;
    bool generalInstructionsShowing_ = false;
    bool waitingForSave_ = false;
    bool loaded_ = false;
    bool leaving_ = false;
    // Focus lost to another window (a message box) comes back without replaying anything.
    QObject* awayFocus_ = nullptr;
};

// Shows the on-screen test for the current client in the given language, as the new client's
// chain opens it; reports through Session::ScreenAccepted.
void ShowPresentation(Session& session, Prompter& prompter, const Workspace& workspace,
                      const QString& language, QWidget* parent);

} // namespace kvx
