#include "scoring/ScoreAndReport.h"

#include "install/Branding.h"
#include "scoring/ReportWriter.h"

namespace kvx {

namespace {

Status checkCurrentClient(const Session& s)
{
    if (s.CurClient < 1 || s.CurClient > kMaxClients)
        return Error{err::BadRecordNumber,
                     QStringLiteral("There is no client %1 to score.").arg(s.CurClient)};
    return {};
}

} // namespace

Result<ClientScores> ScoreCurrentClient(const Session& s)
{
    if (const Status st = checkCurrentClient(s); !st)
        return st.error();
    const Result<ScoringTables> t = LoadScoringTables(s.ProgramDir);
    if (!t)
        return t.error();
    return ScoreClient(*t, UnpackClient(s.current(), s.CurClient));
}

Result<ClientScores> ScoreAndReportResults(Session& s)
{
    if (const Status st = checkCurrentClient(s); !st)
        return st.error();
    const Result<ScoringTables> t = LoadScoringTables(s.ProgramDir);
    if (!t)
        return t.error();
    const ClientWork work = UnpackClient(s.current(), s.CurClient);
    ClientScores scores = ScoreClient(*t, work);
    const Branding brand = LoadBranding(s.ProgramDir, s.BrandCode);
    const ReportInput in{s.ProgramDir,     *t, work, scores, s.SummaryPage, brand.ReportLine1,
                         brand.ReportLine2};
    if (const Status st = WriteReport(in); !st)
        return st.error();
    return scores;
}

Status ScoreAndReport(Session& s)
{
    const Result<ClientScores> r = ScoreAndReportResults(s);
    if (!r)
        return r.error();
    return {};
}

} // namespace kvx
