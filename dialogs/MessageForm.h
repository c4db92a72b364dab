// The emulated dialog window, used where the native task dialog is missing or emulation is
// forced: built from the dialog model, laid out from the window font, painted and run modally.
#pragma once
#include "dialogs/DialogColors.h"
#include "runtime/Forms.h"
#include "runtime/StdCtrls.h"
#include <array>
#include <memory>
#include <string>
#include <vector>

namespace qb {

class TCustomTaskDialog;
class TTaskDialogButton;
struct TMarkupParams;
enum class TEscapes : uint8_t;

class TMessageForm : public TForm {
public:
    explicit TMessageForm(TComponent* owner);
    ~TMessageForm() override;

    TLabel* InstructionLabel = nullptr;
    int HorzMargin = 0;
    int VertMargin = 0;
    int HorzSpacing = 0;
    int VertSpacing = 0;
    TTaskDialogButton* ExpandButtonControl = nullptr;
    bool Expanded = true;
    std::vector<TWinControl*> CommonButtonList;
    std::vector<TWinControl*> CustomButtonList;
    TCustomTaskDialog* Dialog = nullptr;
    TImage* FooterImageControl = nullptr;
    int FooterIconId = 0;
    std::vector<TWinControl*> RadioButtonList;
    TCheckBox* VerificationCheckBox = nullptr;
    TProgressBar* ProgressBarControl = nullptr;
    TImage* MainImage = nullptr;
    TSize FooterTextSize;
    TSize ContentTextSize;
    TSize ExpandedTextSize;
    int ExpandedTop = 0;
    std::string HoverLink;
    TTimer* UpdateTimer = nullptr;
    int ButtonBandTop = 0;
    int MinWidth = 350;
    TEdit* InputEdit = nullptr;
    TComboBox* InputCombo = nullptr;
    TDateTimePicker* InputDatePicker = nullptr;
    TMemo* InputMemo = nullptr;
    TWinControl* SavedInputParent = nullptr;
    // What every part is painted in (the system's colours with high contrast on).
    TDialogColors Colors;

    // Construction and layout.
    void BuildControls(TCustomTaskDialog& dialog);
    void RefreshTexts();
    // Plain text size: width in is the limit (0: 1000 at 96 DPI), width and height out.
    void MeasureText(TCanvas* canvas, const std::string& text, int& width, int& height);
    static std::string DefaultWindowTitle();
    static TSize AverageCharSize(TCanvas& canvas);
    // A pixel size fixed at 96 DPI, at this window's resolution.
    int Scale(int pixels) const;
    // The widest client area whose window, frame included, still fits the screen.
    int MaxClientWidth();
    // Left edge of the column the texts and the controls below them share, right of the icon.
    int TextColumnLeft() const;
    // The id of the button Enter answers (0: none).
    int DefaultButtonId() const;

    // The layout pass.
    void ArrangeControls();
    void SetExpanded(bool value);
    void ToggleExpanded();
    TRect ContentRect();
    TRect ExpandedRect();

    // The expand control's caption for a state: the dialog's, or the native dialog's words
    // when the dialog names neither caption.
    std::string ExpandControlCaption(bool expanded) const;
    // Static windows over the painted texts, so that screen readers find and read them in
    // reading order; placed again after every layout.
    void PlaceTextWindows();

    // Painting and interaction.
    void PaintContent();
    void PaintExpanded();
    void PaintFooter();
    TRect FooterRect();
    // Left edge of the footer's words, right of its icon.
    int FooterTextLeft() const;
    // The expand control's caption as it stands, and where it is painted beside the control.
    TRect ExpandCaptionRect();
    // Where the expand control's caption starts, right of its arrow.
    int ExpandCaptionLeft() const;
    std::string LinkAt(int x, int y);
    void PreviewKeyDown(TComponent* sender, int& key, TShiftState shift);
    std::string FramedText();
    // Raises "Cannot open clipboard" when the clipboard is held; the old content then stays.
    void CopyToClipboard(const std::string& text);
    void TimerTick(TComponent* sender);
    void CustomButtonClick(TComponent* sender);
    void RadioButtonClick(TComponent* sender);
    void VerificationClick(TComponent* sender);

    bool DialogChar(char ch) override;
    void DoShow() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;

protected:
    void Paint() override;
    void KeyDown(int& key, TShiftState shift) override;
    void DoClose(TCloseAction& action) override;
    // Builds the controls anew at the new resolution, as a window made there would be, and
    // gives them back what the user has done so far.
    void RescaleForDpi() override;

private:
    // The input field of the model's input type, or nullptr.
    TControl* InputField() const;
    bool InputHasFocus() const;
    // Measuring (or, with draw, drawing) parameters shared by every markup call.
    static TMarkupParams MarkupParams(bool measureOnly, bool draw);
    TSize MeasureMarkup(const std::string& text, const TRect& bounds, bool measureOnly);
    void DrawMarkup(const std::string& text, const TRect& bounds);
    // Every line of the content or the expanded text, measured in the box it is drawn in.
    TSize MeasureBody(const std::string& text, TEscapes escapes, const TRect& box);
    void PaintBody(const std::string& text, const TRect& r, TEscapes escapes);
    // Width: what the texts and controls ask for, a column widened for a word that does not
    // fit, and the instruction placed in it.
    void UpdateClientWidth();
    TRect MeasureInstruction();
    int PreferredClientWidth(const TRect& instruction);
    void FitTextColumn();
    void PlaceInstruction(const TRect& instruction);
    int CaptionWidth(const std::string& text, const TFont& font);
    int LineHeight(const TFont& font);
    int VerificationRoom();
    int CommandLinkWidth();
    TSize DatePickerSize();
    // Layout pieces: each takes the top it may use and gives the next free one.
    int ArrangeInputField(int y);
    int ArrangeExpandedText(int y);
    // Tab goes through the window as it reads: top to bottom, left to right.
    void ArrangeTabOrder();
    // A command link named as the default answers Enter from the other controls, as a default
    // push button does; false when Enter is not its to answer.
    bool EnterPressesDefaultLink();
    uint32_t ReadingOrder() const;
    void GiveBackInputControl();
    // Frees every control and sets the fields as a new window has them.
    void DestroyControls();
    void LoadExpandPictures(bool expanded);
    // A text window named name over bounds with text; hidden (and made only when needed) when
    // the text is empty.
    void PlaceTextWindow(const std::string& name, const TRect& bounds, const std::string& text);
    // What a reader is told of a text the window paints: its words and line breaks.
    std::string ReaderText(const std::string& text, bool markup, TEscapes escapes);

    std::shared_ptr<TGraphic> FooterIcon_;
    std::shared_ptr<TGraphic> Shield_;
};

// Caption widths (+16) of the six standard buttons, measured once per process and resolution:
// the cache of the resolution last chosen with UseCommonButtonWidths.
std::array<int, 6>& CommonButtonWidthCache();
void UseCommonButtonWidths(int pixelsPerInch);
void ClearCommonButtonWidthCaches();

// Builds the window; none without a platform that has windows.
TMessageForm* CreateMessageForm(TCustomTaskDialog& dialog);
// Builds the window from the dialog, runs it modally at left/top (-1: centred) and returns its
// modal result, or -1 when no window could be shown.
int ExecuteMessageForm(TCustomTaskDialog& dialog, int left, int top);
// The dialog's texts changed while the window is shown: measure and lay out again.
void RefreshMessageForm(TMessageForm& form);
// Closes the window as its close box would.
void CloseMessageForm(TMessageForm& form);

} // namespace qb
