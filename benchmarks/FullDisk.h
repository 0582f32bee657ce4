#pragma once

// A full data disk (51 varied clients) and an installation with 20-line paragraphs, in
// temporary folders: what the printing and verification benchmarks work on.
#include "scoring/ScoringFixture.h"
#include "store/DataFile.h"

#include <QTemporaryDir>

#include <cstdlib>

namespace kvx::bench {

struct FullDisk
{
    QTemporaryDir program{QStringLiteral("./kvxbench-XXXXXX")};
    QTemporaryDir data{QStringLiteral("./kvxbench-XXXXXX")};
    Session s;
    QList<int> all; // 1..51

    FullDisk()
    {
        test::writeInstallation(program.path(), 20);
        s.ProgramDir = program.path();
        SetDataPath(s, data.path());
        if (!ReadAllClients(s, MissingDataFile::Create)) // an empty data file to write to
            std::abort();
        for (int n = 1; n <= kMaxClients; ++n) {
            test::ClientFixture c;
            c.name = QStringLiteral("Client %1").arg(n);
            QByteArray a = test::neutralAnswers();
            for (int i = 1; i <= kItemCount; ++i)
                if ((i * n) % 7 == 0)
                    a[i - 1] = '1';
            c.answers = a;
            c.court[12] = QString::number(n % 4);
            c.court[13] = QString::number(n % 3);
            s.client(n) = c.record();
            if (!WriteClient(s, n))
                std::abort();
            all.append(n);
        }
        if (!ReadAllClients(s))
            std::abort();
    }
};

} // namespace kvx::bench
