#pragma once

#include "common/TestSupport.h"
#include "store/ClientRecord.h"

#include <QDir>
#include <QString>

namespace kvx::test {

// n client records named "Client 1" ... "Client n".
inline QByteArray clientRecords(int n)
{
    QByteArray bytes;
    for (int i = 1; i <= n; ++i) {
        ClientRecord r;
        (void)r.setText(Field::Name, QStringLiteral("Client %1").arg(i));
        bytes += r.bytes();
    }
    return bytes;
}

// A data disk folder: the identity line (none when null) and n records (no file when n < 0).
inline bool makeDataDisk(const QString& folder, const char* identity, int clients)
{
    if (!QDir().mkpath(folder))
        return false;
    if (identity && !writeBytes(folder + QStringLiteral("/TID"), identity))
        return false;
    return clients < 0 ||
           writeBytes(folder + QStringLiteral("/DATA401.KVX"), clientRecords(clients));
}

} // namespace kvx::test
