#include "testing/QuestionDatabase.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace kvx {
namespace {

QString newConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("kvx-questions-%1").arg(counter.fetchAndAddRelaxed(1));
}

QString quoted(const QString& name)
{
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// SQLITE_BUSY and SQLITE_LOCKED: another connection holds the file.
bool isBusy(const QSqlError& e)
{
    return e.nativeErrorCode() == QLatin1String("5") || e.nativeErrorCode() == QLatin1String("6");
}

Error dbError(int code, const QString& text)
{
    return Error{code, text};
}

} // namespace

Workspace::Workspace(EngineDefaults defaults, QString name, QString user, QString password)
    : defaults_(std::move(defaults)), name_(std::move(name)), user_(std::move(user)),
      password_(std::move(password))
{}

Result<std::unique_ptr<QuestionDatabase>> Workspace::OpenDatabase(const QString& path,
                                                                  bool exclusive) const
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.dir().exists())
        return dbError(err::DbInvalidPath, QStringLiteral("'%1' is not a valid path.").arg(shown));
    if (!info.exists())
        return dbError(err::DbFileNotFound, QStringLiteral("Could not find file '%1'.").arg(shown));
    if (!info.isFile() || !info.isReadable()) {
        return dbError(err::DbCannotOpen,
                       QStringLiteral("The database file '%1' cannot be opened.").arg(shown));
    }

    const QString conn = newConnectionName();
    Error failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(path);
        // No waiting for a lock: a database in use elsewhere is refused at once.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
        if (!db.open()) {
            failure = dbError(err::DbCannotOpen,
                              QStringLiteral("The database file '%1' cannot be opened: %2")
                                  .arg(shown, db.lastError().text()));
        } else {
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
                failure =
                    isBusy(q.lastError())
                        ? dbError(
                              err::DbInUse,
                              QStringLiteral("Could not use '%1'; file already in use.").arg(shown))
                        : dbError(err::DbCannotOpen,
                                  QStringLiteral("'%1' is not a question database: %2")
                                      .arg(shown, q.lastError().text()));
            } else if (exclusive) {
                q.finish();
                if (!q.exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE")) ||
                    !q.exec(QStringLiteral("BEGIN EXCLUSIVE")) ||
                    !q.exec(QStringLiteral("COMMIT"))) {
                    failure = dbError(
                        err::DbInUse,
                        QStringLiteral("Could not use '%1'; file already in use.").arg(shown));
                }
            }
            q.finish();
            if (failure.code != 0)
                db.close();
        }
    }
    if (failure.code != 0) {
        QSqlDatabase::removeDatabase(conn);
        return failure;
    }
    return std::unique_ptr<QuestionDatabase>(new QuestionDatabase(conn, path));
}

QuestionDatabase::QuestionDatabase(QString connection, QString path)
    : connection_(std::move(connection)), path_(std::move(path))
{}

QuestionDatabase::~QuestionDatabase()
{
    Close();
}

void QuestionDatabase::Close()
{
    if (connection_.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
    connection_.clear();
}

Status QuestionDatabase::BeginTrans()
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (connection_.isEmpty() || !db.transaction())
        return dbError(err::DbFailure, QStringLiteral("The question database cannot start a "
                                                      "transaction: ") +
                                           db.lastError().text());
    return {};
}

Status QuestionDatabase::CommitTrans()
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (connection_.isEmpty() || !db.commit())
        return dbError(err::DbFailure,
                       QStringLiteral("The question database cannot save the changes: ") +
                           db.lastError().text());
    return {};
}

void QuestionDatabase::Rollback()
{
    if (!connection_.isEmpty())
        QSqlDatabase::database(connection_, false).rollback();
}

QStringList QuestionDatabase::TableNames() const
{
    QStringList names;
    if (connection_.isEmpty())
        return names;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (q.exec(QStringLiteral(
            "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
            "ORDER BY rowid"))) {
        while (q.next())
            names << q.value(0).toString();
    }
    return names;
}

Result<Recordset> QuestionDatabase::OpenRecordset(const QString& source) const
{
    if (connection_.isEmpty())
        return dbError(err::DbFailure, QStringLiteral("The question database is closed."));

    static const QRegularExpression plainSelect(
        QStringLiteral(R"(^\s*select\s+\*\s+from\s+\[([^\]]+)\]\s*;?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    QString table;
    if (const auto m = plainSelect.match(source); m.hasMatch())
        table = m.captured(1);
    else if (!source.trimmed().contains(u' '))
        table = source.trimmed();

    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    Recordset rs;
    rs.connection_ = connection_;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!table.isEmpty()) {
        if (!TableNames().contains(table)) {
            return dbError(err::DbNoSuchTable,
                           QStringLiteral("The database engine cannot find the input table or "
                                          "query '%1'.")
                               .arg(table));
        }
        rs.table_ = table;
        if (!q.exec(QStringLiteral("SELECT rowid, * FROM %1 ORDER BY rowid").arg(quoted(table))))
            return dbError(err::DbFailure, q.lastError().text());
    } else if (!q.exec(source)) {
        return dbError(err::DbFailure, q.lastError().text());
    }

    const QSqlRecord rec = q.record();
    const int first = table.isEmpty() ? 0 : 1;
    for (int i = first; i < rec.count(); ++i)
        rs.fields_ << rec.fieldName(i);
    while (q.next()) {
        std::vector<QVariant> row;
        row.reserve(static_cast<size_t>(rec.count() - first));
        for (int i = first; i < rec.count(); ++i)
            row.push_back(q.value(i));
        rs.rows_.push_back(std::move(row));
        if (first == 1)
            rs.rowids_.push_back(q.value(0).toLongLong());
    }
    return rs;
}

void Recordset::MoveNext()
{
    if (pos_ < static_cast<int>(rows_.size()))
        ++pos_;
    pending_.clear();
}

void Recordset::MovePrevious()
{
    if (pos_ >= 0)
        --pos_;
    pending_.clear();
}

int Recordset::indexOf(const QString& name) const
{
    for (int i = 0; i < fields_.size(); ++i) {
        if (fields_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

Result<QVariant> Recordset::Field(const QString& name) const
{
    if (AtBOF() || AtEOF())
        return dbError(err::DbNoCurrentRecord, QStringLiteral("No current record."));
    const int i = indexOf(name);
    if (i < 0)
        return dbError(err::DbNoSuchField,
                       QStringLiteral("Item not found in this collection: %1").arg(name));
    return rows_[static_cast<size_t>(pos_)][static_cast<size_t>(i)];
}

QString Recordset::text(const QString& name) const
{
    const Result<QVariant> v = Field(name);
    return v.ok() && !v->isNull() ? v->toString() : QString();
}

Status Recordset::SetValue(const QString& name, const QVariant& value)
{
    if (AtBOF() || AtEOF())
        return dbError(err::DbNoCurrentRecord, QStringLiteral("No current record."));
    if (table_.isEmpty())
        return dbError(err::DbFailure, QStringLiteral("This recordset cannot be updated."));
    const int i = indexOf(name);
    if (i < 0)
        return dbError(err::DbNoSuchField,
                       QStringLiteral("Item not found in this collection: %1").arg(name));
    pending_.emplace_back(i, value);
    return {};
}

Status Recordset::Update()
{
    if (pending_.empty())
        return {};
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!db.isOpen())
        return dbError(err::DbFailure, QStringLiteral("The question database is closed."));
    QStringList sets;
    for (const auto& [i, v] : pending_)
        sets << quoted(fields_[i]) + QStringLiteral(" = ?");
    QSqlQuery q(db);
    q.prepare(
        QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(quoted(table_), sets.join(u',')));
    for (const auto& [i, v] : pending_)
        q.addBindValue(v);
    q.addBindValue(rowids_[static_cast<size_t>(pos_)]);
    if (!q.exec())
        return dbError(err::DbFailure, q.lastError().text());
    auto& row = rows_[static_cast<size_t>(pos_)];
    for (const auto& [i, v] : pending_)
        row[static_cast<size_t>(i)] = v;
    pending_.clear();
    return {};
}

} // namespace kvx
