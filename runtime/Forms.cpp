#include "runtime/Forms.h"
#include "runtime/Platform.h"
#include "runtime/StdCtrls.h"
#include "runtime/WinConst.h"
#include "runtime/Windowing.h"
#include <algorithm>
#include "runtime/Exception.h"

namespace qb {

namespace {

// The innermost form whose modal loop runs; each keeps the one it opened over (one
// user-interface thread).
TForm* InnermostModal = nullptr;

// A window's rectangle moved inside an area: never past its right or bottom edge, and, when it
// is larger than the area, starting at the area's left or top.
TRect KeepInside(const TRect& window, const TRect& area) {
    auto start = [](int at, int size, int first, int last) {
        return size >= last - first ? first : std::clamp(at, first, last - size);
    };
    const int left = start(window.Left, window.Width(), area.Left, area.Right);
    const int top = start(window.Top, window.Height(), area.Top, area.Bottom);
    return {left, top, left + window.Width(), top + window.Height()};
}

// A rectangle of that size centred on another.
TRect CentredOn(const TRect& on, int width, int height) {
    const int left = on.Left + (on.Width() - width) / 2;
    const int top = on.Top + (on.Height() - height) / 2;
    return {left, top, left + width, top + height};
}

bool Usable(const TControl& control) {
    for (const TControl* c = &control; c; c = c->Parent())
        if (!c->Enabled() || (!c->Visible() && c->Kind() != TControlKind::Form))
            return false;
    return true;
}

} // namespace

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    // A form starts hidden; ShowModal shows it.
    SetVisible(false);
    CreatePeer();
    Changed(TPeerChange::Bounds);
    SyncOuterBounds();
}

TForm::~TForm() {
    Destroying();
}

void TForm::SyncOuterBounds() {
    TRect outer{Left(), Top(), Left() + ClientWidth_, Top() + ClientHeight_};
    if (IControlPeer* peer = Peer())
        outer = peer->WindowRect();
    TControl::SetBounds(Left(), Top(), outer.Width(), outer.Height());
}

void TForm::SetClientWidth(int width) {
    if (width < 0)
        width = 0;
    if (width == ClientWidth_)
        return;
    ClientWidth_ = width;
    Changed(TPeerChange::Bounds);
    SyncOuterBounds();
}

void TForm::SetClientHeight(int height) {
    if (height < 0)
        height = 0;
    if (height == ClientHeight_)
        return;
    ClientHeight_ = height;
    Changed(TPeerChange::Bounds);
    SyncOuterBounds();
}

void TForm::SetBounds(int left, int top, int width, int height) {
    // The frame keeps its size; the client area takes the rest.
    const int frameWidth = Width() - ClientWidth_;
    const int frameHeight = Height() - ClientHeight_;
    ClientWidth_ = std::max(0, width - frameWidth);
    ClientHeight_ = std::max(0, height - frameHeight);
    TControl::SetBounds(left, top, ClientWidth_ + frameWidth, ClientHeight_ + frameHeight);
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
    if (style == BorderStyle_)
        return;
    BorderStyle_ = style;
    Changed(TPeerChange::Style);
    SyncOuterBounds();
}

void TForm::SetBorderIcons(TBorderIcons icons) {
    if (icons == BorderIcons_)
        return;
    BorderIcons_ = icons;
    Changed(TPeerChange::Style);
    SyncOuterBounds();
}

void TForm::SetFormStyle(TFormStyle style) {
    if (style == FormStyle_)
        return;
    FormStyle_ = style;
    Changed(TPeerChange::Style);
}

int TForm::PixelsPerInch() const {
    if (PixelsPerInch_ > 0)
        return PixelsPerInch_;
    IWindowing* windowing = Platform().Windowing;
    return windowing ? windowing->ScreenPixelsPerInch() : 96;
}

void TForm::ChangeDpi(int pixelsPerInch, const TRect& suggested) {
    if (pixelsPerInch <= 0)
        return;
    PixelsPerInch_ = pixelsPerInch;
    Changed(TPeerChange::Dpi);
    ForEachControl(*this, [](TControl& control) {
        if (control.IsWindowedControl())
            if (IControlPeer* peer = static_cast<TWinControl&>(control).Peer())
                peer->Changed(TPeerChange::Dpi);
    });
    SyncOuterBounds();
    const TPoint place{Left(), Top()};
    RescaleForDpi();
    if (!suggested.Empty())
        SetBounds(suggested.Left, suggested.Top, Width(), Height());
    else
        SetBounds(place.X, place.Y, Width(), Height());
    Invalidate();
}

TCanvas& TForm::Canvas() {
    if (PaintCanvas_)
        return *PaintCanvas_;
    if (!Peer())
        throw Exception("a form without a window has no canvas");
    return Peer()->MeasureCanvas();
}

int TForm::ShowModal() {
    if (Modal_ || !Peer())
        throw Exception("the form cannot be shown modally");
    PlaceOnWorkArea();
    ModalResult_ = mrNone;
    Modal_ = true;
    struct TEnd {
        TForm& Form;
        TForm* Outer; // the modal form this one was shown over
        ~TEnd() {
            InnermostModal = Outer;
            Form.Modal_ = false;
            Form.SetVisible(false);
        }
    } end{*this, InnermostModal};
    InnermostModal = this;
    SetVisible(true);
    Peer()->RunModal();
    return ModalResult_;
}

void TForm::Close() {
    if (Modal_) {
        ModalResult_ = mrCancel;
        return;
    }
    TCloseAction action = TCloseAction::caHide;
    DoClose(action);
    if (action == TCloseAction::caHide || action == TCloseAction::caFree)
        SetVisible(false);
}

void TForm::PlaceOnWorkArea() {
    IWindowing* windowing = Platform().Windowing;
    if (!windowing)
        return;
    TRect place = BoundsRect();
    TRect area;
    if (Position_ == TPosition::poDesigned) {
        area = windowing->WorkArea(place);
    } else {
        const TRect owner = windowing->ActiveWindowRect();
        area = windowing->WorkArea(owner);
        const bool onOwner = Position_ == TPosition::poOwnerFormCenter && !owner.Empty();
        place = CentredOn(onOwner ? owner : area, Width(), Height());
    }
    place = KeepInside(place, area);
    SetBounds(place.Left, place.Top, Width(), Height());
}

bool TForm::HasCloseBox() const {
    return BorderStyle_ != TFormBorderStyle::bsNone && (BorderIcons_ & biSystemMenu) != 0;
}

void TForm::CloseRequest() {
    if (HasCloseBox())
        Close();
}

TWinControl* TForm::ActiveControl() const {
    TWinControl* active = nullptr;
    ForEachControl(*this, [&](TControl& control) {
        if (!active && control.IsWindowedControl() && static_cast<TWinControl&>(control).Focused())
            active = &static_cast<TWinControl&>(control);
    });
    return active;
}

void TForm::PaintWith(TCanvas& canvas) {
    TCanvas* saved = PaintCanvas_;
    PaintCanvas_ = &canvas;
    struct TRestore {
        TCanvas*& Slot;
        TCanvas* Value;
        ~TRestore() { Slot = Value; }
    } restore{PaintCanvas_, saved};
    {
        TCanvasStateSaver state(canvas);
        canvas.SetBrushColor(Color());
        canvas.FillRect(ClientRect());
    }
    Paint();
    for (TControl* control : Controls())
        if (!control->IsWindowedControl() && control->Visible()) {
            TCanvasStateSaver state(canvas);
            control->PaintOn(canvas);
        }
}

void TForm::Paint() {
    if (OnPaint)
        OnPaint(this);
}

bool TForm::PreviewKey(int& key, TShiftState shift) {
    if (!KeyPreview)
        return key != 0;
    KeyDown(key, shift);
    return key != 0;
}

void TForm::KeyDown(int& key, TShiftState shift) {
    TWinControl::KeyDown(key, shift);
}

bool TForm::DialogChar(char ch) {
    TControl* hit = nullptr;
    ForEachControl(*this, [&](TControl& control) {
        if (hit || !Usable(control) || !IsAccel(ch, control.Caption()))
            return;
        switch (control.Kind()) {
        case TControlKind::Button:
        case TControlKind::CheckBox:
        case TControlKind::RadioButton:
        case TControlKind::Custom:
            hit = &control;
            break;
        case TControlKind::Graphic:
            // A label's accelerator leads to the next control in the tab order.
            hit = &control;
            break;
        default:
            break;
        }
    });
    if (!hit)
        return false;
    if (hit->Kind() == TControlKind::Graphic) {
        TWinControl* parent = hit->Parent();
        if (!parent)
            return false;
        // The first focusable windowed sibling created after the label.
        bool after = false;
        for (TControl* control : parent->Controls()) {
            if (control == hit) {
                after = true;
                continue;
            }
            if (after && control->IsWindowedControl() &&
                static_cast<TWinControl*>(control)->CanFocus()) {
                static_cast<TWinControl*>(control)->SetFocus();
                return true;
            }
        }
        return false;
    }
    auto& target = static_cast<TWinControl&>(*hit);
    target.SetFocus();
    if (target.Kind() == TControlKind::RadioButton && static_cast<TRadioButton&>(target).Checked())
        return true;
    if (target.Kind() == TControlKind::CheckBox) {
        // The accelerator toggles as a click would; the peer shows the new state first.
        auto& box = static_cast<TCheckBox&>(target);
        box.SetChecked(!box.Checked());
    }
    target.Click();
    return true;
}

TWinControl* TForm::DrawnDefaultButton() const {
    if (TWinControl* active = ActiveControl(); active && active->IsPushButton() && Usable(*active))
        return active;
    TWinControl* chosen = nullptr;
    ForEachControl(*this, [&](TControl& control) {
        if (!chosen && control.IsWindowedControl()) {
            auto& button = static_cast<TWinControl&>(control);
            if (button.IsPushButton() && button.Default() && Usable(button))
                chosen = &button;
        }
    });
    return chosen;
}

bool TForm::DialogKey(int key) {
    TWinControl* chosen = nullptr;
    if (key == win::VK_RETURN)
        chosen = DrawnDefaultButton();
    if (key == win::VK_ESCAPE)
        ForEachControl(*this, [&](TControl& control) {
            if (!chosen && control.Kind() == TControlKind::Button && Usable(control) &&
                static_cast<TButton&>(control).Cancel())
                chosen = static_cast<TButton*>(&control);
        });
    if (!chosen)
        return false;
    chosen->Click();
    return true;
}

void TForm::DoShow() {
    if (OnShow)
        OnShow(this);
}

bool TForm::ModalLoopShouldEnd() {
    if (ModalResult_ == mrNone)
        return false;
    TCloseAction action = TCloseAction::caHide;
    try {
        DoClose(action);
    } catch (...) {
        // A close handler that fails keeps the window, as a veto would.
        ModalResult_ = mrNone;
        throw;
    }
    if (action == TCloseAction::caNone) {
        ModalResult_ = mrNone;
        return false;
    }
    return true;
}

void TForm::DoClose(TCloseAction& action) {
    if (OnClose)
        OnClose(this, action);
}

TForm* MainForm() {
    return nullptr;
}

TForm* ActiveModalForm() {
    return InnermostModal;
}

} // namespace qb
