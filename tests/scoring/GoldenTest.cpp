// Whole reports compared byte for byte with reviewed copies under golden/.
// To rewrite the copies after a deliberate layout change, run the test with
// KVX_UPDATE_GOLDEN=1 and review the differences before committing them.
#include "scoring/ScoreAndReport.h"
#include "scoring/ScoringHelpers.h"

#include "common/TestSupport.h"
#include "store/DataFile.h"

#include <QDir>
#include <QTemporaryDir>

using namespace kvx;
using namespace kvx::test;

namespace {

// A varied set of answers: a few True answers on every scale, mixed frequencies, two
// treatment needs and most interview items answered.
QByteArray variedAnswers()
{
    QByteArray a = neutralAnswers();
    for (int i : {3, 8, 14, 22, 27, 30, 44, 47, 63, 69, 70, 84, 88})
        a[i - 1] = '1';
    for (int i = 95; i <= 134; ++i)
        a[i - 1] = static_cast<char>('1' + (i * 7) % 4);
    a[137 - 1] = '1';
    a[142 - 1] = '1';
    const char interview[] = "2413032140";
    for (int k = 0; k < 10; ++k)
        a[146 - 1 + k] = interview[k];
    return a;
}

ClientFixture smith()
{
    ClientFixture c;
    c.name = QStringLiteral("Smith, John Q.");
    c.age = QStringLiteral("42");
    c.dob = QStringLiteral("11/23/1981");
    c.gender = 1;
    c.race = 2;
    c.marital = 3;
    c.education = 5;
    c.testDate = QStringLiteral("02/14/2024");
    const char* court[] = {"",  "19", "3", "1", "2", "N", "-1", "0",
                           "4", "2",  "0", "1", "2", "1", "N",  "0"};
    for (int j = 1; j <= 15; ++j)
        c.court[j] = QString::fromLatin1(court[j]);
    c.answers = variedAnswers();
    return c;
}

struct Golden
{
    const char* file;
    ClientFixture client;
    bool summaryPage;
    const char* brandCode;
    int linesPerKey;
};

std::vector<Golden> goldens()
{
    ClientFixture invalid = smith();
    invalid.name = QStringLiteral("Roe, Richard");
    invalid.age = QStringLiteral("N");
    invalid.answers = answersWithRange(1, 92, '1', variedAnswers());
    ClientFixture longer = smith();
    longer.name = QStringLiteral("Garc\u00eda, Mar\u00eda");
    longer.gender = 2;
    longer.race = 3;
    longer.answers = answersWithRange(41, 45, '0', variedAnswers());
    return {
        {"normal.PRN", smith(), false, "", 3},
        {"invalid.PRN", invalid, false, "", 3},
        {"summary.PRN", smith(), true, "b", 3},
        {"tenpages.PRN", longer, false, "", 100},
    };
}

TEST(GoldenReport, MatchesTheReviewedCopy)
{
    const QDir golden(qEnvironmentVariable("KVX_SOURCE_DIR") +
                      QStringLiteral("/tests/scoring/golden"));
    const bool update = qEnvironmentVariable("KVX_UPDATE_GOLDEN") == QLatin1String("1");
    for (const Golden& g : goldens()) {
        SCOPED_TRACE(g.file);
        QTemporaryDir program;
        QTemporaryDir data;
        writeInstallation(program.path(), KeyFixture::standard(), TextFixture::standard(),
                          g.linesPerKey);
        Session s;
        s.ProgramDir = program.path();
        s.BrandCode = QString::fromLatin1(g.brandCode);
        s.SummaryPage = g.summaryPage;
        SetDataPath(s, data.path());
        s.client(1) = smith().record();
        s.client(2) = g.client.record();
        ASSERT_TRUE(WriteClient(s, 1));
        ASSERT_TRUE(WriteClient(s, 2));
        ASSERT_TRUE(ReadAllClients(s));
        s.CurClient = 2;
        const Status st = ScoreAndReport(s);
        ASSERT_TRUE(st) << st.error().message.toStdString();
        const QByteArray report =
            readBytes(QDir(program.path()).filePath(QStringLiteral("REPORT.PRN")));
        const QString path = golden.filePath(QString::fromLatin1(g.file));
        if (update) {
            ASSERT_TRUE(writeBytes(path, report)) << path.toStdString();
            continue;
        }
        const QByteArray expected = readBytes(path);
        ASSERT_FALSE(expected.isEmpty()) << "missing " << path.toStdString();
        EXPECT_TRUE(report == expected) << "differs from " << path.toStdString();
    }
}

} // namespace
