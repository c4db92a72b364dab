// Times how long a dialog takes from a start mark until every window of it has finished its first
// paint, the same way for the system's task dialog and for the emulated window: message hooks on
// the calling thread watch WM_PAINT go by, whichever modal loop retrieves it. Once the thread has
// nothing left to paint, the dialog is answered with the Return key, so a timed run needs no user.
#pragma once
#include "runtime/win32/WindowsApi.h"

namespace qb {

class TFirstPaintTimer {
public:
    // Hooks the calling thread for as long as the timer lives; one timer at a time.
    TFirstPaintTimer();
    ~TFirstPaintTimer();
    TFirstPaintTimer(const TFirstPaintTimer&) = delete;
    TFirstPaintTimer& operator=(const TFirstPaintTimer&) = delete;

    // Marks the start; the next dialog shown is the one timed.
    void Start();
    // Milliseconds from Start to the end of the first paint, or a negative value when nothing
    // was painted since Start.
    double Milliseconds() const;

private:
    static LRESULT CALLBACK OnGetMessage(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK OnCallWndProcRet(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK OnStuck(HWND window, UINT message, UINT_PTR id, DWORD time);
    void SawPaint(HWND window);
    void SawMarker();
    void Finish();
    void Answer();

    HHOOK GetMessageHook = nullptr;
    HHOOK CallWndProcRetHook = nullptr;
    LARGE_INTEGER Frequency{};
    LARGE_INTEGER Started{};
    LARGE_INTEGER Finished{};
    HWND Dialog = nullptr;
    bool Armed = false;
    bool Painted = false;
    bool MarkerPosted = false;
    UINT_PTR StuckTimer = 0;
    int StuckTicks = 0;
};

} // namespace qb
