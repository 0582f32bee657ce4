#include "testing/NewClientChains.h"

#include "store/DataFile.h"

namespace kvx {

bool RunIntake(Session& s, Screens& screens)
{
    s.ScreenAccepted = false;
    screens.ClientInformation();
    if (!s.ScreenAccepted)
        return false;
    s.ScreenAccepted = false;
    screens.CourtHistory();
    return s.ScreenAccepted;
}

void AdministerTest(Session& s, Prompter& prompter, Screens& screens, const OnScreenSteps& steps)
{
    if (!RunIntake(s, screens))
        return;

    const Result<QStringList> found = steps.languages();
    if (!found || found->isEmpty()) {
        prompter.Message(found ? kNoLanguageText : found.error().message + u'\n' + kNoLanguageText,
                         Prompter::Buttons::Ok, Prompter::Icon::Critical);
        DropNewClient(s);
        return;
    }
    QString language = found->constFirst();
    if (found->size() >= 2) {
        s.ScreenAccepted = false;
        language = steps.selectLanguage(*found);
        if (!s.ScreenAccepted)
            return;
    }

    steps.hideChoices();
    steps.showHelp(QStringLiteral("Press Enter to continue."));
    prompter.Message(QStringLiteral("The test will begin as soon as you press the Enter key."),
                     Prompter::Buttons::Ok, Prompter::Icon::None, kPresentationNoteTitle);

    // Only the presentation itself may say that the client finished.
    s.ScreenAccepted = false;
    screens.Presentation(language);
    if (!s.ScreenAccepted)
        return;
    steps.showHelp(QStringLiteral("Enter the secret code to continue."));
    while (!steps.askSecretCode()) {
    }
}

void EnterFromAnswerSheet(Session& s, Screens& screens)
{
    if (!RunIntake(s, screens))
        return;
    s.ScreenAccepted = false;
    screens.AnswerEntry({});
}

} // namespace kvx
