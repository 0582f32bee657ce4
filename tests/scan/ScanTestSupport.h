#pragma once

#include "common/TestSupport.h"

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>

#include <vector>

namespace kvx::test {

// Runs the statements on the SQLite file at path; returns the rows of the last one.
inline std::vector<QVariantList> sql(const QString& path, const QStringList& statements)
{
    std::vector<QVariantList> rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "scan-fixture");
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open()) << str(path);
        QSqlQuery q(db);
        for (const QString& s : statements)
            EXPECT_TRUE(q.exec(s)) << str(s);
        while (q.isSelect() && q.next()) {
            rows.emplace_back();
            for (int i = 0; i < q.record().count(); ++i)
                rows.back() << q.value(i);
        }
    }
    QSqlDatabase::removeDatabase("scan-fixture");
    return rows;
}

} // namespace kvx::test
