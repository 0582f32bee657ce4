#include "entry/Verification.h"

#include "testing/TestStructure.h"

#include <QList>

namespace kvx {

bool VerifyKeyAccepted(int item, char key)
{
    if (item < 1 || item > kItemCount || key < '0' || key > '9')
        return false;
    int section = 1;
    while (item > SectionEnd[static_cast<size_t>(section)])
        ++section;
    // Sections 1 and 3 take three codes (no answer and two choices), 2 and 4 five.
    const int highest = section == 1 || section == 3 ? 2 : 4;
    return key - '0' <= highest;
}

AnswerVerification::AnswerVerification(const QByteArray& stored)
    : stored_(stored.leftJustified(kItemCount, ' ', true)), keyed_(kItemCount, '0')
{
    for (int i = 0; i < kItemCount; ++i)
        items_[static_cast<size_t>(i)] = i + 1;
}

AnswerVerification::Outcome AnswerVerification::press(char key)
{
    const int item = currentItem();
    if (!VerifyKeyAccepted(item, key))
        return Outcome::Refused;
    keyed_[item - 1] = key;
    ++position_;
    if (position_ > lastPosition_)
        return finishPass();
    return Outcome::Accepted;
}

bool AnswerVerification::back()
{
    if (position_ <= 1)
        return false;
    --position_;
    return true;
}

void AnswerVerification::reopenLastPosition()
{
    position_ = lastPosition_;
}

QList<int> AnswerVerification::differences() const
{
    QList<int> items;
    for (int i = 0; i < kItemCount; ++i) {
        if (stored_[i] != keyed_[i])
            items.append(i + 1);
    }
    return items;
}

AnswerVerification::Outcome AnswerVerification::finishPass()
{
    // The correction pass does not compare again: what was keyed there stands.
    if (correctionPass_)
        return Outcome::CorrectionsDone;
    const QList<int> differing = differences();
    if (differing.isEmpty())
        return Outcome::NoDifferences;
    for (qsizetype k = 0; k < differing.size(); ++k)
        items_[static_cast<size_t>(k)] = differing[k];
    correctionPass_ = true;
    lastPosition_ = static_cast<int>(differing.size());
    position_ = 1;
    return Outcome::CorrectionsDue;
}

} // namespace kvx
