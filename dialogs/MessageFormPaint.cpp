#include "dialogs/DialogMetrics.h"
#include "dialogs/MessageForm.h"
#include "dialogs/MessageFormText.h"
#include "dialogs/TaskDialog.h"
#include "dialogs/TaskDialogButton.h"
#include "dialogs/TaskDialogNative.h"
#include "markup/MarkupRenderer.h"
#include "runtime/Platform.h"
#include "runtime/WinConst.h"
#include "runtime/Windowing.h"

namespace qb {

namespace {

using Opt = TTaskDialogOption;

constexpr TColor Transparent = 0xFF00FF;

bool Contains(const TRect& r, int x, int y) {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

} // namespace

void TMessageForm::Paint() {
    TForm::Paint();
    if (!Dialog)
        return;
    TCanvas& canvas = Canvas();
    TCanvasStateSaver saver(canvas);
    canvas.SetFont(Font());
    canvas.SetPenWidth(Scale(1));
    const int b = ButtonBandTop;
    uint32_t major = Platform().System ? Platform().System->GetVersion().Major : 10;
    if (b > 0) {
        TRect r = ClientRect();
        r.Top = b - VertSpacing / 2;
        canvas.SetBrushColor(Colors.Band);
        canvas.FillRect(r);
        canvas.SetPenColor(Colors.BandLine);
        canvas.MoveTo(r.Left, r.Top);
        canvas.LineTo(r.Right, r.Top);
        // Older systems get a grey frame inside the client edge; newer ones draw with a clear pen.
        if (!HasLocaleInfoEx() && major < 6) {
            TRect frame = ClientRect();
            canvas.SetBrushStyle(TBrushStyle::Clear);
            canvas.SetPenColor(Colors.Frame);
            canvas.Rectangle({frame.Left + 1, frame.Top + 1, frame.Right - 1, frame.Bottom - 1});
        }
    }
    PaintContent();
    PaintExpanded();
    if (!Dialog->ExpandedText.empty() && ExpandButtonControl) {
        canvas.SetBrushStyle(TBrushStyle::Clear);
        canvas.SetFont(Font());
        const TTaskDialogButton& button = *ExpandButtonControl;
        TRect r{ExpandCaptionLeft(), button.Top(), ClientWidth(), button.Top() + button.Height()};
        const uint32_t prefix = ShowsAcceleratorCues() ? 0 : win::DT_HIDEPREFIX;
        canvas.DrawText(ExpandControlCaption(Expanded), r,
                        win::DT_SINGLELINE | win::DT_VCENTER | ReadingOrder() | prefix);
    }
    PaintFooter();
}

void TMessageForm::DrawMarkup(const std::string& text, const TRect& bounds) {
    TMarkupParams params = MarkupParams(false, true);
    params.LinkColor = Colors.Link;
    // With high contrast every word takes the scheme's text colour: the text's own colours
    // and backgrounds are left out, links keep their underline.
    params.SelectedColors = Colors.HighContrast;
    TMarkupResult result;
    RenderMarkup(Canvas(), text, bounds, params, result);
}

void TMessageForm::PaintBody(const std::string& text, const TRect& r, TEscapes escapes) {
    TCanvas& canvas = Canvas();
    if (Dialog->Options.Contains(Opt::doHyperlinks)) {
        DrawMarkup(MarkupLines(text, escapes), r);
        return;
    }
    std::string shown = PlainLines(text, escapes);
    TCanvasStateSaver saver(canvas);
    canvas.SetFont(Font());
    canvas.SetBrushStyle(TBrushStyle::Clear);
    TRect box = r;
    canvas.DrawText(shown, box,
                    win::DT_NOPREFIX | win::DT_EXPANDTABS | win::DT_WORDBREAK | win::DT_VCENTER |
                        ReadingOrder());
}

void TMessageForm::PaintContent() {
    if (!Dialog || Dialog->Content().empty())
        return;
    PaintBody(Dialog->Content(), ContentRect(), TEscapes::Native);
}

void TMessageForm::PaintExpanded() {
    if (!Dialog || !Expanded || Dialog->ExpandedText.empty())
        return;
    PaintBody(Dialog->ExpandedText, ExpandedRect(), TEscapes::Every);
}

TRect TMessageForm::FooterRect() {
    if (!Dialog || Dialog->FooterText.empty())
        return {-1, -1, -1, -1};
    // Drawn from the bottom of the client area upward, whatever top the layout gave it.
    return {HorzMargin, ClientHeight() - FooterTextSize.Height - Scale(10),
            ClientWidth() - HorzMargin, ClientHeight()};
}

TRect TMessageForm::ExpandCaptionRect() {
    if (!Dialog || !ExpandButtonControl)
        return {-1, -1, -1, -1};
    const TTaskDialogButton& button = *ExpandButtonControl;
    const int left = ExpandCaptionLeft();
    return {left, button.Top(), left + CaptionWidth(ExpandControlCaption(Expanded), Font()),
            button.Top() + button.Height()};
}

int TMessageForm::ExpandCaptionLeft() const {
    const TTaskDialogButton& button = *ExpandButtonControl;
    return button.Left() + button.Width() + HorzSpacing - Scale(5);
}

int TMessageForm::FooterTextLeft() const {
    return HorzMargin + (FooterImageControl ? Scale(20) : 0);
}

void TMessageForm::PaintFooter() {
    if (!Dialog || Dialog->FooterText.empty())
        return;
    TCanvas& canvas = Canvas();
    TCanvasStateSaver saver(canvas);
    TRect r = FooterRect();
    const int ly = r.Top - VertSpacing;
    const int line = Scale(1);
    canvas.SetPenWidth(line);
    canvas.SetPenColor(Colors.Separator);
    canvas.MoveTo(Scale(2), ly);
    canvas.LineTo(ClientWidth() - Scale(3), ly);
    canvas.SetPenColor(Colors.SeparatorLight);
    canvas.MoveTo(Scale(2), ly + line);
    canvas.LineTo(ClientWidth() - Scale(3), ly + line);
    if (FooterImageControl) {
        IWindowing* windowing = Platform().Windowing;
        const int size = Scale(16);
        TRect box{r.Left, r.Top, r.Left + size, r.Top + size};
        if (Dialog->FooterIcon == TTaskDialogFooterIcon::tfShield) {
            if (!Shield_ && windowing)
                Shield_ = windowing->LoadBitmapResource("TD_SHIELD", Transparent);
            if (Shield_)
                canvas.StretchDraw(box, *Shield_);
        } else {
            if (!FooterIcon_ && windowing)
                FooterIcon_ = windowing->LoadSystemIcon(FooterIconId, size);
            if (FooterIcon_)
                canvas.StretchDraw(box, *FooterIcon_);
        }
    }
    r.Left = FooterTextLeft();
    DrawMarkup(MarkupLines(Dialog->FooterText, TEscapes::Native), r);
}

std::string TMessageForm::LinkAt(int x, int y) {
    if (!Dialog)
        return {};
    // Only a text drawn as markup has links: the others may hold anything a caller was given.
    const bool hyperlinks = Dialog->Options.Contains(Opt::doHyperlinks);
    std::string text;
    TEscapes escapes = TEscapes::Native;
    TRect r = FooterRect();
    if (!Dialog->FooterText.empty() && Contains(r, x, y)) {
        text = Dialog->FooterText;
        r.Left = FooterTextLeft();
    } else if (r = ContentRect(); hyperlinks && !Dialog->Content().empty() && Contains(r, x, y)) {
        text = Dialog->Content();
    } else if (r = ExpandedRect(); hyperlinks && Expanded && Contains(r, x, y)) {
        text = Dialog->ExpandedText;
        escapes = TEscapes::Every;
    }
    if (text.empty())
        return {};
    TMarkupParams params = MarkupParams(false, false);
    params.MouseX = x;
    params.MouseY = y;
    TMarkupResult result;
    if (RenderMarkup(Canvas(), MarkupLines(text, escapes), r, params, result) || result.OverLink)
        return result.AnchorUnderMouse;
    return {};
}

} // namespace qb
