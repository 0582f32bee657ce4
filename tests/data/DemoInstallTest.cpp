#include "DataFiles.h"
#include "app/Settings.h"
#include "store/DataFile.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace kvx;
using namespace kvx::test;

namespace {

struct ScriptRun
{
    int exitCode;
    QString err;
};

ScriptRun makeDemoInstall(const QString& dir)
{
    QProcess p;
    p.start(qEnvironmentVariable("KVX_SOURCE_DIR") + QStringLiteral("/scripts/make-demo-install"),
            {QStringLiteral("--no-recordings"), dir});
    if (!p.waitForFinished(120000))
        return {-1, QStringLiteral("did not finish")};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardError())};
}

// Name deletion as the data disk stores it: blanks stay, even codes +7, odd codes +3.
QByteArray scrambled(const QString& name)
{
    QByteArray bytes;
    EXPECT_TRUE(cp1252::encode(name.leftJustified(25), &bytes));
    for (char& c : bytes) {
        const int v = static_cast<unsigned char>(c);
        if (v != ' ')
            c = static_cast<char>(v % 2 == 0 ? v + 7 : v + 3);
    }
    return bytes;
}

class DemoInstall : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp_.isValid());
        dir_ = tmp_.filePath(QStringLiteral("demo"));
        const ScriptRun r = makeDemoInstall(dir_);
        ASSERT_EQ(r.exitCode, 0) << str(r.err);
    }
    QString file(const QString& name) const { return dir_ + u'/' + name; }

    QTemporaryDir tmp_;
    QString dir_;
};

TEST_F(DemoInstall, HoldsTheInstallationFilesAndSettings)
{
    const char* copied[] = {"KVXB2.TXT", "KVXRPT.TXT",   "KVXVA.TXT",        "KVXAL.TXT",
                            "KVXCL.TXT", "KVXDG.TXT",    "KVXVI.TXT",        "KVXSC.TXT",
                            "INVAL.TXT", "branding.ini", "logo-default.svg", "logo-b.svg"};
    for (const char* f : copied) {
        EXPECT_EQ(readBytes(file(QLatin1String(f))), readBytes(sourceData(QLatin1String(f)))) << f;
    }
    EXPECT_EQ(readBytes(file(QStringLiteral("KVX_32.db"))).left(16),
              QByteArray("SQLite format 3\0", 16));

    const Settings ini(dir_);
    EXPECT_EQ(ini.GetFilePathSetting(), file(QStringLiteral("datadisk")));
    EXPECT_EQ(ini.GetINISndPath(), dir_);
    EXPECT_EQ(readBytes(file(QStringLiteral("datadisk/TID"))), QByteArray("KVX\r\n"));
}

TEST_F(DemoInstall, DataDiskHoldsTheDemonstrationClients)
{
    const QByteArray bytes = readBytes(file(QStringLiteral("datadisk/DATA401.KVX")));
    ASSERT_EQ(bytes.size(), 12 * ClientRecord::Size);

    Session s;
    SetDataPath(s, file(QStringLiteral("datadisk")));
    ASSERT_TRUE(ReadAllClients(s).ok());
    ASSERT_EQ(s.NumClients, 12);

    const struct
    {
        int n;
        QString name; // as listed; empty for the deleted one
        int gender, race, edits, deleted;
        QString age, born;
    } clients[] = {
        {1, QStringLiteral("Robert Miller"), 1, 1, 0, 0, QStringLiteral("34"),
         QStringLiteral("05/12/1990")},
        {3, QStringLiteral("Jos\u00e9 Pe\u00f1a"), 1, 3, 0, 0, QStringLiteral("29"),
         QStringLiteral("07/04/1994")},
        {6, QStringLiteral("David Chen"), 1, 4, 0, 0, QStringLiteral("45"),
         QStringLiteral("03/03/1978")},
        {10, QString(), 2, 1, 0, 1, QStringLiteral("36"), QStringLiteral("08/09/1987")},
        {11, QStringLiteral("Michael Grant"), 1, 1, 3, 0, QStringLiteral("44"),
         QStringLiteral("10/10/1979")},
        {12, QStringLiteral("Ren\u00e9e Dubois"), 2, 6, 0, 0, QStringLiteral("N"),
         QStringLiteral("N")},
    };
    for (const auto& c : clients) {
        SCOPED_TRACE(testing::Message() << "client " << c.n);
        const ClientRecord& r = s.Clients[c.n];
        if (c.deleted) {
            EXPECT_EQ(r.raw(Field::Name), scrambled(QStringLiteral("Sarah Wilson")));
        } else {
            EXPECT_EQ(r.trimmed(Field::Name), c.name);
        }
        EXPECT_EQ(r.code(Field::Gender), c.gender);
        EXPECT_EQ(r.code(Field::Race), c.race);
        EXPECT_EQ(r.code(Field::EditCount), c.edits);
        EXPECT_EQ(r.code(Field::NameDeleted), c.deleted);
        EXPECT_EQ(r.trimmed(Field::Age), c.age);
        EXPECT_EQ(r.text(Field::DateOfBirth), c.born.leftJustified(10));
    }

    // Every record is complete: dates, court values and one valid code per item.
    for (int n = 1; n <= s.NumClients; ++n) {
        SCOPED_TRACE(testing::Message() << "client " << n);
        const ClientRecord& r = s.Clients[n];
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d/\\d\\d/\\d{4}$"))
                        .match(r.text(Field::TestDate))
                        .hasMatch());
        for (int item = 1; item <= kCourtItemCount; ++item) {
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^(N |\\d\\d|\\d )$"))
                            .match(r.court(item))
                            .hasMatch())
                << "court item " << item << " '" << str(r.court(item)) << "'";
        }
        int answered = 0;
        for (int item = 1; item <= kItemCount; ++item) {
            const int choices = item <= 94 ? 2 : item <= 135 ? 4 : item <= 145 ? 2 : 4;
            const char c = r.answerChar(item);
            EXPECT_TRUE(c >= '0' && c <= '0' + choices) << "item " << item;
            answered += c != '0';
        }
        EXPECT_GE(answered, kItemCount - 5);
    }

    // The program's own list shows them.
    const ToolRun list = runKvxtool(
        {QStringLiteral("list"), QStringLiteral("--data-dir"), file(QStringLiteral("datadisk"))});
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    EXPECT_TRUE(list.out.startsWith("12\n"));
    EXPECT_TRUE(QString::fromUtf8(list.out).contains(QStringLiteral("3-Jos\u00e9 Pe\u00f1a")));
}

TEST_F(DemoInstall, RunsAgainOverItsOwnInstallation)
{
    ASSERT_TRUE(writeBytes(file(QStringLiteral("REPORT.PRN")), "old report"));
    const ScriptRun again = makeDemoInstall(dir_);
    ASSERT_EQ(again.exitCode, 0) << str(again.err);
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("REPORT.PRN")))); // recreated
    EXPECT_TRUE(QFile::exists(file(QStringLiteral("datadisk/DATA401.KVX"))));
}

TEST(DemoInstallRefusal, LeavesOtherFoldersAlone)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString stranger = tmp.filePath(QStringLiteral("papers"));
    ASSERT_TRUE(QDir().mkpath(stranger));
    ASSERT_TRUE(writeBytes(stranger + QStringLiteral("/letter.txt"), "keep me"));
    const QString file = tmp.filePath(QStringLiteral("plainfile"));
    ASSERT_TRUE(writeBytes(file, "keep me too"));

    const struct
    {
        QString dir;
        const char* why;
    } cases[] = {
        {stranger, "not empty and holds no kvx.ini"},
        {file, "is not a folder"},
    };
    for (const auto& c : cases) {
        const ScriptRun r = makeDemoInstall(c.dir);
        EXPECT_NE(r.exitCode, 0) << c.why;
        EXPECT_TRUE(r.err.contains(QLatin1String(c.why))) << str(r.err);
    }
    EXPECT_EQ(readBytes(stranger + QStringLiteral("/letter.txt")), QByteArray("keep me"));
    EXPECT_EQ(QDir(stranger).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 1);
    EXPECT_EQ(readBytes(file), QByteArray("keep me too"));
}

} // namespace
