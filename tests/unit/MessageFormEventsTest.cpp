// The emulated window's links, timer, progress bar, check box, radio buttons, input field and
// close query, played by a scripted user.
#include "MessageFormTestFixture.h"
#include <ostream>
#include "runtime/WinConst.h"

namespace qb {
namespace {

using Opt = TTaskDialogOption;
using CB = TCommonButton;
using Input = TTaskDialogInputType;

// A window whose content starts at (HorzMargin, VertMargin): no icon, no instruction.
class LinkTest : public MessageFormTest {
protected:
    void SetUp() override {
        MessageFormTest::SetUp();
        Dialog->MainIcon = TTaskDialogIcon::tiNone;
        Dialog->Options += Opt::doHyperlinks;
        Dialog->CommonButtons = {CB::cbOK};
    }
    // Presses and releases a mouse button on the content's first letter.
    int ClickContent(TMouseButton button) {
        auto form = Build();
        int x = form->HorzMargin + 2;
        int y = form->VertMargin + 2;
        form.reset();
        return Run({user::MouseDown(x, y, button), user::MouseUp(x, y, button), user::Click("OK")});
    }
};

TEST_F(LinkTest, LinkWithSchemeOpensWithTheDefaultHandlerOnEitherButton) {
    Dialog->SetContent("<a href=\"http://example.com/x\">link</a> text");
    for (TMouseButton button : {TMouseButton::mbLeft, TMouseButton::mbRight}) {
        Machine.ShellExecutes.clear();
        EXPECT_EQ(ClickContent(button), 1);
        ASSERT_EQ(Machine.ShellExecutes.size(), 1u);
        const TSimulatedShellExecute& call = Machine.ShellExecutes[0];
        EXPECT_FALSE(call.Extended);
        EXPECT_EQ(call.Operation, "open");
        EXPECT_EQ(call.File, "http://example.com/x");
        EXPECT_EQ(call.Parameters, "");
    }
}

TEST_F(LinkTest, HandlerDecidesAndNothingOpens) {
    Dialog->SetContent("<a href=\"http://example.com/x\">link</a>");
    std::string seen;
    Dialog->OnHyperlinkClick = [&](TComponent* sender, const std::string& link) {
        EXPECT_EQ(sender, Dialog.get());
        seen = link;
    };
    EXPECT_EQ(ClickContent(TMouseButton::mbRight), 1);
    EXPECT_EQ(seen, "http://example.com/x");
    EXPECT_TRUE(Machine.ShellExecutes.empty());
}

TEST_F(LinkTest, LinkWithoutSchemeAndWithoutHandlerDoesNothing) {
    Dialog->SetContent("<a href=\"mailto:someone@example.com\">mail</a>");
    EXPECT_EQ(ClickContent(TMouseButton::mbLeft), 1);
    EXPECT_TRUE(Machine.ShellExecutes.empty());
}

// A caller turns links off when a text holds outside data: what looks like a link stays text.
TEST_F(LinkTest, TextNotMadeLiveNeverOpensALink) {
    Dialog->Options -= Opt::doHyperlinks;
    Dialog->SetContent("<a href=\"http://example.com/x\">link</a>");
    EXPECT_EQ(ClickContent(TMouseButton::mbLeft), 1);
    EXPECT_TRUE(Machine.ShellExecutes.empty());
}

TEST_F(LinkTest, PointerOverALinkShowsTheHand) {
    Dialog->SetContent("<a href=\"http://example.com/x\">link</a>");
    auto form = Build();
    int x = form->HorzMargin + 2;
    int y = form->VertMargin + 2;
    int below = form->ContentRect().Bottom + 2;
    form.reset();
    Run({user::MouseMove(x, y), user::Check([](TForm& f) {
             EXPECT_EQ(f.Cursor(), TCursor::crHandPoint);
             EXPECT_EQ(Window(f).HoverLink, "http://example.com/x");
         }),
         user::MouseMove(x, below), user::Check([](TForm& f) {
             EXPECT_EQ(f.Cursor(), TCursor::crDefault);
             EXPECT_EQ(Window(f).HoverLink, "http://example.com/x");
         }),
         user::Click("OK")});
}

TEST_F(MessageFormTest, AutoCloseEndsOnTheThirdTickWithTwo) {
    Dialog->AutoClose = true;
    Dialog->AutoCloseTimeout = 250;
    Dialog->CommonButtons = {CB::cbOK};
    int timerEvents = 0;
    Dialog->OnDialogTimer = [&](TComponent*) { ++timerEvents; };
    auto elapsed = [this](int ms) {
        return user::Check([this, ms](TForm&) { EXPECT_EQ(Dialog->ElapsedTime, ms); });
    };
    EXPECT_EQ(Run({user::Tick(), elapsed(100), user::Tick(), elapsed(200), user::Tick()}), 2);
    EXPECT_EQ(Dialog->ElapsedTime, 300);
    EXPECT_EQ(timerEvents, 0); // without doTimer the event stays quiet
}

TEST_F(MessageFormTest, TimerEventFiresWithDoTimer) {
    Dialog->Options += Opt::doTimer;
    int timerEvents = 0;
    Dialog->OnDialogTimer = [&](TComponent* sender) {
        EXPECT_EQ(sender, Dialog.get());
        ++timerEvents;
    };
    EXPECT_EQ(Run({user::Tick(), user::Tick(), user::Click("OK")}), 1);
    EXPECT_EQ(timerEvents, 2);
}

TEST_F(MessageFormTest, ProgressHandlerMovesTheBarOnTheNextTick) {
    Dialog->Options += Opt::doProgressBar;
    Dialog->OnProgress = [](TComponent*, int& position, TTaskDialogProgressState& state) {
        position = 50;
        state = TTaskDialogProgressState::psError;
    };
    EXPECT_EQ(Run({user::Check([](TForm& form) {
                       EXPECT_EQ(Window(form).ProgressBarControl->Position(), 0);
                   }),
                   user::Tick(), user::Check([](TForm& form) {
                       TProgressBar* bar = Window(form).ProgressBarControl;
                       EXPECT_EQ(bar->Position(), 50);
                       EXPECT_EQ(bar->State(), TProgressBarState::pbsNormal);
                   }),
                   user::Click("OK")}),
              1);
}

struct TVerificationCase {
    const char* Name;
    bool StartsChecked;
    bool ModelBefore;
    int Clicks;
    bool Expected;
};

void PrintTo(const TVerificationCase& c, std::ostream* os) {
    *os << c.Name;
}

class VerificationTest : public MessageFormTest,
                         public ::testing::WithParamInterface<TVerificationCase> {};

TEST_P(VerificationTest, ResultIsTheBoxWhenTheWindowCloses) {
    const TVerificationCase& c = GetParam();
    Dialog->VerificationText = "Do not ask again";
    if (c.StartsChecked)
        Dialog->Options += Opt::doVerificationChecked;
    Dialog->VerificationChecked = c.ModelBefore;
    std::vector<TUserStep> steps(static_cast<size_t>(c.Clicks), user::Click("Verification"));
    steps.push_back(user::Click("OK"));
    EXPECT_EQ(Run(steps), 1);
    EXPECT_EQ(Dialog->VerificationChecked, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, VerificationTest,
    ::testing::Values(TVerificationCase{"CheckedUntouched", true, false, 0, true},
                      TVerificationCase{"ModelReplaced", false, true, 0, false},
                      TVerificationCase{"ClickedOn", false, false, 1, true},
                      TVerificationCase{"ClickedOff", true, true, 1, false},
                      TVerificationCase{"Twice", false, false, 2, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MessageFormTest, RadioAndCustomButtonClicksReachTheModel) {
    Dialog->RadioButtons.Add("First");
    Dialog->RadioButtons.Add("Second");
    Dialog->CustomButtons.Add("Go");
    Dialog->CustomButtons.Add("Stop");
    std::vector<int> events;
    Dialog->OnRadioButtonClick = [&](TComponent*, int id) { events.push_back(id); };
    Dialog->OnButtonClick = [&](TComponent*, int id) { events.push_back(id); };
    EXPECT_EQ(Run({user::Check([this](TForm&) { EXPECT_EQ(Dialog->RadioButtonResult, 200); }),
                   user::Click("Radio1"), user::Click("Button1")}),
              101);
    EXPECT_EQ(Dialog->RadioButtonResult, 201);
    EXPECT_EQ(events, (std::vector<int>{201, 101}));
}

TEST_F(MessageFormTest, CreatedEventFiresWhenShown) {
    int created = 0;
    Dialog->OnDialogCreated = [&](TComponent* sender) {
        EXPECT_EQ(sender, Dialog.get());
        ++created;
    };
    EXPECT_EQ(Run({user::Check([&](TForm&) { EXPECT_EQ(created, 1); }), user::Click("OK")}), 1);
    EXPECT_EQ(Dialog->MessageForm, nullptr);
}

TEST_F(MessageFormTest, NewContentWhileShownIsLaidOutAgain) {
    Dialog->MainIcon = TTaskDialogIcon::tiNone; // the icon would set the content's least height
    Dialog->SetContent("Short");
    Dialog->CommonButtons = {CB::cbOK};
    int before = 0;
    Run({user::Check([&](TForm& form) { before = form.ClientHeight(); }),
         user::Check([&](TForm& form) {
             Dialog->SetContent("Line one\\nLine two\\nLine three");
             int lineH = form.Canvas().TextHeight("Line");
             EXPECT_EQ(Window(form).ContentTextSize.Height, 3 * lineH);
             EXPECT_EQ(form.ClientHeight(), before + 2 * lineH);
         }),
         user::Click("OK")});
}

TEST_F(MessageFormTest, CloseQueryVetoKeepsTheWindowWithTheInputTextTaken) {
    Dialog->InputType = Input::itEdit;
    Dialog->InputText = "start";
    Dialog->CommonButtons = {CB::cbOK, CB::cbCancel};
    int asked = 0;
    Dialog->OnCloseQuery = [&](TComponent* sender, bool& canClose) {
        EXPECT_EQ(sender, Dialog.get());
        canClose = ++asked > 1;
    };
    EXPECT_EQ(Run({user::Check([](TForm& form) { Window(form).InputEdit->SetText("typed"); }),
                   user::Click("OK"), user::Check([this](TForm& form) {
                       EXPECT_EQ(Dialog->InputText, "typed");
                       EXPECT_EQ(form.ModalResult(), 0);
                   }),
                   user::Click("Cancel")}),
              2);
    EXPECT_EQ(asked, 2);
}

struct TInputCase {
    const char* Name;
    Input Type;
    std::string Initial;
    std::function<void(TMessageForm&)> UserDoes;
    std::string Expected;
};

void PrintTo(const TInputCase& c, std::ostream* os) {
    *os << c.Name;
}

class InputTextTest : public MessageFormTest, public ::testing::WithParamInterface<TInputCase> {};

TEST_P(InputTextTest, TextGoesBackIntoTheModel) {
    const TInputCase& c = GetParam();
    Dialog->InputType = c.Type;
    Dialog->InputText = c.Initial;
    Dialog->InputItems.Add("red");
    Dialog->InputItems.Add("green");
    Dialog->InputItems.Add("blue");
    EXPECT_EQ(Run({user::Check([&](TForm& form) {
                       if (c.UserDoes)
                           c.UserDoes(Window(form));
                   }),
                   user::Click("OK")}),
              1);
    EXPECT_EQ(Dialog->InputText, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, InputTextTest,
    ::testing::Values(
        TInputCase{"EditUntouched", Input::itEdit, "abc", nullptr, "abc"},
        TInputCase{"EditLongText", Input::itEdit, "",
                   [](TMessageForm& f) { f.InputEdit->SetText(std::string(300, 'e')); },
                   std::string(300, 'e')},
        TInputCase{"MemoLines", Input::itMemo, "one\r\ntwo", nullptr, "one\r\ntwo\r\n"},
        TInputCase{"ComboListPick", Input::itComboList, "green",
                   [](TMessageForm& f) {
                       EXPECT_EQ(f.InputCombo->ItemIndex(), 1);
                       f.InputCombo->SetItemIndex(2);
                   },
                   "blue"},
        TInputCase{"ComboListUnknown", Input::itComboList, "purple",
                   [](TMessageForm& f) { EXPECT_EQ(f.InputCombo->ItemIndex(), -1); }, ""},
        TInputCase{"DateRoundTrip", Input::itDate, "3/4/2021",
                   [](TMessageForm& f) {
                       EXPECT_EQ(f.InputDatePicker->Date(), (TDate{2021, 3, 4}));
                       f.InputDatePicker->SetDate({2022, 12, 25});
                   },
                   "12/25/2022"},
        TInputCase{"NoneLeavesIt", Input::itNone, "kept", nullptr, "kept"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MessageFormTest, CustomInputControlIsReadWholeAndGivenBack) {
    TEdit field(nullptr);
    field.SetName("Field");
    Dialog->InputType = Input::itCustom;
    Dialog->SetInputControl(&field);
    Dialog->InputText = "first";
    const std::string typed(300, 'x');
    EXPECT_EQ(Run({user::Check([&](TForm& form) {
                       EXPECT_EQ(field.Parent(), &form);
                       EXPECT_TRUE(field.Visible());
                       EXPECT_EQ(field.Text(), "first");
                   }),
                   user::Type("Field", typed), user::Click("OK")}),
              1);
    EXPECT_EQ(Dialog->InputText, typed);
    EXPECT_EQ(field.Parent(), nullptr);
    EXPECT_FALSE(field.Visible());
}

TEST_F(MessageFormTest, CustomInputHandlersGetTheirSenders) {
    TEdit field(nullptr);
    Dialog->InputType = Input::itCustom;
    Dialog->SetInputControl(&field);
    Dialog->InputText = "in";
    TComponent* setSender = nullptr;
    TComponent* getSender = nullptr;
    Dialog->OnSetInputText = [&](TComponent* sender, const std::string& text) {
        setSender = sender;
        field.SetText("[" + text + "]");
    };
    Dialog->OnGetInputText = [&](TComponent* sender, std::string& text) {
        getSender = sender;
        EXPECT_EQ(text, "");
        text = "out";
    };
    TForm* window = nullptr;
    EXPECT_EQ(Run({user::Check([&](TForm& form) {
                       window = &form;
                       EXPECT_EQ(field.Text(), "[in]");
                   }),
                   user::Click("OK")}),
              1);
    EXPECT_EQ(setSender, Dialog.get());
    EXPECT_EQ(getSender, window);
    EXPECT_EQ(Dialog->InputText, "out");
}

TEST_F(MessageFormTest, BandAndFooterArePaintedWhereTheLayoutPutThem) {
    Dialog->SetContent("Body");
    Dialog->FooterText = "Footer words";
    Dialog->CommonButtons = {CB::cbOK};
    Run({user::Check([](TForm& form) { form.Invalidate(); }), user::Check([this](TForm& form) {
             TMessageForm& window = Window(form);
             const TRecordingCanvas* paint = Screen.LastPaint(form.Name());
             ASSERT_NE(paint, nullptr);
             bool band = false;
             bool separator = false;
             TRect footer = window.FooterRect();
             for (const TCanvasRecord& r : paint->Records()) {
                 if (r.Op == TCanvasOp::FillRect && r.Background == window.Colors.Band)
                     band = r.Rect.Top == window.ButtonBandTop - window.VertSpacing / 2;
                 if (r.Op == TCanvasOp::Line && r.Pen == 0xDFDFDF &&
                     r.Rect.Top == footer.Top - window.VertSpacing)
                     separator = true;
             }
             EXPECT_TRUE(band) << paint->Dump();
             EXPECT_TRUE(separator) << paint->Dump();
         }),
         user::Click("OK")});
}

} // namespace
} // namespace qb
