#pragma once

#include "ui/ScreenConventions.h"
#include "ui/Screens.h"

#include <optional>

class QLineEdit;

namespace kvx {

// The one-line prompt: set the properties and the caption, exec(), then read Cancelled and
// InputValue.
class frmMyInputBox : public KvxScreen
{
    Q_OBJECT
public:
    frmMyInputBox(Session& session, Prompter& prompter, QWidget* parent = nullptr);

    bool PasswordInput() const { return passwordInput_; }
    void setPasswordInput(bool on);
    int InputLength() const { return inputLength_; }
    void setInputLength(int n) { inputLength_ = n; }
    QString HelpMessage() const { return helpMessage_; }
    void setHelpMessage(const QString& text);
    QString InputValue() const { return inputValue_; }
    bool Cancelled() const { return cancelled_; }

    // The help line while the text box has the focus.
    void setFieldHelp(const QString& text) { fieldHelp_ = text; }

    QLabel* lblHelpMsg;
    QLineEdit* txtInput;

    void InformationOk();
    void CancelInput();

public slots:
    void done(int result) override;
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showProperties();

    bool passwordInput_ = false;
    int inputLength_ = 25;
    QString helpMessage_, inputValue_, fieldHelp_;
    bool cancelled_ = false;
    bool leaving_ = false;
};

// Shows the input box for a request; the text accepted, or nothing when cancelled.
std::optional<QString> ShowInputBox(Session& session, Prompter& prompter,
                                    const InputBoxRequest& request, QWidget* parent);

} // namespace kvx
