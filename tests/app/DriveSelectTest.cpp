#include "app/DriveSelect.h"
#include "AppFixtures.h"
#include "install/Settings.h"

#include <gtest/gtest.h>

#include <map>

#include <sys/stat.h>

using namespace kvx;
using kvx::test::ScriptedPrompter;
using kvx::test::str;
using A = Prompter::Answer;
using B = Prompter::Buttons;
using I = Prompter::Icon;

namespace {

const QString kAgain = "Drive select unsuccessful, would you like to try again?";
const QString kNotKvx = "This is not a Kavexa data disk.";
const QString kTitle = "Data Disk Error";

QString noInfo(const QString& drive)
{
    return "No test information found on drive " + drive + ", would you like to try another drive?";
}

void expectShown(const ScriptedPrompter::Shown& got, const ScriptedPrompter::Shown& want)
{
    EXPECT_EQ(str(got.text), str(want.text));
    EXPECT_EQ(got.buttons, want.buttons) << str(got.text);
    EXPECT_EQ(got.icon, want.icon) << str(got.text);
    EXPECT_EQ(str(got.title), str(want.title)) << str(got.text);
}

class DriveSelectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        const std::tuple<const char*, const char*, int> disks[] = {
            {"good", "KVX\r\n", 3},  {"twelve", "KVX", 12}, {"blanks", " KVX \r\n2\r\n", 2},
            {"lower", "kvx\r\n", 1}, {"abc", "ABC\r\n", 4}, {"empty", nullptr, -1},
            {"full", "KVX\r\n", 52}, {"odd", "KVX", -1},    {"program", nullptr, -1},
        };
        for (const auto& [name, identity, clients] : disks) {
            ASSERT_TRUE(test::makeDataDisk(disk(name), identity, clients));
            clientsOn[name] = clients;
        }
        // A folder where the data file should be: an error with no special handling.
        ASSERT_TRUE(QDir().mkpath(disk("odd/DATA401.KVX")));
    }

    QString disk(const QString& name) const { return root.filePath(name); }
    QString iniDrive() const { return Settings(disk("program")).GetFilePathSetting(); }

    // Remembers the disk and loads it as the one in use before a menu-mode selection.
    void useDisk(Session& s, const QString& folder)
    {
        ASSERT_TRUE(Settings(disk("program")).SaveFilePathSetting(folder));
        ScriptedPrompter quiet;
        ASSERT_TRUE(LoadDataDisk(s, folder, quiet).kind == LoadResult::Accepted &&
                    quiet.shown.isEmpty());
    }

    QTemporaryDir root;
    std::map<QString, int> clientsOn;
};

TEST_F(DriveSelectTest, MessageSequences)
{
    using O = DriveOutcome;
    // Start-up reads the remembered disk (null: no settings file); "menu" has "good" in use.
    // Each message is code=answer (Y, N, O for OK). Codes: "noA" (nothing on A:), "no:D" (nothing
    // on disk D), "not" (not a data disk), "again", "full:D" (too many records on D), "err:D".
    struct
    {
        const char *name, *ini, *picks, *messages;
        O outcome;
        const char* dataPath; // the disk in use afterwards (null: the program ends)
    } const cases[] = {
        {"first start: A: empty, then good", nullptr, "good", "noA=Y again=Y", O::Loaded, "good"},
        {"first start: no to another drive", nullptr, "", "noA=N", O::EndProgram, nullptr},
        {"first start: no to trying again", nullptr, "", "noA=Y again=N", O::EndProgram, nullptr},
        {"remembered disk loads silently", "good/", "", "", O::Loaded, "good"},
        {"identity with blanks accepted", "blanks", "", "", O::Loaded, "blanks"},
        {"lower-case identity refused", "lower", "", "not=O again=N", O::EndProgram, nullptr},
        {"wrong identity, then another", "abc", "twelve", "not=O again=Y", O::Loaded, "twelve"},
        {"over 51 records: failed load", "full", "good", "full:full=O again=Y", O::Loaded, "good"},
        {"other error, nothing loaded", "odd", "good", "err:odd=O again=Y", O::Loaded, "good"},
        {"menu: wrong identity, old disk", "menu", "abc", "not=O again=N", O::OldKept, "good"},
        {"menu: empty, next", "menu", "empty twelve", "no:empty=Y again=Y", O::Loaded, "twelve"},
        {"menu: empty, no ends the program", "menu", "empty", "no:empty=N", O::EndProgram, nullptr},
        {"menu: missing, then give up", "menu", "gone", "no:gone=Y again=N", O::OldKept, "good"},
        {"menu: other error keeps the old disk", "menu", "odd", "err:odd=O", O::Abandoned, "good"},
        // "-": the drive screen left with Escape or its close button.
        {"menu: left without a choice", "menu", "-", "", O::OldKept, "good"},
        {"menu: failed, then left", "menu", "abc -", "not=O again=Y", O::OldKept, "good"},
        {"first start: left, no", nullptr, "-", "noA=Y again=Y again=N", O::EndProgram, nullptr},
        {"first start: left, then good", nullptr, "- good", "noA=Y again=Y again=Y", O::Loaded,
         "good"},
    };
    const std::map<QString, A> answerFor = {{"Y", A::Yes}, {"N", A::No}, {"O", A::Ok}};

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(disk("program/kvx.ini"));
        const bool startup = QLatin1String(c.ini) != "menu";
        Session s;
        if (!startup)
            useDisk(s, disk("good"));
        ASSERT_TRUE(!startup || !c.ini ||
                    Settings(disk("program")).SaveFilePathSetting(disk(c.ini)));
        const QString iniBefore = iniDrive();
        Settings settings(disk("program"));
        ScriptedPrompter prompter;
        const QStringList codes = QString(c.messages).split(' ', Qt::SkipEmptyParts);
        for (const QString& code : codes)
            prompter.answers.push_back(answerFor.at(code.section('=', 1)));
        QStringList picks = QString(c.picks).split(' ', Qt::SkipEmptyParts);
        // Shown once too often, the drive screen offers a folder that is not there.
        const auto picker = [&] {
            const QString pick = picks.isEmpty() ? "none" : picks.takeFirst();
            return pick == "-" ? QString() : disk(pick);
        };

        EXPECT_EQ(SelectDataDrive(s, settings, prompter, picker, startup), c.outcome);
        EXPECT_TRUE(picks.isEmpty()) << "drive screen shown too few times";
        ASSERT_EQ(prompter.shown.size(), codes.size());
        for (qsizetype i = 0; i < codes.size(); ++i) {
            const auto& got = prompter.shown[i];
            const QString code = codes[i].section('=', 0, 0);
            const QString kind = code.section(':', 0, 0);
            const QString on = disk(code.section(':', 1));
            const std::map<QString, ScriptedPrompter::Shown> want = {
                {"noA", {noInfo("A:"), B::YesNo, I::None, {}}},
                {"no", {noInfo(on), B::YesNo, I::None, {}}},
                {"again", {kAgain, B::YesNo, I::None, {}}},
                {"not", {kNotKvx, B::Ok, I::Critical, kTitle}},
                {"full", {got.text, B::Ok, I::Critical, kTitle}},
                {"err", {got.text, B::Ok, I::None, {}}}};
            expectShown(got, want.at(kind));
            EXPECT_TRUE(kind != "full" ||
                        (got.text.contains(on + "/DATA401.KVX") && got.text.contains("52")));
            EXPECT_TRUE(kind != "err" || (got.text.startsWith("Error ") && got.text.contains(on)));
        }

        // Only a successful load changes the remembered disk.
        EXPECT_EQ(str(iniDrive()), str(c.outcome == O::Loaded ? disk(c.dataPath) : iniBefore));
        if (c.dataPath) {
            EXPECT_EQ(str(s.DataPath), str(disk(c.dataPath)));
            EXPECT_EQ(str(s.DataFile), str(s.DataPath + "/DATA401.KVX"));
            EXPECT_EQ(s.NumClients, clientsOn.at(c.dataPath));
        }
        // The write test leaves nothing behind.
        for (const char* name : {"good", "twelve", "blanks", "abc"})
            EXPECT_FALSE(QFile::exists(disk(name) + "/checkWriteTest")) << name;
    }
}

TEST_F(DriveSelectTest, ARefusedOrSpecialDiskIsLeftAsItWas)
{
    ASSERT_TRUE(test::makeDataDisk(disk("foreign"), "ABC\r\n", -1));
    Session s;
    ScriptedPrompter prompter;
    EXPECT_EQ(LoadDataDisk(s, disk("foreign"), prompter).kind, LoadResult::Refused);
    EXPECT_EQ(QDir(disk("foreign")).entryList(QDir::Files), QStringList{"TID"});
    // Once accepted, the same disk gets its empty data file.
    ASSERT_TRUE(test::writeBytes(disk("foreign/TID"), "KVX\r\n"));
    EXPECT_EQ(LoadDataDisk(s, disk("foreign"), prompter).kind, LoadResult::Accepted);
    EXPECT_EQ(QFileInfo(disk("foreign/DATA401.KVX")).size(), 0);

    // A FIFO in the identity file's place is not waited on: the disk holds no test information.
    ASSERT_TRUE(QDir().mkpath(disk("pipe")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(disk("pipe/TID")).constData(), 0666), 0);
    prompter.shown.clear();
    prompter.answers = {A::Yes};
    EXPECT_EQ(LoadDataDisk(s, disk("pipe"), prompter).kind, LoadResult::Refused);
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(str(prompter.shown[0].text), str(noInfo(disk("pipe"))));
}

TEST_F(DriveSelectTest, ReloadOfTheOldDiskFailingEndsTheProgram)
{
    Session s;
    useDisk(s, disk("good"));
    Settings settings(disk("program"));
    ScriptedPrompter prompter;
    prompter.answers = {A::Ok, A::No, A::Ok, A::Ok};
    // While the operator is asked, the old disk is swapped for another one.
    prompter.onMessage = [&](const ScriptedPrompter::Shown& m) {
        EXPECT_TRUE(m.text != kAgain || test::writeBytes(disk("good/TID"), "XYZ"));
    };
    EXPECT_EQ(SelectDataDrive(
                  s, settings, prompter, [&] { return disk("abc"); }, false),
              DriveOutcome::EndProgram);
    ASSERT_EQ(prompter.shown.size(), 4);
    for (int i : {0, 2})
        expectShown(prompter.shown[i], {kNotKvx, B::Ok, I::Critical, kTitle});
    expectShown(prompter.shown[1], {kAgain, B::YesNo, I::None, {}});
    expectShown(prompter.shown[3],
                {"Reload of original data disk failed, aborting Program", B::Ok, I::None, {}});
}

TEST_F(DriveSelectTest, AfterAFailedLoadTheDriveScreenSeesTheDiskInUse)
{
    for (const bool startup : {false, true}) {
        SCOPED_TRACE(startup ? "start-up" : "menu");
        Session s;
        if (!startup)
            useDisk(s, disk("good"));
        ASSERT_TRUE(Settings(disk("program")).SaveFilePathSetting(disk("abc")));
        Settings settings(disk("program"));
        ScriptedPrompter prompter;
        prompter.answers = {A::Ok, A::Yes};
        QStringList inUseWhenShown;
        QStringList picks = {"empty", "twelve"};
        if (startup)
            picks.removeFirst(); // the remembered folder is the failed one
        else
            prompter.answers = {A::Yes, A::Yes};
        const auto picker = [&] {
            inUseWhenShown << s.DataPath;
            return disk(picks.takeFirst());
        };
        EXPECT_EQ(SelectDataDrive(s, settings, prompter, picker, startup), DriveOutcome::Loaded);
        // Each showing after the failure has the disk in use (none at start-up) in memory,
        // never the folder that failed.
        const QStringList expected =
            startup ? QStringList{QString()} : QStringList{disk("good"), disk("good")};
        EXPECT_EQ(inUseWhenShown, expected);
        EXPECT_EQ(str(s.DataPath), str(disk("twelve")));
    }
}

TEST_F(DriveSelectTest, WriteProtectedDisk)
{
    for (const A answer : {A::Ok, A::Cancel}) {
        SCOPED_TRACE(answer == A::Ok ? "OK after the protection is taken off" : "Cancel");
        test::ReadOnlyFolder ro;
        ASSERT_TRUE(ro.valid() && test::makeDataDisk(ro.path(), "KVX\r\n", 5) && ro.makeReadOnly());
        Session s;
        useDisk(s, disk("good"));
        Settings settings(disk("program"));
        ScriptedPrompter prompter;
        prompter.answers = {answer};
        prompter.onMessage = [&](const ScriptedPrompter::Shown&) {
            EXPECT_TRUE(answer != A::Ok || ro.makeWritable());
        };
        const DriveOutcome outcome = SelectDataDrive(
            s, settings, prompter, [&] { return ro.path(); }, false);

        ASSERT_EQ(prompter.shown.size(), 1);
        expectShown(prompter.shown[0], {"Data disk write protected!\n\nSet the data disk to "
                                        "writable and replace in drive.",
                                        B::OkCancel, I::Critical, kTitle});
        // Either way the protected disk's clients are in use; only a full load is remembered.
        EXPECT_EQ(str(s.DataPath), str(ro.path()));
        EXPECT_EQ(s.NumClients, 5);
        EXPECT_EQ(outcome, answer == A::Ok ? DriveOutcome::Loaded : DriveOutcome::Abandoned);
        EXPECT_EQ(str(iniDrive()), str(answer == A::Ok ? ro.path() : disk("good")));
        EXPECT_FALSE(QFile::exists(ro.path() + "/checkWriteTest"));
    }
}

TEST(DriveText, OnlyBlanksMayStandAroundTheIdentity)
{
    for (const char* line : {"   KVX", "KVX2", "K VX", "\tKVX", "Kvx", ""})
        EXPECT_EQ(isDataDiskIdentity(line), line[0] == ' ') << line;
}

} // namespace
