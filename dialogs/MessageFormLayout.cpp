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

bool TMessageForm::HasEscapedNewline(const std::string& text) {
    size_t a = text.find("\\n");
    size_t b = text.find(":\\n");
    if (a == std::string::npos)
        return false;
    // 1-based positions, 0 when absent: a - 1 must differ from b.
    long posA = static_cast<long>(a) + 1;
    long posB = b == std::string::npos ? 0 : static_cast<long>(b) + 1;
    return posA - 1 != posB;
}

TRect TMessageForm::ContentRect() {
    if (!Dialog || Dialog->Content().empty())
        return NoRect;
    TRect r;
    r.Left = MainImage ? MainImage->Left() + MainImage->Width() + HorzSpacing : HorzMargin;
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
    r.Left = MainImage ? MainImage->Left() + MainImage->Width() + HorzSpacing : HorzMargin;
    r.Top = ExpandedTop;
    r.Right = ClientWidth() - HorzMargin;
    r.Bottom = r.Top + ExpandedTextSize.Height;
    return r;
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
    TControl* input = InputField();

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
        if (options.Contains(Opt::doHyperlinks)) {
            ContentTextSize = MeasureMarkup(NewlinesAsMarkup(dialog.Content()), r, true);
        } else {
            std::string text = dialog.Content();
            if (HasEscapedNewline(text))
                text = EscapedNewlinesAsCr(text);
            ContentTextSize.Width = r.Width();
            MeasureText(&canvas, text, ContentTextSize.Width, ContentTextSize.Height);
        }
        int room = ContentRect().Width();
        if (room < ContentTextSize.Width)
            SetClientWidth(ClientWidth() + ContentTextSize.Width - room);
        int h = ContentTextSize.Height;
        if (!hasInstruction && MainImage)
            h = std::max(h, MainImage->Height());
        y += h + vS;
        if (input)
            input->SetTop(y - Scale(10));
    } else {
        if (dialog.RadioButtons.Empty() && !options.Contains(Opt::doCommandLinks))
            y += vS;
        if (!hasInstruction && MainImage)
            y += vS + vM;
    }

    switch (dialog.InputType) {
    case Input::itEdit:
    case Input::itComboEdit:
    case Input::itComboList:
    case Input::itDate:
        y += Scale(30);
        break;
    case Input::itMemo:
        y += Scale(70);
        break;
    case Input::itCustom:
        y += input ? input->Height() + Scale(10) : Scale(30);
        break;
    default:
        break;
    }

    if (ProgressBarControl) {
        if (MainImage)
            y = std::max(y, MainImage->Top() + MainImage->Height() + Scale(3));
        ProgressBarControl->SetTop(y);
        y += ProgressBarControl->Height() + vS;
    }

    if (!RadioButtonList.empty()) {
        for (TWinControl* radio : RadioButtonList) {
            radio->SetBounds(radio->Left(), y, ClientWidth() - radio->Left() - hM, radio->Height());
            y += radio->Height() + Scale(4);
        }
        y += vS - Scale(4);
    }

    ExpandedTextSize = {0, 0};
    int e = 0;
    if (!dialog.ExpandedText.empty() && Expanded) {
        TRect r = ExpandedRect();
        r.Top = y;
        r.Bottom = y + Scale(26);
        if (options.Contains(Opt::doHyperlinks)) {
            ExpandedTextSize = MeasureMarkup(NewlinesAsMarkup(dialog.ExpandedText), r, true);
        } else {
            ExpandedTextSize.Width = r.Width();
            MeasureText(&canvas, EscapedNewlinesAsCr(dialog.ExpandedText), ExpandedTextSize.Width,
                        ExpandedTextSize.Height);
        }
        ExpandedTop = y;
        e = y;
        y += ExpandedTextSize.Height + vS;
    }

    const bool commandLinks = options.Contains(Opt::doCommandLinks);
    int customW = 0;
    if (commandLinks) {
        for (TWinControl* link : CustomButtonList) {
            if (MainImage)
                link->SetLeft(TextLeft);
            link->SetBounds(link->Left(), y, ClientWidth() - link->Left() - hM, link->Height());
            y += link->Height() + Scale(2);
        }
        ButtonBandTop = y;
        y += vS;
    } else if (!CustomButtonList.empty()) {
        for (TWinControl* button : CustomButtonList)
            customW += button->Width();
        customW += static_cast<int>(CustomButtonList.size() - 1) * sp;
    }
    int commonW = 0;
    if (!CommonButtonList.empty()) {
        for (TWinControl* button : CommonButtonList)
            commonW += button->Width();
        commonW += static_cast<int>(CommonButtonList.size() - 1) * sp;
    }
    int cbRoom = 0;
    if (!dialog.VerificationText.empty()) {
        int width = Scale(1000);
        int height = 0;
        MeasureText(&canvas, dialog.VerificationText, width, height);
        cbRoom = 2 * vS + width;
    }

    // The gap between the custom and the standard group counts too, so the row ends
    // HorzSpacing + 4 before the edge whichever buttons it holds.
    int gap = customW > 0 && commonW > 0 ? sp : 0;
    int x = ClientWidth() - (customW + gap + commonW) - HorzSpacing - Scale(4);
    int rowTop = y;
    int maxH = 0;
    if (!dialog.ExpandedText.empty() && ExpandButtonControl) {
        ExpandButtonControl->SetBounds(VertMargin, y, ExpandButtonControl->Width(),
                                       ExpandButtonControl->Height());
        maxH = std::max(maxH, ExpandButtonControl->Height());
    }
    const bool withCheckBox = !dialog.VerificationText.empty() && VerificationCheckBox;
    if (withCheckBox)
        VerificationCheckBox->SetBounds(VertMargin + Scale(3), y + maxH + Scale(4), cbRoom - vS,
                                        VerificationCheckBox->Height());
    if (!commandLinks) {
        for (TWinControl* button : CustomButtonList) {
            button->SetBounds(x, y, button->Width(), button->Height());
            x += button->Width() + sp;
            maxH = std::max(maxH, button->Height());
        }
        if (!CustomButtonList.empty())
            ButtonBandTop = CustomButtonList.front()->Top();
    }
    for (TWinControl* button : CommonButtonList) {
        button->SetBounds(x, y, button->Width(), button->Height());
        x += button->Width() + sp;
        maxH = std::max(maxH, button->Height());
    }
    if (!CommonButtonList.empty())
        ButtonBandTop = CommonButtonList.front()->Top();

    if (withCheckBox) {
        rowTop += !CommonButtonList.empty() ? maxH : VerificationCheckBox->Height();
        if (!dialog.ExpandedText.empty())
            rowTop += vS;
        y += std::max(maxH + VertSpacing, VerificationCheckBox->Height() + vS);
    } else {
        rowTop += maxH;
        if (maxH > 0)
            y += maxH + VertSpacing;
    }

    if (!dialog.FooterText.empty()) {
        int left = FooterImageControl ? hM + Scale(20) : hM;
        TRect r{left, y, Width() - hM, y + Scale(100)};
        FooterTextSize = MeasureMarkup(NewlinesAsMarkup(dialog.FooterText), r, false);
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
    if (e > 0 && options.Contains(Opt::doExpandFooter))
        ButtonBandTop = e;
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
