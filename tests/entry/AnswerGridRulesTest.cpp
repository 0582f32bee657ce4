#include "entry/AnswerGridRules.h"

#include "common/TestSupport.h"
#include "testing/QuestionDatabase.h"

#include <gtest/gtest.h>

using namespace kvx;
using kvx::test::str;

namespace {

std::vector<EntryQuestion> rows(std::initializer_list<std::pair<int, const char*>> list)
{
    std::vector<EntryQuestion> out;
    for (const auto& [id, answer2] : list)
        out.push_back({id, QString::fromUtf8(answer2)});
    return out;
}

std::vector<int> range(int first, int last)
{
    std::vector<int> v;
    for (int i = first; i <= last; ++i)
        v.push_back(i);
    return v;
}

} // namespace

TEST(AnswerGridRules, TheSecondLabelsFirstFiveCharactersGiveTheType)
{
    const std::pair<const char*, int> cases[] = {
        {"False", 0}, {"False or not", 0}, {"No", 1},     {"Not at all", 2},  {"Nope", 2},
        {"No ", 2},   {"Sometimes", 3},    {"Somet", 3},  {"Mostly True", 4}, {"Often", 5},
        {"Often", 5}, {"Oft", 2},          {"false", 2},  {"Falso", 2},       {"", 2},
        {"2", 2},     {"Sí", 2},           {" False", 2},
    };
    for (const auto& [label, type] : cases)
        EXPECT_EQ(AnswerTypeOf(QString::fromUtf8(label)), type) << label;
}

TEST(AnswerGridRules, EachTypeTakesTheDigitsUpToItsChoices)
{
    const std::pair<int, const char*> cases[] = {
        {0, "012"}, {1, "012"}, {2, "01234"}, {3, "01234"}, {4, "012345"}, {5, "012345"},
    };
    for (const auto& [type, allowed] : cases) {
        for (char16_t key : u"0123456789aX- /") {
            if (key == 0)
                continue;
            const bool expected = QString::fromLatin1(allowed).contains(QChar(key));
            EXPECT_EQ(KeyAllowed(type, QChar(key)), expected)
                << "type " << type << " key " << char(key);
        }
    }
    EXPECT_EQ(EntryHelpText(2), "0=No answer, 1=1, 2=2,  3=3, 4=4, Tab=Next grid");
}

TEST(AnswerGridRules, ItemsAreGroupedByTypeInTheOrderTypesFirstAppear)
{
    // Two sections of one format share a grid; a stray number or a repeat is left out.
    const std::vector<GridPlan> plan = PlanGrids(rows({{1, "False"},
                                                       {2, "False"},
                                                       {3, "Sometimes"},
                                                       {0, "Yes"},
                                                       {156, "No"},
                                                       {4, "False"},
                                                       {2, "Mostly False"},
                                                       {5, "Often"},
                                                       {6, "Mostly False"}}));
    ASSERT_EQ(plan.size(), 4u);
    const std::pair<int, std::vector<int>> expected[] = {
        {0, {1, 2, 4}}, {3, {3}}, {5, {5}}, {4, {6}}};
    for (size_t i = 0; i < plan.size(); ++i) {
        EXPECT_EQ(plan[i].answerType, expected[i].first) << i;
        EXPECT_EQ(plan[i].items, expected[i].second) << i;
    }
    EXPECT_TRUE(PlanGrids({}).empty());
}

TEST(AnswerGridRules, TheInstalledTableGivesTheFourSectionGrids)
{
    const Workspace ws(EngineDefaults{"QELTest", "tamvoli", "/tmp/kvx.ini"}, QString(), "admin",
                       QString());
    const QString db = qEnvironmentVariable("KVX_BUILD_DIR") + "/data/KVX_32.db";
    Result<std::vector<EntryQuestion>> loaded = LoadEntryQuestions(ws, db);
    ASSERT_TRUE(loaded.ok()) << str(loaded.error().message);
    const std::vector<GridPlan> plan = PlanGrids(*loaded);
    const std::vector<GridPlan> standard = StandardGridPlan();
    ASSERT_EQ(plan.size(), 4u);
    ASSERT_EQ(standard.size(), 4u);
    const int types[] = {0, 3, 1, 2};
    const std::pair<int, int> spans[] = {{1, 94}, {95, 135}, {136, 145}, {146, 155}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(plan[i].answerType, types[i]);
        EXPECT_EQ(plan[i].items, range(spans[i].first, spans[i].second));
        EXPECT_EQ(standard[i].answerType, plan[i].answerType);
        EXPECT_EQ(standard[i].items, plan[i].items);
    }
    // The database is closed again: an exclusive opener gets it at once.
    EXPECT_TRUE(ws.OpenDatabase(db, true).ok());
    EXPECT_EQ(LoadEntryQuestions(ws, "/nonexistent/KVX_32.db").error().code, err::DbInvalidPath);
}

TEST(AnswerGridRules, OnlyADigitTheGridCanShowGetsAMark)
{
    QByteArray field(kItemCount, '0');
    field[0] = '1';
    field[1] = '2';
    field[2] = '5';
    field[3] = ' ';
    field[4] = 'A';
    field[5] = '4';
    const AnswerTable t(field);
    const std::tuple<int, int, int> cases[] = {
        {1, 2, 1}, {2, 2, 2}, {3, 2, 0}, {3, 5, 5}, {4, 4, 0}, {5, 5, 0}, {6, 4, 4}, {7, 5, 0},
    };
    for (const auto& [item, choices, column] : cases)
        EXPECT_EQ(t.markColumn(item, choices), column) << item << "/" << choices;
    // Odd codes go back as they came unless keyed.
    AnswerTable keyed(field);
    keyed.set(3, '0');
    QByteArray expected = field;
    expected[2] = '0';
    EXPECT_EQ(keyed.answers(), expected);
    EXPECT_EQ(AnswerTable("12").answers(), "12" + QByteArray(153, '0'));
}

TEST(AnswerGridRules, DoubtfulItemsAreCountedAndListedInOrder)
{
    DoubtfulItems d({140, 17, 64, 0, 156, 17});
    EXPECT_EQ(d.summary(), "3 answers need checking: 17, 64, 140");
    EXPECT_TRUE(d.clear(64));
    EXPECT_FALSE(d.clear(64));
    EXPECT_TRUE(d.clear(140));
    EXPECT_EQ(d.summary(), "1 answer needs checking: 17");
    EXPECT_TRUE(d.clear(17));
    EXPECT_EQ(d.summary(), QString());
    EXPECT_EQ(DoubtfulItems().count(), 0);
}
