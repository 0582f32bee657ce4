#pragma once

#include "store/Session.h"

#include <QCommandLineParser>

namespace kvx::tool {

// The options that pick an installation, a data disk and a client on it, shared by the
// commands that work on one client.
struct ClientOptions
{
    explicit ClientOptions(QString command);

    // Parses args and loads the data disk into s with CurClient set; a non-zero return is
    // the exit status after the message has been printed.
    int load(const QStringList& args, Session& s);

    QString command;
    QCommandLineParser parser;
    QCommandLineOption programDir;
    QCommandLineOption dataDir;
    QCommandLineOption client;
};

} // namespace kvx::tool
