#include "common/TestSupport.h"
#include "store/DataFile.h"
#include "store/RegularFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QMap>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using namespace kvx;
using kvx::test::readBytes;
using kvx::test::str;
using kvx::test::writeBytes;

namespace {

QByteArray records(int n, char fill = 'r')
{
    QByteArray b;
    for (int i = 1; i <= n; ++i) {
        QByteArray r(239, fill);
        r.replace(0, 10, QByteArray::number(i).leftJustified(10, ' '));
        b += r;
    }
    return b;
}

int errorCode(const Status& st)
{
    return st ? 0 : st.error().code;
}

class DataSafetyTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(root.path()).mkpath("a") && QDir(root.path()).mkpath("b"));
        ASSERT_TRUE(writeBytes(file("a"), records(3, 'a')));
        load(s, "a");
    }
    QString folder(const char* disk) const { return QDir(root.path()).filePath(disk); }
    QString file(const char* disk) const { return QDir(folder(disk)).filePath("DATA401.KVX"); }
    void load(Session& session, const char* disk)
    {
        SetDataPath(session, folder(disk));
        ASSERT_TRUE(ReadAllClients(session));
    }
    // Everything in the root, so a test can see that nothing was written anywhere.
    QMap<QString, QByteArray> allFiles() const
    {
        QMap<QString, QByteArray> m;
        for (const char* d : {"a", "b"})
            for (const QString& f : QDir(folder(d)).entryList(QDir::Files))
                m[QString(d) + '/' + f] = readBytes(QDir(folder(d)).filePath(f));
        return m;
    }

    QTemporaryDir root;
    Session s;
};

TEST_F(DataSafetyTest, AChangedOrMissingDiskIsRefusedWithNothingWritten)
{
    const struct
    {
        const char* what;
        std::function<void(DataSafetyTest&)> change;
    } cases[] = {
        // Another disk of the same length in the drive.
        {"swapped disk",
         [](DataSafetyTest& t) { ASSERT_TRUE(writeBytes(t.file("a"), records(3, 'b'))); }},
        {"disk with more clients",
         [](DataSafetyTest& t) {
             ASSERT_TRUE(writeBytes(t.file("a"), records(3, 'a') + records(1, 'x')));
         }},
        {"disk with fewer clients",
         [](DataSafetyTest& t) { ASSERT_TRUE(writeBytes(t.file("a"), records(2, 'a'))); }},
        {"data file deleted", [](DataSafetyTest& t) { ASSERT_TRUE(QFile::remove(t.file("a"))); }},
        {"disk removed",
         [](DataSafetyTest& t) { ASSERT_TRUE(QDir(t.folder("a")).removeRecursively()); }},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(QDir(folder("a")).removeRecursively() && QDir(root.path()).mkpath("a"));
        ASSERT_TRUE(writeBytes(file("a"), records(3, 'a')));
        load(s, "a");
        c.change(*this);
        const auto before = allFiles();
        for (int n : {2, 4}) {
            s.client(n).setRaw(Field::Name, "Must Not Land");
            const Status st = WriteClient(s, n);
            ASSERT_FALSE(st) << c.what;
            EXPECT_EQ(st.error().code, err::DiskChanged) << c.what;
            EXPECT_EQ(str(st.error().message), str(kDiskChangedMessage)) << c.what;
        }
        s.CurClient = 4;
        EXPECT_EQ(AppendClient(s).ok(), std::string(c.what) == "disk with more clients") << c.what;
        if (std::string(c.what) != "disk with more clients") {
            EXPECT_EQ(allFiles(), before) << c.what;
        }
    }
}

TEST_F(DataSafetyTest, ASecondProgramsAppendsAreJoinedAndItsEditsRefused)
{
    // Both add a client: the second to save takes the next number instead of overwriting.
    Session other;
    load(other, "a");
    InitNewClient(other, QDate(2026, 1, 2));
    ASSERT_TRUE(other.current().setText(Field::Name, u"Added First"));
    ASSERT_EQ(*AppendClient(other), 4);
    InitNewClient(s, QDate(2026, 1, 2));
    ASSERT_TRUE(s.current().setText(Field::Name, u"Added Second"));
    s.RefreshNames = false;
    const Result<int> got = AppendClient(s);
    ASSERT_TRUE(got);
    EXPECT_EQ(*got, 5);
    EXPECT_EQ(s.NumClients, 5);
    EXPECT_EQ(s.CurClient, 5);
    EXPECT_TRUE(s.RefreshNames);
    EXPECT_EQ(s.client(4).trimmed(Field::Name), "Added First");
    Session check;
    load(check, "a");
    ASSERT_EQ(check.NumClients, 5);
    EXPECT_EQ(check.client(4).trimmed(Field::Name), "Added First");
    EXPECT_EQ(check.client(5).trimmed(Field::Name), "Added Second");

    // A record changed under this session is not overwritten; others are still its to write.
    ASSERT_TRUE(check.client(2).setText(Field::Name, u"Edited Elsewhere"));
    ASSERT_TRUE(WriteClient(check, 2));
    const QByteArray afterOther = readBytes(file("a"));
    ASSERT_TRUE(s.client(2).setText(Field::Name, u"Edited Here"));
    EXPECT_EQ(errorCode(WriteClient(s, 2)), err::DiskChanged);
    EXPECT_EQ(readBytes(file("a")), afterOther);
    ASSERT_TRUE(s.client(3).setText(Field::Name, u"Third Here"));
    ASSERT_TRUE(WriteClient(s, 3));
    // Joining appends needs every known record unchanged.
    InitNewClient(s, QDate(2026, 1, 2));
    EXPECT_EQ(AppendClient(s).error().code, err::DiskChanged);

    // A disk filled to 51 by someone else refuses the append.
    load(check, "a");
    ASSERT_TRUE(writeBytes(file("a"), readBytes(file("a")) + records(46, 'z')));
    InitNewClient(check, QDate(2026, 1, 2));
    const QByteArray full = readBytes(file("a"));
    EXPECT_EQ(AppendClient(check).error().code, err::BadRecordNumber);
    EXPECT_EQ(readBytes(file("a")), full);
}

TEST_F(DataSafetyTest, AWriteLeavesTheJournalZeroedAndTheSessionCurrent)
{
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(s.client(1).setText(Field::Name, QString("Round %1").arg(round)));
        ASSERT_TRUE(WriteClient(s, 1));
    }
    EXPECT_EQ(readBytes(QDir(folder("a")).filePath("DATA401.JNL")), QByteArray(512, '\0'));
    EXPECT_EQ(readBytes(file("a")).left(239), s.client(1).bytes());
    // A refused identity's disk is loaded without a data file being made.
    Session none;
    SetDataPath(none, folder("b"));
    ASSERT_TRUE(ReadAllClients(none, MissingDataFile::LeaveAbsent));
    EXPECT_EQ(none.NumClients, 0);
    EXPECT_TRUE(QDir(folder("b")).entryList(QDir::Files).isEmpty());
    none.CurClient = 1;
    EXPECT_EQ(AppendClient(none).error().code, err::DiskChanged);
    EXPECT_TRUE(QDir(folder("b")).entryList(QDir::Files).isEmpty());
}

TEST(SpecialFiles, AFifoOrADeviceInAFilesPlaceIsRefusedAtOnce)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("DATA401.KVX");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0666), 0);
    QElapsedTimer t;
    t.start();
    Session s;
    SetDataPath(s, dir.path());
    EXPECT_EQ(errorCode(ReadAllClients(s)), err::BadFileName);
    const Result<QByteArray> viaFifo = readRegularFile(fifo, 1000);
    EXPECT_EQ(viaFifo.error().code, err::BadFileName);
    const QString zero = dir.filePath("KVXB2.TXT");
    ASSERT_TRUE(QFile::link("/dev/zero", zero));
    EXPECT_EQ(readRegularFile(zero, 1 << 20).error().code, err::BadFileName);
    EXPECT_LT(t.elapsed(), 5000);

    // A regular file past its kind's limit is not read at all.
    ASSERT_TRUE(writeBytes(dir.filePath("big"), QByteArray(2000, 'x')));
    EXPECT_EQ(readRegularFile(dir.filePath("big"), 1999).error().code, err::FileTooLarge);
    EXPECT_EQ(readRegularFile(dir.filePath("big"), 2000)->size(), 2000);
}

} // namespace
