#pragma once
// Driving a real dialog with keys, as staff would.
#include <QApplication>
#include <QDialog>
#include <QTest>

namespace kvx::test {

inline bool openScreen(QDialog& screen)
{
    screen.show();
    QApplication::setActiveWindow(&screen);
    const bool active = QTest::qWaitForWindowActive(&screen);
    QCoreApplication::processEvents(); // the screen's start-up
    return active;
}

inline QWidget* focused()
{
    return QApplication::focusWidget();
}

// A key to the control with the focus, then the screen's pending work (select-all).
inline void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::keyClick(focused(), key, mods);
    QCoreApplication::processEvents();
}

inline void type(const QString& text, bool thenEnter = false)
{
    QTest::keyClicks(focused(), text);
    QCoreApplication::processEvents();
    if (thenEnter)
        press(Qt::Key_Return);
}

inline void focusOn(QWidget* w)
{
    w->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
}

} // namespace kvx::test
