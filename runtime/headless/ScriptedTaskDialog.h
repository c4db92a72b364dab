// A native task dialog without a screen: records what it was asked to show, plays scripted
// notifications into the dialog's callback and closes with the scripted answer.
//
// One TaskDialogIndirect call plays, in order:
//   1. TDN_CREATED, then, as the real dialog does, TDN_RADIO_BUTTON_CLICKED for the default
//      radio button: DefaultRadioButton when the dialog has it, else the first one unless
//      TDF_NO_DEFAULT_RADIO_BUTTON is set;
//   2. the answer's Notifications (a TDN_HYPERLINK_CLICKED gets lParam = the NUL-terminated
//      Link; a TDN_BUTTON_CLICKED is a click: when the callback returns 0 the dialog closes
//      with that id and the rest of the script is skipped);
//   3. unless closed already, the closing click: TDN_BUTTON_CLICKED with answer.Button. When the
//      callback vetoes it (returns non-zero) the scripted user gives up: the dialog closes with
//      button 0, as if ended by the system.
// A TDM_CLICK_BUTTON sent while the dialog runs delivers TDN_BUTTON_CLICKED for that id at once
// (nested in the current notification, as the real dialog does) when the dialog has such a
// button; when the callback returns 0 the dialog closes with that id after the current
// notification. The outputs are the closing id, answer.RadioButton and
// answer.VerificationChecked. A dialog opened from inside a callback gets window Window + depth.
#pragma once
#include "runtime/NativeTaskDialog.h"
#include "runtime/WinConst.h"
#include <deque>
#include <string>
#include <vector>

namespace qb {

struct TScriptedNotification {
    unsigned Notification = 0; // TDN_*
    TWParam WParam = 0;        // button or radio id, checked state, milliseconds for TDN_TIMER
    std::u16string Link;       // the text that lParam points to for TDN_HYPERLINK_CLICKED
};

struct TScriptedDialogAnswer {
    int Button = win::IDOK;
    int RadioButton = 0;
    bool VerificationChecked = false;
    // Delivered after TDN_CREATED, in order, before the closing click.
    std::vector<TScriptedNotification> Notifications;

    // An answer without notifications (brace-initialising only some fields warns under -Wextra).
    static TScriptedDialogAnswer Click(int button, int radioButton = 0,
                                       bool verificationChecked = false) {
        TScriptedDialogAnswer answer;
        answer.Button = button;
        answer.RadioButton = radioButton;
        answer.VerificationChecked = verificationChecked;
        return answer;
    }
    // Appends count TDN_TIMER notifications, intervalMs apart, wParam counting the milliseconds
    // since the first timer notification of the script.
    TScriptedDialogAnswer& AddTimerTicks(int count, int intervalMs = 200);
};

struct TSentMessage {
    THandle Window = 0;
    unsigned Message = 0;
    TWParam WParam = 0;
    TLParam LParam = 0;
    std::u16string
        Text; // copy of the UTF-16 text for TDM_UPDATE_ELEMENT_TEXT / TDM_SET_ELEMENT_TEXT
};

// One notification as the callback got it, in the order of the calls (a nested notification
// comes after the one it is nested in).
struct TDeliveredNotification {
    THandle Window = 0;
    unsigned Notification = 0;
    TWParam WParam = 0;
    std::u16string Link;
    int32_t Result = 0;
};

class TScriptedTaskDialog : public INativeTaskDialogHost {
public:
    bool Comctl32Loads = true;
    bool TaskDialogIndirectExists = true;
    THandle Window = 0x5150;
    // LoadSystemIcon answers SystemIconHandle; false: the system has no icons.
    bool SystemIconsLoad = true;
    static constexpr THandle SystemIconHandle(int id, bool small) {
        return (small ? 0x20000u : 0x10000u) + static_cast<THandle>(id);
    }
    // Answers are taken in order; with none left the dialog closes with IDOK.
    std::deque<TScriptedDialogAnswer> Answers;
    // Every configuration shown, in order (text pointers copied as values).
    std::vector<TNativeTaskDialogConfig> Shown;
    // Every message sent to a dialog window.
    std::vector<TSentMessage> Sent;
    // What the callback returned for each notification delivered, in order.
    std::vector<int32_t> CallbackResults;
    // Each notification delivered, with its result (parallel to CallbackResults).
    std::vector<TDeliveredNotification> Delivered;

    bool LoadComctl32() override;
    bool HasTaskDialogIndirect() override;
    int32_t TaskDialogIndirect(const TNativeTaskDialogConfig& config, int* button, int* radioButton,
                               bool* verificationChecked) override;
    THandle LoadSystemIcon(int id, bool small) override;
    TLParam SendMessage(THandle window, unsigned message, TWParam wParam, TLParam lParam) override;

private:
    struct TRun {
        const TNativeTaskDialogConfig* Config = nullptr;
        THandle Window = 0;
        bool Closed = false;
        int Result = 0;
        int ClickDepth = 0;
    };
    int32_t Deliver(TRun& run, unsigned notification, TWParam wParam, const std::u16string& link);
    void Click(TRun& run, int id);
    static bool HasButton(const TNativeTaskDialogConfig& config, int id);
    // The radio button the dialog checks at the start; 0 when none.
    static const TNativeButton* DefaultRadio(const TNativeTaskDialogConfig& config);
    std::vector<TRun*> Running_;
};

} // namespace qb
