#include "intake/IntakeRules.h"

#include "common/TestSupport.h"

#include <gtest/gtest.h>

using namespace kvx;
using kvx::test::str;

TEST(IntakeRules, AgeAcceptsElevenToNinetyNineOrN)
{
    // What the box holds afterwards; empty when refused.
    const std::pair<const char*, const char*> cases[] = {
        {"10", ""}, {"11", "11"}, {"99", "99"}, {"n", "N"},  {" 50", "50"},
        {"5", ""},  {"", ""},     {"NA", ""},   {"100", ""}, {"0", ""},
    };
    for (const auto& [typed, kept] : cases) {
        const Verdict v = CheckAge(QString::fromLatin1(typed));
        EXPECT_EQ(v.ok(), *kept != 0) << typed;
        EXPECT_EQ(str(v.value), kept) << typed;
    }
}

TEST(IntakeRules, GoodDateKnowsTheCalendar)
{
    const std::pair<const char*, bool> cases[] = {
        {"02/30/1970", false}, {"04/31/1980", false}, {"12/31/1999", true}, {"N", false},
        {"02/29/1972", true},  {"02/29/1971", false}, {"1/2/1999", false},  {"12-31-1999", false},
    };
    for (const auto& [text, good] : cases)
        EXPECT_EQ(GoodDate(QString::fromLatin1(text)), good) << text;
}

TEST(IntakeRules, ListsMatchWhatIsTypedOrTheFirstLetters)
{
    using enum InfoList;
    const std::tuple<InfoList, const char*, int> cases[] = {
        {Gender, "2", 2},    {Gender, "n", 0},     {Gender, "Female", 2},
        {Race, "N", -1},     {Race, "0", 0},       {Race, "Native American", 5},
        {Race, "ca", 1},     {Race, "N/A", 0},     {Marital, "Separated", 4},
        {Education, "8", 8}, {Education, "9", -1}, {Education, "N", -1},
    };
    for (const auto& [list, text, entry] : cases)
        EXPECT_EQ(MatchListEntry(list, QString::fromLatin1(text)), entry) << text;
    // While typing, a list takes its own digits and N only.
    const std::tuple<InfoList, const char*, const char*> keys[] = {{Gender, "012Nn", "3FM/"},
                                                                   {Race, "0123456N", "7C"},
                                                                   {Education, "012345678n", "9G"},
                                                                   {Marital, "012345N", "6S/"}};
    for (const auto& [list, taken, refused] : keys) {
        for (const char* c = taken; *c; ++c)
            EXPECT_TRUE(ListKeyAccepted(list, QLatin1Char(*c))) << *c;
        for (const char* c = refused; *c; ++c)
            EXPECT_FALSE(ListKeyAccepted(list, QLatin1Char(*c))) << *c;
    }
}

TEST(IntakeRules, SaveDecisions)
{
    using enum SaveAction;
    // editMode, scanEditMode, numClients, loadedEditCount, changed; a scanned sheet has no limit
    const std::pair<SaveContext, SaveAction> cases[] = {
        {{true, false, 5, 0, false}, CloseUnchanged},  {{true, false, 5, 2, true}, StoreAndWrite},
        {{true, false, 5, 3, true}, CloseAtLimit},     {{false, false, 5, 0, true}, StoreNew},
        {{false, true, 5, 3, true}, StoreNew},         {{false, false, 50, 0, true}, StoreNew},
        {{false, false, 51, 0, true}, RefuseDiskFull}, {{false, true, 51, 0, true}, RefuseDiskFull},
    };
    int row = 0;
    for (const auto& [context, action] : cases)
        EXPECT_EQ(DecideSave(context), action) << "row " << row++;
}

TEST(IntakeRules, CourtCountsAndTheAgeAtFirstConviction)
{
    // value, a good count (items 2-15), a good age at the first conviction (item 1)
    const std::tuple<const char*, bool, bool> cases[] = {
        {"0", true, false},   {"07", true, true},   {"99", true, true},   {"n", true, true},
        {"00", false, false}, {"", false, false},   {"4", true, false},   {"5", true, true},
        {" 5 ", true, true},  {"7x", false, false}, {"NN", false, false}, {"100", false, false},
    };
    for (const auto& [value, count, age] : cases) {
        EXPECT_EQ(ValidCourtCount(QString::fromLatin1(value)), count) << value;
        EXPECT_EQ(ValidCourtAge(QString::fromLatin1(value)), age) << value;
    }
}
