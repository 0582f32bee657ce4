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

// Reads every record of DataFile into Clients (creating an empty file when there is
// none) and sets NumClients and CurClient. A file of more than 51 records is refused
// and not touched; on any error the session is left as it was.
Status ReadAllClients(Session& s);

// Writes Clients[n] as record n (1..NumClients+1) with one positioned write, then flushes
// it to the disk. On failure the record on disk is the old one and the table is kept.
Status WriteClient(const Session& s, int n);

// Blanks the current client's entry (an abandoned intake leaves nothing behind).
void ClearClient(Session& s);

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
