#include "install/ProgramFolder.h"
#include "scoring/InstallCheck.h"
#include "tool/Tool.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

namespace kvx::tool {

int runCheckInstall(const QStringList& args)
{
    QCommandLineParser p;
    const QCommandLineOption programDir = programDirOption();
    p.addOption(programDir);
    if (!parseArgs(p, args))
        return 1;
    QString dir = p.value(programDir);
    if (!p.isSet(programDir)) {
        // The folder the program itself would use, made ready as its first start would.
        const Result<QString> found = LocateProgramFolder(
            DefaultProgramFolderPlaces(QString(), QCoreApplication::applicationDirPath()));
        if (!found)
            return fail(QStringLiteral("check-install: %1").arg(found.error().message));
        dir = *found;
        out() << "program folder " << dir << '\n';
    }
    if (!QDir(dir).exists())
        return fail(QStringLiteral("check-install: no folder %1").arg(dir));
    const QList<FileProblem> problems = CheckInstallation(dir);
    for (const FileProblem& fp : problems)
        out() << fp.text() << '\n';
    if (problems.isEmpty())
        return 0;
    out().flush();
    err() << "kvxtool: check-install: " << problems.size() << " problem(s) found" << Qt::endl;
    return 1;
}

} // namespace kvx::tool
