// Forms on the headless screen: the modal loop and its end, keys through the dialog manager,
// focus and tab order, accelerators, mouse, timers, and errors stopped at the dispatch.
#include "RuntimeWindowingFixture.h"
#include "runtime/Application.h"
#include "runtime/WinConst.h"
#include <stdexcept>

namespace qb {
namespace {

using win::VK_DOWN;
using win::VK_ESCAPE;
using win::VK_RETURN;
using win::VK_SPACE;
using win::VK_TAB;
using win::VK_UP;

// A form that tells which characters reached DialogChar.
class TCharForm : public TForm {
public:
    using TForm::TForm;
    bool DialogChar(char ch) override {
        Chars += ch;
        return TForm::DialogChar(ch);
    }
    std::string Chars;
};

TEST_F(WindowingTest, ModalLoopEndsOnANonZeroResultOnly) {
    TForm form(nullptr);
    int clicks = 0;
    TButton* apply = AddButton(form, "Apply", "Apply", 0);
    apply->OnClick = [&](TComponent*) { ++clicks; };
    AddButton(form, "Yes", "&Yes", 6);
    EXPECT_EQ(Run(form, {user::Click("Apply"), user::Click("Apply"), user::Click("Yes"),
                         user::Click("Apply")}),
              6);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(Screen.StepsLeft(), 1u);
    EXPECT_FALSE(form.Visible());
    EXPECT_FALSE(form.Modal());
}

TEST_F(WindowingTest, CloseHandlerVetoKeepsTheLoopWithTheResultCleared) {
    TForm form(nullptr);
    AddButton(form, "OK", "OK", mrOk);
    int asked = 0;
    form.OnClose = [&](TComponent*, TCloseAction& action) {
        if (++asked == 1)
            action = TCloseAction::caNone;
    };
    EXPECT_EQ(Run(form, {user::Click("OK"),
                         user::Check([](TForm& f) { EXPECT_EQ(f.ModalResult(), mrNone); }),
                         user::CloseBox()}),
              mrCancel);
    EXPECT_EQ(asked, 2);
}

TEST_F(WindowingTest, CloseBoxAndAltF4GiveTwoAndKeyPreviewCanStopAltF4) {
    TForm form(nullptr);
    AddButton(form, "OK", "OK", mrOk);
    EXPECT_EQ(Run(form, {user::CloseBox()}), mrCancel);
    EXPECT_EQ(Run(form, {user::Key(win::VK_F4, ssAlt)}), mrCancel);
    form.KeyPreview = true;
    form.OnKeyDown = [](TComponent*, int& key, TShiftState shift) {
        if (key == win::VK_F4 && (shift & ssAlt))
            key = 0;
    };
    EXPECT_EQ(Run(form, {user::Key(win::VK_F4, ssAlt), user::Click("OK")}), mrOk);
    form.SetBorderIcons(0);
    EXPECT_EQ(Run(form, {user::CloseBox(), user::Click("OK")}), mrOk);
    ASSERT_EQ(Screen.ScriptErrors.size(), 1u);
    EXPECT_NE(Screen.ScriptErrors[0].find("no close box"), std::string::npos);
}

TEST_F(WindowingTest, NestedDialogTakesTheFollowingStepsThenTheOuterGoesOn) {
    TForm outer(nullptr);
    outer.SetName("Outer");
    TForm inner(nullptr);
    inner.SetName("Inner");
    AddButton(inner, "InnerOK", "OK", mrOk);
    AddButton(outer, "Done", "Done", mrOk);
    int innerResult = -1;
    TButton* open = AddButton(outer, "Open", "Open", 0);
    open->OnClick = [&](TComponent*) { innerResult = inner.ShowModal(); };
    EXPECT_EQ(
        Run(outer, {user::Click("Open"), user::Check([&](TForm& f) { EXPECT_EQ(&f, &inner); }),
                    user::Key(VK_ESCAPE), // inner has no cancel button: nothing
                    user::Click("InnerOK"), user::Check([&](TForm& f) { EXPECT_EQ(&f, &outer); }),
                    user::Click("Done")}),
        mrOk);
    EXPECT_EQ(innerResult, mrOk);
    EXPECT_EQ(Screen.FocusedControl(), nullptr);
}

TEST_F(WindowingTest, ScriptThatRunsOutEndsTheLoopAndSaysSo) {
    TForm form(nullptr);
    form.SetName("Lonely");
    AddButton(form, "OK", "OK", mrOk);
    EXPECT_EQ(Run(form, {user::Click("Missing")}), mrNone);
    ASSERT_EQ(Screen.ScriptErrors.size(), 2u);
    EXPECT_NE(Screen.ScriptErrors[0].find("Missing"), std::string::npos);
    EXPECT_NE(Screen.ScriptErrors[1].find("Lonely"), std::string::npos);
}

struct TDialogKeyCase {
    const char* Name;
    int Key;
    const char* Focus; // control focused first ("" none)
    bool HasCancel;
    int Result;
    const char* Chars; // what reached DialogChar
};

class DialogKeyTest : public WindowingTest, public ::testing::WithParamInterface<TDialogKeyCase> {};

TEST_P(DialogKeyTest, EnterAndEscapeFindTheirButtons) {
    const TDialogKeyCase& c = GetParam();
    TCharForm form(nullptr);
    AddButton(form, "Retry", "Retry", 4);
    AddButton(form, "Yes", "Yes", 6)->SetDefault(true);
    TButton* no = AddButton(form, "No", "No", 7);
    no->SetCancel(c.HasCancel);
    Add<TEdit>(form, "Edit");
    std::vector<TUserStep> steps;
    if (*c.Focus)
        steps.push_back(user::Check(
            [&](TForm& f) { static_cast<TWinControl*>(f.FindComponent(c.Focus))->SetFocus(); }));
    steps.push_back(user::Key(c.Key));
    steps.push_back(user::CloseBox());
    EXPECT_EQ(Run(form, steps), c.Result);
    EXPECT_EQ(form.Chars, c.Chars);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DialogKeyTest,
    ::testing::Values(TDialogKeyCase{"EnterDefault", VK_RETURN, "Edit", true, 6, ""},
                      TDialogKeyCase{"EnterFocusedButton", VK_RETURN, "Retry", true, 4, ""},
                      TDialogKeyCase{"EscapeCancel", VK_ESCAPE, "Retry", true, 7, ""},
                      TDialogKeyCase{"EscapeWithoutCancel", VK_ESCAPE, "Edit", false, 2, "\x1B"},
                      TDialogKeyCase{"SpaceClicksFocused", VK_SPACE, "Retry", true, 4, ""},
                      TDialogKeyCase{"SpaceTypesInEdit", VK_SPACE, "Edit", true, 2, ""},
                      TDialogKeyCase{"LetterOnButton", 'Q', "Retry", true, 2, "q"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(WindowingTest, KeysTypeIntoTheFocusedEditAndMemo) {
    TCharForm form(nullptr);
    auto* edit = Add<TEdit>(form, "Edit");
    auto* memo = Add<TMemo>(form, "Memo");
    AddButton(form, "OK", "OK", mrOk)->SetDefault(true);
    std::string pressed;
    edit->OnKeyPress = [&](TComponent*, char& key) {
        pressed += key;
        if (key == '!')
            key = 0; // used up by the handler: not typed
    };
    EXPECT_EQ(Run(form, {user::Key('A', ssShift), user::Key('B'), user::Key(win::VK_BACK),
                         user::Char('x'), user::Char('!'), user::Key('C', ssCtrl),
                         user::Key(VK_TAB), user::Char('1'), user::Key(VK_RETURN), user::Char('2'),
                         user::Key(VK_TAB), user::Key(VK_RETURN)}),
              mrOk);
    EXPECT_EQ(edit->Text(), "Ax");
    EXPECT_EQ(memo->Text(), "1\r\n2\r\n");
    EXPECT_EQ(pressed, "Ab\bx!\x03");
    EXPECT_EQ(form.Chars, ""); // edits use every character
}

TEST_F(WindowingTest, KeyPreviewSeesTheKeyFirstAndCanUseItUp) {
    TForm form(nullptr);
    form.KeyPreview = true;
    std::string log;
    TButton* ok = AddButton(form, "OK", "OK", mrOk);
    ok->SetDefault(true);
    ok->OnKeyDown = [&](TComponent*, int&, TShiftState) { log += "button "; };
    form.OnKeyDown = [&](TComponent*, int& key, TShiftState) {
        log += "form ";
        if (key == VK_RETURN)
            key = 0;
    };
    EXPECT_EQ(Run(form, {user::Key(VK_RETURN), user::Key(VK_TAB), user::CloseBox()}), mrCancel);
    EXPECT_EQ(log, "form form button ");
}

struct TAccelStepCase {
    const char* Name;
    TUserStep Step;
    int Result;
    const char* Focus;
};

class AcceleratorTest : public WindowingTest,
                        public ::testing::WithParamInterface<TAccelStepCase> {};

TEST_P(AcceleratorTest, DialogCharFindsTheMarkedControl) {
    const TAccelStepCase& c = GetParam();
    TForm form(nullptr);
    AddButton(form, "Yes", "&Yes", 6);
    AddButton(form, "Off", "&Off", 9)->SetEnabled(false);
    AddButton(form, "Amp", "Save && quit", 10);
    TLabel* label = Add<TLabel>(form, "Label");
    label->SetCaption("&Name:");
    Add<TEdit>(form, "Edit");
    auto* box = Add<TCheckBox>(form, "Box");
    box->SetCaption("&Remember");
    TUserStep step = c.Step;
    EXPECT_EQ(
        Run(form, {step, user::Check([&](TForm&) { EXPECT_EQ(Screen.FocusedName(), c.Focus); }),
                   user::CloseBox()}),
        c.Result);
    EXPECT_EQ(box->Checked(), std::string(c.Name) == "CheckBoxToggles");
}

INSTANTIATE_TEST_SUITE_P(
    Table, AcceleratorTest,
    ::testing::Values(TAccelStepCase{"AltLetter", user::AltChar('y'), 6, "Yes"},
                      TAccelStepCase{"AltUpper", user::AltChar('Y'), 6, "Yes"},
                      TAccelStepCase{"AltKey", user::Key('Y', ssAlt), 6, "Yes"},
                      TAccelStepCase{"PlainLetterOnAButton", user::Char('y'), 6, "Yes"},
                      TAccelStepCase{"DisabledIsPassedOver", user::AltChar('o'), 2, "Yes"},
                      TAccelStepCase{"DoubleAmpersandIsNoMark", user::AltChar('&'), 2, "Yes"},
                      TAccelStepCase{"LabelFocusesTheNextControl", user::AltChar('n'), 2, "Edit"},
                      TAccelStepCase{"CheckBoxToggles", user::AltChar('r'), 2, "Box"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(WindowingTest, TabAndArrowsMoveTheFocusLikeTheDialogManager) {
    TForm form(nullptr);
    AddButton(form, "A", "a");
    AddButton(form, "Off", "off")->SetEnabled(false);
    AddButton(form, "Hidden", "hidden")->SetVisible(false);
    AddButton(form, "NoStop", "no stop")->SetTabStop(false);
    auto* r1 = Add<TRadioButton>(form, "R1");
    auto* r2 = Add<TRadioButton>(form, "R2");
    auto* r3 = Add<TRadioButton>(form, "R3");
    Add<TEdit>(form, "E");
    r2->SetChecked(true);
    std::vector<std::string> seen;
    auto note = [&] { return user::Check([&](TForm&) { seen.push_back(Screen.FocusedName()); }); };
    Run(form, {note(), user::Key(VK_TAB),          note(), user::Key(VK_DOWN),
               note(), user::Key(VK_DOWN),         note(), user::Key(VK_UP),
               note(), user::Key(VK_TAB),          note(), user::Key(VK_DOWN),
               note(), user::Key(VK_TAB),          note(), user::Key(VK_TAB, ssShift),
               note(), user::Key(VK_TAB, ssShift), note(), user::CloseBox()});
    const std::vector<std::string> expected{"A", "R2", "R3", "R1", "R3", "E", "E", "A", "E", "R3"};
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(r3->Checked());
    EXPECT_FALSE(r1->Checked());
    EXPECT_FALSE(r2->Checked());
}

TEST_F(WindowingTest, EnterAndExitFollowTheFocusAndDisablingDropsIt) {
    TForm form(nullptr);
    std::string log;
    for (const char* name : {"A", "B"}) {
        TButton* b = AddButton(form, name, name);
        b->OnEnter = [&log, name](TComponent*) { log += std::string("+") + name; };
        b->OnExit = [&log, name](TComponent*) { log += std::string("-") + name; };
    }
    Run(form, {user::Key(VK_TAB), user::Click("A"), user::Check([&](TForm& f) {
                   static_cast<TButton*>(f.FindComponent("A"))->SetEnabled(false);
                   EXPECT_EQ(f.ActiveControl(), nullptr);
               }),
               user::CloseBox()});
    EXPECT_EQ(log, "+A-A+B-B+A-A");
}

TEST_F(WindowingTest, MouseGoesToTheControlUnderItInItsOwnCoordinates) {
    TForm form(nullptr);
    std::string log;
    TButton* ok = AddButton(form, "OK", "OK", mrOk, 100, 50);
    ok->SetCursor(TCursor::crHandPoint);
    ok->OnMouseDown = [&](TComponent*, TMouseButton, TShiftState shift, int x, int y) {
        log += "down " + std::to_string(x) + "," + std::to_string(y) +
               ((shift & ssLeft) ? " left; " : "; ");
    };
    ok->OnMouseMove = [&](TComponent*, TShiftState, int x, int y) {
        log += "move " + std::to_string(x) + "," + std::to_string(y) + "; ";
    };
    ok->OnMouseUp = [&](TComponent*, TMouseButton, TShiftState, int x, int y) {
        log += "up " + std::to_string(x) + "," + std::to_string(y) + "; ";
    };
    TLabel* label = Add<TLabel>(form, "Label", 10, 10, 50, 13);
    label->OnClick = [&](TComponent*) { log += "label; "; };
    // Pressed inside, released outside: no click. Then a click on the label, then on OK.
    EXPECT_EQ(
        Run(form, {user::MouseDown(105, 55), user::MouseMove(300, 200), user::MouseUp(300, 200),
                   user::Check([&](TForm&) { EXPECT_EQ(Screen.Cursor(), TCursor::crDefault); }),
                   user::MouseDown(20, 15), user::MouseUp(20, 15), user::MouseMove(110, 60),
                   user::Check([&](TForm&) { EXPECT_EQ(Screen.Cursor(), TCursor::crHandPoint); }),
                   user::MouseDown(110, 60), user::MouseUp(110, 60)}),
        mrOk);
    EXPECT_EQ(log, "down 5,5 left; move 200,150; up 200,150; label; move 10,10; down 10,10 "
                   "left; up 10,10; ");
}

struct THitCase {
    const char* Name;
    int X, Y;
    const char* Receiver; // who got MouseDown, with its local point
};

class MouseHitTest : public WindowingTest, public ::testing::WithParamInterface<THitCase> {};

TEST_P(MouseHitTest, PressGoesToTheTopmostEnabledVisibleControl) {
    const THitCase& c = GetParam();
    TForm form(nullptr);
    form.SetName("Form");
    std::string got;
    auto log = [&got](TComponent* sender, TMouseButton, TShiftState, int x, int y) {
        got = sender->Name() + " " + std::to_string(x) + "," + std::to_string(y);
    };
    form.OnMouseDown = log;
    TLabel* under = Add<TLabel>(form, "Under", 0, 0, 100, 100); // a graphic below a window
    TWinControl* panel = Add<TWinControl>(form, "Panel", 50, 50, 100, 100);
    auto* inner = new TButton(&form);
    inner->SetName("Inner");
    inner->SetParent(panel);
    inner->SetBounds(10, 10, 20, 20);
    TButton* off = AddButton(form, "Off", "off", 0, 200, 0);
    off->SetEnabled(false);
    TButton* hidden = AddButton(form, "Hidden", "hidden", 0, 300, 0);
    hidden->SetVisible(false);
    for (TControl* control : std::vector<TControl*>{under, panel, inner, off, hidden})
        control->OnMouseDown = log;
    Run(form, {user::MouseDown(c.X, c.Y), user::MouseUp(c.X, c.Y), user::CloseBox()});
    EXPECT_EQ(got, c.Receiver);
}

INSTANTIATE_TEST_SUITE_P(Table, MouseHitTest,
                         ::testing::Values(THitCase{"Graphic", 10, 20, "Under 10,20"},
                                           THitCase{"WindowOverGraphic", 55, 55, "Panel 5,5"},
                                           THitCase{"ChildOfChild", 65, 62, "Inner 5,2"},
                                           THitCase{"DisabledPassesToParent", 210, 5, "Form 210,5"},
                                           THitCase{"HiddenIsNotThere", 310, 5, "Form 310,5"},
                                           THitCase{"RightEdgeIsOutside", 150, 60, "Form 150,60"}),
                         [](const auto& info) { return std::string(info.param.Name); });

// Counts enter and leave of a custom control.
class THoverControl : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    void MouseEnter() override { Log += "enter;"; }
    void MouseLeave() override { Log += "leave;"; }
    std::string Log;
};

TEST_F(WindowingTest, MouseEnterAndLeaveFollowThePointer) {
    TForm form(nullptr);
    auto* hover = Add<THoverControl>(form, "Hover", 10, 10, 50, 50);
    AddButton(form, "OK", "OK", mrOk, 100, 100);
    Run(form, {user::MouseMove(20, 20), user::MouseMove(30, 30), user::MouseMove(80, 80),
               user::MouseMove(20, 20), user::Click("OK")});
    EXPECT_EQ(hover->Log, "enter;leave;enter;");
}

TEST_F(WindowingTest, InvalidatedWindowsPaintAfterTheStepOnce) {
    TForm form(nullptr);
    form.SetName("F");
    auto* custom = Add<THoverControl>(form, "C", 0, 0, 10, 10);
    TLabel* label = Add<TLabel>(form, "L");
    Run(form, {user::Check([&](TForm&) {
                   custom->Invalidate();
                   custom->Invalidate();
               }),
               user::Check([&](TForm&) { label->SetCaption("new"); }), user::Check([](TForm&) {}),
               user::CloseBox()});
    EXPECT_EQ(Screen.PaintCount("C"), 2); // shown, invalidated
    EXPECT_EQ(Screen.PaintCount("F"), 2); // shown, its label changed
    EXPECT_TRUE(Screen.ScriptErrors.empty());
}

TEST_F(WindowingTest, TimersTickOnlyWhenTheScriptSaysAndStopWithTheLoop) {
    TForm form(nullptr);
    AddButton(form, "OK", "OK", mrOk);
    auto* first = new TTimer(&form);
    auto* idle = new TTimer(&form);
    auto* second = new TTimer(&form);
    idle->SetEnabled(false);
    std::string log;
    first->OnTimer = [&](TComponent*) {
        log += "1";
        if (log.size() == 5)
            form.SetModalResult(mrOk);
    };
    idle->OnTimer = [&](TComponent*) { log += "x"; };
    second->OnTimer = [&](TComponent*) { log += "2"; };
    EXPECT_EQ(Screen.RunningTimers().size(), 2u);
    EXPECT_EQ(Run(form, {user::Tick(), user::Tick(5), user::Click("OK")}), mrOk);
    EXPECT_EQ(log, "12121");
    delete first;
    EXPECT_EQ(Screen.RunningTimers().size(), 1u);
    second->SetInterval(0);
    EXPECT_TRUE(Screen.RunningTimers().empty());
}

TEST_F(WindowingTest, HandlerErrorsStopAtTheDispatchAndTheDialogGoesOn) {
    TForm form(nullptr);
    TButton* bad = AddButton(form, "Bad", "Bad");
    bad->OnClick = [](TComponent*) { throw std::runtime_error("disk on fire"); };
    AddButton(form, "OK", "OK", mrOk);
    auto* timer = new TTimer(&form);
    timer->OnTimer = [](TComponent*) { throw std::runtime_error("tick failed"); };
    form.OnPaint = [](TComponent*) { throw std::runtime_error("paint failed"); };
    EXPECT_EQ(Run(form, {user::Click("Bad"), user::Tick(), user::Click("OK")}), mrOk);
    std::vector<std::string> texts;
    for (const auto& box : Machine.MessageBoxes)
        texts.push_back(box.Text);
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[0], "paint failed");
    EXPECT_NE(std::find(texts.begin(), texts.end(), "disk on fire"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "tick failed"), texts.end());
    EXPECT_EQ(Machine.MessageBoxes[0].Flags, win::MB_OK | win::MB_ICONERROR);
}

TEST_F(WindowingTest, FailingCloseHandlerKeepsTheWindow) {
    TForm form(nullptr);
    AddButton(form, "OK", "OK", mrOk);
    bool fail = true;
    form.OnClose = [&](TComponent*, TCloseAction&) {
        if (fail) {
            fail = false;
            throw std::runtime_error("cannot close");
        }
    };
    EXPECT_EQ(Run(form, {user::Click("OK"), user::Click("OK")}), mrOk);
    ASSERT_EQ(Machine.MessageBoxes.size(), 1u);
    EXPECT_EQ(Machine.MessageBoxes[0].Text, "cannot close");
}

} // namespace
} // namespace qb
