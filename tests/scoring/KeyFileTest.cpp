#include "scoring/ScoringFixture.h"

#include "common/TestSupport.h"
#include "store/Cp1252.h"

#include <random>

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
        {"0000000012,-00000000007", "nn", "12 -7"},
        {"32768", "n", "!13@1"},
        {",5", "n", "!13@1"},
        {"1\r\n\r\n", "nn", "1 !62@2"},
        {"  a b  ,,c\r\nd", "tttt", "[a b] [] [c] [d]"},
        {"\"x, y\" , z\r\n\"\"", "ttt", "[x, y] [z] []"},
        {"\"open\r\nq\"", "t", "!13@1"},
        {"\"a\"b", "t", "!13@1"},
        {"\"a\" b", "t", "!13@1"},
        {"L1,L2,tail\r\n  first  \rsecond, line\n", "ttflll",
         "[L1] [L2] [  first  ] [second, line] !62@3"}};
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

// Mutated and cut key and text files (fixed seed): the readers must refuse what they cannot
// read and never crash, hang or read out of bounds (run it in the sanitizer build).
QByteArray mutate(QByteArray b, std::mt19937& rng)
{
    static const QByteArray kAlphabet = "0123456789,\" \r\n-+x\t\xE9";
    const auto pick = [&rng](qsizetype n) {
        return std::uniform_int_distribution<qsizetype>(0, n - 1)(rng);
    };
    for (qsizetype e = 1 + pick(4); e > 0 && !b.isEmpty(); --e) {
        // Change a byte, add one, take out up to 8, copy in a piece, or cut the rest.
        const qsizetype at = pick(b.size());
        const auto kind = pick(5);
        const qsizetype out = kind == 0 ? 1 : kind == 2 ? 1 + pick(8) : kind == 4 ? b.size() : 0;
        const QByteArray in = kind <= 1   ? QByteArray(1, kAlphabet[pick(kAlphabet.size())])
                              : kind == 3 ? b.mid(pick(b.size()), pick(40))
                                          : QByteArray();
        b = b.left(at) + in + b.mid(at + out);
    }
    return b;
}

TEST(FuzzReaders, KeyAndTextFiles)
{
    std::mt19937 rng(20240305);
    int acceptedKeys = 0;
    for (const bool isKey : {true, false}) {
        const QByteArray good = isKey ? renderKey(standardTables()) : renderText(standardTables());
        // Every field starts before the last line: a cut before it must be refused.
        const qsizetype lastLine = good.lastIndexOf('\n', good.size() - 2) + 1;
        for (int round = 0; round < 1500; ++round) {
            const QByteArray bytes = mutate(good, rng);
            ScoringTables t;
            QList<FileProblem> problems;
            (isKey ? ReadScoringKey : ReadReportText)(cp1252::decode(bytes), "F", t, problems);
            const bool fatal = std::ranges::any_of(problems, &FileProblem::fatal);
            const bool cut = bytes.size() < lastLine && good.startsWith(bytes);
            EXPECT_TRUE(fatal || !cut) << "a cut at " << bytes.size() << " was accepted";
            const auto lineEnds = bytes.count('\n') + bytes.count('\r');
            for (const FileProblem& p : problems)
                EXPECT_TRUE(InRange(p.line, 1, static_cast<int>(lineEnds) + 1))
                    << p.text().toStdString();
            if (!isKey || fatal)
                continue;
            ++acceptedKeys;
            // Scoring indexes range-checked arrays with every accepted item number; norms here.
            const auto percentile = [](int p) { return InRange(p, 0, 99); };
            for (int scale = 1; scale <= 5; ++scale)
                for (const auto& norms : t.Norm[scale])
                    for (const std::vector<int>& norm : norms)
                        ASSERT_TRUE(std::ranges::all_of(norm, percentile));
            ClientFixture c;
            for (int i = 0; i < 155; ++i)
                c.answers += static_cast<char>('0' + rng() % 10);
            c.court[8] = QString::number(rng() % 100);
            EXPECT_TRUE(std::ranges::all_of(score(c, t).Percentile, percentile));
        }
    }
    EXPECT_GT(acceptedKeys, 0); // some mutations leave a readable key
}

} // namespace
