#include "testing/QuestionDatabase.h"
#include "common/TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <cstdio>

using namespace kvx;

namespace {

const Workspace& workspace()
{
    static const Workspace ws(EngineDefaults{QStringLiteral("QELTest"), QStringLiteral("tamvoli"),
                                             QStringLiteral("/tmp/kvx.ini")},
                              QString(), QStringLiteral("admin"), QString());
    return ws;
}

// A small database with the question tables' and scan layout's fields, built here.
QString buildFixture(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("KVX_32.db"));
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture"));
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
        QSqlQuery q(db);
        const char* cols = "(ID INTEGER, TestQuestion TEXT, QuestionAudio TEXT, ANSWER1 TEXT, "
                           "ANSWER2 TEXT, ANSWER3 TEXT, ANSWER4 TEXT, ANSWER5 TEXT, ChoiceAudio1 "
                           "TEXT, ChoiceAudio2 TEXT, ChoiceAudio3 TEXT, ChoiceAudio4 TEXT, "
                           "ChoiceAudio5 TEXT)";
        EXPECT_TRUE(q.exec(QStringLiteral("CREATE TABLE Spanish ") + QLatin1String(cols)));
        EXPECT_TRUE(q.exec(QStringLiteral("CREATE TABLE english ") + QLatin1String(cols)));
        EXPECT_TRUE(q.exec(QStringLiteral(
            "CREATE TABLE ScanItem (ItemName TEXT, r REAL, theta REAL, X INTEGER, Y INTEGER, "
            "dimx INTEGER, DimY INTEGER, dx REAL, dy REAL)")));
        db.transaction();
        for (int id = 1; id <= 155; ++id) {
            q.prepare(QStringLiteral("INSERT INTO Spanish (ID, TestQuestion, ANSWER1, ANSWER2, "
                                     "ANSWER3) VALUES (?, ?, 'Cierto', 'Falso', ?)"));
            q.addBindValue(id);
            q.addBindValue(QStringLiteral("Pregunta %1 ñ").arg(id));
            q.addBindValue(id > 94 ? QVariant(QStringLiteral("Tres")) : QVariant());
            EXPECT_TRUE(q.exec());
        }
        for (int i = 1; i <= 177; ++i) {
            q.prepare(
                QStringLiteral("INSERT INTO ScanItem VALUES (?, ?, 12.5, 0, 0, 4, 1, 25, 0)"));
            q.addBindValue(QStringLiteral("Row%1").arg(i));
            q.addBindValue(100.0 + i);
            EXPECT_TRUE(q.exec());
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fixture"));
    return path;
}

TEST(QuestionDatabase, OpenErrorsCarryTheEngineNumbers)
{
    QTemporaryDir dir;
    const struct
    {
        QString path;
        int code;
    } cases[] = {
        {dir.filePath(QStringLiteral("missing/KVX_32.db")), err::DbInvalidPath},
        {QString(), err::DbInvalidPath},
        {dir.filePath(QStringLiteral("KVX_32.db")), err::DbFileNotFound},
    };
    for (const auto& c : cases) {
        auto db = workspace().OpenDatabase(c.path, true);
        ASSERT_FALSE(db.ok()) << test::str(c.path);
        EXPECT_EQ(db.error().code, c.code) << test::str(c.path);
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("KVX_32.db")))); // never created

    ASSERT_TRUE(test::writeBytes(dir.filePath(QStringLiteral("junk.db")), QByteArray(4096, 'j')));
    auto junk = workspace().OpenDatabase(dir.filePath(QStringLiteral("junk.db")), false);
    ASSERT_FALSE(junk.ok());
    EXPECT_EQ(junk.error().code, err::DbCannotOpen);
}

TEST(QuestionDatabase, TablesInStoredOrderAndRecordsInIdOrder)
{
    QTemporaryDir dir;
    const QString path = buildFixture(dir);
    auto db = workspace().OpenDatabase(path, true);
    ASSERT_TRUE(db.ok()) << test::str(db.error().message);
    EXPECT_EQ((*db)->TableNames(),
              (QStringList{QStringLiteral("Spanish"), QStringLiteral("english"),
                           QStringLiteral("ScanItem")}));

    auto rs = (*db)->OpenRecordset(QStringLiteral("Select * from [Spanish]"));
    ASSERT_TRUE(rs.ok()) << test::str(rs.error().message);
    ASSERT_EQ(rs->RecordCount(), 155);
    int expected = 1;
    for (rs->MoveFirst(); !rs->AtEOF(); rs->MoveNext())
        EXPECT_EQ(rs->Field(QStringLiteral("ID"))->toInt(), expected++);
    rs->MoveFirst();
    EXPECT_EQ(rs->text(QStringLiteral("TestQuestion")), QStringLiteral("Pregunta 1 ñ"));
    EXPECT_TRUE(rs->Field(QStringLiteral("ANSWER3"))->isNull());
    EXPECT_EQ(rs->text(QStringLiteral("ANSWER3")), QString());
    EXPECT_EQ(rs->Field(QStringLiteral("Nope")).error().code, err::DbNoSuchField);
    rs->MovePrevious();
    EXPECT_TRUE(rs->AtBOF());
    EXPECT_EQ(rs->Field(QStringLiteral("ID")).error().code, err::DbNoCurrentRecord);

    EXPECT_EQ((*db)->OpenRecordset(QStringLiteral("Select * from [French]")).error().code,
              err::DbNoSuchTable);
}

TEST(QuestionDatabase, ScanItemRowsKeepTheirOrderAndTakeNewXY)
{
    QTemporaryDir dir;
    const QString path = buildFixture(dir);
    {
        auto db = workspace().OpenDatabase(path, true);
        ASSERT_TRUE(db.ok());
        auto rs = (*db)->OpenRecordset(QStringLiteral("ScanItem"));
        ASSERT_TRUE(rs.ok());
        ASSERT_EQ(rs->RecordCount(), 177);
        int i = 1;
        for (rs->MoveFirst(); !rs->AtEOF(); rs->MoveNext(), ++i) {
            ASSERT_EQ(rs->text(QStringLiteral("ItemName")), QStringLiteral("Row%1").arg(i));
            ASSERT_TRUE(rs->SetValue(QStringLiteral("X"), i * 2));
            ASSERT_TRUE(rs->SetValue(QStringLiteral("Y"), -i));
            ASSERT_TRUE(rs->Update());
        }
    }
    auto db = workspace().OpenDatabase(path, false);
    ASSERT_TRUE(db.ok());
    auto rs = (*db)->OpenRecordset(QStringLiteral("ScanItem"));
    ASSERT_TRUE(rs.ok());
    rs->MoveFirst();
    for (int k = 1; k < 177; ++k)
        rs->MoveNext();
    EXPECT_EQ(rs->text(QStringLiteral("ItemName")), QStringLiteral("Row177"));
    EXPECT_EQ(rs->Field(QStringLiteral("X"))->toInt(), 354);
    EXPECT_EQ(rs->Field(QStringLiteral("Y"))->toInt(), -177);
    EXPECT_FLOAT_EQ(rs->Field(QStringLiteral("r"))->toFloat(), 277.0f);
}

// Runs this test program again as another process that tries to open the database.
int openInOtherProcess(const QString& path)
{
    QProcess p;
    p.setProcessEnvironment([&] {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KVX_TRY_OPEN_DB"), path);
        return env;
    }());
    p.start(QCoreApplication::applicationFilePath(), {});
    if (!p.waitForFinished(20000))
        return -1;
    return p.exitCode();
}

TEST(QuestionDatabase, ExclusiveOpenRefusesEveryOtherOpenerAtOnce)
{
    QTemporaryDir dir;
    const QString path = buildFixture(dir);
    {
        auto held = workspace().OpenDatabase(path, true);
        ASSERT_TRUE(held.ok());
        auto second = workspace().OpenDatabase(path, true);
        ASSERT_FALSE(second.ok());
        EXPECT_EQ(second.error().code, err::DbInUse);
        EXPECT_EQ(openInOtherProcess(path), 1); // refused as in use
        // The holder still works.
        EXPECT_EQ((*held)->TableNames().size(), 3);
    }
    EXPECT_EQ(openInOtherProcess(path), 0);
    auto again = workspace().OpenDatabase(path, true);
    EXPECT_TRUE(again.ok());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (const QString path = qEnvironmentVariable("KVX_TRY_OPEN_DB"); !path.isEmpty()) {
        auto db = workspace().OpenDatabase(path, true);
        return db.ok() ? 0 : (db.error().code == err::DbInUse ? 1 : 2);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
