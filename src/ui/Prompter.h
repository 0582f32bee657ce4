#pragma once

#include <QString>

namespace kvx {

// The title message boxes carry when no title of their own is given.
inline const QString kAppTitle = QStringLiteral("KVX");

// Every message box, question and beep goes through this interface, so that screens can be
// driven by tests with a scripted fake.
class Prompter
{
public:
    enum class Icon
    {
        None,
        Information,
        Warning,
        Critical,
        Question
    };
    enum class Buttons
    {
        Ok,
        OkCancel,
        YesNo,
        YesNoDefaultNo, // Yes and No, No the default: for a Yes that loses work
        YesNoCancel,
        RetryCancel,
        OkFromFileCancel // OK, "From File...", Cancel: where a scanned sheet comes from
    };
    enum class Answer
    {
        Ok,
        Cancel,
        Yes,
        No,
        Retry,
        FromFile
    };

    virtual ~Prompter() = default;

    // Shows a message and returns the button chosen. An empty title means kAppTitle.
    virtual Answer Message(const QString& text, Buttons buttons = Buttons::Ok,
                           Icon icon = Icon::None, const QString& title = QString()) = 0;
    virtual void Beep() = 0;
};

} // namespace kvx
