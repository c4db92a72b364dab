// A form as a top-level window of the system's dialog class: the dialog manager gives it Tab,
// arrows, default buttons and focus memory; the form paints its client area on a memory
// bitmap; RunModal is the modal message loop with the form's key handling in front.
#pragma once
#include "runtime/win32/Win32Peer.h"

#include "runtime/Forms.h"
#include <memory>

namespace qb {

class TWin32FormPeer : public TWin32Peer {
public:
    explicit TWin32FormPeer(TForm& form);
    ~TWin32FormPeer() override;

    void Changed(TPeerChange change) override;
    void Invalidate() override;
    void RunModal() override;
    TRect WindowRect() override;

    // A child asks for the focus; before the window shows, it is kept for the first activation.
    void FocusChild(TWin32Peer* child);
    TWin32Peer* PendingFocus() const { return PendingFocus_; }
    // A peer going away is no form's focus to come.
    static void ForgetFocus(const TWin32Peer* peer);
    // Draws the default ring on the button the form says Enter presses, and on no other: the
    // dialog manager's own moves miss focus given by the mouse.
    void ShowDefaultButton();
    // Copies the form's picture of a client rectangle (for controls that paint over it).
    bool CopyBackground(HDC target, int x, int y, int width, int height);

    // Window styles for a form's border style, border icons and form style.
    static DWORD StyleFor(const TForm& form);
    static DWORD ExStyleFor(const TForm& form);

protected:
    const char* WindowClass() const override;
    DWORD Style() const override { return StyleFor(Form_); }
    DWORD ExStyle() const override { return ExStyleFor(Form_); }
    void ApplyBounds() override;
    LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    TSize OuterSize() const;
    HWND TakePendingFocus();
    void ApplyStyle();
    bool EnsureBuffer();
    void PaintBuffer();
    LRESULT ColorChild(HDC dc, HWND child, UINT message, WPARAM wParam, LPARAM lParam);
    bool SetCursorFor(HWND target);
    TWin32Peer* FocusedPeer() const;
    bool LoopShouldEnd();
    void Route(MSG& msg);
    bool RouteKeyDown(MSG& msg);
    bool RouteChar(MSG& msg);

    TForm& Form_;
    // Not an HWND: the control may not have its window yet.
    TWin32Peer* PendingFocus_ = nullptr;
    std::unique_ptr<TGdiBitmapCanvas> Buffer_;
    bool BufferValid_ = false;
    HBRUSH BackBrush_ = nullptr;
    TRect Applied_; // the position and outer size last given to the window
    bool DropAltRelease_ = false;
};

} // namespace qb
