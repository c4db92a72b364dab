// The emulated window under a scripted user: Escape, Alt+F4 and the close box, Ctrl+C,
// accelerators of command links and of the expand control, and the focus when it opens.
#include "MessageFormTestFixture.h"
#include <ostream>
#include "runtime/WinConst.h"

namespace qb {
namespace {

using Opt = TTaskDialogOption;
using CB = TCommonButton;

struct TEscapeCase {
    const char* Name;
    TCommonButtons Common;
    std::vector<std::string> Custom;
    bool AllowCancel;
    int Expected; // 0: Escape leaves it open, the closing click gives Fallback
    const char* FallbackButton;
    int Fallback;
};

void PrintTo(const TEscapeCase& c, std::ostream* os) {
    *os << c.Name;
}

class EscapeTest : public MessageFormTest, public ::testing::WithParamInterface<TEscapeCase> {};

TEST_P(EscapeTest, EscapeCancelsOnlyWhenAllowed) {
    const TEscapeCase& c = GetParam();
    Dialog->CommonButtons = c.Common;
    for (const std::string& line : c.Custom)
        Dialog->CustomButtons.Add(line);
    if (c.AllowCancel)
        Dialog->Options += Opt::doAllowCancel;
    int result = Run({user::Key(win::VK_ESCAPE), user::Click(c.FallbackButton)});
    if (c.Expected != 0) {
        EXPECT_EQ(result, c.Expected);
        EXPECT_EQ(Screen.StepsLeft(), 1u);
        Screen.Play({}); // the unplayed click is not this test's
    } else {
        EXPECT_EQ(result, c.Fallback);
        EXPECT_EQ(Screen.StepsLeft(), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, EscapeTest,
    ::testing::Values(
        TEscapeCase{"YesNoWithoutAllowCancel", {CB::cbYes, CB::cbNo}, {}, false, 0, "Yes", 6},
        TEscapeCase{"YesNoAllowCancelPressesNo", {CB::cbYes, CB::cbNo}, {}, true, 7, "Yes", 6},
        TEscapeCase{"CancelButtonPressed", {CB::cbOK, CB::cbCancel}, {}, false, 2, "OK", 1},
        TEscapeCase{"NoButtonMarkedClosesWithTwo", {}, {"Alpha", "Beta"}, true, 2, "Button0", 100},
        TEscapeCase{"CustomWithoutAllowCancel", {}, {"Alpha", "Beta"}, false, 0, "Button1", 101}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MessageFormTest, AltF4NeverClosesButTheCloseBoxDoes) {
    Dialog->CommonButtons = {CB::cbYes, CB::cbNo};
    EXPECT_EQ(Run({user::Key(win::VK_F4, ssAlt), user::Click("No")}), 7);
    Dialog->Options += Opt::doAllowCancel;
    EXPECT_EQ(Run({user::Key(win::VK_F4, ssAlt), user::CloseBox()}), 2);
}

TEST_F(MessageFormTest, CloseBoxOnlyWithCancelOrMinimize) {
    struct TCase {
        TTaskDialogOptions Options;
        TCommonButtons Common;
        bool SystemMenu;
    } cases[] = {
        {{}, {CB::cbOK}, false},
        {{Opt::doAllowCancel}, {CB::cbOK}, true},
        {{}, {CB::cbCancel}, true},
        {{Opt::doAllowMinimize}, {CB::cbOK}, true},
    };
    for (const TCase& c : cases) {
        Dialog->Options = c.Options;
        Dialog->CommonButtons = c.Common;
        auto form = Build();
        EXPECT_EQ((form->BorderIcons() & biSystemMenu) != 0, c.SystemMenu);
        EXPECT_EQ((form->BorderIcons() & biMinimize) != 0,
                  c.Options.Contains(Opt::doAllowMinimize));
    }
}

TEST_F(MessageFormTest, CtrlCLeavesThePlainTextAndBeepsOnce) {
    Dialog->WindowTitle = "Title";
    Dialog->SetMainInstruction("Instruction");
    Dialog->SetContent("Content");
    Dialog->CommonButtons = {CB::cbOK};
    EXPECT_EQ(Run({user::Key('C', ssCtrl), user::Click("OK")}), 1);
    EXPECT_EQ(Screen.Clipboard, "Title\r\nInstruction\r\nContent");
    EXPECT_EQ(Screen.Beeps, 1);
}

TEST_F(MessageFormTest, CtrlShiftCCopiesWithoutBeep) {
    Dialog->WindowTitle = "Title";
    Dialog->CommonButtons = {CB::cbOK};
    EXPECT_EQ(Run({user::Key('C', ssCtrl | ssShift), user::Click("OK")}), 1);
    EXPECT_EQ(Screen.Clipboard, "Title\r\n\r\n");
    EXPECT_EQ(Screen.Beeps, 0);
}

TEST_F(MessageFormTest, HeldClipboardBeepsKeepsItsContentAndTheDialogGoesOn) {
    Screen.Clipboard = "someone else's";
    Screen.ClipboardHeld = true;
    Dialog->WindowTitle = "Title";
    Dialog->CommonButtons = {CB::cbYes, CB::cbNo};
    EXPECT_EQ(Run({user::Key('C', ssCtrl), user::Key('C', ssCtrl | ssShift), user::Click("No")}),
              7);
    EXPECT_EQ(Screen.Clipboard, "someone else's");
    EXPECT_EQ(Screen.ClipboardWrites, 0);
    EXPECT_EQ(Screen.Beeps, 2);
    EXPECT_TRUE(Machine.MessageBoxes.empty());
}

TEST_F(MessageFormTest, FramedTextListsPushButtonsWithoutAmpersands) {
    Dialog->WindowTitle = "Title";
    Dialog->SetMainInstruction("Question?");
    Dialog->CommonButtons = {CB::cbYes, CB::cbNo};
    Dialog->CustomButtons.Add("&Later");
    auto form = Build();
    const std::string d = std::string(27, '-') + "\r\n";
    EXPECT_EQ(form->FramedText(),
              d + "Title\r\n" + d + "Question?\r\n" + d + "Yes   No   Later   \r\n" + d);
}

TEST_F(MessageFormTest, CommandLinkAcceleratorClicksIt) {
    Dialog->CustomButtons.Add("&Save\\nKeeps the changes");
    Dialog->CustomButtons.Add("&Discard");
    Dialog->Options += Opt::doCommandLinks;
    int clicked = 0;
    Dialog->OnButtonClick = [&](TComponent* sender, int id) {
        EXPECT_EQ(sender, Dialog.get());
        clicked = id;
    };
    EXPECT_EQ(Run({user::AltChar('d')}), 101);
    EXPECT_EQ(clicked, 101);
    EXPECT_EQ(Run({user::AltChar('S')}), 100);
}

TEST_F(MessageFormTest, ExpandControlAcceleratorTogglesTheArea) {
    Dialog->ExpandedText = "Details here";
    Dialog->CollapsedControlText = "Show &details";
    Dialog->ExpandedControlText = "&Hide details";
    Dialog->CommonButtons = {CB::cbOK};
    auto expanded = [&](bool value) {
        return user::Check([value](TForm& form) {
            TMessageForm& window = Window(form);
            EXPECT_EQ(window.Expanded, value);
            // Its window is named for screen readers by the text painted beside it.
            EXPECT_EQ(window.ExpandButtonControl->Caption(),
                      value ? "Hide details" : "Show details");
        });
    };
    EXPECT_EQ(
        Run({expanded(false), user::AltChar('h'), expanded(false), user::AltChar('d'),
             expanded(true), user::AltChar('d'), expanded(true), user::AltChar('h'),
             expanded(false), user::Click("ExpandButton"), expanded(true), user::Click("OK")}),
        1);
}

TEST_F(MessageFormTest, ExpandControlCaptionIsPaintedBesideTheButton) {
    Dialog->ExpandedText = "Details here";
    Dialog->CollapsedControlText = "Show &details";
    Dialog->CommonButtons = {CB::cbOK};
    Run({user::Check([](TForm& form) { form.Invalidate(); }), user::Check([this](TForm& form) {
             TMessageForm& window = Window(form);
             const TRecordingCanvas* paint = Screen.LastPaint(form.Name());
             ASSERT_NE(paint, nullptr);
             const TTaskDialogButton& button = *window.ExpandButtonControl;
             bool found = false;
             for (const TCanvasRecord& r : paint->Records())
                 if (r.Op == TCanvasOp::Text && r.Text == "Show details") {
                     found = true;
                     EXPECT_EQ(r.Text[r.Underlined], 'd');
                     EXPECT_GE(r.Rect.Left,
                               button.Left() + button.Width() + window.HorzSpacing - 5);
                 }
             EXPECT_TRUE(found) << paint->Dump();
             // The button itself paints only its picture.
             const TRecordingCanvas* own = Screen.LastPaint("ExpandButton");
             ASSERT_NE(own, nullptr);
             for (const TCanvasRecord& r : own->Records())
                 EXPECT_NE(r.Op, TCanvasOp::Text) << own->Dump();
         }),
         user::Click("OK")});
}

struct TFocusCase {
    const char* Name;
    TCommonButtons Common;
    std::vector<std::string> Custom;
    int DefaultButton;
    TTaskDialogInputType Input;
    const char* Focused; // component name; "edit" for the input edit
};

void PrintTo(const TFocusCase& c, std::ostream* os) {
    *os << c.Name;
}

class FocusTest : public MessageFormTest, public ::testing::WithParamInterface<TFocusCase> {};

TEST_P(FocusTest, FocusWhenShown) {
    const TFocusCase& c = GetParam();
    Dialog->CommonButtons = c.Common;
    for (const std::string& line : c.Custom)
        Dialog->CustomButtons.Add(line);
    Dialog->DefaultButton = c.DefaultButton;
    Dialog->InputType = c.Input;
    Dialog->Options += Opt::doAllowCancel;
    Run({user::Check([&](TForm& form) {
             TWinControl* focused = Screen.FocusedControl();
             ASSERT_NE(focused, nullptr);
             if (std::string(c.Focused) == "edit")
                 EXPECT_EQ(focused, Window(form).InputEdit);
             else
                 EXPECT_EQ(focused->Name(), c.Focused);
         }),
         user::CloseBox()});
}

INSTANTIATE_TEST_SUITE_P(
    Table, FocusTest,
    ::testing::Values(
        TFocusCase{"DefaultStandard",
                   {CB::cbYes, CB::cbNo},
                   {},
                   win::IDNO,
                   TTaskDialogInputType::itNone,
                   "No"},
        TFocusCase{
            "DefaultCustom", {CB::cbOK}, {"A", "B"}, 101, TTaskDialogInputType::itNone, "Button1"},
        TFocusCase{"FirstCustomWithoutStandard",
                   {},
                   {"A", "B"},
                   0,
                   TTaskDialogInputType::itNone,
                   "Button0"},
        TFocusCase{"InputFieldLast", {CB::cbOK}, {}, 0, TTaskDialogInputType::itEdit, "edit"}),
    [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace qb
