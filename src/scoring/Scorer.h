#pragma once

#include "scoring/ScoringTables.h"
#include "store/ClientRecord.h"

#include <QString>
#include <QStringList>

#include <array>

namespace kvx {

// The values of one client that scoring and the report work from.
struct ClientWork
{
    QString Name;        // the 25 stored characters
    QString Age;         // the 3 stored characters, or "N/A"
    QString DateOfBirth; // the 10 stored characters
    int Gender = 0;
    int Race = 0;
    int Marital = 0;
    int Education = 0;
    QString TestDate;                               // "m/d/yyyy"
    std::array<QString, kCourtItemCount + 1> Court; // 1..15 as stored; "-1" reads "N"
    std::array<int, kItemCount + 1> Answer{};       // 1..155: code 0..9
    int TestNumber = 0;                             // the record number
};

// The numeric value of court history item 1..15: its leading number, 0 for "N" or blanks.
int CourtValue(const ClientWork& c, int item);

ClientWork UnpackClient(const ClientRecord& record, int recordNumber);

// The results of one scoring run; a fresh value holds nothing of any earlier client.
struct ClientScores
{
    std::array<int, kScaleCount + 1> RawScore{};
    std::array<int, kScaleCount + 1> Percentile{};
    std::array<int, kScaleCount + 1> OmitCount{};
    std::array<int, kScaleCount + 1> EndorsedCount{};
    std::array<int, kScaleCount + 1> ArrestFloorFlag{};
    std::array<int, kItemCount + 1> ItemPoints{};
    int TimesArrestedFlag = 0;
    // True when a Truthfulness percentile of 95 or more ended scoring early.
    bool TruthfulnessEnded = false;
    // The report's lists: 1 alcohol, 2 drugs, 3 domestic violence, 4 control,
    // 5 treatment needs.
    std::array<QStringList, 6> ItemLists;
};

inline bool InRange(int value, int low, int high)
{
    return low <= value && value <= high;
}

// Points of one item for its answer, from the point key of its block.
int PointsOf(const ScoringTables& t, int item, int answer);

void ComputeRawScores(const ScoringTables& t, const ClientWork& c, ClientScores& r);
void ComputePercentiles(const ScoringTables& t, const ClientWork& c, ClientScores& r);
void BuildItemLists(const ScoringTables& t, const ClientWork& c, ClientScores& r);

// Everything above, in order, from a fresh result.
ClientScores ScoreClient(const ScoringTables& t, const ClientWork& c);

// Risk range 1..4 of a percentile, and the key of its paragraph.
int RiskRange(int percentile);
QString ParagraphKey(const ScoringTables& t, int percentile);

} // namespace kvx
