#include "testing/QuestionDatabase.h"
#include "common/TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>

using namespace kvx;

namespace {

const Workspace& workspace()
{
    static const Workspace ws(EngineDefaults{"QELTest", "tamvoli", "/tmp/kvx.ini"}, QString(),
                              "admin", QString());
    return ws;
}

// A small database with the question tables' and scan layout's fields, built here.
QString buildFixture(const QTemporaryDir& dir)
{
    const QString path = dir.filePath("KVX_32.db");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fixture");
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
        const QString cols =
            "(ID INTEGER, TestQuestion TEXT, QuestionAudio TEXT, ANSWER1 TEXT, ANSWER2 TEXT, "
            "ANSWER3 TEXT, ANSWER4 TEXT, ANSWER5 TEXT, ChoiceAudio1 TEXT, ChoiceAudio2 TEXT, "
            "ChoiceAudio3 TEXT, ChoiceAudio4 TEXT, ChoiceAudio5 TEXT)";
        const QString count = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT "
                              "i + 1 FROM n WHERE i < %1) ";
        for (const QString& sql : QStringList{
                 "CREATE TABLE Spanish " + cols, "CREATE TABLE english " + cols,
                 "CREATE TABLE ScanItem (ItemName TEXT, r REAL, theta REAL, X INTEGER, "
                 "Y INTEGER, dimx INTEGER, DimY INTEGER, dx REAL, dy REAL)",
                 count.arg(155) + "INSERT INTO Spanish (ID, TestQuestion, ANSWER1, ANSWER2, "
                                  "ANSWER3) SELECT i, 'Pregunta ' || i || ' ñ', 'Cierto', "
                                  "'Falso', CASE WHEN i > 94 THEN 'Tres' END FROM n",
                 count.arg(177) + "INSERT INTO ScanItem SELECT 'Row' || i, 100 + i, "
                                  "12.5, 0, 0, 4, 1, 25, 0 FROM n"})
            EXPECT_TRUE(QSqlQuery(db).exec(sql)) << test::str(sql);
        db.close();
    }
    QSqlDatabase::removeDatabase("fixture");
    return path;
}

TEST(QuestionDatabase, OpenErrorsCarryTheEngineNumbers)
{
    QTemporaryDir dir;
    ASSERT_TRUE(test::writeBytes(dir.filePath("junk.db"), QByteArray(4096, 'j')));
    for (const auto& [path, code] :
         {std::pair{dir.filePath("missing/KVX_32.db"), err::DbInvalidPath},
          {dir.filePath("junk.db"), err::DbCannotOpen},
          {QString(), err::DbInvalidPath},
          {dir.filePath("KVX_32.db"), err::DbFileNotFound}}) {
        auto db = workspace().OpenDatabase(path, true);
        ASSERT_FALSE(db.ok()) << test::str(path);
        EXPECT_EQ(db.error().code, code) << test::str(path);
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("KVX_32.db"))); // never created
}

TEST(QuestionDatabase, TablesInStoredOrderAndRecordsInIdOrder)
{
    QTemporaryDir dir;
    const QString path = buildFixture(dir);
    auto db = workspace().OpenDatabase(path, true);
    ASSERT_TRUE(db.ok()) << test::str(db.error().message);
    EXPECT_EQ((*db)->TableNames(), (QStringList{"Spanish", "english", "ScanItem"}));

    auto rs = (*db)->OpenRecordset("Select * from [Spanish]");
    ASSERT_TRUE(rs.ok()) << test::str(rs.error().message);
    ASSERT_EQ(rs->RecordCount(), 155);
    int expected = 1;
    for (rs->MoveFirst(); !rs->AtEOF(); rs->MoveNext())
        EXPECT_EQ(rs->Field("ID")->toInt(), expected++);
    rs->MoveFirst();
    EXPECT_EQ(rs->text("TestQuestion"), "Pregunta 1 ñ");
    EXPECT_TRUE(rs->Field("ANSWER3")->isNull());
    EXPECT_EQ(rs->text("ANSWER3"), QString());
    EXPECT_EQ(rs->Field("Nope").error().code, err::DbNoSuchField);
    rs->MovePrevious();
    EXPECT_TRUE(rs->AtBOF());
    EXPECT_EQ(rs->Field("ID").error().code, err::DbNoCurrentRecord);

    EXPECT_EQ((*db)->OpenRecordset("Select * from [French]").error().code, err::DbNoSuchTable);
}

TEST(QuestionDatabase, ScanItemRowsKeepTheirOrderAndTakeNewXY)
{
    QTemporaryDir dir;
    const QString path = buildFixture(dir);
    {
        auto db = workspace().OpenDatabase(path, true);
        ASSERT_TRUE(db.ok());
        auto rs = (*db)->OpenRecordset("ScanItem");
        ASSERT_TRUE(rs.ok());
        ASSERT_EQ(rs->RecordCount(), 177);
        int i = 1;
        for (rs->MoveFirst(); !rs->AtEOF(); rs->MoveNext(), ++i) {
            ASSERT_EQ(rs->text("ItemName"), QStringLiteral("Row%1").arg(i));
            ASSERT_TRUE(rs->SetValue("X", i * 2));
            ASSERT_TRUE(rs->SetValue("Y", -i));
            ASSERT_TRUE(rs->Update());
        }
    }
    auto db = workspace().OpenDatabase(path, false);
    ASSERT_TRUE(db.ok());
    auto rs = (*db)->OpenRecordset("ScanItem");
    ASSERT_TRUE(rs.ok());
    int i = 1;
    for (rs->MoveFirst(); !rs->AtEOF(); rs->MoveNext(), ++i) {
        EXPECT_EQ(rs->Field("X")->toInt(), i * 2);
        EXPECT_EQ(rs->Field("Y")->toInt(), -i);
    }
    EXPECT_EQ(i, 178);
    rs->MovePrevious();
    EXPECT_FLOAT_EQ(rs->Field("r")->toFloat(), 277.0f);
}

// Runs this test program again as another process that tries to open the database.
int openInOtherProcess(const QString& path)
{
    QProcess p;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("KVX_TRY_OPEN_DB", path);
    p.setProcessEnvironment(env);
    p.start(QCoreApplication::applicationFilePath(), {});
    return p.waitForFinished(20000) ? p.exitCode() : -1;
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
        EXPECT_EQ(openInOtherProcess(path), 1);     // refused as in use
        EXPECT_EQ((*held)->TableNames().size(), 3); // the holder still works
    }
    EXPECT_EQ(openInOtherProcess(path), 0);
    EXPECT_TRUE(workspace().OpenDatabase(path, true).ok());
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
