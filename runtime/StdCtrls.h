// The standard controls a dialog uses: push buttons, check and radio buttons, labels, images,
// edits, memos, combo boxes, date pickers, progress bars, and timers.
#pragma once
#include "runtime/Controls.h"
#include "runtime/Graphics.h"
#include "runtime/StringList.h"
#include "runtime/Windowing.h"
#include <cstdint>
#include <memory>
#include <string>

namespace qb {

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);
    TControlKind Kind() const override { return TControlKind::Button; }
    bool IsPushButton() const override { return true; }

    // Escape presses the cancel button (Enter the default one: TWinControl::Default).
    bool Cancel() const { return Cancel_; }
    void SetCancel(bool value) { Cancel_ = value; }
    int ModalResult = 0;

    // The form's modal result becomes ModalResult, then OnClick fires.
    void Click() override;

private:
    bool Cancel_ = false;
};

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* owner);
    TControlKind Kind() const override { return TControlKind::CheckBox; }
    // The object's state; a user's toggle reaches it through Click.
    bool Checked() const { return Checked_; }
    void SetChecked(bool checked);
    bool WordWrap = false;
    // The user toggled it: the state is read from the peer, then OnClick fires.
    void Click() override;

private:
    bool Checked_ = false;
};

class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* owner);
    TControlKind Kind() const override { return TControlKind::RadioButton; }
    bool Checked() const { return Checked_; }
    // Checking one unchecks its siblings that are radio buttons.
    void SetChecked(bool checked);
    // The user chose it: it becomes checked, then OnClick fires.
    void Click() override;

private:
    bool Checked_ = false;
};

// Text painted by the parent form.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner) : TGraphicControl(owner) {}
    bool WordWrap = false;
    bool Transparent = false;
    // "&" marks an accelerator when true; shown as it is when false.
    bool ShowAccelChar = true;
    void PaintOn(TCanvas& canvas) override;
};

// A picture painted by the parent form, stretched to the bounds.
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner) : TGraphicControl(owner) {}
    TBitmap Picture;
    void PaintOn(TCanvas& canvas) override;
};

// A window that carries a text for screen readers and window lists. Its form paints the text
// (with its own renderer), so the window shows the form's picture of its place and lets the
// mouse through to the form.
class TStaticText : public TWinControl {
public:
    explicit TStaticText(TComponent* owner) : TWinControl(owner) {}
    TControlKind Kind() const override { return TControlKind::StaticText; }
};

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);
    TControlKind Kind() const override { return TControlKind::Edit; }
    // The text as the user left it (read whole, whatever its length).
    std::string Text() const;
    void SetText(const std::string& text) { SetCaption(text); }
};

class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* owner);
    TControlKind Kind() const override { return TControlKind::Memo; }
    // Lines as the user left them; each line of Text() ends with CR LF.
    std::string Text() const;
    void SetText(const std::string& text) { SetCaption(text); }
    bool WantReturns = true;
};

enum class TComboBoxStyle : uint8_t { csDropDown, csDropDownList };

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* owner);
    TControlKind Kind() const override { return TControlKind::ComboBox; }
    TComboBoxStyle Style() const { return Style_; }
    void SetStyle(TComboBoxStyle style);
    TStringList Items;
    // Call after changing Items so the peer shows them.
    void ItemsChanged();
    // As the user left it (through the peer); StoredItemIndex is what the object last set,
    // which a peer shows when it is made or told State.
    int ItemIndex() const;
    void SetItemIndex(int index);
    int StoredItemIndex() const { return ItemIndex_; }
    std::string Text() const;
    void SetText(const std::string& text) { SetCaption(text); }

private:
    TComboBoxStyle Style_ = TComboBoxStyle::csDropDown;
    int ItemIndex_ = -1;
};

class TDateTimePicker : public TWinControl {
public:
    explicit TDateTimePicker(TComponent* owner);
    TControlKind Kind() const override { return TControlKind::DatePicker; }
    // As the user left it; StoredDate is what the object last set (for the peer).
    TDate Date() const;
    void SetDate(const TDate& date);
    const TDate& StoredDate() const { return Date_; }

private:
    TDate Date_;
};

enum class TProgressBarState : uint8_t { pbsNormal, pbsError, pbsPaused };

class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TComponent* owner);
    TControlKind Kind() const override { return TControlKind::ProgressBar; }
    int Min() const { return Min_; }
    int Max() const { return Max_; }
    int Position() const { return Position_; }
    // Min <= Position <= Max always holds.
    void SetRange(int min, int max);
    void SetPosition(int position);
    bool Marquee() const { return Marquee_; }
    void SetMarquee(bool marquee);
    TProgressBarState State() const { return State_; }
    void SetState(TProgressBarState state);

private:
    int Min_ = 0;
    int Max_ = 100;
    int Position_ = 0;
    bool Marquee_ = false;
    TProgressBarState State_ = TProgressBarState::pbsNormal;
};

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;
    unsigned Interval() const { return Interval_; }
    void SetInterval(unsigned milliseconds);
    bool Enabled() const { return Enabled_; }
    void SetEnabled(bool enabled);
    TNotifyEvent OnTimer;
    // The backend calls this on every tick.
    void Tick();

private:
    void Restart();
    unsigned Interval_ = 1000;
    bool Enabled_ = true;
    bool Running_ = false;
};

} // namespace qb
