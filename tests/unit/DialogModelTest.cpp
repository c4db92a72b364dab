#include "DialogTestFixture.h"
#include "dialogs/TaskDialog.h"
#include "resources/ResourceIds.h"
#include "runtime/Application.h"
#include <gtest/gtest.h>

namespace qb {
namespace {

using enum TCommonButton;
using enum TTaskDialogOption;

TEST_F(DialogTest, FreshDialogHasTheModelDefaults) {
    TCustomTaskDialog d(&Application);
    EXPECT_EQ(d.Owner(), &Application);
    EXPECT_EQ(d.DefaultRadioButton, 200);
    EXPECT_EQ(d.ProgressMax, 100);
    EXPECT_EQ(d.MinimumWidth, 350);
    EXPECT_EQ(d.InputType, TTaskDialogInputType::itNone);
    EXPECT_EQ(d.MainIcon, TTaskDialogIcon::tiBlank);
    EXPECT_EQ(d.FooterIcon, TTaskDialogFooterIcon::tfNone);
    EXPECT_EQ(d.DialogPosition, TTaskDialogPosition::dpScreenCenter);
    EXPECT_EQ(d.FooterColor, 0xF0F0F0u);
    EXPECT_EQ(d.FooterLineColor, 0xDFDFDFu);
    // Everything else empty, zero or false.
    EXPECT_TRUE(d.WindowTitle.empty() && d.Content().empty() && d.FooterText.empty() &&
                d.MainInstruction().empty() && d.ExpandedText.empty() &&
                d.CollapsedControlText.empty() && d.ExpandedControlText.empty() &&
                d.VerificationText.empty() && d.InputText.empty());
    EXPECT_TRUE(d.CommonButtons.Empty() && d.Options.Empty());
    EXPECT_TRUE(d.CustomButtons.Empty() && d.RadioButtons.Empty() && d.InputItems.Empty());
    EXPECT_TRUE(d.CustomIcon.Empty());
    EXPECT_EQ(d.RadioButtonResult + d.HelpContextId + d.ProgressMin + d.AutoCloseTimeout +
                  d.ElapsedTime + d.DefaultButton,
              0);
    EXPECT_FALSE(d.NativeActive || d.VerificationChecked || d.AutoClose || d.ApplicationOwned ||
                 d.ForceEmulation);
    EXPECT_EQ(d.DialogHandle, 0u);
    EXPECT_EQ(d.ParentWindow, 0u);
    EXPECT_EQ(d.MessageForm, nullptr);
    EXPECT_EQ(d.InputControl(), nullptr);
    EXPECT_FALSE(d.OnDialogCreated || d.OnDialogTimer || d.OnHyperlinkClick || d.OnButtonClick ||
                 d.OnRadioButtonClick || d.OnVerificationClick || d.OnProgress || d.OnCloseQuery ||
                 d.OnGetInputText || d.OnSetInputText);
}

TEST_F(DialogTest, ModuleTablesAndCaptionsLoadedOnEachUse) {
    const char* names[] = {"OK", "Yes", "No", "Cancel", "Retry", "Abort"};
    const int results[] = {1, 6, 7, 2, 4, 3};
    const char* captions[] = {"OK", "&Yes", "&No", "Cancel", "&Retry", "&Abort"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_STREQ(StandardButtons[i].Name, names[i]);
        EXPECT_EQ(StandardButtons[i].Result, results[i]);
        EXPECT_EQ(StandardButtonCaption(static_cast<TCommonButton>(i)), captions[i]);
    }
    EXPECT_EQ(MainIconIds, (std::array<int, 7>{32516, 32515, 32514, 32513, 32516, 0, 32513}));
    EXPECT_EQ(FooterIconIds, (std::array<int, 6>{0, 32515, 32514, 32513, 32516, 32517}));

    TTranslatedMachine translated;
    SetPlatform(translated.AsPlatform(&Native));
    EXPECT_EQ(StandardButtonCaption(cbNo), "&No");
    translated.Translate = true;
    EXPECT_EQ(StandardButtonCaption(cbNo), "[&No]");

    // Start-up is counted: only the last shutdown forgets the captions.
    InitTaskDialogModule();
    DoneTaskDialogModule();
    EXPECT_EQ(StandardButtonCaption(cbOK), "[OK]");
    DoneTaskDialogModule();
    EXPECT_EQ(StandardButtonCaption(cbOK), "");
    InitTaskDialogModule(); // balanced by TearDown
}

TEST_F(DialogTest, TextChangesReachOnlyARunningNativeDialog) {
    TCustomTaskDialog d(&Application);
    d.SetContent("first");
    d.SetMainInstruction("head");
    EXPECT_TRUE(Native.Sent.empty()) << "no dialog on screen";
    EXPECT_EQ(d.Content(), "first");

    d.OnDialogCreated = [&](TComponent* sender) {
        EXPECT_EQ(sender, &d);
        d.SetContent("first"); // unchanged: nothing sent
        d.SetContent("second\\n\x80");
        d.SetMainInstruction("head\\\\n2");
        d.SetMainInstruction("head\\\\n2");
    };
    d.Execute();
    ASSERT_EQ(Native.Sent.size(), 2u);
    EXPECT_EQ(Native.Sent[0].Window, Native.Window);
    EXPECT_EQ(Native.Sent[0].Message, win::TDM_UPDATE_ELEMENT_TEXT);
    EXPECT_EQ(Native.Sent[0].WParam, win::TDE_CONTENT);
    EXPECT_EQ(Native.Sent[0].Text, u"second\n\u20AC") << "the newline rule of creation, in UTF-16";
    EXPECT_EQ(Native.Sent[1].WParam, win::TDE_MAIN_INSTRUCTION);
    EXPECT_EQ(Native.Sent[1].Text, u"head\\n2") << "a written backslash-n stays";
    EXPECT_EQ(d.Content(), "second\\n\x80") << "stored as written";

    // The kept handle may name another window by now: nothing more is sent to it.
    d.SetContent("after");
    d.CloseDialog();
    EXPECT_EQ(Native.Sent.size(), 2u);
    EXPECT_EQ(d.DialogHandle, Native.Window) << "the last handle is kept";
}

TEST_F(DialogTest, InputControlIsForgottenWhenFreedAndLeftAloneWhenTheDialogGoesFirst) {
    {
        TComponent form(nullptr);
        auto* control = new TComponent(&form);
        TCustomTaskDialog d(&form);
        d.SetInputControl(control);
        delete control;
        EXPECT_EQ(d.InputControl(), nullptr);
    }
    {
        TComponent control(nullptr);
        auto* d = new TCustomTaskDialog(&Application);
        d->SetInputControl(&control);
        delete d; // the control must not tell a freed dialog anything later (ASan)
        EXPECT_EQ(control.ComponentCount(), 0);
    }
    {
        // A control that is replaced stops notifying the dialog.
        TCustomTaskDialog d(nullptr);
        auto* old = new TComponent(nullptr);
        TComponent current(nullptr);
        d.SetInputControl(old);
        d.SetInputControl(&current);
        delete old;
        EXPECT_EQ(d.InputControl(), &current);
    }
}

} // namespace
} // namespace qb
