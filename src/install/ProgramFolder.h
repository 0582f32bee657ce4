#pragma once

#include "store/Result.h"

#include <QString>

namespace kvx {

// Where the program folder is looked for, in this order: the --program-dir option, the KVX_HOME
// variable, the executable's folder when it is a portable copy (it holds the question database
// and the scoring key), else the per-user folder, made and kept up to date from the installed
// template.
struct ProgramFolderPlaces
{
    QString option;
    QString homeEnv;
    QString executableDir;
    QString userDir;     // normally $XDG_DATA_HOME/kvx
    QString templateDir; // the installed template, normally <prefix>/share/kvx
};

// The places of this machine for an executable in executableDir.
ProgramFolderPlaces DefaultProgramFolderPlaces(const QString& option, const QString& executableDir);

// The program folder to use, made ready: the per-user folder is created or brought up to date
// from the template first.
Result<QString> LocateProgramFolder(const ProgramFolderPlaces& places);

// Whether dir holds an installation's own files (question database and scoring key).
bool HoldsInstallation(const QString& dir);

// Copies the template into userDir: files the folder lacks, and files the template has changed
// since they were last copied (a new question database or new norms after an upgrade). Files
// the program writes (kvx.ini, REPORT.PRN, the batch copies, raw.bmp) are never replaced. A new
// folder gets a kvx.ini that finds the recordings copied with it.
Status SyncFromTemplate(const QString& templateDir, const QString& userDir);

} // namespace kvx
