#include "app/gallery/FirstPaintTimer.h"

namespace qb {

namespace {

TFirstPaintTimer* Current = nullptr;
// Posted to the thread after a paint: it is retrieved only once that paint has returned, and
// before any later WM_PAINT (posted messages come first).
constexpr UINT PaintDoneMarker = WM_APP + 0x3A1;
constexpr UINT StuckCheckMs = 2000;
constexpr UINT SettleMs = 1000;

void PostKey(HWND target, WPARAM key) {
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

} // namespace

TFirstPaintTimer::TFirstPaintTimer() {
    QueryPerformanceFrequency(&Frequency);
    Current = this;
    DWORD thread = GetCurrentThreadId();
    GetMessageHook = SetWindowsHookExA(WH_GETMESSAGE, OnGetMessage, nullptr, thread);
    CallWndProcRetHook = SetWindowsHookExA(WH_CALLWNDPROCRET, OnCallWndProcRet, nullptr, thread);
}

TFirstPaintTimer::~TFirstPaintTimer() {
    if (StuckTimer != 0)
        KillTimer(nullptr, StuckTimer);
    if (GetMessageHook)
        UnhookWindowsHookEx(GetMessageHook);
    if (CallWndProcRetHook)
        UnhookWindowsHookEx(CallWndProcRetHook);
    Current = nullptr;
}

void TFirstPaintTimer::Start() {
    if (StuckTimer != 0)
        KillTimer(nullptr, StuckTimer);
    StuckTimer = 0;
    Dialog = nullptr;
    Painted = false;
    MarkerPosted = false;
    Finished.QuadPart = 0;
    Armed = true;
    QueryPerformanceCounter(&Started);
}

double TFirstPaintTimer::Milliseconds() const {
    if (!Painted || Finished.QuadPart == 0)
        return -1.0;
    return 1000.0 * static_cast<double>(Finished.QuadPart - Started.QuadPart) /
           static_cast<double>(Frequency.QuadPart);
}

// Paints dispatched from a message loop.
LRESULT CALLBACK TFirstPaintTimer::OnGetMessage(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE && Current != nullptr) {
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg->message == WM_PAINT && msg->hwnd != nullptr)
            Current->SawPaint(msg->hwnd);
        else if (msg->message == PaintDoneMarker && msg->hwnd == nullptr)
            Current->SawMarker();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Paints sent directly, as UpdateWindow does while a window is being shown.
LRESULT CALLBACK TFirstPaintTimer::OnCallWndProcRet(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && Current != nullptr) {
        const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (call->message == WM_PAINT && call->hwnd != nullptr)
            Current->SawPaint(call->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void TFirstPaintTimer::SawPaint(HWND window) {
    if (!Armed)
        return;
    Painted = true;
    if (Dialog == nullptr) {
        Dialog = GetAncestor(window, GA_ROOT);
        // A window that stays invalid but never gets its WM_PAINT must not hold the run up.
        StuckTicks = 0;
        StuckTimer = SetTimer(nullptr, 0, SettleMs, OnStuck);
    }
    if (!MarkerPosted)
        MarkerPosted = PostThreadMessageA(GetCurrentThreadId(), PaintDoneMarker, 0, 0) != FALSE;
}

void TFirstPaintTimer::SawMarker() {
    MarkerPosted = false;
    if (!Armed)
        return;
    QueryPerformanceCounter(&Finished);
    // Child windows (buttons, the progress bar) paint after their parent: the next WM_PAINT
    // posts the marker again. (Posting it now would keep that paint waiting behind it.)
    if (HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT)
        return;
    Finish();
}

void TFirstPaintTimer::Finish() {
    Armed = false;
    Answer();
}

void TFirstPaintTimer::Answer() {
    HWND focus = GetFocus();
    PostKey(focus != nullptr ? focus : Dialog, VK_RETURN);
    if (StuckTimer != 0)
        KillTimer(nullptr, StuckTimer);
    StuckTicks = 0;
    StuckTimer = SetTimer(nullptr, 0, StuckCheckMs, OnStuck);
}

// A dialog that Return did not close gets Escape, then a close request.
void CALLBACK TFirstPaintTimer::OnStuck(HWND, UINT, UINT_PTR id, DWORD) {
    TFirstPaintTimer* self = Current;
    if (self == nullptr || id != self->StuckTimer)
        return;
    if (self->Armed) {
        // Still waiting for a paint after a second: the last one that ended is the end.
        if (self->Finished.QuadPart == 0)
            QueryPerformanceCounter(&self->Finished);
        self->Finish();
        return;
    }
    if (self->Dialog == nullptr || !IsWindow(self->Dialog) || ++self->StuckTicks > 2) {
        KillTimer(nullptr, id);
        self->StuckTimer = 0;
        return;
    }
    if (self->StuckTicks == 1) {
        HWND focus = GetFocus();
        PostKey(focus != nullptr ? focus : self->Dialog, VK_ESCAPE);
    } else {
        PostMessageA(self->Dialog, WM_CLOSE, 0, 0);
    }
}

} // namespace qb
