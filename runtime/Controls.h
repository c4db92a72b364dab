// Controls: the visual objects of a form. TControl holds bounds, caption, font and state;
// TWinControl adds a window (a backend peer), focus and tab order; TCustomControl paints
// itself on its own canvas; TGraphicControl is painted by its parent form (no window).
#pragma once
#include "runtime/Canvas.h"
#include "runtime/Component.h"
#include "runtime/ControlPeer.h"
#include "runtime/Types.h"
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qb {

class TWinControl;
class TForm;

enum class TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

// Modifier keys and mouse buttons held during an input event.
using TShiftState = uint8_t;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;
inline constexpr TShiftState ssLeft = 8;
inline constexpr TShiftState ssRight = 16;
inline constexpr TShiftState ssMiddle = 32;

enum class TBiDiMode : uint8_t { bdLeftToRight, bdRightToLeft };
enum class TCursor : uint8_t { crDefault, crHandPoint };

// What a control is, so that a backend can choose the window it makes for it.
enum class TControlKind : uint8_t {
    Form,
    Button, // push button (also owner-drawn custom buttons: see Custom)
    CheckBox,
    RadioButton,
    Edit,
    Memo,
    ComboBox,
    DatePicker,
    ProgressBar,
    Custom,     // TCustomControl: painted by the object; a push-button role for readers
    Graphic,    // TGraphicControl: no window, painted by the parent form
    StaticText, // a text window for readers; its form paints the text
};

using TMouseEvent =
    std::function<void(TComponent* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TComponent* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TComponent* Sender, int& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TComponent* Sender, char& Key)>;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    virtual TControlKind Kind() const { return TControlKind::Graphic; }

    TWinControl* Parent() const { return Parent_; }
    virtual void SetParent(TWinControl* parent);
    // The form this control sits on (itself for a form), or nullptr.
    TForm* ParentForm() const;

    int Left() const { return Bounds_.Left; }
    int Top() const { return Bounds_.Top; }
    int Width() const { return Bounds_.Width(); }
    int Height() const { return Bounds_.Height(); }
    TRect BoundsRect() const { return Bounds_; }
    void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
    void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
    void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
    void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
    virtual void SetBounds(int left, int top, int width, int height);
    // (0, 0, Width, Height); forms answer their client area.
    virtual TRect ClientRect() const;

    bool Visible() const { return Visible_; }
    void SetVisible(bool visible);
    bool Enabled() const { return Enabled_; }
    void SetEnabled(bool enabled);
    const std::string& Caption() const { return Caption_; }
    void SetCaption(const std::string& caption);
    // The text the control's window carries, as screen readers and window lists read it.
    virtual std::string WindowText() const { return Caption_; }
    const TFont& Font() const { return Font_; }
    // A font given here is the control's own; until then it follows its parent's font.
    void SetFont(const TFont& font);
    bool ParentFont() const { return ParentFont_; }
    TBiDiMode BiDiMode() const { return BiDiMode_; }
    void SetBiDiMode(TBiDiMode mode) { BiDiMode_ = mode; }
    bool UseRightToLeftReading() const { return BiDiMode_ == TBiDiMode::bdRightToLeft; }
    TCursor Cursor() const { return Cursor_; }
    void SetCursor(TCursor cursor);
    TColor Color() const { return Color_; }
    void SetColor(TColor color);

    intptr_t Tag = 0;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    // Fires OnClick; push buttons first give their form the modal result.
    virtual void Click();
    virtual void Invalidate();

    // Hooks the backend calls with client coordinates of this control. The base fires the
    // matching event.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}

    // Graphic controls paint themselves here, in their parent's coordinates.
    virtual void PaintOn(TCanvas& canvas) { (void)canvas; }

protected:
    // The object changed something its peer mirrors.
    virtual void Changed(TPeerChange change) { (void)change; }

private:
    friend class TWinControl;
    // Takes the parent's font without making it the control's own.
    void InheritFont(const TFont& font);

    TWinControl* Parent_ = nullptr;
    TRect Bounds_;
    bool Visible_ = true;
    bool Enabled_ = true;
    std::string Caption_;
    TFont Font_;
    bool ParentFont_ = true;
    TBiDiMode BiDiMode_ = TBiDiMode::bdLeftToRight;
    TCursor Cursor_ = TCursor::crDefault;
    TColor Color_ = 0xFF00000F; // clBtnFace
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    void SetParent(TWinControl* parent) override;

    bool IsWindowedControl() const override { return true; }
    THandle WindowHandle() override { return Peer_ ? Peer_->Handle() : 0; }
    IControlPeer* Peer() const { return Peer_.get(); }
    bool HandleAllocated() const { return Peer_ != nullptr; }

    // Children in z-order (creation order); windowed and graphic alike.
    const std::vector<TControl*>& Controls() const { return Controls_; }
    // Windowed children sorted by tab order (text windows take no part in it).
    std::vector<TWinControl*> TabList() const;
    // Windowed children in the order their windows stand (z-order), which readers follow: the
    // tab order, with each text window set before the first control that lies below its top.
    std::vector<TWinControl*> WindowOrder() const;

    bool TabStop() const { return TabStop_; }
    void SetTabStop(bool tabStop);
    int TabOrder() const;
    // Moves this control to that position among its windowed siblings (clamped).
    void SetTabOrder(int order);

    bool CanFocus() const;
    void SetFocus();
    bool Focused() const;

    // Push buttons, standard or painted: Enter presses the focused one, else the form's
    // default one, and that one is drawn as the default.
    virtual bool IsPushButton() const { return false; }
    // A form has at most one default push button: making one the default takes it from the
    // others.
    bool Default() const { return Default_; }
    void SetDefault(bool value);
    // Keyboard cues the window shows now (the user's setting and what the keyboard did).
    bool ShowsFocusCues() const;
    bool ShowsAcceleratorCues() const;

    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    // Hooks the backend calls. KeyDown/KeyPress fire the events (a key set to 0 is used up).
    virtual void KeyDown(int& key, TShiftState shift);
    virtual void KeyPress(char& key);
    virtual void DoEnter();
    virtual void DoExit();

    // Called by TControl on insert/remove of children.
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);

protected:
    void Changed(TPeerChange change) override;
    // Creates the peer now when the parent has one; forms call it from their constructor.
    void CreatePeer();

private:
    // Windows of the subtree, children first.
    static void DestroyPeers(TWinControl& control);
    std::unique_ptr<IControlPeer> Peer_;
    std::vector<TControl*> Controls_;
    std::vector<TWinControl*> TabOrder_;
    bool TabStop_ = false;
    bool Default_ = false;
};

// Every control under a parent, depth first in z-order.
template <typename F> void ForEachControl(const TWinControl& parent, F&& visit) {
    for (TControl* control : parent.Controls()) {
        visit(*control);
        if (control->IsWindowedControl())
            ForEachControl(*static_cast<TWinControl*>(control), visit);
    }
}

// A windowed control that paints itself: Paint draws on Canvas().
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    TControlKind Kind() const override { return TControlKind::Custom; }
    // Its window is a push button to readers and to the dialog manager.
    bool IsPushButton() const override { return true; }

    // The paint canvas while painting, the peer's measuring canvas otherwise.
    TCanvas& Canvas();
    // The backend calls this with a (double-buffered) canvas for the whole client area.
    void PaintWith(TCanvas& canvas);

protected:
    virtual void Paint() {}

private:
    TCanvas* PaintCanvas_ = nullptr;
};

// Painted by its parent form: labels and images.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner) : TControl(owner) {}
    TControlKind Kind() const override { return TControlKind::Graphic; }
};

// The accelerator test: caption holds "&" followed by ch (ASCII case ignored); "&&" is a
// literal ampersand.
bool IsAccel(char ch, const std::string& caption);
// The caption without accelerator marks ("&&" becomes "&").
std::string StripHotkey(const std::string& caption);

} // namespace qb
