#include "app/Shell.h"
#include "app/SingleInstance.h"
#include "app/StartupOptions.h"
#include "app/frmMainMenu.h"
#include "kvx/AppScreens.h"
#include "store/MessageFilter.h"
#include "ui/QMessageBoxPrompter.h"
#include "ui/ScreenConventions.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QElapsedTimer clock;
    clock.start();
    // Help and version need no display.
    QStringList raw;
    for (int i = 0; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    switch (kvx::earlyRequest(raw)) {
    case kvx::EarlyRequest::Help:
        std::fputs(qPrintable(kvx::startupHelp()), stdout);
        return 0;
    case kvx::EarlyRequest::Version:
        std::printf("kvx %s\n", KVX_VERSION);
        return 0;
    case kvx::EarlyRequest::None:
        break;
    }
    kvx::installMessageFilter();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KVX"));

    const auto options =
        kvx::parseStartupOptions(QApplication::arguments(), qEnvironmentVariable("KVX_HOME"),
                                 QApplication::applicationDirPath());
    if (!options) {
        std::fprintf(stderr, "kvx: %s\n", qPrintable(options.error().message));
        return 2;
    }

    kvx::ShowBusy();
    kvx::SingleInstance single(options->programDir);
    if (!single.claim())
        return 0; // the running copy has come to the front

    kvx::Session session;
    kvx::QMessageBoxPrompter prompter;
    kvx::AppScreens screens(session, prompter);
    kvx::Shell shell(session, prompter, screens);
    if (!shell.StartUp(*options)) {
        kvx::ShowNormal();
        return 1;
    }

    kvx::frmMainMenu* menu = shell.mainMenu();
    QObject::connect(menu, &kvx::frmMainMenu::programEnded, &app,
                     [](int code) { QCoreApplication::exit(code); });
    QObject::connect(&single, &kvx::SingleInstance::raiseRequested, menu, [menu] {
        if (menu->isMinimized())
            menu->showNormal();
        menu->raise();
        menu->activateWindow();
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->raise();
            modal->activateWindow();
        }
    });

    if (options->exitWhenReady) {
        QTimer::singleShot(0, &app, [&clock] {
            std::printf("main menu ready after %lld ms\n", static_cast<long long>(clock.elapsed()));
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    }
    return QApplication::exec();
}
