#include "tool/Tool.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <array>
#include <cstdio>
#include <memory>

namespace kvx::tool {

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}

int fail(const QString& message)
{
    out().flush();
    err() << "kvxtool: " << message << Qt::endl;
    return 1;
}

QCommandLineOption programDirOption()
{
    return {QStringLiteral("program-dir"), QStringLiteral("The installation folder."),
            QStringLiteral("DIR")};
}

QCommandLineOption dataDirOption()
{
    return {QStringLiteral("data-dir"), QStringLiteral("The data disk folder."),
            QStringLiteral("DIR")};
}

bool parseArgs(QCommandLineParser& parser, const QStringList& args)
{
    if (parser.parse(QStringList{QStringLiteral("kvxtool")} + args))
        return true;
    fail(parser.errorText());
    return false;
}

namespace {

constexpr std::array kCommands = {
    Command{"list", "list the clients of a data disk", false, &runList},
    Command{"sheet", "draw the answer sheet (PDF or PNG), optionally marked", true, &runSheet},
    Command{"read-sheet", "read an answer-sheet image and print its values", false, &runReadSheet},
    Command{"scan", "acquire one page from a scanner", false, &runScan},
    Command{"score", "score a client (--json for the results as JSON)", false, &runScore},
    Command{"report", "score a client and write REPORT.PRN", false, &runReport},
    Command{"print", "print clients' reports (printer, raw port or one PDF file)", true, &runPrint},
    Command{"check-install", "check an installation folder", false, &runCheckInstall},
    Command{"export", "write every client's scores as CSV", false, &runExport},
};

int usage()
{
    err() << "usage: kvxtool COMMAND [OPTIONS]\n\ncommands:\n";
    for (const Command& c : kCommands)
        err() << "  " << QString::fromLatin1(c.name).leftJustified(16) << c.summary << '\n';
    err().flush();
    return 2;
}

} // namespace
} // namespace kvx::tool

int main(int argc, char** argv)
{
    using namespace kvx::tool;
    if (argc < 2)
        return usage();
    const QString name = QString::fromLocal8Bit(argv[1]);
    for (const Command& c : kCommands) {
        if (name != QLatin1String(c.name))
            continue;
        std::unique_ptr<QCoreApplication> app;
        if (c.needsGui) {
            // Runs without a display: rendering and printing need no screen.
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            app = std::make_unique<QGuiApplication>(argc, argv);
        } else {
            app = std::make_unique<QCoreApplication>(argc, argv);
        }
        QStringList args = QCoreApplication::arguments();
        args.remove(0, 2);
        const int rc = c.run(args);
        out().flush();
        err().flush();
        return rc;
    }
    return usage();
}
