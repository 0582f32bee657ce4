// Whole reports compared byte for byte with reviewed copies under golden/. After a deliberate
// layout change, run with KVX_UPDATE_GOLDEN=1 and review the differences before committing.
#include "scoring/ScoreAndReport.h"
#include "scoring/ScoringFixture.h"

#include "common/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

// A few True answers on every scale, mixed frequencies, two treatment needs and most
// interview items answered.
QByteArray variedAnswers()
{
    QByteArray a = neutralAnswers();
    for (int i : {3, 8, 14, 22, 27, 30, 44, 47, 63, 69, 70, 84, 88, 137, 142})
        a[i - 1] = '1';
    for (int i = 95; i <= 134; ++i)
        a[i - 1] = static_cast<char>('1' + (i * 7) % 4);
    return a.replace(145, 10, "2413032140");
}

ClientFixture smith()
{
    ClientFixture c = clientWith(
        "1=19;2=3;3=1;4=2;5=N;6=-1;7=0;8=4;9=2;10=0;11=1;12=2;13=1;14=N;15=0", variedAnswers());
    c.name = "Smith, John Q.";
    c.age = "42";
    c.dob = "11/23/1981";
    c.race = 2;
    c.marital = 3;
    c.education = 5;
    c.testDate = "02/14/2024";
    return c;
}

TEST(GoldenReport, MatchesTheReviewedCopy)
{
    ClientFixture invalid = smith();
    invalid.name = "Roe, Richard";
    invalid.age = "N";
    invalid.answers = answered({{1, 92, '1'}}, variedAnswers());
    ClientFixture longer = smith(); // past page nine
    longer.name = "Garc\u00eda, Mar\u00eda";
    longer.gender = 2;
    longer.race = 3;
    longer.answers = answered({{41, 45, '0'}}, variedAnswers());
    // File, client, one-page summary, brand, paragraph lines a key.
    const std::tuple<QString, ClientFixture, bool, QString, int> goldens[]{
        {"normal.PRN", smith(), false, "", 3},
        {"invalid.PRN", invalid, false, "", 3},
        {"summary.PRN", smith(), true, "b", 3},
        {"tenpages.PRN", longer, false, "", 100}};
    const QDir golden(qEnvironmentVariable("KVX_SOURCE_DIR") + "/tests/scoring/golden");
    for (const auto& [file, client, summaryPage, brand, linesPerKey] : goldens) {
        SCOPED_TRACE(file.toStdString());
        QTemporaryDir program;
        writeInstallation(program.path(), linesPerKey);
        Session s;
        s.ProgramDir = program.path();
        s.BrandCode = brand;
        s.SummaryPage = summaryPage;
        s.client(2) = client.record();
        s.NumClients = s.CurClient = 2;
        const Status st = ScoreAndReport(s);
        ASSERT_TRUE(st) << st.error().message.toStdString();
        const QByteArray report = readBytes(QDir(program.path()).filePath("REPORT.PRN"));
        if (qEnvironmentVariable("KVX_UPDATE_GOLDEN") == "1") {
            ASSERT_TRUE(writeBytes(golden.filePath(file), report));
        }
        const QByteArray expected = readBytes(golden.filePath(file));
        ASSERT_FALSE(expected.isEmpty()) << "missing " << golden.filePath(file).toStdString();
        EXPECT_TRUE(report == expected) << "differs from " << golden.filePath(file).toStdString();
    }
}

} // namespace
