#include "install/Settings.h"
#include "scoring/ScoreExport.h"
#include "store/DataFile.h"
#include "tool/Tool.h"

#include <QCommandLineParser>
#include <QDir>
#include <QSaveFile>

namespace kvx::tool {

int runExport(const QStringList& args)
{
    QCommandLineParser p;
    const QCommandLineOption programDir = programDirOption();
    const QCommandLineOption dataDir = dataDirOption();
    const QCommandLineOption outFile(QStringLiteral("out"),
                                     QStringLiteral("Write the CSV to FILE (default: standard "
                                                    "output)."),
                                     QStringLiteral("FILE"));
    const QCommandLineOption withNames(QStringLiteral("with-names"),
                                       QStringLiteral("Include the clients' names."));
    p.addOptions({programDir, dataDir, outFile, withNames});
    if (!parseArgs(p, args))
        return 1;
    if (!p.isSet(programDir) || !p.isSet(dataDir))
        return fail(QStringLiteral("export: --program-dir DIR and --data-dir DIR are required"));
    if (!QDir(p.value(programDir)).exists())
        return fail(QStringLiteral("export: no folder %1").arg(p.value(programDir)));

    Session s;
    s.ProgramDir = p.value(programDir);
    SetDataPath(s, p.value(dataDir));
    if (!QDir(s.DataPath).exists())
        return fail(QStringLiteral("export: no folder %1").arg(s.DataPath));
    if (const Status st = ReadAllClients(s); !st)
        return fail(st.error().message);
    const Result<ScoringTables> t = LoadScoringTables(s.ProgramDir);
    if (!t)
        return fail(t.error().message);
    const QByteArray csv = ExportScoresCsv(s, *t, p.isSet(withNames)).toUtf8();

    if (!p.isSet(outFile)) {
        out().flush();
        std::fwrite(csv.constData(), 1, static_cast<size_t>(csv.size()), stdout);
        return std::fflush(stdout) == 0 ? 0 : fail(QStringLiteral("export: cannot write"));
    }
    QSaveFile f(p.value(outFile));
    if (!f.open(QIODevice::WriteOnly) || f.write(csv) != csv.size() || !f.commit())
        return fail(QStringLiteral("export: %1: %2").arg(p.value(outFile), f.errorString()));
    return 0;
}

} // namespace kvx::tool
