#pragma once

#include "store/Result.h"
#include "store/Session.h"

#include <QDate>
#include <QString>

namespace kvx {

// Points the session at a data disk folder: DataPath and DataFile.
void SetDataPath(Session& s, const QString& folder);

// A file in a folder by name, matched without regard to case when the exact name is
// absent (disks written elsewhere may carry the name in another case). Returns the path
// to use: the existing file's, or the exact name when none exists.
QString resolveFileName(const QString& folder, const QString& name);

// What loading does when the data disk holds no data file.
enum class MissingDataFile
{
    Create,     // an accepted data disk starts with an empty data file
    LeaveAbsent // a disk not (yet) accepted is left as it is: no clients
};

// The operator's text for a data file that is not the one this session loaded.
inline const QString kDiskChangedMessage =
    QStringLiteral("The data disk was changed or replaced since it was loaded. Put the same disk "
                   "back and choose Retry.");

// The largest data file that is read: 51 records and a stray piece too short to count.
inline constexpr qint64 kMaxDataFileBytes =
    qint64{kMaxClients} * ClientRecord::Size + ClientRecord::Size / 2;

// Reads every record of DataFile into Clients and sets NumClients and CurClient, after
// completing a write that the journal shows was interrupted. The session remembers what it
// read (Loaded). A file of more than 51 records is refused and not touched; on any error the
// session is left as it was.
Status ReadAllClients(Session& s, MissingDataFile missing = MissingDataFile::LeaveAbsent);

// Writes Clients[n] as record n (1..NumClients+1) of the data file this session loaded, through
// the journal, so that an interruption at any moment leaves the old record or the new one.
// Never creates the data file. Under an exclusive lock it first checks that the file's length
// is the one the session knows and that record n holds the bytes last read or written;
// otherwise nothing is written and the error is err::DiskChanged with kDiskChangedMessage.
// On failure the record on disk is the old one and the table is kept.
Status WriteClient(Session& s, int n);

// Adds the current client (CurClient = NumClients+1) as a new record and counts it in
// NumClients. When another program has only appended clients since the disk was loaded, the
// client table is read again and the client takes the next free number (CurClient follows);
// returns the number the client got. Refused with err::BadRecordNumber when the disk is full.
Result<int> AppendClient(Session& s);

// Blanks the current client's entry (an abandoned intake leaves nothing behind).
void ClearClient(Session& s);

// A new client given up before it was stored: its entry blanked, CurClient back to 1, the screen
// not accepted.
void DropNewClient(Session& s);

// A new client takes record NumClients+1: blanked, then answers "0" x 155, name not
// deleted, and the test date.
void InitNewClient(Session& s, const QDate& today);

// How a date of birth typed on screen is stored: "N" for not available, else as typed.
QString storedDateOfBirth(const QString& typed);

// The main menu's line for record n: number, "-", the 25 stored name characters.
QString ClientListLine(const Session& s, int n);

// Turns an errno of a file operation on path into an error the drive logic can judge.
Error fileError(int errnum, const QString& path);

} // namespace kvx
