#pragma once

#include "store/Result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace kvx {

// A settings file of sections and "key=value" lines, read and changed the way the profile
// functions of the platform the file comes from do it: bytes as stored (Windows-1252, no
// escapes, backslashes are plain characters), sections and keys matched without regard to case,
// the first of duplicate sections and keys winning. A change rewrites only the one line of its
// key, or adds it; every other byte (comments, order, line ends, lines without "=") is kept.
class IniFile
{
public:
    IniFile() = default;
    explicit IniFile(QByteArray bytes) : bytes_(std::move(bytes)) {}

    const QByteArray& bytes() const { return bytes_; }

    // The key's value with surrounding blanks removed, and one pair of matching quotes around it;
    // nothing when the section or the key is missing.
    std::optional<QByteArray> value(QByteArrayView section, QByteArrayView key) const;

    // Sets the key: its line is rewritten, or a line is added at the end of its section, or the
    // section is added at the end of the file. Returns false (and changes nothing) when the
    // stored value is already this one.
    bool setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value);

private:
    struct Line
    {
        qsizetype start = 0;
        qsizetype end = 0;  // end of the text, before "\r\n" or "\n"
        qsizetype next = 0; // start of the next line
    };
    struct Found
    {
        qsizetype sectionLine = -1; // index of the section's header line
        qsizetype keyLine = -1;     // index of the key's line
        qsizetype lastLine = -1;    // the section's last line that is not blank
    };

    QList<Line> lines() const;
    Found find(const QList<Line>& lines, QByteArrayView section, QByteArrayView key) const;
    QByteArray lineEnd() const;
    // The line end that closes the file's last line before more is added.
    QByteArray closingEol(const QByteArray& eol) const;

    QByteArray bytes_;
};

// The largest settings file that is read.
inline constexpr qint64 kMaxIniBytes = 1 << 20;

// The file at path; a missing file is an empty one. Only a regular file is read.
Result<IniFile> loadIniFile(const QString& path);

// Replaces the file at path by bytes through a temporary file in the same folder and a rename,
// so that an interruption leaves the old file or the new one.
Status saveIniFile(const QString& path, const QByteArray& bytes);

} // namespace kvx
