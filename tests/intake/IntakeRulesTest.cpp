#include "intake/IntakeRules.h"

#include "common/ScriptedPrompter.h"
#include "common/TestSupport.h"
#include "store/DataFile.h"

#include <gtest/gtest.h>

using namespace kvx;
using kvx::test::str;

namespace {

QString q(const char* s)
{
    return QString::fromUtf8(s);
}

const QString kAgeMessage = q("Enter age of client in number of years. Press Enter to continue.");
struct TextCase
{
    const char* typed;
    bool ok;
    const char* shown;
};

} // namespace

TEST(IntakeRules, AgeAcceptsElevenToNinetyNineOrN)
{
    const TextCase cases[] = {
        {"10", false, ""}, {"11", true, "11"},  {"99", true, "99"}, {"n", true, "N"},
        {"N", true, "N"},  {" 50", true, "50"}, {"5", false, ""},   {"", false, ""},
        {"1a", false, ""}, {"NA", false, ""},   {"100", false, ""}, {"0", false, ""},
    };
    for (const TextCase& c : cases) {
        const Verdict v = CheckAge(QString::fromLatin1(c.typed));
        EXPECT_EQ(v.ok(), c.ok) << c.typed;
        EXPECT_EQ(str(v.value), c.shown) << c.typed;
        EXPECT_EQ(str(v.message), c.ok ? "" : str(kAgeMessage)) << c.typed;
    }
}

TEST(IntakeRules, GoodDateKnowsTheCalendar)
{
    const struct
    {
        const char* text;
        bool good;
    } cases[] = {
        {"02/30/1970", false}, {"04/31/1980", false}, {"12/31/1999", true}, {"02/29/1972", true},
        {"02/29/1971", false}, {"06/31/1990", false}, {"09/30/1990", true}, {"13/01/1990", false},
        {"00/12/1990", false}, {"12/00/1990", false}, {"01/01/1890", true}, {"1/2/1999", false},
        {"12/3/", false},      {"//", false},         {"", false},          {"12-31-1999", false},
        {"12/31/19a9", false}, {"N", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GoodDate(QString::fromLatin1(c.text)), c.good) << c.text;
}

TEST(IntakeRules, ListsMatchWhatIsTypedOrTheFirstLetters)
{
    const struct
    {
        InfoList list;
        const char* text;
        int entry;
    } cases[] = {
        {InfoList::Gender, "2", 2},        {InfoList::Gender, "N", 0},
        {InfoList::Gender, "n", 0},        {InfoList::Gender, "1", 1},
        {InfoList::Gender, "Female", 2},   {InfoList::Gender, "N/A", 0},
        {InfoList::Gender, "3", -1},       {InfoList::Gender, "", -1},
        {InfoList::Race, "N", -1}, // neither "N/" nor "NA": the list drops down
        {InfoList::Race, "0", 0},          {InfoList::Race, "6", 6},
        {InfoList::Race, "ca", 1},         {InfoList::Race, "Native American", 5},
        {InfoList::Race, "N/A", 0},        {InfoList::Race, "Hispanic", 3},
        {InfoList::Marital, "Married", 2}, {InfoList::Marital, "Separated", 4},
        {InfoList::Marital, "Widowed", 5}, {InfoList::Marital, "N", -1},
        {InfoList::Education, "8", 8},     {InfoList::Education, "0", 0},
        {InfoList::Education, "9", -1},    {InfoList::Education, "G.E.D.", -1},
        {InfoList::Education, "N", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchListEntry(c.list, QString::fromLatin1(c.text)), c.entry)
            << static_cast<int>(c.list) << " " << c.text;
    }
    // While typing, a list takes its own digits and N only.
    const struct
    {
        InfoList list;
        const char* taken;
        const char* refused;
    } keys[] = {{InfoList::Gender, "012Nn", "3FM/"},
                {InfoList::Race, "0123456N", "7C"},
                {InfoList::Education, "012345678n", "9G"},
                {InfoList::Marital, "012345N", "6S/"}};
    for (const auto& k : keys) {
        for (const char* c = k.taken; *c; ++c)
            EXPECT_TRUE(ListKeyAccepted(k.list, QLatin1Char(*c))) << *c;
        for (const char* c = k.refused; *c; ++c)
            EXPECT_FALSE(ListKeyAccepted(k.list, QLatin1Char(*c))) << *c;
    }
}

TEST(IntakeRules, SaveDecisions)
{
    const struct
    {
        SaveContext c;
        SaveAction action;
    } cases[] = {
        {{true, false, 5, 0, false}, SaveAction::CloseUnchanged},
        {{true, false, 5, 2, true}, SaveAction::StoreAndWrite},
        {{true, false, 5, 3, true}, SaveAction::CloseAtLimit},
        {{true, false, 5, 3, false}, SaveAction::CloseUnchanged},
        {{false, false, 5, 0, true}, SaveAction::StoreNew},
        {{false, false, 0, 0, true}, SaveAction::StoreNew},
        {{false, true, 5, 3, true}, SaveAction::StoreNew}, // no limit for a scanned sheet
        {{false, false, 50, 0, true}, SaveAction::StoreNew},
        {{false, false, 51, 0, true}, SaveAction::RefuseDiskFull},
        {{false, true, 51, 0, true}, SaveAction::RefuseDiskFull},
    };
    int row = 0;
    for (const auto& c : cases)
        EXPECT_EQ(DecideSave(c.c), c.action) << "row " << row++;
}

TEST(IntakeRules, CourtCountsAndTheAgeAtFirstConviction)
{
    const struct
    {
        const char* value;
        bool count;
        bool age;
    } cases[] = {
        {"0", true, false},   {"7", true, true},    {"07", true, true},   {"99", true, true},
        {"n", true, true},    {"N", true, true},    {"00", false, false}, {"abc", false, false},
        {"", false, false},   {"4", true, false},   {"5", true, true},    {" 5 ", true, true},
        {"-1", false, false}, {"7x", false, false}, {"NN", false, false}, {"100", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ValidCourtCount(QString::fromLatin1(c.value)), c.count) << c.value;
        EXPECT_EQ(ValidCourtAge(QString::fromLatin1(c.value)), c.age) << c.value;
    }
}

TEST(IntakeRules, AFailedWriteIsOfferedAgainUntilTheOperatorGivesUp)
{
    test::ReadOnlyFolder disk;
    ASSERT_TRUE(disk.valid());
    Session s;
    SetDataPath(s, disk.path());
    ClientRecord r;
    r.setRaw(Field::Name, "First");
    s.client(1) = r;
    s.NumClients = 0;
    s.CurClient = 1;
    ASSERT_TRUE(WriteClient(s, 1));
    ASSERT_TRUE(ReadAllClients(s));
    ASSERT_TRUE(disk.makeReadOnly());

    s.current().setRaw(Field::Age, "44");
    test::ScriptedPrompter prompter;
    prompter.answers = {Prompter::Answer::Retry, Prompter::Answer::Cancel};
    EXPECT_FALSE(WriteCurrentClient(s, prompter));
    ASSERT_EQ(prompter.shown.size(), 2);
    for (const auto& m : prompter.shown) {
        EXPECT_EQ(m.buttons, Prompter::Buttons::RetryCancel);
        EXPECT_EQ(m.icon, Prompter::Icon::Critical);
        EXPECT_EQ(str(m.title), "Data Disk Error");
        const QStringList lines = m.text.split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 3) << str(m.text);
        EXPECT_EQ(str(lines[0]), "The client could not be saved on the data disk.");
        EXPECT_FALSE(lines[1].isEmpty());
        EXPECT_EQ(str(lines[2]), "Check that the data disk is in its drive and can be written "
                                 "to, then choose Retry.");
    }

    // With the disk writable again, Retry succeeds.
    prompter.shown.clear();
    prompter.onMessage = [&](const test::ScriptedPrompter::Shown&) { disk.makeWritable(); };
    prompter.answers = {Prompter::Answer::Retry};
    EXPECT_TRUE(WriteCurrentClient(s, prompter));
    EXPECT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(test::readBytes(s.DataFile).mid(25, 3), "44 ");
}
