#pragma once

#include "scoring/Scorer.h"
#include "scoring/ScoringTables.h"

#include <QByteArray>

namespace kvx {

inline const QString kReportFileName = QStringLiteral("REPORT.PRN");

// What the report of one client is made from.
struct ReportInput
{
    QString programDir; // paragraph files and "INVAL.TXT"
    const ScoringTables& tables;
    const ClientWork& client;
    const ClientScores& scores;
    bool summaryPage = false; // add the one-page summary copy
    QString vendorLine1;      // footer lines of the installation's branding
    QString vendorLine2;
};

// The report's bytes: Windows-1252, CR LF. Fails, naming the file and key, when a
// paragraph or "INVAL.TXT" cannot be read.
Result<QByteArray> ComposeReport(const ReportInput& in);

// Composes the report and puts it in place of "REPORT.PRN" in the program folder. The file
// is replaced whole or not at all.
Status WriteReport(const ReportInput& in);

} // namespace kvx
