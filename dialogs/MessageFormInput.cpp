#include "dialogs/MessageForm.h"
#include "dialogs/TaskDialog.h"
#include "dialogs/TaskDialogButton.h"
#include "dialogs/TaskDialogNative.h"
#include "runtime/Application.h"
#include "runtime/Exception.h"
#include "runtime/Platform.h"
#include "runtime/WinConst.h"
#include "runtime/Windowing.h"
#include <algorithm>

namespace qb {

namespace {

using Opt = TTaskDialogOption;

constexpr int KeyC = 'C';

int IndexIn(const std::vector<TWinControl*>& list, TComponent* control) {
    auto found = std::find(list.begin(), list.end(), control);
    return found == list.end() ? -1 : static_cast<int>(found - list.begin());
}

void Beep() {
    if (Platform().Windowing)
        Platform().Windowing->Beep();
}

} // namespace

std::string TMessageForm::FramedText() {
    const std::string d = std::string(27, '-') + "\r\n";
    std::string buttons;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* button = dynamic_cast<TButton*>(Components(i)))
            buttons += button->Caption() + "   ";
    buttons.erase(std::remove(buttons.begin(), buttons.end(), '&'), buttons.end());
    std::string instruction = InstructionLabel ? InstructionLabel->Caption() : std::string();
    return d + Caption() + "\r\n" + d + instruction + "\r\n" + d + buttons + "\r\n" + d;
}

void TMessageForm::CopyToClipboard(const std::string& text) {
    // The backend replaces the content in one step or not at all.
    if (!Platform().Windowing || !Platform().Windowing->SetClipboardText(text))
        throw Exception("Cannot open clipboard");
}

void TMessageForm::PreviewKeyDown(TComponent* sender, int& key, TShiftState shift) {
    (void)sender;
    if ((shift & ssAlt) != 0 && key == win::VK_F4) {
        key = 0;
        return;
    }
    if (key == win::VK_RETURN && shift == 0 && EnterPressesDefaultLink()) {
        key = 0;
        return;
    }
    // Ctrl+C in the input field copies the field's selection, as in any edit box.
    if ((shift & (ssShift | ssAlt | ssCtrl)) == ssCtrl && key == KeyC && !InputHasFocus()) {
        Beep();
        try {
            CopyToClipboard(FramedText());
        } catch (const Exception&) {
            // The clipboard is held elsewhere: the beep was all the user gets.
        }
    }
}

void TMessageForm::KeyDown(int& key, TShiftState shift) {
    TForm::KeyDown(key, shift);
    if (!Dialog)
        return;
    if (key == win::VK_F1 && Dialog->HelpContextId != 0) {
        try {
            Application.HelpContext(Dialog->HelpContextId);
        } catch (const Exception& error) {
            ShowExceptionMessage(error);
        }
    }
    if (key == KeyC && (shift & ssCtrl) != 0 && !InputHasFocus()) {
        std::string text =
            Dialog->WindowTitle + "\r\n" + Dialog->MainInstruction() + "\r\n" + Dialog->Content();
        bool copied = Platform().Windowing && Platform().Windowing->SetClipboardText(text);
        // Plain Ctrl+C has beeped already; with Shift a failure still deserves one.
        if (!copied && (shift & ssShift) != 0)
            Beep();
    }
}

bool TMessageForm::InputHasFocus() const {
    auto* field = dynamic_cast<TWinControl*>(InputField());
    return field && field->Focused();
}

bool TMessageForm::DialogChar(char ch) {
    if (!Dialog)
        return TForm::DialogChar(ch);
    if (Dialog->Options.Contains(Opt::doCommandLinks)) {
        for (TWinControl* control : CustomButtonList) {
            auto* link = dynamic_cast<TTaskDialogButton*>(control);
            if (link && IsAccel(ch, link->Caption()) && CanFocus()) {
                link->Click();
                return true;
            }
        }
    }
    if (!Dialog->ExpandedControlText.empty() && Expanded) {
        if (IsAccel(ch, Dialog->ExpandedControlText))
            ToggleExpanded();
    } else if (!Dialog->CollapsedControlText.empty() && !Expanded &&
               IsAccel(ch, Dialog->CollapsedControlText)) {
        ToggleExpanded();
    }
    bool handled = TForm::DialogChar(ch);
    if (Dialog->Options.Contains(Opt::doAllowCancel) && ch == 27) {
        Close();
        return true;
    }
    return handled;
}

void TMessageForm::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TForm::MouseDown(button, shift, x, y);
    std::string link = LinkAt(x, y);
    if (!link.empty() && Dialog)
        Dialog->DoHyperlinkClick(link);
}

void TMessageForm::MouseMove(TShiftState shift, int x, int y) {
    std::string link = LinkAt(x, y);
    if (!link.empty() && (Cursor() == TCursor::crDefault || link != HoverLink)) {
        HoverLink = link;
        SetCursor(TCursor::crHandPoint);
    } else if (link.empty() && Cursor() == TCursor::crHandPoint) {
        SetCursor(TCursor::crDefault);
    }
    TForm::MouseMove(shift, x, y);
}

void TMessageForm::TimerTick(TComponent* sender) {
    (void)sender;
    if (!Dialog)
        return;
    TCustomTaskDialog& dialog = *Dialog;
    dialog.ElapsedTime += 100;
    if (dialog.Options.Contains(Opt::doTimer) && dialog.OnDialogTimer)
        dialog.OnDialogTimer(&dialog);
    if (dialog.OnProgress && ProgressBarControl) {
        int position = ProgressBarControl->Position();
        auto state = TTaskDialogProgressState::psNormal;
        dialog.OnProgress(&dialog, position, state);
        ProgressBarControl->SetPosition(position);
    }
    if (dialog.AutoClose && dialog.AutoCloseTimeout > 0 &&
        dialog.ElapsedTime > dialog.AutoCloseTimeout)
        dialog.CloseDialog();
}

void TMessageForm::CustomButtonClick(TComponent* sender) {
    if (Dialog && Dialog->OnButtonClick)
        Dialog->OnButtonClick(Dialog, 100 + IndexIn(CustomButtonList, sender));
}

void TMessageForm::RadioButtonClick(TComponent* sender) {
    if (!Dialog)
        return;
    Dialog->RadioButtonResult = 200 + IndexIn(RadioButtonList, sender);
    if (Dialog->OnRadioButtonClick)
        Dialog->OnRadioButtonClick(Dialog, Dialog->RadioButtonResult);
}

void TMessageForm::VerificationClick(TComponent* sender) {
    (void)sender;
    if (!Dialog || !VerificationCheckBox)
        return;
    Dialog->VerificationChecked = VerificationCheckBox->Checked();
    if (Dialog->OnVerificationClick)
        Dialog->OnVerificationClick(Dialog, Dialog->VerificationChecked);
}

} // namespace qb
