#include "DataFiles.h"
#include "install/Branding.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <set>

using namespace kvx;
using namespace kvx::test;

namespace {

// Loading fails on any problem the reader reports, among them norms that fall, stress bounds
// out of order and values out of range.
class ScoringKey : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(loadTables(t)); }

    // The most points any answer to the item earns.
    int bestPoints(int item) const
    {
        const int first[] = {1, 1, 51, 95, 136, 146, 156};
        const int block = int(std::upper_bound(first + 1, first + 7, item) - first) - 1;
        int best = 0;
        for (const QString& key : t.PointKey[block])
            if (item - first[block] < key.size())
                best = std::max(best, key[item - first[block]].digitValue());
        return best;
    }

    ScoringTables t;
};

TEST_F(ScoringKey, PointKeysAreDigitsAsLongAsTheirBlocks)
{
    const int length[] = {0, 50, 44, 41, 10, 10};
    const int topCode[] = {0, 2, 2, 4, 2, 4};
    for (int b = 1; b <= 5; ++b)
        for (int code = 0; code <= topCode[b]; ++code) {
            const QString& key = t.PointKey[b][code];
            EXPECT_EQ(key.size(), length[b]) << "block " << b << " code " << code;
            // No answer (code 0) never earns points.
            const char* digits = code == 0 ? "^0*$" : "^[0-9]*$";
            EXPECT_TRUE(QRegularExpression(digits).match(key).hasMatch()) << str(key);
        }
}

TEST_F(ScoringKey, NormsCoverEveryAttainableScoreAndStressNormsNeverFall)
{
    // Highest points the court history adds (ALCOHOL, DRUGS, VIOLENCE), and for scales 2..5
    // the largest Truthfulness correction.
    const int court[6] = {0, 0, 6, 0, 7, 5 + 6 + 7 + 7 * 6 + 4 + 10 + 8};
    for (int s = 1; s <= 5; ++s) {
        int top = court[s];
        for (int item : t.ScaleItems[s])
            top += bestPoints(item);
        if (s > 1)
            top += *std::max_element(t.TruthAdjust[s].begin() + 1, t.TruthAdjust[s].end());
        for (int race = 1; race <= 3; ++race)
            for (int sex = 1; sex <= 2; ++sex)
                EXPECT_EQ(t.NormLength(s, race, sex), std::min(95, top))
                    << "scale " << s << " race " << race << " sex " << sex;
        // Truthfulness may be the same for both sexes.
        EXPECT_TRUE(s == 1 || t.Norm[s][1][1] != t.Norm[s][1][2]) << "scale " << s;
    }
    // Stress coping raw scores run from 20*60/80 = 15 to 80*60/20 = 240, plus the correction.
    const auto& adjust = t.TruthAdjust[6];
    EXPECT_LT(t.StressBound[1], 15);
    EXPECT_GE(t.StressBound[52], 240 + *std::max_element(adjust.begin() + 1, adjust.end()));
    for (int sex = 1; sex <= 2; ++sex)
        for (int race = 1; race <= 3; ++race)
            EXPECT_TRUE(
                std::is_sorted(t.StressNorm[sex][race].begin() + 1, t.StressNorm[sex][race].end()))
                << "sex " << sex << " race " << race;
}

TEST_F(ScoringKey, SignificantAndFloorItemsBelongToTheirScales)
{
    for (const auto& list : t.ScaleItems)
        EXPECT_EQ(std::set<int>(list.begin(), list.end()).size(), list.size());
    EXPECT_GE(t.ScaleItems[5].size(), 20u);
    // {floor item?, first, last, scale}; a floor item's answer earns at least 2 points.
    const int groups[][4] = {{0, 1, 9, 2},  {0, 10, 19, 4}, {0, 20, 28, 5}, {0, 29, 40, 3},
                             {1, 1, 12, 2}, {1, 13, 24, 3}, {1, 25, 37, 4}, {1, 38, 57, 5}};
    for (const auto& [isFloor, first, last, scale] : groups)
        for (int i = first; i <= last; ++i) {
            const int item = isFloor ? t.FloorItemNo[i] : t.SigItemNo[i];
            const auto& list = t.ScaleItems[scale];
            EXPECT_NE(std::find(list.begin(), list.end(), item), list.end())
                << "item " << item << " not on scale " << scale;
            EXPECT_GE(bestPoints(item), 1 + isFloor) << "item " << item;
        }
}

TEST_F(ScoringKey, TruthCorrectionsAreSmallAndGrowWithTheBandUpToTheLastField)
{
    for (int s = 2; s <= 6; ++s) {
        const auto& a = t.TruthAdjust[s];
        EXPECT_TRUE(std::is_sorted(a.begin() + 1, a.end())) << "scale " << s;
        EXPECT_GE(a[1], 0);
        EXPECT_LE(a[9], 5);
    }
    // Nothing follows the corrections of scale 6.
    QStringList last;
    for (int band = 1; band <= 9; ++band)
        last << QString::number(t.TruthAdjust[6][band]);
    EXPECT_EQ(crlfLines("KVXB2.TXT").last(), last.join(','));
}

TEST_F(ScoringKey, ReportTextsMatchTheItems)
{
    EXPECT_EQ(QStringList(t.RangeName.begin() + 1, t.RangeName.end()),
              QStringList({"LOW", "MEDIUM", "PROBLEM", "MAXIMUM"}));
    for (int k = 1; k <= 50; ++k) {
        EXPECT_FALSE(t.SigItemText[k].trimmed().isEmpty()) << "text " << k;
        EXPECT_LE(t.SigItemText[k].size(), k <= 40 ? 36 : 72) << str(t.SigItemText[k]);
    }
    for (int k = 1; k <= 40; ++k) {
        const QString& l = t.InterviewText[k];
        EXPECT_TRUE(l.startsWith(QStringLiteral("%1. ").arg(146 + (k - 1) / 4))) << str(l);
        EXPECT_LE(l.size(), 36) << str(l);
    }
    EXPECT_EQ(crlfLines("KVXRPT.TXT").size(), 95); // five lines of fields, then 90 texts
}

TEST(ParagraphFiles, EveryKeyHasAParagraphThatFitsTheReport)
{
    const QStringList keys = {"LOW",     "MEDIUM",  "MEDIUM-LOW",  "MEDIUM-HIGH",
                              "PROBLEM", "MAXIMUM", "MAXIMUM-LOW", "MAXIMUM-HIGH"};
    for (const char* f :
         {"KVXVA.TXT", "KVXAL.TXT", "KVXCL.TXT", "KVXDG.TXT", "KVXVI.TXT", "KVXSC.TXT"}) {
        const QStringList lines = crlfLines(f);
        for (const QString& key : keys) {
            SCOPED_TRACE(testing::Message() << f << " " << str(key));
            const qsizetype at = lines.indexOf(key);
            const qsizetype end = lines.indexOf("END", at + 1);
            ASSERT_GE(at, 0);
            ASSERT_GT(end, at);
            EXPECT_TRUE(end - at - 1 >= 3 && end - at - 1 <= 8) << end - at - 1 << " lines";
            for (const QString& l : lines.mid(at + 1, end - at - 1)) {
                // Plain ASCII, printed from column 9 of an 80-column line.
                EXPECT_TRUE(QRegularExpression("^[ -~]{1,72}$").match(l).hasMatch()) << str(l);
                EXPECT_FALSE(l.trimmed().isEmpty() || keys.contains(l)) << str(l);
            }
        }
    }
    const QStringList inval = crlfLines("INVAL.TXT");
    const qsizetype end = inval.indexOf("END");
    ASSERT_GT(end, 2);
    for (const QString& l : inval.first(end))
        EXPECT_LE(l.size(), 73) << str(l); // printed from column 8
}

TEST(Branding, BothBrandingsAreCompleteDemonstrations)
{
    const Branding a = LoadBranding(dataDir(), QString()), b = LoadBranding(dataDir(), "b");
    for (const Branding* br : {&a, &b}) {
        EXPECT_FALSE(br->VendorName.isEmpty() || br->ReportLine2.isEmpty());
        EXPECT_LE(std::max(br->ReportLine1.size(), br->ReportLine2.size()), 66);
        EXPECT_TRUE(br->ReportLine1.contains("DEMONSTRATION"));
        EXPECT_TRUE(br->VendorWeb.contains("example."));
        EXPECT_TRUE(br->VendorEmail.contains("@example."));
        EXPECT_TRUE(br->Phone.contains("555-01"));
        EXPECT_EQ(br->Rights, "Synthetic items, norms and texts. Not a validated instrument.");
        // Roughly 3:2, as the about box and main menu expect.
        const auto m = QRegularExpression("viewBox=\"0 0 (\\d+) (\\d+)\"")
                           .match(QString::fromUtf8(readBytes(br->LogoPath)));
        ASSERT_TRUE(m.hasMatch()) << str(br->LogoPath);
        EXPECT_NEAR(m.captured(1).toDouble() / m.captured(2).toDouble(), 1.5, 0.1);
    }
    EXPECT_NE(a.VendorName, b.VendorName);
    EXPECT_NE(a.LogoPath, b.LogoPath);
}

TEST(GeneratedFiles, MatchTheirSource)
{
    QTemporaryDir tmp;
    QProcess p;
    p.start("python3",
            {qEnvironmentVariable("KVX_SOURCE_DIR") + "/scripts/make-install-files", tmp.path()});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    for (const char* f : {"KVXB2.TXT", "KVXRPT.TXT", "sql/10-english.sql", "sql/20-spanish.sql"})
        EXPECT_EQ(readBytes(tmp.filePath(f)), readBytes(dataDir() + '/' + f))
            << f << " differs from what scripts/make-install-files makes of its source";
}

} // namespace
