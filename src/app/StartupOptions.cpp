#include "app/StartupOptions.h"

#include "install/ProgramFolder.h"

namespace kvx {

QString startupUsage()
{
    return QStringLiteral("usage: kvx [--program-dir DIR] [--no-splash] [--exit-when-ready]");
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
