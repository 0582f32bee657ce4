// The yardstick for start-up time: a Qt Widgets program that shows one window and quits as
// soon as the event loop runs, as kvx --exit-when-ready does once its main menu is up.
#include <QApplication>
#include <QLabel>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("one window"));
    window.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return QApplication::exec();
}
