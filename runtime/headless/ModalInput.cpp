// Keys, characters, mouse, timer ticks and typed input of the scripted user.
#include "runtime/AsciiCase.h"
#include "runtime/Platform.h"
#include "runtime/WinConst.h"
#include "runtime/headless/ModalLoop.h"
#include <algorithm>

namespace qb {

namespace {

// The character a key gives (0: none), as TranslateMessage makes it.
char KeyChar(int key, TShiftState shift) {
    const bool shifted = (shift & ssShift) != 0;
    if (key >= 'A' && key <= 'Z') {
        if (shift & ssCtrl)
            return static_cast<char>(key - 'A' + 1);
        return shifted ? static_cast<char>(key) : static_cast<char>(key - 'A' + 'a');
    }
    if (shift & ssCtrl)
        return 0;
    if (key >= '0' && key <= '9')
        return static_cast<char>(key);
    if (key == win::VK_SPACE)
        return ' ';
    if (key == win::VK_BACK)
        return '\b';
    return 0;
}

int CharKey(char ch) {
    const char upper = UpperAscii(ch);
    if ((upper >= 'A' && upper <= 'Z') || (upper >= '0' && upper <= '9'))
        return upper;
    if (ch == ' ')
        return win::VK_SPACE;
    return 0;
}

} // namespace

void TModalLoop::PlayKey(int key, TShiftState shift, char altChar) {
    TWinControl* target = Focused();
    bool used = false;
    // A character without a key of its own (Alt+"&") goes straight to DialogChar.
    Dispatch([&] {
        int k = key;
        if (k == 0)
            return;
        if (Form.KeyPreview && !Form.PreviewKey(k, shift)) {
            used = true;
            return;
        }
        if (target)
            target->KeyDown(k, shift);
        else if (!Form.KeyPreview)
            static_cast<TWinControl&>(Form).KeyDown(k, shift);
        used = k == 0;
    });
    const bool alt = (shift & ssAlt) != 0;
    const bool ctrl = (shift & ssCtrl) != 0;
    if (alt || key == win::VK_MENU)
        ShowCues(kcFocus | kcAccelerators);
    else if (key == win::VK_TAB || (key >= win::VK_LEFT && key <= win::VK_DOWN))
        ShowCues(kcFocus);
    if (used || Ended)
        return;
    target = Focused();
    if (key == win::VK_MENU) {
        // Alt pressed and let go with nothing between: the window menu takes the keyboard.
        if (Form.BorderIcons() & biSystemMenu)
            ++Screen.MenuActivations;
        return;
    }
    if (alt && altChar) {
        Dispatch([&] { Form.DialogChar(altChar); });
        return;
    }
    if (key == win::VK_F4 && alt && !ctrl) {
        Dispatch([&] { Form.Close(); });
        return;
    }
    if (alt)
        return PlayAltKey(key, shift);
    if (key == win::VK_TAB && !ctrl) {
        MoveTab((shift & ssShift) != 0);
        return;
    }
    if (key == win::VK_LEFT || key == win::VK_RIGHT || key == win::VK_UP || key == win::VK_DOWN) {
        if (target && !WantsArrows(target->Kind()))
            MoveArrow(*target, key == win::VK_LEFT || key == win::VK_UP);
        return;
    }
    if (key == win::VK_RETURN) {
        if (target && target->Kind() == TControlKind::Memo &&
            static_cast<TMemo*>(target)->WantReturns) {
            PeerOf(*target)->Text += "\r\n";
        } else {
            Dispatch([&] { Form.DialogKey(win::VK_RETURN); });
        }
        return;
    }
    if (key == win::VK_ESCAPE) {
        Dispatch([&] {
            if (!Form.DialogKey(win::VK_ESCAPE))
                Form.DialogChar('\x1B');
        });
        return;
    }
    if (key == win::VK_SPACE && !ctrl && target && ClicksOnSpace(target->Kind())) {
        ClickControl(*target);
        return;
    }
    if (const char ch = KeyChar(key, shift))
        PlayChar(ch);
}

void TModalLoop::ShowCues(TKeyboardCues cues) {
    THeadlessPeer* peer = PeerOf(Form);
    if (!peer || (peer->Cues & cues) == cues)
        return;
    peer->Cues |= cues;
    ForEachPeer([](THeadlessPeer& each) { each.Dirty = true; });
}

void TModalLoop::PlaySpace(bool down, int key) {
    TWinControl* target = Focused();
    if (key != win::VK_SPACE || !target || !target->IsPushButton()) {
        Error("a held key is Space on a focused push button");
        return;
    }
    THeadlessPeer* peer = PeerOf(*target);
    peer->Pushed = down;
    peer->Dirty = true;
    if (!down)
        ClickControl(*target);
}

// Alt with a key that gives a character: the system character goes to DialogChar.
void TModalLoop::PlayAltKey(int key, TShiftState shift) {
    const char ch = KeyChar(key, static_cast<TShiftState>(shift & ~ssAlt));
    if (ch)
        Dispatch([&] { Form.DialogChar(ch); });
}

void TModalLoop::PlayChar(char ch) {
    TWinControl* target = Focused();
    char c = ch;
    Dispatch([&] {
        if (Form.KeyPreview)
            static_cast<TWinControl&>(Form).KeyPress(c);
        if (c != 0 && target)
            target->KeyPress(c);
    });
    if (c == 0 || Ended)
        return;
    target = Focused();
    if (target && TypesText(*target)) {
        THeadlessPeer* peer = PeerOf(*target);
        if (c == 3) { // Ctrl+C: the field copies its selection
            if (peer->SelLength > 0)
                Screen.SetClipboardText(peer->Text.substr(peer->SelStart, peer->SelLength));
            return;
        }
        if (c == '\b') {
            if (!peer->Text.empty())
                peer->Text.pop_back();
        } else if (static_cast<unsigned char>(c) >= 32) {
            peer->Text += c;
        }
        if (target->Kind() == TControlKind::ComboBox)
            peer->ItemIndex = -1;
        peer->Dirty = true;
        return;
    }
    Dispatch([&] { Form.DialogChar(c); });
}

void TModalLoop::PlayWideChar(char16_t ch) {
    if (ch < 0x80)
        return PlayChar(static_cast<char>(ch));
    TWinControl* target = Focused();
    if (!target || !TypesText(*target) || !Platform().System)
        return;
    THeadlessPeer* peer = PeerOf(*target);
    peer->Text += Platform().System->FromUtf16(std::u16string(1, ch));
    peer->Dirty = true;
}

// The origin of a control's client area in the form's client coordinates.
TPoint TModalLoop::Origin(const TControl& control) const {
    TPoint origin;
    for (const TControl* c = &control; c && c != &Form; c = c->Parent()) {
        origin.X += c->Left();
        origin.Y += c->Top();
    }
    return origin;
}

// The topmost visible control under a point of the form's client area; child windows lie
// over their parent's graphic controls. A disabled control passes the mouse to its parent.
TControl* TModalLoop::ControlAt(int x, int y) const {
    const TWinControl* parent = &Form;
    TControl* hit = &Form;
    for (;;) {
        const TPoint origin = parent == &Form ? TPoint{} : Origin(*parent);
        TControl* found = nullptr;
        for (int pass = 0; pass < 2 && !found; ++pass) {
            const auto& list = parent->Controls();
            for (auto it = list.rbegin(); it != list.rend(); ++it) {
                TControl* c = *it;
                // Text windows let the mouse through to the form, as static windows do.
                if (c->IsWindowedControl() != (pass == 0) || !c->Visible() ||
                    c->Kind() == TControlKind::StaticText)
                    continue;
                const int lx = x - origin.X, ly = y - origin.Y;
                if (lx >= c->Left() && lx < c->Left() + c->Width() && ly >= c->Top() &&
                    ly < c->Top() + c->Height()) {
                    found = c;
                    break;
                }
            }
        }
        if (!found)
            break;
        if (!found->Enabled())
            break;
        hit = found;
        if (!found->IsWindowedControl())
            break;
        parent = static_cast<TWinControl*>(found);
    }
    return hit;
}

void TModalLoop::SetHover(TControl* hit) {
    TControl* old = Alive(Screen.Hover) ? Screen.Hover : nullptr;
    Screen.Hover = hit;
    if (old == hit)
        return;
    if (old)
        Dispatch([&] { old->MouseLeave(); });
    if (hit && Alive(hit))
        Dispatch([&] { hit->MouseEnter(); });
}

TShiftState TModalLoop::ButtonState(TMouseButton button) {
    switch (button) {
    case TMouseButton::mbLeft:
        return ssLeft;
    case TMouseButton::mbRight:
        return ssRight;
    case TMouseButton::mbMiddle:
        return ssMiddle;
    }
    return 0;
}

void TModalLoop::PlayMouse(const TUserStep& step) {
    TControl* hit = ControlAt(step.X, step.Y);
    SetHover(hit);
    if (!Alive(hit))
        return;
    TControl* capture = Alive(Screen.Capture) ? Screen.Capture : nullptr;
    switch (step.Action) {
    case TUserAction::MouseDown: {
        if (!capture) {
            Screen.Capture = hit;
            PressedButton = step.Button;
        }
        if (hit->IsWindowedControl() && hit->Kind() != TControlKind::ProgressBar)
            SetFocus(static_cast<TWinControl&>(*hit));
        if (!Alive(hit))
            return;
        const TPoint o = Origin(*hit);
        const TShiftState shift = step.Shift | ButtonState(step.Button);
        Dispatch([&] { hit->MouseDown(step.Button, shift, step.X - o.X, step.Y - o.Y); });
        break;
    }
    case TUserAction::MouseMove: {
        TControl* target = capture ? capture : hit;
        const TPoint o = Origin(*target);
        const TShiftState shift =
            step.Shift | (capture ? ButtonState(PressedButton) : TShiftState{0});
        Dispatch([&] { target->MouseMove(shift, step.X - o.X, step.Y - o.Y); });
        break;
    }
    case TUserAction::MouseUp: {
        TControl* target = capture ? capture : hit;
        Screen.Capture = nullptr;
        const TPoint o = Origin(*target);
        Dispatch([&] { target->MouseUp(step.Button, step.Shift, step.X - o.X, step.Y - o.Y); });
        if (capture && capture == hit && step.Button == TMouseButton::mbLeft &&
            PressedButton == TMouseButton::mbLeft && Alive(hit) && Usable(*hit) &&
            ClicksOnMouse(hit->Kind()) && !Ended)
            ClickControl(*hit);
        break;
    }
    default:
        break;
    }
}

void TModalLoop::PlayTicks(int count) {
    for (int round = 0; round < count; ++round)
        for (TTimer* timer : Screen.RunningTimers()) {
            const auto& running = Screen.Timers;
            if (std::find(running.begin(), running.end(), timer) == running.end())
                continue;
            Dispatch([&] { timer->Tick(); });
            PaintDirty();
            if (ShouldEnd())
                return;
        }
}

void TModalLoop::PlayInput(const TUserStep& step) {
    TControl* control = FindControl(step.Control);
    if (!control || !control->IsWindowedControl()) {
        Error("no input control \"" + step.Control + "\"");
        return;
    }
    if (!Usable(*control)) {
        Error("\"" + step.Control + "\" cannot take input: it is hidden or disabled");
        return;
    }
    THeadlessPeer* peer = PeerOf(static_cast<TWinControl&>(*control));
    const TControlKind kind = control->Kind();
    if (step.Action == TUserAction::Type && TypesText(static_cast<TWinControl&>(*control))) {
        peer->Text = step.Text;
        if (kind == TControlKind::ComboBox)
            peer->ItemIndex = -1;
    } else if (step.Action == TUserAction::Select && kind == TControlKind::ComboBox) {
        auto& combo = static_cast<TComboBox&>(*control);
        if (step.Count < 0 || step.Count >= combo.Items.Count()) {
            Error("\"" + step.Control + "\" has no item " + std::to_string(step.Count));
            return;
        }
        peer->ItemIndex = step.Count;
        peer->Text = combo.Items[step.Count];
    } else if (step.Action == TUserAction::PickDate && kind == TControlKind::DatePicker) {
        peer->Date = step.Date;
    } else if (step.Action == TUserAction::SelectText &&
               TypesText(static_cast<TWinControl&>(*control))) {
        peer->SelStart = std::min(static_cast<size_t>(std::max(step.X, 0)), peer->Text.size());
        peer->SelLength = std::min(static_cast<size_t>(std::max(step.Count, 0)),
                                   peer->Text.size() - peer->SelStart);
    } else {
        Error("\"" + step.Control + "\" does not take that input");
        return;
    }
    peer->Dirty = true;
}

void TModalLoop::PlayAltChar(char ch) {
    const int key = CharKey(ch);
    PlayKey(key, ssAlt, ch);
}

} // namespace qb
