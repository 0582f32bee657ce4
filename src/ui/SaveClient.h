#pragma once

#include "store/Session.h"
#include "ui/Prompter.h"

namespace kvx {

inline const QString kDataDiskErrorTitle = QStringLiteral("Data Disk Error");

// Writes the current client to the data disk: an existing one in place, a new one (CurClient
// past NumClients) as the disk's next record, which NumClients then counts; when another program
// has added clients meanwhile, the client takes the next free number and the operator is told
// which. A failure is put to
// the operator with Retry and Cancel; returns whether the record was written. On Cancel the
// client table entry is as the screen left it and nothing on disk changed.
bool SaveCurrentClient(Session& s, Prompter& prompter);

} // namespace kvx
