#include "supervisor/SecretCode.h"

#include "store/Cp1252.h"

namespace kvx {

InputBoxRequest SecretCodeRequest()
{
    InputBoxRequest r;
    r.caption = kSecretCodeTitle;
    r.prompt = kSecretCodePrompt;
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

bool InputCharStorable(QChar c)
{
    // C0 and C1 controls and DEL; the five bytes Windows-1252 leaves undefined decode to C1.
    if (c.category() == QChar::Other_Control)
        return false;
    return cp1252::canEncode(c);
}

bool InputTextStorable(QStringView text)
{
    for (QChar c : text) {
        if (!InputCharStorable(c))
            return false;
    }
    return true;
}

} // namespace kvx
