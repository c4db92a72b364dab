#include "dialogs/DialogMetrics.h"
#include "dialogs/MessageForm.h"
#include "dialogs/MessageFormText.h"
#include "dialogs/TaskDialog.h"
#include "dialogs/TaskDialogButton.h"
#include "markup/MarkupRenderer.h"
#include "runtime/Platform.h"
#include "runtime/WinConst.h"
#include "runtime/Windowing.h"
#include <algorithm>

namespace qb {

namespace {

using Opt = TTaskDialogOption;
using Input = TTaskDialogInputType;

constexpr TColor clWindow = SystemColor(5);
constexpr TColor Transparent = 0xFF00FF;

int SingleLineWidth(TCanvas& canvas, const std::string& text, uint32_t readingOrder) {
    TRect r;
    canvas.DrawText(text, r, win::DT_CALCRECT | win::DT_SINGLELINE | readingOrder);
    return r.Width();
}

int MainIconId(const TCustomTaskDialog& dialog) {
    size_t index = static_cast<size_t>(dialog.MainIcon);
    return index < MainIconIds.size() ? MainIconIds[index] : 0;
}

// Default and cancel among the standard buttons, by DefaultButton.
void DefaultAndCancelIndex(const TCustomTaskDialog& dialog, int& d, int& c) {
    auto has = [&](TCommonButton b) { return dialog.CommonButtons.Contains(b); };
    d = 0;
    c = 0;
    switch (dialog.DefaultButton) {
    case 0:
        d = has(TCommonButton::cbOK) ? 0 : has(TCommonButton::cbYes) ? 1 : 4;
        c = has(TCommonButton::cbCancel) ? 3 : has(TCommonButton::cbNo) ? 2 : 0;
        break;
    case win::IDOK:
        d = has(TCommonButton::cbOK) ? 0 : 1;
        break;
    case win::IDCANCEL:
        d = has(TCommonButton::cbCancel) ? 3 : 2;
        break;
    case win::IDYES:
        d = has(TCommonButton::cbYes) ? 1 : 0;
        break;
    case win::IDNO:
        d = has(TCommonButton::cbNo) ? 2 : 0;
        break;
    default:
        break;
    }
}

} // namespace

TSize TMessageForm::AverageCharSize(TCanvas& canvas) {
    static const std::string Letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    return {canvas.TextWidth(Letters) / 52, canvas.TextHeight(Letters)};
}

std::string TMessageForm::DefaultWindowTitle() {
    std::string path = Platform().Windowing ? Platform().Windowing->ModuleFileName() : "";
    size_t slash = path.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

void TMessageForm::MeasureText(TCanvas* canvas, const std::string& text, int& width, int& height) {
    if (text.empty()) {
        width = 0;
        height = 0;
        return;
    }
    if (!canvas)
        return;
    TRect r{0, 0, width != 0 ? width : Scale(1000), Scale(100)};
    canvas->DrawText(text, r,
                     win::DT_CALCRECT | win::DT_WORDBREAK | win::DT_EXPANDTABS | win::DT_NOPREFIX |
                         ReadingOrder());
    width = r.Right;
    height = r.Bottom;
}

void TMessageForm::BuildControls(TCustomTaskDialog& dialog) {
    Dialog = &dialog;
    UseCommonButtonWidths(PixelsPerInch());
    TCanvas& canvas = Canvas();
    const TFont fontA = canvas.Font();
    TSize avg = AverageCharSize(canvas);
    HorzMargin = MulDiv(8, avg.Width, 4);
    VertMargin = MulDiv(8, avg.Height, 8);
    HorzSpacing = MulDiv(10, avg.Width, 4);
    VertSpacing = MulDiv(10, avg.Height, 8);
    const int buttonHeight = MulDiv(14, avg.Height, 8);
    const int buttonSpacing = MulDiv(4, avg.Width, 4);
    const int minButtonWidth = Scale(60);
    const uint32_t readingOrder = ReadingOrder();
    const TTaskDialogOptions& options = dialog.Options;
    IWindowing* windowing = Platform().Windowing;

    int minW = 0;
    SetCaption(dialog.WindowTitle.empty() ? DefaultWindowTitle() : dialog.WindowTitle);
    if (!Caption().empty()) {
        int width = Scale(1000);
        int height = 0;
        MeasureText(&canvas, Caption(), width, height);
        minW = width + Scale(50);
    }
    TextLeft = HorzMargin;
    int y = VertMargin;
    CommonButtonList.clear();

    int d = 0;
    int c = 0;
    DefaultAndCancelIndex(dialog, d, c);
    const bool allowCancel = options.Contains(Opt::doAllowCancel);
    // Escape belongs to a Cancel button when there is one: the cancel index alone would also
    // mark OK (index 0) whenever a default is named, and Escape would then answer OK.
    const bool hasCancelButton = dialog.CommonButtons.Contains(TCommonButton::cbCancel);
    int commonW = 0;
    for (int i = 0; i < 6; ++i) {
        auto element = static_cast<TCommonButton>(i);
        if (!dialog.CommonButtons.Contains(element))
            continue;
        const TStandardButtonInfo& info = StandardButtons[static_cast<size_t>(i)];
        std::string caption = StandardButtonCaption(element);
        int& cached = CommonButtonWidthCache()[static_cast<size_t>(i)];
        if (cached == 0)
            cached = SingleLineWidth(canvas, caption, readingOrder) + Scale(16);
        TWinControl* button = dialog.CreateButton(this);
        CommonButtonList.push_back(button);
        button->SetName(info.Name);
        dialog.SetButtonText(button, caption);
        button->SetParent(this);
        dialog.SetButtonModalResult(button, info.Result);
        button->Tag = i == d ? 1 : 0;
        if (dialog.GetButtonModalResult(button) == win::IDCANCEL && allowCancel)
            dialog.SetButtonCancel(button, true);
        if (dialog.DefaultButton != -1 && i == d) {
            dialog.SetButtonDefault(button, true);
            button->SetTabOrder(0);
        }
        if (i == c && allowCancel && !hasCancelButton)
            dialog.SetButtonCancel(button, true);
        button->SetBounds(button->Left(), button->Top(), std::max(cached, minButtonWidth),
                          buttonHeight);
        commonW += button->Width() + buttonSpacing;
        button->SetTabStop(dialog.DefaultButton != -1);
    }

    CustomButtonList.clear();
    int customW = 0;
    int maxW = 0;
    const bool commandLinks = options.Contains(Opt::doCommandLinks);
    const bool noIcon = options.Contains(Opt::doCommandLinksNoIcon);
    TFont headingFont = canvas.Font();
    headingFont.Size = 11;
    headingFont.Style = fsBold;
    TFont normalFont = canvas.Font();
    for (int i = 0; i < dialog.CustomButtons.Count(); ++i) {
        const std::string& line = dialog.CustomButtons[i];
        std::string name = "Button" + std::to_string(i);
        if (!commandLinks) {
            int w = SingleLineWidth(canvas, line, readingOrder) + Scale(16);
            int id = dialog.DefaultButton;
            if (dialog.CommonButtons.Empty() && dialog.DefaultButton <= 0)
                id = 100;
            TWinControl* button = dialog.CreateButton(this);
            CustomButtonList.push_back(button);
            button->SetName(name);
            button->SetParent(this);
            dialog.SetButtonText(button, line);
            dialog.SetButtonModalResult(button, 100 + i);
            dialog.SetButtonDefault(button, dialog.GetButtonModalResult(button) == id);
            button->SetBounds(button->Left(), button->Top(), std::max(w, minButtonWidth),
                              buttonHeight);
            button->OnClick = [this](TComponent* sender) { CustomButtonClick(sender); };
            customW += button->Width() + buttonSpacing;
            button->SetTabStop(id != -1);
            continue;
        }
        TFont measureFont = canvas.Font();
        measureFont.Size = 10;
        measureFont.Style = 0;
        canvas.SetFont(measureFont);
        int w = 0;
        int h = 0;
        MeasureCommandLinkText(&canvas, line, headingFont, normalFont, readingOrder, w, h, true,
                               PixelsPerInch());
        w += Scale(26);
        maxW = std::max(maxW, w);
        if (!noIcon)
            minW = std::max(minW, 2 * HorzMargin + maxW + HorzSpacing + Scale(32));
        else
            minW = std::max(minW, maxW + HorzMargin);
        auto* link = new TTaskDialogButton(this);
        CustomButtonList.push_back(link);
        link->SetName(name);
        link->SetParent(this);
        link->SetCaption(line);
        TFont linkFont = normalFont;
        linkFont.Color = Colors.Instruction;
        link->SetFont(linkFont);
        link->HeadingFont = headingFont;
        link->HeadingFont.Color = Colors.Instruction;
        link->ModalResult = 100 + i;
        link->BorderColorHot = Colors.CommandLinkBorder;
        link->BorderColorDown = Colors.CommandLinkBorder;
        link->SetWidth(std::max(maxW, minButtonWidth));
        link->FocusOnHover = dialog.DefaultButton != -1;
        int textHeight = link->Canvas().TextHeight("gh");
        link->SetHeight(std::max({textHeight + Scale(20), buttonHeight, h}));
        if (!noIcon) {
            link->Picture.LoadFromResourceName("TD_ARW", Transparent);
            link->PictureHot.LoadFromResourceName("TD_ARWHOT", Transparent);
            link->PictureDown.LoadFromResourceName("TD_ARWDOWN", Transparent);
            link->PictureDisabled.LoadFromResourceName("TD_ARWDIS", Transparent);
        }
        link->SetTabStop(dialog.DefaultButton != -1);
        link->OnClick = [this](TComponent* sender) { CustomButtonClick(sender); };
    }
    canvas.SetFont(fontA);

    if (CommonButtonList.empty() && CustomButtonList.empty()) {
        int& cached = CommonButtonWidthCache()[0];
        cached = SingleLineWidth(canvas, "OK", readingOrder) + Scale(8);
        TWinControl* button = dialog.CreateButton(this);
        CommonButtonList.push_back(button);
        button->SetName("OK");
        button->SetParent(this);
        dialog.SetButtonText(button, "OK");
        dialog.SetButtonModalResult(button, win::IDOK);
        dialog.SetButtonDefault(button, true);
        if (allowCancel)
            dialog.SetButtonCancel(button, true);
        button->SetBounds(button->Left(), button->Top(), std::max(cached, minButtonWidth),
                          buttonHeight);
        button->SetTabStop(true);
        commonW += button->Width() + buttonSpacing;
    }

    // The main instruction's box decides the text column's width.
    TFont instructionFont = fontA;
    instructionFont.Size = 11;
    instructionFont.Style = fsBold;
    canvas.SetFont(instructionFont);
    TSize screen = windowing ? windowing->ScreenSize() : TSize{1024, 768};
    TRect R{0, 0, screen.Width / 2, 0};
    canvas.DrawText(dialog.MainInstruction(), R,
                    win::DT_CALCRECT | win::DT_WORDBREAK | win::DT_EXPANDTABS | readingOrder);
    canvas.SetFont(fontA);
    int textRight = R.Right;
    const int mainIconId = MainIconId(dialog);
    if (mainIconId != 0)
        textRight += HorzSpacing + Scale(32);

    if (mainIconId != 0 || !dialog.CustomIcon.Empty()) {
        MainImage = new TImage(this);
        MainImage->SetName("Image");
        MainImage->SetParent(this);
        MainImage->SetBounds(HorzMargin, y, Scale(32), Scale(32));
        if (windowing) {
            if (!dialog.CustomIcon.Empty())
                MainImage->Picture.SetGraphic(windowing->IconGraphic(dialog.CustomIcon.Handle()));
            else if (dialog.MainIcon == TTaskDialogIcon::tiBlank)
                MainImage->Picture.SetGraphic(windowing->SolidBitmap(32, 32, clWindow));
            else if (dialog.MainIcon == TTaskDialogIcon::tiShield)
                MainImage->Picture.LoadFromResourceName("TD_SHIELD", Transparent);
            else
                MainImage->Picture.SetGraphic(windowing->LoadSystemIcon(mainIconId, Scale(32)));
        }
    }

    InstructionLabel = new TLabel(this);
    InstructionLabel->SetName("Instr");
    InstructionLabel->SetParent(this);
    InstructionLabel->WordWrap = true;
    InstructionLabel->SetCaption(dialog.MainInstruction());
    TFont labelFont = instructionFont;
    labelFont.Color = Colors.Instruction;
    InstructionLabel->SetFont(labelFont);
    InstructionLabel->SetBiDiMode(BiDiMode());
    InstructionLabel->ShowAccelChar = false;
    int left = HorzMargin + (textRight - R.Right);
    if (UseRightToLeftReading())
        left = ClientWidth() - left - R.Right;
    InstructionLabel->SetBounds(left, y, R.Right, R.Bottom);
    y += InstructionLabel->Height() + VertSpacing;
    TextLeft = left;

    if (options.Contains(Opt::doTimer) || dialog.AutoClose ||
        options.Contains(Opt::doProgressMarquee) || options.Contains(Opt::doProgressBar)) {
        UpdateTimer = new TTimer(this);
        UpdateTimer->SetInterval(100);
        UpdateTimer->OnTimer = [this](TComponent* sender) { TimerTick(sender); };
        UpdateTimer->SetEnabled(true);
    }

    if (options.Contains(Opt::doProgressBar)) {
        ProgressBarControl = new TProgressBar(this);
        ProgressBarControl->SetName("ProgressBar");
        ProgressBarControl->SetParent(this);
        ProgressBarControl->SetBounds(HorzMargin, y, ProgressBarControl->Width(), Scale(12));
        ProgressBarControl->SetRange(dialog.ProgressMin, dialog.ProgressMax);
        ProgressBarControl->SetPosition(0);
        ProgressBarControl->SetMarquee(options.Contains(Opt::doProgressMarquee));
    }

    if (!dialog.RadioButtons.Empty()) {
        const bool noDefault = options.Contains(Opt::doNoDefaultRadio);
        dialog.RadioButtonResult = noDefault ? 0 : dialog.DefaultRadioButton;
        int limit = Scale(1000);
        for (int i = 0; i < dialog.RadioButtons.Count(); ++i) {
            const std::string& line = dialog.RadioButtons[i];
            TWinControl* radio = dialog.CreateRadioButton(this);
            RadioButtonList.push_back(radio);
            dialog.InitRadioButton(this, radio, i,
                                   [this](TComponent* sender) { RadioButtonClick(sender); });
            int radioLeft = TextLeft + HorzMargin;
            radio->SetBounds(radioLeft, y, Width() - radioLeft - Scale(4), R.Height());
            int height = 0;
            MeasureText(&canvas, line, limit, height);
            minW = std::max(minW, radioLeft + limit + HorzMargin + Scale(20));
            dialog.SetControlText(radio, line);
            bool checked = false;
            if (!noDefault)
                checked =
                    dialog.DefaultRadioButton > 0 ? 200 + i == dialog.DefaultRadioButton : i == 0;
            dialog.SetRadioChecked(radio, checked);
        }
    }

    if (!dialog.ExpandedText.empty()) {
        ExpandedTextSize = {0, 0};
        TRect r{HorzMargin, y, Scale(300), y + Scale(26)};
        if (options.Contains(Opt::doHyperlinks)) {
            ExpandedTextSize = MeasureMarkup(NewlinesAsMarkup(dialog.ExpandedText), r, false);
        } else {
            ExpandedTextSize.Width = r.Width();
            MeasureText(&canvas, EscapedNewlinesAsCr(dialog.ExpandedText), ExpandedTextSize.Width,
                        ExpandedTextSize.Height);
        }
        ExpandButtonControl = new TTaskDialogButton(this);
        ExpandButtonControl->SetName("ExpandButton");
        ExpandButtonControl->SetParent(this);
        ExpandButtonControl->ShowCaption = false;
        ExpandButtonControl->ModalResult = 0;
        ExpandButtonControl->SetBounds(0, 0, Scale(19), Scale(19));
        ExpandButtonControl->OnClick = [this](TComponent*) { ToggleExpanded(); };
        LoadExpandPictures(true);
        if (!dialog.CommonButtons.Empty())
            ExpandButtonControl->BackColor = Colors.ExpandButtonBack;
    }

    int verificationRoom = 0;
    if (!dialog.VerificationText.empty()) {
        VerificationCheckBox = new TCheckBox(this);
        VerificationCheckBox->SetName("Verification");
        VerificationCheckBox->SetParent(this);
        VerificationCheckBox->WordWrap = false;
        VerificationCheckBox->SetBounds(HorzMargin, y, R.Width(), R.Height());
        VerificationCheckBox->SetBiDiMode(BiDiMode());
        VerificationCheckBox->SetCaption(dialog.VerificationText);
        VerificationCheckBox->SetColor(FooterColor);
        VerificationCheckBox->OnClick = [this](TComponent* sender) { VerificationClick(sender); };
        VerificationCheckBox->SetChecked(options.Contains(Opt::doVerificationChecked));
        int cbW = Scale(1000);
        int cbH = 0;
        MeasureText(&canvas, dialog.VerificationText, cbW, cbH);
        verificationRoom = 2 * VertSpacing + cbW;
        minW = std::max(minW, VerificationCheckBox->Left() + cbW);
    }

    FooterTextSize = {0, 0};
    if (!dialog.FooterText.empty()) {
        TRect r{HorzMargin, y, Scale(300), y + Scale(26)};
        FooterTextSize = MeasureMarkup(NewlinesAsMarkup(dialog.FooterText), r, false);
        size_t index = static_cast<size_t>(dialog.FooterIcon);
        FooterIconId = index < FooterIconIds.size() ? FooterIconIds[index] : 0;
        if (FooterIconId != 0) {
            FooterImageControl = new TImage(this);
            FooterImageControl->SetName("FooterImage");
            FooterImageControl->SetParent(this);
            FooterImageControl->SetVisible(false);
            FooterImageControl->SetBounds(HorzMargin, y, Scale(16), Scale(16));
        }
    }

    int rowW = customW + commonW + verificationRoom;
    if (!dialog.ExpandedText.empty() && ExpandButtonControl) {
        int c1 = Scale(1000);
        int c2 = maxW != 0 ? maxW : Scale(1000);
        int height = 0;
        MeasureText(&canvas, ExpandControlCaption(false), c1, height);
        MeasureText(&canvas, ExpandControlCaption(true), c2, height);
        rowW += ExpandButtonControl->Width() + HorzSpacing + std::max(c1, c2) + HorzSpacing;
    }

    if (dialog.Content().empty())
        y -= Scale(20);

    left = HorzMargin + (textRight - R.Right);
    const int clientW = ClientWidth();
    switch (dialog.InputType) {
    case Input::itEdit:
        InputEdit = new TEdit(this);
        InputEdit->SetParent(this);
        InputEdit->SetTabStop(true);
        InputEdit->SetText(dialog.InputText);
        InputEdit->SetBounds(left, y + Scale(20), clientW - left, Scale(20));
        break;
    case Input::itMemo:
        InputMemo = new TMemo(this);
        InputMemo->SetParent(this);
        InputMemo->SetTabStop(true);
        InputMemo->WantReturns = false;
        InputMemo->SetText(dialog.InputText);
        InputMemo->SetBounds(left, y + Scale(20), clientW - left, Scale(60));
        break;
    case Input::itComboEdit:
    case Input::itComboList:
        InputCombo = new TComboBox(this);
        InputCombo->SetParent(this);
        InputCombo->SetTabStop(true);
        InputCombo->SetText(dialog.InputText);
        for (const std::string& item : dialog.InputItems)
            InputCombo->Items.Add(item);
        InputCombo->ItemsChanged();
        if (dialog.InputType == Input::itComboList) {
            InputCombo->SetStyle(TComboBoxStyle::csDropDownList);
            InputCombo->SetItemIndex(dialog.InputItems.IndexOf(dialog.InputText));
        }
        InputCombo->SetBounds(left, y + Scale(20), clientW - left, Scale(20));
        break;
    case Input::itDate: {
        InputDatePicker = new TDateTimePicker(this);
        InputDatePicker->SetParent(this);
        InputDatePicker->SetTabStop(true);
        TDate date;
        if (windowing && windowing->ParseShortDate(dialog.InputText, date))
            InputDatePicker->SetDate(date);
        InputDatePicker->SetBounds(left, y + Scale(20), InputDatePicker->Width(),
                                   InputDatePicker->Height());
        break;
    }
    case Input::itCustom:
        if (auto* control = dynamic_cast<TControl*>(dialog.InputControl())) {
            SavedInputParent = control->Parent();
            control->SetParent(this);
            control->SetVisible(true);
            if (dialog.OnSetInputText)
                dialog.OnSetInputText(&dialog, dialog.InputText);
            else
                control->SetCaption(dialog.InputText);
            control->SetBounds(left, y + Scale(20), control->Width(), control->Height());
            if (Width() < control->Width() + left)
                minW = left + control->Width() + left;
        }
        break;
    default:
        break;
    }

    int w = std::max(textRight, rowW);
    w = std::max(w, FooterTextSize.Width);
    w += 2 * HorzMargin;
    w = std::max(w, ExpandedTextSize.Width + 2 * HorzMargin);
    w = std::max(w, minW);
    w = std::max(w, MinWidth);
    int edge = windowing ? windowing->SystemMetric(win::SM_CYEDGE) : 2;
    w = std::min(w, screen.Width - 2 * edge);
    SetClientWidth(w);

    if (TControl* control = InputField(); control && dialog.InputType == Input::itCustom) {
        if (ClientWidth() - control->Left() < control->Width())
            control->SetWidth(ClientWidth() - control->Left());
    }
    if (ProgressBarControl)
        ProgressBarControl->SetWidth(ClientWidth() - 2 * HorzMargin);

    ArrangeControls();
    if (!dialog.ExpandedText.empty())
        SetExpanded(options.Contains(Opt::doExpandedDefault));
    SetLeft(screen.Width / 2 - Width() / 2);
    SetTop(screen.Height / 2 - Height() / 2);
    if (!dialog.VerificationText.empty())
        SetClientHeight(ClientHeight() + Scale(10));
}

void TMessageForm::RefreshTexts() {
    if (!Dialog)
        return;
    TCustomTaskDialog& dialog = *Dialog;
    TCanvas& canvas = Canvas();
    TCanvasStateSaver saver(canvas);
    const TFont fontA = canvas.Font();
    TSize avg = AverageCharSize(canvas);
    const uint32_t readingOrder = ReadingOrder();
    int minW = 0;
    SetCaption(dialog.WindowTitle.empty() ? DefaultWindowTitle() : dialog.WindowTitle);
    if (!Caption().empty()) {
        int width = Scale(1000);
        int height = 0;
        MeasureText(&canvas, Caption(), width, height);
        minW = width + Scale(50);
    }
    const int sp = MulDiv(4, avg.Width, 4);
    int commonW = 0;
    for (TWinControl* button : CommonButtonList)
        commonW += button->Width() + sp;
    int customW = 0;
    if (!dialog.Options.Contains(TTaskDialogOption::doCommandLinks))
        for (TWinControl* button : CustomButtonList)
            customW += button->Width() + sp;

    TFont instructionFont = fontA;
    instructionFont.Size = 11;
    instructionFont.Style = fsBold;
    canvas.SetFont(instructionFont);
    TSize screen = Platform().Windowing ? Platform().Windowing->ScreenSize() : TSize{1024, 768};
    TRect R{0, 0, screen.Width / 2, 0};
    canvas.DrawText(dialog.MainInstruction(), R,
                    win::DT_CALCRECT | win::DT_WORDBREAK | win::DT_EXPANDTABS | readingOrder);
    canvas.SetFont(fontA);
    int textRight = R.Right;
    if (MainIconId(dialog) != 0)
        textRight += HorzSpacing + Scale(32);
    if (InstructionLabel) {
        InstructionLabel->SetCaption(dialog.MainInstruction());
        // The label keeps to its text's box, as it did when it was made.
        int left = HorzMargin + (textRight - R.Right);
        if (UseRightToLeftReading())
            left = ClientWidth() - left - R.Right;
        InstructionLabel->SetBounds(left, InstructionLabel->Top(), R.Right, R.Bottom);
    }

    if (!dialog.RadioButtons.Empty()) {
        dialog.RadioButtonResult = dialog.DefaultRadioButton;
        int limit = Scale(1000);
        for (size_t i = 0; i < RadioButtonList.size(); ++i) {
            TWinControl* radio = RadioButtonList[i];
            int radioLeft = TextLeft + HorzMargin;
            radio->SetBounds(radioLeft, radio->Top(), Width() - radioLeft - Scale(4),
                             radio->Height());
            int height = 0;
            MeasureText(&canvas, radio->Caption(), limit, height);
            minW = std::max(minW, radioLeft + limit + HorzMargin + Scale(20));
        }
    }
    if (!dialog.VerificationText.empty() && VerificationCheckBox) {
        VerificationCheckBox->SetCaption(dialog.VerificationText);
        VerificationCheckBox->SetLeft(HorzMargin);
        int cbW = Scale(1000);
        int cbH = 0;
        MeasureText(&canvas, dialog.VerificationText, cbW, cbH);
        minW = std::max(minW, HorzMargin + cbW);
    }
    FooterTextSize = {0, 0};
    if (!dialog.FooterText.empty()) {
        TRect r{HorzMargin, VertMargin, Scale(300), VertMargin + Scale(26)};
        FooterTextSize = MeasureMarkup(NewlinesAsMarkup(dialog.FooterText), r, false);
        if (FooterImageControl)
            FooterImageControl->SetBounds(HorzMargin, FooterImageControl->Top(), Scale(16),
                                          Scale(16));
    }
    int rowW = customW + commonW;
    if (!dialog.ExpandedText.empty() && ExpandButtonControl) {
        int c1 = Scale(1000);
        int c2 = Scale(1000);
        int height = 0;
        MeasureText(&canvas, ExpandControlCaption(false), c1, height);
        MeasureText(&canvas, ExpandControlCaption(true), c2, height);
        rowW += ExpandButtonControl->Width() + HorzSpacing + std::max(c1, c2) + HorzSpacing;
    }
    int w = std::max(rowW, textRight);
    w = std::max(w, FooterTextSize.Width);
    w += 2 * HorzMargin;
    w = std::max(w, minW);
    w = std::max(w, MinWidth);
    SetClientWidth(w);
    if (ProgressBarControl)
        ProgressBarControl->SetWidth(ClientWidth() - 2 * HorzMargin);
    ArrangeControls();
    Invalidate();
}

} // namespace qb
