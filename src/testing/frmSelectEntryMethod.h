#pragma once

#include "testing/NewClientChains.h"
#include "ui/ScreenConventions.h"
#include "ui/Screens.h"

#include <QGroupBox>
#include <QStackedLayout>

namespace kvx {

// How a new client's answers will reach the program: on screen, keyed from a sheet, scanned.
// Runs the chosen chain while it stays open (its choices hidden), then closes.
class frmSelectEntryMethod : public KvxScreen
{
    Q_OBJECT
public:
    // languages: what LanguageCount finds; askSecretCode: the prompt after the on-screen test.
    frmSelectEntryMethod(Session& session, Prompter& prompter, Screens& screens,
                         std::function<Result<QStringList>()> languages,
                         std::function<bool()> askSecretCode, QWidget* parent = nullptr);

    QGroupBox* fraSelectMethod;
    QFrame* frBlank;
    QLabel* lblClientName;

    // Hides the choice frame; the blank frame keeps its place.
    void hideChoices();

private:
    void choose(int index);

    Screens& screens_;
    OnScreenSteps steps_;
    QStackedLayout* stack_;
};

} // namespace kvx
