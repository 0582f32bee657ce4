#pragma once

#include "store/Session.h"
#include "ui/Prompter.h"

class QWidget;

namespace kvx {

// Show the intake screens modally for the current client, as the screen chains open them;
// each reports through Session::ScreenAccepted. The flags EditMode and ScanEditMode are the
// caller's to set first.
void ShowClientInformation(Session& session, Prompter& prompter, QWidget* parent);
void ShowCourtHistory(Session& session, Prompter& prompter, QWidget* parent);

} // namespace kvx
