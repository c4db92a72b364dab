// The backend half of a windowed control. The control object holds the truth (bounds, caption,
// state); its peer mirrors it into a real window (Win32) or a record (headless) and reports
// what the user did by calling the object's hooks (Click, MouseDown, KeyDown, PaintWith ...).
#pragma once
#include "runtime/Canvas.h"
#include "runtime/Types.h"
#include "runtime/Windowing.h"
#include <cstdint>
#include <string>

namespace qb {

// What changed on the object since the peer last looked; the peer re-reads those properties.
enum class TPeerChange : uint8_t {
    Bounds,   // Left/Top/Width/Height (forms: client size and position)
    Visible,  //
    Enabled,  //
    Text,     // Caption / Text / memo lines
    Font,     //
    TabOrder, // TabStop and TabOrder of this control among its siblings
    State,    // kind-specific: checked, default/cancel, position/range, items, date, style
    Cursor,   //
    Style,    // forms: border style, border icons, stay-on-top, colour
    Dpi,      // the form's resolution (PixelsPerInch): fonts and measuring canvas follow
};

// Keyboard cues a window shows: focus rectangles and accelerator underlines.
using TKeyboardCues = uint8_t;
inline constexpr TKeyboardCues kcFocus = 1;
inline constexpr TKeyboardCues kcAccelerators = 2;

class IControlPeer {
public:
    virtual ~IControlPeer() = default;
    // HWND on Win32; a unique non-zero number on the headless backend.
    virtual THandle Handle() const = 0;
    virtual void Changed(TPeerChange change) = 0;
    // Text the user may have edited (edit, memo, combo box); the object's copy otherwise.
    virtual std::string ReadText() = 0;
    // Checked state of a check or radio button as the user left it.
    virtual bool ReadChecked() = 0;
    // A push button held down by the keyboard (Space) or the mouse, as the system shows it.
    virtual bool ReadPushed() { return false; }
    // The keyboard cues the window shows now.
    virtual TKeyboardCues ReadKeyboardCues() { return kcFocus | kcAccelerators; }
    // Selected item of a combo box (-1: none) and date of a date picker.
    virtual int ReadItemIndex() = 0;
    virtual bool ReadDate(TDate& date) = 0;
    // Repaint (all of it) soon.
    virtual void Invalidate() = 0;
    virtual void SetFocus() = 0;
    virtual bool Focused() = 0;
    // A canvas for measuring outside painting, with the font the object last gave it.
    virtual TCanvas& MeasureCanvas() = 0;
    // Forms only: show modally and run the loop until TForm::ModalLoopShouldEnd says so.
    virtual void RunModal() = 0;
    // Forms only: screen position of the window's outer rectangle and its outer size for the
    // current client size (border and caption included).
    virtual TRect WindowRect() = 0;
};

} // namespace qb
