#include "runtime/StdCtrls.h"
#include "runtime/Forms.h"
#include "runtime/Platform.h"
#include "runtime/WinConst.h"
#include <algorithm>

namespace qb {

namespace {
constexpr TColor clGrayText = SystemColor(17);
}

// ---- TButton --------------------------------------------------------------------------------

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
}

void TButton::Click() {
    if (TForm* form = ParentForm())
        form->SetModalResult(ModalResult);
    TWinControl::Click();
}

// ---- TCheckBox ------------------------------------------------------------------------------

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
}

void TCheckBox::SetChecked(bool checked) {
    if (checked == Checked_)
        return;
    Checked_ = checked;
    Changed(TPeerChange::State);
}

void TCheckBox::Click() {
    if (IControlPeer* peer = Peer())
        Checked_ = peer->ReadChecked();
    TWinControl::Click();
}

// ---- TRadioButton ---------------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
}

void TRadioButton::SetChecked(bool checked) {
    if (checked == Checked_)
        return;
    Checked_ = checked;
    Changed(TPeerChange::State);
    if (!checked || !Parent())
        return;
    for (TControl* sibling : Parent()->Controls())
        if (sibling != this && sibling->Kind() == TControlKind::RadioButton)
            static_cast<TRadioButton*>(sibling)->SetChecked(false);
}

void TRadioButton::Click() {
    SetChecked(true);
    TWinControl::Click();
}

// ---- TLabel, TImage -------------------------------------------------------------------------

void TLabel::PaintOn(TCanvas& canvas) {
    TRect rect = BoundsRect();
    uint32_t format = WordWrap ? win::DT_WORDBREAK : 0;
    if (!ShowAccelChar)
        format |= win::DT_NOPREFIX;
    if (UseRightToLeftReading())
        format |= win::DT_RTLREADING | win::DT_RIGHT;
    TFont font = Font();
    if (!Enabled())
        font.Color = clGrayText;
    canvas.SetFont(font);
    if (Transparent)
        canvas.SetBrushStyle(TBrushStyle::Clear);
    else
        canvas.SetBrushColor(Color());
    canvas.DrawText(Caption(), rect, format);
}

void TImage::PaintOn(TCanvas& canvas) {
    if (!Picture.Empty())
        canvas.StretchDraw(BoundsRect(), *Picture.Graphic());
}

// ---- Text controls --------------------------------------------------------------------------

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetColor(SystemColor(5)); // clWindow
}

std::string TEdit::Text() const {
    IControlPeer* peer = Peer();
    return peer ? peer->ReadText() : Caption();
}

TMemo::TMemo(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetColor(SystemColor(5));
}

std::string TMemo::Text() const {
    IControlPeer* peer = Peer();
    const std::string text = peer ? peer->ReadText() : Caption();
    // Every line ends with CR LF, whatever break the text had.
    std::string lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find_first_of("\r\n", at);
        lines.append(text, at, end == std::string::npos ? std::string::npos : end - at);
        lines += "\r\n";
        if (end == std::string::npos)
            break;
        at = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetColor(SystemColor(5));
}

void TComboBox::SetStyle(TComboBoxStyle style) {
    if (style == Style_)
        return;
    Style_ = style;
    Changed(TPeerChange::State);
}

void TComboBox::ItemsChanged() {
    if (ItemIndex_ >= Items.Count())
        ItemIndex_ = -1;
    Changed(TPeerChange::State);
}

int TComboBox::ItemIndex() const {
    IControlPeer* peer = Peer();
    return peer ? peer->ReadItemIndex() : ItemIndex_;
}

void TComboBox::SetItemIndex(int index) {
    if (index < -1 || index >= Items.Count())
        index = -1;
    ItemIndex_ = index;
    // Choosing an item shows it as the text, as the system control does.
    if (index >= 0)
        SetCaption(Items[index]);
    Changed(TPeerChange::State);
}

std::string TComboBox::Text() const {
    // A drop-down list shows nothing but its chosen item.
    if (Style_ == TComboBoxStyle::csDropDownList) {
        const int index = ItemIndex();
        return index >= 0 && index < Items.Count() ? Items[index] : std::string();
    }
    IControlPeer* peer = Peer();
    return peer ? peer->ReadText() : Caption();
}

TDateTimePicker::TDateTimePicker(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
}

TDate TDateTimePicker::Date() const {
    TDate date = Date_;
    if (IControlPeer* peer = Peer(); peer && peer->ReadDate(date))
        return date;
    return Date_;
}

void TDateTimePicker::SetDate(const TDate& date) {
    Date_ = date;
    Changed(TPeerChange::State);
}

// ---- TProgressBar ---------------------------------------------------------------------------

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) {}

void TProgressBar::SetRange(int min, int max) {
    if (max < min)
        max = min;
    Min_ = min;
    Max_ = max;
    Position_ = std::clamp(Position_, Min_, Max_);
    Changed(TPeerChange::State);
}

void TProgressBar::SetPosition(int position) {
    position = std::clamp(position, Min_, Max_);
    if (position == Position_)
        return;
    Position_ = position;
    Changed(TPeerChange::State);
}

void TProgressBar::SetMarquee(bool marquee) {
    if (marquee == Marquee_)
        return;
    Marquee_ = marquee;
    Changed(TPeerChange::State);
}

void TProgressBar::SetState(TProgressBarState state) {
    if (state == State_)
        return;
    State_ = state;
    Changed(TPeerChange::State);
}

// ---- TTimer ---------------------------------------------------------------------------------

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
    Restart();
}

TTimer::~TTimer() {
    Destroying();
    if (Running_)
        if (IWindowing* windowing = Platform().Windowing)
            windowing->StopTimer(*this);
    Running_ = false;
}

void TTimer::SetInterval(unsigned milliseconds) {
    if (milliseconds == Interval_)
        return;
    Interval_ = milliseconds;
    Restart();
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == Enabled_)
        return;
    Enabled_ = enabled;
    Restart();
}

void TTimer::Tick() {
    if (Running_ && OnTimer)
        OnTimer(this);
}

void TTimer::Restart() {
    IWindowing* windowing = Platform().Windowing;
    if (Running_ && windowing)
        windowing->StopTimer(*this);
    Running_ = false;
    if (Enabled_ && Interval_ > 0 && windowing) {
        windowing->StartTimer(*this);
        Running_ = true;
    }
}

} // namespace qb
