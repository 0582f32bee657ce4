#include "tool/Tool.h"

#include "store/MessageFilter.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <QRegularExpression>

#include <array>
#include <cstdio>
#include <cstdlib>
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

namespace {

const char* currentCommand = "";
const char* currentSummary = "";

const char* const kExitStatus = "exit status: 0 done, 1 the command failed or its options are "
                                "wrong, 2 no known command given\n";

bool isHelp(const QString& arg)
{
    return arg == QLatin1String("--help") || arg == QLatin1String("-h");
}

} // namespace

bool parseArgs(QCommandLineParser& parser, const QStringList& args)
{
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    parser.addOption(help);
    if (!parser.parse(QStringList{QStringLiteral("kvxtool")} + args)) {
        fail(parser.errorText());
        return false;
    }
    if (!parser.isSet(help))
        return true;
    // The parser's own text, under this command's name and summary.
    QString text = parser.helpText();
    text.replace(QRegularExpression(QStringLiteral("^Usage: \\S+")),
                 QStringLiteral("usage: kvxtool ") + QLatin1String(currentCommand));
    const qsizetype firstLineEnd = text.indexOf(u'\n');
    text.insert(firstLineEnd + 1, u'\n' + QLatin1String(currentSummary) + u'\n');
    out() << text << '\n' << kExitStatus;
    out().flush();
    std::exit(0);
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

void writeUsage(QTextStream& s, bool full)
{
    s << "usage: kvxtool COMMAND [OPTIONS]\n";
    if (full)
        s << "       kvxtool COMMAND --help\n       kvxtool --help | --version\n\n"
             "Works on KVX installations and data disks from the command line.\n";
    s << "\ncommands:\n";
    for (const Command& c : kCommands)
        s << "  " << QString::fromLatin1(c.name).leftJustified(16) << c.summary << '\n';
    if (full)
        s << "\noptions:\n  -h, --help      show this help and exit\n"
             "  --version       show the version and exit\n\n"
             "\"kvxtool COMMAND --help\" lists the options of a command.\n"
          << kExitStatus;
    s.flush();
}

int usage()
{
    writeUsage(err(), false);
    return 2;
}

} // namespace
} // namespace kvx::tool

int main(int argc, char** argv)
{
    using namespace kvx::tool;
    kvx::installMessageFilter();
    if (argc < 2)
        return usage();
    const QString name = QString::fromLocal8Bit(argv[1]);
    if (isHelp(name) || name == QLatin1String("help")) {
        writeUsage(out(), true);
        return 0;
    }
    if (name == QLatin1String("--version")) {
        out() << "kvxtool " << KVX_VERSION << '\n';
        out().flush();
        return 0;
    }
    for (const Command& c : kCommands) {
        if (name != QLatin1String(c.name))
            continue;
        currentCommand = c.name;
        currentSummary = c.summary;
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
    err() << "kvxtool: unknown command \"" << name << "\"\n";
    return usage();
}
