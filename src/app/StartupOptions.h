#pragma once

#include "store/Result.h"

#include <QString>
#include <QStringList>

namespace kvx {

// The kvx program's command line.
struct StartupOptions
{
    QString programDir;
    bool splash = true;
    bool exitWhenReady = false; // quit as soon as the main menu is up (start-up timing)
};

// programDir: --program-dir DIR, else homeEnv (KVX_HOME), else the executable's folder when it
// is a portable copy, else the per-user folder (see LocateProgramFolder).
Result<StartupOptions> parseStartupOptions(const QStringList& arguments, const QString& homeEnv,
                                           const QString& executableDir);

QString startupUsage();
// The full --help text: usage, each option, the exit status.
QString startupHelp();

// What the command line asks before anything starts.
enum class EarlyRequest
{
    None,
    Help,
    Version
};
// Looks for --help, -h and --version among raw arguments (the first being the program).
EarlyRequest earlyRequest(const QStringList& arguments);

} // namespace kvx
