// Mutated and truncated key and text files fed to the readers: they must reject what they
// cannot read and never crash, hang or read out of bounds (run it in the sanitizer build).
// The seed is fixed, so every run feeds the same inputs.
#include "scoring/ScoringHelpers.h"

#include <random>

using namespace kvx;
using namespace kvx::test;

namespace {

constexpr int kRounds = 1500;

QByteArray mutate(QByteArray b, std::mt19937& rng)
{
    static const QByteArray kAlphabet = QByteArrayLiteral("0123456789,\" \r\n-+x\t\xE9");
    const auto pick = [&](qsizetype n) {
        return static_cast<qsizetype>(std::uniform_int_distribution<qsizetype>(0, n - 1)(rng));
    };
    const int edits = 1 + static_cast<int>(pick(4));
    for (int e = 0; e < edits && !b.isEmpty(); ++e) {
        const qsizetype at = pick(b.size());
        const char ch = kAlphabet[pick(kAlphabet.size())];
        switch (pick(5)) {
        case 0:
            b[at] = ch;
            break;
        case 1:
            b.insert(at, ch);
            break;
        case 2:
            b.remove(at, 1 + pick(8));
            break;
        case 3:
            b.insert(at, b.mid(pick(b.size()), pick(40)));
            break;
        default:
            b.truncate(at);
            break;
        }
    }
    return b;
}

bool anyFatal(const QList<FileProblem>& problems)
{
    for (const FileProblem& p : problems)
        if (p.fatal)
            return true;
    return false;
}

// What an accepted key must hold for scoring to stay within its tables.
void expectUsable(const ScoringTables& t)
{
    for (int k = 1; k <= kSigItemCount; ++k)
        ASSERT_TRUE(InRange(t.SigItemNo[k], 1, 155));
    for (int k = 1; k <= kFloorItemCount; ++k)
        ASSERT_TRUE(InRange(t.FloorItemNo[k], 1, 155));
    for (int s = 1; s <= 5; ++s) {
        for (int item : t.ScaleItems[s])
            ASSERT_TRUE(InRange(item, 1, 155));
        for (int race = 1; race <= 3; ++race)
            for (int sex = 1; sex <= 2; ++sex)
                for (int p : t.Norm[s][race][sex])
                    ASSERT_TRUE(InRange(p, 0, 99));
    }
}

TEST(FuzzReaders, ScoringKey)
{
    std::mt19937 rng(20240305);
    const QByteArray good = KeyFixture::standard().render();
    // Every field stands before the start of the last line: a cut there must be refused.
    const qsizetype lastLine = good.lastIndexOf('\n', good.size() - 2) + 1;
    int accepted = 0;
    for (int round = 0; round < kRounds; ++round) {
        const QByteArray bytes = mutate(good, rng);
        ScoringTables t;
        QList<FileProblem> problems;
        ReadScoringKey(cp1252::decode(bytes), QStringLiteral("KVXB2.TXT"), t, problems);
        if (bytes.size() < lastLine && good.startsWith(bytes)) {
            EXPECT_TRUE(anyFatal(problems)) << "a cut at " << bytes.size() << " was accepted";
        }
        // CR, LF and CR LF each end a line.
        const auto lineEnds = static_cast<int>(bytes.count('\n') + bytes.count('\r'));
        for (const FileProblem& p : problems)
            EXPECT_TRUE(InRange(p.line, 1, lineEnds + 1)) << p.text().toStdString();
        if (anyFatal(problems))
            continue;
        ++accepted;
        expectUsable(t);
        // Score a client with random answers on what was accepted.
        QByteArray answers(155, '0');
        for (char& a : answers)
            a = static_cast<char>('0' + rng() % 10);
        ClientFixture c;
        c.answers = answers;
        c.court[8] = QString::number(rng() % 100);
        const ClientScores r = score(t, c);
        for (int s = 1; s <= 6; ++s)
            EXPECT_TRUE(InRange(r.Percentile[s], 0, 99));
    }
    EXPECT_GT(accepted, 0); // the mutations leave some files readable
}

TEST(FuzzReaders, ReportText)
{
    std::mt19937 rng(19810523);
    const QByteArray good = TextFixture::standard().render();
    for (int round = 0; round < kRounds; ++round) {
        const QByteArray bytes = mutate(good, rng);
        ScoringTables t;
        QList<FileProblem> problems;
        ReadReportText(cp1252::decode(bytes), QStringLiteral("KVXRPT.TXT"), t, problems);
        if (bytes.count('\n') < 89) {
            EXPECT_TRUE(anyFatal(problems)) << "a file of " << bytes.count('\n') << " lines";
        }
    }
}

TEST(FuzzReaders, FieldReaderOnRandomBytes)
{
    std::mt19937 rng(7);
    for (int round = 0; round < kRounds; ++round) {
        QByteArray bytes(static_cast<qsizetype>(rng() % 64), '\0');
        for (char& b : bytes)
            b = static_cast<char>(rng() % 256);
        FieldReader r(cp1252::decode(bytes));
        // Each call either moves on or fails; a bounded number of calls reaches the end.
        int failures = 0;
        for (int k = 0; k < 200 && failures < 3; ++k) {
            const bool ok = k % 3 == 0   ? r.number(fieldName("n")).ok()
                            : k % 3 == 1 ? r.textField(fieldName("t")).ok()
                                         : r.wholeLine(fieldName("l")).ok();
            failures += ok ? 0 : 1;
        }
        EXPECT_GT(failures, 0) << "64 bytes cannot feed 200 fields";
    }
}

} // namespace
