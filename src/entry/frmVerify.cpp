#include "entry/frmVerify.h"

#include "ui/SaveClient.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace kvx {
namespace {

const QString kEntryHelp = QStringLiteral("Enter response data from answer sheet. ") +
                           QStringLiteral("Press Backspace for previous question.");
const QString kCancelHelp = QStringLiteral("Press Enter to Cancel Data Verification ") +
                            QStringLiteral("and return to Main Menu");

QString questionLabel(int item)
{
    return QStringLiteral("Question #") + QString::number(item);
}

QLineEdit* answerBox(const char* name, const QString& accessible, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(accessible);
    box->setMaxLength(1);
    box->setAlignment(Qt::AlignCenter);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("MMMM")) + 12);
    return box;
}

QGroupBox* questionFrame(const char* name, const QString& caption, QLabel*& label,
                         const char* labelName, QLineEdit* box, QWidget* parent)
{
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QLatin1String(name));
    frame->setAccessibleName(caption);
    label = new QLabel(frame);
    label->setObjectName(QLatin1String(labelName));
    // Wide enough for "Question #155", so the frame keeps its size while items change.
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(questionLabel(888)) + 8);
    box->setParent(frame);
    auto* row = new QHBoxLayout(frame);
    row->addWidget(label);
    row->addWidget(box);
    return frame;
}

} // namespace

frmVerify::frmVerify(Session& session, Prompter& prompter, QWidget* parent)
    : KvxScreen(session, prompter, parent)
{
    setObjectName(QStringLiteral("frmVerify"));
    setWindowTitle(QStringLiteral("Test Data Input Verification"));
    setAccessibleName(windowTitle());

    frAll = new QGroupBox(QStringLiteral("Data Verification"), this);
    frAll->setObjectName(QStringLiteral("frAll"));
    frAll->setAccessibleName(frAll->title());

    txtCurQuestion = answerBox("txtCurQuestion", QStringLiteral("Current answer"), frAll);
    Frame2 = questionFrame("Frame2", QStringLiteral("Current Question"), lblCurQuestion,
                           "lblCurQuestion", txtCurQuestion, frAll);
    txtPrevQuestion = answerBox("txtPrevQuestion", QStringLiteral("Previous answer"), frAll);
    txtPrevQuestion->setReadOnly(true);
    txtPrevQuestion->setFocusPolicy(Qt::NoFocus);
    Frame1 = questionFrame("Frame1", QStringLiteral("Previous Question"), lblPrevQuestion,
                           "lblPrevQuestion", txtPrevQuestion, frAll);
    // Hidden at the first question, its room kept, so the window never changes size.
    QSizePolicy keepRoom = Frame1->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    Frame1->setSizePolicy(keepRoom);

    auto* cancelPanel = new QFrame(frAll);
    cancelPanel->setObjectName(QStringLiteral("sspCancel"));
    cancelPanel->setAccessibleName(QStringLiteral("Cancel"));
    cancelPanel->setFrameShape(QFrame::Panel);
    cancelPanel->setAutoFillBackground(true);
    auto* cancelButton = new MenuButton(QStringLiteral("Cancel"), cancelPanel);
    cancelButton->setObjectName(QStringLiteral("cmdCancel"));
    cancelButton->setAccessibleName(QStringLiteral("Cancel"));
    cmdCancel = cancelButton;
    (new QVBoxLayout(cancelPanel))->addWidget(cmdCancel);
    setPanelHighlighted(cancelPanel, false);
    connect(cancelButton, &MenuButton::focusEntered, this, [this, cancelPanel] {
        setPanelHighlighted(cancelPanel, true);
        showHelp(kCancelHelp);
    });
    connect(cancelButton, &MenuButton::focusLeft, this, [this, cancelPanel] {
        setPanelHighlighted(cancelPanel, false);
        showHelp(kEntryHelp);
    });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* inner = new QVBoxLayout(frAll);
    inner->addWidget(Frame2);
    inner->addWidget(Frame1);
    inner->addWidget(cancelPanel, 0, Qt::AlignHCenter);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frAll, 1, Qt::AlignCenter);
    layout->addWidget(MsgPanel);

    txtCurQuestion->installEventFilter(this);
    setTabOrder(txtCurQuestion, cmdCancel);

    check_.emplace(session.current().raw(Field::Answers));
    showPosition();
    showHelp(kEntryHelp);
}

void frmVerify::showEvent(QShowEvent* e)
{
    KvxScreen::showEvent(e);
    txtCurQuestion->setFocus();
}

bool frmVerify::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtCurQuestion && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Tab still reaches Cancel; every other key is an answer or refused.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            return false;
        keyPressed(key);
        return true;
    }
    return KvxScreen::eventFilter(watched, event);
}

void frmVerify::keyPressed(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Backspace) {
        if (!check_->back())
            prompter().Beep();
        showPosition();
        return;
    }
    const QString text = e->text();
    const char key = text.size() == 1 ? text[0].toLatin1() : '\0';
    switch (check_->press(key)) {
    case AnswerVerification::Outcome::Refused:
        prompter().Beep();
        return;
    case AnswerVerification::Outcome::Accepted:
        showPosition();
        return;
    case AnswerVerification::Outcome::NoDifferences:
        storeAndClose(QStringLiteral("Data Verification."),
                      QStringLiteral("Data Verification complete. No corrections needed."));
        return;
    case AnswerVerification::Outcome::CorrectionsDue:
        showPosition();
        prompter().Message(
            QStringLiteral("Data Correction needed. Please correct the following questions."),
            Prompter::Buttons::Ok, Prompter::Icon::Information, QStringLiteral("Data Corrections"));
        txtCurQuestion->clear();
        txtCurQuestion->setFocus();
        return;
    case AnswerVerification::Outcome::CorrectionsDone:
        storeAndClose(QStringLiteral("Data Verification"),
                      QStringLiteral("Data Verification complete."));
        return;
    }
}

void frmVerify::showPosition()
{
    const int previous = check_->previousItem();
    Frame1->setVisible(previous > 0);
    if (previous > 0) {
        lblPrevQuestion->setText(questionLabel(previous));
        txtPrevQuestion->setText(QString(QLatin1Char(check_->keyed(previous))));
    } else {
        lblPrevQuestion->clear();
        txtPrevQuestion->clear();
    }
    lblCurQuestion->setText(questionLabel(check_->currentItem()));
    txtCurQuestion->clear();
}

void frmVerify::storeAndClose(const QString& title, const QString& text)
{
    ClientRecord& record = session().current();
    const ClientRecord onDisk = record;
    record.setRaw(Field::Answers, check_->answers());
    // Success is told only once the record is on the disk.
    if (!SaveCurrentClient(session(), prompter())) {
        record = onDisk;
        check_->reopenLastPosition();
        showPosition();
        txtCurQuestion->setFocus();
        return;
    }
    prompter().Message(text, Prompter::Buttons::Ok, Prompter::Icon::Information, title);
    accept();
}

} // namespace kvx
