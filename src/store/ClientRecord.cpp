#include "store/ClientRecord.h"

#include "store/Cp1252.h"

#include <algorithm>
#include <cstring>

namespace kvx {
namespace {

constexpr std::array<FieldLayout, kFieldCount> kLayout = {{
    {0, 25},   // Name
    {25, 3},   // Age
    {28, 10},  // DateOfBirth
    {38, 1},   // Gender
    {39, 1},   // Race
    {40, 1},   // Marital
    {41, 1},   // Education
    {42, 10},  // TestDate
    {52, 2},   // AgeAtFirstConviction
    {54, 2},   // Misdemeanor
    {56, 2},   // Felony
    {58, 2},   // Probation
    {60, 2},   // ProbationRevocations
    {62, 2},   // Parole
    {64, 2},   // ParoleRevocations
    {66, 2},   // Arrests
    {68, 2},   // Jail
    {70, 2},   // Prison
    {72, 2},   // Years
    {74, 2},   // DVArrests
    {76, 2},   // AlcoholArrests
    {78, 2},   // DrugArrests
    {80, 2},   // Assaults
    {82, 155}, // Answers
    {237, 1},  // EditCount
    {238, 1},  // NameDeleted
}};

static_assert(kLayout.back().offset + kLayout.back().width == ClientRecord::Size);

} // namespace

FieldLayout layoutOf(Field f)
{
    return kLayout[static_cast<size_t>(f)];
}

Field courtField(int item)
{
    Q_ASSERT(item >= 1 && item <= kCourtItemCount);
    return static_cast<Field>(static_cast<int>(Field::AgeAtFirstConviction) + item - 1);
}

int digitValue(char c)
{
    return (c >= '0' && c <= '9') ? c - '0' : 0;
}

ClientRecord::ClientRecord()
{
    clear();
}

void ClientRecord::clear()
{
    bytes_.fill(' ');
}

ClientRecord ClientRecord::fromBytes(QByteArrayView bytes)
{
    ClientRecord r;
    std::memcpy(r.bytes_.data(), bytes.data(),
                static_cast<size_t>(std::min<qsizetype>(bytes.size(), Size)));
    return r;
}

QByteArray ClientRecord::bytes() const
{
    return QByteArray(bytes_.data(), Size);
}

QByteArray ClientRecord::raw(Field f) const
{
    const FieldLayout l = layoutOf(f);
    return QByteArray(bytes_.data() + l.offset, l.width);
}

QString ClientRecord::text(Field f) const
{
    return cp1252::decode(raw(f));
}

QString ClientRecord::trimmed(Field f) const
{
    // Only blanks pad a field; other white space is data.
    QString s = text(f);
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.mid(b, e - b);
}

void ClientRecord::setRaw(Field f, QByteArrayView value)
{
    const FieldLayout l = layoutOf(f);
    const qsizetype n = std::min<qsizetype>(value.size(), l.width);
    char* dst = bytes_.data() + l.offset;
    std::memcpy(dst, value.data(), static_cast<size_t>(n));
    std::memset(dst + n, ' ', static_cast<size_t>(l.width - n));
}

Status ClientRecord::setText(Field f, QStringView value)
{
    const FieldLayout l = layoutOf(f);
    QByteArray bytes;
    if (!cp1252::encode(value.left(l.width), &bytes)) {
        const QChar bad = cp1252::firstUnencodable(value.left(l.width));
        return Error{
            err::CannotEncode,
            QStringLiteral("The character \"%1\" (U+%2) cannot be stored on the data disk.")
                .arg(bad)
                .arg(bad.unicode(), 4, 16, QLatin1Char('0'))};
    }
    setRaw(f, bytes);
    return {};
}

int ClientRecord::code(Field f) const
{
    return digitValue(bytes_[layoutOf(f).offset]);
}

void ClientRecord::setCode(Field f, int value)
{
    setRaw(f, QByteArray::number(value).left(layoutOf(f).width));
}

char ClientRecord::answerChar(int item) const
{
    Q_ASSERT(item >= 1 && item <= kItemCount);
    return bytes_[static_cast<size_t>(layoutOf(Field::Answers).offset + item - 1)];
}

int ClientRecord::answer(int item) const
{
    return digitValue(answerChar(item));
}

} // namespace kvx
