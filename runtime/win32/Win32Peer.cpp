#include "runtime/win32/Win32Peer.h"

#include "runtime/Application.h"
#include "runtime/Exception.h"
#include "runtime/Forms.h"
#include "runtime/StdCtrls.h"
#include "runtime/win32/Win32Dpi.h"
#include "runtime/win32/Win32FormPeer.h"
#include "runtime/win32/WideText.h"
#include <windowsx.h>
#include <algorithm>
#include <vector>

namespace qb {
namespace {

constexpr const char* PeerProperty = "QuillbridgePeer";

// Exceptions being shown: a second one while the box is open is shown after it, not inside it.
int ShowingDepth = 0;

// Windows being destroyed by a peer: their last messages must not reach objects in teardown.
int DestroyingDepth = 0;

int NextControlId = 1000;

HFONT MakeFont(const TFont& font, int dpi) {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(std::clamp(font.Size, 1, 1000), dpi, 72);
    lf.lfWeight = (font.Style & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (font.Style & fsItalic) ? TRUE : FALSE;
    lf.lfUnderline = (font.Style & fsUnderline) ? TRUE : FALSE;
    lf.lfStrikeOut = (font.Style & fsStrikeOut) ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, WideText(font.Name).c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&lf);
}

bool HooksAllowed(const TWin32Peer& peer) {
    return DestroyingDepth == 0 && !peer.Control().IsDestroying();
}

BOOL CALLBACK RedrawOne(HWND window, LPARAM) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
    return TRUE;
}

void Show(const std::exception& error) noexcept {
    ++ShowingDepth;
    try {
        Application.HandleException(error);
    } catch (...) {
        // The error box itself failed: nothing more can be told.
    }
    if (--ShowingDepth == 0)
        // Paints skipped while the box was open are made up now.
        EnumThreadWindows(GetCurrentThreadId(), &RedrawOne, 0);
}

} // namespace

bool GuardHook(void (*call)(void*), void* context) noexcept {
    try {
        call(context);
        return true;
    } catch (const std::exception& error) {
        Show(error);
    } catch (...) {
        Show(Exception("An unknown error occurred"));
    }
    return false;
}

bool ShowingException() {
    return ShowingDepth > 0;
}

void CopyCanvasState(TCanvas& from, TCanvas& to) {
    to.SetFont(from.Font());
    to.SetFontRotation(from.FontRotation());
    to.SetBrushColor(from.BrushColor());
    to.SetBrushStyle(from.BrushStyle());
    to.SetPenColor(from.PenColor());
    to.SetPenWidth(from.PenWidth());
}

TShiftState KeyShiftState() {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        shift |= ssAlt;
    return shift;
}

TShiftState MouseShiftState(WPARAM wParam) {
    TShiftState shift = 0;
    if (wParam & MK_SHIFT)
        shift |= ssShift;
    if (wParam & MK_CONTROL)
        shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        shift |= ssAlt;
    if (wParam & MK_LBUTTON)
        shift |= ssLeft;
    if (wParam & MK_RBUTTON)
        shift |= ssRight;
    if (wParam & MK_MBUTTON)
        shift |= ssMiddle;
    return shift;
}

TWin32Peer::TWin32Peer(TWinControl& control) : Control_(control) {}

TWin32Peer::~TWin32Peer() {
    Destroying_ = true;
    TWin32FormPeer::ForgetFocus(this);
    if (Wnd_) {
        ++DestroyingDepth;
        DestroyWindow(Wnd_);
        --DestroyingDepth;
    }
    if (Font_)
        DeleteObject(Font_);
}

TWin32Peer* TWin32Peer::FromWindow(HWND window) {
    return window ? static_cast<TWin32Peer*>(GetPropA(window, PeerProperty)) : nullptr;
}

TWin32Peer* TWin32Peer::OwnerOf(HWND window) {
    for (; window; window = GetParent(window)) {
        if (TWin32Peer* peer = FromWindow(window))
            return peer;
        if (!(GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD))
            break;
    }
    return nullptr;
}

TWin32FormPeer* TWin32Peer::Form() const {
    TForm* form = Control_.ParentForm();
    return form ? dynamic_cast<TWin32FormPeer*>(form->Peer()) : nullptr;
}

DWORD TWin32Peer::ReadingExStyle(const TControl& control) {
    if (!control.UseRightToLeftReading())
        return 0;
    // Text reads right to left; boxes and fields also sit at the right. The dialog places the
    // controls mirrored itself, so the windows are not given a mirrored layout.
    switch (control.Kind()) {
    case TControlKind::CheckBox:
    case TControlKind::RadioButton:
        return WS_EX_RTLREADING | WS_EX_RIGHT;
    case TControlKind::Edit:
    case TControlKind::Memo:
    case TControlKind::ComboBox:
        return WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR;
    default:
        return WS_EX_RTLREADING;
    }
}

THandle TWin32Peer::Handle() const {
    const_cast<TWin32Peer*>(this)->Realize();
    return reinterpret_cast<THandle>(Wnd_);
}

TWin32Peer* TWin32Peer::ParentPeer() const {
    TWinControl* parent = Control_.Parent();
    return parent ? dynamic_cast<TWin32Peer*>(parent->Peer()) : nullptr;
}

HWND TWin32Peer::ParentWnd() const {
    TWin32Peer* parent = ParentPeer();
    return parent ? parent->Wnd_ : nullptr;
}

void TWin32Peer::Realize() {
    if (Wnd_ || Destroying_)
        return;
    if (!IsTopLevel()) {
        TWin32Peer* parent = ParentPeer();
        if (!parent)
            return;
        if (!parent->Wnd_) {
            parent->Realize(); // makes ours among its controls'
            return;
        }
    }
    MakeWindow(true);
}

void TWin32Peer::CreateWhenParentHasWindow() {
    if (!IsTopLevel() && ParentWnd())
        MakeWindow(true);
}

void TWin32Peer::MakeWindow(bool arrange) {
    Create(WindowClass(), Style(), ExStyle(), IsTopLevel() ? nullptr : ParentWnd(), arrange);
    // The controls placed on this one before it had a window get theirs now, in one pass.
    bool made = false;
    for (TControl* child : Control_.Controls()) {
        if (!child->IsWindowedControl())
            continue;
        auto* peer = dynamic_cast<TWin32Peer*>(static_cast<TWinControl*>(child)->Peer());
        if (peer && !peer->Wnd_) {
            peer->MakeWindow(false);
            made = true;
        }
    }
    if (made)
        ArrangeSiblings(&Control_);
}

void TWin32Peer::Create(const char* windowClass, DWORD style, DWORD exStyle, HWND parent,
                        bool arrange) {
    const TRect bounds = Control_.BoundsRect();
    const bool child = parent != nullptr;
    if (child && Control_.Visible())
        style |= WS_VISIBLE;
    if (!Control_.Enabled())
        style |= WS_DISABLED;
    if (child)
        exStyle |= ReadingExStyle(Control_);
    const std::string text = Control_.WindowText();
    HMENU id = child ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(NextControlId++)) : nullptr;
    // Wide windows: every character typed or shown reaches the control whole.
    Wnd_ = CreateWindowExW(exStyle, WideText(windowClass).c_str(), WideText(text).c_str(),
                           style | (child ? WS_CHILD : 0), bounds.Left, bounds.Top, bounds.Width(),
                           bounds.Height(), parent, id, GetModuleHandleW(nullptr), this);
    if (!Wnd_)
        throw Exception(std::string("Cannot create a window of class ") + windowClass);
    if (!FromWindow(Wnd_))
        SetPropA(Wnd_, PeerProperty, this);
    // Every window of ours is a system class's, subclassed: the class procedure does the rest.
    ClassProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Wnd_, GWLP_WNDPROC));
    SetWindowLongPtrW(Wnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlProc));
    ApplyFont();
    ApplyBounds();
    ApplyState();
    if (arrange)
        ArrangeSiblings(Control_.Parent());
}

void TWin32Peer::Recreate() {
    HWND parent = GetParent(Wnd_);
    const bool focused = Focused();
    ++DestroyingDepth;
    DestroyWindow(Wnd_);
    --DestroyingDepth;
    Wnd_ = nullptr;
    Create(WindowClass(), Style(), ExStyle(), parent);
    if (focused)
        ::SetFocus(Wnd_);
}

LRESULT CALLBACK TWin32Peer::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TWin32Peer* peer = FromWindow(window);
    if (!peer)
        return DefWindowProcW(window, message, wParam, lParam);
    return DispatchProc(peer, window, message, wParam, lParam);
}

LRESULT CALLBACK TWin32Peer::DispatchProc(TWin32Peer* peer, HWND window, UINT message,
                                          WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) {
        // The window's last message: the peer lets go of it, so no later call reaches a
        // handle that may already name another window.
        WNDPROC classProc = peer->ClassProc_;
        RemovePropA(window, PeerProperty);
        if (peer->Wnd_ == window)
            peer->Wnd_ = nullptr;
        if (classProc) {
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(classProc));
            return CallWindowProcW(classProc, window, message, wParam, lParam);
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return peer->Message(message, wParam, lParam);
}

LRESULT TWin32Peer::CallDefault(UINT message, WPARAM wParam, LPARAM lParam) {
    if (ClassProc_)
        return CallWindowProcW(ClassProc_, Wnd_, message, wParam, lParam);
    return DefWindowProcW(Wnd_, message, wParam, lParam);
}

bool TWin32Peer::IsMouseMessage(UINT message) {
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        return true;
    default:
        return false;
    }
}

void TWin32Peer::MouseMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!HooksAllowed(*this))
        return;
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    const TShiftState shift = MouseShiftState(wParam);
    TControl& control = Control_;
    switch (message) {
    case WM_MOUSEMOVE:
        if (!Tracking_) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Wnd_, 0};
            Tracking_ = TrackMouseEvent(&track) != FALSE;
            Guard([&] { control.MouseEnter(); });
        }
        Guard([&] { control.MouseMove(shift, x, y); });
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        Guard([&] { control.MouseDown(TMouseButton::mbLeft, shift, x, y); });
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        Guard([&] { control.MouseDown(TMouseButton::mbRight, shift, x, y); });
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        Guard([&] { control.MouseDown(TMouseButton::mbMiddle, shift, x, y); });
        break;
    case WM_LBUTTONUP:
        Guard([&] { control.MouseUp(TMouseButton::mbLeft, shift, x, y); });
        break;
    case WM_RBUTTONUP:
        Guard([&] { control.MouseUp(TMouseButton::mbRight, shift, x, y); });
        break;
    case WM_MBUTTONUP:
        Guard([&] { control.MouseUp(TMouseButton::mbMiddle, shift, x, y); });
        break;
    default:
        break;
    }
}

LRESULT TWin32Peer::Message(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFOCUS: {
        LRESULT result = CallDefault(message, wParam, lParam);
        if (HooksAllowed(*this))
            Guard([&] { Control_.DoEnter(); });
        if (TWin32FormPeer* form = Form(); form && form != this && HooksAllowed(*this))
            form->ShowDefaultButton();
        return result;
    }
    case WM_KILLFOCUS: {
        LRESULT result = CallDefault(message, wParam, lParam);
        if (HooksAllowed(*this))
            Guard([&] { Control_.DoExit(); });
        return result;
    }
    case WM_MOUSELEAVE:
        Tracking_ = false;
        if (HooksAllowed(*this))
            Guard([&] { Control_.MouseLeave(); });
        return CallDefault(message, wParam, lParam);
    default:
        // The hook first: a button's own handling of the release sends the click.
        if (IsMouseMessage(message))
            MouseMessage(message, wParam, lParam);
        return CallDefault(message, wParam, lParam);
    }
}

void TWin32Peer::Changed(TPeerChange change) {
    // Measuring goes on before the window is made.
    if (change == TPeerChange::Dpi && Measure_)
        Measure_->SetPixelsPerInch(PixelsPerInch());
    if (!Wnd_)
        return;
    switch (change) {
    case TPeerChange::Bounds:
        ApplyBounds();
        break;
    case TPeerChange::Visible:
        ShowWindow(Wnd_, Control_.Visible() ? SW_SHOWNA : SW_HIDE);
        break;
    case TPeerChange::Enabled:
        EnableWindow(Wnd_, Control_.Enabled());
        break;
    case TPeerChange::Text:
        SetWindowTextW(Wnd_, WideText(Control_.WindowText()).c_str());
        break;
    case TPeerChange::Font:
        ApplyFont();
        break;
    case TPeerChange::TabOrder:
        ArrangeSiblings(Control_.Parent());
        break;
    case TPeerChange::State:
        ApplyState();
        break;
    case TPeerChange::Dpi:
        ApplyFont();
        break;
    case TPeerChange::Cursor: // read at WM_SETCURSOR
    case TPeerChange::Style:
        break;
    }
}

void TWin32Peer::ApplyBounds() {
    const TRect bounds = Control_.BoundsRect();
    SetWindowPos(Wnd_, nullptr, bounds.Left, bounds.Top, bounds.Width(), bounds.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

int TWin32Peer::PixelsPerInch() const {
    TForm* form = Control_.ParentForm();
    return form ? form->PixelsPerInch() : SystemDpi();
}

void TWin32Peer::ApplyFont() {
    HFONT font = MakeFont(Control_.Font(), PixelsPerInch());
    if (!font)
        return;
    SendMessageA(Wnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (Font_)
        DeleteObject(Font_);
    Font_ = font;
    if (Measure_)
        Measure_->SetFont(Control_.Font());
}

void TWin32Peer::ArrangeSiblings(TWinControl* parent) {
    if (!parent)
        return;
    const std::vector<TWinControl*> list = parent->WindowOrder();
    auto isRadio = [&](size_t i) {
        return i < list.size() && list[i]->Kind() == TControlKind::RadioButton;
    };
    HWND previous = HWND_TOP;
    for (size_t i = 0; i < list.size(); ++i) {
        TWinControl* control = list[i];
        auto* peer = dynamic_cast<TWin32Peer*>(control->Peer());
        if (!peer || !peer->Wnd_)
            continue;
        HWND window = peer->Wnd_;
        SetWindowPos(window, previous, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        previous = window;
        const bool radio = isRadio(i);
        const bool startsGroup = !(radio && i > 0 && isRadio(i - 1));
        bool tabStop = control->TabStop();
        if (radio && tabStop) {
            // Tab enters a run of radio buttons at its checked one (the first when none is),
            // so tabbing never changes the choice; arrows move inside the run.
            size_t first = i;
            while (first > 0 && isRadio(first - 1))
                --first;
            size_t stop = first;
            for (size_t j = first; isRadio(j); ++j)
                if (static_cast<TRadioButton*>(list[j])->Checked()) {
                    stop = j;
                    break;
                }
            tabStop = stop == i;
        }
        const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
        LONG_PTR wanted = style & ~static_cast<LONG_PTR>(WS_TABSTOP | WS_GROUP);
        if (tabStop)
            wanted |= WS_TABSTOP;
        // Every other control is a group of its own.
        if (startsGroup)
            wanted |= WS_GROUP;
        if (wanted != style)
            SetWindowLongPtrA(window, GWL_STYLE, wanted);
    }
}

std::string TWin32Peer::ReadText() {
    return Control_.Caption();
}

TKeyboardCues TWin32Peer::ReadKeyboardCues() {
    if (!Wnd_)
        return kcFocus | kcAccelerators;
    const auto hidden = static_cast<UINT>(SendMessageA(Wnd_, WM_QUERYUISTATE, 0, 0));
    TKeyboardCues cues = 0;
    if (!(hidden & UISF_HIDEFOCUS))
        cues |= kcFocus;
    if (!(hidden & UISF_HIDEACCEL))
        cues |= kcAccelerators;
    return cues;
}

bool TWin32Peer::ReadDate(TDate& date) {
    (void)date;
    return false;
}

void TWin32Peer::Invalidate() {
    if (Wnd_)
        InvalidateRect(Wnd_, nullptr, FALSE);
}

void TWin32Peer::SetFocus() {
    TWin32FormPeer* form = Form();
    if (form && form != this) {
        form->FocusChild(this);
        return;
    }
    if (Wnd_)
        ::SetFocus(Wnd_);
}

bool TWin32Peer::Focused() {
    TWin32FormPeer* form = Form();
    if (form && form != this && (!form->Wnd() || !IsWindowVisible(form->Wnd())))
        return form->PendingFocus() == this;
    if (!Wnd_)
        return false;
    HWND focus = GetFocus();
    return focus && (focus == Wnd_ || IsChild(Wnd_, focus));
}

TCanvas& TWin32Peer::MeasureCanvas() {
    if (!Measure_) {
        Measure_ = std::make_unique<TGdiBitmapCanvas>(1, 1);
        Measure_->SetPixelsPerInch(PixelsPerInch());
        Measure_->SetFont(Control_.Font());
    }
    return *Measure_;
}

TRect TWin32Peer::WindowRect() {
    RECT r{};
    if (Wnd_)
        GetWindowRect(Wnd_, &r);
    return {r.left, r.top, r.right, r.bottom};
}

void TWin32Peer::Command(int code) {
    (void)code;
}

bool TWin32Peer::DrawItem(const DRAWITEMSTRUCT& item) {
    (void)item;
    return false;
}

} // namespace qb
