#include "store/Journal.h"

#include "store/ClientRecord.h"

#include <QtEndian>

#include <algorithm>
#include <array>

namespace kvx {
namespace {

constexpr char kMagic[] = "KVXJRNL1";
constexpr qsizetype kMagicSize = 8;
constexpr qsizetype kRecordAt = kMagicSize;
constexpr qsizetype kLengthAt = kRecordAt + 4;
constexpr qsizetype kOldAt = kLengthAt + 8;
constexpr qsizetype kNewAt = kOldAt + ClientRecord::Size;
constexpr qsizetype kCrcAt = kNewAt + ClientRecord::Size;
constexpr qsizetype kEntryEnd = kCrcAt + 4;
static_assert(kEntryEnd <= kJournalSize);

// 52 records is already more than a data disk holds; the length is bounded well below.
constexpr qint64 kMaxOldLength = qint64{52} * ClientRecord::Size;

qint64 recordOffset(int n)
{
    return qint64{n - 1} * ClientRecord::Size;
}

// How many bytes of the old record existed before the write.
qsizetype oldValid(const JournalEntry& e)
{
    return static_cast<qsizetype>(
        std::clamp<qint64>(e.oldLength - recordOffset(e.record), 0, ClientRecord::Size));
}

} // namespace

quint32 crc32(QByteArrayView bytes)
{
    static const auto table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    quint32 c = 0xFFFFFFFFu;
    for (const char ch : bytes)
        c = table[(c ^ static_cast<quint8>(ch)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

QByteArray encodeJournal(const JournalEntry& e)
{
    QByteArray out(kJournalSize, '\0');
    std::copy_n(kMagic, kMagicSize, out.data());
    qToLittleEndian<quint32>(static_cast<quint32>(e.record), out.data() + kRecordAt);
    qToLittleEndian<quint64>(static_cast<quint64>(e.oldLength), out.data() + kLengthAt);
    std::copy_n(e.oldBytes.constData(), std::min<qsizetype>(e.oldBytes.size(), ClientRecord::Size),
                out.data() + kOldAt);
    std::copy_n(e.newBytes.constData(), std::min<qsizetype>(e.newBytes.size(), ClientRecord::Size),
                out.data() + kNewAt);
    qToLittleEndian<quint32>(crc32(QByteArrayView(out).first(kCrcAt)), out.data() + kCrcAt);
    return out;
}

std::optional<JournalEntry> decodeJournal(QByteArrayView bytes)
{
    if (bytes.size() < kEntryEnd || bytes.first(kMagicSize) != QByteArrayView(kMagic, kMagicSize))
        return std::nullopt;
    if (qFromLittleEndian<quint32>(bytes.data() + kCrcAt) != crc32(bytes.first(kCrcAt)))
        return std::nullopt;
    JournalEntry e;
    const quint32 record = qFromLittleEndian<quint32>(bytes.data() + kRecordAt);
    const quint64 length = qFromLittleEndian<quint64>(bytes.data() + kLengthAt);
    // A write starts inside the file or at its end, never past it.
    if (record < 1 || record > 51 || length > static_cast<quint64>(kMaxOldLength) ||
        static_cast<qint64>(length) < recordOffset(static_cast<int>(record)))
        return std::nullopt;
    e.record = static_cast<int>(record);
    e.oldLength = static_cast<qint64>(length);
    e.oldBytes = bytes.sliced(kOldAt, oldValid(e)).toByteArray();
    e.newBytes = bytes.sliced(kNewAt, ClientRecord::Size).toByteArray();
    return e;
}

JournalVerdict judgeJournal(const JournalEntry& e, QByteArrayView file)
{
    const qint64 start = recordOffset(e.record);
    const qint64 end = start + ClientRecord::Size;
    const qint64 length = file.size();
    // The write changes the length only by extending the file up to the record's end.
    if (length < e.oldLength || length > std::max(e.oldLength, end))
        return JournalVerdict::Stale;
    const qsizetype old = oldValid(e);
    bool allNew = length == std::max(e.oldLength, end);
    for (qint64 at = start; at < std::min(length, end); ++at) {
        const qsizetype i = static_cast<qsizetype>(at - start);
        const char b = file[static_cast<qsizetype>(at)];
        const bool isNew = b == e.newBytes[i];
        if (!isNew && !(i < old && b == e.oldBytes[i]))
            return JournalVerdict::Stale;
        allNew = allNew && isNew;
    }
    return allNew ? JournalVerdict::Done : JournalVerdict::Replay;
}

QByteArray applyJournal(const JournalEntry& e, QByteArrayView file)
{
    const qsizetype start = static_cast<qsizetype>(recordOffset(e.record));
    QByteArray out = file.first(std::min(file.size(), start)).toByteArray();
    out.resize(start, ' ');
    out += e.newBytes;
    if (file.size() > out.size())
        out += file.sliced(out.size());
    return out;
}

} // namespace kvx
