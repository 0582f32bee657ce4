#include "ScoringFixture.h"
#include "common/TestSupport.h"
#include "scoring/ScoreExport.h"

#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

TEST(ScoreExport, QuotesOnlyWhatNeedsIt)
{
    for (const auto& [in, out] : {std::pair{"Doe Jane", "Doe Jane"},
                                  {"Doe, Jane", "\"Doe, Jane\""},
                                  {"Jane \"JD\" Doe", "\"Jane \"\"JD\"\" Doe\""},
                                  {"two\nlines", "\"two\nlines\""},
                                  {" lead", "\" lead\""},
                                  {"", ""}})
        EXPECT_EQ(CsvField(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}

TEST(ScoreExport, NamesOnlyWhenAskedAndNeverADeletedOne)
{
    Session s;
    ClientFixture a;
    a.name = "O'Neil, \"Pat\"";
    ClientFixture b;
    b.name = "QXZRT BWLMK";
    s.NumClients = 2;
    s.client(1) = a.record();
    s.client(2) = b.record();
    ASSERT_TRUE(s.client(2).setText(Field::NameDeleted, u"1"));
    const ScoringTables t = standardTables();

    const QStringList plain = ExportScoresCsv(s, t, false).split(QStringLiteral("\r\n"));
    ASSERT_EQ(plain.size(), 4); // header, two rows, the empty rest after the last CR LF
    EXPECT_TRUE(plain[0].startsWith("record,test_date,age,gender,race,marital,education,"
                                    "validity,truthfulness_raw,truthfulness_percentile,"));
    EXPECT_FALSE(plain.join(u'\n').contains("Neil"));
    EXPECT_TRUE(plain[1].startsWith("1,03/05/2024,34,1,1,2,4,valid,")) << str(plain[1]);

    const QStringList named = ExportScoresCsv(s, t, true).split(QStringLiteral("\r\n"));
    EXPECT_TRUE(named[0].startsWith("record,name,test_date,"));
    EXPECT_TRUE(named[1].startsWith("1,\"O'Neil, \"\"Pat\"\"\",03/05/2024,")) << str(named[1]);
    EXPECT_TRUE(named[2].startsWith("2,,03/05/2024,")) << str(named[2]);
    // The scores are those of the scorer, in scale order.
    const ClientScores sc = score(a, t);
    QStringList tail;
    for (int k = 1; k <= kScaleCount; ++k)
        tail << QString::number(sc.RawScore[k]) << QString::number(sc.Percentile[k])
             << t.RangeName[RiskRange(sc.Percentile[k])];
    EXPECT_TRUE(plain[1].endsWith(u',' + tail.join(u','))) << str(plain[1]);
}

} // namespace
