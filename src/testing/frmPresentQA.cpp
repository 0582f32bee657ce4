#include "testing/frmPresentQA.h"

#include "store/DataFile.h"
#include "testing/QtAudioPlayer.h"
#include "testing/QuestionDatabase.h"
#include "testing/TestStructure.h"
#include "ui/SaveClient.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace kvx {
namespace {

constexpr qreal kTextPointSize = 16;

QString indexed(const char* base, int index)
{
    return QLatin1String(base) + u'_' + QString::number(index);
}

void setColours(QWidget* w, const QColor& background, const QColor& text)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Base, background);
    pal.setColor(QPalette::Text, text);
    w->setPalette(pal);
}

void setBold(QWidget* w, bool bold)
{
    QFont f = w->font();
    if (f.bold() != bold) {
        f.setBold(bold);
        w->setFont(f);
    }
}

QPlainTextEdit* makeTextBox(const QString& name, const QString& accessible, QWidget* parent)
{
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessible);
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::NoTextInteraction);
    box->setFocusPolicy(Qt::StrongFocus);
    box->setContextMenuPolicy(Qt::NoContextMenu);
    return box;
}

bool isEnter(const QKeyEvent* k)
{
    return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
}

} // namespace

frmPresentQA::frmPresentQA(Session& session, Prompter& prompter, const Workspace& workspace,
                           AudioPlayer& player, QWidget* parent)
    : KvxScreen(session, prompter, parent), workspace_(workspace), player_(player)
{
    setObjectName(QStringLiteral("frmPresentQA"));
    QFont f = font();
    f.setPointSizeF(std::max(f.pointSizeF(), kTextPointSize));
    setFont(f);
    buildControls();
    setLanguage(QString());
    // The client sits in front of the test alone: it fills the screen.
    setWindowState(windowState() | Qt::WindowFullScreen);
}

frmPresentQA::~frmPresentQA() = default;

void frmPresentQA::buildControls()
{
    fraInstructions = new QGroupBox(QStringLiteral("Instructions"), this);
    fraInstructions->setObjectName(QStringLiteral("fraInstructions"));
    fraInstructions->setAccessibleName(QStringLiteral("Instructions"));
    txtInstructions =
        makeTextBox(QStringLiteral("txtInstructions"), QStringLiteral("Instructions"), this);
    txtInstructions->setMinimumHeight(420);
    (new QVBoxLayout(fraInstructions))->addWidget(txtInstructions);

    frQandA = new QWidget(this);
    frQandA->setObjectName(QStringLiteral("frQandA"));
    frQandA->setAccessibleName(QStringLiteral("Question and answers"));
    fraQuestions = new QGroupBox(QStringLiteral("Question"), frQandA);
    fraQuestions->setObjectName(QStringLiteral("fraQuestions"));
    fraQuestions->setAccessibleName(QStringLiteral("Question"));
    txtQuestion = makeTextBox(QStringLiteral("txtQuestion"), QStringLiteral("Question"), this);
    txtQuestion->setFixedHeight(txtQuestion->fontMetrics().lineSpacing() * 5 + 16);
    setColours(txtQuestion, kPanelBlue, kWhite);
    (new QVBoxLayout(fraQuestions))->addWidget(txtQuestion);

    fraAnswer = new QGroupBox(QStringLiteral("Choose Answer"), frQandA);
    fraAnswer->setObjectName(QStringLiteral("fraAnswer"));
    fraAnswer->setAccessibleName(QStringLiteral("Choose Answer"));
    auto* rows = new QVBoxLayout(fraAnswer);
    for (int i = 0; i < kMaxChoices; ++i) {
        const auto n = static_cast<size_t>(i);
        auto* panel = new QFrame(fraAnswer);
        panel->setObjectName(indexed("sspMenuChoice", i));
        panel->setAccessibleName(QStringLiteral("Answer %1 row").arg(i + 1));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Raised);
        panel->setAutoFillBackground(true);
        auto* button = new MenuButton(QString::number(i + 1), panel);
        button->setObjectName(indexed("cmdMenuChoice", i));
        button->setAccessibleName(QStringLiteral("Answer %1").arg(i + 1));
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(u'0') * 4 + 16);
        auto* text = new QLineEdit(panel);
        text->setObjectName(indexed("txtButtonText", i));
        text->setAccessibleName(QStringLiteral("Answer %1 text").arg(i + 1));
        text->setReadOnly(true);
        text->setFocusPolicy(Qt::NoFocus);
        text->setCursor(Qt::PointingHandCursor);
        auto* row = new QHBoxLayout(panel);
        row->setContentsMargins(6, 6, 6, 6);
        row->addWidget(button);
        row->addWidget(text, 1);
        rows->addWidget(panel);
        sspMenuChoice[n] = panel;
        cmdMenuChoice[n] = button;
        txtButtonText[n] = text;
        setPanelHighlighted(panel, false);
        connect(button, &QPushButton::clicked, this, [this, i] { ChooseAnswer(i); });
        button->installEventFilter(this);
        text->installEventFilter(this);
    }
    auto* qa = new QVBoxLayout(frQandA);
    qa->setContentsMargins(0, 0, 0, 0);
    qa->addStretch(1);
    qa->addWidget(fraQuestions);
    qa->addWidget(fraAnswer);
    qa->addStretch(1);

    MsgPanel->setAccessibleName(QStringLiteral("Help line"));
    MsgPanel->setWordWrap(true);
    MsgPanel->setMinimumHeight(MsgPanel->fontMetrics().lineSpacing() * 3 + 8);

    // The frames stand in the middle of the screen, at a width that reads well.
    auto* content = new QWidget(this);
    content_ = content;
    content->setMaximumWidth(1100);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(fraInstructions);
    column->addWidget(frQandA);
    auto* middle = new QHBoxLayout;
    middle->addStretch(1);
    middle->addWidget(content, 100);
    middle->addStretch(1);
    auto* outer = new QVBoxLayout(this);
    outer->addStretch(1);
    outer->addLayout(middle, 12);
    outer->addStretch(1);
    outer->addWidget(MsgPanel);

    txtInstructions->installEventFilter(this);
    txtQuestion->installEventFilter(this);
    QWidget::setTabOrder(txtQuestion, cmdMenuChoice[0]);
    for (int i = 1; i < kMaxChoices; ++i)
        QWidget::setTabOrder(cmdMenuChoice[static_cast<size_t>(i - 1)],
                             cmdMenuChoice[static_cast<size_t>(i)]);
}

void frmPresentQA::setLanguage(const QString& language)
{
    Language = language;
    texts_ = TextsFor(language);
    setWindowTitle(QStringLiteral("Question Presentation"));
}

bool frmPresentQA::instructionsShowing() const
{
    return !fraInstructions->isHidden();
}

void frmPresentQA::showEvent(QShowEvent* e)
{
    KvxScreen::showEvent(e);
    if (loaded_)
        return;
    loaded_ = true;
    // Filled by hand too, for a desktop without a window manager to honour the full screen.
    if (const QScreen* s = screen()) {
        setGeometry(s->geometry());
        QTimer::singleShot(0, this, [this] { setGeometry(screen()->geometry()); });
        content_->setMinimumWidth(std::min(1100, s->geometry().width() - 40));
    }
    if (!Load()) {
        // Nothing to present: back to the caller, the client kept as typed.
        QTimer::singleShot(0, this, [this] { leave(QDialog::Rejected); });
        return;
    }
    Activate();
}

bool frmPresentQA::Load()
{
    firstItemPending_ = true;
    session().ScreenAccepted = false;
    Result<std::unique_ptr<QuestionDatabase>> db =
        workspace_.OpenDatabase(session().QuestionDbPath, true);
    Result<std::vector<QuestionItem>> items = Error{};
    if (db) {
        Result<Recordset> rs =
            db.value()->OpenRecordset(QStringLiteral("Select * from [") + Language + u']');
        items = rs ? ReadQuestionItems(rs.value(), Language)
                   : Result<std::vector<QuestionItem>>(rs.error());
    }
    const Error* failed = !db ? &db.error() : !items ? &items.error() : nullptr;
    if (failed) {
        prompter().Message(
            QStringLiteral("The questions cannot be shown.\n%1").arg(failed->message),
            Prompter::Buttons::Ok, Prompter::Icon::Critical);
        return false;
    }
    db_ = std::move(db.value());
    items_ = std::move(items.value());
    GetNextQuestion();
    answers_.fill(0);
    goingBack_ = false;
    setInstructionsShowing(true);
    return true;
}

void frmPresentQA::Activate()
{
    if (isSpanish(Language))
        setWindowTitle(QStringLiteral("Presentación de preguntas"));
    audio_ = std::make_unique<TestAudio>(player_, session().SoundPath, Language);
    audio_->Prepare();
    instructions_ = BuildInstructions(Language);
    generalInstructionsShowing_ = true;
    TestInstructions(0);
    audio_->Play(InstructionAudio(0));
    for (QFrame* panel : sspMenuChoice)
        setPanelHighlighted(panel, false);
}

void frmPresentQA::TestInstructions(int section)
{
    txtInstructions->clear();
    setInstructionsShowing(true);
    QString text = instructions_[static_cast<size_t>(section)];
    txtInstructions->setPlainText(text.replace(QLatin1String("\r\n"), QLatin1String("\n")));
    if (txtInstructions->hasFocus())
        showHelp(texts_.instructionsHelp);
    else
        txtInstructions->setFocus(Qt::OtherFocusReason);
}

void frmPresentQA::setInstructionsShowing(bool on)
{
    fraInstructions->setVisible(on);
    frQandA->setVisible(!on);
}

void frmPresentQA::GetNextQuestion()
{
    if (firstItemPending_) {
        currentItem_ = 1;
        firstItemPending_ = false;
    } else {
        ++currentItem_;
    }
    if (currentItem_ > kItemCount && !goingBack_) {
        EndOfTest();
        return;
    }
    setInstructionsShowing(false);
    if (!goingBack_) {
        for (int k = 1; k < kSectionCount; ++k) {
            if (currentItem_ == SectionEnd[static_cast<size_t>(k)] + 1) {
                TestInstructions(k + 1);
                QCoreApplication::processEvents();
                audio_->Play(InstructionAudio(k + 1));
            }
        }
    }
    showItem(items_[static_cast<size_t>(currentItem_ - 1)]);
}

void frmPresentQA::showItem(const QuestionItem& item)
{
    txtQuestion->setPlainText(item.caption());
    for (int i = 0; i < kMaxChoices; ++i) {
        const auto n = static_cast<size_t>(i);
        const bool shown = item.hasChoice(i);
        if (shown)
            txtButtonText[n]->setText(item.answers[n]);
        sspMenuChoice[n]->setVisible(shown);
        cmdMenuChoice[n]->setAccessibleDescription(shown ? item.answers[n] : QString());
    }
    txtQuestion->moveCursor(QTextCursor::Start);
}

void frmPresentQA::ChooseAnswer(int index)
{
    if (instructionsShowing() || leaving_)
        return;
    const auto n = static_cast<size_t>(index);
    answers_[static_cast<size_t>(currentItem_ - 1)] = index + 1;
    setBold(txtButtonText[n], false);
    setPanelHighlighted(sspMenuChoice[n], false);
    for (int k = 1; k <= kSectionCount; ++k) {
        if (currentItem_ != SectionEnd[static_cast<size_t>(k)])
            continue;
        audio_->Stop();
        frQandA->hide();
        showHelp(QString());
        prompter().Message(k < kSectionCount ? texts_.sectionNote : texts_.testEndNote,
                           Prompter::Buttons::Ok, Prompter::Icon::None, texts_.noteTitle);
        // Back to the client's keys, also on a desktop that does not hand the focus back.
        activateWindow();
        if (k < kSectionCount)
            frQandA->show();
    }
    GetNextQuestion();
    // The new item's question is read out once it is on screen.
    if (!leaving_ && !waitingForSave_ && !instructionsShowing())
        focusQuestion();
}

void frmPresentQA::focusQuestion()
{
    if (txtQuestion->hasFocus())
        questionFocused(true);
    else
        txtQuestion->setFocus(Qt::OtherFocusReason);
}

void frmPresentQA::GoBack()
{
    if (currentItem_ <= 1) {
        prompter().Beep();
        return;
    }
    goingBack_ = true;
    currentItem_ -= 2;
    GetNextQuestion();
    goingBack_ = false;
    focusQuestion();
}

void frmPresentQA::EndOfTest()
{
    setInstructionsShowing(true);
    session().current().setRaw(Field::Answers, AnswersFromTable(answers_));
    if (SaveCurrentClient(session(), prompter())) {
        waitingForSave_ = false;
        session().RefreshNames = true;
        session().ScreenAccepted = true;
        leave(QDialog::Accepted);
        return;
    }
    // Never dropped: the answers wait for the supervisor, who tries again with Enter.
    activateWindow();
    waitingForSave_ = true;
    txtInstructions->setPlainText(kAnswersNotSaved);
    showHelp(kAnswersNotSaved);
    txtInstructions->setFocus(Qt::OtherFocusReason);
}

void frmPresentQA::Abort()
{
    if (waitingForSave_ && prompter().Message(kAbandonUnsaved, Prompter::Buttons::YesNoDefaultNo,
                                              Prompter::Icon::Question) != Prompter::Answer::Yes)
        return;
    DropNewClient(session());
    leave(QDialog::Rejected);
}

void frmPresentQA::leave(int result)
{
    if (leaving_)
        return;
    leaving_ = true;
    if (audio_)
        audio_->Stop();
    db_.reset();
    done(result);
}

void frmPresentQA::reject()
{
    // Escape and the window's close button do not end the test.
}

void frmPresentQA::closeEvent(QCloseEvent* e)
{
    if (leaving_) {
        e->accept();
        return;
    }
    e->ignore();
    prompter().Beep();
}

void frmPresentQA::keyPressEvent(QKeyEvent* e)
{
    if (!screenKey(e))
        KvxScreen::keyPressEvent(e);
}

// F10 and Alt+Shift+F10 act wherever the focus is; Alt+F4 is refused.
bool frmPresentQA::screenKey(QKeyEvent* k)
{
    const Qt::KeyboardModifiers mods = k->modifiers() & ~Qt::KeypadModifier;
    if (k->key() == Qt::Key_F10 && mods == (Qt::AltModifier | Qt::ShiftModifier)) {
        Abort();
        return true;
    }
    if (k->key() == Qt::Key_F10 && mods == Qt::NoModifier) {
        if (!instructionsShowing() && !k->isAutoRepeat())
            GoBack();
        return true;
    }
    if (k->key() == Qt::Key_F4 && mods.testFlag(Qt::AltModifier)) {
        prompter().Beep();
        return true;
    }
    return false;
}

bool frmPresentQA::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* k = static_cast<QKeyEvent*>(event);
        if (screenKey(k))
            return true;
        if (watched == txtInstructions) {
            instructionsKey(k);
            return true;
        }
        if (watched == txtQuestion) {
            questionKey(k);
            return true;
        }
        for (int i = 0; i < kMaxChoices; ++i) {
            if (watched == cmdMenuChoice[static_cast<size_t>(i)])
                return answerKey(i, k);
        }
        break;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        focusEvent(watched, static_cast<QFocusEvent*>(event));
        break;
    case QEvent::MouseButtonRelease:
        for (int i = 0; i < kMaxChoices; ++i) {
            if (watched == txtButtonText[static_cast<size_t>(i)]) {
                ChooseAnswer(i);
                return true;
            }
        }
        break;
    default:
        break;
    }
    return KvxScreen::eventFilter(watched, event);
}

void frmPresentQA::instructionsKey(QKeyEvent* k)
{
    // A long text on a small screen can be read to its end; nothing else moves.
    QScrollBar* bar = txtInstructions->verticalScrollBar();
    switch (k->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        bar->triggerAction(k->key() == Qt::Key_Up ? QAbstractSlider::SliderSingleStepSub
                                                  : QAbstractSlider::SliderSingleStepAdd);
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        bar->triggerAction(k->key() == Qt::Key_PageUp ? QAbstractSlider::SliderPageStepSub
                                                      : QAbstractSlider::SliderPageStepAdd);
        return;
    default:
        break;
    }
    if (!(isEnter(k) || k->key() == Qt::Key_Tab) || k->isAutoRepeat() || leaving_)
        return;
    if (waitingForSave_) {
        EndOfTest();
        return;
    }
    setInstructionsShowing(false);
    if (generalInstructionsShowing_) {
        generalInstructionsShowing_ = false;
        TestInstructions(1);
        QCoreApplication::processEvents();
        audio_->Play(InstructionAudio(1));
        return;
    }
    showHelp(texts_.questionHelp);
    focusQuestion();
}

void frmPresentQA::questionKey(QKeyEvent* k)
{
    if (k->key() == Qt::Key_Down || k->key() == Qt::Key_Tab)
        cmdMenuChoice[0]->setFocus(Qt::TabFocusReason);
}

bool frmPresentQA::answerKey(int index, QKeyEvent* k)
{
    switch (k->key()) {
    case Qt::Key_Up:
        if (index == 0)
            focusQuestion();
        else
            cmdMenuChoice[static_cast<size_t>(index - 1)]->setFocus(Qt::BacktabFocusReason);
        return true;
    case Qt::Key_Down:
        if (index < lastVisibleChoice())
            cmdMenuChoice[static_cast<size_t>(index + 1)]->setFocus(Qt::TabFocusReason);
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        // The answer texts pass the focus on to the question, which is read out again.
        focusQuestion();
        return true;
    default:
        // Held Enter must not answer item after item.
        return k->isAutoRepeat();
    }
}

int frmPresentQA::lastVisibleChoice() const
{
    int last = 1;
    for (int i = 2; i < kMaxChoices; ++i) {
        if (!sspMenuChoice[static_cast<size_t>(i)]->isHidden())
            last = i;
    }
    return last;
}

void frmPresentQA::focusEvent(QObject* watched, QFocusEvent* e)
{
    const bool in = e->type() == QEvent::FocusIn;
    // A message box or another window took the focus for a while: nothing to redo.
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) {
        if (!in) {
            awayFocus_ = watched;
            return;
        }
        if (awayFocus_ == watched) {
            awayFocus_ = nullptr;
            return;
        }
    }
    awayFocus_ = nullptr;
    if (watched == txtInstructions) {
        if (in) {
            showHelp(waitingForSave_ ? kAnswersNotSaved : texts_.instructionsHelp);
            for (QLineEdit* text : txtButtonText)
                setBold(text, false);
        }
        return;
    }
    if (watched == txtQuestion) {
        if (in) {
            questionFocused(true);
        } else {
            setColours(txtQuestion, kPanelBlue, kWhite);
        }
        return;
    }
    for (int i = 0; i < kMaxChoices; ++i) {
        if (watched == cmdMenuChoice[static_cast<size_t>(i)])
            answerFocused(i, in, true);
    }
}

void frmPresentQA::questionFocused(bool play)
{
    if (items_.empty())
        return;
    if (instructionsShowing()) {
        txtInstructions->setFocus(Qt::OtherFocusReason);
        return;
    }
    setColours(txtQuestion, kHighlightCyan, kBlack);
    showHelp(texts_.questionHelp);
    if (play && audio_)
        audio_->Play(items_[static_cast<size_t>(currentItem_ - 1)].questionAudio);
}

void frmPresentQA::answerFocused(int index, bool on, bool play)
{
    const auto n = static_cast<size_t>(index);
    if (items_.empty())
        return;
    setPanelHighlighted(sspMenuChoice[n], on);
    setBold(txtButtonText[n], on);
    if (!on)
        return;
    showHelp(soundOn() ? texts_.answerHelpSoundOn : texts_.answerHelpSoundOff);
    if (play && audio_)
        audio_->Play(items_[static_cast<size_t>(currentItem_ - 1)].choiceAudio[n]);
}

void ShowPresentation(Session& session, Prompter& prompter, const Workspace& workspace,
                      const QString& language, QWidget* parent)
{
    QtAudioPlayer player;
    frmPresentQA screen(session, prompter, workspace, player, parent);
    screen.setLanguage(language);
    screen.exec();
}

} // namespace kvx
