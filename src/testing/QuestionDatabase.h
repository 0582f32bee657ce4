#pragma once

#include "store/Result.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

namespace kvx {

inline const QString kQuestionDbFileName = QStringLiteral("KVX_32.db");

// The database engine's defaults: what the call sites pass, kept as given. Our engine is
// SQLite, which has no workgroup security; the values are held for whoever asks.
struct EngineDefaults
{
    QString DefaultUser;
    QString DefaultPassword;
    QString IniPath;
};

class QuestionDatabase;

// The one workspace of a run; every open of the question database goes through it.
class Workspace
{
public:
    Workspace(EngineDefaults defaults, QString name, QString user, QString password);

    const EngineDefaults& defaults() const { return defaults_; }
    const QString& name() const { return name_; }
    const QString& user() const { return user_; }

    // Opens the database file. Exclusive: no other connection, in this process or any
    // other, can open it until it is closed; a second opener fails at once (3045).
    // Errors: 3044 invalid path, 3024 file not found, 3051 cannot open.
    Result<std::unique_ptr<QuestionDatabase>> OpenDatabase(const QString& path,
                                                           bool exclusive) const;

private:
    EngineDefaults defaults_;
    QString name_;
    QString user_;
    QString password_;
};

// Rows of a table or query, read whole when opened, with a current-record cursor.
// A recordset on a table can edit its current row and write it back.
class Recordset
{
public:
    bool AtBOF() const { return pos_ < 0 || rows_.empty(); }
    bool AtEOF() const { return pos_ >= static_cast<int>(rows_.size()) || rows_.empty(); }
    void MoveFirst() { pos_ = 0; }
    void MoveLast() { pos_ = static_cast<int>(rows_.size()) - 1; }
    void MoveNext();
    void MovePrevious();
    int RecordCount() const { return static_cast<int>(rows_.size()); }
    int AbsolutePosition() const { return pos_; }

    QStringList fieldNames() const { return fields_; }
    bool hasField(const QString& name) const { return indexOf(name) >= 0; }

    // The value of a field of the current record; a null QVariant for Null.
    Result<QVariant> Field(const QString& name) const;
    // Convenience: the value as text, empty for Null or a missing field.
    QString text(const QString& name) const;

    // Edit, set, update: the current row's new values are written to its table.
    Status SetValue(const QString& name, const QVariant& value);
    Status Update();

private:
    friend class QuestionDatabase;
    int indexOf(const QString& name) const;

    QString connection_;
    QString table_; // empty for a recordset from a query that is not a plain table
    QStringList fields_;
    std::vector<std::vector<QVariant>> rows_;
    std::vector<qint64> rowids_;
    std::vector<std::pair<int, QVariant>> pending_;
    int pos_ = 0;
};

class QuestionDatabase
{
public:
    ~QuestionDatabase();
    QuestionDatabase(const QuestionDatabase&) = delete;
    QuestionDatabase& operator=(const QuestionDatabase&) = delete;

    const QString& path() const { return path_; }

    // Table names in the order the database lists them (the order they were created).
    QStringList TableNames() const;

    // A table by name, or a query text; "Select * from [Name]" reads the table Name in
    // stored order and may be edited like the table itself.
    Result<Recordset> OpenRecordset(const QString& source) const;

    // Groups the updates that follow into one write; without a commit, closing discards them.
    Status BeginTrans();
    Status CommitTrans();
    void Rollback();

    void Close();

private:
    friend class Workspace;
    QuestionDatabase(QString connection, QString path);

    QString connection_;
    QString path_;
};

} // namespace kvx
