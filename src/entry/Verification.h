#pragma once

#include "store/ClientRecord.h"

#include <QByteArray>
#include <QList>

#include <array>

namespace kvx {

// Whether key may be the answer to item (1..155): "0" to "2" in the true/false and yes/no
// sections, "0" to "4" in the frequency and interview sections.
bool VerifyKeyAccepted(int item, char key);

// The double entry of a client's answers: every item keyed again, then the items that differ
// from the stored answers keyed once more. Holds no widgets; the screen shows its state.
class AnswerVerification
{
public:
    enum class Outcome
    {
        Refused,         // key outside the item's range: nothing changes
        Accepted,        // stored, on to the next position
        NoDifferences,   // the first pass matched the stored answers everywhere
        CorrectionsDue,  // the first pass found differences; the correction pass begins
        CorrectionsDone, // every differing item keyed again: answers() is what to store
    };

    // stored: the record's answer field as it stands, blanks included, compared position by
    // position.
    explicit AnswerVerification(const QByteArray& stored);

    Outcome press(char key);
    // One position back; false (nothing changes) at the first.
    bool back();
    // After a pass has ended but its result could not be stored: back to its last position,
    // every keyed answer kept, so the last key can be given again.
    void reopenLastPosition();

    int position() const { return position_; }
    int lastPosition() const { return lastPosition_; }
    bool correctionPass() const { return correctionPass_; }
    // The item asked at the current position, and at the one before (0 at the first).
    int currentItem() const { return itemAt(position_); }
    int previousItem() const { return position_ > 1 ? itemAt(position_ - 1) : 0; }
    char keyed(int item) const { return keyed_[item - 1]; }
    const QByteArray& answers() const { return keyed_; }
    // The items that differed after the first pass, in item order.
    QList<int> differences() const;

private:
    int itemAt(int position) const { return items_[static_cast<size_t>(position - 1)]; }
    Outcome finishPass();

    QByteArray stored_;
    QByteArray keyed_;
    std::array<int, kItemCount> items_{};
    int position_ = 1;
    int lastPosition_ = kItemCount;
    bool correctionPass_ = false;
};

} // namespace kvx
