// A screen without a display: forms and controls get peers that only keep state, the user is
// a script (ScriptedUser.h), and every service a form asks for answers from settings a test
// can change: screen size, resolution, message font, clipboard, beeps, icons and bitmaps,
// the program's path and the short date format.
#pragma once
#include "runtime/Windowing.h"
#include "runtime/headless/HeadlessGraphic.h"
#include "runtime/headless/RecordingCanvas.h"
#include "runtime/headless/ScriptedUser.h"
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qb {

class THeadlessPeer;

// A monitor of the headless desktop: its rectangle and its work area (less the taskbar).
struct THeadlessMonitor {
    TRect Bounds;
    TRect WorkArea;
};

// One window as a window lister sees it (EnumChildWindows, GetClassName, GetWindowText).
struct THeadlessWindowInfo {
    std::string Class; // the system class the Windows backend makes ("#32770", "Button", ...)
    std::string Text;
    std::string Name; // component name
    TRect Bounds;     // in its parent's client area
    bool Visible = false;
};

// One paint of one window: the canvas holds what was drawn, in that window's coordinates.
struct THeadlessPaint {
    std::string Control; // component name of the painted form or custom control
    bool Form = false;
    std::shared_ptr<TRecordingCanvas> Canvas;
};

class THeadlessWindowing : public IWindowing {
public:
    THeadlessWindowing();
    ~THeadlessWindowing() override;

    // Settings.
    TSize Screen{1024, 768};
    // The desktop's monitors, the first the primary; none means one monitor of Screen's size,
    // all of it work area.
    std::vector<THeadlessMonitor> Monitors;
    // Where the mouse pointer rests, in desktop coordinates.
    TPoint Pointer;
    int PixelsPerInch = 96;
    // The message font; with MessageFontAvailable false GetMessageFont fails.
    TFont MessageFont{"Tahoma", 8, 0, 0xFF000008};
    bool MessageFontAvailable = true;
    // SPI_GETHIGHCONTRAST.
    bool HighContrastOn = false;
    // GetSystemMetrics answers by index; unknown indexes answer 0. Defaults are those of a
    // Windows 10 machine at 96 DPI (SM_CXSCREEN/SM_CYSCREEN follow Screen).
    std::map<int, int> Metrics;
    // SPI_GETKEYBOARDCUES: focus rectangles and accelerator underlines always show. Off, a dialog
    // opens without them and shows them once the keyboard is used (Windows' default).
    bool KeyboardCues = true;
    // The clipboard held by another program: SetClipboardText fails and keeps the content.
    bool ClipboardHeld = false;
    std::string ModulePath = "c:\\program files (x86)\\quillbridge\\quillbridge.exe";
    // Letters M, d (without leading zero), MM, dd, yyyy; anything else is kept as it is.
    std::string ShortDateFormat = "M/d/yyyy";
    // Folder of the .rc files whose BITMAP lines name the BMP files (the build's resources).
    std::string ResourceDir;

    // What happened.
    int Beeps = 0;
    // Times Alt alone put a window menu into keyboard mode.
    int MenuActivations = 0;
    std::string Clipboard;
    // The same text as CF_UNICODETEXT, converted from the simulated machine's code page.
    std::u16string ClipboardUnicode;
    int ClipboardWrites = 0; // successful ones
    std::vector<THeadlessPaint> Paints;
    // Steps that could not be played, and a script that ran out before its form closed.
    std::vector<std::string> ScriptErrors;

    // The script: steps are taken from the front by modal loops.
    void Play(std::vector<TUserStep> steps);
    size_t StepsLeft() const { return Script.size(); }

    // The state of the screen.
    TWinControl* FocusedControl() const;
    std::string FocusedName() const;
    // The cursor of the control under the mouse (crDefault over nothing).
    TCursor Cursor() const;
    // Forms whose modal loop runs, outermost first.
    const std::vector<TForm*>& ModalForms() const { return ModalStack; }
    std::vector<TTimer*> RunningTimers() const { return Timers; }
    // The window of a form and its child windows, in the order a window lister finds them.
    std::vector<THeadlessWindowInfo> ListWindows(const TWinControl& root) const;
    // The last paint of the form or custom control of that name (nullptr: none).
    const TRecordingCanvas* LastPaint(const std::string& control) const;
    int PaintCount(const std::string& control) const;

    // IWindowing
    std::unique_ptr<IControlPeer> CreatePeer(TWinControl& control) override;
    TSize ScreenSize() override { return Screen; }
    TRect WorkArea(const TRect& window) override;
    TRect ActiveWindowRect() override;
    int ScreenPixelsPerInch() override { return PixelsPerInch; }
    int SystemMetric(int index) override;
    bool GetMessageFont(TFont& font, int pixelsPerInch) override;
    bool HighContrast() override { return HighContrastOn; }
    void Beep() override { ++Beeps; }
    bool SetClipboardText(const std::string& text) override;
    std::string ClipboardText() override { return Clipboard; }
    std::shared_ptr<TGraphic> LoadSystemIcon(int id, int size) override;
    std::shared_ptr<TGraphic> LoadBitmapResource(const std::string& name,
                                                 TColor transparent) override;
    std::shared_ptr<TGraphic> IconGraphic(THandle icon) override;
    std::shared_ptr<TGraphic> SolidBitmap(int width, int height, TColor color) override;
    std::string ModuleFileName() override { return ModulePath; }
    std::string FormatShortDate(const TDate& date) override;
    bool ParseShortDate(const std::string& text, TDate& date) override;
    void StartTimer(TTimer& timer) override;
    void StopTimer(TTimer& timer) override;

private:
    friend class THeadlessPeer;
    friend class TModalLoop;

    void RunModal(THeadlessPeer& peer);
    void PeerGone(THeadlessPeer& peer);
    void Focus(THeadlessPeer* peer);

    std::deque<TUserStep> Script;
    std::vector<TForm*> ModalStack;
    std::vector<TTimer*> Timers;
    std::vector<THeadlessPeer*> Peers;
    THeadlessPeer* Focused = nullptr;
    TControl* Hover = nullptr;   // control under the mouse
    TControl* Capture = nullptr; // control that took the press
    THandle NextHandle = 0x10000;
};

} // namespace qb
