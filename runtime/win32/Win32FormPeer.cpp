#include "runtime/win32/Win32FormPeer.h"

#include "runtime/Platform.h"
#include "runtime/win32/Win32Dpi.h"
#include "runtime/win32/WideText.h"
#include "runtime/Windowing.h"
#include <windowsx.h>
#include <algorithm>
#include <vector>

namespace qb {
namespace {

// The system's dialog class, so that screen readers take the window for a dialog; the peer
// subclasses it and leaves the rest to the dialog manager (DefDlgProc, the class procedure).
constexpr const char* FormClassName = "#32770";
// Forms are made on the user-interface thread only.
std::vector<TWin32FormPeer*> LiveForms;

COLORREF Resolve(TColor color) {
    if (IsSystemColor(color))
        return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFFu;
}

bool IsInside(HWND root, HWND window) {
    return window && (window == root || IsChild(root, window));
}

} // namespace

TWin32FormPeer::TWin32FormPeer(TForm& form) : TWin32Peer(form), Form_(form) {
    LiveForms.push_back(this);
}

TWin32FormPeer::~TWin32FormPeer() {
    LiveForms.erase(std::remove(LiveForms.begin(), LiveForms.end(), this), LiveForms.end());
    if (BackBrush_)
        DeleteObject(BackBrush_);
}

const char* TWin32FormPeer::WindowClass() const {
    return FormClassName;
}

DWORD TWin32FormPeer::StyleFor(const TForm& form) {
    DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    const TBorderIcons icons = form.BorderIcons();
    switch (form.BorderStyle()) {
    case TFormBorderStyle::bsNone:
        return style;
    case TFormBorderStyle::bsDialog:
        style |= WS_CAPTION | DS_MODALFRAME;
        if (icons & biSystemMenu)
            style |= WS_SYSMENU;
        return style;
    case TFormBorderStyle::bsSingle:
        style |= WS_CAPTION;
        break;
    case TFormBorderStyle::bsSizeable:
        style |= WS_CAPTION | WS_THICKFRAME;
        break;
    }
    // The minimize and maximize boxes live in the system menu's row.
    if (icons & biSystemMenu) {
        style |= WS_SYSMENU;
        if (icons & biMinimize)
            style |= WS_MINIMIZEBOX;
        if (icons & biMaximize)
            style |= WS_MAXIMIZEBOX;
    }
    return style;
}

DWORD TWin32FormPeer::ExStyleFor(const TForm& form) {
    DWORD exStyle = WS_EX_CONTROLPARENT;
    if (form.BorderStyle() == TFormBorderStyle::bsDialog)
        exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
    if (form.FormStyle() == TFormStyle::fsStayOnTop)
        exStyle |= WS_EX_TOPMOST;
    return exStyle | ReadingExStyle(form);
}

TSize TWin32FormPeer::OuterSize() const {
    RECT r{0, 0, Form_.ClientWidth(), Form_.ClientHeight()};
    AdjustWindowRectForDpi(r, StyleFor(Form_), ExStyleFor(Form_), Form_.PixelsPerInch());
    return {r.right - r.left, r.bottom - r.top};
}

TRect TWin32FormPeer::WindowRect() {
    RECT r{};
    if (Wnd_)
        GetWindowRect(Wnd_, &r);
    const TSize size = OuterSize();
    return {r.left, r.top, r.left + size.Width, r.top + size.Height};
}

void TWin32FormPeer::ApplyBounds() {
    const TSize size = OuterSize();
    const TRect wanted{Form_.Left(), Form_.Top(), Form_.Left() + size.Width,
                       Form_.Top() + size.Height};
    if (wanted == Applied_)
        return;
    const bool fresh = Applied_ == TRect{};
    Applied_ = wanted;
    RECT now{};
    // A window just made already has the place it was made with: no trip to the window system.
    if (fresh && GetWindowRect(Wnd_, &now) &&
        TRect{now.left, now.top, now.right, now.bottom} == wanted)
        return;
    SetWindowPos(Wnd_, nullptr, wanted.Left, wanted.Top, size.Width, size.Height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    BufferValid_ = false;
}

void TWin32FormPeer::ApplyStyle() {
    const LONG_PTR kept = GetWindowLongPtrA(Wnd_, GWL_STYLE) & (WS_VISIBLE | WS_DISABLED);
    SetWindowLongPtrA(Wnd_, GWL_STYLE, static_cast<LONG_PTR>(StyleFor(Form_)) | kept);
    SetWindowLongPtrA(Wnd_, GWL_EXSTYLE, static_cast<LONG_PTR>(ExStyleFor(Form_)));
    SetWindowPos(Wnd_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    const bool onTop = Form_.FormStyle() == TFormStyle::fsStayOnTop;
    SetWindowPos(Wnd_, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Applied_ = {};
    ApplyBounds();
    Invalidate();
}

void TWin32FormPeer::Changed(TPeerChange change) {
    if (!Wnd_)
        return;
    switch (change) {
    case TPeerChange::Style:
        ApplyStyle();
        break;
    case TPeerChange::Visible:
        // RunModal shows the window once the form is ready; hiding is immediate.
        if (!Form_.Visible())
            ShowWindow(Wnd_, SW_HIDE);
        break;
    case TPeerChange::Font:
    case TPeerChange::State:
        TWin32Peer::Changed(change);
        Invalidate();
        break;
    case TPeerChange::Dpi:
        TWin32Peer::Changed(change);
        // The next paint's canvas is made for the new resolution.
        if (BackBrush_)
            DeleteObject(BackBrush_);
        BackBrush_ = nullptr;
        Buffer_.reset();
        Applied_ = {};
        Invalidate();
        break;
    default:
        TWin32Peer::Changed(change);
        break;
    }
}

void TWin32FormPeer::Invalidate() {
    BufferValid_ = false;
    if (!Wnd_)
        return;
    InvalidateRect(Wnd_, nullptr, FALSE);
    // Text windows show the form's picture of their place: it is theirs to show again.
    for (TControl* control : Form_.Controls())
        if (control->Kind() == TControlKind::StaticText)
            if (auto* peer = dynamic_cast<TWin32Peer*>(static_cast<TWinControl*>(control)->Peer()))
                if (peer->Wnd())
                    InvalidateRect(peer->Wnd(), nullptr, FALSE);
}

void TWin32FormPeer::ShowDefaultButton() {
    if (!Wnd_)
        return;
    const TWinControl* drawn = Form_.DrawnDefaultButton();
    for (TControl* control : Form_.Controls()) {
        if (!control->IsWindowedControl() || !static_cast<TWinControl*>(control)->IsPushButton())
            continue;
        auto* peer = dynamic_cast<TWin32Peer*>(static_cast<TWinControl*>(control)->Peer());
        if (!peer || !peer->Wnd())
            continue;
        if (control->Kind() != TControlKind::Button) {
            peer->Invalidate(); // painted buttons draw the ring themselves
            continue;
        }
        const LONG_PTR wanted = control == drawn ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if ((GetWindowLongPtrA(peer->Wnd(), GWL_STYLE) & BS_TYPEMASK) != wanted)
            SendMessageA(peer->Wnd(), BM_SETSTYLE, static_cast<WPARAM>(wanted), TRUE);
    }
}

void TWin32FormPeer::FocusChild(TWin32Peer* child) {
    if (!Wnd_ || !IsWindowVisible(Wnd_) || !child->Wnd()) {
        PendingFocus_ = child;
        return;
    }
    // Through the dialog manager, so the default button follows the focus as in any dialog.
    SendMessageA(Wnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(child->Wnd()), TRUE);
}

void TWin32FormPeer::ForgetFocus(const TWin32Peer* peer) {
    for (TWin32FormPeer* form : LiveForms)
        if (form->PendingFocus_ == peer)
            form->PendingFocus_ = nullptr;
}

HWND TWin32FormPeer::TakePendingFocus() {
    HWND focus = PendingFocus_ ? PendingFocus_->Wnd() : nullptr;
    PendingFocus_ = nullptr;
    return focus && IsChild(Wnd_, focus) ? focus : nullptr;
}

void TWin32FormPeer::PaintBuffer() {
    if (BackBrush_) {
        DeleteObject(BackBrush_);
        BackBrush_ = nullptr;
    }
    CopyCanvasState(MeasureCanvas(), *Buffer_);
    if (ShowingException()) {
        // A failing paint would fail again behind its own error box: the ground only, and the
        // whole picture once the box is closed.
        Buffer_->Clear(Form_.Color());
        return;
    }
    Guard([&] { Form_.PaintWith(*Buffer_); });
    GdiFlush();
    BufferValid_ = true;
}

bool TWin32FormPeer::EnsureBuffer() {
    RECT client{};
    GetClientRect(Wnd_, &client);
    const int width = std::max<int>(client.right, 1);
    const int height = std::max<int>(client.bottom, 1);
    if (!Buffer_ || Buffer_->Width() != width || Buffer_->Height() != height) {
        if (BackBrush_) {
            DeleteObject(BackBrush_);
            BackBrush_ = nullptr;
        }
        Buffer_ = std::make_unique<TGdiBitmapCanvas>(width, height);
        Buffer_->SetPixelsPerInch(Form_.PixelsPerInch());
        BufferValid_ = false;
    }
    if (!Buffer_->BitmapHandle())
        return false;
    if (!BufferValid_)
        PaintBuffer();
    return true;
}

bool TWin32FormPeer::CopyBackground(HDC target, int x, int y, int width, int height) {
    if (!Wnd_ || !EnsureBuffer())
        return false;
    return BitBlt(target, 0, 0, width, height, Buffer_->Handle(), x, y, SRCCOPY) != FALSE;
}

LRESULT TWin32FormPeer::ColorChild(HDC dc, HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
    TWin32Peer* peer = FromWindow(child);
    const TControlKind kind = peer ? peer->Control().Kind() : TControlKind::Form;
    if (kind != TControlKind::CheckBox && kind != TControlKind::RadioButton)
        return CallDefault(message, wParam, lParam);
    // Check and radio boxes show the form's own picture behind their text.
    SetTextColor(dc, Resolve(peer->Control().Font().Color));
    SetBkMode(dc, TRANSPARENT);
    if (!BackBrush_ && EnsureBuffer())
        BackBrush_ = CreatePatternBrush(Buffer_->BitmapHandle());
    if (!BackBrush_)
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    POINT origin{0, 0};
    MapWindowPoints(child, Wnd_, &origin, 1);
    SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
    return reinterpret_cast<LRESULT>(BackBrush_);
}

bool TWin32FormPeer::SetCursorFor(HWND target) {
    TCursor cursor = TCursor::crDefault;
    if (target == Wnd_) {
        cursor = Form_.Cursor();
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(Wnd_, &p);
        // A label or image under the mouse may ask for its own cursor.
        const auto& controls = Form_.Controls();
        for (auto it = controls.rbegin(); cursor == TCursor::crDefault && it != controls.rend();
             ++it) {
            const TControl& c = **it;
            const TRect b = c.BoundsRect();
            if (!c.IsWindowedControl() && c.Visible() && p.x >= b.Left && p.x < b.Right &&
                p.y >= b.Top && p.y < b.Bottom)
                cursor = c.Cursor();
        }
    } else if (TWin32Peer* peer = OwnerOf(target)) {
        cursor = peer->Control().Cursor();
    }
    if (cursor == TCursor::crHandPoint) {
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
        return true;
    }
    if (target == Wnd_) {
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
        return true;
    }
    return false;
}

LRESULT TWin32FormPeer::Message(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers every pixel from the memory bitmap
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(Wnd_, &ps);
        BufferValid_ = false;
        if (dc && EnsureBuffer())
            BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                   ps.rcPaint.bottom - ps.rcPaint.top, Buffer_->Handle(), ps.rcPaint.left,
                   ps.rcPaint.top, SRCCOPY);
        EndPaint(Wnd_, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        // Themed controls ask for the picture behind them.
        if (EnsureBuffer())
            BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, Buffer_->Width(), Buffer_->Height(),
                   Buffer_->Handle(), 0, 0, SRCCOPY);
        return 0;
    case WM_SIZE:
        BufferValid_ = false;
        InvalidateRect(Wnd_, nullptr, FALSE);
        break;
    case WM_DPICHANGED: {
        // Moved to a monitor of another resolution: laid out anew there, in the place the
        // system suggests.
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        const TRect place =
            suggested ? TRect{suggested->left, suggested->top, suggested->right, suggested->bottom}
                      : TRect{};
        const int dpi = HIWORD(wParam);
        if (!Destroying_ && !Form_.IsDestroying())
            Guard([&] { Form_.ChangeDpi(dpi, place); });
        return 0;
    }
    case WM_UPDATEUISTATE:
        // Accelerator underlines the form paints come and go with the keyboard cues.
        Invalidate();
        break;
    case WM_COMMAND:
        if (lParam) {
            if (TWin32Peer* peer = FromWindow(reinterpret_cast<HWND>(lParam)))
                peer->Command(HIWORD(wParam));
        }
        return 0;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (TWin32Peer* peer = item ? FromWindow(item->hwndItem) : nullptr)
            return peer->DrawItem(*item) ? TRUE : FALSE;
        break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return ColorChild(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message,
                          wParam, lParam);
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && SetCursorFor(reinterpret_cast<HWND>(wParam)))
            return TRUE;
        break;
    case WM_MOUSELEAVE:
        Tracking_ = false;
        if (!Destroying_ && !Form_.IsDestroying())
            Guard([&] { Form_.MouseLeave(); });
        return 0;
    case WM_CLOSE:
        // The close box, the window menu, the taskbar, Task Manager: a request, never a destroy.
        if (!Destroying_ && !Form_.IsDestroying())
            Guard([&] { Form_.CloseRequest(); });
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            if (Form_.FormStyle() == TFormStyle::fsStayOnTop)
                SetWindowPos(Wnd_, HWND_TOPMOST, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            if (HWND focus = TakePendingFocus()) {
                // The focus the form chose before it showed, not the dialog's first control.
                SendMessageA(Wnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
                return 0;
            }
        }
        break;
    default:
        if (IsMouseMessage(message)) {
            MouseMessage(message, wParam, lParam);
            return 0;
        }
        break;
    }
    return CallDefault(message, wParam, lParam);
}

TWin32Peer* TWin32FormPeer::FocusedPeer() const {
    HWND focus = GetFocus();
    if (!focus || focus == Wnd_ || !IsChild(Wnd_, focus))
        return nullptr;
    TWin32Peer* peer = OwnerOf(focus);
    return peer == this ? nullptr : peer;
}

bool TWin32FormPeer::LoopShouldEnd() {
    bool end = false;
    if (!Guard([&] { end = Form_.ModalLoopShouldEnd(); }))
        return false;
    return end;
}

bool TWin32FormPeer::RouteKeyDown(MSG& msg) {
    int key = static_cast<int>(msg.wParam);
    const TShiftState shift = KeyShiftState();
    if (Form_.KeyPreview) {
        bool goOn = true;
        Guard([&] { goOn = Form_.PreviewKey(key, shift); });
        if (!goOn || key == 0)
            return false;
    }
    TWin32Peer* focus = FocusedPeer();
    if (focus) {
        Guard([&] { focus->Control().KeyDown(key, shift); });
    } else if (!Form_.KeyPreview) {
        TWinControl& form = Form_;
        Guard([&] { form.KeyDown(key, shift); });
    }
    if (key == 0)
        return false;
    msg.wParam = static_cast<WPARAM>(key);
    if (msg.message != WM_KEYDOWN || (key != VK_RETURN && key != VK_ESCAPE) || (shift & ssAlt))
        return true;
    if (focus && PeerWantsKey(*focus, key))
        return true;
    // Enter and Escape belong to the dialog; they never reach the dialog manager's IDOK/IDCANCEL.
    // Enter presses the button drawn as the default, painted buttons included.
    bool used = false;
    Guard([&] { used = Form_.DialogKey(key); });
    if (!used && key == VK_ESCAPE)
        Guard([&] { Form_.DialogChar(27); });
    return false;
}

bool TWin32FormPeer::RouteChar(MSG& msg) {
    // The framework's keys are single bytes of the process code page: a character that needs
    // more (or none) goes to the focused field as it is, and is no accelerator.
    const std::string bytes = NarrowText(std::wstring(1, static_cast<wchar_t>(msg.wParam)));
    if (bytes.size() != 1)
        return true;
    char ch = bytes[0];
    TWin32Peer* focus = FocusedPeer();
    if (msg.message == WM_CHAR && focus) {
        // A button window clicks itself on Space; its object must not click a second time.
        const bool clicksItself = focus->Control().IsPushButton() && (ch == ' ' || ch == '\r');
        if (!clicksItself) {
            const char typed = ch;
            Guard([&] { focus->Control().KeyPress(ch); });
            if (ch == 0)
                return false;
            if (ch != typed)
                msg.wParam = static_cast<WPARAM>(WideText(std::string(1, ch)).c_str()[0]);
        }
        const LRESULT code =
            SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
        if (code & (DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))
            return true;
    }
    bool handled = false;
    Guard([&] { handled = Form_.DialogChar(ch); });
    return !handled;
}

void TWin32FormPeer::Route(MSG& msg) {
    if (IsInside(Wnd_, msg.hwnd)) {
        bool goOn = true;
        switch (msg.message) {
        case WM_KEYUP:
        case WM_SYSKEYUP:
            // The window menu opens when Alt goes up after no other key: after an Alt key the
            // form used up (Alt+F4), the system never saw that key, so it must not see this.
            if (msg.wParam == VK_MENU && DropAltRelease_) {
                DropAltRelease_ = false;
                return;
            }
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            goOn = RouteKeyDown(msg);
            if (!goOn && msg.message == WM_SYSKEYDOWN)
                DropAltRelease_ = true;
            break;
        case WM_CHAR:
        case WM_SYSCHAR:
            goOn = RouteChar(msg);
            break;
        default:
            break;
        }
        if (!goOn || !Wnd_)
            return;
        if (IsDialogMessageW(Wnd_, &msg))
            return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void TWin32FormPeer::RunModal() {
    Realize();
    if (!Wnd_)
        return;
    // Made on a monitor of another resolution than the one it was laid out for.
    if (const int dpi = WindowDpi(Wnd_); dpi != Form_.PixelsPerInch())
        Guard([&] { Form_.ChangeDpi(dpi, {}); });
    HWND owner = GetActiveWindow();
    if (owner == Wnd_ || (owner && !IsWindowVisible(owner)))
        owner = nullptr;
    SetWindowLongPtrA(Wnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    Guard([&] { Form_.DoShow(); });
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner)
        EnableWindow(owner, FALSE);
    ShowWindow(Wnd_, SW_SHOW);
    SetForegroundWindow(Wnd_);
    if (Form_.FormStyle() == TFormStyle::fsStayOnTop)
        SetWindowPos(Wnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (Wnd_ && !IsInside(Wnd_, GetFocus())) {
        HWND focus = TakePendingFocus();
        if (!focus)
            focus = GetNextDlgTabItem(Wnd_, nullptr, FALSE);
        if (focus)
            SendMessageA(Wnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
    }
    PendingFocus_ = nullptr;
    // Focus rectangles and accelerator underlines as the user set them: always, or once the
    // keyboard is used (shown at once when it opened the dialog), as in the system's dialogs.
    if (Wnd_) {
        BOOL alwaysCues = FALSE;
        SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &alwaysCues, 0);
        const WORD action = alwaysCues ? UIS_CLEAR : UIS_INITIALIZE;
        SendMessageA(Wnd_, WM_CHANGEUISTATE, MAKEWPARAM(action, UISF_HIDEFOCUS | UISF_HIDEACCEL),
                     0);
        UpdateWindow(Wnd_);
    }

    MSG msg{};
    while (Wnd_ && !LoopShouldEnd()) {
        // Wide messages: a character typed into a field arrives whole, whatever the code page.
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // WM_QUIT belongs to the outer loop; the dialog ends as if cancelled.
            PostQuitMessage(static_cast<int>(msg.wParam));
            Form_.SetModalResult(mrCancel);
            break;
        }
        if (got < 0)
            break;
        Route(msg);
    }

    // The owner is enabled before this window hides, so the system activates it, not another.
    if (disableOwner && IsWindow(owner))
        EnableWindow(owner, TRUE);
    if (Wnd_)
        ShowWindow(Wnd_, SW_HIDE);
    if (owner && IsWindow(owner))
        SetActiveWindow(owner);
}

} // namespace qb
