// The modal loop of the Win32 backend, driven from inside: a timer runs one step of a script per
// tick, and the steps post keys and mouse messages as the system would deliver them.
#include "runtime/win32/WindowsApi.h"

#include "runtime/Exception.h"
#include "runtime/Forms.h"
#include "runtime/StdCtrls.h"
#include "runtime/win32/Win32SystemInfo.h"
#include "tests/e2e/common/E2eCheck.h"
#include "tests/e2e/win32/WindowingSampleForm.h"
#include <functional>
#include <string>
#include <vector>

extern qb::e2e::TChecks Check;

namespace {

using namespace qb;

using TSteps = std::vector<std::function<void()>>;

HWND Wnd(TWinControl& control) {
    return reinterpret_cast<HWND>(control.WindowHandle());
}

// Shows the form modally; each timer tick runs the next step. A form still open 50 ticks after
// the last step is ended with 99.
int RunScript(TForm& form, TSteps steps, int* ticks = nullptr) {
    size_t next = 0;
    bool busy = false;
    TTimer timer(nullptr);
    timer.SetInterval(30);
    timer.OnTimer = [&](TComponent*) {
        if (ticks)
            ++*ticks;
        if (busy)
            return; // a step that runs a nested loop is still going
        busy = true;
        struct TDone {
            bool& Busy;
            ~TDone() { Busy = false; }
        } done{busy};
        if (next < steps.size())
            steps[next++]();
        else if (++next > steps.size() + 50)
            form.SetModalResult(99);
    };
    return form.ShowModal();
}

void PostKey(int key) {
    HWND focus = GetFocus();
    PostMessageA(focus, WM_KEYDOWN, static_cast<WPARAM>(key), 1);
    PostMessageA(focus, WM_KEYUP, static_cast<WPARAM>(key), static_cast<LPARAM>(0xC0000001u));
}

void SetShift(bool down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    keys[VK_LSHIFT] = keys[VK_SHIFT];
    SetKeyboardState(keys);
}

void SetAlt(bool down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_MENU] = down ? 0x80 : 0;
    keys[VK_LMENU] = keys[VK_MENU];
    SetKeyboardState(keys);
}

void PostAltF4() {
    SetAlt(true);
    // Bit 29: Alt is down, as the system marks a system key.
    PostMessageA(GetFocus(), WM_SYSKEYDOWN, VK_F4, (1 << 29) | 1);
}

void PostAltChar(HWND window, char ch) {
    // Bit 29: the Alt key is down, as for a system character.
    PostMessageA(window, WM_SYSCHAR, static_cast<unsigned char>(ch), (1 << 29) | 1);
}

// The push buttons that show the default ring: "Ok", or "Ok+Fail" when two do.
std::string DrawnDefault(TSampleForm& form) {
    std::string names;
    for (TControl* control : form.Controls()) {
        auto* button = dynamic_cast<TWinControl*>(control);
        if (!button || !button->IsPushButton())
            continue;
        HWND window = Wnd(*button);
        const bool ring =
            control->Kind() == TControlKind::Button
                ? (GetWindowLongPtrA(window, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON
                : (SendMessageA(window, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
        if (ring)
            names += (names.empty() ? "" : "+") + control->Name();
    }
    return names;
}

std::string NameOfFocus(TSampleForm& form) {
    HWND focus = GetFocus();
    for (TControl* control : form.Controls())
        if (control->IsWindowedControl()) {
            HWND window = Wnd(*static_cast<TWinControl*>(control));
            if (focus && (focus == window || IsChild(window, focus)))
                return control->Name();
        }
    return focus == Wnd(form) ? "form" : "(none)";
}

} // namespace

void RunModalChecks(qb::TSampleForm& form, std::vector<std::string>& boxes) {
    auto check = [](bool ok, const std::string& what) { Check(ok, "modal", what); };

    // Focus from OnShow, the keyboard cues, Tab and Shift+Tab through the tab order, Enter.
    {
        std::vector<std::string> walk;
        std::vector<std::string> rings;
        int ticks = 0;
        TSteps steps;
        steps.push_back([&] {
            check(IsWindowVisible(Wnd(form)) && IsWindowEnabled(Wnd(form)), "shown");
            check(NameOfFocus(form) == "Edit", "OnShow's focus: " + NameOfFocus(form));
            check(form.ActiveControl() == form.Edit, "active control");
            const auto state = SendMessageA(Wnd(form), WM_QUERYUISTATE, 0, 0);
            check(!(state & UISF_HIDEFOCUS), "focus rectangles shown");
            check(form.Paints > 0 && form.Link->Paints > 0, "form and custom control painted");
            POINT band{5, ::MulDiv(TSampleForm::BandTop + 5, form.PixelsPerInch(), 96)};
            HDC dc = GetDC(Wnd(form));
            check(GetPixel(dc, band.x, band.y) == GetSysColor(COLOR_BTNFACE) &&
                      GetPixel(dc, 5, 5) == RGB(255, 255, 255),
                  "client area painted by the form");
            ReleaseDC(Wnd(form), dc);
        });
        for (int i = 0; i < 9; ++i)
            steps.push_back([&] {
                walk.push_back(NameOfFocus(form));
                rings.push_back(NameOfFocus(form) + ":" + DrawnDefault(form));
                PostKey(VK_TAB);
            });
        steps.push_back([&] {
            walk.push_back(NameOfFocus(form));
            SetShift(true);
            PostKey(VK_TAB);
        });
        steps.push_back([&] {
            SetShift(false);
            walk.push_back(NameOfFocus(form));
            check(form.Link->Enters == 1 && form.Link->Exits == 1, "custom control focus hooks");
            PostKey(VK_RETURN);
        });
        const int result = RunScript(form, steps, &ticks);
        std::string order;
        for (const auto& name : walk)
            order += name + " ";
        check(order == "Edit Memo Combo Date Link Radio2 Fail Box Ok Cancel Ok ",
              "tab walk: " + order);
        check(result == mrOk, "Enter presses the default button: " + std::to_string(result));
        std::string ringWalk;
        for (const auto& ring : rings)
            ringWalk += ring + " ";
        // One default ring, on the focused push button (painted ones too), else on OK.
        check(ringWalk == "Edit:Ok Memo:Ok Combo:Ok Date:Ok Link:Link Radio2:Ok Fail:Fail Box:Ok "
                          "Ok:Ok ",
              "the default ring follows the focus: " + ringWalk);
        check(ticks >= 12, "timer ticked in the loop: " + std::to_string(ticks));
        check(!IsWindowVisible(Wnd(form)), "hidden after the loop");
    }

    // Escape presses the cancel button; the close box asks to close (result 2).
    check(RunScript(form, {[] { PostKey(VK_ESCAPE); }}) == mrCancel, "Escape cancels");
    // Without a close box, close requests from outside are ignored.
    form.SetBorderIcons(0);
    check(RunScript(form, {[&] {
                               PostMessageA(Wnd(form), WM_SYSCOMMAND, SC_CLOSE, 0);
                               PostMessageA(Wnd(form), WM_CLOSE, 0, 0);
                           },
                           [&] { form.SetModalResult(mrOk); }}) == mrOk,
          "close requests ignored without a close box");
    form.SetBorderIcons(biSystemMenu);
    check(RunScript(form, {[&] { PostMessageA(Wnd(form), WM_SYSCOMMAND, SC_CLOSE, 0); }}) ==
              mrCancel,
          "the close command gives 2");

    // The custom control clicks once per Space, Enter and mouse click.
    struct TInput {
        const char* What;
        std::function<void()> Send;
    };
    const TInput inputs[] = {
        {"Space", [] { PostKey(VK_SPACE); }},
        {"Enter", [] { PostKey(VK_RETURN); }},
        {"mouse",
         [&] {
             HWND link = Wnd(*form.Link);
             PostMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
             PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, 6));
             PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(6, 6));
         }},
    };
    for (const TInput& input : inputs) {
        form.Link->Clicks = 0;
        const int result = RunScript(form, {[&] { form.Link->SetFocus(); }, input.Send});
        check(result == 100 && form.Link->Clicks == 1,
              std::string("custom control clicked once by ") + input.What + ": " +
                  std::to_string(form.Link->Clicks));
    }
    check(form.Link->MouseEnters == 1, "mouse enter reported");

    // The hand cursor over a control that asks for it.
    RunScript(form, {[&] {
                  SendMessageA(Wnd(form), WM_SETCURSOR, reinterpret_cast<WPARAM>(Wnd(*form.Link)),
                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
                  check(GetCursor() == LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)),
                        "hand cursor over the link");
                  form.SetModalResult(mrOk);
              }});

    // Alt+letter: the accelerator toggles the check box, then presses OK.
    {
        const bool before = form.Box->Checked();
        const int result = RunScript(
            form, {[&] { PostAltChar(GetFocus(), 'r'); }, [&] { PostAltChar(GetFocus(), 'o'); }});
        check(result == mrOk && form.Box->Checked() != before,
              "accelerators: " + std::to_string(result) + " " +
                  std::to_string(form.Box->Checked()) + std::to_string(before));
    }

    // A mouse click on the check box reaches the object through BN_CLICKED.
    {
        const bool before = form.Box->Checked();
        RunScript(form, {[&] {
                             HWND box = Wnd(*form.Box);
                             PostMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
                             PostMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
                         },
                         [&] { form.SetModalResult(mrOk); }});
        check(form.Box->Checked() != before, "check box clicked by the mouse");
    }

    // An exception in a click handler, a timer tick or a paint is shown once; the loop goes on
    // and the form paints again once the box is closed.
    {
        boxes.clear();
        form.Fail->OnClick = [](TComponent*) { throw Exception("Raised in a click handler"); };
        bool after = false;
        int paints = 0;
        TSteps steps;
        steps.push_back([&] { PostMessageA(Wnd(*form.Fail), BM_CLICK, 0, 0); });
        steps.push_back([] { throw Exception("Raised in a timer tick"); });
        steps.push_back([&] {
            form.ThrowInPaint = true;
            form.Invalidate();
        });
        steps.push_back([&] { paints = form.Paints; });
        steps.push_back([&] {
            after = true;
            check(form.Paints > paints, "the form painted again after the failed paint");
            PostMessageA(Wnd(form), WM_CLOSE, 0, 0);
        });
        steps.insert(steps.begin() + 4, [&] { form.Invalidate(); });
        const int result = RunScript(form, steps);
        check(after && result == mrCancel, "loop still running after the exceptions");
        check(boxes.size() == 3 && boxes[0] == "Raised in a click handler" &&
                  boxes[1] == "Raised in a timer tick" && boxes[2] == "Raised in a paint",
              "every exception shown once: " + std::to_string(boxes.size()));
        form.Fail->OnClick = nullptr;
    }

    // Alt+F4 reaches the form's key handling before the system closes the window.
    {
        int seen = 0;
        form.OnKeyDown = [&](TComponent*, int& key, TShiftState shift) {
            if (key == VK_F4 && (shift & ssAlt) && ++seen == 1)
                key = 0;
        };
        const int result = RunScript(form, {[] { PostAltF4(); },
                                            [&] {
                                                SetAlt(false);
                                                check(IsWindowVisible(Wnd(form)) && seen == 1,
                                                      "Alt+F4 stopped by the form");
                                                PostAltF4();
                                            },
                                            [] { SetAlt(false); }});
        SetAlt(false);
        check(result == mrCancel && seen == 2,
              "Alt+F4 closes with 2 when the form lets it: " + std::to_string(result));
        form.OnKeyDown = nullptr;
    }

    // A close handler's veto keeps the window; the loop ends when it agrees.
    {
        int asked = 0;
        form.OnClose = [&](TComponent*, TCloseAction& action) {
            if (++asked == 1)
                action = TCloseAction::caNone;
        };
        const int result = RunScript(form, {[] { PostKey(VK_ESCAPE); },
                                            [&] {
                                                check(IsWindowVisible(Wnd(form)), "vetoed");
                                                PostKey(VK_ESCAPE);
                                            }});
        check(result == mrCancel && asked == 2, "close veto then close");
        form.OnClose = nullptr;
    }

    // A modal form over a modal form: the outer one is disabled meanwhile and comes back.
    {
        TForm inner(nullptr);
        inner.SetCaption("Inner");
        inner.SetBorderStyle(TFormBorderStyle::bsDialog);
        inner.SetClientWidth(200);
        inner.SetClientHeight(80);
        int innerResult = 0;
        const int result = RunScript(
            form, {[&] {
                       TTimer closer(nullptr);
                       closer.SetInterval(60);
                       closer.OnTimer = [&](TComponent*) {
                           check(!IsWindowEnabled(Wnd(form)), "owner disabled");
                           check(GetWindow(Wnd(inner), GW_OWNER) == Wnd(form), "owned by outer");
                           inner.SetModalResult(7);
                       };
                       innerResult = inner.ShowModal();
                       check(IsWindowEnabled(Wnd(form)), "owner enabled again");
                   },
                   [&] { form.SetModalResult(mrOk); }});
        check(innerResult == 7 && result == mrOk, "nested modal loops");
    }
}
