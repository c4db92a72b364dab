// The model's control seams, which make and drive the emulated window's standard controls, and
// the help key of that window.
#include "MessageFormTestFixture.h"
#include "runtime/Exception.h"
#include "runtime/WinConst.h"

namespace qb {
namespace {

TEST_F(MessageFormTest, ButtonSeamsActOnlyOnPushButtons) {
    TForm owner(nullptr);
    std::unique_ptr<TWinControl> button(Dialog->CreateButton(&owner));
    std::unique_ptr<TWinControl> radio(Dialog->CreateRadioButton(&owner));
    TLabel label(nullptr);
    TTaskDialogButton link(nullptr);
    ASSERT_NE(dynamic_cast<TButton*>(button.get()), nullptr);
    ASSERT_NE(dynamic_cast<TRadioButton*>(radio.get()), nullptr);
    EXPECT_EQ(button->Owner(), &owner);

    for (TControl* control : std::initializer_list<TControl*>{radio.get(), &label, &link}) {
        control->SetCaption("before");
        Dialog->SetButtonText(control, "after");
        Dialog->SetButtonCancel(control, true);
        Dialog->SetButtonDefault(control, true);
        Dialog->SetButtonModalResult(control, 7);
        EXPECT_EQ(control->Caption(), "before");
        EXPECT_EQ(Dialog->GetButtonModalResult(control), 0);
        Dialog->SetControlText(control, "any control");
        EXPECT_EQ(control->Caption(), "any control");
    }
    EXPECT_EQ(link.ModalResult, 0);

    auto* push = static_cast<TButton*>(button.get());
    Dialog->SetButtonText(push, "&Go");
    Dialog->SetButtonCancel(push, true);
    Dialog->SetButtonDefault(push, true);
    Dialog->SetButtonModalResult(push, 101);
    EXPECT_EQ(push->Caption(), "&Go");
    EXPECT_TRUE(push->Cancel());
    EXPECT_TRUE(push->Default());
    EXPECT_EQ(Dialog->GetButtonModalResult(push), 101);
    EXPECT_EQ(Dialog->GetButtonModalResult(nullptr), 0);
}

TEST_F(MessageFormTest, RadioSeamsNameCheckAndDress) {
    auto form = Build();
    TWinControl* radio = Dialog->CreateRadioButton(form.get());
    int clicks = 0;
    Dialog->InitRadioButton(form.get(), radio, 3, [&](TComponent*) { ++clicks; });
    EXPECT_EQ(radio->Name(), "Radio3");
    EXPECT_EQ(radio->Parent(), form.get());
    EXPECT_EQ(radio->Font().Name, form->Canvas().Font().Name);
    EXPECT_EQ(radio->Font().Size, 8);
    EXPECT_EQ(radio->BiDiMode(), form->BiDiMode());
    Dialog->SetRadioChecked(radio, true);
    EXPECT_TRUE(static_cast<TRadioButton*>(radio)->Checked());
    Dialog->SetRadioChecked(radio, false);
    EXPECT_FALSE(static_cast<TRadioButton*>(radio)->Checked());
    radio->OnClick(radio);
    EXPECT_EQ(clicks, 1);
    Dialog->SetRadioChecked(nullptr, true);
    Dialog->SetControlText(nullptr, "nothing");
}

TEST_F(MessageFormTest, HelpKeyWithoutAHelpSystemShowsTheErrorAndGoesOn) {
    Dialog->HelpContextId = 12;
    Dialog->CommonButtons = {TCommonButton::cbOK};
    THandle window = 0;
    EXPECT_EQ(Run({user::Check([&](TForm& form) { window = form.WindowHandle(); }),
                   user::Key(win::VK_F1), user::Click("OK")}),
              1);
    ASSERT_EQ(Machine.MessageBoxes.size(), 1u);
    EXPECT_EQ(Machine.MessageBoxes[0].Owner, window) << "the box belongs to the open dialog";
    EXPECT_NE(Machine.MessageBoxes[0].Text.find("12"), std::string::npos);
    EXPECT_EQ(Machine.MessageBoxes[0].Text.back(), '.');
    Machine.MessageBoxes.clear();
    Dialog->HelpContextId = 0;
    EXPECT_EQ(Run({user::Key(win::VK_F1), user::Click("OK")}), 1);
    EXPECT_TRUE(Machine.MessageBoxes.empty());
}

TEST_F(MessageFormTest, WindowFreedAndForgottenWhenAHandlerRaises) {
    Dialog->CustomButtons.Add("Boom");
    Dialog->OnButtonClick = [](TComponent*, int) { throw Exception("handler failed"); };
    Dialog->CommonButtons = {TCommonButton::cbCancel};
    // The handler's error is shown at the dispatch, over the dialog; the click's result still
    // closes the window.
    THandle window = 0;
    EXPECT_EQ(Run({user::Check([&](TForm& form) { window = form.WindowHandle(); }),
                   user::Click("Button0")}),
              100);
    EXPECT_EQ(Dialog->MessageForm, nullptr);
    ASSERT_EQ(Machine.MessageBoxes.size(), 1u);
    EXPECT_EQ(Machine.MessageBoxes[0].Text, "handler failed");
    EXPECT_NE(window, 0u);
    EXPECT_EQ(Machine.MessageBoxes[0].Owner, window);
}

// The grey frame inside the client edge belongs to systems older than GetLocaleInfoEx.
TEST_F(MessageFormTest, OldSystemsGetAGreyFrame) {
    struct TCase {
        bool LocaleInfoEx;
        uint32_t Major;
        bool Frame;
    } cases[] = {{true, 10, false}, {false, 5, true}, {true, 5, false}};
    for (const TCase& c : cases) {
        Machine.LocaleInfoEx = c.LocaleInfoEx;
        Machine.Version.Major = c.Major;
        bool framed = false;
        Run({user::Check([](TForm& form) { form.Invalidate(); }), user::Check([&](TForm& form) {
                 const TRecordingCanvas* paint = Screen.LastPaint(form.Name());
                 ASSERT_NE(paint, nullptr);
                 TRect inner{1, 1, form.ClientWidth() - 1, form.ClientHeight() - 1};
                 for (const TCanvasRecord& r : paint->Records())
                     framed = framed || (r.Op == TCanvasOp::Rectangle && r.Pen == 0x808080 &&
                                         r.Rect == inner && r.Background == clNone);
             }),
             user::Click("OK")});
        EXPECT_EQ(framed, c.Frame) << c.LocaleInfoEx << " " << c.Major;
    }
}

} // namespace
} // namespace qb
