#pragma once

// Shared by the fuzz targets: a scratch folder for readers that take a path.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace kvx::fuzz {

// One folder for the whole run, on a memory file system when there is one.
inline const QString& scratchFolder()
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/kvxfuzz-XXXXXX")
                                 : QDir::temp().filePath(QStringLiteral("kvxfuzz-XXXXXX")));
    static const QString path = dir.isValid() ? dir.path() : (std::abort(), QString());
    return path;
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        std::abort();
}

inline QByteArray bytesOf(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

} // namespace kvx::fuzz
