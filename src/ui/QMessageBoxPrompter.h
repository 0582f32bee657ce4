#pragma once

#include "ui/Prompter.h"

class QWidget;

namespace kvx {

// The Prompter of the running program: a modal QMessageBox over the active window.
class QMessageBoxPrompter : public Prompter
{
public:
    Answer Message(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
    void Beep() override;
};

} // namespace kvx
