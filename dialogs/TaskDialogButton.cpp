#include "dialogs/TaskDialogButton.h"
#include "dialogs/DialogMetrics.h"
#include "runtime/Forms.h"
#include "runtime/Platform.h"
#include "runtime/Windowing.h"
#include "runtime/WinConst.h"
#include <algorithm>

namespace qb {

namespace {

constexpr TColor DisabledTextColor = 0xC0C0C0;
constexpr TColor clGrayText = SystemColor(17);

// Disabled text is grey; with high contrast, the scheme's grey.
TColor DisabledColor() {
    IWindowing* windowing = Platform().Windowing;
    return windowing && windowing->HighContrast() ? clGrayText : DisabledTextColor;
}

bool IsMultiLineCaption(const std::string& text) {
    return HasLineBreakMarker(text) || text.find('\r') != std::string::npos;
}

TSize MeasureLine(TCanvas& canvas, const std::string& line, uint32_t format) {
    TRect r;
    canvas.DrawText(line, r, format | win::DT_CALCRECT | win::DT_SINGLELINE);
    return {r.Width(), r.Height()};
}

} // namespace

std::string TrimSpaces(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

bool HasLineBreakMarker(const std::string& text) {
    size_t at = text.find("\\n");
    if (at == std::string::npos)
        return false;
    return at == 0 || text[at - 1] != ':';
}

void SplitCaptionLines(const std::string& text, TStringList& lines) {
    if (!IsMultiLineCaption(text)) {
        lines.Add(text);
        return;
    }
    std::string rest = TrimSpaces(text);
    while (!rest.empty()) {
        size_t at = rest.find("\\n");
        if (at == std::string::npos)
            at = rest.find('\r');
        std::string line = rest.substr(0, at);
        // A lone carriage return is one character: the note's first letter stays.
        size_t marker = 2;
        if (at != std::string::npos && rest[at] == '\r' &&
            (at + 1 >= rest.size() || rest[at + 1] != '\n'))
            marker = 1;
        rest = at == std::string::npos ? std::string()
                                       : rest.substr(std::min(rest.size(), at + marker));
        lines.Add(TrimSpaces(line));
        rest = TrimSpaces(rest);
    }
}

void MeasureCommandLinkText(TCanvas* canvas, const std::string& text, const TFont& headingFont,
                            const TFont& noteFont, uint32_t format, int& width, int& height,
                            bool commandLink, int pixelsPerInch) {
    if (!canvas)
        return;
    TCanvasStateSaver saver(*canvas);
    if (!IsMultiLineCaption(text)) {
        canvas->SetFont(headingFont);
        TSize size = MeasureLine(*canvas, text, format);
        width = size.Width;
        height = size.Height;
        return;
    }
    TStringList lines;
    SplitCaptionLines(text, lines);
    width = 0;
    height = 0;
    if (lines.Count() > 0 && !TrimSpaces(lines[0]).empty()) {
        canvas->SetFont(headingFont);
        TSize size = MeasureLine(*canvas, lines[0], format);
        width = size.Width + (commandLink ? ScaleForDpi(8, pixelsPerInch) : 0);
        height = size.Height + (commandLink ? ScaleForDpi(10, pixelsPerInch) : 0);
    }
    canvas->SetFont(noteFont);
    for (int i = 1; i < lines.Count(); ++i) {
        // An empty note still takes its line, as the painting gives it one.
        TSize size = lines[i].empty() ? TSize{0, canvas->TextHeight("gh")}
                                      : MeasureLine(*canvas, lines[i], format);
        if (commandLink) {
            width = std::max(width, size.Width + ScaleForDpi(8, pixelsPerInch));
            height += size.Height + ScaleForDpi(2, pixelsPerInch);
        } else {
            width = std::max(width, size.Width);
            height += size.Height;
        }
    }
}

TTaskDialogButton::TTaskDialogButton(TComponent* owner) : TCustomControl(owner) {
    Picture.OnChange = [this] { Invalidate(); };
    PictureDisabled.OnChange = [this] { Invalidate(); };
    SetBounds(0, 0, 23, 22);
    SetTabStop(true);
}

TTaskDialogButton::~TTaskDialogButton() {
    Picture.OnChange = nullptr;
    PictureDisabled.OnChange = nullptr;
}

std::string TTaskDialogButton::WindowText() const {
    const std::string& caption = Caption();
    if (!IsMultiLineCaption(caption))
        return caption;
    TStringList lines;
    SplitCaptionLines(caption, lines);
    std::string text;
    for (int i = 0; i < lines.Count(); ++i)
        text += (i > 0 ? "\n" : "") + lines[i];
    return text;
}

int TTaskDialogButton::PixelsPerInch() const {
    TForm* form = ParentForm();
    return form ? form->PixelsPerInch() : 96;
}

int TTaskDialogButton::Scale(int pixels) const {
    return ScaleForDpi(pixels, PixelsPerInch());
}

void TTaskDialogButton::Click() {
    if (TForm* form = ParentForm())
        form->SetModalResult(ModalResult);
    TCustomControl::Click();
}

void TTaskDialogButton::KeyPress(char& key) {
    TCustomControl::KeyPress(key);
    if (key == ' ' || key == '\r')
        Click();
}

void TTaskDialogButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    if (button == TMouseButton::mbLeft || (shift & ssLeft) != 0) {
        IsDown_ = true;
        Invalidate();
    }
}

void TTaskDialogButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseUp(button, shift, x, y);
    IsDown_ = false;
    Invalidate();
}

void TTaskDialogButton::MouseMove(TShiftState shift, int x, int y) {
    TCustomControl::MouseMove(shift, x, y);
    // A window that appears under a resting pointer hears of it once, at one place: only a move
    // to another place is the user's.
    if (!HoverStart_)
        HoverStart_ = TPoint{x, y};
    else if (FocusOnHover && *HoverStart_ != TPoint{x, y} && !Focused() && CanFocus())
        SetFocus();
}

void TTaskDialogButton::MouseEnter() {
    TCustomControl::MouseEnter();
    IsHot_ = true;
    HoverStart_.reset();
    Invalidate();
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TTaskDialogButton::MouseLeave() {
    TCustomControl::MouseLeave();
    IsHot_ = false;
    HoverStart_.reset();
    Invalidate();
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TTaskDialogButton::DoEnter() {
    TCustomControl::DoEnter();
    Invalidate();
}

void TTaskDialogButton::DoExit() {
    TCustomControl::DoExit();
    Invalidate();
}

bool TTaskDialogButton::Pressed() const {
    return IsDown_ || (Peer() && Peer()->ReadPushed());
}

bool TTaskDialogButton::DrawnAsDefault() const {
    TForm* form = ParentForm();
    return form && form->DrawnDefaultButton() == this;
}

const TBitmap* TTaskDialogButton::StatePicture() const {
    const TBitmap* picture = &Picture;
    if (Pressed() && !PictureDown.Empty())
        picture = &PictureDown;
    else if (IsHot_ && !PictureHot.Empty())
        picture = &PictureHot;
    if (!Enabled() && !PictureDisabled.Empty())
        picture = &PictureDisabled;
    return picture->Empty() ? nullptr : picture;
}

TColor TTaskDialogButton::StateBorder() {
    TColor border = clNone;
    if (Pressed())
        border = BorderColorDown;
    else if (IsHot_)
        border = BorderColorHot;
    if (!Enabled())
        border = clNone;
    // The focus, and the default ring that moves with it, show as the pressed border.
    if (Focused() || DrawnAsDefault())
        border = BorderColorDown;
    return border;
}

void TTaskDialogButton::Paint() {
    TCanvas& canvas = Canvas();
    TCanvasStateSaver saver(canvas);
    TRect r = ClientRect();
    if (BackColor != clNone) {
        canvas.SetBrushColor(BackColor);
        canvas.SetPenColor(BackColor);
        canvas.Rectangle(r);
    }
    TColor border = StateBorder();
    if (const TBitmap* picture = StatePicture()) {
        int w = Scale(picture->Width());
        int h = Scale(picture->Height());
        int x = !ShowsCaption() ? (Width() - w) / 2 : Scale(4);
        int y = (Height() - h) / 2;
        if (w == picture->Width() && h == picture->Height())
            canvas.Draw(x, y, *picture->Graphic());
        else
            canvas.StretchDraw({x, y, x + w, y + h}, *picture->Graphic());
        r.Left = x + w + Scale(3);
    } else {
        r.Left += Scale(2);
    }
    if (ShowsCaption())
        PaintCaption(canvas, r);
    if (border != clNone) {
        canvas.SetBrushStyle(TBrushStyle::Clear);
        canvas.SetPenColor(border);
        canvas.SetPenWidth(Scale(1));
        canvas.RoundRect(ClientRect(), Scale(2), Scale(2));
    }
    if (Focused() && ShowsFocusCues()) {
        const int inset = Scale(2);
        const TRect all = ClientRect();
        canvas.DrawFocusRect(
            {all.Left + inset, all.Top + inset, all.Right - inset, all.Bottom - inset});
    }
}

void TTaskDialogButton::PaintCaption(TCanvas& canvas, TRect& r) {
    canvas.SetBrushStyle(TBrushStyle::Clear);
    auto useFont = [&](const TFont& font) {
        TFont shown = font;
        if (!Enabled())
            shown.Color = DisabledColor();
        canvas.SetFont(shown);
    };
    const std::string& caption = Caption();
    // Accelerators are underlined as the user's keyboard cues say.
    const uint32_t prefix = ShowsAcceleratorCues() ? 0 : win::DT_HIDEPREFIX;
    if (!IsMultiLineCaption(caption)) {
        useFont(HeadingFont);
        canvas.DrawText(caption, r, win::DT_SINGLELINE | win::DT_VCENTER | prefix);
        return;
    }
    uint32_t readingOrder = UseRightToLeftReading() ? win::DT_RTLREADING : 0;
    TStringList lines;
    SplitCaptionLines(caption, lines);
    int width = 0;
    int height = 0;
    MeasureCommandLinkText(&canvas, caption, HeadingFont, Font(), readingOrder, width, height, true,
                           PixelsPerInch());
    int top = (Height() - height) / 2 + Scale(2);
    for (int i = 0; i < lines.Count(); ++i) {
        if (i == 0 && lines[0].empty())
            continue;
        useFont(i == 0 ? HeadingFont : Font());
        TRect line{r.Left, top, r.Right, r.Bottom};
        canvas.DrawText(lines[i], line, win::DT_SINGLELINE | readingOrder | prefix);
        top += canvas.TextHeight("gh") + Scale(i == 0 ? 4 : 2);
    }
}

} // namespace qb
