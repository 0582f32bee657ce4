#include "scoring/Paragraphs.h"
#include "scoring/ScoringFixture.h"

#include "common/TestSupport.h"
#include "store/Cp1252.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

// Reads text as the given kinds of field (n number, t text field, l whole line, f finish the
// line): the values, or "!code@line" for a failure.
QString fields(const char* text, const char* kinds)
{
    FieldReader r(QString::fromLatin1(text));
    const FieldName what = fieldName("field");
    const auto failure = [&r](const Error& e) {
        return QStringLiteral("!%1@%2").arg(e.code).arg(r.line());
    };
    QStringList out;
    for (const char* k = kinds; *k; ++k) {
        if (*k == 'f') {
            r.finishLine();
        } else if (*k == 'n') {
            const Result<int> v = r.number(what);
            out.append(v ? QString::number(*v) : failure(v.error()));
        } else {
            const Result<QString> v = *k == 't' ? r.textField(what) : r.wholeLine(what);
            out.append(v ? "[" + *v + "]" : failure(v.error()));
        }
    }
    return out.join(u' ');
}

TEST(FieldReader, FieldRules)
{
    const std::tuple<const char*, const char*, QString> cases[]{
        {"1,2,3", "nnn", "1 2 3"},
        {"1 2\t3", "nnn", "1 2 3"},
        {"1 , 2\r\n3", "nnn", "1 2 3"},
        {"  \r\n\r\n 7\n8", "nn", "7 8"},
        {"-5,+6,032767,-32768", "nnnn", "-5 6 32767 -32768"},
        {"32768", "n", "!13@1"},
        {"1x,2", "n", "!13@1"},
        {",5", "n", "!13@1"},
        {"1\r\n\r\n", "nn", "1 !62@2"},
        {"", "t", "!62@1"},
        {"  a b  ,c\r\nd", "ttt", "[a b] [c] [d]"},
        {"\"x, y\" , z", "tt", "[x, y] [z]"},
        {"\"x, y\"\r\n\"\"", "tt", "[x, y] []"},
        {"\"open\r\nq\"", "t", "!13@1"},
        {"\"a\"b", "t", "!13@1"},
        {"\"a\" b", "t", "!13@1"},
        {"a,,b", "ttt", "[a] [] [b]"},
        {"L1,L2,tail\r\nfirst line\rsecond, line\n", "ttflll",
         "[L1] [L2] [first line] [second, line] !62@3"},
        {"L1,L2\r\n  kept  \r\n", "ttfl", "[L1] [L2] [  kept  ]"},
        {"x\r\n\r\ny", "tll", "[x] [] [y]"}};
    for (const auto& [text, kinds, expected] : cases)
        EXPECT_EQ(fields(text, kinds), expected) << text;
}

TEST(ScoringKey, ProblemsNameFileAndLine)
{
    // The standard key or text file with the text from replaced by to (none: cut before
    // from), and its first problem.
    const std::tuple<bool, const char*, const char*, QString> cases[]{
        {false, "21,", nullptr, "KVXB2.TXT:1: the file ends before significant item 1 of 40"},
        {false, "0 2 4 6", nullptr,
         "KVXB2.TXT:50: the file ends before stress coping bound 1 of 52"},
        {false, "21,22,23", "0,22,23", "KVXB2.TXT:1: significant item 1 of 40 is 0, outside 1-155"},
        {false, "21,22,23", "21,22,x3",
         "KVXB2.TXT:1: significant item 3 of 40 is not a number: \"x3\""},
        {false, "0\"\r\n\"1", "0\r\n\"1",
         "KVXB2.TXT:2: the point key of block 1, answer 0 has no closing quotation mark"},
        {false, "\n40, 2, 4,", "\n96, 2, 4,",
         "KVXB2.TXT:21: the norm length of scale 1 (sex 1, race group 1) is 96, outside 0-95"},
        {false, "\n40, 2, 4,", "\n40, 100, 4,",
         "KVXB2.TXT:21: the norm of raw score 1 of scale 1 (sex 1, race group 1) is 100, outside "
         "0-99"},
        {false, "66,67\r\n", "66,100\r\n",
         "KVXB2.TXT:57: the stress coping norm of bracket 51 (sex 2, race group 3) is 100, outside "
         "0-99"},
        {false, "\n20\r\n1,2,", "\n41\r\n1,2,",
         "KVXB2.TXT:58: the item count of scale 1 is 41, outside 0-40"},
        {false, "\n41,42,43,44,45", "\n41,42,43,44,156",
         "KVXB2.TXT:63: item 5 of scale 3 is 156, outside 1-155"},
        {false, "151\r\n0,", "0\r\n0,", "KVXB2.TXT:68: floor item 57 of 57 is 0, outside 1-155"},
        // Norms that fall and bounds out of order are listed but do not stop scoring.
        {false, ", 31, 33,", ", 31, 3,",
         "KVXB2.TXT:26: the norms of scale 1 (sex 1, race group 2) fall from 31 to 3 at raw score "
         "15 (not fatal)"},
        {false, "56 58", "56 10",
         "KVXB2.TXT:51: stress coping bound 30 (10) is not above bound 29 (56) (not fatal)"},
        {true, "Program 10", nullptr,
         "KVXRPT.TXT:94: the file ends before treatment need text 10 of 10"},
        {true, "Alcohol sign 1", nullptr,
         "KVXRPT.TXT:5: the file ends before significant item text 1 of 40"},
        {false, "", "", ""},
        {true, "", "", ""}};
    for (const auto& [isText, from, to, expected] : cases) {
        QByteArray bytes = isText ? renderText(standardTables()) : renderKey(standardTables());
        bytes = to ? bytes.replace(from, to) : bytes.left(bytes.indexOf(from));
        ScoringTables t;
        QList<FileProblem> problems;
        (isText ? ReadReportText : ReadScoringKey)(
            cp1252::decode(bytes), isText ? "KVXRPT.TXT" : "KVXB2.TXT", t, problems);
        EXPECT_EQ(problems.isEmpty()
                      ? QString()
                      : problems[0].text() + (problems[0].fatal ? "" : " (not fatal)"),
                  expected);
    }
}

TEST(ScoringKey, LoadReadsBothFilesByNameInAnyCase)
{
    QTemporaryDir dir;
    writeInstallation(dir.path());
    ASSERT_TRUE(QFile::remove(dir.filePath("KVXB2.TXT")));
    // Norms that fall are listed, but scoring goes on.
    const QByteArray key = renderKey(standardTables()).replace(", 31, 33,", ", 31, 3,");
    writeBytes(dir.filePath("kvxb2.txt"), key);
    QList<FileProblem> problems;
    const Result<ScoringTables> t = LoadScoringTables(dir.path(), &problems);
    ASSERT_TRUE(t) << t.error().message.toStdString();
    EXPECT_EQ(problems.size(), 10); // five scales of two groups
    // Every field is read as written.
    EXPECT_EQ(renderKey(*t), key);
    EXPECT_EQ(renderText(*t), renderText(standardTables()));
}

TEST(Paragraphs, KeyLinesAndEnd)
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("KVXAL.TXT"),
               "LOW \r\nLOW\r\nfirst\r\n  second\r\nEND\r\nlow\r\nEND\nLOWER\r\nx\r\nEND \r\n");
    const std::pair<const char*, QString> cases[]{
        {"LOW", "first|  second"},
        {"low", ""},
        {"LOWER", "!KVXAL.TXT:8: the paragraph \"LOWER\" is not ended by \"END\""},
        {"HIGH", "!KVXAL.TXT: no paragraph for the key \"HIGH\""}};
    for (const auto& [key, expected] : cases) {
        const Result<QStringList> r = ReadParagraph(dir.path(), "KVXAL.TXT", key);
        EXPECT_EQ(r ? r->join(u'|') : "!" + r.error().message, expected) << key;
    }
}

} // namespace
