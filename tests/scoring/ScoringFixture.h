#pragma once

// Small synthetic installations for the scoring tests and benchmarks: every value is made up
// so that a test can work out the expected results by hand.

#include "scoring/Scorer.h"

#include <array>
#include <ostream>
#include <tuple>

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace kvx::test {

// The standard tables:
//  - scales: 1 items 1-20, 2 items 21-40, 3 items 41-60, 4 items 61-80, 5 items 81-94, 146-151;
//  - a True answer earns 1 point in section 1; in sections 2 and 4 code c earns c-1;
//  - norms: 40 raw scores, percentile = min(99, 2*raw + 10*(sex-1) + 3*(race-1));
//  - stress bounds 0, 2, ..., 102; stress norm of bracket b = b + 10*(sex-1) + 3*(race-1);
//  - floor items: alcohol 21-32, control 41-52, drugs 61-73, violence 81-94, 146-151;
//  - significant items: alcohol 21-29, drugs 61-70, domestic violence 81-89, control 41-52;
//  - no Truthfulness corrections.
ScoringTables standardTables();
QByteArray renderKey(const ScoringTables& t);  // as "KVXB2.TXT"
QByteArray renderText(const ScoringTables& t); // as "KVXRPT.TXT"

// The standard installation: key, text, six paragraph files of linesPerKey lines a key,
// "INVAL.TXT" and "branding.ini".
void writeInstallation(const QString& dir, int linesPerKey = 3);

// False in section 1, "Rare or Never" in section 2, No in section 3, 1 in section 4: no
// point on any scale and no omission.
QByteArray neutralAnswers();

// base with the items from..to of each span answered with its code.
using Span = std::tuple<int, int, char>;
QByteArray answered(std::initializer_list<Span> spans, QByteArray base = neutralAnswers());

struct ClientFixture
{
    QString name = "Doe, Jane", age = "34", dob = "04/07/1990", testDate = "03/05/2024";
    int gender = 1, race = 1, marital = 2, education = 4;
    std::array<QString, 16> court{}; // 1..15; empty: "0"
    QByteArray answers;              // empty: neutralAnswers()

    ClientRecord record() const;
};

// court: stored court history values as "item=value;item=value".
ClientFixture clientWith(const char* court, QByteArray answers = {});
ClientScores score(const ClientFixture& c, const ScoringTables& t = standardTables());

} // namespace kvx::test
