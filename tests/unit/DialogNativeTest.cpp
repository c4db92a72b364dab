#include "DialogTestFixture.h"
#include "dialogs/TaskDialogNative.h"
#include "runtime/Application.h"
#include <gtest/gtest.h>

namespace qb {
namespace {

using enum TTaskDialogOption;

TEST_F(DialogTest, VersionProbeChoosesTheNativeDialogOrTheEmulatedWindow) {
    const struct {
        uint32_t OsMajor;
        int32_t ComCtl;
        bool Force;
        bool Native;
    } cases[] = {
        {10, 0x0006000A, false, true}, {6, 0x00060000, false, true},
        {10, 0x0006000A, true, false}, // forced emulation even where the native dialog exists
        {5, 0x0006000A, false, false}, {10, 0x00050051, false, false}, // Wine's 5.81
        {10, -1, false, true}, // a failed probe counts as new enough
    };
    for (const auto& c : cases) {
        Machine.Version.Major = c.OsMajor;
        Machine.ComCtl32Version = c.ComCtl;
        Native.Shown.clear();
        TCustomTaskDialog d(nullptr);
        d.ForceEmulation = c.Force;
        d.ElapsedTime = 500;
        if (!c.Native)
            Screen.Play({user::Click("OK")}); // the emulated window's only button
        int result = d.Execute();
        EXPECT_EQ(Native.Shown.size(), c.Native ? 1u : 0u) << c.OsMajor << " " << c.ComCtl;
        EXPECT_EQ(result, win::IDOK);
        EXPECT_EQ(Screen.StepsLeft(), 0u);
        EXPECT_TRUE(Screen.ScriptErrors.empty());
        EXPECT_EQ(d.NativeActive, c.Native);
        EXPECT_EQ(d.ElapsedTime, 0);
    }
}

TEST_F(DialogTest, MissingLibraryOrEntryPointShowsNothing) {
    TCustomTaskDialog d(nullptr);
    Native.Comctl32Loads = false;
    EXPECT_EQ(d.Execute(), -1);
    EXPECT_FALSE(d.NativeActive);
    Native.Comctl32Loads = true;
    Native.TaskDialogIndirectExists = false;
    EXPECT_EQ(d.Execute(), -1);
    EXPECT_TRUE(d.NativeActive);
    EXPECT_TRUE(Native.Shown.empty());
    SetPlatform({});
    EXPECT_EQ(d.Execute(), -1) << "no platform at all";
}

TEST_F(DialogTest, OptionsBecomeFlagsInTheirOrder) {
    const struct {
        TTaskDialogOptions Options;
        bool Custom;
        bool AutoClose;
        uint32_t Flags;
    } cases[] = {
        {{doCommandLinks}, false, false, 0},
        {{doCommandLinks}, true, false, 0x10},
        {{doCommandLinks, doCommandLinksNoIcon}, true, false, 0x20},
        {{doCommandLinksNoIcon}, false, false, 0x20},
        {{}, false, true, 0x0800}, // AutoClose alone turns the timer on
        {{doTimer}, false, false, 0x0800},
        {{doProgressBar}, false, false, 0x0A00},
        {{doProgressMarquee}, false, false, 0x0C00},
        {{doHyperlinks, doExpandedDefault, doExpandFooter, doAllowMinimize, doVerificationChecked,
          doNoDefaultRadio, doAllowCancel},
         false,
         false,
         0x0001 | 0x0080 | 0x0040 | 0x8000 | 0x0100 | 0x4000 | 0x0008},
    };
    for (const auto& c : cases) {
        Native.Shown.clear();
        TCustomTaskDialog d(nullptr);
        d.Options = c.Options;
        d.AutoClose = c.AutoClose;
        if (c.Custom)
            d.CustomButtons.Add("Go");
        d.Execute();
        EXPECT_EQ(Config().Flags, c.Flags) << "options 0x" << std::hex << c.Options.Bits();
    }
    Native.Shown.clear();
    TCustomTaskDialog d(nullptr);
    d.DialogPosition = TTaskDialogPosition::dpOwnerFormCenter;
    d.Execute();
    EXPECT_EQ(Config().Flags, win::TDF_POSITION_RELATIVE_TO_WINDOW);
}

TEST_F(DialogTest, IconsTakeTheSystemsDocumentedValuesOrASystemIconHandle) {
    constexpr THandle Question = TScriptedTaskDialog::SystemIconHandle(win::IDI_QUESTION, false);
    constexpr THandle SmallQuestion =
        TScriptedTaskDialog::SystemIconHandle(win::IDI_QUESTION, true);
    const struct {
        uintptr_t Value;
        bool Handle;
    } mains[] = {{17, false},     {0xFFFF, false}, {Question, true}, {0xFFFE, false},
                 {0xFFFD, false}, {0, false},      {0xFFFC, false}},
      footers[] = {{0, false},      {0xFFFF, false}, {SmallQuestion, true},
                   {0xFFFE, false}, {0xFFFD, false}, {0xFFFC, false}};
    for (size_t i = 0; i < std::size(mains); ++i) {
        Native.Shown.clear();
        TCustomTaskDialog d(nullptr);
        d.MainIcon = static_cast<TTaskDialogIcon>(i);
        d.Execute();
        EXPECT_EQ(Config().MainIcon, mains[i].Value) << i;
        EXPECT_EQ(Config().Flags, mains[i].Handle ? win::TDF_USE_HICON_MAIN : 0u) << i;
    }
    for (size_t i = 0; i < std::size(footers); ++i) {
        Native.Shown.clear();
        TCustomTaskDialog d(nullptr);
        d.MainIcon = TTaskDialogIcon::tiNone;
        d.FooterIcon = static_cast<TTaskDialogFooterIcon>(i);
        d.Execute();
        EXPECT_EQ(Config().FooterIcon, footers[i].Value) << i;
        EXPECT_EQ(Config().Flags, footers[i].Handle ? win::TDF_USE_HICON_FOOTER : 0u) << i;
    }

    // A custom icon replaces the main icon; the footer keeps its own.
    Native.Shown.clear();
    TCustomTaskDialog d(nullptr);
    d.MainIcon = TTaskDialogIcon::tiWarning;
    d.FooterIcon = TTaskDialogFooterIcon::tfQuestion;
    d.CustomIcon.SetHandle(0x1234);
    d.Execute();
    EXPECT_EQ(Config().MainIcon, 0x1234u);
    EXPECT_EQ(Config().FooterIcon, SmallQuestion);
    EXPECT_EQ(Config().Flags, win::TDF_USE_HICON_MAIN | win::TDF_USE_HICON_FOOTER);

    // Without the system's icon the question shows none rather than a handle of 0.
    Native.Shown.clear();
    Native.SystemIconsLoad = false;
    d.CustomIcon.SetHandle(0);
    d.MainIcon = TTaskDialogIcon::tiQuestion;
    d.Execute();
    EXPECT_EQ(Config().MainIcon, 0u);
    EXPECT_EQ(Config().FooterIcon, 0u);
    EXPECT_EQ(Config().Flags, 0u);
}

TEST_F(DialogTest, UnescapeNewlinesRule) {
    EXPECT_EQ(UnescapeNewlines("a\\nb"), "a\nb");
    EXPECT_EQ(UnescapeNewlines("a\\\\nb"), "a\\nb") << "a literal backslash-n";
    EXPECT_EQ(UnescapeNewlines("a\\\\nb\\nc"), "a\\nb\\nc") << "the first form wins alone";
    EXPECT_EQ(UnescapeNewlines("a\\n\\nb"), "a\n\nb");
    EXPECT_EQ(UnescapeNewlines("c:\\new\\"), "c:\new\\") << "paths are texts too";
    EXPECT_EQ(UnescapeNewlines("plain\\"), "plain\\");
    EXPECT_EQ(UnescapeNewlines(""), "");
}

TEST_F(DialogTest, TextsButtonsAndRadiosReachTheConfiguration) {
    TCustomTaskDialog d(nullptr);
    d.WindowTitle = "T\\nT";
    d.SetMainInstruction("M\\nM");
    d.SetContent("a\\nb");
    d.FooterText = "F\\nF";
    d.ExpandedText = "E\\nE";
    d.ExpandedControlText = "X\\nX";
    d.CollapsedControlText = "C\\nC";
    d.VerificationText = "V\\nV \x80";
    d.CommonButtons = {TCommonButton::cbOK, TCommonButton::cbRetry, TCommonButton::cbClose};
    d.CustomButtons.SetText("Run\\nnow\n" + std::string(2000, 'x'));
    d.RadioButtons.SetText("One\nTwo");
    d.DefaultButton = 101;
    d.DefaultRadioButton = 201;
    d.Execute();
    const TNativeTaskDialogConfig& c = Config();
    EXPECT_EQ(c.WindowTitle, u"T\nT");
    EXPECT_EQ(c.MainInstruction, u"M\nM");
    EXPECT_EQ(c.Content, u"a\nb");
    EXPECT_EQ(c.Footer, u"F\nF");
    EXPECT_EQ(c.ExpandedInformation, u"E\\nE") << "kept as written";
    EXPECT_EQ(c.ExpandedControlText, u"X\\nX");
    EXPECT_EQ(c.CollapsedControlText, u"C\\nC");
    EXPECT_EQ(c.VerificationText, u"V\\nV \u20AC");
    EXPECT_EQ(c.CommonButtons, 0x01u | 0x10u | 0x20u);
    ASSERT_EQ(c.Buttons.size(), 2u);
    EXPECT_EQ(c.Buttons[0].Id, 100);
    EXPECT_EQ(c.Buttons[0].Text, u"Run\nnow");
    EXPECT_EQ(c.Buttons[1].Id, 101);
    EXPECT_EQ(c.Buttons[1].Text, std::u16string(1023, u'x')) << "cut to the buffer";
    ASSERT_EQ(c.RadioButtons.size(), 2u);
    EXPECT_EQ(c.RadioButtons[1].Id, 201);
    EXPECT_EQ(c.RadioButtons[1].Text, u"Two");
    EXPECT_EQ(c.DefaultButton, 101);
    EXPECT_EQ(c.DefaultRadioButton, 201);
    EXPECT_EQ(c.Width, 0u);
    EXPECT_EQ(c.Callback, &NativeDialogCallback);
    EXPECT_EQ(c.CallbackData, reinterpret_cast<intptr_t>(&d));

    Native.Shown.clear();
    TCustomTaskDialog empty(nullptr);
    empty.Execute();
    const TNativeTaskDialogConfig& e = Config();
    EXPECT_FALSE(e.WindowTitle || e.MainInstruction || e.Content || e.Footer ||
                 e.ExpandedInformation || e.ExpandedControlText || e.CollapsedControlText ||
                 e.VerificationText)
        << "empty texts stay null";
}

class TWindowedOwner : public TComponent {
public:
    using TComponent::TComponent;
    bool IsWindowedControl() const override { return true; }
    THandle WindowHandle() override { return 0x777; }
};

TEST_F(DialogTest, ParentWindowComesFromParentWindowThenAWindowedOwnerThenTheApplication) {
    TWindowedOwner form(nullptr);
    TComponent plain(nullptr);
    const struct {
        TComponent* Owner;
        THandle ParentWindow;
        bool ApplicationOwned;
        THandle Parent;
    } cases[] = {
        {&form, 0, false, 0x777},       {&form, 0x4242, false, 0x4242}, {&form, 0, true, 0},
        {&plain, 0, false, 0},          {nullptr, 0, false, 0},         {&Application, 0, false, 0},
        {&plain, 0x4242, true, 0x4242},
    };
    for (const auto& c : cases) {
        Native.Shown.clear();
        TCustomTaskDialog d(c.Owner);
        d.ParentWindow = c.ParentWindow;
        d.ApplicationOwned = c.ApplicationOwned;
        d.Execute();
        EXPECT_EQ(Config().Parent, c.Parent);
    }
}

TEST_F(DialogTest, ScriptedOutputsBecomeTheResults) {
    TCustomTaskDialog d(nullptr);
    d.RadioButtons.SetText("a\nb");
    d.VerificationText = "check";
    Native.Answers.push_back(TScriptedDialogAnswer::Click(win::IDCANCEL, 201, true));
    EXPECT_EQ(d.Execute(), win::IDCANCEL);
    EXPECT_EQ(d.RadioButtonResult, 201);
    EXPECT_TRUE(d.VerificationChecked);
    EXPECT_EQ(d.DialogHandle, Native.Window);
}

} // namespace
} // namespace qb
