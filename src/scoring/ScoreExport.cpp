#include "scoring/ScoreExport.h"

#include "scoring/Scorer.h"

namespace kvx {

QString CsvField(const QString& value)
{
    const bool quote = value.contains(u',') || value.contains(u'"') || value.contains(u'\n') ||
                       value.contains(u'\r') || value != value.trimmed();
    if (!quote)
        return value;
    QString q = value;
    q.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

QString ExportScoresCsv(const Session& s, const ScoringTables& t, bool withNames)
{
    QStringList header{QStringLiteral("record")};
    if (withNames)
        header << QStringLiteral("name");
    header << QStringLiteral("test_date") << QStringLiteral("age") << QStringLiteral("gender")
           << QStringLiteral("race") << QStringLiteral("marital") << QStringLiteral("education")
           << QStringLiteral("validity");
    for (int sc = 1; sc <= kScaleCount; ++sc) {
        const QString scale = t.ScaleName[sc].toLower().replace(u' ', u'_');
        header << scale + QStringLiteral("_raw") << scale + QStringLiteral("_percentile")
               << scale + QStringLiteral("_range");
    }
    QString csv;
    const auto addRow = [&csv](const QStringList& fields) {
        QStringList quoted;
        for (const QString& f : fields)
            quoted << CsvField(f);
        csv += quoted.join(u',') + QStringLiteral("\r\n");
    };
    addRow(header);
    for (int n = 1; n <= s.NumClients; ++n) {
        const ClientRecord& r = s.client(n);
        const ClientScores scores = ScoreClient(t, UnpackClient(r, n));
        QStringList row{QString::number(n)};
        if (withNames)
            row << (r.code(Field::NameDeleted) != 0 ? QString() : r.trimmed(Field::Name));
        row << r.trimmed(Field::TestDate) << r.trimmed(Field::Age) << r.trimmed(Field::Gender)
            << r.trimmed(Field::Race) << r.trimmed(Field::Marital)
            << r.trimmed(Field::Education)
            // The report's rule: a Truthfulness percentile of 95 or more invalidates the test.
            << (scores.Percentile[1] >= 95 ? QStringLiteral("invalid") : QStringLiteral("valid"));
        for (int sc = 1; sc <= kScaleCount; ++sc)
            row << QString::number(scores.RawScore[sc]) << QString::number(scores.Percentile[sc])
                << t.RangeName[RiskRange(scores.Percentile[sc])];
        addRow(row);
    }
    return csv;
}

} // namespace kvx
