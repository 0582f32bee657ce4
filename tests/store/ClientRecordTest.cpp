#include "store/ClientRecord.h"
#include "store/CodeTables.h"
#include "store/Cp1252.h"
#include "store/DataFile.h"

#include <gtest/gtest.h>

using namespace kvx;

namespace {

TEST(ClientRecordLayout, FieldsTileTheRecordAtTheirWidths)
{
    // Name .. TestDate, the 15 two-byte court fields, Answers, EditCount, NameDeleted.
    const int widths[kFieldCount] = {25, 3, 10, 1, 1, 1, 1, 10, 2, 2, 2,   2, 2,
                                     2,  2, 2,  2, 2, 2, 2, 2,  2, 2, 155, 1, 1};
    int offset = 0;
    for (int i = 0; i < kFieldCount; ++i) {
        EXPECT_EQ(layoutOf(static_cast<Field>(i)).offset, offset) << "field " << i;
        EXPECT_EQ(layoutOf(static_cast<Field>(i)).width, widths[i]) << "field " << i;
        offset += widths[i];
    }
    EXPECT_EQ(offset, ClientRecord::Size);
    for (int item = 1; item <= kCourtItemCount; ++item)
        EXPECT_EQ(courtField(item), static_cast<Field>(7 + item));
}

TEST(ClientRecord, StoresTextPaddedAndCutInWindows1252)
{
    ClientRecord r;
    const std::tuple<Field, const char16_t*, QByteArray> cases[] = {
        {Field::Name, u"José Peña", QByteArray("Jos\351 Pe\361a").leftJustified(25)},
        {Field::Name, u"Bartholomew Alexander Smithson", "Bartholomew Alexander Smi"},
        // The euro sign and curly quotes live in 0x80-0x9F.
        {Field::Name, u"\u201CO\u2019Neil\u201D \u20AC",
         QByteArray("\x93O\x92Neil\x94 \x80").leftJustified(25)},
        {Field::Age, u"34", "34 "},
        {Field::DateOfBirth, u"N", "N         "}};
    for (const auto& [field, text, stored] : cases) {
        ASSERT_TRUE(r.setText(field, text));
        EXPECT_EQ(r.raw(field), stored);
        EXPECT_EQ(r.trimmed(field), QString::fromUtf16(text).left(r.raw(field).size()));
    }
    EXPECT_EQ(storedDateOfBirth("n/a"), "N");
}

TEST(ClientRecord, RefusesCharactersWindows1252CannotHoldAndKeepsTheField)
{
    ClientRecord r;
    ASSERT_TRUE(r.setText(Field::Name, u"Ann"));
    for (const char16_t* bad : {u"Łukasz", u"李雷", u"Zoë \u2603"}) {
        const Status st = r.setText(Field::Name, bad);
        ASSERT_FALSE(st);
        EXPECT_EQ(st.error().code, err::CannotEncode);
        EXPECT_EQ(r.trimmed(Field::Name), "Ann");
    }
}

TEST(ClientRecord, CodesAndAnswersReadTheirDigitAndAnythingElseAsZero)
{
    ClientRecord r;
    for (const auto& [stored, value] :
         {std::pair{"2", 2}, {"0", 0}, {" ", 0}, {"x", 0}, {"9", 9}}) {
        r.setRaw(Field::Gender, stored);
        EXPECT_EQ(r.code(Field::Gender), value) << stored;
    }
    r.setCode(Field::EditCount, 12); // cut to the width
    EXPECT_EQ(r.raw(Field::EditCount), QByteArray("1"));

    QByteArray a(155, '0');
    a[0] = '1', a[93] = '2', a[119] = '3', a[154] = ' ', a[10] = 'x';
    r.setRaw(Field::Answers, a);
    for (const auto& [item, value] : {std::pair{1, 1}, {94, 2}, {120, 3}, {155, 0}, {11, 0}})
        EXPECT_EQ(r.answer(item), value) << item;
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
        {&GenderLabel(), 6, 2, "Female"},
        {&RaceLabel(), 15, 5, "Native American"},
        {&MaritalLabel(), 9, 4, "Separated"},
        {&EducationLabel(), 28, 5, "Partially Completed College"},
        {&YesNoLabel(), 3, 2, "No"},
    };
    for (const auto& [table, width, code, label] : cases) {
        EXPECT_EQ(paddedLabel(*table, code), label.leftJustified(width));
        EXPECT_EQ(paddedLabel(*table, 99), QStringLiteral("N/A").leftJustified(width));
    }
}

} // namespace
