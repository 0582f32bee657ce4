// The readers of the scoring key and norms file and of the report text file, on any text.
#include "FuzzSupport.h"

#include "scoring/ScoringTables.h"
#include "store/Cp1252.h"

using namespace kvx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = cp1252::decode(fuzz::bytesOf(data, size));
    ScoringTables t;
    QList<FileProblem> problems;
    ReadScoringKey(text, kScoringKeyFileName, t, problems);
    ReadReportText(text, kReportTextFileName, t, problems);
    for (const FileProblem& p : std::as_const(problems))
        (void)p.text();
    return 0;
}
