#pragma once

#include "store/Result.h"
#include "store/Session.h"
#include "ui/SaveClient.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace kvx {

class Settings;

inline const QString kIdentityFileName = QStringLiteral("TID");
inline const QString kWriteTestFileName = QStringLiteral("checkWriteTest");

// What one load of a drive came to.
struct LoadResult
{
    enum Kind
    {
        Accepted, // identity right, clients read, disk writable
        Refused,  // the load was unsuccessful (wrong identity, or the operator chose another drive)
        Abandoned,  // the operator cancelled, or an unexpected error ended the selection
        EndProgram, // the operator chose to end the program
    };
    Kind kind = Refused;
    bool tableRead = false;  // the client table now holds this drive's records
    bool identityOk = false; // the identity file says "KVX"
};

// How a whole drive selection ended.
enum class DriveOutcome
{
    Loaded,     // a new disk is in use and FilePath remembers it
    OldKept,    // the operator gave up; the previous disk is in use again
    Abandoned,  // ended early; a consistent disk is in use, FilePath unchanged
    EndProgram, // the program must end
};

// Reads the data disk at drive: identity file, every client record, write test. Errors are
// handled by the operator's choice (retry the failed step, give up, or end the program).
LoadResult LoadDataDisk(Session& s, const QString& drive, Prompter& prompter);

// The drive choice and load, at start-up (the remembered drive first) or from the menu.
// pickDrive shows the drive-choice screen and returns the chosen folder.
DriveOutcome SelectDataDrive(Session& s, Settings& settings, Prompter& prompter,
                             const std::function<QString()>& pickDrive, bool startup);

// The first line of an identity file, without its line end.
Result<QString> readIdentityLine(const QString& path);
// True when the identity line names a data disk of this test.
bool isDataDiskIdentity(const QString& line);
// A drive text as a folder: separators made "/", no trailing one.
QString normaliseDrive(const QString& drive);
// A drive as the messages name it: a drive letter in upper case, a folder as it is.
QString driveForMessage(const QString& drive);

} // namespace kvx
