#pragma once

// What a screen reader meets under a window: every control that has no accessible name.

#include <QAccessible>
#include <QStringList>
#include <QWidget>

namespace kvx::test {

namespace detail {

inline void collectUnnamed(QAccessibleInterface* node, QStringList& out, int depth)
{
    if (!node || !node->isValid() || depth > 40)
        return;
    const QAccessible::State state = node->state();
    if (state.invisible || state.offscreen)
        return;
    const QAccessible::Role role = node->role();
    // Scroll bars and their parts are named by their own kind; the rest should say what it is.
    const bool exempt = role == QAccessible::ScrollBar || role == QAccessible::Indicator ||
                        role == QAccessible::PageTab;
    if (!exempt && node->text(QAccessible::Name).trimmed().isEmpty()) {
        QObject* o = node->object();
        QString what = o ? QString::fromLatin1(o->metaObject()->className()) : QStringLiteral("?");
        if (o && !o->objectName().isEmpty())
            what += u' ' + o->objectName();
        out << QStringLiteral("%1 (role %2)").arg(what).arg(int(role));
    }
    if (role == QAccessible::ScrollBar)
        return;
    for (int i = 0; i < node->childCount(); ++i)
        collectUnnamed(node->child(i), out, depth + 1);
}

} // namespace detail

// The controls under root (root included) that are shown but have no accessible name.
inline QStringList unnamedControls(QWidget* root)
{
    QStringList out;
    detail::collectUnnamed(QAccessible::queryAccessibleInterface(root), out, 0);
    return out;
}

} // namespace kvx::test
