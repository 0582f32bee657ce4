#pragma once

#include "store/Result.h"

#include <QString>
#include <QStringList>

namespace kvx {

class Workspace;

// At most this many language buttons; the question database may hold only these two.
inline constexpr int kMaxLanguages = 3;

// The presentation languages of the question database: its tables named exactly "English" or
// "Spanish" (letter case counts), in the order the database lists them. Opened exclusively.
Result<QStringList> PresentationLanguages(const Workspace& ws, const QString& dbPath);

} // namespace kvx
