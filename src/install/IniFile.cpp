#include "install/IniFile.h"

#include "store/Cp1252.h"
#include "store/DataFile.h"
#include "store/RegularFile.h"

#include <QDir>
#include <QSaveFile>

namespace kvx {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView v)
{
    while (!v.isEmpty() && isBlank(v.front()))
        v = v.sliced(1);
    while (!v.isEmpty() && isBlank(v.back()))
        v.chop(1);
    return v;
}

// Section and key names compare as Windows-1252 text without regard to case.
bool sameName(QByteArrayView a, QByteArrayView b)
{
    return cp1252::decode(a).compare(cp1252::decode(b), Qt::CaseInsensitive) == 0;
}

// The name of a section header line, or nothing for any other line.
std::optional<QByteArrayView> sectionName(QByteArrayView text)
{
    text = trimmed(text);
    if (!text.startsWith('['))
        return std::nullopt;
    text = text.sliced(1);
    const qsizetype close = text.indexOf(']');
    return trimmed(close >= 0 ? text.first(close) : text);
}

// The key of a "key=value" line; comment lines and lines without "=" have none.
std::optional<QByteArrayView> keyName(QByteArrayView text)
{
    const QByteArrayView t = trimmed(text);
    const qsizetype eq = t.indexOf('=');
    if (eq < 0 || t.startsWith(';'))
        return std::nullopt;
    return trimmed(t.first(eq));
}

} // namespace

QList<IniFile::Line> IniFile::lines() const
{
    QList<Line> out;
    qsizetype start = 0;
    while (start < bytes_.size()) {
        const qsizetype nl = bytes_.indexOf('\n', start);
        Line l;
        l.start = start;
        l.next = nl < 0 ? bytes_.size() : nl + 1;
        l.end = nl < 0 ? bytes_.size() : nl;
        // A CR ends a line only before its LF; a lone one is part of the text.
        if (nl >= 0 && l.end > l.start && bytes_[l.end - 1] == '\r')
            --l.end;
        out.append(l);
        start = l.next;
    }
    return out;
}

IniFile::Found IniFile::find(const QList<Line>& lines, QByteArrayView section,
                             QByteArrayView key) const
{
    Found f;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArrayView text =
            QByteArrayView(bytes_).sliced(lines[i].start, lines[i].end - lines[i].start);
        if (const auto name = sectionName(text)) {
            if (f.sectionLine >= 0)
                break; // the first section of the name is the one
            if (sameName(*name, section))
                f.sectionLine = f.lastLine = i;
            continue;
        }
        if (f.sectionLine < 0)
            continue;
        if (!trimmed(text).isEmpty())
            f.lastLine = i;
        if (const auto k = keyName(text); k && f.keyLine < 0 && sameName(*k, key))
            f.keyLine = i;
    }
    return f;
}

QByteArray IniFile::lineEnd() const
{
    // New lines end as the file's lines do; a new file gets the platform's CR LF.
    const qsizetype nl = bytes_.indexOf('\n');
    return nl > 0 && bytes_[nl - 1] == '\r' ? QByteArray("\r\n")
           : nl >= 0                        ? QByteArray("\n")
                                            : QByteArray("\r\n");
}

QByteArray IniFile::closingEol(const QByteArray& eol) const
{
    // A last line ending in a lone CR keeps it as text: a bare LF after it would turn the two
    // into one line end.
    return bytes_.endsWith('\r') ? QByteArray("\r\n") : eol;
}

std::optional<QByteArray> IniFile::value(QByteArrayView section, QByteArrayView key) const
{
    const QList<Line> ls = lines();
    const Found f = find(ls, section, key);
    if (f.keyLine < 0)
        return std::nullopt;
    const Line& l = ls[f.keyLine];
    const QByteArrayView text = QByteArrayView(bytes_).sliced(l.start, l.end - l.start);
    QByteArrayView v = trimmed(text.sliced(text.indexOf('=') + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.sliced(1, v.size() - 2);
    return v.toByteArray();
}

bool IniFile::setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    const QList<Line> ls = lines();
    const Found f = find(ls, section, key);
    const QByteArray eol = lineEnd();
    if (f.keyLine >= 0) {
        const Line& l = ls[f.keyLine];
        const QByteArrayView text = QByteArrayView(bytes_).sliced(l.start, l.end - l.start);
        const qsizetype eq = text.indexOf('=');
        if (trimmed(text.sliced(eq + 1)) == value)
            return false;
        // The key keeps its spelling; only what follows "=" changes.
        bytes_.replace(l.start + eq + 1, l.end - (l.start + eq + 1), value.toByteArray());
        return true;
    }
    const QByteArray keyLine = key.toByteArray() + '=' + value.toByteArray() + eol;
    if (f.sectionLine >= 0) {
        // After the section's last line that is not blank, so blank lines between sections stay
        // where they are.
        const Line& last = ls[f.lastLine];
        bytes_.insert(last.next, last.next == last.end ? closingEol(eol) + keyLine : keyLine);
        return true;
    }
    if (!bytes_.isEmpty() && !bytes_.endsWith('\n'))
        bytes_ += closingEol(eol);
    bytes_ += '[' + section.toByteArray() + ']' + eol + keyLine;
    return true;
}

Result<IniFile> loadIniFile(const QString& path)
{
    Result<QByteArray> bytes = readRegularFile(path, kMaxIniBytes);
    if (!bytes) {
        if (bytes.error().code == err::FileNotFound)
            return IniFile();
        return bytes.error();
    }
    return IniFile(std::move(*bytes));
}

Status saveIniFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        return Error{err::PermissionDenied,
                     QStringLiteral("The settings file %1 could not be written (%2).")
                         .arg(QDir::toNativeSeparators(path), f.errorString())};
    }
    return {};
}

} // namespace kvx
