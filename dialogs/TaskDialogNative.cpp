#include "dialogs/TaskDialogNative.h"
#include "dialogs/MessageForm.h"
#include "dialogs/TaskDialog.h"
#include "runtime/Application.h"
#include "runtime/NativeTaskDialog.h"
#include "runtime/Platform.h"
#include "runtime/WinConst.h"
#include <algorithm>
#include <cstdint>

namespace qb {

namespace {

using enum TTaskDialogOption;

// The native dialog's buffers hold 1023 units and a terminator.
constexpr size_t MaxButtonUnits = 1023;

// An icon member of the native dialog: a value the system resolves, or an icon handle.
struct TNativeIcon {
    uintptr_t Value = 0;
    bool IsHandle = false; // needs TDF_USE_HICON_MAIN / TDF_USE_HICON_FOOTER
};

// The system documents icons without a module only for its TD_* values; the question icon has
// none, so it goes as a handle of the system's own icon (no icon when that cannot be loaded).
TNativeIcon QuestionIcon(INativeTaskDialogHost& host, bool small) {
    THandle icon = host.LoadSystemIcon(win::IDI_QUESTION, small);
    return {icon, icon != 0};
}

TNativeIcon NativeMainIcon(TTaskDialogIcon icon, INativeTaskDialogHost& host) {
    switch (icon) {
    case TTaskDialogIcon::tiBlank:
        return {17}; // loads nothing: the icon column stays empty
    case TTaskDialogIcon::tiWarning:
        return {win::TD_WARNING_ICON};
    case TTaskDialogIcon::tiQuestion:
        return QuestionIcon(host, false);
    case TTaskDialogIcon::tiError:
        return {win::TD_ERROR_ICON};
    case TTaskDialogIcon::tiInformation:
        return {win::TD_INFORMATION_ICON};
    case TTaskDialogIcon::tiShield:
        return {win::TD_SHIELD_ICON};
    default:
        return {};
    }
}

TNativeIcon NativeFooterIcon(TTaskDialogFooterIcon icon, INativeTaskDialogHost& host) {
    switch (icon) {
    case TTaskDialogFooterIcon::tfWarning:
        return {win::TD_WARNING_ICON};
    case TTaskDialogFooterIcon::tfQuestion:
        return QuestionIcon(host, true);
    case TTaskDialogFooterIcon::tfError:
        return {win::TD_ERROR_ICON};
    case TTaskDialogFooterIcon::tfInformation:
        return {win::TD_INFORMATION_ICON};
    case TTaskDialogFooterIcon::tfShield:
        return {win::TD_SHIELD_ICON};
    default:
        return {};
    }
}

std::u16string Wide(const std::string& text) {
    return Platform().System->ToUtf16(text);
}

std::optional<std::u16string> NativeText(const std::string& text, bool unescape) {
    if (text.empty())
        return std::nullopt;
    return Wide(unescape ? UnescapeNewlines(text) : text);
}

std::vector<TNativeButton> NativeButtons(const TStringList& lines, int firstId) {
    std::vector<TNativeButton> buttons;
    buttons.reserve(static_cast<size_t>(lines.Count()));
    for (int i = 0; i < lines.Count(); ++i) {
        std::u16string text = Wide(UnescapeNewlines(lines[i]));
        if (text.size() > MaxButtonUnits) {
            size_t cut = MaxButtonUnits;
            // Never leave half of a surrogate pair behind.
            if (text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF)
                --cut;
            text.resize(cut);
        }
        buttons.push_back({firstId + i, std::move(text)});
    }
    return buttons;
}

std::u16string WideFromPointer(TLParam lParam) {
    const char16_t* text = reinterpret_cast<const char16_t*>(lParam);
    return text ? std::u16string(text) : std::u16string();
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// The range message carries two unsigned 16-bit values. A range that fits goes as it is; a
// wider one is laid onto 0..65535 and the positions with it, so the bar shows the same share.
struct TProgressMapping {
    int64_t Low = 0;
    int64_t High = 0; // never below Low
    int64_t NativeHigh = 0;
    bool Scaled = false;
};

TProgressMapping ProgressMapping(const TCustomTaskDialog& dialog) {
    TProgressMapping map;
    map.Low = dialog.ProgressMin;
    map.High = std::max<int64_t>(map.Low, dialog.ProgressMax);
    map.Scaled = map.Low < 0 || map.High > 0xFFFF;
    map.NativeHigh = map.Scaled ? std::min<int64_t>(map.High - map.Low, 0xFFFF) : map.High;
    return map;
}

TLParam NativeProgressRange(const TProgressMapping& map) {
    uint32_t low = map.Scaled ? 0 : static_cast<uint32_t>(map.Low);
    return static_cast<TLParam>(static_cast<uint32_t>(map.NativeHigh) << 16 | low);
}

TWParam NativeProgressPosition(const TProgressMapping& map, int position) {
    if (!map.Scaled)
        return static_cast<TWParam>(position); // the control keeps it inside its range
    int64_t span = map.High - map.Low;
    if (span == 0)
        return 0;
    int64_t offset = std::clamp<int64_t>(position, map.Low, map.High) - map.Low;
    return static_cast<TWParam>(offset * map.NativeHigh / span);
}

// Shows an error without letting a second error out of a callback, over the native dialog.
void ShowErrorQuietly(const Exception& error, THandle dialog) {
    try {
        ShowExceptionMessage(error, dialog);
    } catch (...) {
    }
}

} // namespace

int NativeDefaultButton(const TCustomTaskDialog& dialog) {
    using enum TCommonButton;
    // The order in which the system lays out its standard buttons.
    static constexpr struct {
        TCommonButton Button;
        int Id;
    } Standard[] = {{cbOK, win::IDOK},       {cbYes, win::IDYES},       {cbNo, win::IDNO},
                    {cbRetry, win::IDRETRY}, {cbCancel, win::IDCANCEL}, {cbClose, win::IDCLOSE}};
    const int customs = dialog.CustomButtons.Count();
    if (dialog.DefaultButton >= 100 && dialog.DefaultButton < 100 + customs)
        return dialog.DefaultButton;
    for (const auto& s : Standard)
        if (s.Id == dialog.DefaultButton && dialog.CommonButtons.Contains(s.Button))
            return s.Id;
    // Otherwise the system makes its first button the default: custom buttons come first.
    if (customs > 0)
        return 100;
    for (const auto& s : Standard)
        if (dialog.CommonButtons.Contains(s.Button))
            return s.Id;
    return win::IDOK; // the button the system adds to a dialog without any
}

bool HasLocaleInfoEx() {
    return Platform().System && Platform().System->HasGetLocaleInfoEx();
}

int32_t ComCtlVersion(const std::string& fileName) {
    return Platform().System ? Platform().System->ComCtlVersion(fileName) : -1;
}

void OpenLink(THandle owner, const std::string& link) {
    if (Platform().Shell)
        Platform().Shell->ShellExecute(owner, "open", link, "", "", win::SW_SHOWNORMAL);
}

std::string UnescapeNewlines(const std::string& text) {
    std::string result = text;
    if (result.find("\\\\n") != std::string::npos)
        ReplaceAll(result, "\\\\n", "\\n");
    else if (result.find("\\n") != std::string::npos)
        ReplaceAll(result, "\\n", "\n");
    return result;
}

void ShowExceptionMessage(const Exception& error, THandle owner) {
    std::string text = error.Message();
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        text += '.';
    uint32_t flags = win::MB_ICONERROR;
    if (Application.IsRightToLeft())
        flags |= win::MB_RTLREADING;
    if (Platform().System)
        Platform().System->MessageBox(owner ? owner : Application.DialogOwner(), text,
                                      Application.Title(), flags);
}

int TCustomTaskDialog::Execute() {
    NativeActive = false;
    ElapsedTime = 0;
    if (!Platform().System)
        return -1; // no platform set: nothing can be shown
    TOsVersion os = Platform().System->GetVersion();
    uint32_t comctl = static_cast<uint32_t>(ComCtlVersion("COMCTL32.DLL"));
    uint32_t comctlMajor = (comctl >> 16) & 0xFF; // a failed probe (-1) counts as new
    if (os.Major < 6 || comctlMajor <= 5 || ForceEmulation)
        return ExecuteMessageForm(*this, -1, -1);
    return ExecuteNative();
}

int TCustomTaskDialog::ExecuteNative() {
    INativeTaskDialogHost* host = Platform().TaskDialogs;
    if (!host || !host->LoadComctl32())
        return -1;
    NativeActive = true;
    if (!host->HasTaskDialogIndirect())
        return -1;

    TNativeTaskDialogConfig config;
    if (ParentWindow != 0)
        config.Parent = ParentWindow;
    else if (Owner() && !ApplicationOwned && Owner()->IsWindowedControl())
        config.Parent = Owner()->WindowHandle();
    else
        config.Parent = Application.Handle();
    config.Width = 0;

    config.Buttons = NativeButtons(CustomButtons, 100);
    config.RadioButtons = NativeButtons(RadioButtons, 200);
    config.DefaultButton = DefaultButton;
    config.DefaultRadioButton = DefaultRadioButton;

    config.WindowTitle = NativeText(WindowTitle, true);
    config.MainInstruction = NativeText(MainInstruction_, true);
    config.Content = NativeText(Content_, true);
    config.Footer = NativeText(FooterText, true);
    config.ExpandedControlText = NativeText(ExpandedControlText, false);
    config.CollapsedControlText = NativeText(CollapsedControlText, false);
    config.ExpandedInformation = NativeText(ExpandedText, false);
    config.VerificationText = NativeText(VerificationText, false);

    // Element i of the set is bit i, and so is its TDCBF_ flag.
    config.CommonButtons = CommonButtons.Bits();

    uint32_t flags = 0;
    if (Options.Contains(doCommandLinks) && CustomButtons.Count() > 0)
        flags = win::TDF_USE_COMMAND_LINKS;
    if (Options.Contains(doCommandLinksNoIcon))
        flags = win::TDF_USE_COMMAND_LINKS_NO_ICON;
    if (Options.Contains(doHyperlinks))
        flags |= win::TDF_ENABLE_HYPERLINKS;
    if (Options.Contains(doExpandedDefault))
        flags |= win::TDF_EXPANDED_BY_DEFAULT;
    if (Options.Contains(doExpandFooter))
        flags |= win::TDF_EXPAND_FOOTER_AREA;
    if (Options.Contains(doAllowMinimize))
        flags |= win::TDF_CAN_BE_MINIMIZED;
    if (Options.Contains(doVerificationChecked))
        flags |= win::TDF_VERIFICATION_FLAG_CHECKED;
    if (Options.Contains(doProgressBar))
        flags |= win::TDF_SHOW_PROGRESS_BAR;
    if (Options.Contains(doProgressMarquee))
        flags |= win::TDF_SHOW_MARQUEE_PROGRESS_BAR;
    if (Options.Contains(doProgressMarquee) || Options.Contains(doProgressBar) ||
        Options.Contains(doTimer) || AutoClose)
        flags |= win::TDF_CALLBACK_TIMER;
    if (DialogPosition == TTaskDialogPosition::dpOwnerFormCenter)
        flags |= win::TDF_POSITION_RELATIVE_TO_WINDOW;
    if (Options.Contains(doNoDefaultRadio))
        flags |= win::TDF_NO_DEFAULT_RADIO_BUTTON;
    if (Options.Contains(doAllowCancel))
        flags |= win::TDF_ALLOW_DIALOG_CANCELLATION;

    TNativeIcon main = CustomIcon.Empty() ? NativeMainIcon(MainIcon, *host)
                                          : TNativeIcon{CustomIcon.Handle(), true};
    config.MainIcon = main.Value;
    if (main.IsHandle)
        flags |= win::TDF_USE_HICON_MAIN;
    TNativeIcon footer = NativeFooterIcon(FooterIcon, *host);
    config.FooterIcon = footer.Value;
    if (footer.IsHandle)
        flags |= win::TDF_USE_HICON_FOOTER;
    config.Flags = flags;
    config.Callback = NativeDialogCallback;
    config.CallbackData = reinterpret_cast<intptr_t>(this);

    int button = 0;
    int radio = 0;
    bool verification = false;
    struct TRunning {
        bool& Flag;
        bool Saved;
        explicit TRunning(bool& flag) : Flag(flag), Saved(flag) { Flag = true; }
        ~TRunning() { Flag = Saved; }
    } running(NativeRunning_);
    host->TaskDialogIndirect(config, &button, &radio, &verification);
    RadioButtonResult = radio;
    VerificationChecked = verification;
    return button;
}

int32_t NativeDialogCallback(THandle window, unsigned notification, TWParam wParam, TLParam lParam,
                             intptr_t referenceData) {
    auto* dialog = reinterpret_cast<TCustomTaskDialog*>(referenceData);
    if (!dialog)
        return 0;
    try {
        dialog->DialogHandle = window;
        INativeTaskDialogHost* host = Platform().TaskDialogs;
        auto send = [&](unsigned message, TWParam w, TLParam l) {
            if (host)
                host->SendMessage(window, message, w, l);
        };
        switch (notification) {
        case win::TDN_CREATED:
            if (dialog->OnDialogCreated)
                dialog->OnDialogCreated(dialog);
            if (dialog->Options.Contains(doProgressBar))
                send(win::TDM_SET_PROGRESS_BAR_RANGE, 0,
                     NativeProgressRange(ProgressMapping(*dialog)));
            if (dialog->Options.Contains(doProgressMarquee))
                send(win::TDM_SET_PROGRESS_BAR_MARQUEE, 1, 10);
            break;
        case win::TDN_BUTTON_CLICKED:
            if (dialog->OnButtonClick)
                dialog->OnButtonClick(dialog, static_cast<int>(wParam));
            if (dialog->OnCloseQuery) {
                bool canClose = true;
                dialog->OnCloseQuery(dialog, canClose);
                if (!canClose)
                    return 1;
            }
            break;
        case win::TDN_HYPERLINK_CLICKED: {
            std::string link = Platform().System->FromUtf16(WideFromPointer(lParam));
            dialog->DoHyperlinkClick(link);
            break;
        }
        case win::TDN_TIMER:
            // Milliseconds since the dialog was created: the callback never asks for a reset.
            dialog->ElapsedTime = static_cast<int32_t>(std::min<TWParam>(wParam, INT32_MAX));
            if (dialog->OnDialogTimer)
                dialog->OnDialogTimer(dialog);
            if (dialog->OnProgress) {
                // The handler sets both; these only keep an idle handler harmless.
                int position = 0;
                TTaskDialogProgressState state = TTaskDialogProgressState::psNormal;
                dialog->OnProgress(dialog, position, state);
                send(win::TDM_SET_PROGRESS_BAR_POS,
                     NativeProgressPosition(ProgressMapping(*dialog), position), 0);
                switch (state) {
                case TTaskDialogProgressState::psNormal:
                    send(win::TDM_SET_PROGRESS_BAR_STATE, win::PBST_NORMAL, 0);
                    break;
                case TTaskDialogProgressState::psError:
                    send(win::TDM_SET_PROGRESS_BAR_STATE, win::PBST_ERROR, 0);
                    break;
                case TTaskDialogProgressState::psPaused:
                    send(win::TDM_SET_PROGRESS_BAR_STATE, win::PBST_PAUSED, 0);
                    break;
                }
            }
            if (dialog->ElapsedTime > dialog->AutoCloseTimeout && dialog->AutoCloseTimeout > 0 &&
                dialog->AutoClose)
                dialog->CloseDialog();
            break;
        case win::TDN_RADIO_BUTTON_CLICKED:
            if (dialog->OnRadioButtonClick)
                dialog->OnRadioButtonClick(dialog, static_cast<int>(wParam));
            break;
        case win::TDN_VERIFICATION_CLICKED:
            if (dialog->OnVerificationClick)
                dialog->OnVerificationClick(dialog, wParam != 0);
            break;
        case win::TDN_HELP:
            if (dialog->HelpContextId != 0)
                Application.HelpContext(dialog->HelpContextId);
            break;
        default:
            break;
        }
    } catch (const Exception& error) {
        ShowErrorQuietly(error, window);
    } catch (...) {
        ShowErrorQuietly(Exception("An unexpected error occurred while the dialog was shown"),
                         window);
    }
    return 0;
}

} // namespace qb
