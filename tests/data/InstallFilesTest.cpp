#include "DataFiles.h"
#include "app/Branding.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <array>
#include <set>
#include <vector>

using namespace kvx;
using namespace kvx::test;

namespace {

const QStringList kParagraphKeys = {QStringLiteral("LOW"),         QStringLiteral("MEDIUM"),
                                    QStringLiteral("MEDIUM-LOW"),  QStringLiteral("MEDIUM-HIGH"),
                                    QStringLiteral("PROBLEM"),     QStringLiteral("MAXIMUM"),
                                    QStringLiteral("MAXIMUM-LOW"), QStringLiteral("MAXIMUM-HIGH")};

// The fields of the scoring key, read in file order.
struct KeyFile
{
    std::vector<int> sig;
    QStringList pointKeys;
    std::vector<int> norms[2][3][5];
    std::vector<int> bounds;
    std::vector<int> stressNorms[2][3];
    std::vector<int> lists[5];
    std::vector<int> floors;
    int adjust[5][9] = {};
    bool complete = false;
};

KeyFile readKey()
{
    KeyFile k;
    FieldReader r(cp1252::decode(readBytes(sourceData(QStringLiteral("KVXB2.TXT")))));
    auto numbers = [&](std::vector<int>& into, int count) {
        for (int i = 0; i < count; ++i) {
            int v = 0;
            if (!r.number(&v))
                return false;
            into.push_back(v);
        }
        return true;
    };
    int n = 0;
    if (!numbers(k.sig, 40))
        return k;
    for (int i = 0; i < 19; ++i)
        k.pointKeys << r.text();
    for (auto& sex : k.norms)
        for (auto& race : sex)
            for (auto& scale : race)
                if (!r.number(&n) || n < 0 || n > 95 || !numbers(scale, n))
                    return k;
    if (!numbers(k.bounds, 52))
        return k;
    for (auto& sex : k.stressNorms)
        for (auto& race : sex)
            if (!numbers(race, 51))
                return k;
    for (auto& list : k.lists)
        if (!r.number(&n) || n < 0 || n > 40 || !numbers(list, n))
            return k;
    if (!numbers(k.floors, 57))
        return k;
    for (auto& scale : k.adjust)
        for (int& v : scale)
            if (!r.number(&v))
                return k;
    k.complete = r.atEnd(); // nothing may follow the last field
    return k;
}

// The point key and position of an item; codes above the block's choices earn nothing.
int points(const KeyFile& k, int item, int code)
{
    struct Block
    {
        int first, last, key0, top;
    };
    static const Block blocks[] = {
        {1, 50, 0, 2}, {51, 94, 3, 2}, {95, 135, 6, 4}, {136, 145, 11, 2}, {146, 155, 14, 4}};
    for (const Block& b : blocks)
        if (item >= b.first && item <= b.last) {
            if (code > b.top)
                return 0;
            const QString& key = k.pointKeys[b.key0 + code];
            return key[item - b.first].digitValue();
        }
    return 0;
}

int bestPoints(const KeyFile& k, int item)
{
    int best = 0;
    for (int code = 0; code <= 4; ++code)
        best = std::max(best, points(k, item, code));
    return best;
}

bool contains(const std::vector<int>& v, int x)
{
    return std::find(v.begin(), v.end(), x) != v.end();
}

TEST(ScoringKey, HoldsEveryFieldAndNothingAfter)
{
    const KeyFile k = readKey();
    ASSERT_TRUE(k.complete);
    const int lengths[19] = {50, 50, 50, 44, 44, 44, 41, 41, 41, 41,
                             41, 10, 10, 10, 10, 10, 10, 10, 10};
    for (int i = 0; i < 19; ++i) {
        EXPECT_EQ(k.pointKeys[i].size(), lengths[i]) << "point key " << i + 1;
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9]*$")).match(k.pointKeys[i]).hasMatch())
            << "point key " << i + 1;
    }
    // Code 0 (no answer) never earns points.
    for (int i : {0, 3, 6, 11, 14}) {
        EXPECT_EQ(k.pointKeys[i], QString(k.pointKeys[i].size(), u'0')) << "point key " << i + 1;
    }
}

TEST(ScoringKey, NormsRiseAndCoverEveryAttainableScore)
{
    const KeyFile k = readKey();
    ASSERT_TRUE(k.complete);
    // Highest points the court history adds (ALCOHOL, DRUGS, VIOLENCE), and the largest
    // Truthfulness correction for scales 2..5.
    const int court[5] = {0, 6, 0, 7, 5 + 6 + 7 + 7 * 6 + 4 + 10 + 8};
    for (int s = 0; s < 5; ++s) {
        int top = court[s];
        for (int item : k.lists[s])
            top += bestPoints(k, item);
        if (s > 0)
            top += *std::max_element(std::begin(k.adjust[s - 1]), std::end(k.adjust[s - 1]));
        for (int sex = 0; sex < 2; ++sex)
            for (int race = 0; race < 3; ++race) {
                const auto& norm = k.norms[sex][race][s];
                SCOPED_TRACE(testing::Message()
                             << "scale " << s + 1 << " sex " << sex + 1 << " race " << race + 1);
                EXPECT_EQ(norm.size(), std::min(95, top));
                for (size_t r = 0; r < norm.size(); ++r) {
                    EXPECT_GE(norm[r], 0);
                    EXPECT_LE(norm[r], 99);
                    if (r > 0) {
                        EXPECT_GE(norm[r], norm[r - 1]) << "raw " << r + 1;
                    }
                }
            }
        // Women's and men's tables differ somewhere (except Truthfulness, which may not).
        if (s > 0) {
            EXPECT_NE(k.norms[0][0][s], k.norms[1][0][s]) << "scale " << s + 1;
        }
    }
}

TEST(ScoringKey, StressBracketsCoverEveryRawScore)
{
    const KeyFile k = readKey();
    ASSERT_TRUE(k.complete);
    for (size_t i = 1; i < k.bounds.size(); ++i) {
        EXPECT_LT(k.bounds[i - 1], k.bounds[i]) << "bound " << i + 1;
    }
    // Raw scores run from 20*60/80 = 15 to 80*60/20 = 240, plus the correction.
    const int topAdjust = *std::max_element(std::begin(k.adjust[4]), std::end(k.adjust[4]));
    EXPECT_LT(k.bounds.front(), 15);
    EXPECT_GE(k.bounds.back(), 240 + topAdjust);
    for (const auto& sex : k.stressNorms)
        for (const auto& race : sex)
            for (size_t i = 0; i < race.size(); ++i) {
                EXPECT_GE(race[i], 0);
                EXPECT_LE(race[i], 99);
                if (i > 0) {
                    EXPECT_GE(race[i], race[i - 1]) << "bracket " << i + 1;
                }
            }
}

TEST(ScoringKey, SignificantAndFloorItemsBelongToTheirScales)
{
    const KeyFile k = readKey();
    ASSERT_TRUE(k.complete);
    for (const auto& list : k.lists) {
        EXPECT_EQ(std::set<int>(list.begin(), list.end()).size(), list.size());
        for (int item : list) {
            EXPECT_GE(item, 1);
            EXPECT_LE(item, 155);
        }
    }
    const struct
    {
        const char* what;
        const std::vector<int>& items;
        int first, last, list;
        int minPoints;
    } groups[] = {
        {"significant alcohol", k.sig, 0, 9, 1, 1},    {"significant drugs", k.sig, 9, 19, 3, 1},
        {"significant violence", k.sig, 19, 28, 4, 1}, {"significant control", k.sig, 28, 40, 2, 1},
        {"alcohol floor", k.floors, 0, 12, 1, 2},      {"control floor", k.floors, 12, 24, 2, 2},
        {"drugs floor", k.floors, 24, 37, 3, 2},       {"violence floor", k.floors, 37, 57, 4, 2},
    };
    for (const auto& g : groups)
        for (int i = g.first; i < g.last; ++i) {
            const int item = g.items[i];
            EXPECT_TRUE(contains(k.lists[g.list], item)) << g.what << " item " << item;
            EXPECT_GE(bestPoints(k, item), g.minPoints) << g.what << " item " << item;
        }
    EXPECT_GE(k.lists[4].size(), 20u);
}

TEST(ScoringKey, TruthCorrectionsAreSmallAndGrowWithTheBand)
{
    const KeyFile k = readKey();
    ASSERT_TRUE(k.complete);
    for (int s = 0; s < 5; ++s)
        for (int b = 0; b < 9; ++b) {
            EXPECT_GE(k.adjust[s][b], 0);
            EXPECT_LE(k.adjust[s][b], 5);
            if (b > 0) {
                EXPECT_GE(k.adjust[s][b], k.adjust[s][b - 1]) << "scale " << s + 2;
            }
        }
}

TEST(ReportTexts, FieldsThenNinetyLinesMatchingTheItems)
{
    FieldReader r(cp1252::decode(readBytes(sourceData(QStringLiteral("KVXRPT.TXT")))));
    QStringList fields;
    for (int i = 0; i < 25; ++i)
        fields << r.text();
    EXPECT_EQ(fields.mid(21), QStringList({QStringLiteral("LOW"), QStringLiteral("MEDIUM"),
                                           QStringLiteral("PROBLEM"), QStringLiteral("MAXIMUM")}));
    QStringList lines;
    while (!r.atEnd())
        lines << r.line();
    ASSERT_EQ(lines.size(), 90);
    for (int i = 0; i < 40; ++i) {
        EXPECT_FALSE(lines[i].trimmed().isEmpty()) << "significant item " << i + 1;
        EXPECT_LE(lines[i].size(), 36) << str(lines[i]);
    }
    for (int i = 0; i < 40; ++i) {
        const QString& l = lines[40 + i];
        const int item = 146 + i / 4;
        EXPECT_TRUE(l.startsWith(QStringLiteral("%1. ").arg(item))) << str(l);
        EXPECT_LE(l.size(), 36) << str(l);
    }
    for (int i = 80; i < 90; ++i) {
        EXPECT_FALSE(lines[i].trimmed().isEmpty());
        EXPECT_LE(lines[i].size(), 72) << str(lines[i]);
    }
    // Every line of the file ends with CR LF.
    EXPECT_EQ(crlfLines(sourceData(QStringLiteral("KVXRPT.TXT"))).size(), 95);
}

TEST(ParagraphFiles, EveryKeyHasAParagraphThatFitsTheReport)
{
    const char* files[] = {"KVXVA.TXT", "KVXAL.TXT", "KVXCL.TXT",
                           "KVXDG.TXT", "KVXVI.TXT", "KVXSC.TXT"};
    for (const char* f : files) {
        const QStringList lines = crlfLines(sourceData(QLatin1String(f)));
        for (const QString& key : kParagraphKeys) {
            SCOPED_TRACE(testing::Message() << f << " " << str(key));
            const qsizetype at = lines.indexOf(key);
            ASSERT_GE(at, 0);
            const qsizetype end = lines.indexOf(QStringLiteral("END"), at + 1);
            ASSERT_GT(end, at);
            EXPECT_GE(end - at - 1, 3);
            EXPECT_LE(end - at - 1, 8);
            for (qsizetype i = at + 1; i < end; ++i) {
                // Printed from column 9 of an 80-column line.
                EXPECT_LE(lines[i].size(), 72) << str(lines[i]);
                EXPECT_FALSE(lines[i].trimmed().isEmpty());
                EXPECT_FALSE(kParagraphKeys.contains(lines[i])) << str(lines[i]);
                for (QChar c : lines[i]) {
                    EXPECT_LT(c.unicode(), 128) << str(lines[i]);
                }
            }
        }
    }
}

TEST(ParagraphFiles, InvalidTestTextEndsWithEnd)
{
    const QStringList lines = crlfLines(sourceData(QStringLiteral("INVAL.TXT")));
    const qsizetype end = lines.indexOf(QStringLiteral("END"));
    ASSERT_GT(end, 2);
    for (qsizetype i = 0; i < end; ++i) {
        EXPECT_LE(lines[i].size(), 73) << str(lines[i]); // printed from column 8
    }
}

TEST(Branding, BothBrandingsAreCompleteDemonstrations)
{
    const QString dir = sourceDataDir();
    const Branding a = LoadBranding(dir, QString());
    const Branding b = LoadBranding(dir, QStringLiteral("b"));
    for (const Branding* br : {&a, &b}) {
        for (const QString* line : {&br->VendorName, &br->VendorWeb, &br->VendorEmail, &br->Rights,
                                    &br->Phone, &br->ReportLine1, &br->ReportLine2})
            EXPECT_FALSE(line->isEmpty());
        EXPECT_LE(br->ReportLine1.size(), 66);
        EXPECT_LE(br->ReportLine2.size(), 66);
        EXPECT_TRUE(br->ReportLine1.contains(QStringLiteral("DEMONSTRATION")));
        EXPECT_TRUE(br->VendorWeb.contains(QStringLiteral("example.")));
        EXPECT_TRUE(br->VendorEmail.contains(QStringLiteral("@example.")));
        EXPECT_TRUE(br->Phone.contains(QStringLiteral("555-01")));
        ASSERT_FALSE(br->LogoPath.isEmpty());
        // Roughly 3:2, as the about box and main menu expect.
        const QString svg = QString::fromUtf8(readBytes(br->LogoPath));
        const auto m =
            QRegularExpression(QStringLiteral("viewBox=\"0 0 (\\d+) (\\d+)\"")).match(svg);
        ASSERT_TRUE(m.hasMatch()) << str(br->LogoPath);
        EXPECT_NEAR(m.captured(1).toDouble() / m.captured(2).toDouble(), 1.5, 0.1);
    }
    EXPECT_NE(a.VendorName, b.VendorName);
    EXPECT_NE(a.LogoPath, b.LogoPath);
    EXPECT_EQ(a.Rights, b.Rights);
    EXPECT_EQ(a.Phone, b.Phone);
    EXPECT_EQ(a.Rights,
              QStringLiteral("Synthetic items, norms and texts. Not a validated instrument."));
}

TEST(GeneratedFiles, MatchTheirSource)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    QProcess p;
    p.start(QStringLiteral("python3"),
            {qEnvironmentVariable("KVX_SOURCE_DIR") + QStringLiteral("/scripts/make-install-files"),
             tmp.path()});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    for (const char* f : {"KVXB2.TXT", "KVXRPT.TXT", "sql/10-english.sql", "sql/20-spanish.sql"}) {
        EXPECT_EQ(readBytes(tmp.filePath(QLatin1String(f))),
                  readBytes(sourceData(QLatin1String(f))))
            << f << " differs from what scripts/make-install-files makes of its source";
    }
}

} // namespace
