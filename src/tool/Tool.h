#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace kvx::tool {

// Output streams of the command line; text goes out in the terminal's encoding.
QTextStream& out();
QTextStream& err();

// Prints "kvxtool: message" on standard error and returns the failure status.
int fail(const QString& message);

// The options most commands share.
QCommandLineOption programDirOption();
QCommandLineOption dataDirOption();
// Parses a subcommand's arguments; false after printing the parser's complaint.
bool parseArgs(QCommandLineParser& parser, const QStringList& args);

// One subcommand: its arguments exclude the program and subcommand names.
struct Command
{
    const char* name;
    const char* summary;
    bool needsGui; // needs a QGuiApplication (images, fonts, printing)
    int (*run)(const QStringList& args);
};

int runList(const QStringList& args);
int runSheet(const QStringList& args);
int runReadSheet(const QStringList& args);
int runScan(const QStringList& args);
int runScore(const QStringList& args);
int runReport(const QStringList& args);
int runPrint(const QStringList& args);
int runCheckInstall(const QStringList& args);
int runExport(const QStringList& args);

} // namespace kvx::tool
