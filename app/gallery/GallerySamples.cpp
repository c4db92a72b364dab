#include "app/gallery/GallerySamples.h"

#include "dialogs/MessageFacade.h"
#include "dialogs/TaskDialog.h"
#include "runtime/Platform.h"
#include "runtime/WinConst.h"

namespace qb {

namespace {

using TIconKind = TTaskDialogIcon;
using TFooterKind = TTaskDialogFooterIcon;
using enum TCommonButton;
using enum TTaskDialogOption;

const char* const Caption = "Quillbridge gallery";

std::string Outcome(const TCustomTaskDialog& dialog, int result) {
    return "result=" + std::to_string(result) +
           " radio=" + std::to_string(dialog.RadioButtonResult) +
           " checked=" + (dialog.VerificationChecked ? "1" : "0");
}

// A dialog with the gallery's title and the path the gallery was told to use.
struct TSampleDialog : TCustomTaskDialog {
    TSampleDialog(TGalleryContext& context, const std::string& instruction)
        : TCustomTaskDialog(nullptr) {
        WindowTitle = Caption;
        SetMainInstruction(instruction);
        ForceEmulation = context.ForceEmulation;
    }
    std::string Run() {
        int result = Execute();
        return Outcome(*this, result);
    }
};

// Message boxes: every button group, icon group, default button and the help button.
template <uint32_t Flags> std::string MessageBoxSample(TGalleryContext&) {
    std::string text = "TaskMessageBox with flag word " + std::to_string(Flags) + ".";
    return "result=" + std::to_string(TaskMessageBox(0, text, Caption, Flags));
}

std::string ShowMessageSample(TGalleryContext&) {
    bool checked =
        ShowMessage("ShowMessage: the text is the headline,\rthe information icon is shown\r"
                    "and the dialog brings its own OK button.");
    return std::string("checked=") + (checked ? "1" : "0");
}

std::string MessageDlgSample(TGalleryContext&) {
    bool checked = TaskMessageDlg(Caption, "TaskMessageDlg with a verification check box",
                                  "The result is true only when the box is left checked.",
                                  "Remember this answer", TIconKind::tiQuestion);
    return std::string("checked=") + (checked ? "1" : "0");
}

template <TIconKind Icon> std::string IconSample(TGalleryContext& context) {
    static const char* const Names[] = {"tiBlank",       "tiWarning", "tiQuestion", "tiError",
                                        "tiInformation", "tiNone",    "tiShield"};
    TSampleDialog dialog(context, std::string("Main icon ") + Names[static_cast<int>(Icon)]);
    dialog.SetContent("tiBlank keeps the icon column empty; tiNone has no icon column at all.");
    dialog.MainIcon = Icon;
    dialog.CommonButtons = {cbOK};
    return dialog.Run();
}

std::string RadioSample(TGalleryContext& context) {
    TSampleDialog dialog(context, "Which program do you run in DOSBox?");
    dialog.SetContent("Radio buttons have ids 200, 201, 202; the second one starts selected.");
    dialog.MainIcon = TIconKind::tiQuestion;
    for (const char* name : {"Tessera", "Varnette", "Morvel"})
        dialog.RadioButtons.Add(name);
    dialog.DefaultRadioButton = 201;
    dialog.CommonButtons = {cbOK, cbCancel};
    dialog.OnRadioButtonClick = [&](TComponent*, int id) {
        context.Log("event=radio id=" + std::to_string(id));
    };
    return dialog.Run();
}

std::string RadioNoDefaultSample(TGalleryContext& context) {
    TSampleDialog dialog(context, "No radio button is selected at the start");
    dialog.SetContent("doNoDefaultRadio: the user has to pick one.");
    for (const char* name : {"Print to the default printer", "Print to a file"})
        dialog.RadioButtons.Add(name);
    dialog.Options += doNoDefaultRadio;
    dialog.CommonButtons = {cbOK};
    return dialog.Run();
}

std::string CommandLinksSample(TGalleryContext& context, bool noIcon) {
    TSampleDialog dialog(context, "What do you want to do?");
    dialog.SetContent("Custom buttons shown as command links; a backslash-n starts the note line.");
    dialog.MainIcon = TIconKind::tiQuestion;
    dialog.CustomButtons.Add("Run Tessera in DOSBox\\nStarts the emulator with dosbox.conf");
    dialog.CustomButtons.Add("Print the file f\\nSends it to the default printer");
    dialog.CustomButtons.Add("Close the gallery");
    dialog.Options += noIcon ? doCommandLinksNoIcon : doCommandLinks;
    dialog.CommonButtons = {cbCancel};
    dialog.DefaultButton = 101;
    dialog.OnButtonClick = [&](TComponent*, int id) {
        context.Log("event=button id=" + std::to_string(id));
    };
    return dialog.Run();
}

std::string VerificationSample(TGalleryContext& context) {
    TSampleDialog dialog(context, "Replace the desktop shortcuts?");
    dialog.SetContent("The verification check box starts checked (doVerificationChecked).");
    dialog.MainIcon = TIconKind::tiWarning;
    dialog.VerificationText = "Do not ask me again";
    dialog.Options += doVerificationChecked;
    dialog.CommonButtons = {cbYes, cbNo};
    dialog.DefaultButton = win::IDNO;
    dialog.OnVerificationClick = [&](TComponent*, bool checked) {
        context.Log(std::string("event=verification checked=") + (checked ? "1" : "0"));
    };
    return dialog.Run();
}

const char* const Details = "dosbox.conf: c:\\zorn\\dosbox.conf\r"
                            "Run shortcut: Tessera DOSbox.lnk\r"
                            "Print shortcut: Print-F.lnk (CTRL+ALT+P)";

std::string ExpandableSample(TGalleryContext& context, bool inFooter) {
    TSampleDialog dialog(context, inFooter ? "Expanded text in the footer area"
                                           : "Expanded text below the content");
    dialog.SetContent("The expand control shows or hides the details.");
    dialog.MainIcon = TIconKind::tiInformation;
    dialog.ExpandedText = Details;
    dialog.CollapsedControlText = "Show details";
    dialog.ExpandedControlText = "Hide details";
    dialog.Options += doExpandedDefault;
    if (inFooter) {
        dialog.Options += doExpandFooter;
        dialog.FooterText = "Footer text above the expanded area.";
    }
    dialog.CommonButtons = {cbOK};
    return dialog.Run();
}

std::string ExpandablePlainSample(TGalleryContext& context) {
    TSampleDialog dialog(context, "Details without captions of their own");
    dialog.SetContent("The expand control says what the system's dialog says.");
    dialog.ExpandedText = Details;
    dialog.CommonButtons = {cbOK};
    return dialog.Run();
}

// Texts beyond ASCII, given in UTF-16 and shown in the process code page (a character it lacks
// shows as "?").
std::string UnicodeSample(TGalleryContext& context) {
    ISystemInfo* system = Platform().System;
    auto text = [system](const std::u16string& utf16) {
        return system ? system->FromUtf16(utf16) : std::string("?");
    };
    TSampleDialog dialog(context, text(u"Gr\u00FC\u00DFe aus K\u00F6ln \u2013 5 \u20AC"));
    dialog.WindowTitle = text(u"Caf\u00E9 \u00A7 12");
    dialog.SetContent(text(u"C:\\Users\\Ren\u00E9e\\Desktop\\T\u00EAte.lnk"));
    dialog.CommonButtons = {cbOK};
    return dialog.Run();
}

std::string FooterSample(TGalleryContext& context) {
    TSampleDialog dialog(context, "A footer with its own icon");
    dialog.SetContent("The footer sits below the buttons.");
    dialog.MainIcon = TIconKind::tiInformation;
    dialog.FooterText = "Quillbridge writes dosbox.conf and two desktop shortcuts, nothing else.";
    dialog.FooterIcon = TFooterKind::tfInformation;
    dialog.CommonButtons = {cbOK};
    return dialog.Run();
}

std::string ProgressSample(TGalleryContext& context, bool error) {
    TSampleDialog dialog(context, error ? "A progress bar that fails" : "A progress bar");
    dialog.SetContent("OnProgress moves the bar on every timer tick.");
    dialog.Options += doProgressBar;
    dialog.CommonButtons = {cbCancel};
    int position = 0;
    dialog.OnProgress = [&](TComponent*, int& pos, TTaskDialogProgressState& state) {
        position = position >= 100 ? 100 : position + 4;
        pos = position;
        state = error && position >= 40 ? TTaskDialogProgressState::psError
                                        : TTaskDialogProgressState::psNormal;
        if (position == 100)
            dialog.SetContent("Done: press Cancel to close.");
    };
    return dialog.Run();
}

std::string MarqueeSample(TGalleryContext& context) {
    TSampleDialog dialog(context, "Looking for DOSBox...");
    dialog.SetContent("A marquee bar: the time the work takes is unknown.");
    dialog.Options += doProgressMarquee;
    dialog.CommonButtons = {cbCancel};
    return dialog.Run();
}

// AutoClose presses the default button once the timeout has passed.
std::string TimerSample(TGalleryContext& context) {
    TSampleDialog dialog(context, "This dialog closes by itself");
    dialog.MainIcon = TIconKind::tiInformation;
    dialog.Options += doTimer;
    dialog.AutoClose = true;
    dialog.AutoCloseTimeout = 3000;
    dialog.CommonButtons = {cbOK, cbCancel};
    dialog.DefaultButton = win::IDOK;
    auto countdown = [&] {
        int left = (dialog.AutoCloseTimeout - dialog.ElapsedTime + 999) / 1000;
        dialog.SetContent("AutoClose presses OK in " + std::to_string(left < 0 ? 0 : left) + " s.");
    };
    countdown();
    dialog.OnDialogTimer = [&](TComponent*) { countdown(); };
    dialog.OnButtonClick = [&](TComponent*, int id) {
        context.Log("event=button id=" + std::to_string(id) +
                    " elapsed=" + std::to_string(dialog.ElapsedTime));
    };
    return dialog.Run();
}

std::string LinksSample(TGalleryContext& context) {
    TSampleDialog dialog(context, "Links in the texts");
    dialog.SetContent("Get the emulator from the <a href=\"https://www.dosbox.com/download.php\">"
                      "DOSBox download page</a>, or read <a href=\"notes:print\">how printing "
                      "works</a>.");
    dialog.FooterText = "A handler is set, so clicking a link only names it here.";
    dialog.Options += doHyperlinks;
    dialog.CommonButtons = {cbClose};
    dialog.OnHyperlinkClick = [&](TComponent*, const std::string& link) {
        context.Log("event=link " + link);
        dialog.SetContent("You clicked the link " + link + ".");
    };
    return dialog.Run();
}

// Small icons are drawn at the top of their line: the large one gets a line of its own.
const char* const PicturesContent =
    "<IMG SRC=\"LSYS:.txt\" ALIGN=\"MIDDLE\"> <B>How to print</B><BR>The notes in "
    "<A HREF=\"notes:readme\"><IMG SRC=\"SSYS:readme.txt\"> readme.txt</A> tell how "
    "<IMG SRC=\"SSYS:.exe\"> <B>spoolix.exe</B> prints the file f.";
const char* const PicturesExpanded = "Files in c:\\zorn:<BR>"
                                     "<IMG SRC=\"SSYS:kestro.exe\"> kestro.exe, the program<BR>"
                                     "<IMG SRC=\"SSYS:dosbox.conf\"> dosbox.conf, written now<BR>"
                                     "<IMG SRC=\"SSYS:readme.txt\"> readme.txt, the notes";
const char* const PicturesFooter =
    "<IMG SRC=\"SSYS:f.txt\"> CTRL+ALT+P sends the file f to the default printer.";

// The dialog draws the shell's icons of file types in its markup texts; it gives the renderer
// no picture list, so pictures by address would take no space and are left out.
std::string PicturesSample(TGalleryContext& context) {
    TSampleDialog dialog(context, "Pictures in the texts");
    dialog.SetContent(PicturesContent);
    dialog.MainIcon = TIconKind::tiInformation;
    dialog.ExpandedText = PicturesExpanded;
    dialog.CollapsedControlText = "Show the files";
    dialog.ExpandedControlText = "Hide the files";
    dialog.FooterText = PicturesFooter;
    dialog.Options += doHyperlinks;
    dialog.Options += doExpandedDefault;
    dialog.CommonButtons = {cbOK};
    dialog.OnHyperlinkClick = [&](TComponent*, const std::string& link) {
        context.Log("event=link " + link);
    };
    return dialog.Run();
}

// OnCloseQuery keeps the dialog open after the first click.
std::string CloseQuerySample(TGalleryContext& context) {
    TSampleDialog dialog(context, "Closing needs two clicks");
    dialog.SetContent("OnCloseQuery refuses the first click on any button.");
    dialog.CommonButtons = {cbOK, cbCancel};
    int asked = 0;
    dialog.OnCloseQuery = [&](TComponent*, bool& canClose) {
        canClose = ++asked > 1;
        context.Log("event=closequery allowed=" + std::string(canClose ? "1" : "0"));
        if (!canClose)
            dialog.SetContent("Refused once. Click again to close.");
    };
    return dialog.Run();
}

// Only the emulated window has an input field; the native dialog shows the rest.
std::string InputSample(TGalleryContext& context) {
    TSampleDialog dialog(context, "Where is the print helper of Tom & Jerry's copy?");
    dialog.SetContent("The field spans the text column; Return answers OK with its text.");
    dialog.MainIcon = TIconKind::tiQuestion;
    dialog.InputType = TTaskDialogInputType::itEdit;
    dialog.InputText = "c:\\zorn\\spoolix.exe";
    dialog.CommonButtons = {cbOK, cbCancel};
    std::string outcome = dialog.Run();
    return outcome + " input=" + dialog.InputText;
}

std::string EverythingSample(TGalleryContext& context) {
    TSampleDialog dialog(context, "Everything at once");
    dialog.SetContent("Radio buttons, command links, a check box, details, a footer and a bar.");
    dialog.MainIcon = TIconKind::tiShield;
    dialog.RadioButtons.Add("Tessera");
    dialog.RadioButtons.Add("Varnette");
    dialog.CustomButtons.Add("Write the shortcuts\\nOn this user's desktop");
    dialog.CustomButtons.Add("Only write dosbox.conf");
    dialog.Options += doCommandLinks;
    dialog.Options += doProgressBar;
    dialog.VerificationText = "Open the folder afterwards";
    dialog.ExpandedText = Details;
    dialog.FooterText = "Nothing is written until you choose.";
    dialog.FooterIcon = TFooterKind::tfWarning;
    dialog.CommonButtons = {cbCancel};
    dialog.OnDialogCreated = [&](TComponent*) { context.Log("event=created"); };
    dialog.OnProgress = [](TComponent*, int& pos, TTaskDialogProgressState& state) {
        pos = 60;
        state = TTaskDialogProgressState::psPaused;
    };
    return dialog.Run();
}

const char* const MessageBoxes = "Message boxes and the message facade";
const char* const Icons = "Main icons";
const char* const Choices = "Radio buttons, command links, verification";
const char* const Extras =
    "Expandable text, footer, progress, timer, links, pictures, events, input";

const std::vector<TGallerySample> Samples = {
    {MessageBoxes, "mb-ok", "Message box: OK, information icon",
     MessageBoxSample<win::MB_OK | win::MB_ICONASTERISK>},
    {MessageBoxes, "mb-okcancel", "Message box: OK and Cancel, question icon",
     MessageBoxSample<win::MB_OKCANCEL | win::MB_ICONQUESTION>},
    {MessageBoxes, "mb-abortretryignore",
     "Message box: Abort, Retry, Ignore, error icon, third default",
     MessageBoxSample<win::MB_ABORTRETRYIGNORE | win::MB_ICONHAND | win::MB_DEFBUTTON3>},
    {MessageBoxes, "mb-yesnocancel", "Message box: Yes, No, Cancel, warning icon, second default",
     MessageBoxSample<win::MB_YESNOCANCEL | win::MB_ICONEXCLAMATION | win::MB_DEFBUTTON2>},
    {MessageBoxes, "mb-yesno", "Message box: Yes and No, warning icon (the setup pass's question)",
     MessageBoxSample<win::MB_YESNO | win::MB_ICONEXCLAMATION>},
    {MessageBoxes, "mb-retrycancel", "Message box: Retry and Cancel, error icon",
     MessageBoxSample<win::MB_RETRYCANCEL | win::MB_ICONHAND>},
    {MessageBoxes, "mb-canceltrycontinue", "Message box: Cancel, Retry, continue, third default",
     MessageBoxSample<win::MB_CANCELTRYCONTINUE | win::MB_ICONASTERISK | win::MB_DEFBUTTON3>},
    {MessageBoxes, "mb-help", "Message box: OK with the Help button",
     MessageBoxSample<win::MB_OK | win::MB_HELP | win::MB_ICONASTERISK>},
    {MessageBoxes, "mb-noicon", "Message box: OK and Cancel without an icon",
     MessageBoxSample<win::MB_OKCANCEL>},
    {MessageBoxes, "show-message", "ShowMessage", ShowMessageSample},
    {MessageBoxes, "message-dlg", "TaskMessageDlg with a verification text", MessageDlgSample},
    {Icons, "icon-blank", "Main icon: blank", IconSample<TIconKind::tiBlank>},
    {Icons, "icon-warning", "Main icon: warning", IconSample<TIconKind::tiWarning>},
    {Icons, "icon-question", "Main icon: question", IconSample<TIconKind::tiQuestion>},
    {Icons, "icon-error", "Main icon: error", IconSample<TIconKind::tiError>},
    {Icons, "icon-information", "Main icon: information", IconSample<TIconKind::tiInformation>},
    {Icons, "icon-none", "Main icon: none", IconSample<TIconKind::tiNone>},
    {Icons, "icon-shield", "Main icon: shield", IconSample<TIconKind::tiShield>},
    {Choices, "radio", "Radio buttons", RadioSample},
    {Choices, "radio-nodefault", "Radio buttons, none selected", RadioNoDefaultSample},
    {Choices, "command-links", "Command links",
     [](TGalleryContext& c) { return CommandLinksSample(c, false); }},
    {Choices, "command-links-noicon", "Command links without the arrow",
     [](TGalleryContext& c) { return CommandLinksSample(c, true); }},
    {Choices, "verification", "Verification check box", VerificationSample},
    {Extras, "expandable", "Expandable text",
     [](TGalleryContext& c) { return ExpandableSample(c, false); }},
    {Extras, "expandable-footer", "Expandable text in the footer",
     [](TGalleryContext& c) { return ExpandableSample(c, true); }},
    {Extras, "expandable-plain", "Expandable text, the expand control's captions left out",
     ExpandablePlainSample},
    {Extras, "footer", "Footer with an icon", FooterSample},
    {Extras, "unicode", "Texts beyond ASCII (Ctrl+C copies them whole)", UnicodeSample},
    {Extras, "progress", "Progress bar",
     [](TGalleryContext& c) { return ProgressSample(c, false); }},
    {Extras, "progress-error", "Progress bar in the error state",
     [](TGalleryContext& c) { return ProgressSample(c, true); }},
    {Extras, "marquee", "Marquee progress bar", MarqueeSample},
    {Extras, "timer", "Timer: closes by itself (AutoClose)", TimerSample},
    {Extras, "links", "Links in the content", LinksSample},
    {Extras, "pictures", "Shell icons in the content, details and footer", PicturesSample},
    {Extras, "close-query", "OnCloseQuery refuses the first click", CloseQuerySample},
    {Extras, "input", "An input field (the emulated window only)", InputSample},
    {Extras, "everything", "Everything at once", EverythingSample},
};

} // namespace

const std::vector<TGallerySample>& GallerySamples() {
    return Samples;
}

std::vector<std::string> GalleryGroups() {
    std::vector<std::string> groups;
    for (const TGallerySample& sample : Samples)
        if (groups.empty() || groups.back() != sample.Group)
            groups.push_back(sample.Group);
    return groups;
}

const TGallerySample* FindGallerySample(const std::string& name) {
    for (const TGallerySample& sample : Samples)
        if (name == sample.Name)
            return &sample;
    return nullptr;
}

} // namespace qb
