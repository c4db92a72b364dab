// The headless modal loop: plays the script's steps on the form the way the system's dialog
// manager delivers a person's input to a Win32 dialog.
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

namespace {

template <typename F> void ForEachControl(const TWinControl& parent, F&& visit) {
    for (TControl* control : parent.Controls()) {
        visit(*control);
        if (control->IsWindowedControl())
            ForEachControl(*static_cast<TWinControl*>(control), visit);
    }
}

// Visible and enabled all the way up (the form itself may still be hidden).
bool Usable(const TControl& control) {
    for (const TControl* c = &control; c; c = c->Parent())
        if (!c->Enabled() || (!c->Visible() && c->Kind() != TControlKind::Form))
            return false;
    return true;
}

bool WantsArrows(TControlKind kind) {
    return kind == TControlKind::Edit || kind == TControlKind::Memo ||
           kind == TControlKind::ComboBox || kind == TControlKind::DatePicker;
}

bool TypesText(const TWinControl& control) {
    switch (control.Kind()) {
    case TControlKind::Edit:
    case TControlKind::Memo:
        return true;
    case TControlKind::ComboBox:
        return static_cast<const TComboBox&>(control).Style() == TComboBoxStyle::csDropDown;
    default:
        return false;
    }
}

bool ClicksOnSpace(TControlKind kind) {
    return kind == TControlKind::Button || kind == TControlKind::CheckBox ||
           kind == TControlKind::RadioButton;
}

bool ClicksOnMouse(TControlKind kind) {
    return ClicksOnSpace(kind) || kind == TControlKind::Custom || kind == TControlKind::Graphic;
}

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

class TModalLoop {
public:
    TModalLoop(THeadlessWindowing& screen, TForm& form) : Screen(screen), Form(form) {}

    void Run() {
        ForEachPeer([](THeadlessPeer& peer) { peer.Dirty = true; });
        Dispatch([&] { Form.DoShow(); });
        if (!Focused())
            FocusFirst();
        PaintDirty();
        while (!ShouldEnd()) {
            if (Screen.Script.empty()) {
                Screen.ScriptErrors.push_back("the script ended while \"" + Form.Name() +
                                              "\" was shown");
                return;
            }
            TUserStep step = std::move(Screen.Script.front());
            Screen.Script.pop_front();
            Play(step);
            PaintDirty();
            if (Ended)
                return;
        }
    }

private:
    // What a window procedure does with an escaping exception.
    template <typename F> void Dispatch(F&& handler) {
        try {
            handler();
        } catch (const std::exception& error) {
            Application.HandleException(error);
        } catch (...) {
            Application.HandleException(std::runtime_error("An unknown error occurred"));
        }
    }

    bool ShouldEnd() {
        if (Ended)
            return true;
        Dispatch([&] { Ended = Form.ModalLoopShouldEnd(); });
        return Ended;
    }

    static THeadlessPeer* PeerOf(const TWinControl& control) {
        return static_cast<THeadlessPeer*>(control.Peer());
    }

    template <typename F> void ForEachPeer(F&& visit) {
        if (THeadlessPeer* peer = PeerOf(Form))
            visit(*peer);
        ForEachControl(Form, [&](TControl& control) {
            if (control.IsWindowedControl())
                if (THeadlessPeer* peer = PeerOf(static_cast<TWinControl&>(control)))
                    visit(*peer);
        });
    }

    // The focused control of this form (not the form itself), or nullptr.
    TWinControl* Focused() const {
        TWinControl* focused = Screen.FocusedControl();
        if (!focused || focused == &Form || focused->ParentForm() != &Form)
            return nullptr;
        return focused;
    }

    bool Alive(const TControl* control) const {
        if (!control)
            return false;
        if (control == &Form)
            return true;
        bool found = false;
        ForEachControl(Form, [&](TControl& c) { found = found || &c == control; });
        return found;
    }

    TControl* FindControl(const std::string& name) const {
        TControl* found = nullptr;
        ForEachControl(Form, [&](TControl& control) {
            if (!found && SameTextAscii(control.Name(), name))
                found = &control;
        });
        return found;
    }

    void Error(const std::string& text) { Screen.ScriptErrors.push_back(text); }

    void PaintDirty() {
        if (!Form.Visible())
            return;
        std::vector<THeadlessPeer*> dirty;
        ForEachPeer([&](THeadlessPeer& peer) {
            const TControlKind kind = peer.Control.Kind();
            if (peer.Dirty && (kind == TControlKind::Form || kind == TControlKind::Custom)) {
                bool visible = true;
                for (const TControl* c = &peer.Control; c; c = c->Parent())
                    visible = visible && c->Visible();
                if (visible)
                    dirty.push_back(&peer);
            }
        });
        for (THeadlessPeer* peer : dirty) {
            peer->Dirty = false;
            auto canvas = std::make_shared<TRecordingCanvas>();
            canvas->SetPixelsPerInch(Screen.PixelsPerInch, Screen.PixelsPerInch);
            canvas->SetFont(peer->Measure.Font());
            canvas->SetBrushColor(peer->Measure.BrushColor());
            canvas->SetBrushStyle(peer->Measure.BrushStyle());
            canvas->SetPenColor(peer->Measure.PenColor());
            canvas->SetPenWidth(peer->Measure.PenWidth());
            const bool isForm = peer->Control.Kind() == TControlKind::Form;
            Screen.Paints.push_back({peer->Control.Name(), isForm, canvas});
            TWinControl& control = peer->Control;
            Dispatch([&] {
                if (isForm)
                    static_cast<TForm&>(control).PaintWith(*canvas);
                else
                    static_cast<TCustomControl&>(control).PaintWith(*canvas);
            });
        }
    }

    void SetFocus(TWinControl& control) {
        if (THeadlessPeer* peer = PeerOf(control))
            Screen.Focus(peer);
    }

    // The tab stops in order: a run of radio buttons stops at its checked one (or its first).
    std::vector<TWinControl*> TabStops() const {
        std::vector<TWinControl*> all;
        std::vector<TWinControl*> stops;
        AddTabList(Form, all);
        for (size_t i = 0; i < all.size();) {
            if (all[i]->Kind() != TControlKind::RadioButton) {
                if (all[i]->TabStop() && all[i]->CanFocus())
                    stops.push_back(all[i]);
                ++i;
                continue;
            }
            size_t end = i;
            TWinControl* stop = nullptr;
            for (; end < all.size() && all[end]->Kind() == TControlKind::RadioButton &&
                   all[end]->Parent() == all[i]->Parent();
                 ++end) {
                auto* radio = static_cast<TRadioButton*>(all[end]);
                if (!radio->TabStop() || !radio->CanFocus())
                    continue;
                if (!stop || (radio->Checked() && !static_cast<TRadioButton*>(stop)->Checked()))
                    stop = radio;
            }
            if (stop)
                stops.push_back(stop);
            i = end;
        }
        return stops;
    }

    static void AddTabList(const TWinControl& parent, std::vector<TWinControl*>& out) {
        for (TWinControl* control : parent.TabList()) {
            out.push_back(control);
            AddTabList(*control, out);
        }
    }

    void FocusFirst() {
        std::vector<TWinControl*> stops = TabStops();
        if (!stops.empty())
            SetFocus(*stops.front());
        else if (THeadlessPeer* peer = PeerOf(Form))
            Screen.Focus(peer);
    }

    void MoveTab(bool back) {
        std::vector<TWinControl*> stops = TabStops();
        if (stops.empty())
            return;
        TWinControl* current = Focused();
        auto it = std::find(stops.begin(), stops.end(), current);
        size_t next;
        if (it == stops.end())
            next = back ? stops.size() - 1 : 0;
        else {
            const size_t at = static_cast<size_t>(it - stops.begin());
            next = back ? (at + stops.size() - 1) % stops.size() : (at + 1) % stops.size();
        }
        SetFocus(*stops[next]);
    }

    // Arrows move within a run of radio buttons, else to the neighbouring focusable control;
    // a radio button reached this way is clicked when it was not checked.
    void MoveArrow(TWinControl& current, bool back) {
        std::vector<TWinControl*> all;
        AddTabList(Form, all);
        std::vector<TWinControl*> group;
        auto at = std::find(all.begin(), all.end(), &current);
        if (current.Kind() == TControlKind::RadioButton && at != all.end()) {
            auto first = at;
            while (first != all.begin() && (*(first - 1))->Kind() == TControlKind::RadioButton &&
                   (*(first - 1))->Parent() == current.Parent())
                --first;
            for (auto it = first; it != all.end() && (*it)->Kind() == TControlKind::RadioButton &&
                                  (*it)->Parent() == current.Parent();
                 ++it)
                if (*it == &current || (*it)->CanFocus())
                    group.push_back(*it);
        } else {
            for (TWinControl* control : all)
                if (control == &current ||
                    (control->CanFocus() && control->Kind() != TControlKind::ProgressBar))
                    group.push_back(control);
        }
        auto it = std::find(group.begin(), group.end(), &current);
        if (group.size() < 2 || it == group.end())
            return;
        const size_t index = static_cast<size_t>(it - group.begin());
        TWinControl* next =
            group[back ? (index + group.size() - 1) % group.size() : (index + 1) % group.size()];
        SetFocus(*next);
        if (next->Kind() == TControlKind::RadioButton &&
            !static_cast<TRadioButton*>(next)->Checked())
            ClickControl(*next);
    }

    // The click a person's action makes: a check box toggles, then the object hears of it.
    void ClickControl(TControl& control) {
        if (control.Kind() == TControlKind::CheckBox)
            if (THeadlessPeer* peer = PeerOf(static_cast<TWinControl&>(control))) {
                peer->Checked = !peer->Checked;
                peer->Dirty = true;
            }
        Dispatch([&] { control.Click(); });
    }

    void Play(TUserStep& step) {
        switch (step.Action) {
        case TUserAction::Click:
            PlayClick(step.Control);
            break;
        case TUserAction::Key:
            PlayKey(step.Key, step.Shift, 0);
            break;
        case TUserAction::Char:
            PlayChar(step.Char);
            break;
        case TUserAction::AltChar: {
            const int key = CharKey(step.Char);
            PlayKey(key ? key : 0, ssAlt, step.Char);
            break;
        }
        case TUserAction::MouseDown:
        case TUserAction::MouseMove:
        case TUserAction::MouseUp:
            PlayMouse(step);
            break;
        case TUserAction::Tick:
            PlayTicks(step.Count);
            break;
        case TUserAction::CloseBox:
            if (!(Form.BorderIcons() & biSystemMenu) ||
                Form.BorderStyle() == TFormBorderStyle::bsNone) {
                Error("\"" + Form.Name() + "\" has no close box");
                break;
            }
            Dispatch([&] { Form.Close(); });
            break;
        case TUserAction::Type:
        case TUserAction::Select:
        case TUserAction::PickDate:
            PlayInput(step);
            break;
        case TUserAction::Check:
            if (step.Callback)
                step.Callback(Form);
            break;
        }
    }

    void PlayClick(const std::string& name) {
        TControl* control = FindControl(name);
        if (!control) {
            Error("no control \"" + name + "\" to click");
            return;
        }
        if (!Usable(*control)) {
            Error("\"" + name + "\" cannot be clicked: it is hidden or disabled");
            return;
        }
        if (control->IsWindowedControl() && control->Kind() != TControlKind::ProgressBar)
            SetFocus(static_cast<TWinControl&>(*control));
        ClickControl(*control);
    }

    void PlayKey(int key, TShiftState shift, char altChar) {
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
        if (used || Ended)
            return;
        target = Focused();
        const bool alt = (shift & ssAlt) != 0;
        const bool ctrl = (shift & ssCtrl) != 0;
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
        if (key == win::VK_LEFT || key == win::VK_RIGHT || key == win::VK_UP ||
            key == win::VK_DOWN) {
            if (target && !WantsArrows(target->Kind()))
                MoveArrow(*target, key == win::VK_LEFT || key == win::VK_UP);
            return;
        }
        if (key == win::VK_RETURN) {
            if (target && target->Kind() == TControlKind::Custom) {
                Dispatch([&] {
                    char ch = '\r';
                    target->KeyPress(ch);
                });
            } else if (target && target->Kind() == TControlKind::Memo &&
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

    // Alt with a key that gives a character: the system character goes to DialogChar.
    void PlayAltKey(int key, TShiftState shift) {
        const char ch = KeyChar(key, static_cast<TShiftState>(shift & ~ssAlt));
        if (ch)
            Dispatch([&] { Form.DialogChar(ch); });
    }

    void PlayChar(char ch) {
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

    // The origin of a control's client area in the form's client coordinates.
    TPoint Origin(const TControl& control) const {
        TPoint origin;
        for (const TControl* c = &control; c && c != &Form; c = c->Parent()) {
            origin.X += c->Left();
            origin.Y += c->Top();
        }
        return origin;
    }

    // The topmost visible control under a point of the form's client area; child windows lie
    // over their parent's graphic controls. A disabled control passes the mouse to its parent.
    TControl* ControlAt(int x, int y) const {
        const TWinControl* parent = &Form;
        TControl* hit = &Form;
        for (;;) {
            const TPoint origin = parent == &Form ? TPoint{} : Origin(*parent);
            TControl* found = nullptr;
            for (int pass = 0; pass < 2 && !found; ++pass) {
                const auto& list = parent->Controls();
                for (auto it = list.rbegin(); it != list.rend(); ++it) {
                    TControl* c = *it;
                    if (c->IsWindowedControl() != (pass == 0) || !c->Visible())
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

    void SetHover(TControl* hit) {
        TControl* old = Alive(Screen.Hover) ? Screen.Hover : nullptr;
        Screen.Hover = hit;
        if (old == hit)
            return;
        if (old)
            Dispatch([&] { old->MouseLeave(); });
        if (hit && Alive(hit))
            Dispatch([&] { hit->MouseEnter(); });
    }

    static TShiftState ButtonState(TMouseButton button) {
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

    void PlayMouse(const TUserStep& step) {
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

    void PlayTicks(int count) {
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

    void PlayInput(const TUserStep& step) {
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
        } else {
            Error("\"" + step.Control + "\" does not take that input");
            return;
        }
        peer->Dirty = true;
    }

    THeadlessWindowing& Screen;
    TForm& Form;
    bool Ended = false;
    TMouseButton PressedButton = TMouseButton::mbLeft;
};

void THeadlessWindowing::RunModal(THeadlessPeer& peer) {
    if (peer.Control.Kind() != TControlKind::Form)
        throw std::logic_error("only a form runs a modal loop");
    auto& form = static_cast<TForm&>(peer.Control);
    // The previous focus comes back when the dialog goes, as the system restores it.
    THeadlessPeer* previousFocus = Focused;
    ModalStack.push_back(&form);
    struct TPop {
        THeadlessWindowing& Screen;
        THeadlessPeer* Previous;
        ~TPop() {
            Screen.ModalStack.pop_back();
            if (std::find(Screen.Peers.begin(), Screen.Peers.end(), Previous) != Screen.Peers.end())
                Screen.Focused = Previous;
            else
                Screen.Focused = nullptr;
        }
    } pop{*this, previousFocus};
    TModalLoop(*this, form).Run();
}

void THeadlessWindowing::Focus(THeadlessPeer* peer) {
    if (peer == Focused)
        return;
    THeadlessPeer* old = Focused;
    Focused = peer;
    auto dispatch = [](auto&& handler) {
        try {
            handler();
        } catch (const std::exception& error) {
            Application.HandleException(error);
        }
    };
    if (old) {
        old->Dirty = true;
        dispatch([&] { old->Control.DoExit(); });
    }
    // The exit handler may have moved the focus elsewhere already.
    if (peer && Focused == peer) {
        peer->Dirty = true;
        dispatch([&] { peer->Control.DoEnter(); });
    }
}

TCursor THeadlessWindowing::Cursor() const {
    for (const THeadlessPeer* peer : Peers) {
        if (Hover == &peer->Control)
            return Hover->Cursor();
        // A graphic control under the mouse sits on a live parent.
        for (const TControl* child : peer->Control.Controls())
            if (child == Hover)
                return Hover->Cursor();
    }
    return TCursor::crDefault;
}

} // namespace qb
