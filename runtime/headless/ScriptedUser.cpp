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
    return {.Action = TUserAction::Click, .Control = control};
}

TUserStep Key(int key, TShiftState shift) {
    return {.Action = TUserAction::Key, .Key = key, .Shift = shift};
}

TUserStep Char(char ch) {
    return {.Action = TUserAction::Char, .Char = ch};
}

TUserStep AltChar(char ch) {
    return {.Action = TUserAction::AltChar, .Shift = ssAlt, .Char = ch};
}

TUserStep MouseDown(int x, int y, TMouseButton button, TShiftState shift) {
    return {.Action = TUserAction::MouseDown, .Shift = shift, .X = x, .Y = y, .Button = button};
}

TUserStep MouseMove(int x, int y, TShiftState shift) {
    return {.Action = TUserAction::MouseMove, .Shift = shift, .X = x, .Y = y};
}

TUserStep MouseUp(int x, int y, TMouseButton button, TShiftState shift) {
    return {.Action = TUserAction::MouseUp, .Shift = shift, .X = x, .Y = y, .Button = button};
}

TUserStep Tick(int count) {
    return {.Action = TUserAction::Tick, .Count = count};
}

TUserStep CloseBox() {
    return {.Action = TUserAction::CloseBox};
}

TUserStep CloseRequest() {
    return {.Action = TUserAction::CloseRequest};
}

TUserStep DpiChange(int pixelsPerInch, const TRect& suggested) {
    return {.Action = TUserAction::DpiChange, .Count = pixelsPerInch, .Rect = suggested};
}

TUserStep HoldKey(int key) {
    return {.Action = TUserAction::HoldKey, .Key = key};
}

TUserStep ReleaseKey(int key) {
    return {.Action = TUserAction::ReleaseKey, .Key = key};
}

TUserStep Type(const std::string& control, const std::string& text) {
    return {.Action = TUserAction::Type, .Control = control, .Text = text};
}

TUserStep SelectText(const std::string& control, int start, int length) {
    return {.Action = TUserAction::SelectText, .Control = control, .X = start, .Count = length};
}

TUserStep WideChars(const std::u16string& text) {
    return {.Action = TUserAction::WideChars, .Wide = text};
}

TUserStep Select(const std::string& control, int index) {
    return {.Action = TUserAction::Select, .Control = control, .Count = index};
}

TUserStep PickDate(const std::string& control, const TDate& date) {
    return {.Action = TUserAction::PickDate, .Control = control, .Date = date};
}

TUserStep Check(std::function<void(TForm&)> callback) {
    return {.Action = TUserAction::Check, .Callback = std::move(callback)};
}

} // namespace user

} // namespace qb
