#include "supervisor/DelNames.h"
#include "supervisor/SecretCode.h"

#include "common/FakeScreens.h"
#include "common/ScriptedPrompter.h"
#include "common/TestSupport.h"
#include "store/DataFile.h"

#include <gtest/gtest.h>

#include <QSet>

using namespace kvx;
using namespace kvx::test;

namespace {

TEST(SecretCode, OnlyTheLetterAloneInEitherCaseAskedUntilTypedOrCancelled)
{
    for (const auto& [typed, ok] : {std::pair{"K", true},
                                    {"k", true},
                                    {"KK", false},
                                    {"ka", false},
                                    {" k", false},
                                    {"X", false},
                                    {"", false}})
        EXPECT_EQ(SecretCodeMatches(QString::fromUtf8(typed)), ok) << typed;

    Session s;
    FakeScreens screens(s);
    ScriptedPrompter p;
    screens.inputs = {QStringLiteral("Kx"), QStringLiteral("k")};
    EXPECT_TRUE(AskSecretCode(screens, p));
    ASSERT_EQ(screens.requests.size(), 2);
    EXPECT_EQ(screens.requests[0].caption, "Secret Code");
    EXPECT_TRUE(screens.requests[0].passwordInput);
    EXPECT_EQ(screens.requests[0].inputLength, 8);
    EXPECT_EQ(p.said(), QStringList{"Secret Code: Incorrect Secret Code.  Please try again."});

    screens.inputs = {std::nullopt};
    EXPECT_FALSE(AskSecretCode(screens, p));
    EXPECT_EQ(p.shown.size(), 1);
}

TEST(ScrambleName, EveryCharacterBecomesAnotherCapitalBlanksStay)
{
    QByteArray name = QByteArray("Ann Lee-2").leftJustified(25);
    ScrambleName(name, [](quint32) { return 0u; });
    EXPECT_EQ(name, QByteArray("BAA AAAAA").leftJustified(25));

    // Any of the 25 other letters can stand for a letter, never the letter itself.
    QSet<char> seen;
    for (quint32 k = 0; k < 25; ++k) {
        QByteArray m("m");
        ScrambleName(m, [k](quint32 bound) { return bound == 25 ? k : 99; });
        seen.insert(m[0]);
    }
    EXPECT_EQ(seen.size(), 25);
    EXPECT_FALSE(seen.contains('M'));

    // The system source: two scrambles of one name differ.
    QByteArray a = QByteArray("Mary Ann Smith").leftJustified(25), b = a;
    ScrambleName(a);
    ScrambleName(b);
    EXPECT_NE(a, b);
}

// Twelve clients; 3, 7 and 10 already deleted, 5 with a blank flag (an older record), 9 with a
// flag that is no number.
struct DeleteRig
{
    DeleteRig()
    {
        SetDataPath(s, dir.path());
        s.ProgramDir = program.path();
        for (int n = 1; n <= 12; ++n) {
            ClientRecord r;
            r.setRaw(Field::Name, name(n));
            r.setRaw(Field::Age, QByteArray::number(20 + n));
            r.setRaw(Field::Answers, QByteArray(155, static_cast<char>('1' + n % 4)));
            r.setRaw(Field::EditCount, "2");
            r.setRaw(Field::NameDeleted, flagged(n) ? "1" : n == 5 ? " " : n == 9 ? "x" : "0");
            before += r.bytes();
        }
        ok = dir.valid() && writeBytes(s.DataFile, before) && ReadAllClients(s).ok();
    }
    static QByteArray name(int n) { return "Person Number " + QByteArray::number(n) + " Jr"; }
    static bool flagged(int n) { return n == 3 || n == 7 || n == 10; }
    static QByteArray record(const QByteArray& all, int n) { return all.mid((n - 1) * 239, 239); }
    QByteArray bytes() const { return readBytes(s.DataFile); }

    ReadOnlyFolder dir;
    QTemporaryDir program;
    Session s;
    ScriptedPrompter p;
    QByteArray before;
    bool ok = false;
};

TEST(DeleteNames, ScramblesEveryNameNotYetDeletedAndNothingElse)
{
    DeleteRig r;
    ASSERT_TRUE(r.ok);
    r.s.RefreshNames = false;
    EXPECT_EQ(DeleteNames(r.s, r.p), DeleteNamesOutcome::Completed);

    const QByteArray after = r.bytes();
    ASSERT_EQ(after.size(), r.before.size());
    for (int n = 1; n <= 12; ++n) {
        const QByteArray old = r.record(r.before, n), now = r.record(after, n);
        EXPECT_EQ(r.s.client(n).bytes(), now) << n;
        if (DeleteRig::flagged(n)) {
            EXPECT_EQ(now, old) << n;
            continue;
        }
        for (int i = 0; i < 25; ++i) // blanks kept, every other position changed
            EXPECT_TRUE(old[i] == ' ' ? now[i] == ' ' : now[i] != ' ' && now[i] != old[i])
                << n << ':' << i;
        EXPECT_EQ(now[238], '1') << n;
        EXPECT_EQ(now.mid(25, 213), old.mid(25, 213)) << n;
        EXPECT_FALSE(after.contains(DeleteRig::name(n))) << n;
    }
    ASSERT_EQ(r.p.shown.size(), 2);
    EXPECT_EQ(r.p.shown[0].title, "WARNING!");
    EXPECT_EQ(r.p.shown[0].buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(r.p.shown[0].text, "You are about to delete the Client Name from\nall tests on this "
                                 "diskette. This should not be done\nuntil you have printed all "
                                 "reports and are finished\nwith this diskette and ready to return "
                                 "it.\n\nAre you SURE you want to do this?");
    EXPECT_EQ(r.p.shown[1].text, "Process complete. Press Enter to continue.");
    EXPECT_TRUE(r.s.RefreshNames);
    EXPECT_EQ(r.s.NameDeleted, 1);

    // Again, on a disk that refuses every write: nothing to write, and it still completes.
    ASSERT_TRUE(r.dir.makeReadOnly());
    r.s.RefreshNames = false;
    EXPECT_EQ(DeleteNames(r.s, r.p), DeleteNamesOutcome::Completed);
    EXPECT_EQ(r.bytes(), after);
    EXPECT_EQ(r.p.shown.size(), 4);
    EXPECT_EQ(r.p.lastText(), "Process complete. Press Enter to continue.");
    EXPECT_TRUE(r.s.RefreshNames);
}

// The disk is write-protected while the third name is being scrambled.
TEST(DeleteNames, WriteProtectedMidRunRetryGoesOnCancelKeepsTableAsDisk)
{
    for (const Prompter::Answer answer : {Prompter::Answer::Retry, Prompter::Answer::Cancel}) {
        DeleteRig r;
        ASSERT_TRUE(r.ok);
        // Non-blank characters of records 1 and 2 come first.
        const qsizetype protectAt = DeleteRig::name(1).size() + DeleteRig::name(2).size() - 4;
        qsizetype draws = 0;
        DeleteNamesHooks hooks;
        hooks.random = [&](quint32 bound) {
            if (draws++ == protectAt && !r.dir.makeReadOnly())
                ADD_FAILURE() << "cannot protect the disk";
            return static_cast<quint32>(draws % bound);
        };
        r.p.answers = {Prompter::Answer::Yes, answer};
        r.p.onMessage = [&](const ScriptedPrompter::Shown& m) {
            if (m.buttons == Prompter::Buttons::RetryCancel && !r.dir.makeWritable())
                ADD_FAILURE() << "cannot unprotect the disk";
        };
        const DeleteNamesOutcome out = DeleteNames(r.s, r.p, hooks);
        ASSERT_GE(r.p.shown.size(), 2);
        EXPECT_EQ(r.p.shown[1].title + ": " + r.p.shown[1].text,
                  "Data Disk Error: 2 of 9 names were deleted; the rest are unchanged. Check the "
                  "disk, then choose Retry.");
        const QByteArray after = r.bytes();
        for (int n = 1; n <= 12; ++n) {
            const bool done = answer == Prompter::Answer::Retry || n <= 3 || DeleteRig::flagged(n);
            EXPECT_EQ(r.record(after, n)[238], done ? '1' : r.record(r.before, n)[238]) << n;
            EXPECT_TRUE(done || r.record(after, n) == r.record(r.before, n)) << n;
            EXPECT_EQ(r.s.client(n).bytes(), r.record(after, n)) << n;
        }
        EXPECT_EQ(out, answer == Prompter::Answer::Retry ? DeleteNamesOutcome::Completed
                                                         : DeleteNamesOutcome::Abandoned);
        EXPECT_EQ(r.p.shown.size(), answer == Prompter::Answer::Retry ? 3 : 2);
    }
}

TEST(DeleteNames, DecliningChangesNothingCompletingRemovesTheScratchFiles)
{
    DeleteRig r;
    ASSERT_TRUE(r.ok);
    const QDir program(r.program.path());
    for (const char* f : {"REPORT.PRN", "temp1", "temp12", "raw.bmp", "kvx.ini", "KVXRPT.TXT"})
        ASSERT_TRUE(writeBytes(program.filePath(f), "Person Number 1 Jr"));
    r.p.answers = {Prompter::Answer::No};
    const Session kept = r.s;
    EXPECT_EQ(DeleteNames(r.s, r.p), DeleteNamesOutcome::Declined);
    EXPECT_EQ(r.bytes(), r.before);
    EXPECT_TRUE(r.s.Clients == kept.Clients);
    EXPECT_EQ(r.p.shown.size(), 1);
    EXPECT_EQ(program.entryList(QDir::Files).size(), 6);

    DeleteNames(r.s, r.p);
    EXPECT_EQ(program.entryList(QDir::Files, QDir::Name), QStringList({"KVXRPT.TXT", "kvx.ini"}));
}

} // namespace
