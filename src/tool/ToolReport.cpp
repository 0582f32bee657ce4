#include "scoring/ReportWriter.h"
#include "scoring/ScoreAndReport.h"
#include "tool/Tool.h"
#include "tool/ToolClient.h"

#include <QDir>

namespace kvx::tool {

int runReport(const QStringList& args)
{
    ClientOptions o(QStringLiteral("report"));
    const QCommandLineOption summary(QStringLiteral("summary-page"),
                                     QStringLiteral("Add the one-page summary copy."));
    o.parser.addOption(summary);
    Session s;
    if (const int rc = o.load(args, s); rc != 0)
        return rc;
    s.SummaryPage = o.parser.isSet(summary);
    if (const Status st = ScoreAndReport(s); !st)
        return fail(st.error().message);
    out() << QDir(s.ProgramDir).filePath(kReportFileName) << '\n';
    return 0;
}

} // namespace kvx::tool
