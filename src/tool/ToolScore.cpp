#include "scoring/ScoreAndReport.h"
#include "store/DataFile.h"
#include "tool/Tool.h"
#include "tool/ToolClient.h"

namespace kvx::tool {

namespace {

QString jsonString(const QString& s)
{
    QString out = QStringLiteral("\"");
    for (QChar ch : s) {
        if (ch == u'"' || ch == u'\\')
            out.append(u'\\');
        out.append(ch);
    }
    return out + u'"';
}

QString scoresJson(int client, const ScoringTables& names, const ClientScores& r)
{
    QStringList scales;
    for (int s = 1; s <= kScaleCount; ++s)
        scales.append(QStringLiteral("{\"name\": %1, \"raw\": %2, \"percentile\": %3, "
                                     "\"omitted\": %4, \"endorsed\": %5, \"arrestFloor\": %6, "
                                     "\"range\": %7}")
                          .arg(jsonString(names.ScaleName[s]))
                          .arg(r.RawScore[s])
                          .arg(r.Percentile[s])
                          .arg(r.OmitCount[s])
                          .arg(r.EndorsedCount[s])
                          .arg(r.ArrestFloorFlag[s])
                          .arg(jsonString(names.RangeName[RiskRange(r.Percentile[s])])));
    return QStringLiteral("{\"client\": %1, \"scales\": [%2], \"timesArrestedFlag\": %3}")
        .arg(client)
        .arg(scales.join(QStringLiteral(", ")))
        .arg(r.TimesArrestedFlag);
}

} // namespace

int runScore(const QStringList& args)
{
    ClientOptions o(QStringLiteral("score"));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print JSON."));
    o.parser.addOption(json);
    Session s;
    if (const int rc = o.load(args, s); rc != 0)
        return rc;
    const Result<ScoringTables> tables = LoadScoringTables(s.ProgramDir);
    if (!tables)
        return fail(tables.error().message);
    const ScoringTables& names = *tables;
    const ClientScores r = ScoreClient(names, UnpackClient(s.current(), s.CurClient));
    if (o.parser.isSet(json)) {
        out() << scoresJson(s.CurClient, names, r) << '\n';
        return 0;
    }
    for (int sc = 1; sc <= kScaleCount; ++sc)
        out() << names.ScaleName[sc].leftJustified(14) << " raw " << r.RawScore[sc]
              << " percentile " << r.Percentile[sc] << " omitted " << r.OmitCount[sc]
              << " endorsed " << r.EndorsedCount[sc] << " arrestFloor " << r.ArrestFloorFlag[sc]
              << '\n';
    out() << "timesArrestedFlag " << r.TimesArrestedFlag << '\n';
    return 0;
}

} // namespace kvx::tool
