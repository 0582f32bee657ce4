#include "scoring/ScoringHelpers.h"

using namespace kvx;
using namespace kvx::test;

namespace {

TEST(Scorer, ExcessiveTrueAnswersSetTruthfulnessTo99)
{
    struct Case
    {
        int trueCount; // items 1..trueCount answered True, the rest of section 1 False
        int raw1;
    };
    const Case cases[] = {{89, 20}, {90, 99}, {94, 99}, {20, 20}, {5, 5}};
    const ScoringTables t = tablesOf();
    for (const Case& c : cases) {
        ClientFixture client;
        client.answers = answersWithRange(1, c.trueCount, '1');
        EXPECT_EQ(score(t, client).RawScore[1], c.raw1) << c.trueCount << " True answers";
    }
}

TEST(Scorer, TruthfulnessCorrectionByBandAndEndOfScoring)
{
    struct Case
    {
        int p1;    // table percentile of raw score 20 on scale 1
        int band;  // correction band applied, 0 for none
        bool ends; // scoring ends with every other percentile 99
    };
    const Case cases[] = {{9, 0, false},  {10, 1, false}, {19, 1, false},
                          {55, 5, false}, {89, 8, false}, {90, 9, false},
                          {94, 9, false}, {95, 9, true},  {99, 9, true}};
    for (const Case& c : cases) {
        KeyFixture key = KeyFixture::standard();
        key.norm[1][1][1][19] = c.p1;
        for (int k = 2; k <= 6; ++k)
            for (int b = 1; b <= 9; ++b)
                key.truthAdjust[k][b] = 10 * k + b;
        const ScoringTables t = tablesOf(key);
        ClientFixture client;
        client.answers = answersWithRange(1, 20, '1');
        client.court[13] = QStringLiteral("3"); // would raise ALCOHOL to 43
        const ClientScores r = score(t, client);
        SCOPED_TRACE(c.p1);
        EXPECT_EQ(r.Percentile[1], c.p1);
        // Neutral answers: ALCOHOL earns only its 2 arrest points; stress coping 60.
        EXPECT_EQ(r.RawScore[2], 2 + (c.band ? 20 + c.band : 0));
        EXPECT_EQ(r.RawScore[6], 60 + (c.band ? 60 + c.band : 0));
        EXPECT_EQ(r.TruthfulnessEnded, c.ends);
        if (c.ends) {
            for (int k = 2; k <= 6; ++k)
                EXPECT_EQ(r.Percentile[k], 99) << "scale " << k;
            EXPECT_EQ(r.ArrestFloorFlag[2], 0);
        } else {
            EXPECT_EQ(r.ArrestFloorFlag[2], 1);
            EXPECT_GE(r.Percentile[2], 43);
            EXPECT_LT(r.Percentile[6], 99);
        }
    }
}

TEST(Scorer, EndorsedCountCapsTheAlcoholPercentile)
{
    struct Case
    {
        int endorsed; // ALCOHOL items answered True
        int table;    // the flat norm of ALCOHOL
        int expected;
    };
    const Case cases[] = {{0, 20, 7},  {0, 5, 5},   {1, 30, 18}, {1, 18, 18},
                          {2, 40, 37}, {2, 30, 30}, {3, 50, 50}};
    for (const Case& c : cases) {
        KeyFixture key = KeyFixture::standard();
        key.norm[2][1][1] = std::vector<int>(40, c.table);
        key.truthAdjust[2][4] = 5; // raw score without endorsed items
        const ScoringTables t = tablesOf(key);
        ClientFixture client;
        // Truthfulness raw 20 gives percentile 40 (band 4); floor items earn 1 point only.
        client.answers = answersWithRange(1, 20, '1');
        client.answers = answersWithRange(33, 32 + c.endorsed, '1', client.answers);
        const ClientScores r = score(t, client);
        EXPECT_EQ(r.EndorsedCount[2], c.endorsed);
        EXPECT_EQ(r.Percentile[2], c.expected) << c.endorsed << " endorsed, table " << c.table;
    }
}

// Floor items can earn 2 (first half) or 3 points (second half) when answered.
KeyFixture floorKey()
{
    KeyFixture key = KeyFixture::standard();
    QString& b1 = key.pointKey[1][1];
    QString& b2 = key.pointKey[2][1];
    for (int i = 21; i <= 26; ++i)
        b1[i - 1] = u'2';
    for (int i = 27; i <= 32; ++i)
        b1[i - 1] = u'3';
    for (int i = 41; i <= 46; ++i)
        b1[i - 1] = u'2';
    for (int i = 47; i <= 50; ++i)
        b1[i - 1] = u'3';
    for (int i = 51; i <= 52; ++i)
        b2[i - 51] = u'3';
    for (int i = 61; i <= 66; ++i)
        b2[i - 51] = u'2';
    for (int i = 67; i <= 73; ++i)
        b2[i - 51] = u'3';
    for (int i = 81; i <= 87; ++i)
        b2[i - 51] = u'2';
    for (int i = 88; i <= 94; ++i)
        b2[i - 51] = u'3';
    for (int s = 2; s <= 5; ++s)
        key.norm[s][1][1] = std::vector<int>(40, 1);
    return key;
}

TEST(Scorer, SignificantAnswerFloorsOfEachScale)
{
    struct Case
    {
        int twos;
        int threes;
        std::array<int, 4> floor; // ALCOHOL, CONTROL, DRUGS, VIOLENCE; 1 = unchanged
    };
    const Case cases[] = {
        {0, 0, {0, 0, 0, 0}},     {1, 0, {1, 1, 1, 1}},     {0, 1, {36, 1, 37, 38}},
        {2, 0, {42, 35, 41, 40}}, {1, 1, {57, 35, 58, 59}}, {0, 2, {61, 35, 62, 62}},
        {3, 0, {66, 42, 67, 65}}, {1, 3, {70, 53, 71, 68}}, {3, 2, {75, 59, 76, 72}},
        {6, 0, {81, 68, 82, 77}}, {4, 3, {86, 78, 87, 83}}, {6, 2, {90, 89, 91, 88}},
        {6, 3, {90, 89, 91, 93}}, {6, 5, {90, 89, 91, 93}},
    };
    const ScoringTables t = tablesOf(floorKey());
    const std::array<std::pair<int, int>, 4> twoItems{{{21, 26}, {41, 46}, {61, 66}, {81, 87}}};
    const std::array<std::pair<int, int>, 4> threeItems{{{27, 32}, {47, 52}, {67, 73}, {88, 94}}};
    for (const Case& c : cases) {
        ClientFixture client;
        QByteArray a = neutralAnswers();
        for (int col = 0; col < 4; ++col) {
            a = answersWithRange(twoItems[col].first, twoItems[col].first + c.twos - 1, '1', a);
            a = answersWithRange(threeItems[col].first, threeItems[col].first + c.threes - 1, '1',
                                 a);
        }
        client.answers = a;
        const ClientScores r = score(t, client);
        for (int col = 0; col < 4; ++col)
            EXPECT_EQ(r.Percentile[col + 2], c.floor[col])
                << "scale " << col + 2 << ", " << c.twos << " twos, " << c.threes << " threes";
    }
}

TEST(Scorer, FloorsNeverLowerAPercentile)
{
    KeyFixture key = floorKey();
    key.norm[2][1][1] = std::vector<int>(40, 80);
    const ScoringTables t = tablesOf(key);
    ClientFixture client;
    client.answers = answersWithRange(27, 29, '1'); // three 3-point items: floor 66
    client.court[13] = QStringLiteral("2");         // arrest floor 37
    const ClientScores r = score(t, client);
    EXPECT_EQ(r.Percentile[2], 80);
    EXPECT_EQ(r.ArrestFloorFlag[2], 0);
}

TEST(Scorer, ArrestFloors)
{
    struct Case
    {
        const char* name;
        std::vector<std::pair<int, const char*>> court;
        int alcohol, drugs, violence;
        int alcoholFlag, drugFlag, violenceFlag, timesArrested;
    };
    const Case cases[] = {
        {"none", {}, 0, 0, 0, 0, 0, 0, 0},
        {"alcohol 1", {{13, "1"}}, 29, 0, 0, 1, 0, 0, 0},
        {"alcohol 2", {{13, "2"}}, 37, 0, 0, 1, 0, 0, 0},
        {"alcohol 3", {{13, "3"}}, 43, 0, 0, 1, 0, 0, 0},
        {"alcohol 4", {{13, "4"}}, 66, 0, 0, 1, 0, 0, 0},
        {"alcohol 9", {{13, "9"}}, 73, 0, 0, 1, 0, 0, 0},
        {"drugs 1", {{14, "1"}}, 0, 36, 0, 0, 1, 0, 0},
        {"drugs 3", {{14, "3"}}, 0, 66, 0, 0, 1, 0, 0},
        {"drugs 4", {{14, "4"}}, 0, 73, 0, 0, 1, 0, 0},
        {"drugs 12", {{14, "12"}}, 0, 88, 0, 0, 1, 0, 0},
        {"alcohol 2 + drugs 2", {{13, "2"}, {14, "2"}}, 67, 67, 0, 1, 1, 0, 0},
        {"alcohol 1 + drugs 2", {{13, "1"}, {14, "2"}}, 29, 44, 0, 1, 1, 0, 0},
        {"alcohol 3 + drugs 1", {{13, "3"}, {14, "1"}}, 67, 67, 0, 1, 1, 0, 0},
        {"alcohol 5 + drugs 5", {{13, "5"}, {14, "5"}}, 73, 88, 0, 1, 1, 0, 0},
        {"dv 1", {{12, "1"}}, 0, 0, 46, 0, 0, 1, 0},
        {"dv 2", {{12, "2"}}, 0, 0, 68, 0, 0, 1, 0},
        {"dv 5", {{12, "5"}}, 0, 0, 90, 0, 0, 1, 0},
        {"assault 1", {{15, "1"}}, 0, 0, 45, 0, 0, 1, 0},
        {"assault 4", {{15, "4"}}, 0, 0, 87, 0, 0, 1, 0},
        {"dv 1 + assault 2", {{12, "1"}, {15, "2"}}, 0, 0, 71, 0, 0, 1, 0},
        {"dv 4 + assault 1", {{12, "4"}, {15, "1"}}, 0, 0, 88, 0, 0, 1, 0},
        {"arrests 1", {{8, "1"}}, 0, 0, 26, 0, 0, 1, 1},
        {"arrests 8", {{8, "8"}}, 0, 0, 88, 0, 0, 1, 1},
        {"dv 2 + arrests 3", {{12, "2"}, {8, "3"}}, 0, 0, 68, 0, 0, 1, 0},
        {"dv 1 + arrests 4", {{12, "1"}, {8, "4"}}, 0, 0, 48, 0, 0, 1, 1},
        {"not available", {{12, "N"}, {13, "N"}, {8, "-1"}}, 0, 0, 0, 0, 0, 0, 0},
    };
    KeyFixture key = KeyFixture::standard();
    for (int s = 2; s <= 5; ++s)
        key.norm[s][1][1] = std::vector<int>(40, 0);
    const ScoringTables t = tablesOf(key);
    for (const Case& c : cases) {
        ClientFixture client;
        for (const auto& [item, value] : c.court)
            client.court[item] = QString::fromLatin1(value);
        const ClientScores r = score(t, client);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(r.Percentile[2], c.alcohol);
        EXPECT_EQ(r.Percentile[4], c.drugs);
        EXPECT_EQ(r.Percentile[5], c.violence);
        EXPECT_EQ(r.ArrestFloorFlag[2], c.alcoholFlag);
        EXPECT_EQ(r.ArrestFloorFlag[4], c.drugFlag);
        EXPECT_EQ(r.ArrestFloorFlag[5], c.violenceFlag);
        EXPECT_EQ(r.ArrestFloorFlag[3], 0);
        EXPECT_EQ(r.TimesArrestedFlag, c.timesArrested);
    }
}

TEST(Scorer, CourtHistoryPoints)
{
    struct Case
    {
        int item;
        const char* value;
        int scale;
        int points;
    };
    const Case cases[] = {
        {13, "1", 2, 1},  {13, "2", 2, 1},  {13, "3", 2, 2},  {13, "6", 2, 3}, {13, "8", 2, 4},
        {13, "9", 2, 6},  {13, "99", 2, 6}, {13, "N", 2, 0},  {14, "3", 4, 3}, {14, "4", 4, 4},
        {14, "7", 4, 5},  {14, "9", 4, 6},  {14, "10", 4, 7}, {1, "14", 5, 5}, {1, "15", 5, 4},
        {1, "18", 5, 3},  {1, "20", 5, 2},  {1, "21", 5, 1},  {2, "4", 5, 4},  {2, "5", 5, 6},
        {3, "1", 5, 1},   {3, "2", 5, 3},   {3, "4", 5, 5},   {3, "5", 5, 7},  {4, "5", 5, 5},
        {8, "6", 5, 6},   {10, "9", 5, 6},  {11, "4", 5, 4},  {11, "7", 5, 4}, {12, "3", 5, 6},
        {12, "6", 5, 10}, {13, "40", 5, 0}, {14, "40", 5, 0}, {15, "2", 5, 2}, {15, "3", 5, 4},
        {15, "6", 5, 8},  {15, "N", 5, 0},  {9, "-1", 5, 0},  {9, " 3", 5, 3},
    };
    KeyFixture key = KeyFixture::standard();
    const ScoringTables t = tablesOf(key);
    for (const Case& c : cases) {
        ClientFixture client;
        client.court[c.item] = QString::fromLatin1(c.value);
        EXPECT_EQ(score(t, client).RawScore[c.scale], c.points)
            << "court item " << c.item << " = \"" << c.value << "\"";
    }
}

TEST(Scorer, NormGroupFromGenderAndRace)
{
    struct Case
    {
        int gender;
        int race;
        int p1; // raw score 10 on TRUTHFULNESS
        int p6; // stress coping raw score 60: bracket 30
    };
    const Case cases[] = {{1, 1, 20, 30}, {2, 1, 30, 40}, {0, 1, 20, 30},
                          {2, 2, 33, 43}, {1, 3, 26, 36}, {1, 4, 20, 30},
                          {2, 6, 30, 40}, {1, 0, 20, 30}, {7, 2, 23, 33}};
    const ScoringTables t = tablesOf();
    for (const Case& c : cases) {
        ClientFixture client;
        client.gender = c.gender;
        client.race = c.race;
        client.answers = answersWithRange(1, 10, '1');
        const ClientScores r = score(t, client);
        EXPECT_EQ(r.Percentile[1], c.p1) << "gender " << c.gender << ", race " << c.race;
        EXPECT_EQ(r.Percentile[6], c.p6) << "gender " << c.gender << ", race " << c.race;
    }
}

TEST(Scorer, StressCoping)
{
    struct Case
    {
        const char* name;
        QByteArray answers;
        int firstBound; // stress bound 1; the others follow 2 apart
        int adjust;     // Truthfulness correction of stress coping (raw 10 gives band 2)
        int raw;
        int omitted;
        int percentile;
    };
    const QByteArray unanswered = answersWithRange(95, 134, '0');
    // Group A items answered 4, group B items 1: sum A 80, sum B 20.
    QByteArray high = answersWithRange(95, 134, '1');
    for (int i : {95,  96,  98,  100, 104, 106, 109, 110, 113, 115,
                  118, 120, 122, 123, 125, 126, 127, 130, 132, 134})
        high[i - 1] = '4';
    const Case cases[] = {
        {"all unanswered", unanswered, 0, 0, 15, 40, 8},
        {"all rare", neutralAnswers(), 0, 0, 60, 0, 30},
        {"above every bracket", high, 0, 0, 240, 0, 51},
        {"at the first bound", neutralAnswers(), 60, 0, 60, 0, 1},
        {"below the first bound", neutralAnswers(), 100, 0, 60, 0, 1},
        {"negative after correction", neutralAnswers(), 0, -61, -1, 0, 99},
        {"zero after correction", neutralAnswers(), 0, -60, 0, 0, 99},
    };
    for (const Case& c : cases) {
        KeyFixture key = KeyFixture::standard();
        for (int i = 1; i <= 52; ++i)
            key.stressBound[i] = c.firstBound + 2 * (i - 1);
        key.truthAdjust[6][2] = c.adjust;
        const ScoringTables t = tablesOf(key);
        ClientFixture client;
        client.answers = answersWithRange(1, 10, '1', c.answers);
        const ClientScores r = score(t, client);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(r.RawScore[6], c.raw);
        EXPECT_EQ(r.OmitCount[6], c.omitted);
        EXPECT_EQ(r.EndorsedCount[6], 9);
        EXPECT_EQ(r.Percentile[6], c.percentile);
    }
}

TEST(Scorer, OmittedItems)
{
    struct Case
    {
        int omitted; // ALCOHOL items left unanswered
        int percentile;
    };
    const Case cases[] = {{0, 0}, {3, 0}, {4, 99}, {5, 99}, {20, 99}};
    const ScoringTables t = tablesOf();
    for (const Case& c : cases) {
        ClientFixture client;
        client.answers = answersWithRange(21, 20 + c.omitted, '0');
        const ClientScores r = score(t, client);
        EXPECT_EQ(r.OmitCount[2], c.omitted);
        EXPECT_EQ(r.Percentile[2], c.percentile) << c.omitted << " omitted";
    }
    // A blank answer counts as no answer.
    ClientFixture blank;
    blank.answers = answersWithRange(21, 25, ' ');
    EXPECT_EQ(score(t, blank).OmitCount[2], 5);
}

TEST(Scorer, PointsOfEachBlockAndCode)
{
    KeyFixture key = KeyFixture::standard();
    key.pointKey[1][1] = QStringLiteral("1234567890") + QString(39, u'0') + u'7';
    key.pointKey[2][2] = QStringLiteral("3") + QString(42, u'0') + u'5';
    key.pointKey[3][4] = QStringLiteral("9") + QString(38, u'0') + u'8';
    key.pointKey[4][1] = QStringLiteral("6000x00004");
    key.pointKey[5][3] = QStringLiteral("12");
    const ScoringTables t = tablesOf(key);
    struct Case
    {
        int item;
        int answer;
        int points;
    };
    const Case cases[] = {
        {1, 1, 1},   {3, 1, 3},   {50, 1, 7},  {1, 3, 0},   {1, 9, 0},   {51, 2, 3},  {94, 2, 5},
        {94, 4, 0},  {95, 4, 9},  {134, 4, 8}, {135, 4, 0}, {95, 5, 0},  {136, 1, 6}, {140, 1, 0},
        {145, 1, 4}, {136, 3, 0}, {146, 3, 1}, {147, 3, 2}, {148, 3, 0}, {155, 3, 0}, {146, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PointsOf(t, c.item, c.answer), c.points)
            << "item " << c.item << ", answer " << c.answer;
}

TEST(Scorer, ScoringAgainGivesTheSameAndNothingCarriesOver)
{
    const ScoringTables t = tablesOf();
    ClientFixture first;
    first.court[12] = QStringLiteral("2");
    first.court[8] = QStringLiteral("9");
    first.court[13] = QStringLiteral("4");
    first.answers = answersWithRange(21, 30, '1');
    const ClientFixture second;

    ClientScores r;
    const ClientWork a = UnpackClient(first.record(), 1);
    const ClientWork b = UnpackClient(second.record(), 2);
    ComputeRawScores(t, a, r);
    ComputePercentiles(t, a, r);
    const ClientScores once = r;
    ComputeRawScores(t, a, r);
    ComputePercentiles(t, a, r);
    EXPECT_EQ(r.RawScore, once.RawScore);
    EXPECT_EQ(r.Percentile, once.Percentile);
    EXPECT_EQ(r.ArrestFloorFlag, once.ArrestFloorFlag);
    EXPECT_EQ(once.TimesArrestedFlag, 1);

    ComputeRawScores(t, b, r);
    ComputePercentiles(t, b, r);
    const ClientScores fresh = score(t, second);
    EXPECT_EQ(r.RawScore, fresh.RawScore);
    EXPECT_EQ(r.Percentile, fresh.Percentile);
    EXPECT_EQ(r.ItemPoints, fresh.ItemPoints);
    EXPECT_EQ(r.ArrestFloorFlag, (std::array<int, 7>{}));
    EXPECT_EQ(r.TimesArrestedFlag, 0);
}

TEST(Scorer, RiskRangesAndParagraphKeys)
{
    struct Case
    {
        int p;
        int range;
        const char* key;
    };
    const Case cases[] = {{0, 1, "LOW"},          {39, 1, "LOW"},          {40, 2, "MEDIUM-LOW"},
                          {55, 2, "MEDIUM-LOW"},  {56, 2, "MEDIUM-HIGH"},  {69, 2, "MEDIUM-HIGH"},
                          {70, 3, "PROBLEM"},     {89, 3, "PROBLEM"},      {90, 4, "MAXIMUM-LOW"},
                          {94, 4, "MAXIMUM-LOW"}, {95, 4, "MAXIMUM-HIGH"}, {99, 4, "MAXIMUM-HIGH"}};
    const ScoringTables t = tablesOf();
    for (const Case& c : cases) {
        EXPECT_EQ(RiskRange(c.p), c.range) << c.p;
        EXPECT_EQ(ParagraphKey(t, c.p).toStdString(), c.key) << c.p;
    }
}

TEST(Scorer, SignificantItemAndTreatmentNeedLists)
{
    struct Case
    {
        const char* name;
        std::vector<std::pair<int, const char*>> court;
        QByteArray answers;
        int list;
        std::vector<std::string> lines;
    };
    const std::vector<std::string> deceptive{"Lack of items may be deceptive.",
                                             "Review Truthfulness Scale."};
    const Case cases[] = {
        {"one dv arrest", {{12, "1"}}, {}, 3, {"** 1 domestic violence arrest"}},
        {"two dv arrests", {{12, "2"}}, {}, 3, {"** 2 domestic violence arrests"}},
        {"stored right-aligned", {{12, " 2"}}, {}, 3, {"** 2 domestic violence arrests"}},
        {"dv, assault and times arrested",
         {{12, "1"}, {15, "3"}, {8, "9"}},
         answersWith({{81, '1'}, {85, '1'}}),
         3,
         {"** 1 domestic violence arrest", "** 3 assault arrests", "** Score due to times arrested",
          "Family sign 20", "Family sign 24"}},
        {"alcohol arrests then items",
         {{13, "1"}},
         answersWith({{21, '1'}, {29, '1'}, {30, '1'}}),
         1,
         {"** Score due to alcohol arrests", "Alcohol sign 1", "Alcohol sign 9"}},
        {"drug arrests", {{14, "2"}}, {}, 2, {"** Score due to drug arrests"}},
        {"empty control", {}, {}, 4, deceptive},
        {"empty alcohol", {}, {}, 1, deceptive},
        {"control items",
         {},
         answersWith({{41, '1'}, {52, '1'}}),
         4,
         {"Control sign 29", "Control sign 40"}},
        {"treatment needs",
         {},
         answersWith({{136, '1'}, {140, '1'}, {145, '1'}}),
         5,
         {"Program 1 wanted", "Program 5 wanted", "Program 10 wanted"}},
        {"no treatment needs",
         {},
         {},
         5,
         {"No treatment needs selected.", "Review other scale scores."}},
    };
    const ScoringTables t = tablesOf();
    for (const Case& c : cases) {
        ClientFixture client;
        for (const auto& [item, value] : c.court)
            client.court[item] = QString::fromLatin1(value);
        client.answers = c.answers;
        const ClientScores r = score(t, client);
        std::vector<std::string> lines;
        for (const QString& l : r.ItemLists[c.list])
            lines.push_back(l.toStdString());
        EXPECT_EQ(lines, c.lines) << c.name;
    }
}

TEST(Scorer, UnpackClient)
{
    ClientFixture fixture;
    fixture.age = QStringLiteral("N");
    fixture.testDate = QStringLiteral("03/05/2024");
    fixture.court[5] = QStringLiteral("-1");
    fixture.court[6] = QStringLiteral("12");
    const ClientWork c = UnpackClient(fixture.record(), 7);
    EXPECT_EQ(c.Age, QStringLiteral("N/A"));
    EXPECT_EQ(c.Name.size(), 25);
    EXPECT_EQ(c.TestDate, QStringLiteral("3/5/2024"));
    EXPECT_EQ(c.Court[5], QStringLiteral("N"));
    EXPECT_EQ(CourtValue(c, 5), 0);
    EXPECT_EQ(CourtValue(c, 6), 12);
    EXPECT_EQ(c.TestNumber, 7);

    fixture.age = QStringLiteral("7");
    fixture.testDate = QStringLiteral("12/25/2023");
    const ClientWork d = UnpackClient(fixture.record(), 1);
    EXPECT_EQ(d.Age, QStringLiteral("7  "));
    EXPECT_EQ(d.TestDate, QStringLiteral("12/25/2023"));
}

} // namespace
