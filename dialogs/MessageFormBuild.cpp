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

// The cancel index among the standard buttons, by DefaultButton.
int CancelIndex(const TCustomTaskDialog& dialog) {
    if (dialog.DefaultButton != 0)
        return 0;
    if (dialog.CommonButtons.Contains(TCommonButton::cbCancel))
        return 3;
    return dialog.CommonButtons.Contains(TCommonButton::cbNo) ? 2 : 0;
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
    const int minButtonWidth = Scale(60);
    const uint32_t readingOrder = ReadingOrder();
    const TTaskDialogOptions& options = dialog.Options;
    IWindowing* windowing = Platform().Windowing;

    SetCaption(dialog.WindowTitle.empty() ? DefaultWindowTitle() : dialog.WindowTitle);
    int y = VertMargin;
    CommonButtonList.clear();

    const int defaultId = DefaultButtonId();
    const int c = CancelIndex(dialog);
    const bool allowCancel = options.Contains(Opt::doAllowCancel);
    // Escape belongs to a Cancel button when there is one: the cancel index alone would also
    // mark OK (index 0) whenever a default is named, and Escape would then answer OK.
    const bool hasCancelButton = dialog.CommonButtons.Contains(TCommonButton::cbCancel);
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
        // The focus starts on the default; with none asked for (-1), on the first button.
        const bool isDefault = info.Result == defaultId;
        button->Tag = isDefault || (dialog.DefaultButton == -1 && i == 0) ? 1 : 0;
        if (dialog.GetButtonModalResult(button) == win::IDCANCEL && allowCancel)
            dialog.SetButtonCancel(button, true);
        if (isDefault)
            dialog.SetButtonDefault(button, true);
        if (i == c && allowCancel && !hasCancelButton)
            dialog.SetButtonCancel(button, true);
        button->SetBounds(button->Left(), button->Top(), std::max(cached, minButtonWidth),
                          buttonHeight);
        button->SetTabStop(dialog.DefaultButton != -1);
    }

    CustomButtonList.clear();
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
            TWinControl* button = dialog.CreateButton(this);
            CustomButtonList.push_back(button);
            button->SetName(name);
            button->SetParent(this);
            dialog.SetButtonText(button, line);
            dialog.SetButtonModalResult(button, 100 + i);
            dialog.SetButtonDefault(button, dialog.GetButtonModalResult(button) == defaultId);
            button->SetBounds(button->Left(), button->Top(), std::max(w, minButtonWidth),
                              buttonHeight);
            button->OnClick = [this](TComponent* sender) { CustomButtonClick(sender); };
            button->SetTabStop(dialog.DefaultButton != -1 || dialog.CommonButtons.Empty());
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
        link->SetWidth(std::max(w, minButtonWidth));
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
    }

    const TRect R = MeasureInstruction();
    const int mainIconId = MainIconId(dialog);

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
    InstructionLabel->SetCaption(PlainLines(dialog.MainInstruction(), TEscapes::Native));
    TFont labelFont = fontA;
    labelFont.Size = 11;
    labelFont.Style = fsBold;
    labelFont.Color = Colors.Instruction;
    InstructionLabel->SetFont(labelFont);
    InstructionLabel->SetBiDiMode(BiDiMode());
    InstructionLabel->ShowAccelChar = false;
    PlaceInstruction(R);
    y += InstructionLabel->Height() + VertSpacing;

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
        for (int i = 0; i < dialog.RadioButtons.Count(); ++i) {
            const std::string& line = dialog.RadioButtons[i];
            TWinControl* radio = dialog.CreateRadioButton(this);
            RadioButtonList.push_back(radio);
            dialog.InitRadioButton(this, radio, i,
                                   [this](TComponent* sender) { RadioButtonClick(sender); });
            radio->SetBounds(TextColumnLeft() + HorzMargin, y, 0, LineHeight(radio->Font()));
            dialog.SetControlText(radio, line);
            bool checked = false;
            if (!noDefault)
                checked =
                    dialog.DefaultRadioButton > 0 ? 200 + i == dialog.DefaultRadioButton : i == 0;
            dialog.SetRadioChecked(radio, checked);
        }
    }

    if (!dialog.ExpandedText.empty()) {
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

    if (!dialog.VerificationText.empty()) {
        VerificationCheckBox = new TCheckBox(this);
        VerificationCheckBox->SetName("Verification");
        VerificationCheckBox->SetParent(this);
        VerificationCheckBox->WordWrap = false;
        VerificationCheckBox->SetBounds(HorzMargin, y, 0, LineHeight(VerificationCheckBox->Font()));
        VerificationCheckBox->SetBiDiMode(BiDiMode());
        VerificationCheckBox->SetCaption(dialog.VerificationText);
        VerificationCheckBox->SetColor(Colors.Band);
        VerificationCheckBox->OnClick = [this](TComponent* sender) { VerificationClick(sender); };
        VerificationCheckBox->SetChecked(options.Contains(Opt::doVerificationChecked));
    }

    FooterTextSize = {0, 0};
    if (!dialog.FooterText.empty()) {
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

    switch (dialog.InputType) {
    case Input::itEdit:
        InputEdit = new TEdit(this);
        InputEdit->SetParent(this);
        InputEdit->SetTabStop(true);
        InputEdit->SetText(dialog.InputText);
        InputEdit->SetHeight(Scale(20));
        break;
    case Input::itMemo:
        InputMemo = new TMemo(this);
        InputMemo->SetParent(this);
        InputMemo->SetTabStop(true);
        InputMemo->WantReturns = false;
        InputMemo->SetText(dialog.InputText);
        InputMemo->SetHeight(Scale(60));
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
        InputCombo->SetHeight(Scale(20));
        break;
    case Input::itDate: {
        InputDatePicker = new TDateTimePicker(this);
        InputDatePicker->SetParent(this);
        InputDatePicker->SetTabStop(true);
        TDate date;
        if (windowing && windowing->ParseShortDate(dialog.InputText, date))
            InputDatePicker->SetDate(date);
        TSize size = DatePickerSize();
        InputDatePicker->SetBounds(0, 0, size.Width, size.Height);
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
        }
        break;
    default:
        break;
    }

    UpdateClientWidth();
    ArrangeControls();
    if (!dialog.ExpandedText.empty())
        SetExpanded(options.Contains(Opt::doExpandedDefault));
    ArrangeTabOrder();
    TSize screen = windowing ? windowing->ScreenSize() : TSize{1024, 768};
    SetLeft(screen.Width / 2 - Width() / 2);
    SetTop(screen.Height / 2 - Height() / 2);
}

void TMessageForm::RefreshTexts() {
    if (!Dialog)
        return;
    TCustomTaskDialog& dialog = *Dialog;
    TCanvasStateSaver saver(Canvas());
    // The user's choice of radio button stays: only the texts changed.
    SetCaption(dialog.WindowTitle.empty() ? DefaultWindowTitle() : dialog.WindowTitle);
    if (InstructionLabel)
        InstructionLabel->SetCaption(PlainLines(dialog.MainInstruction(), TEscapes::Native));
    if (!dialog.VerificationText.empty() && VerificationCheckBox)
        VerificationCheckBox->SetCaption(dialog.VerificationText);
    UpdateClientWidth();
    ArrangeControls();
    Invalidate();
}

} // namespace qb
