// The window behind a windowed control: a base that mirrors the object's common state (bounds,
// visibility, text, font, tab order) into an HWND and turns the window's mouse and focus
// messages into the object's hooks. Kinds of control add their own class, styles and state.
#pragma once
#include "runtime/win32/WindowsApi.h"

#include "runtime/ControlPeer.h"
#include "runtime/Controls.h"
#include "runtime/win32/GdiCanvas.h"
#include <memory>
#include <string>

namespace qb {

class TWin32FormPeer;

// Runs a hook of the framework; an exception stops here and is shown, so that it never unwinds
// through Windows code. Returns false when the hook raised.
bool GuardHook(void (*call)(void*), void* context) noexcept;
template <class F> bool Guard(F&& hook) noexcept {
    return GuardHook([](void* f) { (*static_cast<F*>(f))(); }, &hook);
}
// True while an exception is being shown (timer ticks wait until the box is closed).
bool ShowingException();

// Font, brush and pen a control's canvas was given outside painting carry into its paint.
void CopyCanvasState(TCanvas& from, TCanvas& to);

// Shift state from the keyboard now (for key messages) or from a mouse message's wParam.
TShiftState KeyShiftState();
TShiftState MouseShiftState(WPARAM wParam);

class TWin32Peer : public IControlPeer {
public:
    explicit TWin32Peer(TWinControl& control);
    ~TWin32Peer() override;
    TWin32Peer(const TWin32Peer&) = delete;
    TWin32Peer& operator=(const TWin32Peer&) = delete;

    // The peer of a window, or of its nearest ancestor that has one (the edit inside a combo).
    static TWin32Peer* FromWindow(HWND window);
    static TWin32Peer* OwnerOf(HWND window);

    // Asking for the handle makes the window (and its parents') when it has none yet.
    THandle Handle() const override;
    // The window, or none while the form has not been shown or asked for its handle.
    HWND Wnd() const { return Wnd_; }
    // Makes the window now, with the windows of its parents and of the controls on it.
    void Realize();
    TWinControl& Control() const { return Control_; }
    TWin32FormPeer* Form() const;

    void Changed(TPeerChange change) override;
    std::string ReadText() override;
    bool ReadChecked() override { return false; }
    int ReadItemIndex() override { return -1; }
    bool ReadDate(TDate& date) override;
    TKeyboardCues ReadKeyboardCues() override;
    void Invalidate() override;
    void SetFocus() override;
    bool Focused() override;
    TCanvas& MeasureCanvas() override;
    void RunModal() override {}
    TRect WindowRect() override;

    // Notifications the parent form receives on behalf of this control.
    virtual void Command(int code);
    virtual bool DrawItem(const DRAWITEMSTRUCT& item);
    HFONT FontHandle() const { return Font_; }
    // The resolution the control is drawn for: its form's.
    int PixelsPerInch() const;

protected:
    // Windows are made late: a form's when it is first shown, a control's with its parent's.
    // Creating a top-level window and then changing it step by step while the dialog is built
    // costs a round trip to the window system each time; made late, each window is made once
    // with its final state. Controls call this at the end of their constructor.
    void CreateWhenParentHasWindow();
    // Makes the window (hidden) and reads the whole state. Forms pass no parent. Without
    // arrange, the caller orders the siblings once after making them all.
    void Create(const char* windowClass, DWORD style, DWORD exStyle, HWND parent,
                bool arrange = true);
    // Destroys and makes the window again (styles a window cannot change).
    void Recreate();
    // Kind-specific state (check, items, range...); called after creation and on State.
    virtual void ApplyState() {}
    virtual DWORD Style() const = 0;
    virtual DWORD ExStyle() const { return 0; }
    virtual const char* WindowClass() const = 0;
    virtual void ApplyBounds();
    // Window messages of the control; the default hands them to the class's procedure.
    virtual LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);
    void ApplyFont();
    // Z-order follows tab order (the dialog manager walks windows in z-order) and the first
    // control of each group of radio buttons starts a group.
    static void ArrangeSiblings(TWinControl* parent);
    // Extended styles for a control that reads right to left (none otherwise).
    static DWORD ReadingExStyle(const TControl& control);

    HWND Wnd_ = nullptr;
    TWinControl& Control_;
    bool Destroying_ = false;

private:
    static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK DispatchProc(TWin32Peer* peer, HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam);
    static bool IsMouseMessage(UINT message);
    void MouseMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void MakeWindow(bool arrange);
    TWin32Peer* ParentPeer() const;
    HWND ParentWnd() const;
    bool IsTopLevel() const { return Control_.Kind() == TControlKind::Form; }
    friend class TWin32FormPeer;

    WNDPROC ClassProc_ = nullptr;
    HFONT Font_ = nullptr;
    std::unique_ptr<TGdiBitmapCanvas> Measure_;
    bool Tracking_ = false;
};

// The peer of a control of that kind (forms excluded).
std::unique_ptr<IControlPeer> CreateControlPeer(TWinControl& control);
// Whether the focused control uses Enter or Escape itself (a memo's new line, an open list).
bool PeerWantsKey(TWin32Peer& peer, int key);

} // namespace qb
