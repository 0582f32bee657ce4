#include "scoring/InstallCheck.h"

#include "install/Branding.h"
#include "scoring/Paragraphs.h"
#include "store/DataFile.h"
#include "testing/QuestionDatabase.h"

#include <QDir>
#include <QFileInfo>

namespace kvx {

namespace {

void checkQuestionTable(const QuestionDatabase& db, const QString& file, const QString& table,
                        QList<FileProblem>& problems)
{
    const Result<Recordset> rs = db.OpenRecordset(QStringLiteral("Select * from [%1]").arg(table));
    if (!rs) {
        problems.append({file, 0, QStringLiteral("no table %1").arg(table)});
        return;
    }
    Recordset r = *rs;
    if (r.RecordCount() != kItemCount)
        problems.append({file, 0,
                         QStringLiteral("table %1 holds %2 records instead of %3")
                             .arg(table)
                             .arg(r.RecordCount())
                             .arg(kItemCount)});
    int expected = 1;
    for (r.MoveFirst(); !r.AtEOF(); r.MoveNext(), ++expected) {
        const Result<QVariant> id = r.Field(QStringLiteral("ID"));
        if (!id) {
            problems.append({file, 0, QStringLiteral("table %1 has no field ID").arg(table)});
            return;
        }
        bool ok = false;
        const int value = id->toInt(&ok);
        if (!ok || value != expected) {
            problems.append({file, 0,
                             QStringLiteral("table %1: record %2 has ID %3, not %2")
                                 .arg(table)
                                 .arg(expected)
                                 .arg(id->toString())});
            return;
        }
    }
}

} // namespace

QList<FileProblem> CheckQuestionDatabase(const QString& path)
{
    const QString file = QFileInfo(path).fileName();
    if (!QFileInfo::exists(path))
        return {{file, 0, QStringLiteral("file not found")}};
    const Workspace ws(EngineDefaults{}, QStringLiteral("check"), QString(), QString());
    const auto db = ws.OpenDatabase(path, false);
    if (!db)
        return {{file, 0, db.error().message}};
    QList<FileProblem> problems;
    checkQuestionTable(**db, file, QStringLiteral("English"), problems);
    checkQuestionTable(**db, file, QStringLiteral("Spanish"), problems);
    const Result<Recordset> scan = (*db)->OpenRecordset(QStringLiteral("ScanItem"));
    if (!scan)
        problems.append({file, 0, QStringLiteral("no table ScanItem")});
    else if (scan->RecordCount() != kScanItemRows)
        problems.append({file, 0,
                         QStringLiteral("table ScanItem holds %1 rows instead of %2")
                             .arg(scan->RecordCount())
                             .arg(kScanItemRows)});
    (*db)->Close();
    return problems;
}

QList<FileProblem> CheckInstallation(const QString& programDir)
{
    QList<FileProblem> problems;
    ScoringTables t;
    const auto readOne = [&](const QString& name, auto reader) {
        const Result<QString> text = ReadInstallationFile(programDir, name);
        if (!text)
            problems.append({name, 0, text.error().message.mid(name.size() + 2)});
        else
            reader(*text, name, t, problems);
    };
    readOne(kScoringKeyFileName, &ReadScoringKey);
    readOne(kReportTextFileName, &ReadReportText);

    QStringList keys = ParagraphKeys(t);
    keys.removeAll(QString()); // range names the text file did not give
    for (int s = 1; s <= kScaleCount; ++s)
        problems.append(CheckParagraphFile(programDir, t.ParagraphFile[s], keys));
    problems.append(CheckInvalidText(programDir));

    if (!QFileInfo::exists(resolveFileName(programDir, kBrandingFileName)))
        problems.append({kBrandingFileName, 0, QStringLiteral("file not found")});
    problems.append(CheckQuestionDatabase(resolveFileName(programDir, kQuestionDbFileName)));
    return problems;
}

} // namespace kvx
