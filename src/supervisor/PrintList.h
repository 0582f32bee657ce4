#pragma once

#include "store/Session.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kvx {

// The instructions of the selective printing screen, every line ended by CR LF.
QString PrintSelectedInstructions();

// The client lines of the selective printing list: one per record 1..NumClients, as the main
// menu shows them.
QStringList PrintListLines(const Session& s);

// The records to print for the selected list rows (from 0), in list order, each once.
QList<int> RecordsForRows(QList<int> rows, int lineCount);

} // namespace kvx
