#include "dialogs/MessageForm.h"
#include "dialogs/TaskDialog.h"

namespace qb {

// The emulated window does not exist yet: nothing can be shown this way.
int ExecuteMessageForm(TCustomTaskDialog& dialog, int left, int top) {
    (void)dialog;
    (void)left;
    (void)top;
    return -1;
}

void RefreshMessageForm(TMessageForm& form) {
    (void)form;
}

void CloseMessageForm(TMessageForm& form) {
    (void)form;
}

} // namespace qb
