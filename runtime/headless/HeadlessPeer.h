// The headless window of one control: the state a user can change (text, check, item, date)
// and a measuring canvas. Used by THeadlessWindowing and its modal loop only.
#pragma once
#include "runtime/ControlPeer.h"
#include "runtime/Controls.h"
#include "runtime/headless/RecordingCanvas.h"
#include <string>

namespace qb {

class THeadlessWindowing;

class THeadlessPeer : public IControlPeer {
public:
    THeadlessPeer(THeadlessWindowing& windowing, TWinControl& control, THandle handle);
    ~THeadlessPeer() override;

    THandle Handle() const override { return Handle_; }
    void Changed(TPeerChange change) override;
    std::string ReadText() override { return Text; }
    bool ReadChecked() override;
    int ReadItemIndex() override { return ItemIndex; }
    bool ReadDate(TDate& date) override;
    bool ReadPushed() override { return Pushed; }
    TKeyboardCues ReadKeyboardCues() override;
    void Invalidate() override { Dirty = true; }
    void SetFocus() override;
    bool Focused() override;
    TCanvas& MeasureCanvas() override { return Measure; }
    // Its form's resolution (the screen's for a control without a form).
    int PixelsPerInch() const;
    void RunModal() override;
    TRect WindowRect() override;

    TWinControl& Control;
    // What the user sees and may change.
    std::string Text;
    // The selected part of the text (SelectText).
    size_t SelStart = 0;
    size_t SelLength = 0;
    bool Checked = false;
    int ItemIndex = -1;
    TDate Date;
    // Held down by Space (HoldKey).
    bool Pushed = false;
    // Forms: the keyboard cues their windows show.
    TKeyboardCues Cues = kcFocus | kcAccelerators;
    // Painted at the next chance.
    bool Dirty = true;
    TRecordingCanvas Measure;

private:
    void ReadState();
    void SelectByText();
    int Metric(int index) const;

    friend class THeadlessWindowing;
    // Null once the screen has gone before the control.
    THeadlessWindowing* Windowing_;
    THandle Handle_;
};

} // namespace qb
