// The settings file reader and writer. After the first line of the input (section, key and
// value separated by "|"), the rest is a settings file. Reading must not crash; setting the key
// must read back as set, and must keep every line of the file but the key's.
#include "FuzzSupport.h"

#include "install/IniFile.h"

using namespace kvx;

namespace {

bool plain(QByteArrayView v)
{
    // What the program writes: one line, no blanks or quotes at its ends, no brackets or "=".
    for (const char c : v)
        if (c == '\n' || c == '\r' || c == '=' || c == '[' || c == ']' || c == ';' || c == '\0')
            return false;
    return !v.isEmpty() && v.front() != ' ' && v.back() != ' ' && v.front() != '\t' &&
           v.back() != '\t' && v.front() != '"' && v.front() != '\'';
}

// The lines as the reader sees them: a CR ends a line only before its LF.
QList<QByteArray> textLines(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        if (lines[i].endsWith('\r'))
            lines[i].chop(1);
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray in = fuzz::bytesOf(data, size);
    const qsizetype nl = in.indexOf('\n');
    const QList<QByteArray> parts = in.left(nl < 0 ? 0 : nl).split('|');
    IniFile ini(nl < 0 ? in : in.mid(nl + 1));
    for (const char* key : {"FilePath", "SndPath", "NumLock"})
        (void)ini.value("Path", key);
    if (parts.size() != 3 || !plain(parts[0]) || !plain(parts[1]) || !plain(parts[2]))
        return 0;
    const QByteArray before = ini.bytes();
    const std::optional<QByteArray> old = ini.value(parts[0], parts[1]);
    const bool changed = ini.setValue(parts[0], parts[1], parts[2]);
    if (ini.value(parts[0], parts[1]) != std::optional<QByteArray>(parts[2]))
        std::abort();
    if (!changed && ini.bytes() != before)
        std::abort();
    // Only the key's line changes: every other line of the file before is still there, and at
    // most a section header, the key's line and a line end are added.
    if (changed) {
        QList<QByteArray> after = textLines(ini.bytes());
        const QList<QByteArray> was = textLines(before);
        int gone = 0;
        for (const QByteArray& line : was) {
            if (const qsizetype at = after.indexOf(line); at >= 0)
                after.removeAt(at);
            else
                ++gone;
        }
        if (gone > (old ? 1 : 0) || after.size() > 3)
            std::abort();
    }
    return 0;
}
