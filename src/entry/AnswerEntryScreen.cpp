#include "entry/AnswerEntryScreen.h"

#include "entry/frmNewEntry.h"
#include "testing/QuestionDatabase.h"

#include <QDir>

namespace kvx {

void ShowAnswerEntry(Session& session, Prompter& prompter, const QList<int>& doubtfulItems,
                     QWidget* parent)
{
    const Workspace ws(EngineDefaults{QStringLiteral("QELTest"), QStringLiteral("tamvoli"),
                                      QDir(session.ProgramDir).filePath(QStringLiteral("kvx.ini"))},
                       QString(), QStringLiteral("admin"), QString());
    // The table is read once and the database closed at once, so a caller that still holds it
    // cannot keep the grid from opening. Without a readable table the grids follow the test's
    // own sections, which is what the shipped table gives: answers are never left unkeyable.
    std::vector<GridPlan> plan;
    if (Result<std::vector<EntryQuestion>> rows = LoadEntryQuestions(ws, session.QuestionDbPath))
        plan = PlanGrids(*rows);
    if (plan.empty())
        plan = StandardGridPlan();
    frmNewEntry screen(session, prompter, plan, doubtfulItems, parent);
    screen.exec();
}

} // namespace kvx
