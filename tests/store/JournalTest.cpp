#include "store/Journal.h"
#include "common/TestSupport.h"
#include "store/DataFile.h"

#include <gtest/gtest.h>

#include <QDir>

using namespace kvx;
using kvx::test::readBytes;
using kvx::test::writeBytes;

namespace {

QByteArray record(char fill, const QByteArray& name)
{
    QByteArray r(239, fill);
    r.replace(0, name.size(), name);
    return r;
}

// A folder on a memory file system when there is one: the tests below load a disk a few
// thousand times, each load syncing what it repairs.
QString scratchRoot()
{
    return QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/kvxjournal-XXXXXX")
                                     : QDir::temp().filePath("kvxjournal-XXXXXX");
}

struct CrashCase
{
    const char* what;
    QByteArray before; // the data file before the write
    int n;             // the record written
};

// The bytes a write goes through, in order: the journal entry, the record, the journal's
// zeroes. A "crash" after any prefix of them must load as the old record or the new one.
TEST(JournalTest, AWriteInterruptedAtAnyByteLoadsTheOldOrTheNewRecord)
{
    const QByteArray three = record('a', "One") + record('b', "Two") + record('c', "Three");
    const CrashCase cases[] = {
        {"in place", three, 2},
        {"append", three, 4},
        {"in place, short last record", three + record('d', "Four").left(150), 4},
        {"append over a stray piece", three + "xyz", 4},
    };
    const QByteArray fresh = record('N', "New Name");
    QTemporaryDir dir(scratchRoot());
    ASSERT_TRUE(dir.isValid());
    const QString data = dir.filePath("DATA401.KVX");
    const QString journal = dir.filePath("DATA401.JNL");

    for (const CrashCase& c : cases) {
        JournalEntry e;
        e.record = c.n;
        e.oldLength = c.before.size();
        e.oldBytes = c.before.mid((c.n - 1) * 239, 239);
        e.newBytes = fresh;
        const QByteArray entry = encodeJournal(e);
        // The entry is complete once its last byte that is not zero has landed.
        qsizetype complete = entry.size();
        while (complete > 0 && entry[complete - 1] == '\0')
            --complete;
        const qsizetype at = (c.n - 1) * 239;
        QByteArray after = c.before.left(at) + fresh;
        after += c.before.mid(after.size());

        for (bool journalExisted : {false, true}) {
            const qsizetype steps = 512 + 239 + 512;
            for (qsizetype cut = 0; cut <= steps; ++cut) {
                const qsizetype j = std::min<qsizetype>(cut, 512);
                const qsizetype r = std::clamp<qsizetype>(cut - 512, 0, 239);
                const qsizetype z = std::clamp<qsizetype>(cut - 751, 0, 512);
                QByteArray jbytes = journalExisted ? QByteArray(512, '\0') : QByteArray();
                jbytes.replace(0, j, entry.left(j));
                jbytes.replace(0, z, QByteArray(z, '\0'));
                QByteArray dbytes = c.before;
                dbytes.replace(at, std::min<qsizetype>(r, dbytes.size() - at), fresh.left(r));
                ASSERT_TRUE(writeBytes(journal, jbytes) && writeBytes(data, dbytes));

                Session s;
                SetDataPath(s, dir.path());
                ASSERT_TRUE(ReadAllClients(s)) << c.what << " cut " << cut;
                const QByteArray got = readBytes(data);
                // Until the journal is complete the file is untouched; from then on the write
                // is finished, on the disk and in the table.
                const bool done = cut >= complete;
                EXPECT_EQ(got, done ? after : c.before) << c.what << " cut " << cut;
                const QByteArray& want = done ? after : c.before;
                const int count = static_cast<int>((want.size() + 119) / 239);
                EXPECT_EQ(s.NumClients, count) << c.what << " cut " << cut;
                if (c.n <= count) {
                    EXPECT_EQ(s.client(c.n).bytes(),
                              ClientRecord::fromBytes(want.mid(at, 239)).bytes())
                        << c.what << " cut " << cut;
                }
                // Whatever the journal held is wiped once judged.
                EXPECT_EQ(readBytes(journal), QByteArray(512, '\0')) << c.what << " cut " << cut;
            }
        }
    }
}

TEST(JournalTest, DamagedShortOrStaleEntriesAreLeftAlone)
{
    QTemporaryDir dir(scratchRoot());
    ASSERT_TRUE(dir.isValid());
    const QByteArray before = record('a', "One") + record('b', "Two");
    JournalEntry e{2, before.size(), before.mid(239), record('N', "New")};
    const QByteArray entry = encodeJournal(e);
    QByteArray flipped = entry;
    flipped[300] = static_cast<char>(flipped[300] ^ 1);
    QByteArray foreign = entry;
    foreign[0] = 'X';
    // Record 2 rewritten since by a program that keeps no journal.
    const QByteArray other = before.left(239) + record('O', "Other");

    const struct
    {
        const char* what;
        QByteArray journal;
        QByteArray data;
    } cases[] = {
        {"checksum fails", flipped, before},
        {"cut short", entry.left(501), before},
        {"foreign", foreign, before},
        {"record written since", entry, other},
        {"file grew since", entry, before + record('t', "Third")},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(writeBytes(dir.filePath("DATA401.JNL"), c.journal));
        ASSERT_TRUE(writeBytes(dir.filePath("DATA401.KVX"), c.data));
        Session s;
        SetDataPath(s, dir.path());
        ASSERT_TRUE(ReadAllClients(s)) << c.what;
        EXPECT_EQ(readBytes(dir.filePath("DATA401.KVX")), c.data) << c.what;
        EXPECT_EQ(s.client(2).bytes(), c.data.mid(239, 239)) << c.what;
    }
    EXPECT_EQ(judgeJournal(e, before), JournalVerdict::Replay);
    EXPECT_EQ(judgeJournal(e, applyJournal(e, before)), JournalVerdict::Done);
    EXPECT_FALSE(decodeJournal(QByteArray(512, '\0')));
}

TEST(JournalTest, AReadOnlyDiskLoadsTheFinishedRecordWithoutWriting)
{
    test::ReadOnlyFolder disk;
    ASSERT_TRUE(disk.valid());
    const QByteArray before = record('a', "One") + record('b', "Two");
    const QByteArray fresh = record('N', "New");
    const JournalEntry e{1, before.size(), before.left(239), fresh};
    const QByteArray torn = fresh.left(100) + before.mid(100);
    ASSERT_TRUE(writeBytes(QDir(disk.path()).filePath("DATA401.JNL"), encodeJournal(e)));
    ASSERT_TRUE(writeBytes(QDir(disk.path()).filePath("DATA401.KVX"), torn));
    ASSERT_TRUE(disk.makeReadOnly());
    Session s;
    SetDataPath(s, disk.path());
    ASSERT_TRUE(ReadAllClients(s));
    EXPECT_EQ(s.client(1).bytes(), fresh);
    EXPECT_EQ(readBytes(s.DataFile), torn);
}

} // namespace
