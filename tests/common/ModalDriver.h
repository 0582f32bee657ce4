#pragma once

// Drives modal dialogs from Qt Test code: exec() blocks the test, so the action on the dialog is
// queued first and runs from the event loop once the dialog is up. A dialog that never appears is
// reported after the timeout; one the action leaves open is rejected, so a test never hangs.

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

namespace kvx::test {

// A child by object name; reports a test failure (and returns null) when there is none.
template <typename T> T* child(QWidget* parent, const char* name)
{
    T* w = parent ? parent->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    if (!w)
        QTest::qFail(qPrintable(QStringLiteral("no child named %1").arg(QLatin1String(name))),
                     __FILE__, __LINE__);
    return w;
}

class ModalDriver
{
public:
    // Runs action on the next modal dialog of type Dialog that is not the one active now.
    template <typename Dialog = QDialog>
    void onModal(std::function<void(Dialog*)> action, int timeoutMs = 5000)
    {
        ++state_->pending;
        const QPointer<QWidget> before = QApplication::activeModalWidget();
        const QDeadlineTimer deadline(timeoutMs);
        auto poll = std::make_shared<std::function<void()>>();
        std::weak_ptr<std::function<void()>> weak = poll;
        std::shared_ptr<State> state = state_;
        *poll = [state, before, deadline, action, weak, timeoutMs]() {
            QWidget* w = QApplication::activeModalWidget();
            auto* d = qobject_cast<Dialog*>(w);
            if (d && w != before && d->isVisible()) {
                const QPointer<QDialog> guard = d;
                action(d);
                --state->pending;
                // An action that failed halfway must not leave the test blocked.
                QTimer::singleShot(timeoutMs, [state, guard] {
                    if (guard && guard->isVisible()) {
                        state->failures
                            << QStringLiteral("a dialog stayed open: %1").arg(guard->objectName());
                        guard->reject();
                    }
                });
                return;
            }
            if (deadline.hasExpired()) {
                --state->pending;
                state->failures << QStringLiteral("no modal %1 appeared")
                                       .arg(QLatin1String(Dialog::staticMetaObject.className()));
                return;
            }
            if (auto p = weak.lock())
                QTimer::singleShot(10, [p] { (*p)(); });
        };
        keep_.push_back(poll);
        QTimer::singleShot(0, [poll] { (*poll)(); });
    }

    // Every queued action has run.
    bool allDone() const { return state_->pending == 0; }
    const QStringList& failures() const { return state_->failures; }

private:
    struct State
    {
        int pending = 0;
        QStringList failures;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
    std::vector<std::shared_ptr<std::function<void()>>> keep_;
};

} // namespace kvx::test
