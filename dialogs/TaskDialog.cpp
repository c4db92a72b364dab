#include "dialogs/TaskDialog.h"
#include "dialogs/MessageForm.h"
#include "dialogs/TaskDialogNative.h"
#include "resources/ResourceIds.h"
#include "runtime/NativeTaskDialog.h"
#include "runtime/Platform.h"
#include "runtime/StdCtrls.h"
#include "runtime/Forms.h"
#include "runtime/StringTable.h"
#include "runtime/WinConst.h"

namespace qb {

std::array<TStandardButtonInfo, 6> StandardButtons = {{
    {"OK", 0, win::IDOK},
    {"Yes", 0, win::IDYES},
    {"No", 0, win::IDNO},
    {"Cancel", 0, win::IDCANCEL},
    {"Retry", 0, win::IDRETRY},
    {"Abort", 0, win::IDABORT},
}};

const std::array<int, 7> MainIconIds = {win::IDI_ASTERISK, win::IDI_EXCLAMATION, win::IDI_QUESTION,
                                        win::IDI_HAND,     win::IDI_ASTERISK,    0,
                                        win::IDI_HAND};

const std::array<int, 6> FooterIconIds = {
    0, win::IDI_EXCLAMATION, win::IDI_QUESTION, win::IDI_HAND, win::IDI_ASTERISK, win::IDI_WINLOGO};

namespace {
int ModuleStarts = 0;
constexpr std::array<unsigned, 6> CaptionIds = {IDS_MSGDLG_OK,    IDS_MSGDLG_YES,
                                                IDS_MSGDLG_NO,    IDS_MSGDLG_CANCEL,
                                                IDS_MSGDLG_RETRY, IDS_MSGDLG_ABORT};
} // namespace

void InitTaskDialogModule() {
    if (ModuleStarts++ > 0)
        return;
    for (size_t i = 0; i < StandardButtons.size(); ++i)
        StandardButtons[i].CaptionId = CaptionIds[i];
}

void DoneTaskDialogModule() {
    if (ModuleStarts == 0 || --ModuleStarts > 0)
        return;
    for (TStandardButtonInfo& info : StandardButtons)
        info.CaptionId = 0;
}

std::string StandardButtonCaption(TCommonButton button) {
    size_t index = static_cast<size_t>(button);
    if (index >= StandardButtons.size() || StandardButtons[index].CaptionId == 0)
        return {};
    return LoadStr(StandardButtons[index].CaptionId);
}

TCustomTaskDialog::TCustomTaskDialog(TComponent* owner) : TComponent(owner) {}

TCustomTaskDialog::~TCustomTaskDialog() {
    Destroying();
}

void TCustomTaskDialog::SetInputControl(TComponent* control) {
    if (control == InputControl_)
        return;
    if (InputControl_)
        RemoveFreeNotification(InputControl_);
    InputControl_ = control;
    if (control)
        FreeNotification(control);
}

void TCustomTaskDialog::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == InputControl_ && !IsDestroying())
        InputControl_ = nullptr;
}

void TCustomTaskDialog::UpdateElementText(unsigned element, const std::string& text) {
    // Only a dialog on screen: a kept handle may name another window by now.
    if (NativeRunning_ && DialogHandle != 0 && Platform().TaskDialogs && Platform().System) {
        // The same newline rule as the texts the dialog was created with.
        std::u16string wide = Platform().System->ToUtf16(UnescapeNewlines(text));
        Platform().TaskDialogs->SendMessage(DialogHandle, win::TDM_UPDATE_ELEMENT_TEXT, element,
                                            reinterpret_cast<TLParam>(wide.c_str()));
    }
    if (MessageForm)
        RefreshMessageForm(*MessageForm);
}

void TCustomTaskDialog::SetContent(const std::string& text) {
    if (text == Content_)
        return;
    Content_ = text;
    UpdateElementText(win::TDE_CONTENT, text);
}

void TCustomTaskDialog::SetMainInstruction(const std::string& text) {
    if (text == MainInstruction_)
        return;
    MainInstruction_ = text;
    UpdateElementText(win::TDE_MAIN_INSTRUCTION, text);
}

void TCustomTaskDialog::CloseDialog() {
    if (NativeActive) {
        if (NativeRunning_ && DialogHandle != 0 && Platform().TaskDialogs)
            Platform().TaskDialogs->SendMessage(DialogHandle, win::TDM_CLICK_BUTTON,
                                                static_cast<TWParam>(NativeDefaultButton(*this)),
                                                0);
    } else if (MessageForm) {
        CloseMessageForm(*MessageForm);
    }
}

void TCustomTaskDialog::DoDialogCreated(TComponent* window) {
    (void)window;
    if (OnDialogCreated)
        OnDialogCreated(this);
}

void TCustomTaskDialog::DoHyperlinkClick(const std::string& link) {
    if (OnHyperlinkClick)
        OnHyperlinkClick(this, link);
    else if (link.find("://") != std::string::npos)
        OpenLink(0, link);
}

TWinControl* TCustomTaskDialog::CreateButton(TComponent* owner) {
    return new TButton(owner);
}

TWinControl* TCustomTaskDialog::CreateRadioButton(TComponent* owner) {
    return new TRadioButton(owner);
}

void TCustomTaskDialog::InitRadioButton(TForm* window, TWinControl* radio, int index,
                                        TNotifyEvent onClick) {
    if (!radio)
        return;
    radio->SetName("Radio" + std::to_string(index));
    radio->SetParent(window);
    if (window) {
        TFont font = radio->Font();
        font.Name = window->Canvas().Font().Name;
        font.Size = 8;
        radio->SetFont(font);
        radio->SetBiDiMode(window->BiDiMode());
    }
    radio->OnClick = std::move(onClick);
}

void TCustomTaskDialog::SetRadioChecked(TWinControl* radio, bool checked) {
    if (auto* button = dynamic_cast<TRadioButton*>(radio))
        button->SetChecked(checked);
}

void TCustomTaskDialog::SetControlText(TControl* control, const std::string& text) {
    if (control)
        control->SetCaption(text);
}

void TCustomTaskDialog::SetButtonText(TControl* control, const std::string& text) {
    if (auto* button = dynamic_cast<TButton*>(control))
        button->SetCaption(text);
}

void TCustomTaskDialog::SetButtonCancel(TControl* control, bool cancel) {
    if (auto* button = dynamic_cast<TButton*>(control))
        button->SetCancel(cancel);
}

void TCustomTaskDialog::SetButtonDefault(TControl* control, bool isDefault) {
    if (auto* button = dynamic_cast<TButton*>(control))
        button->SetDefault(isDefault);
}

void TCustomTaskDialog::SetButtonModalResult(TControl* control, int result) {
    if (auto* button = dynamic_cast<TButton*>(control))
        button->ModalResult = result;
}

int TCustomTaskDialog::GetButtonModalResult(TControl* control) {
    auto* button = dynamic_cast<TButton*>(control);
    return button ? button->ModalResult : 0;
}

} // namespace qb
