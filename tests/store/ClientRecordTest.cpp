#include "store/ClientRecord.h"
#include "store/CodeTables.h"
#include "store/Cp1252.h"
#include "store/DataFile.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

using namespace kvx;

namespace {

struct LayoutCase
{
    Field field;
    int offset;
    int width;
};

TEST(ClientRecordLayout, FieldsSitAtTheirOffsetsAndCoverTheRecord)
{
    const LayoutCase cases[] = {
        {Field::Name, 0, 25},
        {Field::Age, 25, 3},
        {Field::DateOfBirth, 28, 10},
        {Field::Gender, 38, 1},
        {Field::Race, 39, 1},
        {Field::Marital, 40, 1},
        {Field::Education, 41, 1},
        {Field::TestDate, 42, 10},
        {Field::AgeAtFirstConviction, 52, 2},
        {Field::Arrests, 66, 2},
        {Field::Assaults, 80, 2},
        {Field::Answers, 82, 155},
        {Field::EditCount, 237, 1},
        {Field::NameDeleted, 238, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(layoutOf(c.field).offset, c.offset) << static_cast<int>(c.field);
        EXPECT_EQ(layoutOf(c.field).width, c.width) << static_cast<int>(c.field);
    }
    // The fields tile the record with no gap and no overlap.
    int next = 0;
    for (int i = 0; i < kFieldCount; ++i) {
        const FieldLayout l = layoutOf(static_cast<Field>(i));
        EXPECT_EQ(l.offset, next) << "field " << i;
        next = l.offset + l.width;
    }
    EXPECT_EQ(next, ClientRecord::Size);
    for (int item = 1; item <= kCourtItemCount; ++item)
        EXPECT_EQ(layoutOf(courtField(item)).offset, 52 + 2 * (item - 1));
}

TEST(ClientRecord, StoresTextPaddedAndCutInWindows1252)
{
    ClientRecord r;
    ASSERT_TRUE(r.setText(Field::Name, u"José Peña"));
    ASSERT_TRUE(r.setText(Field::Age, u"34"));
    ASSERT_TRUE(r.setText(Field::DateOfBirth, storedDateOfBirth(QStringLiteral("n/a"))));
    QByteArray expected = QByteArray("Jos\xE9 Pe\xF1"
                                     "a") +
                          QByteArray(16, ' ');
    EXPECT_EQ(r.raw(Field::Name), expected);
    EXPECT_EQ(r.raw(Field::Age), QByteArray("34 "));
    EXPECT_EQ(r.raw(Field::DateOfBirth), QByteArray("N         "));
    EXPECT_EQ(r.trimmed(Field::Name), QStringLiteral("José Peña"));

    ASSERT_TRUE(r.setText(Field::Name, u"Bartholomew Alexander Smithson"));
    EXPECT_EQ(r.raw(Field::Name), QByteArray("Bartholomew Alexander Smi"));

    // The euro sign and curly quotes live in 0x80-0x9F.
    ASSERT_TRUE(r.setText(Field::Name, u"\u201CO\u2019Neil\u201D \u20AC"));
    EXPECT_EQ(r.raw(Field::Name).left(10), QByteArray("\x93O\x92Neil\x94 \x80"));
}

TEST(ClientRecord, RefusesCharactersWindows1252CannotHoldAndKeepsTheField)
{
    ClientRecord r;
    ASSERT_TRUE(r.setText(Field::Name, u"Ann"));
    for (const char16_t* bad : {u"Łukasz", u"李雷", u"Zoë \u2603"}) {
        const Status st = r.setText(Field::Name, bad);
        ASSERT_FALSE(st);
        EXPECT_EQ(st.error().code, err::CannotEncode);
        EXPECT_EQ(r.trimmed(Field::Name), QStringLiteral("Ann"));
    }
}

TEST(ClientRecord, CodesReadTheirDigitAndAnythingElseAsZero)
{
    ClientRecord r;
    const std::pair<const char*, int> cases[] = {{"2", 2}, {"0", 0}, {" ", 0}, {"x", 0}, {"9", 9}};
    for (const auto& [stored, value] : cases) {
        r.setRaw(Field::Gender, stored);
        EXPECT_EQ(r.code(Field::Gender), value) << stored;
    }
    r.setCode(Field::Education, 0);
    EXPECT_EQ(r.raw(Field::Education), QByteArray("0"));
    r.setCode(Field::Gender, 2);
    EXPECT_EQ(r.raw(Field::Gender), QByteArray("2"));
    r.setCode(Field::EditCount, 12); // cut to the width
    EXPECT_EQ(r.raw(Field::EditCount), QByteArray("1"));
}

TEST(ClientRecord, AnswersReadAsDigitsWithBlanksAsNoAnswer)
{
    ClientRecord r;
    QByteArray a(155, '0');
    a[0] = '1';
    a[93] = '2';
    a[119] = '3';
    a[154] = ' ';
    a[10] = 'x';
    r.setRaw(Field::Answers, a);
    EXPECT_EQ(r.answer(1), 1);
    EXPECT_EQ(r.answer(94), 2);
    EXPECT_EQ(r.answer(120), 3);
    EXPECT_EQ(r.answer(155), 0);
    EXPECT_EQ(r.answer(11), 0);
    EXPECT_EQ(r.answerChar(11), 'x');
    EXPECT_EQ(ClientRecord().answer(77), 0);
}

TEST(Cp1252, EveryByteRoundTrips)
{
    QByteArray all(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<char>(i);
    QByteArray back;
    ASSERT_TRUE(cp1252::encode(cp1252::decode(all), &back));
    EXPECT_EQ(back, all);
    EXPECT_EQ(cp1252::decode("\x80\x8A\x9F"), QString::fromUtf8("€ŠŸ"));
}

TEST(CodeTables, LabelsArePaddedToTheirWidths)
{
    const std::tuple<const CodeTable*, int, int, QString> cases[] = {
        {&GenderLabel(), 6, 2, QStringLiteral("Female")},
        {&RaceLabel(), 15, 5, QStringLiteral("Native American")},
        {&MaritalLabel(), 9, 4, QStringLiteral("Separated")},
        {&EducationLabel(), 28, 5, QStringLiteral("Partially Completed College")},
        {&YesNoLabel(), 3, 2, QStringLiteral("No")},
    };
    for (const auto& [table, width, code, label] : cases) {
        EXPECT_EQ(table->width, width);
        EXPECT_EQ(table->labels[0], QStringLiteral("N/A"));
        EXPECT_EQ(paddedLabel(*table, code), label.leftJustified(width));
        EXPECT_EQ(paddedLabel(*table, 99), QStringLiteral("N/A").leftJustified(width));
    }
    EXPECT_EQ(RaceLabel().labels.size(), 7);
    EXPECT_EQ(MaritalLabel().labels.size(), 6);
    EXPECT_EQ(EducationLabel().labels.size(), 9);
}

} // namespace
