#include "testing/Languages.h"

#include "testing/QuestionDatabase.h"

namespace kvx {

Result<QStringList> PresentationLanguages(const Workspace& ws, const QString& dbPath)
{
    auto db = ws.OpenDatabase(dbPath, true);
    if (!db)
        return db.error();
    QStringList found;
    for (const QString& table : (*db)->TableNames()) {
        if (found.size() < kMaxLanguages &&
            (table == QLatin1String("English") || table == QLatin1String("Spanish")))
            found << table;
    }
    (*db)->Close();
    return found;
}

} // namespace kvx
