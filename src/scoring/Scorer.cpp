#include "scoring/Scorer.h"

#include "store/Cp1252.h"
#include "testing/TestStructure.h"

#include <QDate>

#include <algorithm>
#include <initializer_list>

namespace kvx {

namespace {

QString reformatTestDate(const QString& stored)
{
    const QString t = stored.trimmed();
    const QDate d = QDate::fromString(t, QStringLiteral("M/d/yyyy"));
    if (!d.isValid())
        return t; // shown as stored rather than guessed at
    return QStringLiteral("%1/%2/%3").arg(d.month()).arg(d.day()).arg(d.year());
}

} // namespace

ClientWork UnpackClient(const ClientRecord& record, int recordNumber)
{
    ClientWork c;
    // Printed on one line of every page: controls from an old disk show as blanks.
    c.Name = cp1252::shownText(record.text(Field::Name));
    c.Age = record.text(Field::Age);
    if (c.Age.trimmed() == QLatin1String("N"))
        c.Age = QStringLiteral("N/A");
    c.DateOfBirth = record.text(Field::DateOfBirth);
    c.Gender = record.code(Field::Gender);
    c.Race = record.code(Field::Race);
    c.Marital = record.code(Field::Marital);
    c.Education = record.code(Field::Education);
    c.TestDate = reformatTestDate(record.text(Field::TestDate));
    for (int j = 1; j <= kCourtItemCount; ++j) {
        c.Court[j] = record.court(j);
        if (c.Court[j].trimmed() == QLatin1String("-1"))
            c.Court[j] = QStringLiteral("N");
    }
    for (int i = 1; i <= kItemCount; ++i)
        c.Answer[i] = record.answer(i);
    c.TestNumber = recordNumber;
    return c;
}

int CourtValue(const ClientWork& c, int item)
{
    const QString& s = c.Court[item];
    qsizetype i = 0;
    while (i < s.size() && s[i] == u' ')
        ++i;
    int sign = 1;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
        sign = s[i++] == u'-' ? -1 : 1;
    int v = 0;
    for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9' && v < 100000; ++i)
        v = v * 10 + (s[i].unicode() - u'0');
    return sign * v;
}

namespace {

struct Block
{
    int number;
    int first;   // its first item
    int section; // the section whose choices it weights
};

Block blockOf(int item)
{
    if (item <= 50)
        return {1, 1, 1};
    if (item <= SectionEnd[1])
        return {2, 51, 1};
    if (item <= SectionEnd[2])
        return {3, SectionEnd[1] + 1, 2};
    if (item <= SectionEnd[3])
        return {4, SectionEnd[2] + 1, 3};
    return {5, SectionEnd[3] + 1, 4};
}

} // namespace

int PointsOf(const ScoringTables& t, int item, int answer)
{
    const Block b = blockOf(item);
    // Codes above the section's choices have no weights.
    if (answer < 0 || answer > SectionChoices[b.section])
        return 0;
    const QString& key = t.PointKey[b.number][answer];
    const int pos = item - b.first;
    if (pos >= key.size())
        return 0;
    const char16_t ch = key[pos].unicode();
    return (ch >= u'0' && ch <= u'9') ? ch - u'0' : 0;
}

namespace {

int alcoholArrestPoints(int v)
{
    if (InRange(v, 1, 2))
        return 1;
    if (InRange(v, 3, 4))
        return 2;
    if (InRange(v, 5, 6))
        return 3;
    if (InRange(v, 7, 8))
        return 4;
    if (InRange(v, 9, 99))
        return 6;
    return v;
}

int drugArrestPoints(int v)
{
    if (InRange(v, 4, 5))
        return 4;
    if (InRange(v, 6, 7))
        return 5;
    if (InRange(v, 8, 9))
        return 6;
    if (InRange(v, 10, 99))
        return 7;
    return v;
}

int violencePoints(int j, int v)
{
    switch (j) {
    case 1:
        if (InRange(v, 1, 14))
            return 5;
        if (InRange(v, 15, 16))
            return 4;
        if (InRange(v, 17, 18))
            return 3;
        if (InRange(v, 19, 20))
            return 2;
        if (InRange(v, 21, 99))
            return 1;
        return v;
    case 2:
        return v >= 5 ? 6 : v;
    case 3:
        if (InRange(v, 2, 4))
            return v + 1;
        return v >= 5 ? 7 : v;
    case 11:
        return v > 4 ? 4 : v;
    case 12:
        return std::min(2 * v, 10);
    case 13:
    case 14:
        return 0;
    case 15:
        return v > 2 ? std::min(2 * (v - 1), 8) : v;
    default: // 4 to 10
        return v >= 6 ? 6 : v;
    }
}

void stressRawScore(const ClientWork& c, ClientScores& r)
{
    static constexpr std::array<int, 20> kGroupA{95,  96,  98,  100, 104, 106, 109, 110, 113, 115,
                                                 118, 120, 122, 123, 125, 126, 127, 130, 132, 134};
    static constexpr std::array<int, 20> kGroupB{97,  99,  101, 102, 103, 105, 107, 108, 111, 112,
                                                 114, 116, 117, 119, 121, 124, 128, 129, 131, 133};
    for (int i = 95; i <= 134; ++i)
        if (c.Answer[i] == 0)
            ++r.OmitCount[6];
    int sumA = 0;
    int sumB = 0;
    for (int i : kGroupA)
        sumA += c.Answer[i] == 0 ? 1 : c.Answer[i];
    for (int i : kGroupB)
        sumB += c.Answer[i] == 0 ? 4 : c.Answer[i];
    if (sumB > 0)
        r.RawScore[6] = sumA * 60 / sumB;
    r.EndorsedCount[6] = 9;
}

} // namespace

void ComputeRawScores(const ScoringTables& t, const ClientWork& c, ClientScores& r)
{
    r = ClientScores{};
    for (int s = 1; s <= 5; ++s)
        for (int item : t.ScaleItems[s]) {
            const int answer = c.Answer[item];
            if (answer == 0)
                ++r.OmitCount[s];
            const int points = PointsOf(t, item, answer);
            r.ItemPoints[item] = points;
            r.RawScore[s] += points;
            if (points > 0)
                ++r.EndorsedCount[s];
        }
    stressRawScore(c, r);

    r.RawScore[2] += alcoholArrestPoints(CourtValue(c, 13));
    r.RawScore[4] += drugArrestPoints(CourtValue(c, 14));
    for (int j = 1; j <= kCourtItemCount; ++j)
        r.RawScore[5] += violencePoints(j, CourtValue(c, j));

    int trueCount = 0;
    for (int i = 1; i <= SectionEnd[1]; ++i)
        if (c.Answer[i] == 1)
            ++trueCount;
    if (trueCount > SectionEnd[1] * 95 / 100)
        r.RawScore[1] = 99;
}

ClientScores ScoreClient(const ScoringTables& t, const ClientWork& c)
{
    ClientScores r;
    ComputeRawScores(t, c, r);
    ComputePercentiles(t, c, r);
    BuildItemLists(t, c, r);
    return r;
}

int RiskRange(int percentile)
{
    if (percentile <= 39)
        return 1;
    if (percentile <= 69)
        return 2;
    if (percentile <= 89)
        return 3;
    return 4;
}

QString ParagraphKey(const ScoringTables& t, int percentile)
{
    switch (RiskRange(percentile)) {
    case 1:
        return t.RangeName[1];
    case 2:
        return percentile < 56 ? QStringLiteral("MEDIUM-LOW") : QStringLiteral("MEDIUM-HIGH");
    case 3:
        return t.RangeName[3];
    default:
        return percentile < 95 ? QStringLiteral("MAXIMUM-LOW") : QStringLiteral("MAXIMUM-HIGH");
    }
}

} // namespace kvx
