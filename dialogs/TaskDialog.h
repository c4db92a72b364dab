// The task dialog: a description of one question (texts, icons, buttons, extras, events) that
// Execute shows through the system's native task dialog or through our own emulated window.
#pragma once
#include "runtime/Component.h"
#include "runtime/EnumSet.h"
#include "runtime/Icon.h"
#include "runtime/StringList.h"
#include "runtime/Types.h"
#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace qb {

class TMessageForm;
class TControl;
class TWinControl;
class TForm;

enum class TCommonButton : uint8_t { cbOK, cbYes, cbNo, cbCancel, cbRetry, cbClose };
using TCommonButtons = TEnumSet<TCommonButton, uint8_t>;

enum class TTaskDialogOption : uint8_t {
    doHyperlinks,
    doCommandLinks,
    doCommandLinksNoIcon,
    doExpandedDefault,
    doExpandFooter,
    doAllowMinimize,
    doVerificationChecked,
    doProgressBar,
    doProgressMarquee,
    doTimer,
    doNoDefaultRadio,
    doAllowCancel,
};
using TTaskDialogOptions = TEnumSet<TTaskDialogOption, uint16_t>;

enum class TTaskDialogIcon : uint8_t {
    tiBlank,
    tiWarning,
    tiQuestion,
    tiError,
    tiInformation,
    tiNone,
    tiShield,
};

enum class TTaskDialogFooterIcon : uint8_t {
    tfNone,
    tfWarning,
    tfQuestion,
    tfError,
    tfInformation,
    tfShield,
};

// Values above itNone behave as itNone.
enum class TTaskDialogInputType : uint8_t {
    itEdit,
    itMemo,
    itComboEdit,
    itComboList,
    itDate,
    itCustom,
    itNone
};

enum class TTaskDialogProgressState : uint8_t { psNormal, psError, psPaused };

enum class TTaskDialogPosition : uint8_t { dpScreenCenter, dpOwnerFormCenter };

using TTaskDialogLinkEvent = std::function<void(TComponent* Sender, const std::string& Link)>;
using TTaskDialogButtonEvent = std::function<void(TComponent* Sender, int ButtonId)>;
using TTaskDialogVerificationEvent = std::function<void(TComponent* Sender, bool Checked)>;
using TTaskDialogProgressEvent =
    std::function<void(TComponent* Sender, int& Position, TTaskDialogProgressState& State)>;
using TTaskDialogCloseQueryEvent = std::function<void(TComponent* Sender, bool& CanClose)>;
using TTaskDialogGetInputTextEvent = std::function<void(TComponent* Sender, std::string& Text)>;
using TTaskDialogSetInputTextEvent =
    std::function<void(TComponent* Sender, const std::string& Text)>;

// One standard button: the emulated window's control name, its caption's string id (stored by
// the module start-up) and the result it closes with there.
struct TStandardButtonInfo {
    const char* Name;
    unsigned CaptionId;
    int Result;
};

// By TCommonButton. The sixth closes the emulated window with IDABORT.
extern std::array<TStandardButtonInfo, 6> StandardButtons;
// System icon ids by TTaskDialogIcon (0: no icon) and by TTaskDialogFooterIcon.
extern const std::array<int, 7> MainIconIds;
extern const std::array<int, 6> FooterIconIds;

// Module start-up and shutdown, counted: the program entry starts the module before any dialog.
void InitTaskDialogModule();
void DoneTaskDialogModule();
// Loaded from the string table on every call; empty before the module has started.
std::string StandardButtonCaption(TCommonButton button);

class TCustomTaskDialog : public TComponent {
public:
    explicit TCustomTaskDialog(TComponent* owner);
    ~TCustomTaskDialog() override;

    std::string WindowTitle;
    const std::string& Content() const { return Content_; }
    std::string FooterText;
    const std::string& MainInstruction() const { return MainInstruction_; }
    // Internal: Execute chose the native dialog and loaded the system library.
    bool NativeActive = false;
    TCommonButtons CommonButtons;
    std::string ExpandedText;
    std::string CollapsedControlText;
    std::string ExpandedControlText;
    int32_t RadioButtonResult = 0;
    bool VerificationChecked = false;
    std::string VerificationText;
    TStringList CustomButtons; // line i has id 100 + i
    TIcon CustomIcon;          // replaces MainIcon when not empty
    TTaskDialogOptions Options;
    TStringList RadioButtons; // line i has id 200 + i
    // Internal: window of the native dialog, from its first notification on; never cleared.
    THandle DialogHandle = 0;
    TNotifyEvent OnDialogCreated;
    TNotifyEvent OnDialogTimer;
    int32_t HelpContextId = 0;
    int32_t ProgressMin = 0;
    int32_t ProgressMax = 100;
    bool AutoClose = false;
    int32_t AutoCloseTimeout = 0;
    // Internal: milliseconds since the dialog was created, as its last timer tick told.
    int32_t ElapsedTime = 0;
    TTaskDialogLinkEvent OnHyperlinkClick;
    TTaskDialogButtonEvent OnButtonClick;
    TTaskDialogButtonEvent OnRadioButtonClick;
    TTaskDialogVerificationEvent OnVerificationClick;
    TTaskDialogProgressEvent OnProgress;
    TTaskDialogCloseQueryEvent OnCloseQuery;
    TTaskDialogGetInputTextEvent OnGetInputText;
    TTaskDialogSetInputTextEvent OnSetInputText;
    TTaskDialogIcon MainIcon = TTaskDialogIcon::tiBlank;
    TTaskDialogFooterIcon FooterIcon = TTaskDialogFooterIcon::tfNone;
    int32_t DefaultButton = 0;
    int32_t DefaultRadioButton = 200;
    // Internal: the emulated window while it is shown.
    TMessageForm* MessageForm = nullptr;
    TTaskDialogPosition DialogPosition = TTaskDialogPosition::dpScreenCenter;
    bool ApplicationOwned = false;
    THandle ParentWindow = 0;
    int32_t MinimumWidth = 350;
    bool ForceEmulation = false;
    TTaskDialogInputType InputType = TTaskDialogInputType::itNone;
    std::string InputText;
    TStringList InputItems;
    TComponent* InputControl() const { return InputControl_; }
    // Not owned: the dialog forgets the control when the control is freed.
    void SetInputControl(TComponent* control);
    TColor FooterColor = 0xF0F0F0;
    TColor FooterLineColor = 0xDFDFDF;

    // Store a changed text and show it in the running dialog; an equal text does nothing.
    void SetContent(const std::string& text);
    void SetMainInstruction(const std::string& text);
    // Closes the running dialog as if DefaultButton were clicked (native; its first button when
    // it has no such button) or asks the emulated window to close.
    void CloseDialog();
    // The emulated window's show handler.
    void DoDialogCreated(TComponent* window);
    // The link rule of both paths: a handler decides; without one, only links with "://" are
    // opened, by the user's default handler.
    void DoHyperlinkClick(const std::string& link);

    void Notification(TComponent* component, TOperation operation) override;

    // The standard controls of the emulated window are made and driven through these, so that
    // a descendant can swap in other control classes. The Set/Get routines of push buttons
    // leave any other control alone (Get answers 0).
    virtual TWinControl* CreateButton(TComponent* owner);
    virtual TWinControl* CreateRadioButton(TComponent* owner);
    // Names it "Radio" + index, puts it on the window with the window's font face at 8 points
    // and its reading order, and gives it the click handler.
    virtual void InitRadioButton(TForm* window, TWinControl* radio, int index,
                                 TNotifyEvent onClick);
    virtual void SetRadioChecked(TWinControl* radio, bool checked);
    virtual void SetControlText(TControl* control, const std::string& text);
    virtual void SetButtonText(TControl* control, const std::string& text);
    virtual void SetButtonCancel(TControl* control, bool cancel);
    virtual void SetButtonDefault(TControl* control, bool isDefault);
    virtual void SetButtonModalResult(TControl* control, int result);
    virtual int GetButtonModalResult(TControl* control);

    // Shows the dialog modally: the id of the button that closed it, or -1 when no dialog could
    // be shown.
    virtual int Execute();

private:
    friend int32_t NativeDialogCallback(THandle, unsigned, TWParam, TLParam, intptr_t);
    int ExecuteNative();
    void UpdateElementText(unsigned element, const std::string& text);

    std::string Content_;
    std::string MainInstruction_;
    TComponent* InputControl_ = nullptr;
    // The native dialog is on screen: messages to DialogHandle reach it.
    bool NativeRunning_ = false;
};

} // namespace qb
