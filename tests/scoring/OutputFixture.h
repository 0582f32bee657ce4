#pragma once

// An installation and a data disk with clients "Client 1" to "7".

#include "scoring/ReportOutput.h"
#include "scoring/ReportWriter.h"
#include "scoring/ScoringFixture.h"

#include "common/TestSupport.h"
#include "store/DataFile.h"

#include <QRegularExpression>

#include <cstdlib>
#include <functional>

namespace kvx::test {

struct OutputInstall
{
    OutputInstall()
    {
        writeInstallation(program.path());
        s.ProgramDir = program.path();
        SetDataPath(s, data.path());
        if (!ReadAllClients(s, MissingDataFile::Create)) // an empty data file to write to
            std::abort();
        for (int n = 1; n <= 7; ++n) {
            // Client 1 scores on ALCOHOL and VIOLENCE, with arrest floors.
            ClientFixture c =
                n == 1 ? clientWith("12=2;13=1", answered({{21, 23, '1'}})) : ClientFixture();
            c.name = QStringLiteral("Client %1").arg(n);
            s.client(n) = c.record();
            if (!WriteClient(s, n))
                std::abort();
        }
        if (!ReadAllClients(s))
            std::abort();
    }
    QString file(const QString& name) const { return QDir(program.path()).filePath(name); }
    QByteArray report() const { return readBytes(file(kReportFileName)); }

    QTemporaryDir program, data;
    Session s;
};

// Notes each report it prints and how many batch copies stood beside it; onPrint runs first,
// and the failAt-th print fails as an offline printer does.
struct RecordingPrinter : ReportPrinter
{
    Status PrintReportFile(const QString& dir) override
    {
        printed << readBytes(QDir(dir).filePath(kReportFileName));
        copies << QDir(dir).entryList({QStringLiteral("temp*")}, QDir::Files).size();
        if (onPrint)
            onPrint();
        return failAt == printed.size() ? Status(Error{err::DeviceIo, QStringLiteral("offline")})
                                        : Status();
    }
    Status Finish() override
    {
        ++finished;
        return {};
    }

    QList<QByteArray> printed;
    QList<qsizetype> copies;
    std::function<void()> onPrint;
    qsizetype failAt = 0;
    int finished = 0;
};

inline int pdfPageCount(const QByteArray& pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    return static_cast<int>(QString::fromLatin1(pdf).count(page));
}

} // namespace kvx::test
