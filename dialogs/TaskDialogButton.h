// The command-link button of the emulated dialog: a painted button with a bold heading line,
// optional note lines and a picture per state; also the dialog's expand/collapse control.
#pragma once
#include "runtime/Controls.h"
#include "runtime/Graphics.h"
#include "runtime/StringList.h"
#include <cstdint>
#include <optional>
#include <string>

namespace qb {

class TTaskDialogButton : public TCustomControl {
public:
    explicit TTaskDialogButton(TComponent* owner);
    ~TTaskDialogButton() override;

    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnMouseEnter;
    // Assigning Picture or PictureDisabled repaints; the hot and pressed pictures show on the
    // next state change anyway.
    TBitmap Picture;
    TBitmap PictureDisabled;
    TBitmap PictureDown;
    TBitmap PictureHot;
    bool IsHot() const { return IsHot_; }
    bool IsDown() const { return IsDown_; }
    TColor BorderColorDown = clNone;
    TColor BorderColorHot = clNone;
    // Kept for callers; the painting does not use it.
    TColor BorderColor = clNone;
    int ModalResult = 0;
    TFont HeadingFont;
    bool FocusOnHover = false;
    TColor BackColor = clNone;
    // False: the caption only names the button for screen readers and its owner paints the
    // visible text (the expand control).
    bool ShowCaption = true;

    // A command link is named by its heading and notes, one line each.
    std::string WindowText() const override;
    void Click() override;
    void KeyPress(char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    // With FocusOnHover the focus follows the pointer once it really moves over the button.
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void DoEnter() override;
    void DoExit() override;

    // Pixels per inch the button draws for: its form's, 96 without one.
    int PixelsPerInch() const;

protected:
    void Paint() override;

private:
    int Scale(int pixels) const;
    bool ShowsCaption() const { return ShowCaption && !Caption().empty(); }
    // The picture of the current state, or nullptr.
    const TBitmap* StatePicture() const;
    TColor StateBorder();
    // Held down by the mouse, or by the keyboard as the system's button shows it.
    bool Pressed() const;
    bool DrawnAsDefault() const;
    void PaintCaption(TCanvas& canvas, TRect& r);

    bool IsHot_ = false;
    bool IsDown_ = false;
    // Where the pointer was first seen over the button since it entered.
    std::optional<TPoint> HoverStart_;
};

// Removes leading and trailing spaces (code 32 only).
std::string TrimSpaces(const std::string& text);
// A backslash-n in the text that does not follow a colon (so "c:\new" is no line break).
bool HasLineBreakMarker(const std::string& text);
// Heading and note lines of a caption, trimmed; a single-line caption is one line as it is.
void SplitCaptionLines(const std::string& text, TStringList& lines);
// Size of a caption: the heading in headingFont, notes in noteFont; with commandLink the
// heading gets 8 x 10 pixels of room and each note 8 x 2 (scaled from 96 DPI). Restores the
// canvas font.
void MeasureCommandLinkText(TCanvas* canvas, const std::string& text, const TFont& headingFont,
                            const TFont& noteFont, uint32_t format, int& width, int& height,
                            bool commandLink, int pixelsPerInch = 96);

} // namespace qb
