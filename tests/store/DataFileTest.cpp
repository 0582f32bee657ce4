#include "store/DataFile.h"
#include "common/TestSupport.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

using namespace kvx;
using kvx::test::readBytes;
using kvx::test::writeBytes;

namespace {

// A filled-in record; blanks elsewhere, as a real record holds them.
QByteArray record(const QByteArray& name)
{
    ClientRecord r;
    r.setRaw(Field::Name, name);
    r.setRaw(Field::DateOfBirth, "01/02/1980");
    r.setRaw(Field::Answers, QByteArray(155, '1'));
    r.setRaw(Field::NameDeleted, "0");
    return r.bytes();
}

QByteArray records(int n)
{
    QByteArray b;
    for (int i = 1; i <= n; ++i)
        b += record("Client " + QByteArray::number(i));
    return b;
}

class DataFileTest : public ::testing::Test
{
protected:
    void SetUp() override { SetDataPath(s, dir.path()); }
    QString file() const { return dir.filePath("DATA401.KVX"); }

    QTemporaryDir dir;
    Session s;
};

TEST_F(DataFileTest, MissingFileIsCreatedEmptyAndCountsRoundToWholeRecords)
{
    ASSERT_TRUE(ReadAllClients(s));
    EXPECT_FALSE(QFile::exists(file())); // only an accepted disk gets one
    ASSERT_TRUE(ReadAllClients(s, MissingDataFile::Create));
    EXPECT_EQ(s.NumClients, 0);
    EXPECT_TRUE(QFile::exists(file()));
    EXPECT_EQ(QFileInfo(file()).size(), 0);

    for (const auto& [bytes, clients] : {std::pair{0, 0},
                                         {119, 0},
                                         {120, 1},
                                         {239, 1},
                                         {239 * 3, 3},
                                         {239 * 3 + 119, 3},
                                         {239 * 3 + 120, 4},
                                         {239 * 51, 51},
                                         {239 * 51 + 119, 51}}) {
        ASSERT_TRUE(writeBytes(file(), records(52).left(bytes)));
        ASSERT_TRUE(ReadAllClients(s)) << bytes;
        EXPECT_EQ(s.NumClients, clients) << bytes;
        EXPECT_EQ(s.CurClient, clients > 0 ? 1 : 0) << bytes;
    }
}

TEST_F(DataFileTest, TruncatedLastRecordReadsAsBlanksBeyondItsEnd)
{
    const QByteArray bytes = records(3) + record("Short").left(130);
    ASSERT_TRUE(writeBytes(file(), bytes));
    ASSERT_TRUE(ReadAllClients(s));
    ASSERT_EQ(s.NumClients, 4);
    EXPECT_EQ(s.client(4).trimmed(Field::Name), "Short");
    EXPECT_EQ(s.client(4).raw(Field::Answers), QByteArray(48, '1') + QByteArray(107, ' '));

    // Writing the next record fills the missing tail with those blanks, leaving no gap.
    s.client(5) = ClientRecord::fromBytes(record("Fifth"));
    ASSERT_TRUE(WriteClient(s, 5));
    EXPECT_EQ(readBytes(file()), bytes + QByteArray(109, ' ') + record("Fifth"));
}

TEST_F(DataFileTest, FiftyOneRecordsLoadAndFiftyTwoAreRefusedUntouched)
{
    ASSERT_TRUE(writeBytes(file(), records(51)));
    ASSERT_TRUE(ReadAllClients(s));
    EXPECT_EQ(s.NumClients, 51);
    EXPECT_EQ(s.client(51).trimmed(Field::Name), "Client 51");

    const QByteArray big = records(52);
    ASSERT_TRUE(writeBytes(file(), big));
    const Status st = ReadAllClients(s);
    ASSERT_FALSE(st);
    EXPECT_TRUE(st.error().message.contains("DATA401.KVX"));
    EXPECT_TRUE(st.error().message.contains("52 records"));
    EXPECT_EQ(s.NumClients, 51); // the session keeps the disk it had
    EXPECT_EQ(readBytes(file()), big);
}

TEST_F(DataFileTest, RecordsRoundTripByteForByteIncludingGarbage)
{
    QByteArray bytes = records(2) + record("Jos\351 Pe\361a");
    // A record of random bytes in every field, as a damaged or foreign disk may hold.
    QByteArray junk(239, Qt::Uninitialized);
    for (char& c : junk)
        c = static_cast<char>(QRandomGenerator::global()->bounded(256));
    bytes += junk;
    ASSERT_TRUE(writeBytes(file(), bytes));

    ASSERT_TRUE(ReadAllClients(s));
    ASSERT_EQ(s.NumClients, 4);
    EXPECT_EQ(s.client(3).trimmed(Field::Name), "José Peña");
    for (Field f : {Field::Gender, Field::Race, Field::Marital, Field::Education, Field::EditCount,
                    Field::NameDeleted})
        EXPECT_LE(static_cast<unsigned>(s.client(4).code(f)), 9u);
    for (int n = 1; n <= 4; ++n)
        ASSERT_TRUE(WriteClient(s, n));
    EXPECT_EQ(readBytes(file()), bytes);
}

TEST_F(DataFileTest, WritingChangesOnlyItsOwnRecordAndAppendsExactlyOne)
{
    const QByteArray before = records(3);
    ASSERT_TRUE(writeBytes(file(), before));
    ASSERT_TRUE(ReadAllClients(s));

    ASSERT_TRUE(s.client(2).setText(Field::Name, u"Changed Name"));
    ASSERT_TRUE(WriteClient(s, 2));
    QByteArray after = before;
    after.replace(239, 239, s.client(2).bytes());
    EXPECT_EQ(readBytes(file()), after);

    InitNewClient(s, QDate(2026, 3, 7));
    EXPECT_EQ(s.CurClient, 4);
    EXPECT_EQ(s.current().raw(Field::TestDate), QByteArray("03/07/2026"));
    EXPECT_EQ(s.current().raw(Field::Answers), QByteArray(155, '0'));
    ASSERT_TRUE(WriteClient(s, 4));
    EXPECT_EQ(readBytes(file()), after + s.client(4).bytes());
}

TEST_F(DataFileTest, ClearBlanksOnlyTheCurrentEntryAndNumbersOutsideTheFileAreRefused)
{
    ASSERT_TRUE(writeBytes(file(), records(2)));
    ASSERT_TRUE(ReadAllClients(s));
    s.CurClient = 2;
    ClearClient(s);
    EXPECT_EQ(s.client(2).bytes(), QByteArray(239, ' '));
    EXPECT_EQ(s.client(1).bytes(), records(1));
    for (int n : {0, -1, 4, 52}) {
        const Status st = WriteClient(s, n);
        ASSERT_FALSE(st) << n;
        EXPECT_EQ(st.error().code, err::BadRecordNumber) << n;
    }
    EXPECT_EQ(readBytes(file()), records(2));
}

TEST_F(DataFileTest, FileNameIsMatchedWithoutRegardToCase)
{
    const QString lower = dir.filePath("data401.kvx");
    ASSERT_TRUE(writeBytes(lower, records(2)));
    SetDataPath(s, dir.path());
    EXPECT_EQ(s.DataFile, lower);
    ASSERT_TRUE(ReadAllClients(s));
    EXPECT_EQ(s.NumClients, 2);
}

TEST(DataFileErrors, MissingFolderAndReadOnlyDiskReportTheirErrors)
{
    const auto code = [](const Status& st) { return st ? 0 : st.error().code; };
    Session s;
    SetDataPath(s, "/nonexistent-kvx-drive/sub");
    EXPECT_EQ(code(ReadAllClients(s)), err::PathNotFound);

    // A read-only disk without a data file cannot have one created.
    test::ReadOnlyFolder disk, empty;
    ASSERT_TRUE(disk.valid() && empty.valid() && empty.makeReadOnly());
    SetDataPath(s, empty.path());
    EXPECT_EQ(code(ReadAllClients(s, MissingDataFile::Create)), err::PermissionDenied);

    SetDataPath(s, disk.path());
    ASSERT_TRUE(writeBytes(s.DataFile, records(2)));
    ASSERT_TRUE(disk.makeReadOnly());
    ASSERT_TRUE(ReadAllClients(s));
    ASSERT_EQ(s.NumClients, 2);
    ASSERT_TRUE(s.client(2).setText(Field::Name, u"Not Stored"));
    EXPECT_EQ(code(WriteClient(s, 2)), err::PermissionDenied);
    EXPECT_EQ(s.client(2).trimmed(Field::Name), "Not Stored"); // the entry is kept
    EXPECT_EQ(readBytes(s.DataFile), records(2));
}

} // namespace
