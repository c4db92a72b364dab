#include "runtime/win32/Win32Dpi.h"
#include "runtime/win32/Win32Pictures.h"

namespace qb {

namespace {

template <class F> F UserCall(const char* name) {
    HMODULE user = GetModuleHandleA("user32.dll");
    return user ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user, name)))
                : nullptr;
}

} // namespace

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    if (!screen)
        return 96;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int WindowDpi(HWND window) {
    using TGetDpiForWindow = UINT(WINAPI*)(HWND);
    static const auto getDpi = UserCall<TGetDpiForWindow>("GetDpiForWindow");
    const UINT dpi = getDpi && window ? getDpi(window) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
    using TAdjust = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = UserCall<TAdjust>("AdjustWindowRectExForDpi");
    if (!adjust || !adjust(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, int dpi) {
    using TForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto forDpi = UserCall<TForDpi>("SystemParametersInfoForDpi");
    return forDpi &&
           forDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, static_cast<UINT>(dpi));
}

HICON LoadIconAtSize(int id, int size) {
    // comctl32 6 scales the icon down from the next larger image; LR_SHARED would hand out the
    // copy of whatever size was loaded first.
    using TLoadScaled = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    const auto loadScaled = reinterpret_cast<TLoadScaled>(ComCtlProc("LoadIconWithScaleDown"));
    HICON icon = nullptr;
    if (loadScaled && SUCCEEDED(loadScaled(nullptr, MAKEINTRESOURCEW(id), size, size, &icon)))
        return icon;
    return static_cast<HICON>(LoadImageA(nullptr, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
}

} // namespace qb
