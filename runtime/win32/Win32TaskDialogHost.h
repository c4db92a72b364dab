// The native task dialog of comctl32 version 6, found by name at run time.
#pragma once
#include "runtime/NativeTaskDialog.h"

namespace qb {

class Win32TaskDialogHost : public INativeTaskDialogHost {
public:
    bool LoadComctl32() override;
    bool HasTaskDialogIndirect() override;
    int32_t TaskDialogIndirect(const TNativeTaskDialogConfig& config, int* button, int* radioButton,
                               bool* verificationChecked) override;
    THandle LoadSystemIcon(int id, bool small) override;
    TLParam SendMessage(THandle window, unsigned message, TWParam wParam, TLParam lParam) override;

private:
    // comctl32 stays loaded for the life of the process once a dialog has needed it.
    void* Comctl32 = nullptr;
    void* TaskDialogIndirectAddress = nullptr;
};

} // namespace qb
