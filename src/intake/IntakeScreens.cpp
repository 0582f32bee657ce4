#include "intake/IntakeScreens.h"

#include "intake/frmClientInfo.h"
#include "intake/frmCourtHistory.h"

namespace kvx {

void ShowClientInformation(Session& session, Prompter& prompter, QWidget* parent)
{
    frmClientInfo screen(session, prompter, parent);
    screen.exec();
}

void ShowCourtHistory(Session& session, Prompter& prompter, QWidget* parent)
{
    frmCourtHistory screen(session, prompter, parent);
    screen.exec();
}

} // namespace kvx
