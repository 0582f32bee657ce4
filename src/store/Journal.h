#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace kvx {

// The write journal beside the data file. One fixed-size entry: the record about to be
// written, the file's length before, the record's old and new bytes, and a checksum. Before a
// record is written its entry is made durable; afterwards the file is zeroed in place, never
// deleted (a deleted file leaves its bytes, client names among them, in the disk's free space).
//
// The name is an 8.3 name unlike any name older installations open on a data disk (they
// address the data file, the identity file and the write-test file by their exact names and
// never list the disk), so they neither read it nor stumble over it.
inline const QString kJournalFileName = QStringLiteral("DATA401.JNL");
inline constexpr int kJournalSize = 512;

struct JournalEntry
{
    int record = 0;       // 1..51
    qint64 oldLength = 0; // the data file's length before the write
    QByteArray oldBytes;  // the record's bytes before, up to the old end of the file
    QByteArray newBytes;  // the whole new record
};

// The journal file's bytes for an entry (kJournalSize bytes).
QByteArray encodeJournal(const JournalEntry& e);

// The entry a journal file holds: nothing for a zeroed, short, foreign or damaged journal.
std::optional<JournalEntry> decodeJournal(QByteArrayView bytes);

enum class JournalVerdict
{
    Replay, // the record holds the old bytes or a mix of old and new: write the new ones
    Done,   // the write completed
    Stale   // the file was changed since (an older installation wrote it): leave it
};

// What a journal entry means for the data file's present bytes.
JournalVerdict judgeJournal(const JournalEntry& e, QByteArrayView file);

// The data file's bytes with the entry's write completed.
QByteArray applyJournal(const JournalEntry& e, QByteArrayView file);

// CRC-32 (the polynomial of zip and PNG) of bytes.
quint32 crc32(QByteArrayView bytes);

} // namespace kvx
