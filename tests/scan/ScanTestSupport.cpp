#include "ScanTestSupport.h"

#include "testing/QuestionDatabase.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <stdexcept>

namespace kvx::test {

QString writeLayoutDb(const QTemporaryDir& dir, const std::vector<ItemRow>& rows)
{
    const QString path = dir.filePath(kQuestionDbFileName);
    QFile::remove(path);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "layout-fixture");
        db.setDatabaseName(path);
        if (!db.open())
            throw std::runtime_error("cannot create the layout fixture");
        QSqlQuery q(db);
        q.exec("CREATE TABLE ScanItem (ItemName TEXT, r REAL, theta REAL, X INTEGER, "
               "Y INTEGER, dimx INTEGER, DimY INTEGER, dx REAL, dy REAL)");
        int n = 0;
        for (const ItemRow& r : rows) {
            q.prepare("INSERT INTO ScanItem VALUES (?, ?, ?, -1, -1, ?, ?, ?, ?)");
            for (const QVariant& v :
                 {QVariant(QString("Row %1").arg(++n)), QVariant(r.r), QVariant(r.theta),
                  QVariant(r.dimx), QVariant(r.dimY), QVariant(r.dx), QVariant(r.dy)})
                q.addBindValue(v);
            if (!q.exec())
                throw std::runtime_error("cannot fill the layout fixture");
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("layout-fixture");
    return path;
}

QString copyBuiltDatabase(const QTemporaryDir& dir)
{
    const QString built = qEnvironmentVariable("KVX_BUILD_DIR") + "/data/" + kQuestionDbFileName;
    const QString path = dir.filePath(kQuestionDbFileName);
    if (!QFile::copy(built, path))
        throw std::runtime_error("cannot copy " + built.toStdString());
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

void paintBlack(ScanImage& img, int x, int y, int w, int h)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            if (i >= 0 && j >= 0 && i < img.width() && j < img.height())
                img.row(j)[i] = ScanImage::Black;
}

void paintBubble(ScanImage& img, int x, int y, int n)
{
    for (int k = 0; k < n && k < 225; ++k)
        img.row(y + k / 15)[x + k % 15] = ScanImage::Black;
}

} // namespace kvx::test
