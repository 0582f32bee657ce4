#pragma once

#include "ui/Prompter.h"
#include "ui/Screens.h"

#include <QString>

namespace kvx {

// The supervisor's secret code: one letter, typed in either case.
inline constexpr char16_t kSecretCode = u'K';
inline const QString kSecretCodeTitle = QStringLiteral("Secret Code");
inline const QString kSecretCodePrompt = QStringLiteral(
    "Enter the Secret Code to continue.  For security, asterisks (*) will show as you type.");
inline const QString kSecretCodeWrong = QStringLiteral("Incorrect Secret Code.  Please try again.");

// What the input box is asked for the secret code.
InputBoxRequest SecretCodeRequest();

// The typed text is the code: the letter alone, in either case.
bool SecretCodeMatches(const QString& typed);

// Asks for the secret code through the input box until it is typed (true) or the operator
// cancels (false); a wrong code is told and asked again.
bool AskSecretCode(Screens& screens, Prompter& prompter);

} // namespace kvx
