#pragma once

#include "scoring/Scorer.h"
#include "scoring/ScoringFixture.h"
#include "store/Cp1252.h"

#include <gtest/gtest.h>

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace kvx::test {

// Tables read from the rendered fixture files, as the program reads them.
inline ScoringTables tablesOf(const KeyFixture& key = KeyFixture::standard(),
                              const TextFixture& text = TextFixture::standard())
{
    ScoringTables t;
    QList<FileProblem> problems;
    ReadScoringKey(cp1252::decode(key.render()), QStringLiteral("KVXB2.TXT"), t, problems);
    ReadReportText(cp1252::decode(text.render()), QStringLiteral("KVXRPT.TXT"), t, problems);
    for (const FileProblem& p : problems)
        if (p.fatal)
            ADD_FAILURE() << p.text().toStdString();
    return t;
}

inline ClientScores score(const ScoringTables& t, const ClientFixture& c)
{
    return ScoreClient(t, UnpackClient(c.record(), 1));
}

// Neutral answers with the given items set to a code.
inline QByteArray answersWith(std::initializer_list<std::pair<int, char>> items)
{
    QByteArray a = neutralAnswers();
    for (const auto& [item, code] : items)
        a[item - 1] = code;
    return a;
}

inline QByteArray answersWithRange(int from, int to, char code, QByteArray a = neutralAnswers())
{
    for (int i = from; i <= to; ++i)
        a[i - 1] = code;
    return a;
}

} // namespace kvx::test
