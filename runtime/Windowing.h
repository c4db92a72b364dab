// The windowing seam: what forms and controls need of the platform besides their own windows.
// runtime/win32 answers with real windows, GDI and the clipboard; runtime/headless with a
// simulated screen whose user is played by a script.
#pragma once
#include "runtime/Canvas.h"
#include "runtime/Types.h"
#include <memory>
#include <string>

namespace qb {

class IControlPeer;
class TWinControl;
class TTimer;

struct TDate {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    friend bool operator==(const TDate&, const TDate&) = default;
};

class IWindowing {
public:
    virtual ~IWindowing() = default;

    // The window (or simulated window) behind a windowed control. Called once per control,
    // when it gets a parent that has a peer (forms: when they are constructed).
    virtual std::unique_ptr<IControlPeer> CreatePeer(TWinControl& control) = 0;

    // Screen.
    virtual TSize ScreenSize() = 0;
    // The work area (the screen less the taskbar and docked bars) of the monitor that holds the
    // most of a window's rectangle; an empty rectangle means the monitor under the pointer.
    virtual TRect WorkArea(const TRect& window) = 0;
    // The outer rectangle of the window that would own a dialog opened now (the active one),
    // empty when there is none.
    virtual TRect ActiveWindowRect() = 0;
    virtual int ScreenPixelsPerInch() = 0;
    // GetSystemMetrics.
    virtual int SystemMetric(int index) = 0;
    // The message font of SPI_GETNONCLIENTMETRICS as a window at that resolution shows it;
    // false leaves font unchanged.
    virtual bool GetMessageFont(TFont& font, int pixelsPerInch) = 0;
    // SPI_GETHIGHCONTRAST: the user reads with a high-contrast scheme.
    virtual bool HighContrast() = 0;

    // MessageBeep(MB_OK).
    virtual void Beep() = 0;
    // Replaces the clipboard's content with the text, as CF_UNICODETEXT and CF_TEXT; false (and
    // the old content kept) when the clipboard is held by another program or memory runs out.
    virtual bool SetClipboardText(const std::string& text) = 0;
    virtual std::string ClipboardText() = 0;

    // Pictures. Graphics draw themselves on the backend's canvases; a transparent colour
    // (not clNone) is left out when the graphic is drawn. Null when the resource is missing.
    virtual std::shared_ptr<TGraphic> LoadSystemIcon(int id, int size) = 0;
    virtual std::shared_ptr<TGraphic> LoadBitmapResource(const std::string& name,
                                                         TColor transparent) = 0;
    // The icon handle as a graphic; the handle stays the caller's.
    virtual std::shared_ptr<TGraphic> IconGraphic(THandle icon) = 0;
    // A bitmap filled with one colour (the blank main icon, the footer icon's ground).
    virtual std::shared_ptr<TGraphic> SolidBitmap(int width, int height, TColor color) = 0;

    // Full path of the running program.
    virtual std::string ModuleFileName() = 0;

    // The user's short date format; ParseShortDate is false for a text that is no date.
    virtual std::string FormatShortDate(const TDate& date) = 0;
    virtual bool ParseShortDate(const std::string& text, TDate& date) = 0;

    // Timers tick in the modal loop of the thread that started them.
    virtual void StartTimer(TTimer& timer) = 0;
    virtual void StopTimer(TTimer& timer) = 0;
};

} // namespace qb
