#pragma once

#include "store/Result.h"
#include "store/Session.h"
#include "ui/Prompter.h"
#include "ui/Screens.h"

#include <QStringList>

#include <functional>

namespace kvx {

inline const QString kPresentationNoteTitle = QStringLiteral("Presentation Note");
inline const QString kNoLanguageText =
    QStringLiteral("The question database holds no \"English\" or \"Spanish\" questions, so the "
                   "test cannot be presented on screen.\nThe new client has not been kept.");

// What the on-screen chain needs besides the Screens. The entry method screen hands in the real
// ones; tests hand in their own.
struct OnScreenSteps
{
    // The languages found in the question database (LanguageCount's buttons).
    std::function<Result<QStringList>()> languages;
    // The language screen: the language chosen, with ScreenAccepted set, or ScreenAccepted clear.
    std::function<QString(const QStringList& languages)> selectLanguage;
    // The secret code prompt: true once the right code was typed, false when cancelled.
    std::function<bool()> askSecretCode;
    // The entry method screen hides its choices and shows a help text.
    std::function<void()> hideChoices;
    std::function<void(const QString&)> showHelp;
};

// The three ways a new client's answers reach the program. Each screen of a chain reports
// through ScreenAccepted and the chain goes on only while it is set.
void AdministerTest(Session& s, Prompter& prompter, Screens& screens, const OnScreenSteps& steps);
void EnterFromAnswerSheet(Session& s, Screens& screens);

// The intake half both chains share: client information, then court history.
bool RunIntake(Session& s, Screens& screens);

} // namespace kvx
