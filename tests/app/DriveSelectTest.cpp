#include "app/DriveSelect.h"
#include "DiskFixture.h"
#include "app/Settings.h"
#include "common/ScriptedPrompter.h"
#include "common/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>

#include <map>
#include <vector>

using namespace kvx;
using kvx::test::ReadOnlyFolder;
using kvx::test::ScriptedPrompter;
using kvx::test::str;
using kvx::test::writeBytes;
using A = Prompter::Answer;
using B = Prompter::Buttons;
using I = Prompter::Icon;

namespace {

const QString kAgain = QStringLiteral("Drive select unsuccessful, would you like to try again?");
const QString kNotKvx = QStringLiteral("This is not a Kavexa data disk.");
const QString kProtected = QStringLiteral(
    "Data disk write protected!\n\nSet the data disk to writable and replace in drive.");
const QString kReloadFailed =
    QStringLiteral("Reload of original data disk failed, aborting Program");

QString noInfo(const QString& drive)
{
    return QStringLiteral("No test information found on drive ") + drive +
           QStringLiteral(", would you like to try another drive?");
}

// Makes a data disk folder: identity line (none when null) and n client records.
void makeDisk(const QString& folder, const char* identity, int clients)
{
    ASSERT_TRUE(kvx::test::makeDataDisk(folder, identity, clients));
}

class DriveSelectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        makeDisk(disk("good"), "KVX\r\n", 3);
        makeDisk(disk("twelve"), "KVX", 12);
        makeDisk(disk("blanks"), " KVX \r\nsecond line\r\n", 2);
        makeDisk(disk("lower"), "kvx\r\n", 1);
        makeDisk(disk("foreign"), "ABC\r\n", 4);
        makeDisk(disk("empty"), nullptr, -1);
        makeDisk(disk("full"), "KVX\r\n", 52);
        makeDisk(disk("folderfile"), "KVX\r\n", -1);
        ASSERT_TRUE(QDir().mkpath(disk("folderfile") + QStringLiteral("/DATA401.KVX")));
        ASSERT_TRUE(QDir().mkpath(programDir()));
    }

    QString disk(const QString& name) const { return root.filePath(name); }
    QString disk(const char* name) const { return root.filePath(QLatin1String(name)); }
    QString programDir() const { return root.filePath(QStringLiteral("program")); }

    // Loads a disk as the one in use before a menu-mode selection.
    void loadOld(Session& s, const char* name)
    {
        ScriptedPrompter quiet;
        ASSERT_EQ(LoadDataDisk(s, disk(name), quiet).kind, LoadResult::Accepted);
        ASSERT_TRUE(quiet.shown.isEmpty());
    }

    QTemporaryDir root;
};

struct Shown
{
    QString text; // "@name" stands for the message naming disk name's folder
    B buttons;
    I icon;
    QString title;
};

struct Case
{
    const char* name;
    bool startup;
    const char* iniDrive; // FilePath written before, or null for no settings file
    const char* oldDisk;  // menu mode: the disk in use before
    std::vector<const char*> picks;
    std::vector<A> answers;
    std::vector<Shown> expected;
    DriveOutcome outcome;
    const char* finalDisk; // DataPath afterwards
    int clients;
    const char* iniAfter; // FilePath afterwards: a disk name, or "a:" for the default
};

const Shown again{kAgain, B::YesNo, I::None, {}};
const Shown notKvx{kNotKvx, B::Ok, I::Critical, QStringLiteral("Data Disk Error")};
const Shown noInfoA{noInfo(QStringLiteral("A:")), B::YesNo, I::None, {}};
Shown noInfoAt(const char* name)
{
    return {QStringLiteral("@") + QLatin1String(name), B::YesNo, I::None, {}};
}

TEST_F(DriveSelectTest, MessageSequences)
{
    const Case cases[] = {
        {"first start without settings, no disk in A:, then the drive screen",
         true,
         nullptr,
         nullptr,
         {"good"},
         {A::Yes, A::Yes},
         {noInfoA, again},
         DriveOutcome::Loaded,
         "good",
         3,
         "good"},
        {"first start, no to another drive ends",
         true,
         nullptr,
         nullptr,
         {},
         {A::No},
         {noInfoA},
         DriveOutcome::EndProgram,
         nullptr,
         0,
         "a:"},
        {"first start, no to trying again ends",
         true,
         nullptr,
         nullptr,
         {},
         {A::Yes, A::No},
         {noInfoA, again},
         DriveOutcome::EndProgram,
         nullptr,
         0,
         "a:"},
        {"start-up from the remembered drive shows nothing",
         true,
         "good",
         nullptr,
         {},
         {},
         {},
         DriveOutcome::Loaded,
         "good",
         3,
         "good"},
        {"identity with blanks is accepted",
         true,
         "blanks",
         nullptr,
         {},
         {},
         {},
         DriveOutcome::Loaded,
         "blanks",
         2,
         "blanks"},
        {"identity in lower case is refused",
         true,
         "lower",
         nullptr,
         {},
         {A::Ok, A::No},
         {notKvx, again},
         DriveOutcome::EndProgram,
         "lower",
         1,
         "lower"},
        {"wrong identity, then another drive",
         true,
         "foreign",
         nullptr,
         {"twelve"},
         {A::Ok, A::Yes},
         {notKvx, again},
         DriveOutcome::Loaded,
         "twelve",
         12,
         "twelve"},
        {"more than 51 records is a failed load",
         true,
         "full",
         nullptr,
         {"good"},
         {A::Ok, A::Yes},
         {{QStringLiteral("#full"), B::Ok, I::Critical, QStringLiteral("Data Disk Error")}, again},
         DriveOutcome::Loaded,
         "good",
         3,
         "good"},
        {"menu mode, wrong identity, no: old drive again",
         false,
         "good",
         "good",
         {"foreign"},
         {A::Ok, A::No},
         {notKvx, again},
         DriveOutcome::OldKept,
         "good",
         3,
         "good"},
        {"menu mode, empty drive, try another",
         false,
         "good",
         "good",
         {"empty", "twelve"},
         {A::Yes, A::Yes},
         {noInfoAt("empty"), again},
         DriveOutcome::Loaded,
         "twelve",
         12,
         "twelve"},
        {"menu mode, empty drive, no ends the program",
         false,
         "good",
         "good",
         {"empty"},
         {A::No},
         {noInfoAt("empty")},
         DriveOutcome::EndProgram,
         "empty",
         3,
         "good"},
        {"menu mode, missing folder, then give up",
         false,
         "good",
         "good",
         {"gone"},
         {A::Yes, A::No},
         {noInfoAt("gone"), again},
         DriveOutcome::OldKept,
         "good",
         3,
         "good"},
        {"menu mode, unexpected error keeps the old disk",
         false,
         "good",
         "good",
         {"folderfile"},
         {A::Ok},
         {{QStringLiteral("!folderfile"), B::Ok, I::None, {}}},
         DriveOutcome::Abandoned,
         "good",
         3,
         "good"},
        {"start-up, unexpected error with nothing loaded asks again",
         true,
         "folderfile",
         nullptr,
         {"good"},
         {A::Ok, A::Yes},
         {{QStringLiteral("!folderfile"), B::Ok, I::None, {}}, again},
         DriveOutcome::Loaded,
         "good",
         3,
         "good"},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(programDir() + QStringLiteral("/kvx.ini"));
        Settings settings(programDir());
        if (c.iniDrive) {
            ASSERT_TRUE(settings.SaveFilePathSetting(disk(QLatin1String(c.iniDrive))));
        }
        Session s;
        if (c.oldDisk)
            loadOld(s, c.oldDisk);

        ScriptedPrompter prompter;
        prompter.answers.assign(c.answers.begin(), c.answers.end());
        size_t pick = 0;
        auto picker = [&]() -> QString {
            if (pick >= c.picks.size()) {
                ADD_FAILURE() << "drive screen shown once too often";
                return disk(QStringLiteral("good"));
            }
            return disk(QLatin1String(c.picks[pick++]));
        };

        EXPECT_EQ(SelectDataDrive(s, settings, prompter, picker, c.startup), c.outcome);
        EXPECT_EQ(pick, c.picks.size()) << "drive screen shown " << pick << " times";
        EXPECT_TRUE(prompter.answers.empty()) << "unused answers";

        ASSERT_EQ(prompter.shown.size(), static_cast<qsizetype>(c.expected.size()));
        for (size_t i = 0; i < c.expected.size(); ++i) {
            const Shown& want = c.expected[i];
            const auto& got = prompter.shown[static_cast<qsizetype>(i)];
            QString text = want.text;
            if (text.startsWith(u'@')) {
                text = noInfo(disk(text.mid(1)));
            } else if (text.startsWith(u'#')) {
                const QString file = disk(text.mid(1)) + QStringLiteral("/DATA401.KVX");
                EXPECT_TRUE(got.text.contains(file)) << str(got.text);
                EXPECT_TRUE(got.text.contains(QStringLiteral("52"))) << str(got.text);
                text = got.text;
            } else if (text.startsWith(u'!')) {
                EXPECT_TRUE(got.text.startsWith(QStringLiteral("Error "))) << str(got.text);
                EXPECT_TRUE(got.text.contains(disk(text.mid(1)))) << str(got.text);
                text = got.text;
            }
            EXPECT_EQ(str(got.text), str(text)) << "message " << i;
            EXPECT_EQ(got.buttons, want.buttons) << "message " << i;
            EXPECT_EQ(got.icon, want.icon) << "message " << i;
            EXPECT_EQ(str(got.title), str(want.title)) << "message " << i;
        }

        if (c.finalDisk) {

            EXPECT_EQ(str(s.DataPath), str(disk(QLatin1String(c.finalDisk))));
        }
        EXPECT_EQ(s.NumClients, c.clients);
        if (c.clients > 0) {
            EXPECT_EQ(str(s.DataFile), str(s.DataPath + QStringLiteral("/DATA401.KVX")));
        }
        const QString iniAfter = QLatin1String(c.iniAfter) == QLatin1String("a:")
                                     ? QStringLiteral("a:")
                                     : disk(QLatin1String(c.iniAfter));
        EXPECT_EQ(str(Settings(programDir()).GetFilePathSetting()), str(iniAfter));
        // The write test leaves nothing behind.
        for (const char* name : {"good", "twelve", "blanks", "foreign"})
            EXPECT_FALSE(
                QFile::exists(disk(QLatin1String(name)) + QStringLiteral("/checkWriteTest")));
    }
}

TEST_F(DriveSelectTest, ReloadOfTheOldDiskFailingEndsTheProgram)
{
    Settings settings(programDir());
    ASSERT_TRUE(settings.SaveFilePathSetting(disk(QStringLiteral("good"))));
    Session s;
    loadOld(s, "good");
    ScriptedPrompter prompter;
    prompter.answers = {A::Ok, A::No, A::Ok, A::Ok};
    // While the operator is asked, the old disk is swapped for another one.
    prompter.onMessage = [&](const ScriptedPrompter::Shown& m) {
        if (m.text == kAgain) {
            ASSERT_TRUE(writeBytes(disk(QStringLiteral("good")) + QStringLiteral("/TID"), "XYZ"));
        }
    };
    EXPECT_EQ(SelectDataDrive(
                  s, settings, prompter, [&] { return disk(QStringLiteral("foreign")); }, false),
              DriveOutcome::EndProgram);
    QStringList texts;
    for (const auto& m : prompter.shown)
        texts << m.text;
    EXPECT_EQ(texts, (QStringList{kNotKvx, kAgain, kNotKvx, kReloadFailed}));
    EXPECT_EQ(prompter.shown.back().buttons, B::Ok);
    EXPECT_EQ(prompter.shown.back().icon, I::None);
}

TEST_F(DriveSelectTest, WriteProtectedDisk)
{
    for (const A answer : {A::Ok, A::Cancel}) {
        SCOPED_TRACE(answer == A::Ok ? "OK after the protection is taken off" : "Cancel");
        ReadOnlyFolder ro;
        ASSERT_TRUE(ro.valid());
        makeDisk(ro.path(), "KVX\r\n", 5);
        ASSERT_TRUE(ro.makeReadOnly());

        Settings settings(programDir());
        ASSERT_TRUE(settings.SaveFilePathSetting(disk(QStringLiteral("good"))));
        Session s;
        loadOld(s, "good");
        ScriptedPrompter prompter;
        prompter.answers = {answer};
        prompter.onMessage = [&](const ScriptedPrompter::Shown&) {
            if (answer == A::Ok) {
                ASSERT_TRUE(ro.makeWritable());
            }
        };
        const DriveOutcome outcome = SelectDataDrive(
            s, settings, prompter, [&] { return ro.path(); }, false);

        ASSERT_EQ(prompter.shown.size(), 1);
        EXPECT_EQ(str(prompter.shown[0].text), str(kProtected));
        EXPECT_EQ(prompter.shown[0].buttons, B::OkCancel);
        EXPECT_EQ(prompter.shown[0].icon, I::Critical);
        EXPECT_EQ(str(prompter.shown[0].title), "Data Disk Error");
        // Either way the protected disk's clients are in use; only a full load is remembered.
        EXPECT_EQ(str(s.DataPath), str(ro.path()));
        EXPECT_EQ(s.NumClients, 5);
        EXPECT_EQ(outcome, answer == A::Ok ? DriveOutcome::Loaded : DriveOutcome::Abandoned);
        EXPECT_EQ(str(Settings(programDir()).GetFilePathSetting()),
                  str(answer == A::Ok ? ro.path() : disk(QStringLiteral("good"))));
        EXPECT_FALSE(QFile::exists(ro.path() + QStringLiteral("/checkWriteTest")));
    }
}

TEST(DriveText, IdentityLineAndDriveNames)
{
    const std::pair<const char*, bool> identities[] = {
        {"KVX", true},   {" KVX ", true}, {"   KVX", true}, {"kvx", false},   {"Kvx", false},
        {"KVX2", false}, {"K VX", false}, {"", false},      {"\tKVX", false},
    };
    for (const auto& [line, ok] : identities)
        EXPECT_EQ(isDataDiskIdentity(QLatin1String(line)), ok) << line;

    const std::pair<const char*, const char*> shown[] = {
        {"a:", "A:"}, {"e:\\", "E:\\"}, {"/media/usb", "/media/usb"}, {"/mnt/Data", "/mnt/Data"}};
    for (const auto& [drive, text] : shown)
        EXPECT_EQ(str(driveForMessage(QLatin1String(drive))), text);

    const std::pair<const char*, const char*> normal[] = {
        {"/media/usb/", "/media/usb"}, {" /x ", "/x"}, {"/", "/"}, {"a:", "a:"}};
    for (const auto& [drive, text] : normal)
        EXPECT_EQ(str(normaliseDrive(QLatin1String(drive))), text);
}

} // namespace
