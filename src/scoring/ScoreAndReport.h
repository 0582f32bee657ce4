#pragma once

#include "scoring/Scorer.h"
#include "store/Session.h"

namespace kvx {

// Scores the current client (CurClient) from the installation's key files, read afresh.
Result<ClientScores> ScoreCurrentClient(const Session& s);

// Scores the current client and writes its report, "REPORT.PRN", in the program folder
// (with the one-page summary copy when SummaryPage is set). On any failure the error names
// the file at fault and the previous report is left as it was.
Status ScoreAndReport(Session& s);

// The same, handing back the results.
Result<ClientScores> ScoreAndReportResults(Session& s);

} // namespace kvx
