// The emulated window for keyboard users: the button drawn as the default is the one Enter
// presses, whatever holds the focus; close requests and Alt+F4 on windows with and without a
// close box; a resting pointer does not take the focus.
#include "MessageFormTestFixture.h"
#include <ostream>
#include "runtime/WinConst.h"

namespace qb {
namespace {

using Opt = TTaskDialogOption;
using CB = TCommonButton;

// Every push button that is the default (one at most) and the one drawn as the default now.
std::string Defaults(TForm& form) {
    std::string names;
    for (int i = 0; i < form.ComponentCount(); ++i)
        if (auto* control = dynamic_cast<TWinControl*>(form.Components(i)))
            if (control->IsPushButton() && control->Default())
                names += control->Name() + " ";
    TWinControl* drawn = form.DrawnDefaultButton();
    return names + "drawn " + (drawn ? drawn->Name() : "none");
}

struct TEnterCase {
    const char* Name;
    std::function<void(TCustomTaskDialog&)> Fill;
    const char* Focus; // given before Enter ("" keeps the first focus)
    const char* Expected;
    int Result;
};

void PrintTo(const TEnterCase& c, std::ostream* os) {
    *os << c.Name;
}

class DrawnDefaultTest : public MessageFormTest,
                         public ::testing::WithParamInterface<TEnterCase> {};

TEST_P(DrawnDefaultTest, EnterPressesTheButtonDrawnAsTheDefault) {
    const TEnterCase& c = GetParam();
    c.Fill(*Dialog);
    EXPECT_EQ(Run({user::Check([&](TForm& form) {
                       if (*c.Focus)
                           dynamic_cast<TWinControl*>(form.FindComponent(c.Focus))->SetFocus();
                       EXPECT_EQ(Defaults(form), c.Expected);
                   }),
                   user::Key(win::VK_RETURN)}),
              c.Result);
}

INSTANTIATE_TEST_SUITE_P(Table, DrawnDefaultTest,
                         ::testing::Values(TEnterCase{"FocusedDefault",
                                                      [](TCustomTaskDialog& d) {
                                                          d.CommonButtons = {CB::cbYes, CB::cbNo};
                                                      },
                                                      "", "Yes drawn Yes", 6},
                                           TEnterCase{"FocusOnAnotherPushButtonTakesTheRing",
                                                      [](TCustomTaskDialog& d) {
                                                          d.CommonButtons = {CB::cbYes, CB::cbNo};
                                                      },
                                                      "No", "Yes drawn No", 7},
                                           TEnterCase{"CheckBoxFocusedLeavesTheDefault",
                                                      [](TCustomTaskDialog& d) {
                                                          d.CommonButtons = {CB::cbYes, CB::cbNo};
                                                          d.DefaultButton = win::IDNO;
                                                          d.VerificationText = "Do not ask again";
                                                      },
                                                      "Verification", "No drawn No", 7},
                                           TEnterCase{"OneDefaultWhenAStandardAndACustomAreNamed",
                                                      [](TCustomTaskDialog& d) {
                                                          d.CommonButtons = {CB::cbOK};
                                                          d.CustomButtons.Add("Later");
                                                          d.DefaultButton = 100;
                                                          d.RadioButtons.Add("Only");
                                                      },
                                                      "Radio0", "Button0 drawn Button0", 100},
                                           TEnterCase{"FocusedCommandLink",
                                                      [](TCustomTaskDialog& d) {
                                                          d.CommonButtons = {CB::cbCancel};
                                                          d.CustomButtons.Add("Run\\nIn DOSBox");
                                                          d.CustomButtons.Add("Print");
                                                          d.Options += Opt::doCommandLinks;
                                                          d.DefaultButton = 101;
                                                      },
                                                      "", "drawn Button1", 101}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MessageFormTest, ExpandControlTakesEnterAndTheDialogGoesOn) {
    Dialog->CommonButtons = {CB::cbOK};
    Dialog->ExpandedText = "More";
    EXPECT_EQ(Run({user::Check([](TForm& form) {
                       Find<TWinControl>(form, "ExpandButton")->SetFocus();
                       EXPECT_EQ(Defaults(form), "OK drawn ExpandButton");
                       EXPECT_FALSE(Window(form).Expanded);
                   }),
                   user::Key(win::VK_RETURN),
                   user::Check([](TForm& form) { EXPECT_TRUE(Window(form).Expanded); }),
                   user::Key(win::VK_TAB), user::Key(win::VK_RETURN)}),
              1);
}

TEST_F(MessageFormTest, APointerRestingOnACommandLinkLeavesTheFocusAndEnterToTheDefault) {
    Dialog->CustomButtons.Add("Write the shortcuts\\nOn this user's desktop");
    Dialog->CustomButtons.Add("Cancel setup");
    Dialog->Options += Opt::doCommandLinks;
    Dialog->DefaultButton = 101;
    auto resting = [](TForm& form) {
        const TControl* link = Find<TControl>(form, "Button0");
        return TPoint{link->Left() + 20, link->Top() + 10};
    };
    TPoint at;
    EXPECT_EQ(Run({user::Check([&](TForm& form) {
                  at = resting(form);
                  // The one move the system makes when the dialog appears under the pointer.
                  Screen.Play({user::MouseMove(at.X, at.Y), user::MouseMove(at.X, at.Y),
                               user::Key(win::VK_RETURN)});
              })}),
              101);
}

struct TCloseCase {
    const char* Name;
    TCommonButtons Common;
    TTaskDialogOptions Options;
    bool Closes; // else the request is ignored and Return answers
    int Result;
};

void PrintTo(const TCloseCase& c, std::ostream* os) {
    *os << c.Name;
}

class CloseRequestTest : public MessageFormTest,
                         public ::testing::WithParamInterface<TCloseCase> {};

TEST_P(CloseRequestTest, OnlyAWindowWithACloseBoxCloses) {
    const TCloseCase& c = GetParam();
    Dialog->CommonButtons = c.Common;
    Dialog->Options = c.Options;
    Screen.Play({user::CloseRequest(), user::Key(win::VK_F4, ssAlt), user::Key(win::VK_RETURN)});
    EXPECT_EQ(Dialog->Execute(), c.Result);
    EXPECT_EQ(Screen.StepsLeft(), c.Closes ? 2u : 0u);
    Screen.Play({});
    EXPECT_EQ(Screen.MenuActivations, 0); // Alt+F4 was refused without opening the menu
}

INSTANTIATE_TEST_SUITE_P(
    Table, CloseRequestTest,
    ::testing::Values(TCloseCase{"YesNoHasNoCloseBox", {CB::cbYes, CB::cbNo}, {}, false, 6},
                      TCloseCase{
                          "AllowCancel", {CB::cbYes, CB::cbNo}, {Opt::doAllowCancel}, true, 2},
                      TCloseCase{"CancelButton", {CB::cbOK, CB::cbCancel}, {}, true, 2},
                      TCloseCase{"Minimizable", {CB::cbOK}, {Opt::doAllowMinimize}, true, 2}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TUnicodeCase {
    uint32_t CodePage;
    std::string Instruction; // in that code page
    std::u16string Expected;
};

TEST_F(MessageFormTest, CtrlCPutsTheTextOnTheClipboardInUnicodeToo) {
    const TUnicodeCase cases[] = {
        {1252,
         "Gr\xFC\xDF"
         "e \x96 5 \x80",
         u"Gr\u00FC\u00DF"
         "e \u2013 5 \u20AC"},
        // Katakana A, KI and RA: their second bytes are 'A', 'L' and 0x89.
        {932, "\x83\x41\x83\x4C\x83\x89", u"\u30A2\u30AD\u30E9"},
        {65001, "\xC5\x81ukasz", u"\u0141ukasz"},
    };
    for (const TUnicodeCase& c : cases) {
        SCOPED_TRACE(c.CodePage);
        Machine.CodePage = c.CodePage;
        Dialog->WindowTitle = "T";
        Dialog->SetMainInstruction(c.Instruction);
        Dialog->CommonButtons = {CB::cbOK};
        EXPECT_EQ(Run({user::Key('C', ssCtrl | ssShift), user::Click("OK")}), 1);
        EXPECT_EQ(Screen.Clipboard, "T\r\n" + c.Instruction + "\r\n");
        EXPECT_EQ(Screen.ClipboardUnicode, u"T\r\n" + c.Expected + u"\r\n");
    }
}

TEST_F(MessageFormTest, CtrlCInTheInputFieldCopiesItsSelection) {
    Dialog->WindowTitle = "Title";
    Dialog->InputType = TTaskDialogInputType::itEdit;
    Dialog->InputText = "c:\\zorn\\kestro.exe";
    Dialog->CommonButtons = {CB::cbOK};
    Screen.Clipboard = "before";
    EXPECT_EQ(Run({user::Check([](TForm& form) { Window(form).InputEdit->SetName("Field"); }),
                   user::Key('C', ssCtrl), // nothing selected: nothing copied
                   user::Check([this](TForm&) { EXPECT_EQ(Screen.Clipboard, "before"); }),
                   user::SelectText("Field", 8, 6), user::Key('C', ssCtrl), user::Click("OK")}),
              1);
    EXPECT_EQ(Screen.Clipboard, "kestro");
    EXPECT_EQ(Screen.Beeps, 0);
}

TEST_F(MessageFormTest, CharactersTypedIntoTheFieldArriveWhole) {
    Machine.CodePage = 65001;
    Dialog->InputType = TTaskDialogInputType::itEdit;
    Dialog->CustomButtons.Add("&Go");
    EXPECT_EQ(Run({user::WideChars(u"\u0141\u00F3d\u017A g"), user::Click("Button0")}), 100);
    EXPECT_EQ(Dialog->InputText, "\xC5\x81\xC3\xB3"
                                 "d\xC5\xBA g");
}

TEST_F(MessageFormTest, AltAloneStillReachesTheWindowMenu) {
    Dialog->CommonButtons = {CB::cbOK, CB::cbCancel};
    EXPECT_EQ(Run({user::Key(win::VK_F4, ssAlt), user::Key(win::VK_MENU), user::Click("OK")}), 1);
    EXPECT_EQ(Screen.MenuActivations, 1);
}

} // namespace
} // namespace qb
