#pragma once

#include "common/ScriptedPrompter.h"
#include "common/TestSupport.h"
#include "store/ClientRecord.h"

namespace kvx::test {

// A data disk: identity file (none when null), records "Client 1".. (no data file when n < 0).
inline bool makeDataDisk(const QString& folder, const char* identity, int clients)
{
    QByteArray bytes;
    for (int i = 1; i <= clients; ++i) {
        ClientRecord r;
        (void)r.setText(Field::Name, QStringLiteral("Client %1").arg(i));
        bytes += r.bytes();
    }
    return QDir().mkpath(folder) &&
           (!identity || writeBytes(folder + QStringLiteral("/TID"), identity)) &&
           (clients < 0 || writeBytes(folder + QStringLiteral("/DATA401.KVX"), bytes));
}

} // namespace kvx::test
