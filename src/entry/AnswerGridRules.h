#pragma once

// The widget-free rules of the answer grid: which grid an item goes to, which keys a grid
// takes, what its help line says, and the table of answer codes the operator keys into.

#include "store/ClientRecord.h"
#include "store/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <set>
#include <vector>

namespace kvx {

class Workspace;

inline constexpr int kAnswerTypeCount = 6;

// The answer type of an item from its second answer label: its first five characters,
// compared whole. Only exactly "No" is type 1; an unknown label is a numbered item (type 2).
int AnswerTypeOf(const QString& answer2);

// Answer choices of a type: 2 for types 0 and 1, 4 for 2 and 3, 5 for 4 and 5.
int ChoiceCount(int answerType);

// Whether a key may be stored on an item of the type: "0" to the number of choices.
bool KeyAllowed(int answerType, QChar key);

// The help line while a grid of the type has the focus.
QString EntryHelpText(int answerType);

// One row of the question table as the grid needs it.
struct EntryQuestion
{
    int id = 0;
    QString answer2;
};

// One grid: its answer type and its items in table order.
struct GridPlan
{
    int answerType = 0;
    std::vector<int> items;
};

// Groups the items by answer type, one grid per type in the order the types first appear.
// Rows whose number is not an item (1..155), or repeats one already placed, are left out.
std::vector<GridPlan> PlanGrids(const std::vector<EntryQuestion>& questions);

// The grids of the test's own sections, for when the question table cannot be read.
std::vector<GridPlan> StandardGridPlan();

// The rows of the question table "English": each item's number and second answer label.
Result<std::vector<EntryQuestion>> LoadEntryQuestions(const Workspace& ws, const QString& dbPath);

// The 155 answer codes while the grid is open. Codes come from the record as they are; a code
// that is not a digit the item's grid can show stays unchanged until the operator keys it.
class AnswerTable
{
public:
    // The record's answers field as stored; a short one reads as "0" beyond its end.
    explicit AnswerTable(const QByteArray& answers = QByteArray());

    char code(int item) const;
    void set(int item, char key);
    // The column (1..choices) that shows the item's "X", or 0 when no "X" is shown.
    int markColumn(int item, int choices) const;
    // The answers field, item order, byte for byte.
    QByteArray answers() const { return codes_; }

private:
    QByteArray codes_;
};

// Items a scanned sheet left in doubt, until the operator keys them.
class DoubtfulItems
{
public:
    DoubtfulItems() = default;
    explicit DoubtfulItems(const QList<int>& items);

    bool contains(int item) const { return items_.count(item) != 0; }
    // Returns whether the item was in doubt.
    bool clear(int item) { return items_.erase(item) != 0; }
    int count() const { return static_cast<int>(items_.size()); }
    // "3 answers need checking: 17, 64, 140"; empty when none are left.
    QString summary() const;

private:
    std::set<int> items_;
};

} // namespace kvx
