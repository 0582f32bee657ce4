#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <string>

namespace kvx::test {

inline QByteArray readBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Prints QString values readably in test failure messages.
inline std::string str(const QString& s)
{
    return s.toStdString();
}

// What a run of kvxtool gave.
struct ToolRun
{
    int exitCode;
    QByteArray out;
    QByteArray err;
};

// Runs the built kvxtool (found through KVX_BUILD_DIR, set by ctest) in a UTF-8 locale.
ToolRun runKvxtool(const QStringList& args, const QString& workDir = QString());

// A folder whose contents can be made read-only for real: as root (which ignores file
// modes) by mounting a small file system over it and remounting it read-only; otherwise
// by taking away the write permissions.
class ReadOnlyFolder
{
public:
    ReadOnlyFolder();
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    bool valid() const { return valid_; }
    QString path() const { return dir_.path(); }
    // Everything written so far stays; from now on nothing can be written.
    bool makeReadOnly();
    // Writable again, as when the protection of a disk is taken off.
    bool makeWritable();

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
    bool valid_ = false;
};

} // namespace kvx::test
