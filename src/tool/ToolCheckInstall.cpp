#include "scoring/InstallCheck.h"
#include "tool/Tool.h"

#include <QCommandLineParser>
#include <QDir>

namespace kvx::tool {

int runCheckInstall(const QStringList& args)
{
    QCommandLineParser p;
    const QCommandLineOption programDir = programDirOption();
    p.addOption(programDir);
    if (!parseArgs(p, args))
        return 1;
    if (!p.isSet(programDir))
        return fail(QStringLiteral("check-install: --program-dir DIR is required"));
    if (!QDir(p.value(programDir)).exists())
        return fail(QStringLiteral("check-install: no folder %1").arg(p.value(programDir)));
    const QList<FileProblem> problems = CheckInstallation(p.value(programDir));
    for (const FileProblem& fp : problems)
        out() << fp.text() << '\n';
    if (problems.isEmpty())
        return 0;
    out().flush();
    err() << "kvxtool: check-install: " << problems.size() << " problem(s) found" << Qt::endl;
    return 1;
}

} // namespace kvx::tool
