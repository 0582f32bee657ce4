#pragma once

#include "store/Result.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace kvx {

// The 26 fields of a client record, in record order.
enum class Field
{
    Name,
    Age,
    DateOfBirth,
    Gender,
    Race,
    Marital,
    Education,
    TestDate,
    AgeAtFirstConviction,
    Misdemeanor,
    Felony,
    Probation,
    ProbationRevocations,
    Parole,
    ParoleRevocations,
    Arrests,
    Jail,
    Prison,
    Years,
    DVArrests,
    AlcoholArrests,
    DrugArrests,
    Assaults,
    Answers,
    EditCount,
    NameDeleted,
};

inline constexpr int kFieldCount = 26;
inline constexpr int kCourtItemCount = 15;
inline constexpr int kDemographicFieldCount = 7;
inline constexpr int kItemCount = 155;

struct FieldLayout
{
    int offset;
    int width;
};

FieldLayout layoutOf(Field f);

// Court history item 1..15 is record field 9..23.
Field courtField(int item);

// One client: 239 bytes exactly as they stand in the data file. Fields are read and
// written in place, so a record read and written back unchanged keeps every byte.
class ClientRecord
{
public:
    static constexpr int Size = 239;

    ClientRecord(); // all blanks, as a record that was never filled

    static ClientRecord fromBytes(QByteArrayView bytes); // short input: blanks beyond its end
    QByteArray bytes() const;
    const char* data() const { return bytes_.data(); }

    // The stored text of a field, decoded, with its padding.
    QString text(Field f) const;
    // The stored text without surrounding blanks.
    QString trimmed(Field f) const;
    QByteArray raw(Field f) const;

    // Stores text left-aligned, blank-padded, cut to the field width. Fails, leaving the
    // field as it was, when a character cannot be stored in Windows-1252.
    Status setText(Field f, QStringView value);
    void setRaw(Field f, QByteArrayView bytes);

    // Code fields: the value of the first digit, 0 when it is not a digit.
    int code(Field f) const;
    void setCode(Field f, int value);

    // Court history item 1..15, as stored (two characters).
    QString court(int item) const { return text(courtField(item)); }

    // Answer code of item 1..155 as its character, and as its numeric value.
    char answerChar(int item) const;
    int answer(int item) const;

    void clear();

    bool operator==(const ClientRecord&) const = default;

private:
    std::array<char, Size> bytes_;
};

// The numeric value of a stored character: 0 unless it is a digit.
int digitValue(char c);

} // namespace kvx
