#include "supervisor/SecretCode.h"

namespace kvx {

InputBoxRequest SecretCodeRequest()
{
    InputBoxRequest r;
    r.caption = kSecretCodeTitle;
    r.helpMessage = kSecretCodePrompt;
    r.inputLength = 8;
    r.passwordInput = true;
    return r;
}

bool SecretCodeMatches(const QString& typed)
{
    return typed.toUpper() == QString(QChar(kSecretCode));
}

bool AskSecretCode(Screens& screens, Prompter& prompter)
{
    for (;;) {
        const std::optional<QString> typed = screens.InputBox(SecretCodeRequest());
        if (!typed)
            return false;
        if (SecretCodeMatches(*typed))
            return true;
        prompter.Message(kSecretCodeWrong, Prompter::Buttons::Ok, Prompter::Icon::Critical,
                         kSecretCodeTitle);
    }
}

} // namespace kvx
