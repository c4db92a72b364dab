#include "DialogTestFixture.h"
#include "dialogs/MessageFacade.h"
#include "runtime/Application.h"
#include "runtime/Exception.h"
#include <gtest/gtest.h>

namespace qb {
namespace {

struct TBoxCase {
    uint32_t Flags;
    uintptr_t Icon;                  // native main icon value
    uint32_t Common;                 // TDCBF_ flags
    std::vector<std::string> Custom; // captions of ids 100, 101, ...
    int Default;
    bool AllowCancel;
};

TEST_F(DialogTest, MessageBoxFlagWordsBecomeIconsButtonsAndDefaults) {
    constexpr uintptr_t Question = TScriptedTaskDialog::SystemIconHandle(win::IDI_QUESTION, false);
    const TBoxCase cases[] = {
        {0x34, 0xFFFF, 0x06, {}, 6, false}, // MB_YESNO | MB_ICONEXCLAMATION
        {0x41, 0xFFFD, 0x09, {}, 1, true},  // MB_OKCANCEL | MB_ICONASTERISK
        {0x202, 17, 0, {"Abort", "&Retry", "&Ignore"}, 102, false},
        {0x4000, 17, 0x01, {"&Help"}, 1, false},
        {0x4002, 17, 0, {"Abort", "&Retry", "&Ignore", "&Help"}, 100, false},
        {0x100, 17, 0x01, {}, 100, false}, // a default no button has
        {0x15, 0xFFFE, 0, {"&Retry", "Cancel"}, 100, false},
        {0x326, Question, 0, {"Cancel", "&Retry", "continue"}, 103, false},
        {0x203, 17, 0x0E, {}, 2, true},   // third of Yes, No, Cancel
        {0x303, 17, 0x0E, {}, 100, true}, // fourth of three
        {0x50, 17, 0x01, {}, 1, false},   // unknown icon group: blank icon space
        {0x07, 17, 0, {}, 100, false},    // unknown button group: the native OK only
        // Counted past the standard buttons, the default goes on with the custom ones from 100.
        {0x4100, 17, 0x01, {"&Help"}, 100, false},
        {0x4304, 17, 0x06, {"&Help"}, 101, false}, // fourth of three
        {0x4203, 17, 0x0E, {"&Help"}, 2, true},
        {0x4303, 17, 0x0E, {"&Help"}, 100, true},
        {0x4205, 17, 0, {"&Retry", "Cancel", "&Help"}, 102, false},
    };
    for (const TBoxCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << c.Flags);
        Native.Shown.clear();
        Native.Answers.push_back(TScriptedDialogAnswer::Click(0));
        TaskMessageBox(0x999, "Ready to install?", "Quillbridge", c.Flags);
        const TNativeTaskDialogConfig& cfg = Config();
        EXPECT_EQ(cfg.MainIcon, c.Icon);
        EXPECT_EQ(cfg.CommonButtons, c.Common);
        ASSERT_EQ(cfg.Buttons.size(), c.Custom.size());
        for (size_t i = 0; i < c.Custom.size(); ++i) {
            EXPECT_EQ(cfg.Buttons[i].Id, 100 + static_cast<int>(i));
            EXPECT_EQ(cfg.Buttons[i].Text, U(c.Custom[i]));
        }
        EXPECT_EQ(cfg.DefaultButton, c.Default);
        EXPECT_EQ((cfg.Flags & win::TDF_ALLOW_DIALOG_CANCELLATION) != 0, c.AllowCancel);
        EXPECT_EQ(cfg.WindowTitle, u"Quillbridge");
        EXPECT_EQ(cfg.MainInstruction, u"Ready to install?");
        EXPECT_FALSE(cfg.Content.has_value());
        EXPECT_EQ(cfg.Parent, 0u) << "the owner handle is not used";
    }
}

TEST_F(DialogTest, MessageBoxCaptionsComeFromTheStringTableAtEachCall) {
    TTranslatedMachine translated;
    SetPlatform(translated.AsPlatform(&Native));
    translated.Translate = true;
    TaskMessageBox(0, "t", "c", win::MB_ABORTRETRYIGNORE | win::MB_HELP);
    translated.Translate = false;
    TaskMessageBox(0, "t", "c", win::MB_CANCELTRYCONTINUE);
    ASSERT_EQ(Native.Shown.size(), 2u);
    std::vector<std::u16string> first, second;
    for (const TNativeButton& b : Native.Shown[0].Buttons)
        first.push_back(b.Text);
    for (const TNativeButton& b : Native.Shown[1].Buttons)
        second.push_back(b.Text);
    EXPECT_EQ(first,
              (std::vector<std::u16string>{u"[Abort]", u"[&Retry]", u"[&Ignore]", u"[&Help]"}));
    EXPECT_EQ(second, (std::vector<std::u16string>{u"Cancel", u"&Retry", u"continue"}));
}

TEST_F(DialogTest, MessageBoxMapsTheClosingButtonToAResultCode) {
    const struct {
        uint32_t Flags;
        int Button;
        int Result;
    } cases[] = {
        {0x34, 6, 6},    {0x34, 7, 7},     {0x41, 2, 2},     {0x202, 100, 3}, {0x202, 101, 4},
        {0x202, 102, 5}, {0x05, 100, 4},   {0x05, 101, 2},   {0x06, 100, 2},  {0x06, 101, 10},
        {0x06, 102, 11}, {0x4000, 100, 0}, {0x4002, 103, 0}, {0x00, 8, 0},    {0x00, 0, 0},
        {0x00, 101, 0},  {0x04, 9, 0},
    };
    int before = Application.ComponentCount();
    for (const auto& c : cases) {
        Native.Answers.push_back(TScriptedDialogAnswer::Click(c.Button));
        EXPECT_EQ(TaskMessageBox(0, "text", "caption", c.Flags), c.Result)
            << "flags 0x" << std::hex << c.Flags << " button " << std::dec << c.Button;
    }
    EXPECT_EQ(Application.ComponentCount(), before) << "each call frees its dialog";
}

TEST_F(DialogTest, FacadeReportsNothingWhenNoDialogCanBeShown) {
    Native.Answers.push_back(TScriptedDialogAnswer::Click(win::IDYES, 0, true));
    Native.Comctl32Loads = false;
    EXPECT_EQ(TaskMessageBox(0, "t", "c", 0x34), 0);
    EXPECT_FALSE(TaskMessageDlg("t", "i", "c", "Don't ask again", TTaskDialogIcon::tiWarning));
    Native.Comctl32Loads = true;
    Native.TaskDialogIndirectExists = false;
    EXPECT_EQ(TaskMessageBox(0, "t", "c", 0x34), 0);
    Native.TaskDialogIndirectExists = true;
    Machine.ComCtl32Version = 0x00050051; // 5.81: the emulated window, which shows nothing yet
    EXPECT_EQ(TaskMessageBox(0, "t", "c", 0x34), 0);
    EXPECT_TRUE(Native.Shown.empty());
}

TEST_F(DialogTest, MessageDialogShowsItsTextsAndReportsTheCheckBox) {
    Native.Answers.push_back(TScriptedDialogAnswer::Click(win::IDOK, 0, true));
    EXPECT_TRUE(TaskMessageDlg("Title", "Head", "Body", "Remember", TTaskDialogIcon::tiQuestion));
    const TNativeTaskDialogConfig& cfg = Native.Shown.back();
    EXPECT_EQ(cfg.WindowTitle, u"Title");
    EXPECT_EQ(cfg.MainInstruction, u"Head");
    EXPECT_EQ(cfg.Content, u"Body");
    EXPECT_EQ(cfg.VerificationText, u"Remember");
    EXPECT_EQ(cfg.MainIcon, TScriptedTaskDialog::SystemIconHandle(win::IDI_QUESTION, false));

    // Without a verification text a "checked" answer means nothing.
    Native.Answers.push_back(TScriptedDialogAnswer::Click(win::IDOK, 0, true));
    EXPECT_FALSE(ShowMessage("Nothing found"));
    const TNativeTaskDialogConfig& shown = Native.Shown.back();
    EXPECT_FALSE(shown.WindowTitle || shown.Content || shown.VerificationText);
    EXPECT_EQ(shown.MainInstruction, u"Nothing found");
    EXPECT_EQ(shown.MainIcon, win::TD_INFORMATION_ICON);
    EXPECT_EQ(shown.CommonButtons, 0u) << "the native dialog adds its own OK";
    EXPECT_TRUE(shown.Buttons.empty());

    ShowMessageFmt("%s is missing in %s", {std::string("kestro.exe"), std::string("c:\\zorn\\")});
    EXPECT_EQ(Native.Shown.back().MainInstruction, u"kestro.exe is missing in c:\\zorn\\");
    size_t shownBefore = Native.Shown.size();
    EXPECT_THROW(ShowMessageFmt("%s and %s", {std::string("one")}), Exception);
    EXPECT_EQ(Native.Shown.size(), shownBefore) << "a bad template shows nothing";
}

} // namespace
} // namespace qb
