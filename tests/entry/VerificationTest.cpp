// The double-entry rules without a screen: the keys each item takes and the comparison.
#include "entry/Verification.h"

#include <gtest/gtest.h>

using namespace kvx;
using Outcome = AnswerVerification::Outcome;

TEST(VerifyKey, EachSectionTakesItsOwnCodes)
{
    // item, key, accepted
    const std::tuple<int, char, bool> cases[] = {
        {1, '2', true},    {94, '3', false}, {95, '3', true},   {135, '4', true},
        {136, '3', false}, {145, '2', true}, {146, '4', true},  {1, 'a', false},
        {95, ' ', false},  {0, '1', false},  {156, '1', false},
    };
    for (const auto& [item, key, accepted] : cases)
        EXPECT_EQ(VerifyKeyAccepted(item, key), accepted) << item << " " << key;
    for (int item = 1; item <= kItemCount; ++item)
        EXPECT_FALSE(VerifyKeyAccepted(item, '5')) << item;
}

TEST(AnswerVerification, DifferencesAreFoundPositionByPositionAndAskedInItemOrder)
{
    const QByteArray keys = QByteArray(94, '1') + QByteArray(61, '2');
    // stored answers, the items that differ from keys
    const std::pair<QByteArray, QList<int>> cases[] = {
        {keys, {}},
        // An older record's blank first item differs alone; nothing shifts.
        {' ' + keys.mid(1), {1}},
        // A short field counts as blank from its end.
        {keys.left(152), {153, 154, 155}},
        {QByteArray(keys).replace(120, 1, "0").replace(9, 1, "2"), {10, 121}},
    };
    for (const auto& [stored, differing] : cases) {
        AnswerVerification v(stored);
        Outcome last = Outcome::Refused;
        for (char k : keys)
            last = v.press(k);
        EXPECT_EQ(v.differences(), differing);
        if (differing.isEmpty()) {
            EXPECT_EQ(last, Outcome::NoDifferences);
            continue;
        }
        EXPECT_EQ(last, Outcome::CorrectionsDue);
        EXPECT_EQ(v.lastPosition(), differing.size());
        // Not compared again: each item keyed in the correction pass is what is kept.
        for (int item : differing) {
            EXPECT_EQ(v.currentItem(), item);
            last = v.press('0');
        }
        EXPECT_EQ(last, Outcome::CorrectionsDone);
        QByteArray expected = keys;
        for (int item : differing)
            expected[item - 1] = '0';
        EXPECT_EQ(v.answers(), expected);
    }
}
