#include "scoring/Paragraphs.h"
#include "scoring/ScoringFixture.h"

#include "common/TestSupport.h"

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
        {"  \r\n\r\n 1 2\t3 , 4\r\n5", "nnnnn", "1 2 3 4 5"},
        {"-5,+6,032767,-32768", "nnnn", "-5 6 32767 -32768"},
        {"32768", "n", "!13@1"},
        {"1x,2", "n", "!13@1"},
        {",5", "n", "!13@1"},
        {"1\r\n\r\n", "nn", "1 !62@2"},
        {"", "t", "!62@1"},
        {"  a b  ,c\r\nd", "ttt", "[a b] [c] [d]"},
        {"\"x, y\" , z\r\n\"\"", "ttt", "[x, y] [z] []"},
        {"\"open\r\nq\"", "t", "!13@1"},
        {"\"a\"b", "t", "!13@1"},
        {"\"a\" b", "t", "!13@1"},
        {"a,,b", "ttt", "[a] [] [b]"},
        {"L1,L2,tail\r\nfirst line\rsecond, line\n", "ttflll",
         "[L1] [L2] [first line] [second, line] !62@3"},
        {"L1,L2\r\n  kept  \r\n", "ttfl", "[L1] [L2] [  kept  ]"}};
    for (const auto& [text, kinds, expected] : cases)
        EXPECT_EQ(fields(text, kinds), expected) << text;
}

TEST(ScoringKey, LoadReadsBothFilesByNameInAnyCase)
{
    QTemporaryDir dir;
    writeInstallation(dir.path());
    ASSERT_TRUE(QFile::remove(dir.filePath("KVXB2.TXT")));
    // Norms that fall and bounds out of order are listed, but scoring goes on.
    const QByteArray key =
        renderKey(standardTables()).replace(", 31, 33,", ", 31, 3,").replace("56 58", "56 10");
    writeBytes(dir.filePath("kvxb2.txt"), key);
    QList<FileProblem> problems;
    const Result<ScoringTables> t = LoadScoringTables(dir.path(), &problems);
    ASSERT_TRUE(t) << t.error().message.toStdString();
    EXPECT_EQ(problems.size(), 11); // norms of five scales in two groups, one bound
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
