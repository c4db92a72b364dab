#include "runtime/headless/ScriptedUser.h"
#include "runtime/Application.h"
#include "runtime/AsciiCase.h"
#include "runtime/Forms.h"
#include "runtime/StdCtrls.h"
#include "runtime/WinConst.h"
#include "runtime/headless/HeadlessPeer.h"
#include "runtime/headless/HeadlessWindowing.h"
#include <algorithm>
#include <stdexcept>

namespace qb {

namespace user {

TUserStep Click(const std::string& control) {
    TUserStep step;
    step.Action = TUserAction::Click;
    step.Control = control;
    return step;
}

TUserStep Key(int key, TShiftState shift) {
    TUserStep step;
    step.Action = TUserAction::Key;
    step.Key = key;
    step.Shift = shift;
    return step;
}

TUserStep Char(char ch) {
    TUserStep step;
    step.Action = TUserAction::Char;
    step.Char = ch;
    return step;
}

TUserStep AltChar(char ch) {
    TUserStep step;
    step.Action = TUserAction::AltChar;
    step.Char = ch;
    step.Shift = ssAlt;
    return step;
}

namespace {
TUserStep Mouse(TUserAction action, int x, int y, TMouseButton button, TShiftState shift) {
    TUserStep step;
    step.Action = action;
    step.X = x;
    step.Y = y;
    step.Button = button;
    step.Shift = shift;
    return step;
}
} // namespace

TUserStep MouseDown(int x, int y, TMouseButton button, TShiftState shift) {
    return Mouse(TUserAction::MouseDown, x, y, button, shift);
}

TUserStep MouseMove(int x, int y, TShiftState shift) {
    return Mouse(TUserAction::MouseMove, x, y, TMouseButton::mbLeft, shift);
}

TUserStep MouseUp(int x, int y, TMouseButton button, TShiftState shift) {
    return Mouse(TUserAction::MouseUp, x, y, button, shift);
}

TUserStep Tick(int count) {
    TUserStep step;
    step.Action = TUserAction::Tick;
    step.Count = count;
    return step;
}

TUserStep CloseBox() {
    TUserStep step;
    step.Action = TUserAction::CloseBox;
    return step;
}

TUserStep CloseRequest() {
    TUserStep step;
    step.Action = TUserAction::CloseRequest;
    return step;
}

TUserStep DpiChange(int pixelsPerInch, const TRect& suggested) {
    TUserStep step;
    step.Action = TUserAction::DpiChange;
    step.Count = pixelsPerInch;
    step.Rect = suggested;
    return step;
}

TUserStep HoldKey(int key) {
    TUserStep step;
    step.Action = TUserAction::HoldKey;
    step.Key = key;
    return step;
}

TUserStep ReleaseKey(int key) {
    TUserStep step;
    step.Action = TUserAction::ReleaseKey;
    step.Key = key;
    return step;
}

TUserStep Type(const std::string& control, const std::string& text) {
    TUserStep step;
    step.Action = TUserAction::Type;
    step.Control = control;
    step.Text = text;
    return step;
}

TUserStep SelectText(const std::string& control, int start, int length) {
    TUserStep step;
    step.Action = TUserAction::SelectText;
    step.Control = control;
    step.X = start;
    step.Count = length;
    return step;
}

TUserStep WideChars(const std::u16string& text) {
    TUserStep step;
    step.Action = TUserAction::WideChars;
    step.Wide = text;
    return step;
}

TUserStep Select(const std::string& control, int index) {
    TUserStep step;
    step.Action = TUserAction::Select;
    step.Control = control;
    step.Count = index;
    return step;
}

TUserStep PickDate(const std::string& control, const TDate& date) {
    TUserStep step;
    step.Action = TUserAction::PickDate;
    step.Control = control;
    step.Date = date;
    return step;
}

TUserStep Check(std::function<void(TForm&)> callback) {
    TUserStep step;
    step.Action = TUserAction::Check;
    step.Callback = std::move(callback);
    return step;
}

} // namespace user

} // namespace qb
