#include "DataFiles.h"
#include "install/Settings.h"
#include "store/DataFile.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace kvx;
using namespace kvx::test;

namespace {

// Runs scripts/make-demo-install; the exit code (-1: did not finish) and what it wrote to stderr.
std::pair<int, QString> makeDemoInstall(const QString& dir)
{
    QProcess p;
    p.start(qEnvironmentVariable("KVX_SOURCE_DIR") + "/scripts/make-demo-install",
            {"--no-recordings", dir});
    const bool done = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
    return {done ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
}

class DemoInstall : public testing::Test
{
protected:
    void SetUp() override
    {
        const auto [code, err] = makeDemoInstall(dir_);
        ASSERT_EQ(code, 0) << str(err);
    }
    QString file(const QString& name) const { return dir_ + '/' + name; }

    QTemporaryDir tmp_;
    const QString dir_ = tmp_.filePath("demo");
};

TEST_F(DemoInstall, HoldsTheInstallationFilesAndSettingsAndRunsAgainOverThem)
{
    for (const char* f :
         {"KVXB2.TXT", "KVXRPT.TXT", "KVXVA.TXT", "KVXAL.TXT", "KVXCL.TXT", "KVXDG.TXT",
          "KVXVI.TXT", "KVXSC.TXT", "INVAL.TXT", "branding.ini", "logo-default.svg", "logo-b.svg"})
        EXPECT_EQ(readBytes(file(f)), readBytes(dataDir() + '/' + f)) << f;
    EXPECT_EQ(readBytes(file("KVX_32.db")).left(16), QByteArray("SQLite format 3\0", 16));
    const Settings ini(dir_);
    EXPECT_EQ(ini.GetFilePathSetting(), file("datadisk"));
    EXPECT_EQ(ini.GetINISndPath(), dir_);
    EXPECT_EQ(readBytes(file("datadisk/TID")), QByteArray("KVX\r\n"));

    ASSERT_TRUE(writeBytes(file("REPORT.PRN"), "old report"));
    const auto [code, err] = makeDemoInstall(dir_);
    ASSERT_EQ(code, 0) << str(err);
    EXPECT_FALSE(QFile::exists(file("REPORT.PRN"))); // recreated
    EXPECT_TRUE(QFile::exists(file("datadisk/DATA401.KVX")));
}

TEST_F(DemoInstall, DataDiskHoldsTheDemonstrationClients)
{
    EXPECT_EQ(readBytes(file("datadisk/DATA401.KVX")).size(), 12 * ClientRecord::Size);
    Session s;
    SetDataPath(s, file("datadisk"));
    ASSERT_TRUE(ReadAllClients(s).ok());
    ASSERT_EQ(s.NumClients, 12);

    // {record, name as stored (Windows-1252), gender, race, edit count, deleted, age, born}
    const std::tuple<int, QByteArray, int, int, int, int, QString, QString> clients[] = {
        {3, "Jos\351 Pe\361a", 1, 3, 0, 0, "29", "07/04/1994"},
        {10, "Vdydo Zlsvru", 2, 1, 0, 1, "36", "08/09/1987"}, // "Sarah Wilson" scrambled
        {11, "Michael Grant", 1, 1, 3, 0, "44", "10/10/1979"},
        {12, "Ren\351e Dubois", 2, 6, 0, 0, "N", "N"},
    };
    for (const auto& [n, name, gender, race, edits, deleted, age, born] : clients) {
        SCOPED_TRACE(testing::Message() << "client " << n);
        const ClientRecord& r = s.Clients[n];
        EXPECT_EQ(r.raw(Field::Name), name.leftJustified(25));
        EXPECT_EQ(r.code(Field::Gender), gender);
        EXPECT_EQ(r.code(Field::Race), race);
        EXPECT_EQ(r.code(Field::EditCount), edits);
        EXPECT_EQ(r.code(Field::NameDeleted), deleted);
        EXPECT_EQ(r.trimmed(Field::Age), age);
        EXPECT_EQ(r.text(Field::DateOfBirth), born.leftJustified(10));
    }

    // Every record is complete: test date, court values and one valid code per item.
    const QRegularExpression date("^\\d\\d/\\d\\d/\\d{4}$"), courtValue("^(N |\\d\\d|\\d )$");
    for (int n = 1; n <= s.NumClients; ++n) {
        SCOPED_TRACE(testing::Message() << "client " << n);
        const ClientRecord& r = s.Clients[n];
        EXPECT_TRUE(date.match(r.text(Field::TestDate)).hasMatch());
        for (int item = 1; item <= kCourtItemCount; ++item)
            EXPECT_TRUE(courtValue.match(r.court(item)).hasMatch()) << "court item " << item;
        int answered = 0;
        for (int item = 1; item <= kItemCount; ++item) {
            const int choices = item <= 94 || (item >= 136 && item <= 145) ? 2 : 4;
            const char c = r.answerChar(item);
            EXPECT_TRUE(c >= '0' && c <= '0' + choices) << "item " << item;
            answered += c != '0';
        }
        EXPECT_GE(answered, kItemCount - 5);
    }
}

TEST(DemoInstallRefusal, LeavesOtherFoldersAlone)
{
    QTemporaryDir tmp;
    const QString stranger = tmp.filePath("papers"), plain = tmp.filePath("plainfile");
    ASSERT_TRUE(QDir().mkpath(stranger) && writeBytes(stranger + "/letter.txt", "keep me"));
    ASSERT_TRUE(writeBytes(plain, "keep me too"));
    for (const auto& [dir, why] : {std::pair{stranger, "not empty and holds no kvx.ini"},
                                   std::pair{plain, "is not a folder"}}) {
        const auto [code, err] = makeDemoInstall(dir);
        EXPECT_NE(code, 0) << why;
        EXPECT_TRUE(err.contains(why)) << str(err);
    }
    EXPECT_EQ(QDir(stranger).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{"letter.txt"});
    EXPECT_EQ(readBytes(stranger + "/letter.txt"), QByteArray("keep me"));
    EXPECT_EQ(readBytes(plain), QByteArray("keep me too"));
}

} // namespace
