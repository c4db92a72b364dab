#include "runtime/win32/WindowsApi.h"

#include "runtime/win32/Win32TaskDialogHost.h"
#include <exception>
#include <string>
#include <vector>

namespace qb {

namespace {

using TTaskDialogIndirect = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

// Longest caption a button buffer holds, without its terminator.
constexpr size_t MaxButtonText = 1023;

PCWSTR Wide(const std::u16string& text) {
    return reinterpret_cast<PCWSTR>(text.c_str());
}

PCWSTR Wide(const std::optional<std::u16string>& text) {
    return text ? Wide(*text) : nullptr;
}

// Captions and the structures pointing at them, alive until the dialog has closed.
struct TButtonArray {
    std::vector<std::u16string> Texts;
    std::vector<TASKDIALOG_BUTTON> Items;

    explicit TButtonArray(const std::vector<TNativeButton>& buttons) {
        Texts.reserve(buttons.size());
        for (const TNativeButton& button : buttons) {
            Texts.push_back(button.Text.substr(0, MaxButtonText));
        }
        Items.reserve(buttons.size());
        for (size_t i = 0; i < buttons.size(); ++i) {
            Items.push_back({buttons[i].Id, Wide(Texts[i])});
        }
    }
    UINT Count() const { return static_cast<UINT>(Items.size()); }
    const TASKDIALOG_BUTTON* Data() const { return Items.empty() ? nullptr : Items.data(); }
};

void ShowCallbackError(HWND window, const char* message) {
    ::MessageBoxA(window, message, "Quillbridge", MB_OK | MB_ICONERROR);
}

// Runs on the dialog's own message loop inside comctl32: nothing may unwind through it.
HRESULT CALLBACK DialogCallback(HWND window, UINT notification, WPARAM wParam, LPARAM lParam,
                                LONG_PTR referenceData) {
    const auto* config = reinterpret_cast<const TNativeTaskDialogConfig*>(referenceData);
    if (config == nullptr || config->Callback == nullptr) {
        return S_OK;
    }
    try {
        return config->Callback(reinterpret_cast<THandle>(window), notification, wParam, lParam,
                                config->CallbackData);
    } catch (const std::exception& error) {
        ShowCallbackError(window, error.what());
    } catch (...) {
        ShowCallbackError(window, "An unexpected error occurred.");
    }
    return S_OK;
}

} // namespace

bool Win32TaskDialogHost::LoadComctl32() {
    if (Comctl32 == nullptr) {
        HMODULE module = ::LoadLibraryA("comctl32.dll");
        if (reinterpret_cast<uintptr_t>(module) < 32) {
            return false;
        }
        Comctl32 = module;
    }
    return true;
}

bool Win32TaskDialogHost::HasTaskDialogIndirect() {
    if (TaskDialogIndirectAddress == nullptr && LoadComctl32()) {
        TaskDialogIndirectAddress = reinterpret_cast<void*>(
            ::GetProcAddress(static_cast<HMODULE>(Comctl32), "TaskDialogIndirect"));
    }
    return TaskDialogIndirectAddress != nullptr;
}

int32_t Win32TaskDialogHost::TaskDialogIndirect(const TNativeTaskDialogConfig& config, int* button,
                                                int* radioButton, bool* verificationChecked) {
    if (button != nullptr) {
        *button = 0;
    }
    if (radioButton != nullptr) {
        *radioButton = 0;
    }
    if (verificationChecked != nullptr) {
        *verificationChecked = false;
    }
    if (!HasTaskDialogIndirect()) {
        return E_NOTIMPL;
    }

    const TButtonArray buttons(config.Buttons);
    const TButtonArray radioButtons(config.RadioButtons);

    TASKDIALOGCONFIG native{};
    native.cbSize = sizeof native;
    native.hwndParent = reinterpret_cast<HWND>(config.Parent);
    native.hInstance = nullptr;
    native.dwFlags = config.Flags;
    native.dwCommonButtons = static_cast<TASKDIALOG_COMMON_BUTTON_FLAGS>(config.CommonButtons);
    native.pszWindowTitle = Wide(config.WindowTitle);
    // The same bits serve as a resource id or, with the USE_HICON flags, as an icon handle.
    native.pszMainIcon = reinterpret_cast<PCWSTR>(config.MainIcon);
    native.pszMainInstruction = Wide(config.MainInstruction);
    native.pszContent = Wide(config.Content);
    native.cButtons = buttons.Count();
    native.pButtons = buttons.Data();
    native.nDefaultButton = config.DefaultButton;
    native.cRadioButtons = radioButtons.Count();
    native.pRadioButtons = radioButtons.Data();
    native.nDefaultRadioButton = config.DefaultRadioButton;
    native.pszVerificationText = Wide(config.VerificationText);
    native.pszExpandedInformation = Wide(config.ExpandedInformation);
    native.pszExpandedControlText = Wide(config.ExpandedControlText);
    native.pszCollapsedControlText = Wide(config.CollapsedControlText);
    native.pszFooterIcon = reinterpret_cast<PCWSTR>(config.FooterIcon);
    native.pszFooter = Wide(config.Footer);
    native.pfCallback = config.Callback != nullptr ? DialogCallback : nullptr;
    native.lpCallbackData = reinterpret_cast<LONG_PTR>(&config);
    native.cxWidth = config.Width;

    int pressed = 0;
    int radio = 0;
    BOOL checked = FALSE;
    const auto function = reinterpret_cast<TTaskDialogIndirect>(TaskDialogIndirectAddress);
    const HRESULT result = function(&native, &pressed, &radio, &checked);
    if (button != nullptr) {
        *button = pressed;
    }
    if (radioButton != nullptr) {
        *radioButton = radio;
    }
    if (verificationChecked != nullptr) {
        *verificationChecked = checked != FALSE;
    }
    return result;
}

THandle Win32TaskDialogHost::LoadSystemIcon(int id, bool small) {
    const int size = small ? ::GetSystemMetrics(SM_CXSMICON) : 0;
    const UINT flags = LR_SHARED | (small ? 0 : LR_DEFAULTSIZE);
    return reinterpret_cast<THandle>(
        ::LoadImageW(nullptr, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, flags));
}

TLParam Win32TaskDialogHost::SendMessage(THandle window, unsigned message, TWParam wParam,
                                         TLParam lParam) {
    return ::SendMessageW(reinterpret_cast<HWND>(window), message, wParam, lParam);
}

} // namespace qb
