#include "dialogs/MessageForm.h"
#include "dialogs/DialogMetrics.h"
#include "dialogs/TaskDialog.h"
#include "dialogs/TaskDialogButton.h"
#include "runtime/Application.h"
#include "runtime/Platform.h"
#include "runtime/WinConst.h"
#include "runtime/Windowing.h"
#include <map>

namespace qb {

namespace {

using Opt = TTaskDialogOption;

constexpr TColor clWindow = SystemColor(5);

// The caller's control of itCustom, when it can sit on a window.
TControl* CustomInputControl(const TCustomTaskDialog& dialog) {
    if (dialog.InputType != TTaskDialogInputType::itCustom)
        return nullptr;
    return dynamic_cast<TControl*>(dialog.InputControl());
}

} // namespace

namespace {

struct TButtonWidthCaches {
    std::map<int, std::array<int, 6>> ByResolution;
    int Current = 96;
};

TButtonWidthCaches& ButtonWidthCaches() {
    static TButtonWidthCaches caches;
    return caches;
}

} // namespace

std::array<int, 6>& CommonButtonWidthCache() {
    TButtonWidthCaches& caches = ButtonWidthCaches();
    return caches.ByResolution[caches.Current];
}

void UseCommonButtonWidths(int pixelsPerInch) {
    ButtonWidthCaches().Current = pixelsPerInch;
}

void ClearCommonButtonWidthCaches() {
    ButtonWidthCaches().ByResolution.clear();
}

TMessageForm::TMessageForm(TComponent* owner) : TForm(owner) {
    ButtonBandTop = Height();
}

TMessageForm::~TMessageForm() {
    Destroying();
    GiveBackInputControl();
}

int TMessageForm::Scale(int pixels) const {
    return ScaleForDpi(pixels, PixelsPerInch());
}

uint32_t TMessageForm::ReadingOrder() const {
    return UseRightToLeftReading() ? win::DT_RTLREADING : 0;
}

TControl* TMessageForm::InputField() const {
    if (!Dialog)
        return nullptr;
    switch (Dialog->InputType) {
    case TTaskDialogInputType::itEdit:
        return InputEdit;
    case TTaskDialogInputType::itMemo:
        return InputMemo;
    case TTaskDialogInputType::itComboEdit:
    case TTaskDialogInputType::itComboList:
        return InputCombo;
    case TTaskDialogInputType::itDate:
        return InputDatePicker;
    case TTaskDialogInputType::itCustom: {
        TControl* control = CustomInputControl(*Dialog);
        return control && control->Parent() == this ? control : nullptr;
    }
    default:
        return nullptr;
    }
}

// The caller's control goes back where it came from, also when the window goes without a
// proper close (an exception), so the window never frees what it does not own.
void TMessageForm::GiveBackInputControl() {
    if (!Dialog)
        return;
    TControl* control = CustomInputControl(*Dialog);
    if (!control || control->Parent() != this)
        return;
    control->SetVisible(false);
    control->SetParent(SavedInputParent);
}

void TMessageForm::DoShow() {
    TForm::DoShow();
    if (!Dialog)
        return;
    // The focus starts on the button Enter answers.
    const int id = DefaultButtonId();
    const int index = id >= 100 ? id - 100 : -1;
    if (index == -1) {
        for (TWinControl* button : CommonButtonList)
            if (button->Tag == 1 && button->Enabled() && button->CanFocus())
                button->SetFocus();
    } else if (index < static_cast<int>(CustomButtonList.size())) {
        TWinControl* button = CustomButtonList[static_cast<size_t>(index)];
        if (button->CanFocus())
            button->SetFocus();
    }
    if (auto* field = dynamic_cast<TWinControl*>(InputField()); field && field->CanFocus())
        field->SetFocus();
}

void TMessageForm::DoClose(TCloseAction& action) {
    bool canClose = true;
    if (Dialog && Dialog->OnCloseQuery)
        Dialog->OnCloseQuery(Dialog, canClose);
    if (Dialog && VerificationCheckBox)
        Dialog->VerificationChecked = VerificationCheckBox->Checked();
    if (Dialog) {
        switch (Dialog->InputType) {
        case TTaskDialogInputType::itEdit:
            if (InputEdit)
                Dialog->InputText = InputEdit->Text();
            break;
        case TTaskDialogInputType::itMemo:
            if (InputMemo)
                Dialog->InputText = InputMemo->Text();
            break;
        case TTaskDialogInputType::itDate:
            if (InputDatePicker && Platform().Windowing)
                Dialog->InputText = Platform().Windowing->FormatShortDate(InputDatePicker->Date());
            break;
        case TTaskDialogInputType::itComboEdit:
        case TTaskDialogInputType::itComboList:
            if (InputCombo)
                Dialog->InputText = InputCombo->Text();
            break;
        case TTaskDialogInputType::itCustom:
            if (TControl* control = CustomInputControl(*Dialog)) {
                std::string text;
                if (Dialog->OnGetInputText) {
                    Dialog->OnGetInputText(this, text);
                } else {
                    // Read whole: the user's text may be longer than any fixed buffer.
                    auto* windowed = dynamic_cast<TWinControl*>(control);
                    text = windowed && windowed->Peer() ? windowed->Peer()->ReadText()
                                                        : control->Caption();
                }
                Dialog->InputText = text;
                if (canClose)
                    GiveBackInputControl();
            }
            break;
        default:
            break;
        }
    }
    if (!canClose)
        action = TCloseAction::caNone;
    TForm::DoClose(action);
}

TMessageForm* CreateMessageForm(TCustomTaskDialog& dialog) {
    IWindowing* windowing = Platform().Windowing;
    if (!windowing)
        return nullptr;
    auto* ownerForm = dynamic_cast<TForm*>(dialog.Owner());
    bool ownedByForm = !dialog.ApplicationOwned && ownerForm;
    auto* form = new TMessageForm(ownedByForm ? static_cast<TComponent*>(ownerForm)
                                              : static_cast<TComponent*>(&Application));
    try {
        TFont font = form->Font();
        if (windowing->GetMessageFont(font, form->PixelsPerInch()))
            form->SetFont(font);
        form->ButtonBandTop = form->Height();
        form->SetBiDiMode(Application.IsRightToLeft() ? TBiDiMode::bdRightToLeft
                                                      : TBiDiMode::bdLeftToRight);
        TBorderIcons icons = 0;
        if (dialog.Options.Contains(Opt::doAllowMinimize)) {
            form->SetBorderStyle(TFormBorderStyle::bsSingle);
            icons = biSystemMenu | biMinimize;
        } else {
            form->SetBorderStyle(TFormBorderStyle::bsDialog);
        }
        if (dialog.CommonButtons.Contains(TCommonButton::cbCancel))
            dialog.Options += Opt::doAllowCancel;
        if (dialog.Options.Contains(Opt::doAllowCancel))
            icons |= biSystemMenu;
        form->SetBorderIcons(icons);
        if (ownedByForm && ownerForm->FormStyle() == TFormStyle::fsStayOnTop)
            form->SetFormStyle(TFormStyle::fsStayOnTop);
        form->Canvas().SetFont(form->Font());
        form->KeyPreview = true;
        form->OnKeyDown = [form](TComponent* sender, int& key, TShiftState shift) {
            form->PreviewKeyDown(sender, key, shift);
        };
        form->Colors =
            DialogColorsFor(windowing->HighContrast(), dialog.FooterColor, dialog.FooterLineColor);
        form->MinWidth = dialog.MinimumWidth;
        form->BuildControls(dialog);
    } catch (...) {
        delete form;
        throw;
    }
    return form;
}

int ExecuteMessageForm(TCustomTaskDialog& dialog, int left, int top) {
    TMessageForm* form = CreateMessageForm(dialog);
    if (!form)
        return -1;
    // Whatever happens, the model forgets the window and the window goes.
    struct TCleanup {
        TCustomTaskDialog& Dialog;
        TMessageForm* Form;
        ~TCleanup() {
            Dialog.MessageForm = nullptr;
            delete Form;
        }
    } cleanup{dialog, form};
    form->OnShow = [&dialog](TComponent* sender) { dialog.DoDialogCreated(sender); };
    dialog.MessageForm = form;
    form->SetColor(clWindow);
    if (left >= 0)
        form->SetLeft(left);
    if (top >= 0)
        form->SetTop(top);
    if (left < 0 && top < 0)
        form->SetPosition(dialog.DialogPosition == TTaskDialogPosition::dpOwnerFormCenter
                              ? TPosition::poOwnerFormCenter
                              : TPosition::poScreenCenter);
    return form->ShowModal();
}

void RefreshMessageForm(TMessageForm& form) {
    form.RefreshTexts();
}

void CloseMessageForm(TMessageForm& form) {
    form.Close();
}

} // namespace qb
