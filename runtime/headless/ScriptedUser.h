// The user of the headless screen, played by a script: each step is one thing a person does
// (click, key, character, mouse, timer tick, close box) or a look at the live form.
//
// A modal loop takes the steps in order, one at a time, and after each one asks the form
// whether the loop ends (ModalLoopShouldEnd); a dialog opened by a step runs its own loop on
// the steps that follow, so nested dialogs share one script. When the steps run out before the
// form closes, the loop ends with the modal result it has (0) and the windowing notes it in
// ScriptErrors. Steps act on the form whose loop is running.
//
//   THeadlessWindowing screen;                         // installed as Platform().Windowing
//   screen.Play({user::Key(win::VK_TAB),               // focus moves on
//                user::Check([](TForm& f) {            // look at the live form
//                    EXPECT_EQ(f.ActiveControl()->Name(), "No");
//                }),
//                user::AltChar('y'),                   // the "&Yes" button's accelerator
//                user::Tick(3),                        // three ticks of every running timer
//                user::Click("Cancel")});              // not reached: Alt+Y ended the loop
//   int result = form.ShowModal();                     // 6 when "&Yes" has ModalResult 6
//   EXPECT_TRUE(screen.ScriptErrors.empty());
//   const TRecordingCanvas* last = screen.LastPaint(""); // the form's last paint (its Name)
//
// What a step does (exceptions from the form's hooks and events are caught where the step
// hands them over and passed to Application.HandleException, as the window procedure does):
//   Click(name)      a windowed control takes the focus when it can, then its click: a check
//                    box toggles first, a radio button becomes checked, a push button gives its
//                    form its ModalResult. Names are searched through the whole form. A missing,
//                    hidden or disabled control is noted in ScriptErrors and nothing happens.
//   Key(vk, shift)   the key path of a dialog: the form's KeyDown first when KeyPreview (key 0:
//                    used up), then the focused control's KeyDown (the form's when nothing has
//                    the focus), then the dialog manager: Tab / Shift+Tab move the focus among
//                    tab stops; arrows move within a run of radio buttons (the next one is
//                    focused and clicked) or to the next or previous focusable control; edit,
//                    memo, combo box and date picker keep their arrows. Enter: a focused custom
//                    control gets KeyPress(13); otherwise DialogKey(Enter) (focused push button,
//                    else the default one). Escape: DialogKey(Escape), else DialogChar(27).
//                    Space on a focused button, check box or radio button clicks it (custom
//                    controls get KeyPress(32) instead). Alt+F4 not used up closes (Close()).
//                    Letters, digits and Space without Ctrl or Alt then arrive as Char; with Alt
//                    as AltChar; Ctrl+letter as the control character. Alt alone (VK_MENU)
//                    opens the window menu's keyboard mode when the form has a window menu
//                    (counted in THeadlessWindowing::MenuActivations). Tab and arrows show the
//                    focus cues, Alt shows all keyboard cues (when the user's setting hides
//                    them until the keyboard is used).
//   DpiChange(ppi, r) the window moved to a monitor of that resolution (WM_DPICHANGED), with
//                    the place the system suggests: TForm::ChangeDpi.
//   HoldKey(Space)   Space goes down on the focused push button: it shows pressed.
//   ReleaseKey(Space) it goes up: the button shows released and is clicked.
//   Char(ch)         KeyPress of the form (KeyPreview) and of the focused control; an edit, memo
//                    or editable combo box types a printable character (backspace deletes the
//                    last one); a character nobody used goes to DialogChar.
//   AltChar(ch)      KeyDown of the letter with Alt (as Key), then DialogChar(ch).
//   MouseDown/Move/Up(x, y)  at form client coordinates, to the topmost visible control under
//                    the point (windowed or graphic), in that control's client coordinates.
//                    A press captures: move and release go to the pressed control until the
//                    release. Moves send MouseLeave/MouseEnter when the control under the point
//                    changes. A press on a windowed control focuses it (not on a progress bar);
//                    a left press and release on the same button, check box, radio button,
//                    custom or graphic control clicks it after MouseUp. Disabled controls are
//                    passed over to their parent.
//   Tick(n)          n rounds of one Tick of every running timer, in the order they started.
//   CloseBox()       Close() of the form (modal result 2, DoClose may veto). A form without
//                    biSystemMenu (or with bsNone) has no close box: noted in ScriptErrors.
//   CloseRequest()   a close request from outside (taskbar, window manager, Task Manager):
//                    TForm::CloseRequest.
//   The form shows with the first tab stop focused (the form itself when it has none), as
//   the dialog manager does, unless DoShow focused something.
//   Type(name, text) the user replaces an edit's, memo's or editable combo box's text.
//   SelectText(name, start, length) the user selects part of a field's text; Ctrl+C in a
//                    focused field puts the selection on the clipboard.
//   WideChars(text)  characters typed as the wide message loop receives them: ASCII ones as
//                    Char, others straight into the focused field (in the machine's code page),
//                    never to accelerators.
//   Select(name, i)  the user picks item i of a combo box (its text follows).
//   PickDate(name, d) the user picks a date in a date picker.
//   Check(fn)        runs fn(form) on the live form; a failure inside is the test's.
// After every step, windows that were invalidated paint (form first, then its custom controls,
// in z-order); each paint is one TRecordingCanvas in THeadlessWindowing::Paints.
#pragma once
#include "runtime/Controls.h"
#include "runtime/Windowing.h"
#include <functional>
#include <string>

namespace qb {

class TForm;

enum class TUserAction : uint8_t {
    Click,
    Key,
    Char,
    AltChar,
    MouseDown,
    MouseMove,
    MouseUp,
    Tick,
    CloseBox,
    CloseRequest,
    DpiChange,
    HoldKey,
    ReleaseKey,
    SelectText,
    WideChars,
    Type,
    Select,
    PickDate,
    Check,
};

struct TUserStep {
    TUserAction Action = TUserAction::Check;
    std::string Control{}; // Click, Type, Select, PickDate
    int Key = 0;
    TShiftState Shift = 0;
    char Char = 0;
    int X = 0;
    int Y = 0;
    TMouseButton Button = TMouseButton::mbLeft;
    int Count = 1; // Tick; item index for Select; resolution for DpiChange
    TRect Rect{};  // DpiChange: the place suggested
    std::string Text{};
    std::u16string Wide{}; // WideChars
    TDate Date{};
    std::function<void(TForm&)> Callback{};
};

namespace user {
TUserStep Click(const std::string& control);
TUserStep Key(int key, TShiftState shift = 0);
TUserStep Char(char ch);
TUserStep AltChar(char ch);
TUserStep MouseDown(int x, int y, TMouseButton button = TMouseButton::mbLeft,
                    TShiftState shift = 0);
TUserStep MouseMove(int x, int y, TShiftState shift = 0);
TUserStep MouseUp(int x, int y, TMouseButton button = TMouseButton::mbLeft, TShiftState shift = 0);
TUserStep Tick(int count = 1);
TUserStep CloseBox();
TUserStep CloseRequest();
TUserStep DpiChange(int pixelsPerInch, const TRect& suggested = {});
TUserStep HoldKey(int key);
TUserStep ReleaseKey(int key);
TUserStep Type(const std::string& control, const std::string& text);
TUserStep SelectText(const std::string& control, int start, int length);
TUserStep WideChars(const std::u16string& text);
TUserStep Select(const std::string& control, int index);
TUserStep PickDate(const std::string& control, const TDate& date);
TUserStep Check(std::function<void(TForm&)> callback);
} // namespace user

} // namespace qb
