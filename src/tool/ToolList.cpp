#include "store/DataFile.h"
#include "tool/Tool.h"

#include <QCommandLineParser>

namespace kvx::tool {

int runList(const QStringList& args)
{
    QCommandLineParser p;
    const QCommandLineOption dataDir = dataDirOption();
    p.addOption(dataDir);
    if (!parseArgs(p, args))
        return 1;
    if (!p.isSet(dataDir))
        return fail(QStringLiteral("list: --data-dir DIR is required"));

    Session s;
    SetDataPath(s, p.value(dataDir));
    if (const Status st = ReadAllClients(s); !st)
        return fail(st.error().message);
    out() << s.NumClients << '\n';
    for (int n = 1; n <= s.NumClients; ++n)
        out() << ClientListLine(s, n) << '\n';
    return 0;
}

} // namespace kvx::tool
