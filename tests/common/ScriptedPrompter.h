#pragma once

#include "ui/Prompter.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

namespace kvx::test {

// A Prompter for tests: records every message and beep, and answers from a queue. With the
// queue empty it answers with the default button of the set (Ok or Yes or Retry, No for
// YesNoDefaultNo).
class ScriptedPrompter : public Prompter
{
public:
    struct Shown
    {
        QString text;
        Buttons buttons;
        Icon icon;
        QString title; // as passed; empty means the application title
    };

    Answer Message(const QString& text, Buttons buttons, Icon icon, const QString& title) override
    {
        shown.push_back({text, buttons, icon, title});
        if (onMessage)
            onMessage(shown.back());
        if (!answers.empty()) {
            const Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        switch (buttons) {
        case Buttons::YesNoDefaultNo:
            return Answer::No;
        case Buttons::YesNo:
        case Buttons::YesNoCancel:
            return Answer::Yes;
        case Buttons::RetryCancel:
            return Answer::Retry;
        default:
            return Answer::Ok;
        }
    }

    void Beep() override { ++beeps; }

    // The text of the last message, or empty.
    QString lastText() const { return shown.isEmpty() ? QString() : shown.back().text; }
    // Every message so far as "title: text".
    QStringList said() const
    {
        QStringList all;
        for (const Shown& m : shown)
            all << m.title + ": " + m.text;
        return all;
    }

    QList<Shown> shown;
    std::deque<Answer> answers;
    int beeps = 0;
    // Called while a message is "on screen", before it is answered.
    std::function<void(const Shown&)> onMessage;
};

} // namespace kvx::test
