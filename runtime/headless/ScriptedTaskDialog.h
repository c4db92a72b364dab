// A native task dialog without a screen: records what it was asked to show, plays scripted
// notifications into the dialog's callback and closes with the scripted answer.
#pragma once
#include "runtime/NativeTaskDialog.h"
#include "runtime/WinConst.h"
#include <deque>
#include <string>
#include <vector>

namespace qb {

struct TScriptedNotification {
    unsigned Notification = 0; // TDN_*
    TWParam WParam = 0;
    std::u16string Link; // the text that lParam points to for TDN_HYPERLINK_CLICKED
};

struct TScriptedDialogAnswer {
    int Button = win::IDOK;
    int RadioButton = 0;
    bool VerificationChecked = false;
    // Delivered after TDN_CREATED, in order, before the closing click.
    std::vector<TScriptedNotification> Notifications;
};

struct TSentMessage {
    THandle Window = 0;
    unsigned Message = 0;
    TWParam WParam = 0;
    TLParam LParam = 0;
    std::u16string Text; // copy of the UTF-16 text for TDM_UPDATE_ELEMENT_TEXT / TDM_SET_ELEMENT_TEXT
};

class TScriptedTaskDialog : public INativeTaskDialogHost {
public:
    bool Comctl32Loads = true;
    bool TaskDialogIndirectExists = true;
    THandle Window = 0x5150;
    // Answers are taken in order; with none left the dialog closes with IDOK.
    std::deque<TScriptedDialogAnswer> Answers;
    // Every configuration shown, in order (text pointers copied as values).
    std::vector<TNativeTaskDialogConfig> Shown;
    // Every message sent to a dialog window.
    std::vector<TSentMessage> Sent;
    // What the callback returned for each notification delivered, in order.
    std::vector<int32_t> CallbackResults;

    bool LoadComctl32() override;
    bool HasTaskDialogIndirect() override;
    int32_t TaskDialogIndirect(const TNativeTaskDialogConfig& config, int* button,
                               int* radioButton, bool* verificationChecked) override;
    TLParam SendMessage(THandle window, unsigned message, TWParam wParam,
                        TLParam lParam) override;
};

} // namespace qb
