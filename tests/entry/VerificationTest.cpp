// The double-entry rules without a screen: which keys an item takes, the comparison and the
// correction pass.
#include "entry/Verification.h"

#include <gtest/gtest.h>

using namespace kvx;

namespace {

using Outcome = AnswerVerification::Outcome;

// A valid answer for every item, varied within each section's range.
QByteArray storedAnswers()
{
    QByteArray a(kItemCount, '0');
    for (int i = 1; i <= kItemCount; ++i) {
        const bool threeCodes = i <= 94 || (i > 135 && i <= 145);
        a[i - 1] = static_cast<char>('0' + i % (threeCodes ? 3 : 5));
    }
    return a;
}

Outcome keyAll(AnswerVerification& v, const QByteArray& keys)
{
    Outcome last = Outcome::Refused;
    for (char k : keys)
        last = v.press(k);
    return last;
}

} // namespace

TEST(VerifyKey, EachSectionTakesItsOwnCodes)
{
    struct Case
    {
        int item;
        char key;
        bool accepted;
    };
    const Case cases[] = {
        {1, '0', true},   {1, '2', true},    {94, '2', true},  {94, '3', false},
        {95, '3', true},  {95, '4', true},   {135, '4', true}, {136, '3', false},
        {145, '2', true}, {146, '3', true},  {155, '4', true}, {155, '5', false},
        {1, 'a', false},  {95, ' ', false},  {50, '-', false}, {120, '\0', false},
        {0, '1', false},  {156, '1', false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VerifyKeyAccepted(c.item, c.key), c.accepted) << c.item << " " << c.key;
    for (int item = 1; item <= kItemCount; ++item) {
        EXPECT_FALSE(VerifyKeyAccepted(item, '5')) << item;
        EXPECT_FALSE(VerifyKeyAccepted(item, '9')) << item;
    }
}

TEST(AnswerVerification, TheStoredAnswersKeyedBackNeedNoCorrection)
{
    AnswerVerification v(storedAnswers());
    EXPECT_EQ(keyAll(v, storedAnswers().left(kItemCount - 1)), Outcome::Accepted);
    EXPECT_EQ(v.position(), kItemCount);
    EXPECT_EQ(v.press(storedAnswers().back()), Outcome::NoDifferences);
    EXPECT_EQ(v.answers(), storedAnswers());
    EXPECT_FALSE(v.correctionPass());
}

TEST(AnswerVerification, DifferingItemsAreAskedAgainInItemOrderAndTheirNewKeysStand)
{
    QByteArray keys = storedAnswers();
    keys[99] = keys[99] == '1' ? '2' : '1';
    keys[4] = keys[4] == '0' ? '1' : '0';
    AnswerVerification v(storedAnswers());
    EXPECT_EQ(keyAll(v, keys), Outcome::CorrectionsDue);
    EXPECT_EQ(v.differences(), (QList<int>{5, 100}));
    EXPECT_TRUE(v.correctionPass());
    EXPECT_EQ(v.lastPosition(), 2);
    EXPECT_EQ(v.position(), 1);
    EXPECT_EQ(v.currentItem(), 5);
    EXPECT_EQ(v.previousItem(), 0);
    EXPECT_EQ(v.press('5'), Outcome::Refused); // the range still holds
    EXPECT_EQ(v.press('2'), Outcome::Accepted);
    EXPECT_EQ(v.currentItem(), 100);
    EXPECT_EQ(v.previousItem(), 5);
    // Not compared again: a key that still differs from the stored one is what is kept.
    EXPECT_EQ(v.press('4'), Outcome::CorrectionsDone);
    QByteArray expected = storedAnswers();
    expected[4] = '2';
    expected[99] = '4';
    EXPECT_EQ(v.answers(), expected);
}

TEST(AnswerVerification, ABlankItemOfAnOlderRecordDiffersAloneAndShiftsNothing)
{
    QByteArray stored = storedAnswers();
    stored[0] = ' ';
    AnswerVerification v(stored);
    EXPECT_EQ(keyAll(v, storedAnswers()), Outcome::CorrectionsDue);
    EXPECT_EQ(v.differences(), QList<int>{1});

    // A short field counts as unanswered from its end: only the missing items differ.
    AnswerVerification shortField(storedAnswers().left(150));
    EXPECT_EQ(keyAll(shortField, storedAnswers()), Outcome::CorrectionsDue);
    EXPECT_EQ(shortField.differences(), (QList<int>{151, 152, 153, 154, 155}));
}

TEST(AnswerVerification, NoAnswerKeyedMatchesNoAnswerStored)
{
    QByteArray stored = storedAnswers();
    stored[9] = '0';
    stored[120] = '0';
    AnswerVerification v(stored);
    EXPECT_EQ(keyAll(v, stored), Outcome::NoDifferences);
}

TEST(AnswerVerification, BackspaceMovesBackKeepingWhatWasKeyed)
{
    AnswerVerification v(storedAnswers());
    EXPECT_FALSE(v.back());
    EXPECT_EQ(v.position(), 1);
    EXPECT_EQ(keyAll(v, "12"), Outcome::Accepted);
    EXPECT_TRUE(v.back());
    EXPECT_EQ(v.currentItem(), 2);
    EXPECT_EQ(v.previousItem(), 1);
    EXPECT_EQ(v.keyed(2), '2');
    EXPECT_TRUE(v.back());
    EXPECT_EQ(v.previousItem(), 0);
    EXPECT_FALSE(v.back());
    EXPECT_EQ(v.press('0'), Outcome::Accepted);
    EXPECT_EQ(v.keyed(1), '0');
    EXPECT_EQ(v.keyed(2), '2');
}

TEST(AnswerVerification, AStoreThatFailedReopensTheLastPositionOfItsPass)
{
    QByteArray keys = storedAnswers();
    keys[4] = keys[4] == '0' ? '1' : '0';
    AnswerVerification v(storedAnswers());
    ASSERT_EQ(keyAll(v, keys), Outcome::CorrectionsDue);
    ASSERT_EQ(v.press('2'), Outcome::CorrectionsDone);
    v.reopenLastPosition();
    EXPECT_EQ(v.position(), 1);
    EXPECT_EQ(v.currentItem(), 5);
    EXPECT_EQ(v.press('1'), Outcome::CorrectionsDone);
    EXPECT_EQ(v.keyed(5), '1');

    AnswerVerification same(storedAnswers());
    ASSERT_EQ(keyAll(same, storedAnswers()), Outcome::NoDifferences);
    same.reopenLastPosition();
    EXPECT_EQ(same.currentItem(), kItemCount);
    EXPECT_EQ(same.press(storedAnswers().back()), Outcome::NoDifferences);
}
