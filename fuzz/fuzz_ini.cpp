// The settings file reader and writer. After the first line of the input (section, key and
// value separated by "|"), the rest is a settings file. Reading must not crash; setting the key
// must read back as set, and must keep every byte of the file outside the key's line.
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
    // Only added bytes or the one value differ: the file before is the file after with the new
    // text taken out again.
    if (changed && ini.bytes().size() < before.size() - (old ? old->size() : 0))
        std::abort();
    return 0;
}
