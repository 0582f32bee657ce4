#include "app/StartupOptions.h"

#include "install/ProgramFolder.h"

namespace kvx {

QString startupUsage()
{
    return QStringLiteral("usage: kvx [--program-dir DIR] [--no-splash] [--exit-when-ready]");
}

QString startupHelp()
{
    return startupUsage() +
           QStringLiteral(
               "\n       kvx --help | --version\n\n"
               "Administers, scores and reports the screening test on an installation.\n\n"
               "options:\n"
               "  --program-dir DIR   the installation folder (default: $KVX_HOME, else the\n"
               "                      folder of the program itself)\n"
               "  --no-splash         start without the splash screen\n"
               "  --exit-when-ready   quit once the main menu is up (start-up timing)\n"
               "  -h, --help          show this help and exit\n"
               "  --version           show the version and exit\n\n"
               "exit status: 0 ended from the menu or already running (the running copy is\n"
               "brought to the front), 1 start-up failed or the operator ended it, 2 wrong\n"
               "arguments or no installation folder\n");
}

EarlyRequest earlyRequest(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            return EarlyRequest::Help;
        if (a == QLatin1String("--version"))
            return EarlyRequest::Version;
        if (a == QLatin1String("--program-dir"))
            ++i; // its value is a folder, whatever it is called
    }
    return EarlyRequest::None;
}

Result<StartupOptions> parseStartupOptions(const QStringList& arguments, const QString& homeEnv,
                                           const QString& executableDir)
{
    StartupOptions o;
    QString dir;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--no-splash")) {
            o.splash = false;
        } else if (a == QLatin1String("--exit-when-ready")) {
            o.exitWhenReady = true;
        } else if (a == QLatin1String("--program-dir") && i + 1 < arguments.size()) {
            dir = arguments[++i];
        } else if (a.startsWith(QLatin1String("--program-dir="))) {
            dir = a.mid(14);
        } else {
            return Error{err::BadFileName,
                         QStringLiteral("unknown argument %1\n%2").arg(a, startupUsage())};
        }
    }
    ProgramFolderPlaces places = DefaultProgramFolderPlaces(dir, executableDir);
    places.homeEnv = homeEnv;
    const Result<QString> folder = LocateProgramFolder(places);
    if (!folder)
        return folder.error();
    o.programDir = *folder;
    return o;
}

} // namespace kvx
