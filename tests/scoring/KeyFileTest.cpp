#include "scoring/Paragraphs.h"
#include "scoring/ScoringHelpers.h"

#include "common/TestSupport.h"

#include <QTemporaryDir>

using namespace kvx;
using namespace kvx::test;

namespace {

std::string fields(const QString& text, const std::vector<char>& kinds)
{
    // n = number, t = text field, l = whole line, f = finish the line
    FieldReader r(text);
    QStringList out;
    for (char k : kinds) {
        if (k == 'f') {
            r.finishLine();
            continue;
        }
        const FieldName what = fieldName("field");
        if (k == 'n') {
            const Result<int> v = r.number(what);
            out.append(v ? QString::number(*v)
                         : QStringLiteral("!%1@%2").arg(v.error().code).arg(r.line()));
        } else {
            const Result<QString> v = k == 't' ? r.textField(what) : r.wholeLine(what);
            out.append(v ? QStringLiteral("[%1]").arg(*v)
                         : QStringLiteral("!%1@%2").arg(v.error().code).arg(r.line()));
        }
    }
    return out.join(u' ').toStdString();
}

TEST(FieldReader, FieldRules)
{
    struct Case
    {
        const char* text;
        std::vector<char> kinds;
        const char* expected;
    };
    const Case cases[] = {
        {"1,2,3", {'n', 'n', 'n'}, "1 2 3"},
        {"1 2\t3", {'n', 'n', 'n'}, "1 2 3"},
        {"1 , 2\r\n3", {'n', 'n', 'n'}, "1 2 3"},
        {"  \r\n\r\n 7\n8", {'n', 'n'}, "7 8"},
        {"-5,+6,032767,-32768", {'n', 'n', 'n', 'n'}, "-5 6 32767 -32768"},
        {"32768", {'n'}, "!13@1"},
        {"1x,2", {'n'}, "!13@1"},
        {",5", {'n'}, "!13@1"},
        {"1\r\n\r\n", {'n', 'n'}, "1 !62@2"},
        {"", {'t'}, "!62@1"},
        {"  a b  ,c\r\nd", {'t', 't', 't'}, "[a b] [c] [d]"},
        {"\"x, y\" , z", {'t', 't'}, "[x, y] [z]"},
        {"\"x, y\"\r\n\"\"", {'t', 't'}, "[x, y] []"},
        {"\"open\r\nq\"", {'t'}, "!13@1"},
        {"\"a\"b", {'t'}, "!13@1"},
        {"\"a\" b", {'t'}, "!13@1"},
        {"a,,b", {'t', 't', 't'}, "[a] [] [b]"},
        {"L1,L2,tail\r\nfirst line\rsecond, line\n",
         {'t', 't', 'f', 'l', 'l', 'l'},
         "[L1] [L2] [first line] [second, line] !62@3"},
        {"L1,L2\r\n  kept  \r\n", {'t', 't', 'f', 'l'}, "[L1] [L2] [  kept  ]"},
        {"x\r\n\r\ny", {'t', 'l', 'l'}, "[x] [] [y]"},
        {"3\nlast", {'n', 'l'}, "3 [last]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fields(QString::fromLatin1(c.text), c.kinds), c.expected) << c.text;
}

// The rendered standard key with one change; returns the first problem or "".
std::string firstProblem(QByteArray key, bool text = false)
{
    ScoringTables t;
    QList<FileProblem> problems;
    if (text)
        ReadReportText(cp1252::decode(key), QStringLiteral("KVXRPT.TXT"), t, problems);
    else
        ReadScoringKey(cp1252::decode(key), QStringLiteral("KVXB2.TXT"), t, problems);
    return problems.isEmpty() ? std::string() : problems.first().text().toStdString();
}

TEST(ScoringKey, MalformedOrShortFilesAreRejectedWithFileAndLine)
{
    const QByteArray good = KeyFixture::standard().render();
    const QByteArray goodText = TextFixture::standard().render();
    const auto lines = good.split('\n');
    const auto replaced = [&](int line, const QByteArray& with) {
        auto l = lines;
        l[line - 1] = with + "\r";
        return l.join('\n');
    };
    struct Case
    {
        const char* name;
        QByteArray bytes;
        bool text;
        const char* expected;
    };
    KeyFixture badStress = KeyFixture::standard();
    badStress.stressNorm[2][3][51] = 100;
    KeyFixture badScaleItem = KeyFixture::standard();
    badScaleItem.scaleItems[3][4] = 156;
    KeyFixture badFloor = KeyFixture::standard();
    badFloor.floorItemNo[57] = 0;
    const Case cases[] = {
        {"empty", QByteArray(), false,
         "KVXB2.TXT:1: the file ends before significant item 1 of 40"},
        {"cut after the norms", good.left(good.indexOf("0 2 4 6")), false,
         "KVXB2.TXT:50: the file ends before stress coping bound 1 of 52"},
        {"item 0", replaced(1, "0" + lines[0].mid(2).trimmed()), false,
         "KVXB2.TXT:1: significant item 1 of 40 is 0, outside 1-155"},
        {"not a number", replaced(1, "21,22,x3"), false,
         "KVXB2.TXT:1: significant item 3 of 40 is not a number: \"x3\""},
        {"unclosed point key", replaced(2, "\"000"), false,
         "KVXB2.TXT:2: the point key of block 1, answer 0 has no closing quotation mark"},
        {"norm length 96", replaced(21, "96"), false,
         "KVXB2.TXT:21: the norm length of scale 1 (sex 1, race group 1) is 96, outside 0-95"},
        {"norm 100", replaced(21, "1,100"), false,
         "KVXB2.TXT:21: the norm of raw score 1 of scale 1 (sex 1, race group 1) is 100, "
         "outside 0-99"},
        {"stress norm 100", badStress.render(), false,
         "KVXB2.TXT:57: the stress coping norm of bracket 51 (sex 2, race group 3) is 100, "
         "outside 0-99"},
        {"scale item 156", badScaleItem.render(), false,
         "KVXB2.TXT:63: item 5 of scale 3 is 156, outside 1-155"},
        {"floor item 0", badFloor.render(), false,
         "KVXB2.TXT:68: floor item 57 of 57 is 0, outside 1-155"},
        {"item count 41", replaced(58, "41"), false,
         "KVXB2.TXT:58: the item count of scale 1 is 41, outside 0-40"},
        {"text: short", goodText.left(goodText.size() - 30), true,
         "KVXRPT.TXT:94: the file ends before treatment need text 10 of 10"},
        {"text: no lines", goodText.left(goodText.indexOf("Alcohol sign 1")), true,
         "KVXRPT.TXT:5: the file ends before significant item text 1 of 40"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(firstProblem(c.bytes, c.text), c.expected) << c.name;
    EXPECT_EQ(firstProblem(good), "");
    EXPECT_EQ(firstProblem(goodText, true), "");
}

TEST(ScoringKey, ConsistencyProblemsAreListedButDoNotStopScoring)
{
    KeyFixture key = KeyFixture::standard();
    key.norm[4][2][2][9] = 3; // falls at raw score 10
    key.stressBound[30] = 10; // below bound 29
    ScoringTables t;
    QList<FileProblem> problems;
    ReadScoringKey(cp1252::decode(key.render()), QStringLiteral("KVXB2.TXT"), t, problems);
    ASSERT_EQ(problems.size(), 2);
    EXPECT_EQ(problems[0].text(), QStringLiteral("KVXB2.TXT:44: the norms of scale 4 (sex 2, race "
                                                 "group 2) fall from 31 to 3 at raw score 10"));
    EXPECT_FALSE(problems[0].fatal);
    EXPECT_EQ(
        problems[1].text(),
        QStringLiteral("KVXB2.TXT:51: stress coping bound 30 (10) is not above bound 29 (56)"));
    EXPECT_FALSE(problems[1].fatal);
}

TEST(ScoringKey, LoadReadsBothFilesByNameInAnyCase)
{
    QTemporaryDir dir;
    writeInstallation(dir.path());
    QFile::rename(dir.filePath(QStringLiteral("KVXB2.TXT")),
                  dir.filePath(QStringLiteral("kvxb2.txt")));
    const Result<ScoringTables> t = LoadScoringTables(dir.path());
    ASSERT_TRUE(t) << t.error().message.toStdString();
    EXPECT_EQ(t->SigItemNo[1], 21);
    EXPECT_EQ(t->SigItemNo[40], 52);
    EXPECT_EQ(t->PointKey[3][4], QString(41, u'3'));
    EXPECT_EQ(t->NormLength(5, 3, 2), 40);
    EXPECT_EQ(t->Norm[5][3][2][0], 18);
    EXPECT_EQ(t->StressBound[52], 102);
    EXPECT_EQ(t->StressNorm[2][3][51], 67);
    EXPECT_EQ(t->ScaleItems[5].size(), 20u);
    EXPECT_EQ(t->ScaleItems[6].front(), 95);
    EXPECT_EQ(t->ScaleItems[6].back(), 134);
    EXPECT_EQ(t->FloorItemNo[57], 151);
    EXPECT_EQ(t->RangeName[4], QStringLiteral("MAXIMUM"));
    EXPECT_EQ(t->SigItemText[40], QStringLiteral("Control sign 40"));
    EXPECT_EQ(t->InterviewText[40], QStringLiteral("Item 155 choice 4"));
    EXPECT_EQ(t->SigItemText[50], QStringLiteral("Program 10 wanted"));

    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("KVXRPT.TXT"))));
    const Result<ScoringTables> missing = LoadScoringTables(dir.path());
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().code, err::FileNotFound);
    EXPECT_EQ(missing.error().message, QStringLiteral("KVXRPT.TXT: file not found"));
}

TEST(Paragraphs, KeyLinesAndEnd)
{
    QTemporaryDir dir;
    writeBytes(dir.filePath(QStringLiteral("KVXAL.TXT")),
               "LOW \r\nLOW\r\nfirst\r\n  second\r\nEND\r\nlow\r\nEND\nLOWER\r\nx\r\nEND \r\n");
    struct Case
    {
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"LOW", "first|  second"},
        {"low", ""},
        {"LOWER", "!KVXAL.TXT:8: the paragraph \"LOWER\" is not ended by \"END\""},
        {"HIGH", "!KVXAL.TXT: no paragraph for the key \"HIGH\""},
    };
    for (const Case& c : cases) {
        const Result<QStringList> r =
            ReadParagraph(dir.path(), QStringLiteral("KVXAL.TXT"), QString::fromLatin1(c.key));
        EXPECT_EQ((r ? r->join(u'|') : u'!' + r.error().message).toStdString(), c.expected)
            << c.key;
    }
    const Result<QStringList> none =
        ReadParagraph(dir.path(), QStringLiteral("KVXSC.TXT"), QStringLiteral("LOW"));
    ASSERT_FALSE(none);
    EXPECT_EQ(none.error().message, QStringLiteral("KVXSC.TXT: file not found"));
}

} // namespace
