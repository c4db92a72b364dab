// The native task dialog seam: the values of a TASKDIALOGCONFIG in portable form.
// runtime/win32 fills the real structure and calls TaskDialogIndirect; runtime/headless plays
// a scripted dialog that delivers notifications to the same callback.
#pragma once
#include "runtime/Types.h"
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qb {

// Same meaning as PFTASKDIALOGCALLBACK; the reference data is lpCallbackData.
// For TDN_HYPERLINK_CLICKED, lParam points to a NUL-terminated UTF-16 string.
using TNativeDialogCallback = int32_t (*)(THandle window, unsigned notification, TWParam wParam,
                                          TLParam lParam, intptr_t referenceData);

struct TNativeButton {
    int Id = 0;
    std::u16string Text; // at most 1023 units
};

struct TNativeTaskDialogConfig {
    THandle Parent = 0;
    uint32_t Flags = 0;
    uint32_t CommonButtons = 0;
    // nullopt stands for a null text pointer.
    std::optional<std::u16string> WindowTitle;
    std::optional<std::u16string> MainInstruction;
    std::optional<std::u16string> Content;
    std::optional<std::u16string> Footer;
    std::optional<std::u16string> ExpandedControlText;
    std::optional<std::u16string> CollapsedControlText;
    std::optional<std::u16string> ExpandedInformation;
    std::optional<std::u16string> VerificationText;
    // A resource id (MAKEINTRESOURCE) or, with TDF_USE_HICON_MAIN / _FOOTER, an icon handle;
    // 0 = none.
    uintptr_t MainIcon = 0;
    uintptr_t FooterIcon = 0;
    std::vector<TNativeButton> Buttons;
    std::vector<TNativeButton> RadioButtons;
    int DefaultButton = 0;
    int DefaultRadioButton = 0;
    unsigned Width = 0;
    TNativeDialogCallback Callback = nullptr;
    intptr_t CallbackData = 0;
};

class INativeTaskDialogHost {
public:
    virtual ~INativeTaskDialogHost() = default;
    // LoadLibraryA("comctl32.dll") gave a handle of 32 or above.
    virtual bool LoadComctl32() = 0;
    // GetProcAddress(comctl32, "TaskDialogIndirect") found it.
    virtual bool HasTaskDialogIndirect() = 0;
    // Runs the dialog modally; the outputs start at 0. Returns the HRESULT.
    virtual int32_t TaskDialogIndirect(const TNativeTaskDialogConfig& config, int* button,
                                       int* radioButton, bool* verificationChecked) = 0;
    // A system icon (IDI_*) at the big or the small icon size, shared and never destroyed, for
    // the USE_HICON flags; 0 when the system has no such icon.
    virtual THandle LoadSystemIcon(int id, bool small) = 0;
    // SendMessage to the dialog window (TDM_* messages).
    virtual TLParam SendMessage(THandle window, unsigned message, TWParam wParam,
                                TLParam lParam) = 0;
};

} // namespace qb
