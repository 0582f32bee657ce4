#include "install/ProgramFolder.h"
#include "common/TestSupport.h"

#include <QDateTime>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;

namespace {

// A template and the places around it, all in one temporary folder.
struct Places
{
    QTemporaryDir root;
    QString path(const QString& rel) const { return root.filePath(rel); }
    void file(const QString& rel, const QByteArray& bytes) const
    {
        QDir().mkpath(QFileInfo(path(rel)).absolutePath());
        ASSERT_TRUE(writeBytes(path(rel), bytes));
    }
    void installation(const QString& dir) const
    {
        file(dir + "/KVX_32.db", "db");
        file(dir + "/KVXB2.TXT", "key");
    }
    ProgramFolderPlaces places() const
    {
        return {QString(), QString(), path("bin"), path("user/kvx"), path("share/kvx")};
    }
    static void age(const QString& p, int seconds)
    {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(seconds),
                                  QFileDevice::FileModificationTime));
    }
};

TEST(ProgramFolder, IsFoundInOrder)
{
    Places p;
    QDir().mkpath(p.path("opt"));
    QDir().mkpath(p.path("env"));
    p.installation("share/kvx");
    QDir().mkpath(p.path("bin"));
    struct Case
    {
        const char* option;
        const char* env;
        bool portable;
        const char* expected;
    };
    for (const Case& c : {Case{"opt", "env", true, "opt"}, Case{"", "env", true, "env"},
                          Case{"", "", true, "bin"}, Case{"", "", false, "user/kvx"}}) {
        QFile::remove(p.path("bin/KVX_32.db"));
        if (c.portable)
            p.installation("bin");
        ProgramFolderPlaces places = p.places();
        places.option = *c.option ? p.path(c.option) : QString();
        places.homeEnv = *c.env ? p.path(c.env) : QString();
        const Result<QString> got = LocateProgramFolder(places);
        ASSERT_TRUE(got) << got.error().message.toStdString();
        EXPECT_EQ(*got, QDir(p.path(c.expected)).absolutePath()) << c.expected;
    }
}

TEST(ProgramFolder, WithoutTemplateOrPortableCopyIsAnError)
{
    Places p;
    QDir().mkpath(p.path("bin"));
    const Result<QString> got = LocateProgramFolder(p.places());
    ASSERT_FALSE(got);
    EXPECT_TRUE(got.error().message.contains("no installation found"));
    EXPECT_FALSE(QFileInfo::exists(p.path("user/kvx")));
}

TEST(ProgramFolder, FirstRunCopiesTheTemplateAndFindsItsRecordings)
{
    Places p;
    p.installation("share/kvx");
    p.file("share/kvx/KVXTest/sound/English/Inst0.wav", "RIFF");
    ASSERT_TRUE(LocateProgramFolder(p.places()));
    EXPECT_EQ(readBytes(p.path("user/kvx/KVXB2.TXT")), "key");
    EXPECT_EQ(readBytes(p.path("user/kvx/KVXTest/sound/English/Inst0.wav")), "RIFF");
    EXPECT_TRUE(readBytes(p.path("user/kvx/kvx.ini"))
                    .contains("SndPath=" + QDir(p.path("user/kvx")).absolutePath().toUtf8()));
}

TEST(ProgramFolder, KeepsTheUsersFilesAndTakesOnlyChangedTemplateFiles)
{
    Places p;
    p.installation("share/kvx");
    p.file("share/kvx/KVXRPT.TXT", "text");
    // The user's folder exists already, with settings, a report and a database the program
    // has written to since it was copied.
    ASSERT_TRUE(LocateProgramFolder(p.places()));
    p.file("user/kvx/kvx.ini", "[Path]\r\nFilePath=/media/disk\r\n");
    p.file("user/kvx/REPORT.PRN", "report");
    p.file("user/kvx/KVX_32.db", "db with layout rows rewritten");
    p.file("share/kvx/kvx.ini", "template settings");
    p.file("share/kvx/REPORT.PRN", "template report");

    // Nothing in the template changed: nothing is replaced.
    ASSERT_TRUE(LocateProgramFolder(p.places()));
    EXPECT_EQ(readBytes(p.path("user/kvx/KVX_32.db")), "db with layout rows rewritten");
    EXPECT_EQ(readBytes(p.path("user/kvx/kvx.ini")), "[Path]\r\nFilePath=/media/disk\r\n");
    EXPECT_EQ(readBytes(p.path("user/kvx/REPORT.PRN")), "report");

    // An upgrade brings new norms, even though they are older than the user's files.
    p.file("share/kvx/KVXB2.TXT", "new norms");
    Places::age(p.path("share/kvx/KVXB2.TXT"), -3600);
    p.file("share/kvx/NEW.TXT", "added");
    ASSERT_TRUE(LocateProgramFolder(p.places()));
    EXPECT_EQ(readBytes(p.path("user/kvx/KVXB2.TXT")), "new norms");
    EXPECT_EQ(readBytes(p.path("user/kvx/NEW.TXT")), "added");
    EXPECT_EQ(readBytes(p.path("user/kvx/KVX_32.db")), "db with layout rows rewritten");
    EXPECT_EQ(readBytes(p.path("user/kvx/KVXRPT.TXT")), "text");
    EXPECT_EQ(readBytes(p.path("user/kvx/kvx.ini")), "[Path]\r\nFilePath=/media/disk\r\n");
    EXPECT_EQ(readBytes(p.path("user/kvx/REPORT.PRN")), "report");
}

TEST(ProgramFolder, AFolderMadeBeforeTheStampsTakesOnlyNewerFiles)
{
    Places p;
    p.installation("share/kvx");
    p.file("user/kvx/KVX_32.db", "own db");
    p.file("user/kvx/KVXB2.TXT", "old key");
    Places::age(p.path("user/kvx/KVXB2.TXT"), -7200);
    ASSERT_TRUE(LocateProgramFolder(p.places()));
    EXPECT_EQ(readBytes(p.path("user/kvx/KVX_32.db")), "own db");
    EXPECT_EQ(readBytes(p.path("user/kvx/KVXB2.TXT")), "key");
}

} // namespace
