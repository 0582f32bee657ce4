#pragma once

// A temporary installation and data disk for the report output tests: clients named
// "Client 1", "Client 2", ... so that a report shows whose it is, and the reviewed
// reports under golden/ for fixed page shapes.

#include "scoring/ReportWriter.h"
#include "scoring/ScoringFixture.h"

#include "common/TestSupport.h"
#include "store/DataFile.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdlib>

namespace kvx::test {

class OutputInstall
{
public:
    explicit OutputInstall(int clients = 7)
    {
        writeInstallation(program.path());
        s.ProgramDir = program.path();
        SetDataPath(s, data.path());
        for (int n = 1; n <= clients; ++n) {
            ClientFixture c;
            c.name = QStringLiteral("Client %1").arg(n);
            QByteArray a = neutralAnswers();
            for (int i = n; i <= 94; i += 3 + n)
                a[i - 1] = '1';
            c.answers = a;
            s.client(n) = c.record();
            if (!WriteClient(s, n))
                std::abort();
        }
        if (!ReadAllClients(s))
            std::abort();
    }

    QString file(const QString& name) const { return QDir(program.path()).filePath(name); }
    QString reportFile() const { return file(kReportFileName); }
    QByteArray report() const { return readBytes(reportFile()); }

    // kvx.ini with [Settings] RawPrinter.
    void setRawPrinter(const QString& device)
    {
        writeBytes(file(QStringLiteral("kvx.ini")),
                   "[Settings]\r\nRawPrinter=" + device.toUtf8() + "\r\n");
    }

    QTemporaryDir program;
    QTemporaryDir data;
    Session s;
};

// A reviewed report: "normal.PRN" (three pages), "invalid.PRN" (one page, no form feed),
// "tenpages.PRN" (eleven pages, nine of them full).
inline QByteArray goldenReport(const char* name)
{
    return readBytes(qEnvironmentVariable("KVX_SOURCE_DIR") +
                     QStringLiteral("/tests/scoring/golden/") + QLatin1String(name));
}

// The pages of a PDF file as its page objects count them.
inline int pdfPageCount(const QByteArray& pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    return static_cast<int>(QString::fromLatin1(pdf).count(page));
}

} // namespace kvx::test
