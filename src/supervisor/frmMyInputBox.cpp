#include "supervisor/frmMyInputBox.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kvx {

namespace {

const QString kInputRequired = QStringLiteral("Input required");

} // namespace

frmMyInputBox::frmMyInputBox(Session& session, Prompter& prompter, QWidget* parent)
    : KvxScreen(session, prompter, parent)
{
    setObjectName(QStringLiteral("frmMyInputBox"));

    lblHelpMsg = new QLabel(this);
    lblHelpMsg->setObjectName(QStringLiteral("lblHelpMsg"));
    lblHelpMsg->setWordWrap(true);
    lblHelpMsg->setTextFormat(Qt::PlainText);
    lblHelpMsg->setMinimumWidth(360);

    txtInput = new QLineEdit(this);
    txtInput->setObjectName(QStringLiteral("txtInput"));
    // It takes a scanned client's name: only what the data disk can hold.
    applyTextRule(txtInput, prompter);
    txtInput->installEventFilter(this);
    SelectAllOnFocus::install(txtInput);
    lblHelpMsg->setBuddy(txtInput);

    MenuChoices* menu = addMenuChoices(Qt::Horizontal);
    menu->add(QStringLiteral("Information OK"), QStringLiteral("Accept what you typed."));
    menu->add(QStringLiteral("Cancel Input"), QStringLiteral("Leave without an entry."));
    connect(menu, &MenuChoices::chosen, this, [this](int i) {
        if (i == 0)
            InformationOk();
        else
            CancelInput();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblHelpMsg);
    layout->addWidget(txtInput);
    layout->addWidget(menu, 0, Qt::AlignHCenter);
    layout->addWidget(MsgPanel);
}

void frmMyInputBox::setHelpMessage(const QString& text)
{
    helpMessage_ = text;
    // Shown at once, so that the box is sized for the prompt before it appears.
    showProperties();
}

void frmMyInputBox::setPasswordInput(bool on)
{
    passwordInput_ = on;
    showProperties();
}

void frmMyInputBox::showProperties()
{
    lblHelpMsg->setText(helpMessage_);
    txtInput->setAccessibleName(helpMessage_.isEmpty() ? windowTitle() : helpMessage_);
    txtInput->setEchoMode(passwordInput_ ? QLineEdit::Password : QLineEdit::Normal);
    // The prompt promises asterisks; the style's own mask character is a dot.
    txtInput->setStyleSheet(passwordInput_
                                ? QStringLiteral("QLineEdit { lineedit-password-character: 42; }")
                                : QString());
}

void frmMyInputBox::showEvent(QShowEvent* e)
{
    cancelled_ = false;
    txtInput->setMaxLength(inputLength_ > 0 ? inputLength_ : 32767);
    showProperties();
    KvxScreen::showEvent(e);
    if (!txtInput->hasFocus())
        txtInput->setFocus(Qt::OtherFocusReason);
    showHelp(fieldHelp_);
}

bool frmMyInputBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtInput) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            // Enter leads to "Information OK"; it does not press it.
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                menuChoices()->button(0)->setFocus(Qt::TabFocusReason);
                return true;
            }
        } else if (event->type() == QEvent::FocusIn) {
            showHelp(fieldHelp_);
        }
    }
    return KvxScreen::eventFilter(watched, event);
}

void frmMyInputBox::InformationOk()
{
    if (txtInput->text().isEmpty()) {
        prompter().Message(passwordInput_ ? QStringLiteral("Please enter the required password.")
                                          : QStringLiteral("Please enter the required data."),
                           Prompter::Buttons::Ok, Prompter::Icon::Question, kInputRequired);
        txtInput->setFocus(Qt::OtherFocusReason);
        return;
    }
    inputValue_ = txtInput->text();
    leaving_ = true;
    accept();
}

void frmMyInputBox::CancelInput()
{
    cancelled_ = true;
    leaving_ = true;
    QDialog::reject();
}

void frmMyInputBox::reject()
{
    // The window's close button (and anything else that rejects) is "Cancel Input".
    if (!leaving_)
        CancelInput();
    else
        QDialog::reject();
}

void frmMyInputBox::done(int result)
{
    leaving_ = false;
    passwordInput_ = false;
    KvxScreen::done(result);
}

std::optional<QString> ShowInputBox(Session& session, Prompter& prompter,
                                    const InputBoxRequest& request, QWidget* parent)
{
    frmMyInputBox box(session, prompter, parent);
    box.setInputLength(request.inputLength);
    box.setHelpMessage(request.helpMessage);
    box.setPasswordInput(request.passwordInput);
    box.setFieldHelp(request.fieldHelp);
    box.setWindowTitle(request.caption);
    box.txtInput->setText(request.initialValue);
    box.exec();
    if (box.Cancelled())
        return std::nullopt;
    return box.InputValue();
}

} // namespace kvx
