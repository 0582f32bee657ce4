#pragma once

#include "common/TestSupport.h"
#include "scoring/ScoringTables.h"
#include "store/Cp1252.h"

#include <gtest/gtest.h>

namespace kvx::test {

inline QString dataDir()
{
    return qEnvironmentVariable("KVX_SOURCE_DIR") + "/data";
}

// The lines of an installation text file; every line must end with CR LF.
inline QStringList crlfLines(const QString& name)
{
    const QByteArray bytes = readBytes(dataDir() + '/' + name);
    EXPECT_TRUE(bytes.endsWith("\r\n")) << str(name);
    QStringList lines = cp1252::decode(bytes).split("\r\n");
    lines.removeLast();
    for (const QString& l : lines)
        EXPECT_FALSE(l.contains('\n') || l.contains('\r')) << str(name) << ": " << str(l);
    return lines;
}

// The scoring key and report texts of data/ as the program reads them, without a problem.
inline testing::AssertionResult loadTables(ScoringTables& t)
{
    QList<FileProblem> problems;
    Result<ScoringTables> r = LoadScoringTables(dataDir(), &problems);
    if (!problems.isEmpty())
        return testing::AssertionFailure() << str(problems.first().text());
    t = *r;
    return testing::AssertionSuccess();
}

} // namespace kvx::test
