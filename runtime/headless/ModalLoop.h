// The headless modal loop: plays the script's steps on the form the way the system's dialog
// manager delivers a person's input to a Win32 dialog. Private to runtime/headless.
#pragma once
#include "runtime/Application.h"
#include "runtime/AsciiCase.h"
#include "runtime/WinConst.h"
#include "runtime/Forms.h"
#include "runtime/StdCtrls.h"
#include "runtime/headless/HeadlessPeer.h"
#include "runtime/headless/HeadlessWindowing.h"
#include <stdexcept>
#include <string>
#include <vector>

namespace qb {

// Visible and enabled all the way up (the form itself may still be hidden).
inline bool Usable(const TControl& control) {
    for (const TControl* c = &control; c; c = c->Parent())
        if (!c->Enabled() || (!c->Visible() && c->Kind() != TControlKind::Form))
            return false;
    return true;
}

inline bool WantsArrows(TControlKind kind) {
    return kind == TControlKind::Edit || kind == TControlKind::Memo ||
           kind == TControlKind::ComboBox || kind == TControlKind::DatePicker;
}

inline bool TypesText(const TWinControl& control) {
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

// Progress bars and text windows never take the focus from the dialog manager.
inline bool TakesArrowFocus(const TControl& control) {
    return control.Kind() != TControlKind::ProgressBar &&
           control.Kind() != TControlKind::StaticText;
}

inline bool ClicksOnSpace(TControlKind kind) {
    return kind == TControlKind::Button || kind == TControlKind::CheckBox ||
           kind == TControlKind::RadioButton;
}

inline bool ClicksOnMouse(TControlKind kind) {
    return ClicksOnSpace(kind) || kind == TControlKind::Custom || kind == TControlKind::Graphic;
}

class TModalLoop {
public:
    TModalLoop(THeadlessWindowing& screen, TForm& form) : Screen(screen), Form(form) {}

    void Run() {
        ForEachPeer([](THeadlessPeer& peer) { peer.Dirty = true; });
        if (THeadlessPeer* peer = PeerOf(Form))
            peer->Cues = Screen.KeyboardCues ? kcFocus | kcAccelerators : 0;
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
            canvas->SetPixelsPerInch(peer->PixelsPerInch(), peer->PixelsPerInch());
            canvas->SetFont(peer->Measure.Font());
            canvas->SetFontRotation(peer->Measure.FontRotation());
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
                if (control == &current || (control->CanFocus() && TakesArrowFocus(*control)))
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
        case TUserAction::AltChar:
            PlayAltChar(step.Char);
            break;
        case TUserAction::MouseDown:
        case TUserAction::MouseMove:
        case TUserAction::MouseUp:
            PlayMouse(step);
            break;
        case TUserAction::Tick:
            PlayTicks(step.Count);
            break;
        case TUserAction::DpiChange:
            Dispatch([&] { Form.ChangeDpi(step.Count, step.Rect); });
            break;
        case TUserAction::CloseRequest:
            Dispatch([&] { Form.CloseRequest(); });
            break;
        case TUserAction::HoldKey:
        case TUserAction::ReleaseKey:
            PlaySpace(step.Action == TUserAction::HoldKey, step.Key);
            break;
        case TUserAction::CloseBox:
            if (!Form.HasCloseBox()) {
                Error("\"" + Form.Name() + "\" has no close box");
                break;
            }
            Dispatch([&] { Form.Close(); });
            break;
        case TUserAction::Type:
        case TUserAction::Select:
        case TUserAction::PickDate:
        case TUserAction::SelectText:
            PlayInput(step);
            break;
        case TUserAction::WideChars:
            for (char16_t ch : step.Wide)
                PlayWideChar(ch);
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

    void PlayKey(int key, TShiftState shift, char altChar);

    // Space held down and let go on the focused push button, as its window shows it.
    void PlaySpace(bool down, int key);

    // The keyboard was used: the cues it brings show from now on.
    void ShowCues(TKeyboardCues cues);

    // Alt with a key that gives a character: the system character goes to DialogChar.
    void PlayAltKey(int key, TShiftState shift);
    void PlayAltChar(char ch);

    void PlayChar(char ch);
    void PlayWideChar(char16_t ch);

    // The origin of a control's client area in the form's client coordinates.
    TPoint Origin(const TControl& control) const;

    // The topmost visible control under a point of the form's client area; child windows lie
    // over their parent's graphic controls. A disabled control passes the mouse to its parent.
    TControl* ControlAt(int x, int y) const;

    void SetHover(TControl* hit);

    static TShiftState ButtonState(TMouseButton button);

    void PlayMouse(const TUserStep& step);

    void PlayTicks(int count);

    void PlayInput(const TUserStep& step);

    THeadlessWindowing& Screen;
    TForm& Form;
    bool Ended = false;
    TMouseButton PressedButton = TMouseButton::mbLeft;
};

} // namespace qb
