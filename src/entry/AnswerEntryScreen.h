#pragma once

#include "store/Session.h"
#include "ui/Prompter.h"

#include <QList>

class QWidget;

namespace kvx {

// Shows the answer grid modally for the current client, its grids built from the question
// database of the installation. Keyed entry for a new client (EditMode false), review of a
// scanned sheet (ScanEditMode, doubtfulItems marked) and editing a stored client all come
// here; the outcome is in Session::ScreenAccepted.
void ShowAnswerEntry(Session& session, Prompter& prompter, const QList<int>& doubtfulItems,
                     QWidget* parent);

} // namespace kvx
