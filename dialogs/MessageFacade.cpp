#include "dialogs/MessageFacade.h"
#include "dialogs/TaskDialog.h"
#include "resources/ResourceIds.h"
#include "runtime/Application.h"
#include "runtime/StringTable.h"
#include "runtime/WinConst.h"
#include <vector>

namespace qb {

namespace {

using enum TCommonButton;

TTaskDialogIcon IconOf(uint32_t flags) {
    switch (flags & 0xF0) {
    case win::MB_ICONHAND:
        return TTaskDialogIcon::tiError;
    case win::MB_ICONQUESTION:
        return TTaskDialogIcon::tiQuestion;
    case win::MB_ICONEXCLAMATION:
        return TTaskDialogIcon::tiWarning;
    case win::MB_ICONASTERISK:
        return TTaskDialogIcon::tiInformation;
    default:
        return TTaskDialogIcon::tiBlank;
    }
}

// Standard buttons and custom captions of a button group.
void ButtonsOf(uint32_t group, TCommonButtons& common, std::vector<std::string>& custom) {
    switch (group) {
    case win::MB_OK:
        common = {cbOK};
        break;
    case win::MB_OKCANCEL:
        common = {cbOK, cbCancel};
        break;
    case win::MB_ABORTRETRYIGNORE:
        custom = {LoadStr(IDS_MSGDLG_ABORT_PLAIN), LoadStr(IDS_MSGDLG_RETRY),
                  LoadStr(IDS_MSGDLG_IGNORE)};
        break;
    case win::MB_YESNOCANCEL:
        common = {cbYes, cbNo, cbCancel};
        break;
    case win::MB_YESNO:
        common = {cbYes, cbNo};
        break;
    case win::MB_RETRYCANCEL:
        custom = {LoadStr(IDS_MSGDLG_RETRY), LoadStr(IDS_MSGDLG_CANCEL)};
        break;
    case win::MB_CANCELTRYCONTINUE:
        custom = {LoadStr(IDS_MSGDLG_CANCEL), LoadStr(IDS_MSGDLG_RETRY),
                  LoadStr(IDS_MSGDLG_CONTINUE)};
        break;
    default:
        break;
    }
}

// The n-th button counted over the standard buttons first, then over the custom ones from the
// first (id 100), as they are shown.
int DefaultButtonOf(uint32_t flags, TCommonButtons common) {
    const int n = 1 + static_cast<int>((flags >> 8) & 3); // MB_DEFBUTTON1..4
    static constexpr int Results[6] = {win::IDOK,     win::IDYES,   win::IDNO,
                                       win::IDCANCEL, win::IDRETRY, win::IDCLOSE};
    int seen = 0;
    for (int bit = 0; bit < 6; ++bit)
        if (common.Contains(static_cast<TCommonButton>(bit)) && ++seen == n)
            return Results[bit];
    return 100 + (n - seen - 1);
}

int ResultOf(int id, uint32_t group) {
    if (id >= 1 && id <= 7)
        return id;
    switch (group) {
    case win::MB_ABORTRETRYIGNORE:
        if (id == 100)
            return win::IDABORT;
        if (id == 101)
            return win::IDRETRY;
        if (id == 102)
            return win::IDIGNORE;
        break;
    case win::MB_RETRYCANCEL:
        if (id == 100)
            return win::IDRETRY;
        if (id == 101)
            return win::IDCANCEL;
        break;
    case win::MB_CANCELTRYCONTINUE:
        if (id == 100)
            return win::IDCANCEL;
        if (id == 101)
            return win::IDTRYAGAIN;
        if (id == 102)
            return win::IDCONTINUE;
        break;
    default:
        break;
    }
    return 0;
}

} // namespace

bool TaskMessageDlg(const std::string& title, const std::string& instruction,
                    const std::string& content, const std::string& verification,
                    TTaskDialogIcon icon) {
    TCustomTaskDialog dialog(&Application);
    dialog.WindowTitle = title;
    dialog.SetMainInstruction(instruction);
    dialog.SetContent(content);
    dialog.VerificationText = verification;
    dialog.MainIcon = icon;
    dialog.Execute();
    return !verification.empty() && dialog.VerificationChecked;
}

bool ShowMessage(const std::string& text) {
    return TaskMessageDlg("", text, "", "", TTaskDialogIcon::tiInformation);
}

bool ShowMessageFmt(const std::string& templ, std::initializer_list<TFormatArg> args) {
    return ShowMessage(Format(templ, args));
}

int TaskMessageBox(THandle owner, const std::string& text, const std::string& caption,
                   uint32_t flags) {
    (void)owner; // the dialog's parent is the application window
    TCustomTaskDialog dialog(&Application);
    dialog.WindowTitle = caption;
    dialog.SetMainInstruction(text);
    dialog.MainIcon = IconOf(flags);

    uint32_t group = flags & 0x0F;
    TCommonButtons common;
    std::vector<std::string> custom;
    ButtonsOf(group, common, custom);
    if (flags & win::MB_HELP)
        custom.push_back(LoadStr(IDS_MSGDLG_HELP));
    dialog.CommonButtons = common;
    // Added one by one: a caption is a button even if the string table lost its text.
    for (const std::string& line : custom)
        dialog.CustomButtons.Add(line);
    dialog.DefaultButton = DefaultButtonOf(flags, common);
    if (common.Contains(cbCancel))
        dialog.Options.Include(TTaskDialogOption::doAllowCancel);

    return ResultOf(dialog.Execute(), group);
}

} // namespace qb
