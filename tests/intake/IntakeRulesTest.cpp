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
const QString kDateMessage = q("Enter date of birth month, day, year as mm/dd/yyyy or N for Not "
                               "Available. Press Enter to continue.");
const char* const kCountMessage =
    "Type a number from 0 to 99 or N for Not Available. Press Enter to continue.";
const char* const kCourtAgeMessage =
    "Enter age in years from 5 to 99 or N for Not Available. Press Enter to continue.";

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

TEST(IntakeRules, DateOfBirthIsNOrAGoodDate)
{
    const TextCase cases[] = {
        {"N", true, "N"},
        {"n", true, "N"},
        {"12/31/1999", true, "12/31/1999"},
        {" 12/31/1999 ", true, "12/31/1999"},
        {"02/30/1970", false, "02/30/1970"},
        {"", false, ""},
    };
    for (const TextCase& c : cases) {
        const Verdict v = CheckDateOfBirth(QString::fromLatin1(c.typed));
        EXPECT_EQ(v.ok(), c.ok) << c.typed;
        EXPECT_EQ(str(v.value), c.shown) << c.typed;
        EXPECT_EQ(str(v.message), c.ok ? "" : str(kDateMessage)) << c.typed;
    }
}

TEST(IntakeRules, NameMustHoldMoreThanBlanks)
{
    EXPECT_TRUE(CheckName(q("Jane Doe")).ok());
    EXPECT_TRUE(CheckName(q("N")).ok());
    for (const char* empty : {"", "   "}) {
        const Verdict v = CheckName(QString::fromLatin1(empty));
        EXPECT_EQ(str(v.message), "Enter client's name. Press Enter to continue.") << empty;
    }
    EXPECT_TRUE(NameCharAccepted(QChar(0x00E9)));  // e acute
    EXPECT_TRUE(NameCharAccepted(QChar(0x20AC)));  // euro sign, byte 0x80
    EXPECT_FALSE(NameCharAccepted(QChar(0x0141))); // L with stroke
    EXPECT_FALSE(NameCharAccepted(QChar(0x4E2D)));
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
}

TEST(IntakeRules, ListsTakeOnlyTheirDigitsAndN)
{
    const struct
    {
        InfoList list;
        char c;
        bool taken;
    } cases[] = {
        {InfoList::Gender, '0', true},    {InfoList::Gender, '2', true},
        {InfoList::Gender, '3', false},   {InfoList::Gender, 'F', false},
        {InfoList::Gender, 'M', false},   {InfoList::Gender, 'n', true},
        {InfoList::Race, '6', true},      {InfoList::Race, '7', false},
        {InfoList::Education, '8', true}, {InfoList::Education, '9', false},
        {InfoList::Marital, '5', true},   {InfoList::Marital, '6', false},
        {InfoList::Marital, '/', false},  {InfoList::Marital, 'N', true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ListKeyAccepted(c.list, QLatin1Char(c.c)), c.taken) << c.c;
}

TEST(IntakeRules, AnEmptyListNamesWhatToDo)
{
    const struct
    {
        InfoList list;
        const char* message;
    } cases[] = {
        {InfoList::Gender,
         "Press down arrow to select sex or N for not available. Press Enter to continue."},
        {InfoList::Race, "Press down arrow to select ethnicity. Press Enter to continue."},
        {InfoList::Education,
         "Press down arrow to select education level. Press Enter to continue."},
        {InfoList::Marital,
         "Press down arrow key to select marital status. Press Enter to continue."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(str(CheckList(c.list, -1).message), c.message);
        EXPECT_TRUE(CheckList(c.list, 0).ok());
    }
}

TEST(IntakeRules, TheThirdChangeReachesTheLimitAndIsNotAccepted)
{
    QString age = q("34"), sex = q("1"), education = q("2");
    int count = 0;
    EXPECT_EQ(CountEditRule(age, q("34"), count), EditOutcome::Unchanged);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(CountEditRule(age, q("35"), count), EditOutcome::Counted);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(str(age), "35");
    // Leaving the same field again without a change counts nothing.
    EXPECT_EQ(CountEditRule(age, q("35"), count), EditOutcome::Unchanged);
    EXPECT_EQ(CountEditRule(sex, q("2"), count), EditOutcome::Counted);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(CountEditRule(education, q("3"), count), EditOutcome::LimitReached);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(str(education), "2");

    // A record already at the limit stays there.
    int full = 3;
    EXPECT_EQ(CountEditRule(education, q("4"), full), EditOutcome::LimitReached);
    EXPECT_EQ(full, 3);
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

TEST(IntakeRules, ChangesAreJudgedWithoutSurroundingBlanksAndListsByCode)
{
    ClientRecord r;
    r.setRaw(Field::Name, "Jane Doe");
    r.setRaw(Field::Age, "34");
    r.setRaw(Field::DateOfBirth, "N");
    r.setRaw(Field::Gender, "2");
    r.setRaw(Field::Race, "1");
    r.setRaw(Field::Education, "3");
    r.setRaw(Field::Marital, "0");
    const InfoValues same{q(" Jane Doe "), q("34"), q("N"), 2, 1, 3, 0};
    EXPECT_FALSE(InfoChanged(r, same));
    EXPECT_EQ(str(acceptedText(valuesOfRecord(r), InfoField::DateOfBirth)), "N");
    EXPECT_EQ(str(acceptedText(valuesOfRecord(r), InfoField::Gender)), "2");

    InfoValues v = same;
    v.name = q("Jane Dot");
    EXPECT_TRUE(InfoChanged(r, v));
    v = same;
    v.dateOfBirth = q("12/31/1999");
    EXPECT_TRUE(InfoChanged(r, v));
    v = same;
    v.marital = 5;
    EXPECT_TRUE(InfoChanged(r, v));
}

TEST(IntakeRules, StoreInfoWritesTheFieldsInPlace)
{
    ClientRecord r;
    r.setRaw(Field::Answers, QByteArray(155, '1'));
    ASSERT_TRUE(StoreInfo(r, {q("Jane Doe"), q("34"), q("n"), 2, 6, 8, 5}, 0, 3));
    EXPECT_EQ(r.raw(Field::Name), "Jane Doe" + QByteArray(17, ' '));
    EXPECT_EQ(r.raw(Field::Age), "34 ");
    EXPECT_EQ(r.raw(Field::DateOfBirth), "N" + QByteArray(9, ' '));
    EXPECT_EQ(r.raw(Field::Gender), "2");
    EXPECT_EQ(r.raw(Field::Race), "6");
    EXPECT_EQ(r.raw(Field::Education), "8");
    EXPECT_EQ(r.raw(Field::Marital), "5");
    EXPECT_EQ(r.raw(Field::EditCount), "3");
    EXPECT_EQ(r.raw(Field::NameDeleted), "0");
    EXPECT_EQ(r.raw(Field::Answers), QByteArray(155, '1'));

    // A name the data disk cannot hold changes nothing at all.
    const ClientRecord before = r;
    EXPECT_FALSE(
        StoreInfo(r, {QString(QChar(0x0141)) + q("ukasz"), q("40"), q("N"), 1, 1, 1, 1}, 0, 0));
    EXPECT_EQ(r, before);
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

TEST(IntakeRules, CourtEntryTrimsRaisesNAndNamesTheRule)
{
    const struct
    {
        int item;
        const char* typed;
        const char* shown;
        const char* message;
    } cases[] = {
        {1, "4", "4", kCourtAgeMessage},
        {1, "5", "5", ""},
        {1, "n", "N", ""},
        {1, "99", "99", ""},
        {2, "0", "0", ""},
        {2, "00", "00", kCountMessage},
        {15, "00", "00", kCountMessage},
        {8, " 3", "3", ""},
        {3, "n", "N", ""},
        {9, "x", "x", kCountMessage},
        {1, "0", "0", kCourtAgeMessage},
    };
    for (const auto& c : cases) {
        const Verdict v = CheckCourtItem(c.item, QString::fromLatin1(c.typed));
        EXPECT_EQ(str(v.value), c.shown) << c.item << " " << c.typed;
        EXPECT_EQ(str(v.message), c.message) << c.item << " " << c.typed;
    }
}

TEST(IntakeRules, CourtValuesArePaddedToTwoCharacters)
{
    ClientRecord r;
    std::array<QString, 15> values;
    for (int i = 0; i < 15; ++i)
        values[static_cast<size_t>(i)] = QString::number(i + 5);
    values[0] = q("N");
    ASSERT_TRUE(StoreCourtValues(r, values));
    EXPECT_EQ(r.raw(Field::AgeAtFirstConviction), "N ");
    EXPECT_EQ(r.raw(Field::Misdemeanor), "6 ");
    EXPECT_EQ(r.raw(Field::Arrests), "12");
    EXPECT_EQ(r.raw(Field::Assaults), "19");
    EXPECT_EQ(r.raw(Field::Answers), QByteArray(155, ' '));
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
