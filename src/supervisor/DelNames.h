#pragma once

#include "store/Session.h"
#include "ui/Prompter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace kvx {

inline const QString kDeleteNamesTitle = QStringLiteral("WARNING!");
inline const QString kDeleteNamesWarning =
    QStringLiteral("You are about to delete the Client Name from\n"
                   "all tests on this diskette. This should not be done\n"
                   "until you have printed all reports and are finished\n"
                   "with this diskette and ready to return it.\n"
                   "\n"
                   "Are you SURE you want to do this?");
inline const QString kDeleteNamesDone =
    QStringLiteral("Process complete. Press Enter to continue.");

// Draws a number uniformly from 0 to bound-1.
using RandomBelow = std::function<quint32(quint32 bound)>;

// The operating system's secure random source.
RandomBelow SystemRandom();

// Overwrites every non-blank character of a stored name with an upper-case letter other than
// the one it stands for (in either case); blanks stay, so the width is kept. Nothing of the
// old name can be worked back from the result.
void ScrambleName(QByteArray& name, const RandomBelow& random = SystemRandom());

// A record's name counts as deleted when its flag's numeric value is not 0 (a blank flag, from
// an older record, is not deleted).
bool NameIsDeleted(const ClientRecord& r);

// The files of the program folder that hold a client's name in clear between runs: the
// report, its batch copies, the scanned sheet. Removes those present; returns the ones that
// could not be removed.
QStringList ScratchFileNames();
QStringList RemoveScratchFiles(const QString& programDir);

// "N of M names were deleted; ..." after a failed write.
QString DeleteNamesFailedText(int deleted, int total);

enum class DeleteNamesOutcome
{
    Declined,  // the operator said No: nothing changed
    Completed, // every name deleted (or none left to delete)
    Abandoned  // a write failed and the operator chose Cancel
};

struct DeleteNamesHooks
{
    std::function<void()> busy, normal; // the busy pointer on and off
    RandomBelow random;                 // empty: SystemRandom()
};

// Makes every client name of the data disk unreadable, record by record, after the operator's
// confirmation. A failed write is put to the operator with Retry (go on from that record) and
// Cancel; on Cancel the records not written are in the table as they are on disk.
DeleteNamesOutcome DeleteNames(Session& s, Prompter& prompter, const DeleteNamesHooks& hooks = {});

} // namespace kvx
