#include "entry/AnswerGridRules.h"

#include "common/TestSupport.h"
#include "testing/QuestionDatabase.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace kvx;

TEST(AnswerGridRules, TheSecondLabelsFirstFiveCharactersGiveTheType)
{
    const std::pair<const char*, int> cases[] = {
        {"False", 0}, {"False or not", 0}, {"No", 1},    {"Not at all", 2},
        {"No ", 2},   {"Sometimes", 3},    {"Somet", 3}, {"Mostly True", 4},
        {"Often", 5}, {"Oft", 2},          {"false", 2}, {"", 2},
        {"Sí", 2},    {" False", 2},
    };
    for (const auto& [label, type] : cases)
        EXPECT_EQ(AnswerTypeOf(QString::fromUtf8(label)), type) << label;
}

TEST(AnswerGridRules, EachTypeTakesTheDigitsUpToItsChoices)
{
    const char* allowed[] = {"012", "012", "01234", "01234", "012345", "012345"};
    for (int type = 0; type < kAnswerTypeCount; ++type) {
        for (char key : std::string("0123456789aX- ")) {
            EXPECT_EQ(KeyAllowed(type, QChar(key)),
                      std::string(allowed[type]).find(key) != std::string::npos)
                << type << " " << key;
        }
    }
}

TEST(AnswerGridRules, ItemsAreGroupedByTypeInTheOrderTypesFirstAppear)
{
    // Two sections of one format share a grid; a stray number or a repeat is left out.
    const std::vector<GridPlan> plan = PlanGrids({{1, "False"},
                                                  {2, "False"},
                                                  {3, "Sometimes"},
                                                  {0, "Yes"},
                                                  {156, "No"},
                                                  {4, "False"},
                                                  {2, "Mostly False"},
                                                  {5, "Often"},
                                                  {6, "Mostly False"}});
    const std::vector<std::pair<int, std::vector<int>>> expected = {
        {0, {1, 2, 4}}, {3, {3}}, {5, {5}}, {4, {6}}};
    ASSERT_EQ(plan.size(), expected.size());
    for (size_t i = 0; i < plan.size(); ++i) {
        EXPECT_EQ(plan[i].answerType, expected[i].first) << i;
        EXPECT_EQ(plan[i].items, expected[i].second) << i;
    }
}

TEST(AnswerGridRules, TheInstalledTableGivesTheFourSectionGrids)
{
    const Workspace ws(EngineDefaults{}, QString(), "admin", QString());
    const QString db = qEnvironmentVariable("KVX_BUILD_DIR") + "/data/KVX_32.db";
    Result<std::vector<EntryQuestion>> loaded = LoadEntryQuestions(ws, db);
    ASSERT_TRUE(loaded.ok()) << test::str(loaded.error().message);
    const std::vector<GridPlan> plan = PlanGrids(*loaded), standard = StandardGridPlan();
    const int types[] = {0, 3, 1, 2}, ends[] = {0, 94, 135, 145, 155};
    ASSERT_EQ(plan.size(), 4u);
    ASSERT_EQ(standard.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        std::vector<int> items(size_t(ends[i + 1] - ends[i]));
        std::iota(items.begin(), items.end(), ends[i] + 1);
        EXPECT_EQ(plan[i].answerType, types[i]);
        EXPECT_EQ(plan[i].items, items);
        EXPECT_EQ(standard[i].answerType, types[i]);
        EXPECT_EQ(standard[i].items, items);
    }
    EXPECT_TRUE(ws.OpenDatabase(db, true).ok()); // closed again after reading
}

TEST(AnswerGridRules, OnlyADigitTheGridCanShowGetsAMarkAndOddCodesStay)
{
    const QByteArray field = "125 A4" + QByteArray(kItemCount - 6, '0');
    AnswerTable t(field);
    const std::tuple<int, int, int> cases[] = {
        {1, 2, 1}, {2, 2, 2}, {3, 2, 0}, {3, 5, 5}, {4, 4, 0}, {5, 5, 0}, {6, 4, 4}, {7, 5, 0},
    };
    for (const auto& [item, choices, column] : cases)
        EXPECT_EQ(t.markColumn(item, choices), column) << item << "/" << choices;
    t.set(3, '0');
    EXPECT_EQ(t.answers(), "120 A4" + QByteArray(kItemCount - 6, '0'));
    EXPECT_EQ(AnswerTable("12").answers(), "12" + QByteArray(kItemCount - 2, '0'));
}

TEST(AnswerGridRules, DoubtfulItemsAreCountedAndListedInOrder)
{
    DoubtfulItems d({140, 17, 64, 0, 156, 17});
    EXPECT_EQ(d.summary(), "3 answers need checking: 17, 64, 140");
    EXPECT_TRUE(d.clear(64) && d.clear(140));
    EXPECT_FALSE(d.clear(64));
    EXPECT_EQ(d.summary(), "1 answer needs checking: 17");
    EXPECT_TRUE(d.clear(17));
    EXPECT_EQ(d.summary(), QString());
}
