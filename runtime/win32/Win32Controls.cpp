// The standard controls as system windows, and custom-painted controls as owner-drawn buttons
// (so a screen reader finds a push button named by its caption).
#include "runtime/win32/Win32Peer.h"

#include "runtime/StdCtrls.h"
#include "runtime/win32/Win32FormPeer.h"
#include "runtime/win32/WideText.h"
#include <algorithm>

namespace qb {
namespace {

std::string WindowText(HWND window) {
    // Read whole: the text may be far longer than any fixed buffer.
    const int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::clamp(copied, 0, length)));
    return NarrowText(text);
}

// Paints an owner-drawn window on a memory bitmap that starts as the form's own picture of its
// place, then puts it on the window in one copy; a text window shows only that picture.
bool DrawOverFormPicture(TWin32Peer& peer, const DRAWITEMSTRUCT& item, TCustomControl* painted) {
    const RECT r = item.rcItem;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return true;
    TGdiBitmapCanvas canvas(width, height);
    canvas.SetPixelsPerInch(peer.PixelsPerInch());
    bool backed = false;
    if (TWin32FormPeer* form = peer.Form()) {
        POINT origin{0, 0};
        MapWindowPoints(peer.Wnd(), form->Wnd(), &origin, 1);
        backed = form->CopyBackground(canvas.Handle(), origin.x, origin.y, width, height);
    }
    if (!backed)
        canvas.Clear(peer.Control().Parent()->Color());
    if (painted) {
        CopyCanvasState(peer.MeasureCanvas(), canvas);
        if (!ShowingException())
            Guard([&] { painted->PaintWith(canvas); });
    }
    GdiFlush();
    BitBlt(item.hDC, r.left, r.top, width, height, canvas.Handle(), 0, 0, SRCCOPY);
    return true;
}

// The dialog manager's default id follows the control's Default; the looks follow the focus.
void ApplyDefault(TWin32Peer& peer) {
    HWND parent = GetParent(peer.Wnd());
    const auto id = static_cast<WPARAM>(GetDlgCtrlID(peer.Wnd()));
    if (peer.Control().Default())
        SendMessageA(parent, DM_SETDEFID, id, 0);
    else if (LOWORD(SendMessageA(parent, DM_GETDEFID, 0, 0)) == id)
        SendMessageA(parent, DM_SETDEFID, 0, 0);
    if (TWin32FormPeer* form = peer.Form())
        form->ShowDefaultButton();
}

class TButtonPeer : public TWin32Peer {
public:
    explicit TButtonPeer(TButton& button) : TWin32Peer(button), Button_(button) {
        CreateWhenParentHasWindow();
    }
    void Command(int code) override {
        if (code == BN_CLICKED)
            Guard([&] { Button_.Click(); });
    }

protected:
    const char* WindowClass() const override { return "BUTTON"; }
    DWORD Style() const override {
        return WS_CLIPSIBLINGS | (Button_.Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    }
    void ApplyState() override { ApplyDefault(*this); }

private:
    TButton& Button_;
};

class TCheckBoxPeer : public TWin32Peer {
public:
    explicit TCheckBoxPeer(TCheckBox& box) : TWin32Peer(box), Box_(box) {
        CreateWhenParentHasWindow();
    }
    bool ReadChecked() override {
        return Wnd_ ? SendMessageA(Wnd_, BM_GETCHECK, 0, 0) == BST_CHECKED : Box_.Checked();
    }
    void Command(int code) override {
        if (code == BN_CLICKED)
            Guard([&] { Box_.Click(); });
    }

protected:
    const char* WindowClass() const override { return "BUTTON"; }
    DWORD Style() const override {
        return WS_CLIPSIBLINGS | BS_AUTOCHECKBOX | (Box_.WordWrap ? BS_MULTILINE : 0);
    }
    void ApplyState() override {
        SendMessageA(Wnd_, BM_SETCHECK, Box_.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
    }

private:
    TCheckBox& Box_;
};

class TRadioButtonPeer : public TWin32Peer {
public:
    explicit TRadioButtonPeer(TRadioButton& radio) : TWin32Peer(radio), Radio_(radio) {
        CreateWhenParentHasWindow();
    }
    bool ReadChecked() override {
        return Wnd_ ? SendMessageA(Wnd_, BM_GETCHECK, 0, 0) == BST_CHECKED : Radio_.Checked();
    }
    void Command(int code) override {
        if (code == BN_CLICKED)
            Guard([&] { Radio_.Click(); });
    }

protected:
    const char* WindowClass() const override { return "BUTTON"; }
    DWORD Style() const override { return WS_CLIPSIBLINGS | BS_AUTORADIOBUTTON; }
    void ApplyState() override {
        SendMessageA(Wnd_, BM_SETCHECK, Radio_.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
        ArrangeSiblings(Control_.Parent()); // the tab stop follows the checked button
    }

private:
    TRadioButton& Radio_;
};

class TEditPeer : public TWin32Peer {
public:
    TEditPeer(TWinControl& control, bool memo, bool wantReturns)
        : TWin32Peer(control), Memo_(memo), WantReturns_(wantReturns) {
        CreateWhenParentHasWindow();
    }
    std::string ReadText() override { return Wnd_ ? WindowText(Wnd_) : Control_.Caption(); }
    bool WantsReturn() const { return Memo_ && WantReturns_; }

protected:
    const char* WindowClass() const override { return "EDIT"; }
    DWORD Style() const override {
        if (!Memo_)
            return WS_CLIPSIBLINGS | ES_LEFT | ES_AUTOHSCROLL;
        return WS_CLIPSIBLINGS | ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL |
               (WantReturns_ ? ES_WANTRETURN : 0);
    }
    DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }

private:
    bool Memo_;
    bool WantReturns_;
};

class TComboBoxPeer : public TWin32Peer {
public:
    explicit TComboBoxPeer(TComboBox& combo) : TWin32Peer(combo), Combo_(combo) {
        CreatedStyle_ = combo.Style();
        CreateWhenParentHasWindow();
    }
    std::string ReadText() override { return Wnd_ ? WindowText(Wnd_) : Control_.Caption(); }
    int ReadItemIndex() override {
        return Wnd_ ? static_cast<int>(SendMessageA(Wnd_, CB_GETCURSEL, 0, 0))
                    : Combo_.StoredItemIndex();
    }
    bool DroppedDown() const { return Wnd_ && SendMessageA(Wnd_, CB_GETDROPPEDSTATE, 0, 0) != 0; }

protected:
    const char* WindowClass() const override { return "COMBOBOX"; }
    DWORD Style() const override {
        return WS_CLIPSIBLINGS | WS_VSCROLL | CBS_AUTOHSCROLL |
               (CreatedStyle_ == TComboBoxStyle::csDropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
    }
    void ApplyBounds() override {
        // A combo box window's height includes its drop-down list.
        const TRect b = Control_.BoundsRect();
        const int listHeight = std::max(b.Height(), 1) * 8;
        SetWindowPos(Wnd_, nullptr, b.Left, b.Top, b.Width(), b.Height() + listHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void ApplyState() override {
        if (Combo_.Style() != CreatedStyle_) {
            CreatedStyle_ = Combo_.Style();
            Recreate();
            return;
        }
        SendMessageA(Wnd_, CB_RESETCONTENT, 0, 0);
        for (int i = 0; i < Combo_.Items.Count(); ++i)
            SendMessageW(Wnd_, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(WideText(Combo_.Items[i]).c_str()));
        const int index = Combo_.StoredItemIndex();
        SendMessageA(Wnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        if (index < 0 && CreatedStyle_ == TComboBoxStyle::csDropDown)
            SetWindowTextW(Wnd_, WideText(Control_.Caption()).c_str());
    }

private:
    TComboBox& Combo_;
    TComboBoxStyle CreatedStyle_;
};

class TDatePickerPeer : public TWin32Peer {
public:
    explicit TDatePickerPeer(TDateTimePicker& picker) : TWin32Peer(picker), Picker_(picker) {
        CreateWhenParentHasWindow();
    }
    bool ReadDate(TDate& date) override {
        SYSTEMTIME time{};
        if (!Wnd_ ||
            SendMessageA(Wnd_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID)
            return false;
        date = TDate{time.wYear, time.wMonth, time.wDay};
        return true;
    }

protected:
    const char* WindowClass() const override { return DATETIMEPICK_CLASSA; }
    DWORD Style() const override { return WS_CLIPSIBLINGS | DTS_SHORTDATEFORMAT; }
    void ApplyState() override {
        const TDate& date = Picker_.StoredDate();
        if (date.Year == 0)
            return; // no date set: the control shows today
        SYSTEMTIME time{};
        time.wYear = static_cast<WORD>(date.Year);
        time.wMonth = static_cast<WORD>(date.Month);
        time.wDay = static_cast<WORD>(date.Day);
        SendMessageA(Wnd_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    }

private:
    TDateTimePicker& Picker_;
};

class TProgressBarPeer : public TWin32Peer {
public:
    explicit TProgressBarPeer(TProgressBar& bar) : TWin32Peer(bar), Bar_(bar) {
        CreateWhenParentHasWindow();
    }

protected:
    const char* WindowClass() const override { return PROGRESS_CLASSA; }
    DWORD Style() const override { return WS_CLIPSIBLINGS | (Bar_.Marquee() ? PBS_MARQUEE : 0); }
    void ApplyState() override {
        LONG_PTR style = GetWindowLongPtrA(Wnd_, GWL_STYLE);
        const bool marquee = Bar_.Marquee();
        if (((style & PBS_MARQUEE) != 0) != marquee)
            SetWindowLongPtrA(Wnd_, GWL_STYLE,
                              marquee ? style | PBS_MARQUEE : style & ~LONG_PTR{PBS_MARQUEE});
        SendMessageA(Wnd_, PBM_SETMARQUEE, marquee ? TRUE : FALSE, 30);
        SendMessageA(Wnd_, PBM_SETRANGE32, static_cast<WPARAM>(Bar_.Min()),
                     static_cast<LPARAM>(Bar_.Max()));
        SendMessageA(Wnd_, PBM_SETPOS, static_cast<WPARAM>(Bar_.Position()), 0);
        WPARAM state = PBST_NORMAL;
        if (Bar_.State() == TProgressBarState::pbsError)
            state = PBST_ERROR;
        else if (Bar_.State() == TProgressBarState::pbsPaused)
            state = PBST_PAUSED;
        SendMessageA(Wnd_, PBM_SETSTATE, state, 0);
        // A progress bar without states (Wine's) shows them by the colour of its bar.
        if (static_cast<WPARAM>(SendMessageA(Wnd_, PBM_GETSTATE, 0, 0)) != state ||
            state == PBST_NORMAL) {
            COLORREF bar = CLR_DEFAULT;
            if (state == PBST_ERROR)
                bar = RGB(218, 38, 38);
            else if (state == PBST_PAUSED)
                bar = RGB(218, 165, 32);
            if (static_cast<COLORREF>(SendMessageA(Wnd_, PBM_GETBARCOLOR, 0, 0)) != bar)
                SendMessageA(Wnd_, PBM_SETBARCOLOR, 0, static_cast<LPARAM>(bar));
        }
        InvalidateRect(Wnd_, nullptr, TRUE);
    }

private:
    TProgressBar& Bar_;
};

// A control that paints itself: an owner-drawn push button whose text is the caption, painted
// on a memory bitmap over the form's own picture of that place.
class TCustomPeer : public TWin32Peer {
public:
    explicit TCustomPeer(TCustomControl& control) : TWin32Peer(control), Custom_(control) {
        CreateWhenParentHasWindow();
    }
    bool ReadPushed() override {
        return Wnd_ && (SendMessageA(Wnd_, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
    }
    void Command(int code) override {
        if (code == BN_CLICKED || code == BN_DOUBLECLICKED)
            Guard([&] { Custom_.Click(); });
    }
    bool DrawItem(const DRAWITEMSTRUCT& item) override {
        return DrawOverFormPicture(*this, item, &Custom_);
    }

protected:
    const char* WindowClass() const override { return "BUTTON"; }
    DWORD Style() const override { return WS_CLIPSIBLINGS | BS_OWNERDRAW; }
    void ApplyState() override { ApplyDefault(*this); }
    LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_ERASEBKGND:
            // The whole face is painted from a memory bitmap: erasing first would only flicker.
            return 1;
        case WM_GETDLGCODE: {
            // A push button to the dialog manager, which moves the default ring with the focus.
            TForm* form = Custom_.ParentForm();
            const bool drawnDefault = form && form->DrawnDefaultButton() == &Custom_;
            return DLGC_BUTTON | (drawnDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        }
        case BM_SETSTYLE:
            // The dialog manager's default ring: the control draws it from the form's state. The
            // style itself stays owner-drawn.
            Invalidate();
            return 0;
        case WM_UPDATEUISTATE: {
            const LRESULT result = TWin32Peer::Message(message, wParam, lParam);
            Invalidate();
            return result;
        }
        default:
            return TWin32Peer::Message(message, wParam, lParam);
        }
    }

private:
    TCustomControl& Custom_;
};

// A text the form paints, as a static window for readers: owner-drawn (it shows the form's
// picture), without SS_NOTIFY so that the mouse passes through to the form's links, and
// without prefixes so that an "&" in a path is read as it is.
class TStaticTextPeer : public TWin32Peer {
public:
    explicit TStaticTextPeer(TStaticText& text) : TWin32Peer(text) { CreateWhenParentHasWindow(); }
    bool DrawItem(const DRAWITEMSTRUCT& item) override {
        return DrawOverFormPicture(*this, item, nullptr);
    }

protected:
    const char* WindowClass() const override { return "STATIC"; }
    DWORD Style() const override { return WS_CLIPSIBLINGS | SS_OWNERDRAW | SS_NOPREFIX; }
    void ApplyBounds() override {
        TWin32Peer::ApplyBounds();
        // Its place among its siblings' windows follows where it stands.
        ArrangeSiblings(Control_.Parent());
    }
};

} // namespace

bool PeerWantsKey(TWin32Peer& peer, int key) {
    if (auto* edit = dynamic_cast<TEditPeer*>(&peer))
        return key == VK_RETURN && edit->WantsReturn();
    if (auto* combo = dynamic_cast<TComboBoxPeer*>(&peer))
        return combo->DroppedDown();
    return false;
}

std::unique_ptr<IControlPeer> CreateControlPeer(TWinControl& control) {
    switch (control.Kind()) {
    case TControlKind::Button:
        return std::make_unique<TButtonPeer>(static_cast<TButton&>(control));
    case TControlKind::CheckBox:
        return std::make_unique<TCheckBoxPeer>(static_cast<TCheckBox&>(control));
    case TControlKind::RadioButton:
        return std::make_unique<TRadioButtonPeer>(static_cast<TRadioButton&>(control));
    case TControlKind::Edit:
        return std::make_unique<TEditPeer>(control, false, false);
    case TControlKind::Memo:
        return std::make_unique<TEditPeer>(control, true, static_cast<TMemo&>(control).WantReturns);
    case TControlKind::ComboBox:
        return std::make_unique<TComboBoxPeer>(static_cast<TComboBox&>(control));
    case TControlKind::DatePicker:
        return std::make_unique<TDatePickerPeer>(static_cast<TDateTimePicker&>(control));
    case TControlKind::ProgressBar:
        return std::make_unique<TProgressBarPeer>(static_cast<TProgressBar&>(control));
    case TControlKind::Custom:
        return std::make_unique<TCustomPeer>(static_cast<TCustomControl&>(control));
    case TControlKind::StaticText:
        return std::make_unique<TStaticTextPeer>(static_cast<TStaticText&>(control));
    case TControlKind::Form:
    case TControlKind::Graphic:
        break;
    }
    return nullptr;
}

} // namespace qb
