#include "runtime/Controls.h"
#include "runtime/AsciiCase.h"
#include "runtime/Forms.h"
#include "runtime/Platform.h"
#include "runtime/Windowing.h"
#include <algorithm>
#include "runtime/Exception.h"

namespace qb {

// ---- TControl -------------------------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
    Destroying();
    if (Parent_)
        Parent_->RemoveControl(this);
    Parent_ = nullptr;
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == Parent_ || parent == this)
        return;
    if (Parent_)
        Parent_->RemoveControl(this);
    Parent_ = parent;
    if (parent) {
        Parent_ = parent;
        parent->InsertControl(this);
        if (ParentFont_)
            InheritFont(parent->Font());
    }
    if (!IsWindowedControl())
        Invalidate();
}

TForm* TControl::ParentForm() const {
    const TControl* control = this;
    while (control->Parent_)
        control = control->Parent_;
    if (control->Kind() != TControlKind::Form)
        return nullptr;
    return static_cast<TForm*>(const_cast<TControl*>(control));
}

void TControl::SetBounds(int left, int top, int width, int height) {
    TRect bounds{left, top, left + std::max(0, width), top + std::max(0, height)};
    if (bounds == Bounds_)
        return;
    if (!IsWindowedControl())
        Invalidate(); // the old place is painted over too
    Bounds_ = bounds;
    Changed(TPeerChange::Bounds);
    if (!IsWindowedControl())
        Invalidate();
}

TRect TControl::ClientRect() const {
    return {0, 0, Width(), Height()};
}

void TControl::SetVisible(bool visible) {
    if (visible == Visible_)
        return;
    Visible_ = visible;
    Changed(TPeerChange::Visible);
    if (!IsWindowedControl() && Parent_)
        Parent_->Invalidate();
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == Enabled_)
        return;
    Enabled_ = enabled;
    Changed(TPeerChange::Enabled);
    if (!IsWindowedControl())
        Invalidate();
}

void TControl::SetCaption(const std::string& caption) {
    if (caption == Caption_)
        return;
    Caption_ = caption;
    Changed(TPeerChange::Text);
    if (!IsWindowedControl())
        Invalidate();
}

void TControl::InheritFont(const TFont& font) {
    if (!(font == Font_)) {
        Font_ = font;
        Changed(TPeerChange::Font);
        if (!IsWindowedControl())
            Invalidate();
    }
    if (IsWindowedControl())
        for (TControl* child : static_cast<TWinControl*>(this)->Controls())
            if (child->ParentFont_)
                child->InheritFont(font);
}

void TControl::SetFont(const TFont& font) {
    ParentFont_ = false;
    InheritFont(font);
}

void TControl::SetCursor(TCursor cursor) {
    if (cursor == Cursor_)
        return;
    Cursor_ = cursor;
    Changed(TPeerChange::Cursor);
}

void TControl::SetColor(TColor color) {
    if (color == Color_)
        return;
    Color_ = color;
    Changed(IsWindowedControl() && Kind() == TControlKind::Form ? TPeerChange::Style
                                                                : TPeerChange::State);
    Invalidate();
}

void TControl::Click() {
    if (OnClick)
        OnClick(this);
}

void TControl::Invalidate() {
    if (IsWindowedControl()) {
        if (IControlPeer* peer = static_cast<TWinControl*>(this)->Peer())
            peer->Invalidate();
        return;
    }
    // A graphic control lives on its parent's surface.
    if (Parent_ && Visible_)
        Parent_->Invalidate();
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

// ---- TWinControl ----------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    Destroying();
    // Child windows die with ours; the objects stay with their owner, without a parent.
    DestroyPeers(*this);
    while (!Controls_.empty()) {
        TControl* child = Controls_.back();
        Controls_.pop_back();
        child->Parent_ = nullptr;
    }
    TabOrder_.clear();
}

void TWinControl::SetParent(TWinControl* parent) {
    if (parent == this)
        return;
    if (parent != Parent()) {
        // Our window cannot outlive its place among the old parent's windows; child windows
        // go before their parent's, as the system destroys them.
        DestroyPeers(*this);
        TControl::SetParent(parent);
    }
    CreatePeer();
}

void TWinControl::DestroyPeers(TWinControl& control) {
    for (TControl* child : control.Controls_)
        if (child->IsWindowedControl())
            DestroyPeers(*static_cast<TWinControl*>(child));
    control.Peer_.reset();
}

std::vector<TWinControl*> TWinControl::TabList() const {
    return TabOrder_;
}

std::vector<TWinControl*> TWinControl::WindowOrder() const {
    std::vector<TWinControl*> order = TabOrder_;
    for (TControl* child : Controls_) {
        if (child->Kind() != TControlKind::StaticText)
            continue;
        auto below = std::find_if(order.begin(), order.end(), [&](const TWinControl* control) {
            return control->Kind() != TControlKind::StaticText && control->Top() > child->Top();
        });
        order.insert(below, static_cast<TWinControl*>(child));
    }
    return order;
}

void TWinControl::SetTabStop(bool tabStop) {
    if (tabStop == TabStop_)
        return;
    TabStop_ = tabStop;
    Changed(TPeerChange::TabOrder);
}

int TWinControl::TabOrder() const {
    if (!Parent())
        return -1;
    const auto& list = Parent()->TabOrder_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
    if (!Parent())
        return;
    auto& list = Parent()->TabOrder_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end())
        return;
    list.erase(it);
    order = std::clamp(order, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + order, this);
    Changed(TPeerChange::TabOrder);
}

bool TWinControl::CanFocus() const {
    if (!Peer_)
        return false;
    for (const TControl* control = this; control; control = control->Parent()) {
        if (!control->Enabled())
            return false;
        // A form may be focused into before it shows; its controls must be visible.
        if (!control->Visible() && control->Kind() != TControlKind::Form)
            return false;
    }
    return true;
}

void TWinControl::SetFocus() {
    if (CanFocus())
        Peer_->SetFocus();
}

bool TWinControl::Focused() const {
    return Peer_ && Peer_->Focused();
}

void TWinControl::SetDefault(bool value) {
    if (value == Default_)
        return;
    if (value)
        if (TForm* form = ParentForm())
            ForEachControl(*form, [&](TControl& control) {
                if (!control.IsWindowedControl() || &control == this)
                    return;
                auto& other = static_cast<TWinControl&>(control);
                if (other.Default_) {
                    other.Default_ = false;
                    other.Changed(TPeerChange::State);
                }
            });
    Default_ = value;
    Changed(TPeerChange::State);
}

bool TWinControl::ShowsFocusCues() const {
    return !Peer_ || (Peer_->ReadKeyboardCues() & kcFocus) != 0;
}

bool TWinControl::ShowsAcceleratorCues() const {
    return !Peer_ || (Peer_->ReadKeyboardCues() & kcAccelerators) != 0;
}

void TWinControl::KeyDown(int& key, TShiftState shift) {
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
    if (OnKeyPress)
        OnKeyPress(this, key);
}

void TWinControl::DoEnter() {
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit)
        OnExit(this);
}

void TWinControl::InsertControl(TControl* control) {
    if (!control || std::find(Controls_.begin(), Controls_.end(), control) != Controls_.end())
        return;
    Controls_.push_back(control);
    if (control->IsWindowedControl() && control->Kind() != TControlKind::StaticText)
        TabOrder_.push_back(static_cast<TWinControl*>(control));
}

void TWinControl::RemoveControl(TControl* control) {
    Controls_.erase(std::remove(Controls_.begin(), Controls_.end(), control), Controls_.end());
    TabOrder_.erase(std::remove(TabOrder_.begin(), TabOrder_.end(), control), TabOrder_.end());
    if (!control->IsWindowedControl())
        Invalidate();
}

void TWinControl::Changed(TPeerChange change) {
    if (Peer_)
        Peer_->Changed(change);
}

void TWinControl::CreatePeer() {
    if (Peer_)
        return;
    IWindowing* windowing = Platform().Windowing;
    if (!windowing)
        return;
    if (Kind() != TControlKind::Form && !(Parent() && Parent()->Peer_))
        return;
    Peer_ = windowing->CreatePeer(*this);
    for (TControl* child : Controls_)
        if (child->IsWindowedControl())
            static_cast<TWinControl*>(child)->CreatePeer();
}

// ---- TCustomControl -------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

TCanvas& TCustomControl::Canvas() {
    if (PaintCanvas_)
        return *PaintCanvas_;
    if (!Peer())
        throw Exception("a control without a window has no canvas");
    return Peer()->MeasureCanvas();
}

void TCustomControl::PaintWith(TCanvas& canvas) {
    TCanvas* saved = PaintCanvas_;
    PaintCanvas_ = &canvas;
    struct TRestore {
        TCanvas*& Slot;
        TCanvas* Value;
        ~TRestore() { Slot = Value; }
    } restore{PaintCanvas_, saved};
    Paint();
}

// ---- Accelerators ---------------------------------------------------------------------------

// The last marked character counts, as it is the one DrawText underlines.
bool IsAccel(char ch, const std::string& caption) {
    char hotkey = 0;
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        ++i;
        if (caption[i] != '&')
            hotkey = caption[i];
    }
    return hotkey != 0 && LowerAscii(hotkey) == LowerAscii(ch);
}

std::string StripHotkey(const std::string& caption) {
    std::string out;
    out.reserve(caption.size());
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        out += caption[i];
    }
    return out;
}

} // namespace qb
