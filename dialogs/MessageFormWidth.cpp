// How wide the emulated window is: what its texts and controls ask for, a column widened for a
// word too long for it, and what the screen leaves.
#include "dialogs/DialogMetrics.h"
#include "dialogs/MessageForm.h"
#include "dialogs/MessageFormText.h"
#include "dialogs/TaskDialog.h"
#include "dialogs/TaskDialogButton.h"
#include "runtime/Platform.h"
#include "runtime/WinConst.h"
#include "runtime/Windowing.h"
#include <algorithm>

namespace qb {

namespace {

using Opt = TTaskDialogOption;

// A date whose digits are as wide as any of the user's short format.
constexpr TDate WidestDate{2000, 12, 28};

TSize ScreenSize() {
    IWindowing* windowing = Platform().Windowing;
    return windowing ? windowing->ScreenSize() : TSize{1024, 768};
}

} // namespace

// The whole window, frame included, fits the work area of the monitor it opens on.
int TMessageForm::MaxClientWidth() {
    IWindowing* windowing = Platform().Windowing;
    const int room = windowing ? windowing->WorkArea(windowing->ActiveWindowRect()).Width() : 1024;
    return std::max(0, room - (Width() - ClientWidth()));
}

int TMessageForm::TextColumnLeft() const {
    return MainImage ? MainImage->Left() + MainImage->Width() + HorzSpacing : HorzMargin;
}

int TMessageForm::CaptionWidth(const std::string& text, const TFont& font) {
    TCanvas& canvas = Canvas();
    TCanvasStateSaver saver(canvas);
    canvas.SetFont(font);
    TRect r;
    canvas.DrawText(text, r, win::DT_CALCRECT | win::DT_SINGLELINE | ReadingOrder());
    return r.Width();
}

int TMessageForm::LineHeight(const TFont& font) {
    TCanvas& canvas = Canvas();
    TCanvasStateSaver saver(canvas);
    canvas.SetFont(font);
    return canvas.TextHeight("gh");
}

int TMessageForm::VerificationRoom() {
    if (!Dialog || Dialog->VerificationText.empty() || !VerificationCheckBox)
        return 0;
    // The check box's glyph and its gap need their pixels whatever the font.
    const int glyph = std::max(VertSpacing, Scale(16));
    return VertSpacing + glyph +
           CaptionWidth(Dialog->VerificationText, VerificationCheckBox->Font());
}

int TMessageForm::CommandLinkWidth() {
    int widest = 0;
    for (TWinControl* control : CustomButtonList)
        if (auto* link = dynamic_cast<TTaskDialogButton*>(control)) {
            int w = 0;
            int h = 0;
            MeasureCommandLinkText(&Canvas(), link->Caption(), link->HeadingFont, link->Font(),
                                   ReadingOrder(), w, h, true, PixelsPerInch());
            widest = std::max(widest, w + Scale(26));
        }
    return widest;
}

TSize TMessageForm::DatePickerSize() {
    IWindowing* windowing = Platform().Windowing;
    std::string date = windowing ? windowing->FormatShortDate(WidestDate) : "12/28/2000";
    int button = windowing ? windowing->SystemMetric(win::SM_CXVSCROLL) : Scale(17);
    int edge = windowing ? windowing->SystemMetric(win::SM_CXEDGE) : Scale(2);
    return {CaptionWidth(date, Font()) + button + 2 * edge + Scale(8), Scale(20)};
}

// The instruction's box: wrapped at half the screen's width, drawn as the label draws it.
TRect TMessageForm::MeasureInstruction() {
    TCanvas& canvas = Canvas();
    TCanvasStateSaver saver(canvas);
    TFont font = Font();
    font.Size = 11;
    font.Style = fsBold;
    canvas.SetFont(font);
    TRect box{0, 0, ScreenSize().Width / 2, 0};
    canvas.DrawText(PlainLines(Dialog->MainInstruction(), TEscapes::Native), box,
                    win::DT_CALCRECT | win::DT_WORDBREAK | win::DT_NOPREFIX | ReadingOrder());
    return box;
}

int TMessageForm::PreferredClientWidth(const TRect& instruction) {
    TCustomTaskDialog& dialog = *Dialog;
    TCanvas& canvas = Canvas();
    int minW = 0;
    if (!Caption().empty()) {
        int width = Scale(1000);
        int height = 0;
        MeasureText(&canvas, Caption(), width, height);
        minW = width + Scale(50);
    }
    const int textRight = instruction.Right + (MainImage ? HorzSpacing + Scale(32) : 0);

    const int sp = MulDiv(4, AverageCharSize(canvas).Width, 4);
    int rowW = VerificationRoom();
    for (TWinControl* button : CommonButtonList)
        rowW += button->Width() + sp;
    const bool commandLinks = dialog.Options.Contains(Opt::doCommandLinks);
    if (!commandLinks)
        for (TWinControl* button : CustomButtonList)
            rowW += button->Width() + sp;
    if (!dialog.ExpandedText.empty() && ExpandButtonControl) {
        int captions = std::max(CaptionWidth(ExpandControlCaption(false), Font()),
                                CaptionWidth(ExpandControlCaption(true), Font()));
        rowW += ExpandButtonControl->Width() + HorzSpacing + captions + HorzSpacing;
    }

    if (commandLinks)
        minW = std::max(minW, TextColumnLeft() + CommandLinkWidth() + HorzMargin);
    for (TWinControl* radio : RadioButtonList) {
        int left = TextColumnLeft() + HorzMargin;
        int glyph = Scale(20);
        minW = std::max(minW,
                        left + CaptionWidth(radio->Caption(), radio->Font()) + HorzMargin + glyph);
    }
    if (auto* control = dynamic_cast<TControl*>(dialog.InputControl());
        control && dialog.InputType == TTaskDialogInputType::itCustom)
        minW = std::max(minW, TextColumnLeft() + control->Width() + HorzMargin);

    // The first lines of the footer and of the expanded text suggest a width; the column
    // fitting below makes room for what does not fit.
    TSize footer;
    if (!dialog.FooterText.empty())
        footer = MeasureMarkup(MarkupLines(dialog.FooterText, TEscapes::Native),
                               {HorzMargin, 0, Scale(300), Scale(26)}, false);
    TSize expanded;
    if (!dialog.ExpandedText.empty()) {
        TRect r{HorzMargin, 0, Scale(300), Scale(26)};
        if (dialog.Options.Contains(Opt::doHyperlinks)) {
            expanded = MeasureMarkup(MarkupLines(dialog.ExpandedText, TEscapes::Every), r, false);
        } else {
            expanded.Width = r.Width();
            MeasureText(&canvas, PlainLines(dialog.ExpandedText, TEscapes::Every), expanded.Width,
                        expanded.Height);
        }
    }

    int w = std::max({textRight, rowW, footer.Width}) + 2 * HorzMargin;
    w = std::max({w, expanded.Width + 2 * HorzMargin, minW, MinWidth});
    return std::min(w, MaxClientWidth());
}

// A word wider than the column it is drawn in widens the window, as far as the screen allows.
void TMessageForm::FitTextColumn() {
    TCustomTaskDialog& dialog = *Dialog;
    const int right = ClientWidth() - HorzMargin;
    int excess = 0;
    // The footer is always markup; the other texts are markup only with hyperlinks.
    auto fit = [&](const std::string& text, TEscapes escapes, bool footer, int left) {
        if (text.empty())
            return;
        TRect box{left, 0, right, Scale(26)};
        TSize size = footer ? MeasureMarkup(MarkupLines(text, escapes), box, true)
                            : MeasureBody(text, escapes, box);
        excess = std::max(excess, size.Width - box.Width());
    };
    fit(dialog.Content(), TEscapes::Native, false, TextColumnLeft());
    fit(dialog.ExpandedText, TEscapes::Every, false, TextColumnLeft());
    fit(dialog.FooterText, TEscapes::Native, true, FooterTextLeft());
    if (excess > 0)
        SetClientWidth(std::min(ClientWidth() + excess, MaxClientWidth()));
}

// Left to right, the instruction starts the text column; right to left, it ends there.
void TMessageForm::PlaceInstruction(const TRect& instruction) {
    if (!InstructionLabel)
        return;
    int left =
        UseRightToLeftReading() ? ClientWidth() - HorzMargin - instruction.Right : TextColumnLeft();
    InstructionLabel->SetBounds(left, VertMargin, instruction.Right, instruction.Bottom);
}

void TMessageForm::UpdateClientWidth() {
    TRect instruction = MeasureInstruction();
    SetClientWidth(PreferredClientWidth(instruction));
    FitTextColumn();
    PlaceInstruction(instruction);
}

} // namespace qb
