#include "tool/ToolClient.h"

#include "install/Settings.h"
#include "store/DataFile.h"
#include "tool/Tool.h"

#include <QDir>

namespace kvx::tool {

ClientOptions::ClientOptions(QString cmd)
    : command(std::move(cmd)), programDir(programDirOption()), dataDir(dataDirOption()),
      client(QStringLiteral("client"), QStringLiteral("The client's record number."),
             QStringLiteral("N"))
{
    parser.addOption(programDir);
    parser.addOption(dataDir);
    parser.addOption(client);
}

int ClientOptions::load(const QStringList& args, Session& s)
{
    if (!parseArgs(parser, args))
        return 1;
    if (!parser.isSet(programDir) || !parser.isSet(dataDir) || !parser.isSet(client))
        return fail(QStringLiteral("%1: --program-dir DIR, --data-dir DIR and --client N are "
                                   "required")
                        .arg(command));
    if (!QDir(parser.value(programDir)).exists())
        return fail(QStringLiteral("%1: no folder %2").arg(command, parser.value(programDir)));
    s.ProgramDir = parser.value(programDir);
    s.BrandCode = Settings(s.ProgramDir).GetBrandCode();
    SetDataPath(s, parser.value(dataDir));
    if (!QDir(s.DataPath).exists())
        return fail(QStringLiteral("%1: no folder %2").arg(command, s.DataPath));
    if (const Status st = ReadAllClients(s); !st)
        return fail(st.error().message);
    bool ok = false;
    const int n = parser.value(client).toInt(&ok);
    if (!ok || n < 1 || n > s.NumClients)
        return fail(QStringLiteral("%1: the data disk has no client %2 (it holds %3)")
                        .arg(command, parser.value(client))
                        .arg(s.NumClients));
    s.CurClient = n;
    return 0;
}

} // namespace kvx::tool
