#include "scoring/Scorer.h"

#include <algorithm>
#include <initializer_list>

namespace kvx {

namespace {

// The floor for a value v of 1, 2, ...: the n-th entry, the last one for v >= n; none for v < 1.
int ladder(int v, std::initializer_list<int> floors)
{
    if (v < 1)
        return 0;
    const auto n = static_cast<int>(floors.size());
    return floors.begin()[std::min(v, n) - 1];
}

bool raiseTo(ClientScores& r, int scale, int floor)
{
    if (r.Percentile[scale] >= floor)
        return false;
    r.Percentile[scale] = floor;
    r.ArrestFloorFlag[scale] = 1;
    return true;
}

void lookUp(const ScoringTables& t, ClientScores& r, int s, int race, int sex)
{
    const int raw = r.RawScore[s];
    if (r.OmitCount[s] >= 4 || raw > t.NormLength(s, race, sex)) {
        r.Percentile[s] = 99;
        return;
    }
    int p = raw <= 0 ? 0 : t.Norm[s][race][sex][static_cast<size_t>(raw - 1)];
    if (s >= 2) {
        static constexpr std::array<int, 3> kCap{7, 18, 37};
        const int endorsed = r.EndorsedCount[s];
        if (endorsed >= 0 && endorsed <= 2)
            p = std::min(p, kCap[static_cast<size_t>(endorsed)]);
    }
    r.Percentile[s] = p;
}

// Truthfulness correction; true when a percentile of 95 or more ends scoring.
bool correctForTruthfulness(const ScoringTables& t, ClientScores& r)
{
    const int p1 = r.Percentile[1];
    if (p1 < 10)
        return false;
    const int band = p1 >= 90 ? 9 : p1 / 10;
    for (int k = 2; k <= kScaleCount; ++k)
        r.RawScore[k] += t.TruthAdjust[k][band];
    if (p1 < 95)
        return false;
    for (int k = 2; k <= kScaleCount; ++k)
        r.Percentile[k] = 99;
    return true;
}

// Floor from the significant answers among the scale's floor items; 0 for none.
int answerFloor(int s, int twos, int threes)
{
    // Columns: ALCOHOL, CONTROL, DRUGS, VIOLENCE.
    static constexpr int kByTotal[10][4] = {
        {0, 0, 0, 0},     {0, 0, 0, 0},     {0, 35, 0, 0},    {66, 42, 67, 65}, {70, 53, 71, 68},
        {75, 59, 76, 72}, {81, 68, 82, 77}, {86, 78, 87, 83}, {90, 89, 91, 88}, {90, 89, 91, 93}};
    const int col = s - 2;
    const int total = twos + threes;
    if (total == 1)
        return threes == 1 ? std::array{36, 0, 37, 38}[col] : 0;
    if (total == 2 && s != 3) {
        if (twos == 2)
            return std::array{42, 0, 41, 40}[col];
        if (threes == 1)
            return std::array{57, 0, 58, 59}[col];
        return std::array{61, 0, 62, 62}[col];
    }
    return kByTotal[std::min(total, 9)][col];
}

void applyAnswerFloor(const ScoringTables& t, ClientScores& r, int s)
{
    static constexpr std::array<std::pair<int, int>, 6> kFloorItems{
        {{0, 0}, {0, 0}, {1, 12}, {13, 24}, {25, 37}, {38, 57}}};
    int twos = 0;
    int threes = 0;
    for (int k = kFloorItems[s].first; k <= kFloorItems[s].second; ++k) {
        const int points = r.ItemPoints[t.FloorItemNo[k]];
        twos += points == 2;
        threes += points == 3;
    }
    r.Percentile[s] = std::max(r.Percentile[s], answerFloor(s, twos, threes));
}

void applyArrestFloors(const ClientWork& c, ClientScores& r, int s)
{
    const int alcohol = CourtValue(c, 13);
    const int drugs = CourtValue(c, 14);
    const bool both = alcohol > 0 && drugs > 0 && alcohol + drugs >= 4;
    if (s == 2) {
        raiseTo(r, 2, ladder(alcohol, {29, 37, 43, 66, 73}));
        if (both)
            raiseTo(r, 2, 67);
    } else if (s == 4) {
        raiseTo(r, 4, ladder(drugs, {36, 44, 66, 73, 88}));
        if (both)
            raiseTo(r, 4, 67);
    } else if (s == 5) {
        const int dv = CourtValue(c, 12);
        const int assault = CourtValue(c, 15);
        raiseTo(r, 5, ladder(dv, {46, 68, 72, 88, 90}));
        raiseTo(r, 5, ladder(assault, {45, 67, 71, 87, 90}));
        if (dv + assault >= 3)
            raiseTo(r, 5, 71);
        r.TimesArrestedFlag = 0;
        if (raiseTo(r, 5, ladder(CourtValue(c, 8), {26, 36, 40, 48, 58, 68, 78, 88})))
            r.TimesArrestedFlag = 1;
    }
}

int stressBracket(const ScoringTables& t, int raw)
{
    for (int i = 1; i <= kStressBracketCount; ++i)
        if (t.StressBound[i] < raw && raw <= t.StressBound[i + 1])
            return i;
    // Outside every bracket: the nearer end of the table.
    return raw <= t.StressBound[1] ? 1 : kStressBracketCount;
}

} // namespace

void ComputePercentiles(const ScoringTables& t, const ClientWork& c, ClientScores& r)
{
    const int sex = c.Gender == 2 ? 2 : 1;
    const int race = InRange(c.Race, 1, 3) ? c.Race : 1;
    for (int s = 1; s <= 5; ++s) {
        lookUp(t, r, s, race, sex);
        if (s == 1) {
            if (correctForTruthfulness(t, r)) {
                r.TruthfulnessEnded = true;
                return;
            }
            continue;
        }
        applyAnswerFloor(t, r, s);
        applyArrestFloors(c, r, s);
    }
    if (r.RawScore[6] <= 0)
        r.Percentile[6] = 99;
    else
        r.Percentile[6] = t.StressNorm[sex][race][stressBracket(t, r.RawScore[6])];
}

void BuildItemLists(const ScoringTables& t, const ClientWork& c, ClientScores& r)
{
    const auto addItems = [&](QStringList& list, int from, int to) {
        for (int k = from; k <= to; ++k)
            if (r.ItemPoints[t.SigItemNo[k]] > 0)
                list.append(t.SigItemText[k]);
    };
    const auto arrestLine = [&](int item, const QString& what) {
        const int v = CourtValue(c, item);
        return QStringLiteral("** ") + QString(c.Court[item]).remove(u' ') + what +
               (v > 1 ? QStringLiteral("s") : QString());
    };
    auto& lists = r.ItemLists;
    for (QStringList& l : lists)
        l.clear();
    if (r.ArrestFloorFlag[2] == 1)
        lists[1].append(QStringLiteral("** Score due to alcohol arrests"));
    addItems(lists[1], 1, 9);
    if (r.ArrestFloorFlag[4] == 1)
        lists[2].append(QStringLiteral("** Score due to drug arrests"));
    addItems(lists[2], 10, 19);
    if (r.ArrestFloorFlag[5] == 1) {
        if (CourtValue(c, 12) > 0)
            lists[3].append(arrestLine(12, QStringLiteral(" domestic violence arrest")));
        if (CourtValue(c, 15) > 0)
            lists[3].append(arrestLine(15, QStringLiteral(" assault arrest")));
        if (r.TimesArrestedFlag == 1)
            lists[3].append(QStringLiteral("** Score due to times arrested"));
    }
    addItems(lists[3], 20, 28);
    addItems(lists[4], 29, 40);
    for (int k = 1; k <= 10; ++k)
        if (c.Answer[135 + k] == 1)
            lists[5].append(t.SigItemText[kSigItemCount + k]);
    for (int g = 1; g <= 4; ++g)
        if (lists[g].isEmpty())
            lists[g] = {QStringLiteral("Lack of items may be deceptive."),
                        QStringLiteral("Review Truthfulness Scale.")};
    if (lists[5].isEmpty())
        lists[5] = {QStringLiteral("No treatment needs selected."),
                    QStringLiteral("Review other scale scores.")};
}

} // namespace kvx
