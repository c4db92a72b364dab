// The emulated dialog window, used where the native task dialog is missing or emulation is
// forced.
#pragma once

namespace qb {

class TCustomTaskDialog;
class TMessageForm;

// Builds the window from the dialog, runs it modally at left/top (-1: centred) and returns its
// modal result, or -1 when no window could be shown.
int ExecuteMessageForm(TCustomTaskDialog& dialog, int left, int top);
// The dialog's texts changed while the window is shown: measure and lay out again.
void RefreshMessageForm(TMessageForm& form);
// Closes the window as its close box would.
void CloseMessageForm(TMessageForm& form);

} // namespace qb
