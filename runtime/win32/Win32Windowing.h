// The windowing services on real Windows: HWND peers, the screen, the message font, the
// clipboard, pictures, dates and window timers.
#pragma once
#include "runtime/win32/WindowsApi.h"

#include "runtime/Windowing.h"
#include <map>
#include <string>

namespace qb {

class Win32Windowing : public IWindowing {
public:
    Win32Windowing() = default;
    ~Win32Windowing() override;
    Win32Windowing(const Win32Windowing&) = delete;
    Win32Windowing& operator=(const Win32Windowing&) = delete;

    std::unique_ptr<IControlPeer> CreatePeer(TWinControl& control) override;

    TSize ScreenSize() override;
    TRect WorkArea(const TRect& window) override;
    TRect ActiveWindowRect() override;
    int ScreenPixelsPerInch() override;
    int SystemMetric(int index) override;
    bool GetMessageFont(TFont& font, int pixelsPerInch) override;
    bool HighContrast() override;

    void Beep() override;
    bool SetClipboardText(const std::string& text) override;
    std::string ClipboardText() override;

    std::shared_ptr<TGraphic> LoadSystemIcon(int id, int size) override;
    std::shared_ptr<TGraphic> LoadBitmapResource(const std::string& name,
                                                 TColor transparent) override;
    std::shared_ptr<TGraphic> IconGraphic(THandle icon) override;
    std::shared_ptr<TGraphic> SolidBitmap(int width, int height, TColor color) override;

    std::string ModuleFileName() override;

    std::string FormatShortDate(const TDate& date) override;
    bool ParseShortDate(const std::string& text, TDate& date) override;

    void StartTimer(TTimer& timer) override;
    void StopTimer(TTimer& timer) override;

    // The hidden window that owns timers and the clipboard; made on first use.
    HWND ServiceWindow();

private:
    static LRESULT CALLBACK ServiceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Tick(UINT_PTR id);

    HWND Service_ = nullptr;
    std::map<UINT_PTR, TTimer*> Timers_;
    UINT_PTR NextTimerId_ = 1;
};

// The user's short date pattern applied to a text: the day, month and year numbers in the
// pattern's order, two-digit years in 1930..2029, the date checked against the calendar.
bool ParseDateByPattern(const std::string& text, const std::string& pattern, TDate& date);

} // namespace qb
