// The emulated window at a new resolution: built anew from the model, as a window made on that
// monitor would be, with what the user has done so far handed over (the progress bar takes its
// position again from the next timer tick).
#include "dialogs/MessageForm.h"
#include "dialogs/TaskDialog.h"
#include "dialogs/TaskDialogButton.h"
#include "runtime/Platform.h"
#include "runtime/Windowing.h"
#include <optional>

namespace qb {

namespace {

// What the user has done in the window so far.
struct TUserState {
    std::string Focus; // component name; "input" for the input field
    std::optional<int> Radio;
    int RadioResult = 0;
    std::optional<bool> Verification;
    std::optional<bool> Expanded;
    std::string InputText;
    int InputItem = -1;
    std::optional<TDate> InputDate;
};

int IndexOfChecked(const std::vector<TWinControl*>& radios) {
    for (size_t i = 0; i < radios.size(); ++i)
        if (auto* radio = dynamic_cast<TRadioButton*>(radios[i]); radio && radio->Checked())
            return static_cast<int>(i);
    return -1;
}

} // namespace

void TMessageForm::DestroyControls() {
    GiveBackInputControl();
    while (ComponentCount() > 0)
        delete Components(ComponentCount() - 1);
    InstructionLabel = nullptr;
    ExpandButtonControl = nullptr;
    Expanded = true;
    CommonButtonList.clear();
    CustomButtonList.clear();
    RadioButtonList.clear();
    FooterImageControl = nullptr;
    FooterIconId = 0;
    VerificationCheckBox = nullptr;
    ProgressBarControl = nullptr;
    MainImage = nullptr;
    FooterTextSize = ContentTextSize = ExpandedTextSize = {};
    ExpandedTop = 0;
    UpdateTimer = nullptr;
    InputEdit = nullptr;
    InputCombo = nullptr;
    InputDatePicker = nullptr;
    InputMemo = nullptr;
    FooterIcon_.reset();
    Shield_.reset();
    // The framework's size of a new form: the input fields take their width from it.
    SetClientWidth(400);
    SetClientHeight(300);
    ButtonBandTop = Height();
}

void TMessageForm::RescaleForDpi() {
    if (!Dialog)
        return;
    TCustomTaskDialog& dialog = *Dialog;
    TUserState state;
    TControl* input = InputField();
    if (TWinControl* focused = ActiveControl())
        state.Focus = focused == input ? "input" : focused->Name();
    if (!RadioButtonList.empty())
        state.Radio = IndexOfChecked(RadioButtonList);
    state.RadioResult = dialog.RadioButtonResult;
    if (VerificationCheckBox)
        state.Verification = VerificationCheckBox->Checked();
    if (ExpandButtonControl)
        state.Expanded = Expanded;
    if (InputEdit)
        state.InputText = InputEdit->Text();
    if (InputMemo)
        state.InputText = InputMemo->Text();
    if (InputCombo) {
        state.InputText = InputCombo->Text();
        state.InputItem = InputCombo->ItemIndex();
    }
    if (InputDatePicker)
        state.InputDate = InputDatePicker->Date();
    auto* custom = dynamic_cast<TWinControl*>(input);
    const bool customInput = dialog.InputType == TTaskDialogInputType::itCustom && custom;
    // The caller's own field stays as the user left it: it is handed its own text again.
    const std::string modelText = dialog.InputText;
    if (customInput && custom->Peer())
        dialog.InputText = custom->Peer()->ReadText();

    DestroyControls();
    // The message font as a window at this resolution shows it.
    if (IWindowing* windowing = Platform().Windowing) {
        TFont font = Font();
        if (windowing->GetMessageFont(font, PixelsPerInch()))
            SetFont(font);
    }
    Canvas().SetFont(Font());
    BuildControls(dialog);
    dialog.InputText = modelText;

    dialog.RadioButtonResult = state.RadioResult;
    if (state.Radio && *state.Radio >= 0 && *state.Radio < static_cast<int>(RadioButtonList.size()))
        dialog.SetRadioChecked(RadioButtonList[static_cast<size_t>(*state.Radio)], true);
    else if (state.Radio)
        for (TWinControl* radio : RadioButtonList)
            dialog.SetRadioChecked(radio, false);
    if (state.Verification && VerificationCheckBox)
        VerificationCheckBox->SetChecked(*state.Verification);
    if (state.Expanded && *state.Expanded != Expanded)
        SetExpanded(*state.Expanded);
    if (InputEdit)
        InputEdit->SetText(state.InputText);
    if (InputMemo)
        InputMemo->SetText(state.InputText);
    if (InputCombo) {
        InputCombo->SetText(state.InputText);
        InputCombo->SetItemIndex(state.InputItem);
    }
    if (state.InputDate && InputDatePicker)
        InputDatePicker->SetDate(*state.InputDate);

    TWinControl* focus = state.Focus == "input"
                             ? dynamic_cast<TWinControl*>(InputField())
                             : dynamic_cast<TWinControl*>(FindComponent(state.Focus));
    if (focus && focus->CanFocus())
        focus->SetFocus();
}

} // namespace qb
