// Forms: top-level windows with a border style, a client area painted by the form, key
// preview, and a modal loop that ends when ModalResult becomes non-zero and DoClose agrees.
#pragma once
#include "runtime/Controls.h"
#include <cstdint>
#include <functional>

namespace qb {

enum class TFormBorderStyle : uint8_t { bsDialog, bsSingle, bsSizeable, bsNone };
using TBorderIcons = uint8_t;
inline constexpr TBorderIcons biSystemMenu = 1; // with it the close box
inline constexpr TBorderIcons biMinimize = 2;
inline constexpr TBorderIcons biMaximize = 4;
enum class TFormStyle : uint8_t { fsNormal, fsStayOnTop };
enum class TPosition : uint8_t { poDesigned, poScreenCenter, poOwnerFormCenter };
enum class TCloseAction : uint8_t { caNone, caHide, caFree, caMinimize };

inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;

using TCloseEvent = std::function<void(TComponent* Sender, TCloseAction& Action)>;

class TForm : public TWinControl {
public:
    // Creates the form's window (hidden) at once, so its canvas can measure.
    explicit TForm(TComponent* owner);
    ~TForm() override;
    TControlKind Kind() const override { return TControlKind::Form; }

    // Left/Top/Width/Height of a form are its outer window rectangle on the screen.
    int ClientWidth() const { return ClientWidth_; }
    int ClientHeight() const { return ClientHeight_; }
    void SetClientWidth(int width);
    void SetClientHeight(int height);
    TRect ClientRect() const override { return {0, 0, ClientWidth_, ClientHeight_}; }
    // Outer size from the peer (border and caption included).
    void SetBounds(int left, int top, int width, int height) override;

    TFormBorderStyle BorderStyle() const { return BorderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);
    TBorderIcons BorderIcons() const { return BorderIcons_; }
    void SetBorderIcons(TBorderIcons icons);
    TFormStyle FormStyle() const { return FormStyle_; }
    void SetFormStyle(TFormStyle style);
    TPosition Position() const { return Position_; }
    void SetPosition(TPosition position) { Position_ = position; }
    bool KeyPreview = false;

    // Pixels per inch the form lays itself out for: the screen's, until the window moves to a
    // monitor of another resolution.
    int PixelsPerInch() const;
    // The window is at a new resolution (WM_DPICHANGED): fonts and measuring follow, the form
    // lays itself out again and takes the place suggested (an empty one keeps its place).
    void ChangeDpi(int pixelsPerInch, const TRect& suggested);

    // The paint canvas while painting, the peer's measuring canvas otherwise. Font, brush and
    // pen set outside painting carry over into the next paint.
    TCanvas& Canvas();

    int ModalResult() const { return ModalResult_; }
    void SetModalResult(int result) { ModalResult_ = result; }
    // Shows the form modally; returns the modal result that ended the loop.
    virtual int ShowModal();
    bool Modal() const { return Modal_; }
    // The close request (close box, Alt+F4 past the key handling, CloseDialog): a modal form
    // gets result 2; DoClose may still veto.
    void Close();
    // A close request from outside the program (the window menu, the taskbar, the window
    // manager, Task Manager): a window without a close box ignores it, as it ignores Escape.
    void CloseRequest();
    bool HasCloseBox() const;

    TWinControl* ActiveControl() const;
    // The push button drawn as the default, which Enter presses: the focused push button, else
    // the default one (nullptr: none), as the dialog manager moves the default with the focus.
    TWinControl* DrawnDefaultButton() const;

    TNotifyEvent OnShow;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;

    // Hooks the backend calls.
    // Whole client area on a double-buffered canvas: background in Color, Paint, then the
    // visible graphic children.
    void PaintWith(TCanvas& canvas);
    // A key before the focused control sees it (only with KeyPreview): runs KeyDown of the form.
    // Returns false when the key was used up (set to 0).
    bool PreviewKey(int& key, TShiftState shift);
    // A character no control used (WM_CHAR / WM_SYSCHAR with Alt): true when handled.
    virtual bool DialogChar(char ch);
    // Enter and Escape: clicks the button drawn as the default, or the cancel button; false
    // when there is none.
    bool DialogKey(int key);
    // The window is about to be shown (fires OnShow).
    virtual void DoShow();
    // After each message of the modal loop: true when the loop is to end now.
    bool ModalLoopShouldEnd();

protected:
    virtual void Paint();
    void KeyDown(int& key, TShiftState shift) override;
    virtual void DoClose(TCloseAction& action);
    // Lays the form out again for PixelsPerInch(); nothing by default.
    virtual void RescaleForDpi() {}

private:
    // Left/Top/Width/Height follow the client size through the window's frame.
    void SyncOuterBounds();
    // Where the window shows: centred on its owner or on the work area of the owner's monitor
    // (the pointer's without an owner), and always inside that work area.
    void PlaceOnWorkArea();

    int ClientWidth_ = 400;
    int ClientHeight_ = 300;
    TFormBorderStyle BorderStyle_ = TFormBorderStyle::bsSizeable;
    TBorderIcons BorderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TFormStyle FormStyle_ = TFormStyle::fsNormal;
    TPosition Position_ = TPosition::poDesigned;
    int ModalResult_ = 0;
    bool Modal_ = false;
    int PixelsPerInch_ = 0; // 0: the screen's
    TCanvas* PaintCanvas_ = nullptr;
};

// The application's main form, when there is one (this program has none).
TForm* MainForm();
// The innermost form whose modal loop runs, or nullptr.
TForm* ActiveModalForm();

} // namespace qb
