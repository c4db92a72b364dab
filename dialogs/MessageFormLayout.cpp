#include "dialogs/DialogMetrics.h"
#include "dialogs/MessageForm.h"
#include "dialogs/MessageFormText.h"
#include "dialogs/TaskDialog.h"
#include "dialogs/TaskDialogButton.h"
#include "markup/MarkupRenderer.h"
#include <algorithm>

namespace qb {

namespace {

using Opt = TTaskDialogOption;
using Input = TTaskDialogInputType;

constexpr TRect NoRect{-1, -1, -1, -1};
constexpr TColor Transparent = 0xFF00FF;

} // namespace

TRect TMessageForm::ContentRect() {
    if (!Dialog || Dialog->Content().empty())
        return NoRect;
    TRect r;
    r.Left = TextColumnLeft();
    r.Top = InstructionLabel && !InstructionLabel->Caption().empty()
                ? InstructionLabel->Top() + InstructionLabel->Height() + VertSpacing
                : VertMargin;
    r.Right = ClientWidth() - HorzMargin;
    r.Bottom = r.Top + ContentTextSize.Height;
    return r;
}

TRect TMessageForm::ExpandedRect() {
    if (!Expanded || !Dialog)
        return NoRect;
    TRect r;
    r.Left = TextColumnLeft();
    r.Top = ExpandedTop;
    r.Right = ClientWidth() - HorzMargin;
    r.Bottom = r.Top + ExpandedTextSize.Height;
    return r;
}

TSize TMessageForm::MeasureBody(const std::string& text, TEscapes escapes, const TRect& box) {
    if (Dialog && Dialog->Options.Contains(Opt::doHyperlinks))
        return MeasureMarkup(MarkupLines(text, escapes), box, true);
    TSize size{box.Width(), 0};
    MeasureText(&Canvas(), PlainLines(text, escapes), size.Width, size.Height);
    return size;
}

// The field sits just below the text above it and keeps its own room.
int TMessageForm::ArrangeInputField(int y) {
    TCustomTaskDialog& dialog = *Dialog;
    TControl* field = InputField();
    if (!field)
        return dialog.InputType == Input::itCustom ? y + Scale(30) : y;
    const int left = TextColumnLeft();
    const int top = std::max(y - Scale(10), VertMargin);
    int width = ClientWidth() - HorzMargin - left;
    if (field == InputDatePicker)
        width = InputDatePicker->Width();
    else if (dialog.InputType == Input::itCustom)
        width = std::min(field->Width(), width);
    field->SetBounds(left, top, width, field->Height());
    return top + field->Height() + Scale(20);
}

// The expanded text while it is open.
int TMessageForm::ArrangeExpandedText(int y) {
    ExpandedTextSize = {0, 0};
    if (Dialog->ExpandedText.empty() || !Expanded)
        return y;
    ExpandedTop = y;
    TRect r = ExpandedRect();
    r.Bottom = y + Scale(26);
    ExpandedTextSize = MeasureBody(Dialog->ExpandedText, TEscapes::Every, r);
    return y + ExpandedTextSize.Height + VertSpacing;
}

void TMessageForm::ArrangeControls() {
    if (!Dialog)
        return;
    TCustomTaskDialog& dialog = *Dialog;
    const TTaskDialogOptions& options = dialog.Options;
    TCanvas& canvas = Canvas();
    TSize avg = AverageCharSize(canvas);
    const int hM = MulDiv(8, avg.Width, 4);
    const int vM = MulDiv(8, avg.Height, 8);
    const int vS = MulDiv(10, avg.Height, 8);
    const int sp = MulDiv(4, avg.Width, 4);
    const bool hasInstruction = InstructionLabel && !InstructionLabel->Caption().empty();

    if (InstructionLabel)
        InstructionLabel->Transparent = true;
    int y = vM;
    if (hasInstruction)
        y = vM + InstructionLabel->Height() + vS;
    // A main instruction given later (RefreshTexts) shows again.
    if (InstructionLabel)
        InstructionLabel->SetVisible(hasInstruction);

    if (!dialog.Content().empty()) {
        TRect r = ContentRect();
        r.Top = y;
        r.Bottom = y + Scale(26);
        ContentTextSize = MeasureBody(dialog.Content(), TEscapes::Native, r);
        int h = ContentTextSize.Height;
        if (!hasInstruction && MainImage)
            h = std::max(h, MainImage->Height());
        y += h + vS;
    } else {
        if (dialog.RadioButtons.Empty() && !options.Contains(Opt::doCommandLinks))
            y += vS;
        if (!hasInstruction && MainImage)
            y += vS + vM;
    }
    y = ArrangeInputField(y);

    if (ProgressBarControl) {
        if (MainImage)
            y = std::max(y, MainImage->Top() + MainImage->Height() + Scale(3));
        const int left = TextColumnLeft();
        ProgressBarControl->SetBounds(left, y, ClientWidth() - left - hM,
                                      ProgressBarControl->Height());
        y += ProgressBarControl->Height() + vS;
    }

    if (!RadioButtonList.empty()) {
        const int left = TextColumnLeft() + hM;
        for (TWinControl* radio : RadioButtonList) {
            radio->SetBounds(left, y, ClientWidth() - left - hM, radio->Height());
            y += radio->Height() + Scale(4);
        }
        y += vS - Scale(4);
    }

    // With doExpandFooter the expanded text belongs to the band, below the command links.
    const bool expandInBand = options.Contains(Opt::doExpandFooter);
    if (!expandInBand)
        y = ArrangeExpandedText(y);

    const bool commandLinks = options.Contains(Opt::doCommandLinks);
    int customW = 0;
    if (commandLinks) {
        const int left = TextColumnLeft();
        for (TWinControl* link : CustomButtonList) {
            link->SetBounds(left, y, ClientWidth() - left - hM, link->Height());
            y += link->Height() + Scale(2);
        }
        ButtonBandTop = y;
        y += vS;
    } else if (!CustomButtonList.empty()) {
        for (TWinControl* button : CustomButtonList)
            customW += button->Width();
        customW += static_cast<int>(CustomButtonList.size() - 1) * sp;
    }
    if (expandInBand)
        y = ArrangeExpandedText(y);
    int commonW = 0;
    if (!CommonButtonList.empty()) {
        for (TWinControl* button : CommonButtonList)
            commonW += button->Width();
        commonW += static_cast<int>(CommonButtonList.size() - 1) * sp;
    }
    const int cbRoom = VerificationRoom();

    // The gap between the custom and the standard group counts too, so the row ends
    // HorzSpacing + 4 before the edge whichever buttons it holds.
    int gap = customW > 0 && commonW > 0 ? sp : 0;
    int x = ClientWidth() - (customW + gap + commonW) - HorzSpacing - Scale(4);
    int rowTop = y;
    int maxH = 0;
    // The expand control with its caption and the check box below it make the row's left part.
    int leftRight = 0;
    int leftBottom = y;
    if (!dialog.ExpandedText.empty() && ExpandButtonControl) {
        ExpandButtonControl->SetBounds(VertMargin, y, ExpandButtonControl->Width(),
                                       ExpandButtonControl->Height());
        maxH = std::max(maxH, ExpandButtonControl->Height());
        leftRight = ExpandCaptionRect().Right;
        leftBottom = y + maxH;
    }
    const bool withCheckBox = !dialog.VerificationText.empty() && VerificationCheckBox;
    if (withCheckBox) {
        VerificationCheckBox->SetBounds(VertMargin + Scale(3), y + maxH + Scale(4), cbRoom - vS,
                                        VerificationCheckBox->Height());
        leftRight =
            std::max(leftRight, VerificationCheckBox->Left() + VerificationCheckBox->Width());
        leftBottom = VerificationCheckBox->Top() + VerificationCheckBox->Height();
    }
    // Buttons that cannot stand beside that part (the screen stopped the window) go below it.
    const int buttonsTop = leftRight > 0 && x < leftRight + sp ? leftBottom + Scale(4) : y;
    int rowBottom = leftBottom;
    auto place = [&](TWinControl* button) {
        button->SetBounds(x, buttonsTop, button->Width(), button->Height());
        x += button->Width() + sp;
        maxH = std::max(maxH, button->Height());
        rowBottom = std::max(rowBottom, buttonsTop + button->Height());
    };
    if (!commandLinks) {
        for (TWinControl* button : CustomButtonList)
            place(button);
        if (!CustomButtonList.empty())
            ButtonBandTop = y;
    }
    for (TWinControl* button : CommonButtonList)
        place(button);
    if (!CommonButtonList.empty())
        ButtonBandTop = y;

    if (withCheckBox) {
        rowTop += !CommonButtonList.empty() ? maxH : VerificationCheckBox->Height();
        if (!dialog.ExpandedText.empty())
            rowTop += vS;
        // The row holds the whole check box, with the same room below it in every layout.
        rowTop = std::max(rowTop, leftBottom) + Scale(10);
        y += std::max(maxH + VertSpacing, VerificationCheckBox->Height() + vS);
    } else {
        rowTop += maxH;
        if (maxH > 0)
            y += maxH + VertSpacing;
    }
    if (rowBottom > rowTop) {
        y += rowBottom - rowTop;
        rowTop = rowBottom;
    }

    if (!dialog.FooterText.empty()) {
        TRect r{FooterTextLeft(), y, ClientWidth() - hM, y + Scale(100)};
        FooterTextSize = MeasureMarkup(MarkupLines(dialog.FooterText, TEscapes::Native), r, true);
        int f = FooterTextSize.Height;
        if (FooterImageControl) {
            FooterImageControl->SetTop(y);
            f = std::max(f, Scale(20));
        }
        rowTop += f + vS;
    }
    SetClientHeight(rowTop + vM);

    if (CommonButtonList.empty() && (commandLinks || CustomButtonList.empty()))
        ButtonBandTop = Height();
    if (expandInBand && Expanded && !dialog.ExpandedText.empty())
        ButtonBandTop = ExpandedTop;
    PlaceTextWindows();
}

void TMessageForm::LoadExpandPictures(bool expanded) {
    if (!ExpandButtonControl)
        return;
    // Screen readers name the control by the text painted beside it (without its mark, so
    // the accelerator stays the form's to handle).
    ExpandButtonControl->SetCaption(StripHotkey(ExpandControlCaption(expanded)));
    const char* prefix = expanded ? "TD_COLP" : "TD_EXP";
    ExpandButtonControl->Picture.LoadFromResourceName(prefix, Transparent);
    ExpandButtonControl->PictureHot.LoadFromResourceName(std::string(prefix) + "HOT", Transparent);
    ExpandButtonControl->PictureDown.LoadFromResourceName(std::string(prefix) + "DOWN",
                                                          Transparent);
}

void TMessageForm::SetExpanded(bool value) {
    if (Expanded != value) {
        LoadExpandPictures(value);
        Expanded = value;
    }
    // The client width and the window's top stay: it grows or shrinks at the bottom.
    ArrangeControls();
    Invalidate();
}

void TMessageForm::ToggleExpanded() {
    if (ExpandButtonControl)
        SetExpanded(!Expanded);
}

TMarkupParams TMessageForm::MarkupParams(bool measureOnly, bool draw) {
    TMarkupParams params;
    params.ImageList = nullptr;
    params.FocusedLink = -1;
    params.HoveredLink = -1;
    params.ShadowDistance = 1;
    params.Printing = false;
    params.SelectedColors = !draw;
    params.BlinkOn = !draw;
    params.HoverOnlyLinks = false;
    params.Wrap = true;
    params.PrintScale = 1.0;
    params.LinkColor = 0xFF0000;
    params.HoverBackColor = clNone;
    params.HoverTextColor = clNone;
    params.ShadowTint = 0x808080;
    params.ExtraLineSpacing = 0;
    params.HitTestOnly = !draw;
    params.MeasureOnly = measureOnly && !draw;
    return params;
}

TSize TMessageForm::MeasureMarkup(const std::string& text, const TRect& bounds, bool measureOnly) {
    TMarkupResult result;
    RenderMarkup(Canvas(), text, bounds, MarkupParams(measureOnly, false), result);
    return {result.UsedWidth, result.UsedHeight};
}

} // namespace qb
