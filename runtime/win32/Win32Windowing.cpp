#include "runtime/win32/Win32Windowing.h"

#include "runtime/StdCtrls.h"
#include "runtime/win32/GdiCanvas.h"
#include "runtime/win32/Win32Dpi.h"
#include "runtime/win32/WideText.h"
#include "runtime/win32/Win32FormPeer.h"
#include "runtime/win32/Win32Peer.h"
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace qb {
namespace {

constexpr const char* ServiceClassName = "QuillbridgeService";

COLORREF Resolve(TColor color) {
    if (IsSystemColor(color))
        return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFFu;
}

// Looked up at run time, as the task dialog is: the program keeps importing nothing from
// comctl32, and the manifest's activation context picks version 6 when it loads.
// Windows are made on the user-interface thread only, so plain flags do.
bool CommonControlsReady = false;
bool ServiceClassReady = false;

void InitCommonControlsOnce() {
    if (CommonControlsReady)
        return;
    CommonControlsReady = true;
    HMODULE comctl = LoadLibraryA("comctl32.dll");
    using TInit = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto init = comctl ? reinterpret_cast<TInit>(reinterpret_cast<void*>(
                                   GetProcAddress(comctl, "InitCommonControlsEx")))
                             : nullptr;
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_PROGRESS_CLASS | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    if (init)
        init(&controls);
}

bool LeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && LeapYear(year) ? 29 : Days[month - 1];
}

bool ValidDate(const TDate& date) {
    return date.Year >= 1601 && date.Year <= 9999 && date.Month >= 1 && date.Month <= 12 &&
           date.Day >= 1 && date.Day <= DaysInMonth(date.Year, date.Month);
}

} // namespace

bool ParseDateByPattern(const std::string& text, const std::string& pattern, TDate& date) {
    // The order in which day, month and year first appear; quoted literals do not count.
    std::string order;
    bool quoted = false;
    for (const char c : pattern) {
        if (c == '\'') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && (c == 'd' || c == 'M' || c == 'y') && order.find(c) == std::string::npos)
            order += c;
    }
    if (order.size() != 3)
        order = "Mdy";

    struct TNumber {
        int Value;
        size_t Digits;
    };
    std::vector<TNumber> numbers;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= '0' && c <= '9') {
            size_t end = i;
            int value = 0;
            while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
                if (end - i >= 4)
                    return false; // no field has more than four digits
                value = value * 10 + (text[end] - '0');
                ++end;
            }
            numbers.push_back({value, end - i});
            i = end;
        } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0x80) {
            return false; // month names and era texts are not short-date numbers
        } else {
            ++i;
        }
    }
    if (numbers.size() != 3)
        return false;
    TDate parsed;
    for (size_t field = 0; field < 3; ++field) {
        const TNumber& n = numbers[field];
        switch (order[field]) {
        case 'd':
            parsed.Day = n.Value;
            break;
        case 'M':
            parsed.Month = n.Value;
            break;
        default:
            // Two-digit years fall in the window the system uses by default.
            parsed.Year = n.Digits <= 2 ? n.Value + (n.Value < 30 ? 2000 : 1900) : n.Value;
            break;
        }
    }
    if (!ValidDate(parsed))
        return false;
    date = parsed;
    return true;
}

Win32Windowing::~Win32Windowing() {
    if (Service_) {
        for (const auto& entry : Timers_)
            KillTimer(Service_, entry.first);
        DestroyWindow(Service_);
    }
}

std::unique_ptr<IControlPeer> Win32Windowing::CreatePeer(TWinControl& control) {
    InitCommonControlsOnce();
    if (control.Kind() == TControlKind::Form)
        return std::make_unique<TWin32FormPeer>(static_cast<TForm&>(control));
    return CreateControlPeer(control);
}

TSize Win32Windowing::ScreenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

TRect Win32Windowing::WorkArea(const TRect& window) {
    HMONITOR monitor = nullptr;
    if (window.Empty()) {
        POINT pointer{};
        GetCursorPos(&pointer);
        monitor = MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST);
    } else {
        const RECT r{window.Left, window.Top, window.Right, window.Bottom};
        monitor = MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST);
    }
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor && GetMonitorInfoA(monitor, &info))
        return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
    RECT work{};
    if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        return {work.left, work.top, work.right, work.bottom};
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

TRect Win32Windowing::ActiveWindowRect() {
    HWND active = GetActiveWindow();
    RECT r{};
    if (!active || !IsWindowVisible(active) || !GetWindowRect(active, &r))
        return {};
    return {r.left, r.top, r.right, r.bottom};
}

int Win32Windowing::ScreenPixelsPerInch() {
    return SystemDpi();
}

int Win32Windowing::SystemMetric(int index) {
    return GetSystemMetrics(index);
}

bool Win32Windowing::GetMessageFont(TFont& font, int pixelsPerInch) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    int dpi = SystemDpi();
    if (pixelsPerInch > 0 && NonClientMetricsForDpi(metrics, pixelsPerInch)) {
        dpi = pixelsPerInch;
    } else if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
        // Systems before Vista know the structure without its last field.
        metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
        if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
            return false;
    }
    const LOGFONTW& lf = metrics.lfMessageFont;
    if (lf.lfFaceName[0] == L'\0' || lf.lfHeight == 0)
        return false;
    // The face name in the wide call: a localised name comes whole in any code page.
    font.Name = NarrowText(std::wstring_view(lf.lfFaceName, wcsnlen(lf.lfFaceName, LF_FACESIZE)));
    font.Size = std::max(1, MulDiv(std::abs(lf.lfHeight), 72, dpi));
    font.Style = 0;
    if (lf.lfWeight >= FW_SEMIBOLD)
        font.Style |= fsBold;
    if (lf.lfItalic)
        font.Style |= fsItalic;
    if (lf.lfUnderline)
        font.Style |= fsUnderline;
    if (lf.lfStrikeOut)
        font.Style |= fsStrikeOut;
    return true;
}

bool Win32Windowing::HighContrast() {
    HIGHCONTRASTA contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

void Win32Windowing::Beep() {
    MessageBeep(MB_OK);
}

namespace {

// Clipboard memory holding the bytes of a text and its terminating zero, or null.
HGLOBAL ClipboardMemory(const void* data, size_t bytes, size_t zeroBytes) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes + zeroBytes);
    if (!memory)
        return nullptr;
    auto* target = static_cast<char*>(GlobalLock(memory));
    if (!target) {
        GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(target, data, bytes);
    std::memset(target + bytes, 0, zeroBytes);
    GlobalUnlock(memory);
    return memory;
}

} // namespace

bool Win32Windowing::SetClipboardText(const std::string& text) {
    // The text in UTF-16 beside the process code page's bytes, so that every program reads its
    // characters right (the system's own conversion of CF_TEXT goes by the keyboard's locale).
    // Everything that can fail for lack of memory happens before the clipboard is touched.
    const std::wstring wide = WideText(text);
    HGLOBAL unicode = ClipboardMemory(wide.data(), wide.size() * sizeof(wchar_t), sizeof(wchar_t));
    HGLOBAL bytes = ClipboardMemory(text.data(), text.size(), 1);
    if (!unicode || !bytes || !OpenClipboard(ServiceWindow())) {
        if (unicode)
            GlobalFree(unicode);
        if (bytes)
            GlobalFree(bytes);
        return false;
    }
    bool placed = EmptyClipboard() != FALSE;
    // Once placed, the memory is the system's.
    if (!placed || !SetClipboardData(CF_UNICODETEXT, unicode)) {
        GlobalFree(unicode);
        placed = false;
    }
    if (!placed || !SetClipboardData(CF_TEXT, bytes)) {
        GlobalFree(bytes);
        placed = false;
    }
    CloseClipboard();
    return placed;
}

std::string Win32Windowing::ClipboardText() {
    std::string text;
    if (!OpenClipboard(ServiceWindow()))
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = NarrowText(std::wstring_view(chars, wcsnlen(chars, GlobalSize(data) / 2)));
            GlobalUnlock(data);
        }
    } else if (HANDLE bytes = GetClipboardData(CF_TEXT)) {
        if (const auto* chars = static_cast<const char*>(GlobalLock(bytes))) {
            text.assign(chars, strnlen(chars, GlobalSize(bytes)));
            GlobalUnlock(bytes);
        }
    }
    CloseClipboard();
    return text;
}

std::shared_ptr<TGraphic> Win32Windowing::LoadSystemIcon(int id, int size) {
    if (size > 0)
        if (HICON icon = LoadIconAtSize(id, size))
            return std::make_shared<TGdiIcon>(icon, true, size, size);
    // The shared copy: the system picks the image nearest the size and DrawIconEx draws it at
    // the size asked for.
    auto icon = static_cast<HICON>(LoadImageA(nullptr, MAKEINTRESOURCEA(id), IMAGE_ICON,
                                              std::max(size, 0), std::max(size, 0), LR_SHARED));
    if (!icon)
        return nullptr;
    if (size > 0)
        return std::make_shared<TGdiIcon>(icon, false, size, size);
    return std::make_shared<TGdiIcon>(icon, false);
}

std::shared_ptr<TGraphic> Win32Windowing::LoadBitmapResource(const std::string& name,
                                                             TColor transparent) {
    auto bitmap = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), name.c_str(), IMAGE_BITMAP, 0, 0, 0));
    if (!bitmap)
        return nullptr;
    const TColor key = transparent == clNone ? clNone : Resolve(transparent);
    return std::make_shared<TGdiBitmap>(bitmap, true, key);
}

std::shared_ptr<TGraphic> Win32Windowing::IconGraphic(THandle icon) {
    if (!icon)
        return nullptr;
    return std::make_shared<TGdiIcon>(reinterpret_cast<HICON>(icon), false);
}

std::shared_ptr<TGraphic> Win32Windowing::SolidBitmap(int width, int height, TColor color) {
    if (width <= 0 || height <= 0)
        return std::make_shared<TGdiBitmap>(nullptr, false);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = screen ? CreateCompatibleBitmap(screen, width, height) : nullptr;
    HDC memory = screen ? CreateCompatibleDC(screen) : nullptr;
    if (screen)
        ReleaseDC(nullptr, screen);
    if (bitmap && memory) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        HBRUSH brush = CreateSolidBrush(Resolve(color));
        RECT all{0, 0, width, height};
        FillRect(memory, &all, brush);
        DeleteObject(brush);
        SelectObject(memory, old);
    }
    if (memory)
        DeleteDC(memory);
    if (!bitmap)
        return nullptr;
    return std::make_shared<TGdiBitmap>(bitmap, true);
}

std::string Win32Windowing::ModuleFileName() {
    // A path longer than MAX_PATH comes back cut to the buffer: grow until it fits.
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        const auto size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
        if (length == 0)
            return {};
        if (length < size - 1 || size >= 65536)
            return std::string(buffer.data(), std::min(length, size));
        buffer.resize(buffer.size() * 2);
    }
}

std::string Win32Windowing::FormatShortDate(const TDate& date) {
    if (!ValidDate(date))
        return {};
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(date.Year);
    time.wMonth = static_cast<WORD>(date.Month);
    time.wDay = static_cast<WORD>(date.Day);
    const int size =
        GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, nullptr, 0);
    if (size <= 0)
        return {};
    std::string text(static_cast<size_t>(size), '\0');
    const int written =
        GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text.data(), size);
    text.resize(written > 0 ? static_cast<size_t>(written - 1) : 0);
    return text;
}

bool Win32Windowing::ParseShortDate(const std::string& text, TDate& date) {
    char pattern[81] = {};
    if (!GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, pattern, sizeof pattern))
        pattern[0] = '\0';
    return ParseDateByPattern(text, pattern, date);
}

HWND Win32Windowing::ServiceWindow() {
    if (Service_)
        return Service_;
    if (!ServiceClassReady) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &ServiceProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = ServiceClassName;
        ServiceClassReady = RegisterClassExA(&wc) != 0;
    }
    Service_ = CreateWindowExA(0, ServiceClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    if (Service_)
        SetWindowLongPtrA(Service_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return Service_;
}

LRESULT CALLBACK Win32Windowing::ServiceProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_TIMER) {
        if (auto* self =
                reinterpret_cast<Win32Windowing*>(GetWindowLongPtrA(window, GWLP_USERDATA)))
            self->Tick(wParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void Win32Windowing::Tick(UINT_PTR id) {
    auto it = Timers_.find(id);
    if (it == Timers_.end()) {
        KillTimer(Service_, id); // a tick already queued when its timer stopped
        return;
    }
    // No tick runs inside the error box of an earlier one; the next tick comes after it.
    if (ShowingException())
        return;
    TTimer* timer = it->second;
    Guard([&] { timer->Tick(); });
}

void Win32Windowing::StartTimer(TTimer& timer) {
    StopTimer(timer);
    HWND window = ServiceWindow();
    if (!window)
        return;
    const UINT_PTR id = NextTimerId_++;
    if (SetTimer(window, id, std::max<UINT>(timer.Interval(), USER_TIMER_MINIMUM), nullptr))
        Timers_[id] = &timer;
}

void Win32Windowing::StopTimer(TTimer& timer) {
    for (auto it = Timers_.begin(); it != Timers_.end();) {
        if (it->second == &timer) {
            KillTimer(Service_, it->first);
            it = Timers_.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace qb
