#include "runtime/headless/ScriptedTaskDialog.h"

namespace qb {

namespace {

const char16_t* TextAt(TLParam lParam) {
    return reinterpret_cast<const char16_t*>(lParam);
}

// A click that starts another click that starts another ... is a handler bug; stop it here.
constexpr int MaxClickDepth = 8;

} // namespace

TScriptedDialogAnswer& TScriptedDialogAnswer::AddTimerTicks(int count, int intervalMs) {
    TWParam elapsed = 0;
    for (const TScriptedNotification& n : Notifications)
        if (n.Notification == win::TDN_TIMER)
            elapsed = n.WParam;
    for (int i = 0; i < count; ++i) {
        elapsed += static_cast<TWParam>(intervalMs);
        Notifications.push_back({win::TDN_TIMER, elapsed, {}});
    }
    return *this;
}

bool TScriptedTaskDialog::LoadComctl32() {
    return Comctl32Loads;
}

bool TScriptedTaskDialog::HasTaskDialogIndirect() {
    return TaskDialogIndirectExists;
}

bool TScriptedTaskDialog::HasButton(const TNativeTaskDialogConfig& config, int id) {
    for (const TNativeButton& b : config.Buttons)
        if (b.Id == id)
            return true;
    static constexpr struct {
        uint32_t Flag;
        int Id;
    } Common[] = {
        {win::TDCBF_OK_BUTTON, win::IDOK},       {win::TDCBF_YES_BUTTON, win::IDYES},
        {win::TDCBF_NO_BUTTON, win::IDNO},       {win::TDCBF_CANCEL_BUTTON, win::IDCANCEL},
        {win::TDCBF_RETRY_BUTTON, win::IDRETRY}, {win::TDCBF_CLOSE_BUTTON, win::IDCLOSE}};
    for (const auto& c : Common)
        if ((config.CommonButtons & c.Flag) && c.Id == id)
            return true;
    // Without any button the dialog shows its own OK.
    return config.Buttons.empty() && (config.CommonButtons & 0x3F) == 0 && id == win::IDOK;
}

const TNativeButton* TScriptedTaskDialog::DefaultRadio(const TNativeTaskDialogConfig& config) {
    for (const TNativeButton& radio : config.RadioButtons)
        if (radio.Id == config.DefaultRadioButton)
            return &radio;
    if (config.RadioButtons.empty() || (config.Flags & win::TDF_NO_DEFAULT_RADIO_BUTTON))
        return nullptr;
    return &config.RadioButtons.front();
}

int32_t TScriptedTaskDialog::Deliver(TRun& run, unsigned notification, TWParam wParam,
                                     const std::u16string& link) {
    if (!run.Config->Callback)
        return 0;
    size_t index = Delivered.size();
    Delivered.push_back({run.Window, notification, wParam, link, 0});
    CallbackResults.push_back(0);
    TLParam lParam = 0;
    if (notification == win::TDN_HYPERLINK_CLICKED)
        lParam = reinterpret_cast<TLParam>(link.c_str());
    int32_t result =
        run.Config->Callback(run.Window, notification, wParam, lParam, run.Config->CallbackData);
    Delivered[index].Result = result;
    CallbackResults[index] = result;
    return result;
}

void TScriptedTaskDialog::Click(TRun& run, int id) {
    if (run.Closed)
        return;
    if (Deliver(run, win::TDN_BUTTON_CLICKED, static_cast<TWParam>(id), {}) == 0 && !run.Closed) {
        run.Closed = true;
        run.Result = id;
    }
}

int32_t TScriptedTaskDialog::TaskDialogIndirect(const TNativeTaskDialogConfig& config, int* button,
                                                int* radioButton, bool* verificationChecked) {
    if (button)
        *button = 0;
    if (radioButton)
        *radioButton = 0;
    if (verificationChecked)
        *verificationChecked = false;
    Shown.push_back(config);
    TScriptedDialogAnswer answer;
    if (!Answers.empty()) {
        answer = std::move(Answers.front());
        Answers.pop_front();
    }

    TRun run;
    run.Config = &config;
    run.Window = Window + Running_.size();
    Running_.push_back(&run);
    struct TPop {
        std::vector<TRun*>& Stack;
        ~TPop() { Stack.pop_back(); }
    } pop{Running_};

    Deliver(run, win::TDN_CREATED, 0, {});
    // Sent even when a TDN_CREATED handler has already closed the dialog, as the real one does.
    if (const TNativeButton* radio = DefaultRadio(config))
        Deliver(run, win::TDN_RADIO_BUTTON_CLICKED, static_cast<TWParam>(radio->Id), {});
    for (const TScriptedNotification& n : answer.Notifications) {
        if (run.Closed)
            break;
        if (n.Notification == win::TDN_BUTTON_CLICKED)
            Click(run, static_cast<int>(n.WParam));
        else
            Deliver(run, n.Notification, n.WParam, n.Link);
    }
    if (!run.Closed) {
        Click(run, answer.Button);
        if (!run.Closed) {
            run.Closed = true;
            run.Result = 0;
        }
    }

    if (button)
        *button = run.Result;
    if (radioButton)
        *radioButton = answer.RadioButton;
    if (verificationChecked)
        *verificationChecked = answer.VerificationChecked;
    return 0; // S_OK
}

THandle TScriptedTaskDialog::LoadSystemIcon(int id, bool small) {
    return SystemIconsLoad ? SystemIconHandle(id, small) : 0;
}

TLParam TScriptedTaskDialog::SendMessage(THandle window, unsigned message, TWParam wParam,
                                         TLParam lParam) {
    TSentMessage sent{window, message, wParam, lParam, {}};
    if ((message == win::TDM_UPDATE_ELEMENT_TEXT || message == win::TDM_SET_ELEMENT_TEXT) &&
        TextAt(lParam))
        sent.Text = TextAt(lParam);
    Sent.push_back(std::move(sent));

    TRun* run = nullptr;
    for (auto it = Running_.rbegin(); it != Running_.rend(); ++it)
        if ((*it)->Window == window) {
            run = *it;
            break;
        }
    if (!run || run->Closed || message != win::TDM_CLICK_BUTTON)
        return 0;
    int id = static_cast<int>(wParam);
    if (!HasButton(*run->Config, id) || run->ClickDepth >= MaxClickDepth)
        return 0;
    ++run->ClickDepth;
    Click(*run, id);
    --run->ClickDepth;
    return 0;
}

} // namespace qb
