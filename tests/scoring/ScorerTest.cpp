#include "scoring/ScoringFixture.h"

#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

TEST(Scorer, NinetyTrueAnswersSetTruthfulnessTo99)
{
    for (auto [trueCount, raw] : {std::pair{89, 20}, std::pair{90, 99}})
        EXPECT_EQ(score(clientWith("", answered({{1, trueCount, '1'}}))).RawScore[1], raw)
            << trueCount << " True answers";
}

TEST(Scorer, TruthfulnessCorrectionByBandAndEndOfScoring)
{
    // The table percentile of Truthfulness raw score 20, and the correction band it gives.
    const std::pair<int, int> cases[]{{9, 0},  {10, 1}, {19, 1}, {55, 5},
                                      {89, 8}, {90, 9}, {94, 9}, {95, 9}};
    for (auto [p1, band] : cases) {
        ScoringTables key = standardTables();
        key.Norm[1][1][1][19] = p1;
        for (int k = 2; k <= 6; ++k)
            for (int b = 1; b <= 9; ++b)
                key.TruthAdjust[k][b] = 10 * k + b;
        // Three alcohol arrests: 2 points and a floor of 43.
        const ClientScores r = score(clientWith("13=3", answered({{1, 20, '1'}})), key);
        SCOPED_TRACE(p1);
        const bool ends = p1 >= 95;
        EXPECT_EQ(std::tuple(r.Percentile[1], r.RawScore[2], r.RawScore[6], r.TruthfulnessEnded),
                  std::tuple(p1, 2 + (band ? 20 + band : 0), 60 + (band ? 60 + band : 0), ends));
        EXPECT_EQ(std::tuple(r.ArrestFloorFlag[2] == 1, r.Percentile[6] == 99),
                  std::tuple(!ends, ends));
        EXPECT_TRUE(!ends || std::ranges::count(r.Percentile, 99) == 5); // all but Truthfulness
    }
}

TEST(Scorer, EndorsedCountCapsThePercentile)
{
    // ALCOHOL items answered True, the flat norm of ALCOHOL, the percentile.
    const std::tuple<int, int, int> cases[]{{0, 20, 7},  {0, 5, 5},   {1, 30, 18}, {1, 18, 18},
                                            {2, 40, 37}, {2, 30, 30}, {3, 50, 50}};
    for (auto [endorsed, table, percentile] : cases) {
        ScoringTables key = standardTables();
        key.Norm[2][1][1] = std::vector<int>(40, table);
        key.TruthAdjust[2][4] = 5; // a raw score even without endorsed items
        // Truthfulness raw 20: percentile 40, band 4.
        const ClientScores r =
            score(clientWith("", answered({{1, 20, '1'}, {33, 32 + endorsed, '1'}})), key);
        EXPECT_EQ(std::pair(r.EndorsedCount[2], r.Percentile[2]), std::pair(endorsed, percentile))
            << "table " << table;
    }
}

// The first six floor items of each scale earn 2 points, the others 3; flat norms of 1.
ScoringTables floorKey()
{
    ScoringTables key = standardTables();
    for (int i = 21; i <= 94; ++i)
        (i <= 50 ? key.PointKey[1][1][i - 1] : key.PointKey[2][1][i - 51]) =
            (i - 1) % 20 < 6 ? u'2' : u'3';
    for (int s = 2; s <= 5; ++s)
        key.Norm[s][1][1] = std::vector<int>(40, 1);
    return key;
}

TEST(Scorer, SignificantAnswerFloorsOfEachScale)
{
    // 2-point and 3-point answers on each scale; floors of ALCOHOL, CONTROL, DRUG, VIOLENCE.
    const std::tuple<int, int, std::array<int, 4>> cases[]{
        {0, 0, {0, 0, 0, 0}},     {1, 0, {1, 1, 1, 1}},     {0, 1, {36, 1, 37, 38}},
        {2, 0, {42, 35, 41, 40}}, {1, 1, {57, 35, 58, 59}}, {0, 2, {61, 35, 62, 62}},
        {3, 0, {66, 42, 67, 65}}, {1, 3, {70, 53, 71, 68}}, {3, 2, {75, 59, 76, 72}},
        {6, 0, {81, 68, 82, 77}}, {4, 3, {86, 78, 87, 83}}, {6, 2, {90, 89, 91, 88}},
        {6, 3, {90, 89, 91, 93}}, {6, 5, {90, 89, 91, 93}}};
    const ScoringTables t = floorKey();
    for (const auto& [twos, threes, floor] : cases) {
        QByteArray a = neutralAnswers();
        for (int first = 21; first <= 81; first += 20) // each scale's first floor item
            a = answered({{first, first + twos - 1, '1'}, {first + 6, first + 5 + threes, '1'}}, a);
        const ClientScores r = score(clientWith("", a), t);
        EXPECT_EQ((std::array{r.Percentile[2], r.Percentile[3], r.Percentile[4], r.Percentile[5]}),
                  floor)
            << twos << " twos, " << threes << " threes";
    }
    // A floor never lowers a percentile: three 3-point items (66), two alcohol arrests (37).
    ScoringTables key = floorKey();
    key.Norm[2][1][1] = std::vector<int>(40, 80);
    const ClientScores r = score(clientWith("13=2", answered({{27, 29, '1'}})), key);
    EXPECT_EQ(std::pair(r.Percentile[2], r.ArrestFloorFlag[2]), std::pair(80, 0));
}

TEST(Scorer, ArrestFloors)
{
    // Percentiles of ALCOHOL, DRUG and VIOLENCE, and the times-arrested flag.
    const std::tuple<const char*, int, int, int, int> cases[]{
        {"13=1", 29, 0, 0, 0},       {"13=2", 37, 0, 0, 0},       {"13=4", 66, 0, 0, 0},
        {"13=9", 73, 0, 0, 0},       {"14=1", 0, 36, 0, 0},       {"14=4", 0, 73, 0, 0},
        {"14=12", 0, 88, 0, 0},      {"13=2;14=2", 67, 67, 0, 0}, {"13=1;14=2", 29, 44, 0, 0},
        {"13=3;14=1", 67, 67, 0, 0}, {"13=5;14=5", 73, 88, 0, 0}, {"12=1", 0, 0, 46, 0},
        {"12=5", 0, 0, 90, 0},       {"15=1", 0, 0, 45, 0},       {"15=4", 0, 0, 87, 0},
        {"12=1;15=2", 0, 0, 71, 0},  {"12=4;15=1", 0, 0, 88, 0},  {"8=1", 0, 0, 26, 1},
        {"8=8", 0, 0, 88, 1},        {"12=2;8=3", 0, 0, 68, 0},   {"12=1;8=4", 0, 0, 48, 1},
        {"12=N;8=-1", 0, 0, 0, 0}};
    ScoringTables key = standardTables();
    for (int s = 2; s <= 5; ++s)
        key.Norm[s][1][1] = std::vector<int>(40, 0);
    for (const auto& [court, alcohol, drugs, violence, timesArrested] : cases) {
        const ClientScores r = score(clientWith(court), key);
        // With flat norms of 0, every percentile above 0 is a floor.
        const std::array<int, 7> flags{0, 0, alcohol > 0, 0, drugs > 0, violence > 0, 0};
        EXPECT_EQ(std::tuple(r.Percentile[2], r.Percentile[4], r.Percentile[5], r.ArrestFloorFlag,
                             r.TimesArrestedFlag),
                  std::tuple(alcohol, drugs, violence, flags, timesArrested))
            << court;
    }
}

TEST(Scorer, CourtHistoryPoints)
{
    // Court history, scale, points.
    const std::tuple<const char*, int, int> cases[]{
        {"13=2", 2, 1},  {"13=3", 2, 2},  {"13=6", 2, 3}, {"13=8", 2, 4}, {"13=9", 2, 6},
        {"13=99", 2, 6}, {"13=N", 2, 0},  {"14=3", 4, 3}, {"14=4", 4, 4}, {"14=7", 4, 5},
        {"14=9", 4, 6},  {"14=10", 4, 7}, {"1=14", 5, 5}, {"1=15", 5, 4}, {"1=18", 5, 3},
        {"1=20", 5, 2},  {"1=21", 5, 1},  {"2=4", 5, 4},  {"2=5", 5, 6},  {"3=1", 5, 1},
        {"3=2", 5, 3},   {"3=4", 5, 5},   {"3=5", 5, 7},  {"4=5", 5, 5},  {"8=6", 5, 6},
        {"10=9", 5, 6},  {"11=4", 5, 4},  {"11=7", 5, 4}, {"12=3", 5, 6}, {"12=6", 5, 10},
        {"13=40", 5, 0}, {"14=40", 5, 0}, {"15=2", 5, 2}, {"15=3", 5, 4}, {"15=6", 5, 8},
        {"15=N", 5, 0},  {"9=-1", 5, 0},  {"9= 3", 5, 3}};
    for (auto [court, scale, points] : cases)
        EXPECT_EQ(score(clientWith(court)).RawScore[scale], points) << court;
}

TEST(Scorer, NormGroupFromGenderAndRace)
{
    // Gender, race; percentiles of Truthfulness raw 10 and of stress coping raw 60 (bracket 30).
    const std::tuple<int, int, int, int> cases[]{{1, 1, 20, 30}, {2, 1, 30, 40}, {0, 1, 20, 30},
                                                 {2, 2, 33, 43}, {1, 3, 26, 36}, {1, 4, 20, 30},
                                                 {1, 0, 20, 30}, {7, 2, 23, 33}};
    for (auto [gender, race, p1, p6] : cases) {
        const ClientScores r =
            score({.gender = gender, .race = race, .answers = answered({{1, 10, '1'}})});
        EXPECT_EQ((std::pair{r.Percentile[1], r.Percentile[6]}), (std::pair{p1, p6}))
            << "gender " << gender << ", race " << race;
    }
}

TEST(Scorer, StressCoping)
{
    const QByteArray rare = neutralAnswers();
    // Answers, stress bound 1 (the others 2 apart), the correction of band 2 (Truthfulness
    // raw 10); raw score, omitted items, percentile.
    const std::tuple<QByteArray, int, int, int, int, int> cases[]{
        {answered({{95, 134, '0'}}), 0, 0, 15, 40, 8}, // everything unanswered
        {rare, 0, 0, 60, 0, 30},
        {rare, -200, 0, 60, 0, 51}, // above every bracket
        {rare, 60, 0, 60, 0, 1},    // at the first bound
        {rare, 100, 0, 60, 0, 1},   // below it
        {rare, 0, -61, -1, 0, 99},  // negative after the correction
        {rare, 0, -60, 0, 0, 99}};  // zero after it
    for (const auto& [answers, firstBound, adjust, raw, omitted, percentile] : cases) {
        ScoringTables key = standardTables();
        for (int i = 1; i <= 52; ++i)
            key.StressBound[i] = firstBound + 2 * (i - 1);
        key.TruthAdjust[6][2] = adjust;
        const ClientScores r = score(clientWith("", answered({{1, 10, '1'}}, answers)), key);
        EXPECT_EQ((std::array{r.RawScore[6], r.OmitCount[6], r.Percentile[6]}),
                  (std::array{raw, omitted, percentile}));
    }
}

TEST(Scorer, FourOmittedItemsMakeThePercentile99)
{
    const std::tuple<int, char, int> cases[]{{3, '0', 0}, {4, '0', 99}, {4, ' ', 99}};
    for (auto [omitted, code, percentile] : cases) {
        const ClientScores r = score(clientWith("", answered({{21, 20 + omitted, code}})));
        EXPECT_EQ(std::pair(r.OmitCount[2], r.Percentile[2]), std::pair(omitted, percentile));
    }
}

TEST(Scorer, PointsOfEachBlockAndCode)
{
    ScoringTables key = standardTables();
    key.PointKey[1][1] = "1234567890" + QString(39, u'0') + "7";
    key.PointKey[2][2] = "3" + QString(42, u'0') + "5";
    key.PointKey[3][4] = "9" + QString(38, u'0') + "8";
    key.PointKey[4][1] = "6000x00004";
    key.PointKey[5][3] = "12";
    // Item, answer, points. Codes above a block's choices, non-digits and short keys earn 0.
    const std::tuple<int, int, int> cases[]{
        {3, 1, 3},   {50, 1, 7},  {1, 3, 0},   {1, 9, 0},   {51, 2, 3},  {94, 2, 5},  {94, 4, 0},
        {95, 4, 9},  {134, 4, 8}, {135, 4, 0}, {95, 5, 0},  {136, 1, 6}, {140, 1, 0}, {145, 1, 4},
        {136, 3, 0}, {146, 3, 1}, {147, 3, 2}, {148, 3, 0}, {146, 0, 0}};
    for (auto [item, answer, points] : cases)
        EXPECT_EQ(PointsOf(key, item, answer), points) << "item " << item << ", answer " << answer;
}

TEST(Scorer, NothingCarriesOverToTheNextClient)
{
    const ScoringTables t = standardTables();
    ClientScores r = score(clientWith("12=2;8=9;13=4", answered({{21, 30, '1'}})), t);
    ASSERT_EQ(r.TimesArrestedFlag, 1);
    const ClientWork next = UnpackClient(ClientFixture().record(), 1);
    ComputeRawScores(t, next, r);
    ComputePercentiles(t, next, r);
    const auto results = [](const ClientScores& x) {
        return std::tuple(x.RawScore, x.Percentile, x.OmitCount, x.EndorsedCount, x.ItemPoints,
                          x.ArrestFloorFlag, x.TimesArrestedFlag);
    };
    EXPECT_EQ(results(r), results(score(ClientFixture(), t)));
}

TEST(Scorer, RiskRangesAndParagraphKeys)
{
    const std::tuple<int, int, QString> cases[]{
        {0, 1, "LOW"},          {39, 1, "LOW"},          {40, 2, "MEDIUM-LOW"},
        {55, 2, "MEDIUM-LOW"},  {56, 2, "MEDIUM-HIGH"},  {69, 2, "MEDIUM-HIGH"},
        {70, 3, "PROBLEM"},     {89, 3, "PROBLEM"},      {90, 4, "MAXIMUM-LOW"},
        {94, 4, "MAXIMUM-LOW"}, {95, 4, "MAXIMUM-HIGH"}, {99, 4, "MAXIMUM-HIGH"}};
    for (const auto& [p, range, key] : cases)
        EXPECT_EQ(std::pair(RiskRange(p), ParagraphKey(standardTables(), p)),
                  std::pair(range, key));
}

TEST(Scorer, SignificantItemAndTreatmentNeedLists)
{
    // Court history, answers, the list (1 alcohol, 2 drugs, 3 domestic violence, 4 control,
    // 5 treatment needs) and its lines.
    const std::tuple<const char*, QByteArray, int, QString> cases[]{
        {"12= 2", {}, 3, "** 2 domestic violence arrests"},
        {"12=1;15=3;8=9", answered({{81, 81, '1'}, {85, 85, '1'}}), 3,
         "** 1 domestic violence arrest|** 3 assault arrests|** Score due to times arrested|"
         "Family sign 20|Family sign 24"},
        {"13=1", answered({{21, 21, '1'}, {29, 30, '1'}}), 1,
         "** Score due to alcohol arrests|Alcohol sign 1|Alcohol sign 9"},
        {"14=2", {}, 2, "** Score due to drug arrests"},
        {"", {}, 4, "Lack of items may be deceptive.|Review Truthfulness Scale."},
        {"", answered({{136, 136, '1'}, {140, 140, '1'}, {145, 145, '1'}}), 5,
         "Program 1 wanted|Program 5 wanted|Program 10 wanted"},
        {"", {}, 5, "No treatment needs selected.|Review other scale scores."}};
    for (const auto& [court, answers, list, lines] : cases)
        EXPECT_EQ(score(clientWith(court, answers)).ItemLists[list].join(u'|'), lines);
}

} // namespace
