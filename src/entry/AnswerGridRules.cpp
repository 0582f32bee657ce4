#include "entry/AnswerGridRules.h"

#include "testing/QuestionDatabase.h"
#include "testing/TestStructure.h"

#include <QStringList>

#include <algorithm>
#include <array>

namespace kvx {
namespace {

// The section formats of the test, in section order.
constexpr std::array<int, kSectionCount> kSectionTypes{0, 3, 1, 2};

bool isItem(int n)
{
    return n >= 1 && n <= kItemCount;
}

} // namespace

int AnswerTypeOf(const QString& answer2)
{
    const QString head = answer2.left(5);
    if (head == u"False")
        return 0;
    if (head == u"No")
        return 1;
    if (head == u"Somet")
        return 3;
    if (head == u"Mostl")
        return 4;
    if (head == u"Often")
        return 5;
    return 2;
}

int ChoiceCount(int answerType)
{
    if (answerType <= 1)
        return 2;
    return answerType <= 3 ? 4 : 5;
}

bool KeyAllowed(int answerType, QChar key)
{
    return key >= u'0' && key.unicode() <= u'0' + ChoiceCount(answerType);
}

QString EntryHelpText(int answerType)
{
    static const std::array<QString, kAnswerTypeCount> texts{
        QStringLiteral("0=No answer, 1=True, 2=False, Tab=Next grid"),
        QStringLiteral("0=No answer, 1=Yes, 2=No, Tab=Next grid"),
        QStringLiteral("0=No answer, 1=1, 2=2,  3=3, 4=4, Tab=Next grid"),
        QStringLiteral("0=No answer, 1=Rare or Never, 2=Sometimes, 3=Often, 4=Very Often or "
                       "Always, Tab=Next grid"),
        QStringLiteral("0=No answer, 1=True, 2=Mostly True, 3=Can't Decide, 4=Mostly False, "
                       "5=False, Tab=Next grid"),
        QStringLiteral("0=No answer, 1=Very Often, 2=Often, 3=Can't Decide, 4=Often, 5=Very "
                       "Often, Tab=Next grid"),
    };
    return texts[static_cast<size_t>(std::clamp(answerType, 0, kAnswerTypeCount - 1))];
}

std::vector<GridPlan> PlanGrids(const std::vector<EntryQuestion>& questions)
{
    std::vector<GridPlan> grids;
    std::array<bool, kItemCount + 1> placed{};
    for (const EntryQuestion& q : questions) {
        // A stray row would otherwise address an answer the record does not have.
        if (!isItem(q.id) || placed[static_cast<size_t>(q.id)])
            continue;
        placed[static_cast<size_t>(q.id)] = true;
        const int type = AnswerTypeOf(q.answer2);
        auto grid = std::find_if(grids.begin(), grids.end(),
                                 [type](const GridPlan& g) { return g.answerType == type; });
        if (grid == grids.end())
            grid = grids.insert(grids.end(), GridPlan{type, {}});
        grid->items.push_back(q.id);
    }
    return grids;
}

std::vector<GridPlan> StandardGridPlan()
{
    std::vector<GridPlan> grids;
    for (int k = 1; k <= kSectionCount; ++k) {
        GridPlan g{kSectionTypes[static_cast<size_t>(k - 1)], {}};
        for (int item = SectionEnd[static_cast<size_t>(k - 1)] + 1;
             item <= SectionEnd[static_cast<size_t>(k)]; ++item)
            g.items.push_back(item);
        grids.push_back(std::move(g));
    }
    return grids;
}

Result<std::vector<EntryQuestion>> LoadEntryQuestions(const Workspace& ws, const QString& dbPath)
{
    Result<std::unique_ptr<QuestionDatabase>> db = ws.OpenDatabase(dbPath, true);
    if (!db)
        return db.error();
    Result<Recordset> rs = (*db)->OpenRecordset(QStringLiteral("English"));
    if (!rs)
        return rs.error();
    std::vector<EntryQuestion> rows;
    rows.reserve(static_cast<size_t>(rs->RecordCount()));
    for (rs->MoveFirst(); !rs->AtEOF(); rs->MoveNext()) {
        bool number = false;
        const int id = rs->text(QStringLiteral("ID")).trimmed().toInt(&number);
        rows.push_back({number ? id : 0, rs->text(QStringLiteral("Answer2"))});
    }
    (*db)->Close();
    return rows;
}

AnswerTable::AnswerTable(const QByteArray& answers)
    : codes_(answers.left(kItemCount).leftJustified(kItemCount, '0'))
{}

char AnswerTable::code(int item) const
{
    return isItem(item) ? codes_.at(item - 1) : '0';
}

void AnswerTable::set(int item, char key)
{
    if (isItem(item))
        codes_[item - 1] = key;
}

int AnswerTable::markColumn(int item, int choices) const
{
    const char c = code(item);
    if (c < '1' || c > '9')
        return 0;
    const int column = c - '0';
    return column <= choices ? column : 0;
}

DoubtfulItems::DoubtfulItems(const QList<int>& items)
{
    for (int item : items) {
        if (isItem(item))
            items_.insert(item);
    }
}

QString DoubtfulItems::summary() const
{
    if (items_.empty())
        return QString();
    QStringList numbers;
    for (int item : items_)
        numbers << QString::number(item);
    const QString head = items_.size() == 1
                             ? QStringLiteral("1 answer needs checking: ")
                             : QStringLiteral("%1 answers need checking: ").arg(items_.size());
    return head + numbers.join(QStringLiteral(", "));
}

} // namespace kvx
