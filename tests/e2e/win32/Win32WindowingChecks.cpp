// Checks of the Win32 windowing backend under wine64, run by run_windowing_checks.sh: real
// windows for every control kind, the modal loop driven by a timer script (keys posted as the
// keyboard would send them), the clipboard, pictures, dates and the screen's DPI.
// "--dpi N" says what the screen's DPI must be; "--show" opens the sample form for a screenshot
// and exits with its modal result.
#include "runtime/win32/WindowsApi.h"

#include "runtime/Application.h"
#include "runtime/Exception.h"
#include "runtime/Forms.h"
#include "runtime/StdCtrls.h"
#include "runtime/win32/GdiCanvas.h"
#include "runtime/win32/Win32Peer.h"
#include "runtime/win32/Win32Platform.h"
#include "tests/e2e/common/E2eCheck.h"
#include "tests/e2e/win32/WindowingSampleForm.h"
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

qb::e2e::TChecks Check;

void RunModalChecks(qb::TSampleForm& form, std::vector<std::string>& boxes);

namespace {

using namespace qb;

// Error boxes are recorded instead of shown, so a failing hook does not stop the run.
class TRecordingSystem : public Win32SystemInfo {
public:
    int MessageBox(THandle, const std::string& text, const std::string&, uint32_t) override {
        Boxes.push_back(text);
        return IDOK;
    }
    std::vector<std::string> Boxes;
};

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(
        static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

HWND Wnd(TWinControl& control) {
    return reinterpret_cast<HWND>(control.WindowHandle());
}

LONG_PTR StyleOf(TWinControl& control) {
    return GetWindowLongPtrA(Wnd(control), GWL_STYLE);
}

bool SameText(const std::string& a, const char* b) {
    return lstrcmpiA(a.c_str(), b) == 0;
}

void CheckDates(Win32Windowing& windowing) {
    struct TCase {
        const char* Text;
        const char* Pattern;
        bool Valid;
        TDate Date;
    };
    const TCase cases[] = {
        {"12/31/2024", "M/d/yyyy", true, {2024, 12, 31}},
        {"31.12.2024", "dd.MM.yyyy", true, {2024, 12, 31}},
        {"2024-02-29", "yyyy-MM-dd", true, {2024, 2, 29}},
        {"2023-02-29", "yyyy-MM-dd", false, {}},
        {"1/2/29", "M/d/yy", true, {2029, 1, 2}},
        {"1/2/30", "M/d/yy", true, {1930, 1, 2}},
        {" 7 / 4 / 1999 ", "M/d/yyyy", true, {1999, 7, 4}},
        {"13/1/2024", "M/d/yyyy", false, {}},
        {"0/1/2024", "M/d/yyyy", false, {}},
        {"1/2", "M/d/yyyy", false, {}},
        {"1/2/3/4", "M/d/yyyy", false, {}},
        {"Jan 2 2024", "M/d/yyyy", false, {}},
        {"1/2/123456", "M/d/yyyy", false, {}},
        {"4/5/2024", "'day' d 'of' M, yyyy", true, {2024, 5, 4}},
        {"4/5/2024", "", true, {2024, 4, 5}},
    };
    for (const TCase& c : cases) {
        TDate date{1, 1, 1};
        const bool valid = ParseDateByPattern(c.Text, c.Pattern, date);
        Check(valid == c.Valid, "dates", std::string("parse '") + c.Text + "' by " + c.Pattern);
        if (c.Valid)
            Check(date == c.Date, "dates", std::string("value of '") + c.Text + "'");
        else
            Check(date == (TDate{1, 1, 1}), "dates", std::string("left alone by ") + c.Text);
    }
    // The user's own format reads back what it wrote.
    const std::string shown = windowing.FormatShortDate({2031, 3, 9});
    TDate back;
    Check(!shown.empty() && windowing.ParseShortDate(shown, back) && back == (TDate{2031, 3, 9}),
          "dates", "short date round trip through '" + shown + "'");
    Check(windowing.FormatShortDate({2031, 2, 30}).empty(), "dates", "no text for 30 February");
}

void CheckPictures(Win32Windowing& windowing) {
    // A 4x4 bitmap: magenta ground with a black 2x2 centre, drawn on white at 1x and 1.5x.
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            SetPixel(dc, x, y,
                     (x == 1 || x == 2) && (y == 1 || y == 2) ? RGB(0, 0, 0) : RGB(255, 0, 255));
    SelectObject(dc, old);
    DeleteDC(dc);
    TGdiBitmap keyed(bitmap, true, 0xFF00FF);
    for (const int size : {4, 6, 12}) {
        TGdiBitmapCanvas canvas(size, size);
        canvas.Clear(clWhite);
        canvas.StretchDraw({0, 0, size, size}, keyed);
        int magenta = 0;
        int black = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                magenta += canvas.Pixel(x, y) == 0xFF00FF;
                black += canvas.Pixel(x, y) == 0;
            }
        Check(magenta == 0, "pictures", "no key colour at size " + std::to_string(size));
        Check(black == size * size / 4, "pictures",
              "black centre scaled at size " + std::to_string(size) + " (" + std::to_string(black) +
                  ")");
        Check(canvas.Pixel(0, 0) == clWhite, "pictures", "corner shows the ground");
    }

    auto solid = windowing.SolidBitmap(3, 2, 0x123456);
    Check(solid && solid->Width() == 3 && solid->Height() == 2, "pictures", "solid bitmap size");
    if (solid) {
        TGdiBitmapCanvas canvas(3, 2);
        canvas.Draw(0, 0, *solid);
        Check(canvas.Pixel(2, 1) == 0x123456, "pictures", "solid bitmap colour");
    }
    for (const int size : {16, 32, 48}) {
        auto icon = windowing.LoadSystemIcon(32515 /* IDI_WARNING */, size);
        Check(icon && icon->Width() == size, "pictures", "system icon at " + std::to_string(size));
        if (icon) {
            TGdiBitmapCanvas canvas(size + 2, size + 2);
            canvas.Clear(clWhite);
            canvas.StretchDraw({1, 1, size + 1, size + 1}, *icon);
            int drawn = 0;
            for (int y = 0; y < size + 2; ++y)
                for (int x = 0; x < size + 2; ++x)
                    drawn += canvas.Pixel(x, y) != clWhite;
            Check(drawn > size * size / 4 && canvas.Pixel(0, 0) == clWhite, "pictures",
                  "system icon drawn inside its box at " + std::to_string(size));
        }
    }
    Check(windowing.LoadSystemIcon(12345, 32) == nullptr, "pictures", "no such system icon");
    Check(windowing.LoadBitmapResource("NO_SUCH_BITMAP", 0xFF00FF) == nullptr, "pictures",
          "missing bitmap resource");
}

struct TClipboardHolder {
    HANDLE Opened, Release;
};

// Another thread of the program holds the clipboard open until it is told to let go.
DWORD WINAPI HoldClipboard(void* param) {
    const auto& events = *static_cast<TClipboardHolder*>(param);
    HWND window =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    const bool held = OpenClipboard(window);
    SetEvent(events.Opened);
    WaitForSingleObject(events.Release, 10000);
    if (held)
        CloseClipboard();
    DestroyWindow(window);
    return 0;
}

void CheckServices(Win32Windowing& windowing, int expectedDpi) {
    Check(windowing.ScreenPixelsPerInch() == expectedDpi, "screen",
          "pixels per inch " + std::to_string(windowing.ScreenPixelsPerInch()) + ", expected " +
              std::to_string(expectedDpi));
    const TSize screen = windowing.ScreenSize();
    Check(screen.Width == GetSystemMetrics(SM_CXSCREEN) && screen.Height > 0, "screen", "size");
    Check(windowing.SystemMetric(SM_CYEDGE) == GetSystemMetrics(SM_CYEDGE), "screen", "metric");
    TFont font;
    font.Name = "untouched";
    Check(windowing.GetMessageFont(font, 0) && !font.Name.empty() && font.Name != "untouched" &&
              font.Size >= 7 && font.Size <= 12,
          "screen", "message font " + font.Name + " " + std::to_string(font.Size) + " pt");

    const std::string module = windowing.ModuleFileName();
    Check(module.size() > 26 &&
              SameText(module.substr(module.size() - 26), "win32_windowing_checks.exe") &&
              module[1] == ':',
          "module", "full path " + module);

    // The clipboard: a round trip, then a copy while another thread holds it open.
    Check(windowing.SetClipboardText("first text"), "clipboard", "set");
    Check(windowing.ClipboardText() == "first text", "clipboard", "read back");
    const std::string longText(70000, 'x');
    Check(windowing.SetClipboardText(longText) && windowing.ClipboardText() == longText,
          "clipboard", "long text whole");
    windowing.SetClipboardText("kept text");
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    TClipboardHolder events{opened, release};
    HANDLE holder = CreateThread(nullptr, 0, HoldClipboard, &events, 0, nullptr);
    WaitForSingleObject(opened, 10000);
    Check(!windowing.SetClipboardText("lost text"), "clipboard", "false while held elsewhere");
    SetEvent(release);
    WaitForSingleObject(holder, 10000);
    CloseHandle(holder);
    CloseHandle(opened);
    CloseHandle(release);
    Check(windowing.ClipboardText() == "kept text", "clipboard", "old content kept");
}

void CheckControls(TSampleForm& form, int dpi) {
    // The system's dialog class: readers take the window for a dialog.
    Check(ClassOf(Wnd(form)) == "#32770", "form", "class");
    RECT client{};
    GetClientRect(Wnd(form), &client);
    Check(client.right == form.ClientWidth() && client.bottom == form.ClientHeight(), "form",
          "client size exact: " + std::to_string(client.right) + "x" +
              std::to_string(client.bottom));
    const LONG_PTR style = StyleOf(form);
    const LONG_PTR exStyle = GetWindowLongPtrA(Wnd(form), GWL_EXSTYLE);
    Check((style & WS_CAPTION) == WS_CAPTION && !(style & WS_SYSMENU) && !(style & WS_THICKFRAME),
          "form", "dialog border without system menu");
    Check((exStyle & WS_EX_DLGMODALFRAME) && !(exStyle & WS_EX_TOPMOST), "form", "dialog frame");
    Check(!IsWindowVisible(Wnd(form)), "form", "hidden until shown");
    Check(TextOf(Wnd(form)) == "Windowing check", "form", "caption");
    form.SetBorderIcons(biSystemMenu);
    form.SetFormStyle(TFormStyle::fsStayOnTop);
    Check(StyleOf(form) & WS_SYSMENU, "form", "close box");
    GetClientRect(Wnd(form), &client);
    Check(client.right == form.ClientWidth() && client.bottom == form.ClientHeight(), "form",
          "client size kept across a style change");
    form.SetClientHeight(form.ClientHeight() + 10);
    GetClientRect(Wnd(form), &client);
    Check(client.bottom == form.ClientHeight(), "form", "client height follows");
    form.SetClientHeight(form.ClientHeight() - 10);

    struct TKind {
        TWinControl* Control;
        const char* Class;
        LONG_PTR Type;
        LONG_PTR TypeMask;
    };
    const TKind kinds[] = {
        {form.Ok, "Button", BS_DEFPUSHBUTTON, BS_TYPEMASK},
        {form.Cancel, "Button", BS_PUSHBUTTON, BS_TYPEMASK},
        {form.Box, "Button", BS_AUTOCHECKBOX, BS_TYPEMASK},
        {form.Radio1, "Button", BS_AUTORADIOBUTTON, BS_TYPEMASK},
        {form.Link, "Button", BS_OWNERDRAW, BS_TYPEMASK},
        {form.Edit, "Edit", ES_AUTOHSCROLL, ES_AUTOHSCROLL | ES_MULTILINE},
        {form.Memo, "Edit", ES_MULTILINE | ES_WANTRETURN, ES_MULTILINE | ES_WANTRETURN},
        {form.Combo, "ComboBox", CBS_DROPDOWNLIST, 3},
        {form.Date, "SysDateTimePick32", 0, 0},
        {form.Progress, "msctls_progress32", 0, 0},
    };
    for (const TKind& kind : kinds) {
        const std::string name = kind.Control->Name();
        Check(SameText(ClassOf(Wnd(*kind.Control)), kind.Class), "controls",
              name + " class " + ClassOf(Wnd(*kind.Control)));
        Check((StyleOf(*kind.Control) & kind.TypeMask) == kind.Type, "controls", name + " style");
        Check(GetParent(Wnd(*kind.Control)) == Wnd(form), "controls", name + " parent");
    }
    Check(TextOf(Wnd(*form.Link)) == form.Link->Caption(), "controls",
          "a command link's window text is its caption");
    HWND heading = Wnd(*form.Heading);
    Check(ClassOf(heading) == "Static" && (StyleOf(*form.Heading) & SS_TYPEMASK) == SS_OWNERDRAW &&
              (StyleOf(*form.Heading) & SS_NOPREFIX) && !(StyleOf(*form.Heading) & WS_TABSTOP),
          "controls", "a text window is an owner-drawn static without prefixes or tab stop");
    Check(TextOf(heading) == "Every control & window", "controls", "a text window's text");
    Check(SendMessageA(heading, WM_NCHITTEST, 0, 0) == HTTRANSPARENT, "controls",
          "the mouse passes through a text window to the form");
    Check(GetWindow(heading, GW_HWNDNEXT) == Wnd(*form.Edit), "controls",
          "a text window stands before the first control below it");
    Check((SendMessageA(Wnd(*form.Link), WM_GETDLGCODE, 0, 0) &
           (DLGC_BUTTON | DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) ==
              (DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON),
          "controls", "a painted button is a push button to the dialog manager");
    SendMessageA(Wnd(*form.Link), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    Check((StyleOf(*form.Link) & BS_TYPEMASK) == BS_OWNERDRAW, "controls",
          "the default ring leaves a painted button owner-drawn");
    Check(TextOf(Wnd(*form.Ok)) == "&OK", "controls", "button text");
    Check((StyleOf(*form.Radio1) & WS_GROUP) && !(StyleOf(*form.Radio2) & WS_GROUP) &&
              (StyleOf(*form.Box) & WS_GROUP),
          "controls", "a group starts at the first radio button only");
    Check(!(StyleOf(*form.Progress) & WS_TABSTOP) && (StyleOf(*form.Ok) & WS_TABSTOP), "controls",
          "tab stops");

    // Texts are read whole and state goes both ways.
    const std::string longText(1000, 'q');
    SetWindowTextA(Wnd(*form.Edit), longText.c_str());
    Check(form.Edit->Text() == longText, "controls", "edit text read whole");
    form.Box->SetChecked(true);
    Check(SendMessageA(Wnd(*form.Box), BM_GETCHECK, 0, 0) == BST_CHECKED, "controls",
          "check box state shown");
    Check((StyleOf(*form.Radio1) & WS_TABSTOP) && !(StyleOf(*form.Radio2) & WS_TABSTOP), "controls",
          "Tab enters the radio buttons at the checked one");
    form.Radio2->SetChecked(true);
    Check(SendMessageA(Wnd(*form.Radio1), BM_GETCHECK, 0, 0) == BST_UNCHECKED &&
              SendMessageA(Wnd(*form.Radio2), BM_GETCHECK, 0, 0) == BST_CHECKED,
          "controls", "radio buttons shown");
    Check(!(StyleOf(*form.Radio1) & WS_TABSTOP) && (StyleOf(*form.Radio2) & WS_TABSTOP), "controls",
          "the tab stop follows the check");
    Check(SendMessageA(Wnd(*form.Combo), CB_GETCOUNT, 0, 0) == 3 && form.Combo->ItemIndex() == 1,
          "controls", "combo items and selection");
    form.Combo->SetStyle(TComboBoxStyle::csDropDown);
    Check((StyleOf(*form.Combo) & 3) == CBS_DROPDOWN &&
              SendMessageA(Wnd(*form.Combo), CB_GETCOUNT, 0, 0) == 3 &&
              form.Combo->Text() == "Beta",
          "controls", "combo box made editable keeps its items");
    form.Combo->SetStyle(TComboBoxStyle::csDropDownList);
    form.Date->SetDate({2030, 7, 14});
    Check(form.Date->Date() == (TDate{2030, 7, 14}), "controls", "date picker round trip");
    form.Progress->SetPosition(40);
    Check(SendMessageA(Wnd(*form.Progress), PBM_GETPOS, 0, 0) == 40, "controls", "progress");
    form.Progress->SetState(TProgressBarState::pbsError);
    // Wine's progress bar has no states: the backend colours the bar itself there.
    Check(SendMessageA(Wnd(*form.Progress), PBM_GETSTATE, 0, 0) == PBST_ERROR ||
              static_cast<COLORREF>(SendMessageA(Wnd(*form.Progress), PBM_GETBARCOLOR, 0, 0)) ==
                  RGB(218, 38, 38),
          "controls", "progress error state");
    form.Progress->SetState(TProgressBarState::pbsNormal);
    Check(SendMessageA(Wnd(*form.Progress), PBM_GETSTATE, 0, 0) == PBST_NORMAL &&
              static_cast<COLORREF>(SendMessageA(Wnd(*form.Progress), PBM_GETBARCOLOR, 0, 0)) ==
                  CLR_DEFAULT,
          "controls", "progress normal state");
    form.Progress->SetMarquee(true);
    Check(StyleOf(*form.Progress) & PBS_MARQUEE, "controls", "marquee style");
    form.Progress->SetMarquee(false);
    Check(!(StyleOf(*form.Progress) & PBS_MARQUEE), "controls", "marquee off");

    // Fonts follow the screen's DPI: 9 points are 12 pixels at 96 DPI, 18 at 144.
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(Wnd(*form.Ok), WM_GETFONT, 0, 0));
    LOGFONTA lf{};
    const int got = font ? GetObjectA(font, sizeof lf, &lf) : -1;
    Check(got > 0 && lf.lfHeight == -::MulDiv(9, dpi, 72), "controls",
          "button font height " + std::to_string(lf.lfHeight) + " " + std::to_string(got));
}

// Right-to-left reading reaches the windows; the dialog mirrors the places itself, so no
// window gets a mirrored layout.
void CheckReadingOrder() {
    TForm form(&Application);
    form.SetBiDiMode(TBiDiMode::bdRightToLeft);
    struct TCase {
        TWinControl* Control;
        DWORD Wanted;
    };
    auto add = [&](TWinControl* control, bool rightToLeft) {
        control->SetParent(&form);
        if (rightToLeft)
            control->SetBiDiMode(TBiDiMode::bdRightToLeft);
        return control;
    };
    const TCase cases[] = {
        {&form, WS_EX_RTLREADING},
        {add(new TCheckBox(&form), true), WS_EX_RTLREADING | WS_EX_RIGHT},
        {add(new TEdit(&form), true), WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR},
        {add(new TButton(&form), true), WS_EX_RTLREADING},
        {add(new TCheckBox(&form), false), 0},
    };
    const DWORD reading = WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR | WS_EX_LAYOUTRTL;
    for (const TCase& c : cases) {
        const auto ex = static_cast<DWORD>(GetWindowLongPtrA(Wnd(*c.Control), GWL_EXSTYLE));
        Check((ex & reading) == c.Wanted, "reading order", ClassOf(Wnd(*c.Control)) + " styles");
    }
}

// Windows are made once, late: a form's when it is shown or asked for its handle, with every
// control on it, from the state its objects gathered meanwhile.
void CheckLateWindows() {
    auto made = [](TWinControl& control) {
        auto* peer = dynamic_cast<TWin32Peer*>(control.Peer());
        return peer && peer->Wnd() != nullptr;
    };
    TForm form(&Application);
    auto* box = new TCheckBox(&form);
    box->SetParent(&form);
    auto* combo = new TComboBox(&form);
    combo->SetParent(&form);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    auto* gone = new TEdit(&form);
    gone->SetParent(&form);
    form.SetBorderStyle(TFormBorderStyle::bsSingle);
    form.SetClientWidth(300);
    form.SetClientHeight(120);
    box->SetChecked(true);
    combo->Items.Add("one");
    combo->Items.Add("two");
    combo->SetItemIndex(1);
    edit->SetCaption("typed before");
    edit->SetTabOrder(0);
    gone->SetFocus();
    delete gone; // the focus it asked for goes with it
    box->SetFocus();
    Check(!made(form) && !made(*box) && !made(*combo), "late windows", "none while building");
    Check(box->Checked() && combo->ItemIndex() == 1 && edit->Text() == "typed before",
          "late windows", "state read from the objects meanwhile");
    Check(box->Focused() && !edit->Focused(), "late windows", "focus kept for the first show");

    Check(Wnd(*combo) != nullptr && made(form) && made(*box) && made(*edit), "late windows",
          "asking one control for its handle makes the form's windows");
    RECT client{};
    GetClientRect(Wnd(form), &client);
    Check(client.right == 300 && client.bottom == 120 && (StyleOf(form) & WS_CAPTION) &&
              !(GetWindowLongPtrA(Wnd(form), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME),
          "late windows", "form made with its final size and frame");
    Check(SendMessageA(Wnd(*box), BM_GETCHECK, 0, 0) == BST_CHECKED &&
              SendMessageA(Wnd(*combo), CB_GETCURSEL, 0, 0) == 1 &&
              TextOf(Wnd(*edit)) == "typed before",
          "late windows", "windows made with the objects' state");
    Check(GetWindow(Wnd(form), GW_CHILD) == Wnd(*edit), "late windows",
          "z-order follows the tab order");
}

} // namespace

int main(int argc, char** argv) {
    int dpi = 96;
    bool show = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dpi" && i + 1 < argc)
            dpi = std::atoi(argv[++i]);
        else if (arg == "--show")
            show = true;
    }
    Win32Platform win32;
    TRecordingSystem system;
    TPlatform platform = win32.AsPlatform();
    platform.System = &system;
    SetPlatform(platform);

    if (show) {
        TSampleForm form;
        return form.ShowModal();
    }
    CheckDates(win32.Windowing);
    CheckPictures(win32.Windowing);
    CheckServices(win32.Windowing, dpi);
    CheckLateWindows();
    CheckReadingOrder();
    {
        TSampleForm form;
        CheckControls(form, dpi);
        RunModalChecks(form, system.Boxes);
    }
    std::printf("%d of %d checks passed\n", Check.Count - Check.Failures, Check.Count);
    std::fflush(stdout);
    return Check.Failures == 0 ? 0 : 1;
}
