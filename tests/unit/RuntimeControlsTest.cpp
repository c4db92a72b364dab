// Controls: ownership and parents, windows made on demand, fonts, tab order, radio groups,
// accelerators, the standard controls' state and painting.
#include "RuntimeWindowingFixture.h"
#include "runtime/WinConst.h"

namespace qb {
namespace {

TEST_F(WindowingTest, ControlFreedEarlyLeavesItsParentAndTabList) {
    TForm form(nullptr);
    TButton* a = AddButton(form, "A", "a");
    TButton* b = AddButton(form, "B", "b");
    TLabel* label = Add<TLabel>(form, "L");
    delete a;
    delete label;
    ASSERT_EQ(form.Controls().size(), 1u);
    EXPECT_EQ(form.Controls()[0], b);
    ASSERT_EQ(form.TabList().size(), 1u);
    EXPECT_EQ(b->TabOrder(), 0);
    EXPECT_EQ(form.FindComponent("A"), nullptr);
}

TEST_F(WindowingTest, TextWindowsStandInReadingOrderOutsideTheTabOrder) {
    TForm form(nullptr);
    TButton* a = AddButton(form, "A", "a", 0, 0, 10);
    TButton* b = AddButton(form, "B", "b", 0, 0, 100);
    TButton* c = AddButton(form, "C", "c", 0, 0, 50);
    auto* top = Add<TStaticText>(form, "Top", 0, 0);
    auto* middle = Add<TStaticText>(form, "Middle", 0, 60);
    auto* bottom = Add<TStaticText>(form, "Bottom", 0, 300);
    EXPECT_EQ(form.TabList(), (std::vector<TWinControl*>{a, b, c}));
    EXPECT_EQ(middle->TabOrder(), -1);
    // Each text before the first control of the tab order that lies below it.
    EXPECT_EQ(form.WindowOrder(), (std::vector<TWinControl*>{top, a, middle, b, c, bottom}));
    middle->SetTop(5);
    EXPECT_EQ(form.WindowOrder(), (std::vector<TWinControl*>{top, middle, a, b, c, bottom}));
}

TEST_F(WindowingTest, ParentGoneLeavesOtherOwnersControlsWithoutParentOrWindow) {
    TForm owner(nullptr);
    auto* button = new TButton(&owner);
    {
        TForm host(nullptr);
        button->SetParent(&host);
        EXPECT_NE(button->WindowHandle(), 0u);
    }
    EXPECT_EQ(button->Parent(), nullptr);
    EXPECT_FALSE(button->HandleAllocated());
    button->SetParent(&owner); // a new window under a live parent
    EXPECT_TRUE(button->HandleAllocated());
}

TEST_F(WindowingTest, WindowsAreMadeWhenTheParentHasOneAndGoWithIt) {
    TForm form(nullptr);
    EXPECT_TRUE(form.HandleAllocated());
    EXPECT_FALSE(form.Visible());
    TWinControl* panel = new TWinControl(&form);
    auto* inner = new TButton(&form);
    inner->SetParent(panel); // parent without a window yet
    EXPECT_FALSE(inner->HandleAllocated());
    panel->SetParent(&form);
    EXPECT_TRUE(panel->HandleAllocated());
    EXPECT_TRUE(inner->HandleAllocated());
    EXPECT_NE(inner->WindowHandle(), panel->WindowHandle());
    panel->SetParent(nullptr);
    EXPECT_FALSE(panel->HandleAllocated());
    EXPECT_FALSE(inner->HandleAllocated());
    EXPECT_EQ(inner->Parent(), panel);
}

TEST_F(WindowingTest, ControlsFollowTheParentFontUntilGivenTheirOwn) {
    TForm form(nullptr);
    TLabel* follows = Add<TLabel>(form, "F");
    TLabel* own = Add<TLabel>(form, "O");
    own->SetFont(TFont{"Arial", 12});
    form.SetFont(TFont{"Segoe UI", 9});
    EXPECT_EQ(follows->Font().Name, "Segoe UI");
    EXPECT_TRUE(follows->ParentFont());
    EXPECT_EQ(own->Font().Name, "Arial");
    TLabel* late = Add<TLabel>(form, "Late");
    EXPECT_EQ(late->Font().Size, 9);
}

struct TTabOrderCase {
    const char* Name;
    int Move; // control index moved
    int To;   // requested position
    const char* Order;
};

class TabOrderTest : public WindowingTest, public ::testing::WithParamInterface<TTabOrderCase> {};

TEST_P(TabOrderTest, SetTabOrderMovesAndClamps) {
    const TTabOrderCase& c = GetParam();
    TForm form(nullptr);
    std::vector<TButton*> buttons;
    for (const char* name : {"a", "b", "c", "d"})
        buttons.push_back(AddButton(form, name, name));
    Add<TLabel>(form, "label"); // graphic controls have no tab order
    buttons[static_cast<size_t>(c.Move)]->SetTabOrder(c.To);
    std::string order;
    for (TWinControl* control : form.TabList())
        order += control->Name();
    EXPECT_EQ(order, c.Order);
    EXPECT_EQ(buttons[static_cast<size_t>(c.Move)]->TabOrder(),
              static_cast<int>(order.find(buttons[static_cast<size_t>(c.Move)]->Name())));
}

INSTANTIATE_TEST_SUITE_P(Table, TabOrderTest,
                         ::testing::Values(TTabOrderCase{"ToFront", 3, 0, "dabc"},
                                           TTabOrderCase{"Middle", 0, 2, "bcad"},
                                           TTabOrderCase{"PastTheEnd", 1, 99, "acdb"},
                                           TTabOrderCase{"Negative", 2, -5, "cabd"},
                                           TTabOrderCase{"SamePlace", 1, 1, "abcd"}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(WindowingTest, CheckingARadioButtonUnchecksItsSiblingsOnly) {
    TForm form(nullptr);
    auto* r1 = Add<TRadioButton>(form, "r1");
    auto* r2 = Add<TRadioButton>(form, "r2");
    auto* box = Add<TCheckBox>(form, "box");
    TWinControl* panel = Add<TWinControl>(form, "panel");
    auto* other = new TRadioButton(&form);
    other->SetParent(panel);
    box->SetChecked(true);
    other->SetChecked(true);
    r1->SetChecked(true);
    r2->SetChecked(true);
    EXPECT_FALSE(r1->Checked());
    EXPECT_TRUE(r2->Checked());
    EXPECT_TRUE(box->Checked());
    EXPECT_TRUE(other->Checked());
    EXPECT_TRUE(r2->Peer()->ReadChecked());
    EXPECT_FALSE(r1->Peer()->ReadChecked());
}

struct TAccelCase {
    char Ch;
    const char* Caption;
    bool Accel;
    const char* Stripped;
};

class AccelTest : public ::testing::TestWithParam<TAccelCase> {};

TEST_P(AccelTest, MarkedCharacterWithoutCase) {
    const TAccelCase& c = GetParam();
    EXPECT_EQ(IsAccel(c.Ch, c.Caption), c.Accel) << c.Caption;
    EXPECT_EQ(StripHotkey(c.Caption), c.Stripped);
}

INSTANTIATE_TEST_SUITE_P(Table, AccelTest,
                         ::testing::Values(TAccelCase{'y', "&Yes", true, "Yes"},
                                           TAccelCase{'Y', "&yes", true, "yes"},
                                           TAccelCase{'e', "&Yes", false, "Yes"},
                                           TAccelCase{'s', "Save && &send", true, "Save & send"},
                                           TAccelCase{'&', "A && B", false, "A & B"},
                                           TAccelCase{'b', "&a &b", true, "a b"},
                                           TAccelCase{'a', "&a &b", false, "a b"},
                                           TAccelCase{'x', "trailing &", false, "trailing &"},
                                           TAccelCase{'x', "", false, ""}));

struct TProgressCase {
    int Min, Max, Position;
    int WantMin, WantMax, WantPosition;
};

class ProgressTest : public WindowingTest, public ::testing::WithParamInterface<TProgressCase> {};

TEST_P(ProgressTest, PositionStaysInRange) {
    const TProgressCase& c = GetParam();
    TForm form(nullptr);
    auto* bar = Add<TProgressBar>(form, "bar");
    bar->SetPosition(50);
    bar->SetRange(c.Min, c.Max);
    bar->SetPosition(c.Position);
    EXPECT_EQ(bar->Min(), c.WantMin);
    EXPECT_EQ(bar->Max(), c.WantMax);
    EXPECT_EQ(bar->Position(), c.WantPosition);
}

INSTANTIATE_TEST_SUITE_P(Table, ProgressTest,
                         ::testing::Values(TProgressCase{0, 100, 30, 0, 100, 30},
                                           TProgressCase{0, 100, 130, 0, 100, 100},
                                           TProgressCase{0, 100, -1, 0, 100, 0},
                                           TProgressCase{10, 20, 50, 10, 20, 20},
                                           TProgressCase{50, 10, 0, 50, 50, 50}));

TEST_F(WindowingTest, NarrowedRangePullsThePositionIn) {
    TForm form(nullptr);
    auto* bar = Add<TProgressBar>(form, "bar");
    bar->SetPosition(80);
    bar->SetRange(0, 40);
    EXPECT_EQ(bar->Position(), 40);
}

TEST_F(WindowingTest, TextsAreReadWholeThroughTheWindow) {
    TForm form(nullptr);
    auto* edit = Add<TEdit>(form, "edit");
    auto* memo = Add<TMemo>(form, "memo");
    auto* list = Add<TComboBox>(form, "list");
    list->SetStyle(TComboBoxStyle::csDropDownList);
    list->Items.Add("red");
    list->Items.Add("green");
    list->ItemsChanged();
    const std::string longText(1000, 'x');
    Run(form, {user::Type("edit", longText), user::Type("memo", "one\ntwo\r\nthree"),
               user::Select("list", 1), user::CloseBox()});
    EXPECT_EQ(edit->Text(), longText);
    EXPECT_EQ(memo->Text(), "one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(list->Text(), "green");
    list->SetText("RED");
    EXPECT_EQ(list->ItemIndex(), 0);
    list->SetText("purple"); // a list shows only its items
    EXPECT_EQ(list->Text(), "");
    EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(WindowingTest, EditableComboKeepsATypedTextAndADatePickerThePickedDate) {
    TForm form(nullptr);
    auto* combo = Add<TComboBox>(form, "combo");
    combo->Items.Add("red");
    combo->ItemsChanged();
    combo->SetItemIndex(0);
    auto* picker = Add<TDateTimePicker>(form, "date");
    picker->SetDate({2024, 2, 29});
    EXPECT_EQ(picker->Date(), (TDate{2024, 2, 29}));
    Run(form,
        {user::Type("combo", "violet"), user::PickDate("date", {2025, 1, 2}), user::CloseBox()});
    EXPECT_EQ(combo->Text(), "violet");
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(picker->Date(), (TDate{2025, 1, 2}));
}

struct TLabelCase {
    const char* Name;
    bool WordWrap, ShowAccelChar, Transparent, Enabled;
    uint32_t Format;
    TColor Background;
    const char* Shown;
};

class LabelPaintTest : public WindowingTest, public ::testing::WithParamInterface<TLabelCase> {};

TEST_P(LabelPaintTest, FlagsBrushAndColourFollowTheProperties) {
    const TLabelCase& c = GetParam();
    TForm form(nullptr);
    TLabel* label = Add<TLabel>(form, "label", 10, 20, 200, 40);
    label->SetCaption("&Save all");
    label->SetColor(clWhite);
    label->WordWrap = c.WordWrap;
    label->ShowAccelChar = c.ShowAccelChar;
    label->Transparent = c.Transparent;
    label->SetEnabled(c.Enabled);
    TRecordingCanvas canvas;
    label->PaintOn(canvas);
    ASSERT_EQ(canvas.Records().size(), 1u);
    const TCanvasRecord& r = canvas.Records()[0];
    EXPECT_EQ(r.Format, c.Format);
    EXPECT_EQ(r.Background, c.Background);
    EXPECT_EQ(r.Text, c.Shown);
    EXPECT_EQ(r.Rect.Left, 10);
    EXPECT_EQ(r.Rect.Top, 20);
    EXPECT_EQ(r.Font.Color, c.Enabled ? label->Font().Color : SystemColor(17));
}

INSTANTIATE_TEST_SUITE_P(
    Table, LabelPaintTest,
    ::testing::Values(
        TLabelCase{"Plain", false, true, false, true, 0, clWhite, "Save all"},
        TLabelCase{"Wrap", true, true, false, true, win::DT_WORDBREAK, clWhite, "Save all"},
        TLabelCase{"NoPrefix", false, false, false, true, win::DT_NOPREFIX, clWhite, "&Save all"},
        TLabelCase{"Transparent", false, true, true, true, 0, clNone, "Save all"},
        TLabelCase{"Disabled", true, false, true, false, win::DT_WORDBREAK | win::DT_NOPREFIX,
                   clNone, "&Save all"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(WindowingTest, FormPaintsItsGroundThenItsGraphicControls) {
    TForm form(nullptr);
    form.SetName("F");
    form.SetClientWidth(200);
    form.SetClientHeight(100);
    TImage* image = Add<TImage>(form, "image", 4, 4, 32, 32);
    image->Picture.LoadFromResourceName("TD_SHIELD", 0xFF00FF);
    TLabel* hidden = Add<TLabel>(form, "hidden");
    hidden->SetCaption("not shown");
    hidden->SetVisible(false);
    int painted = 0;
    form.OnPaint = [&](TComponent*) { ++painted; };
    Run(form, {user::CloseBox()});
    const TRecordingCanvas* paint = Screen.LastPaint("F");
    ASSERT_NE(paint, nullptr);
    ASSERT_EQ(paint->Records().size(), 2u);
    EXPECT_EQ(paint->Records()[0].Op, TCanvasOp::FillRect);
    EXPECT_EQ(paint->Records()[0].Rect, (TRect{0, 0, 200, 100}));
    EXPECT_EQ(paint->Records()[1].Op, TCanvasOp::StretchDraw);
    EXPECT_EQ(paint->Records()[1].Text, "bitmap:TD_SHIELD");
    EXPECT_EQ(painted, 1);
}

} // namespace
} // namespace qb

namespace qb {
namespace {

TEST(WindowingLifetime, ControlsThatOutliveTheScreenKeepTheirState) {
    const TPlatform saved = Platform();
    auto screen = std::make_unique<THeadlessWindowing>();
    TPlatform platform = saved;
    platform.Windowing = screen.get();
    SetPlatform(platform);
    auto form = std::make_unique<TForm>(nullptr);
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    edit->SetText("kept");
    edit->SetFocus();
    EXPECT_TRUE(edit->Focused());
    SetPlatform(saved);
    screen.reset();
    EXPECT_EQ(edit->Text(), "kept");
    EXPECT_FALSE(edit->Focused());
    edit->SetFocus();
    EXPECT_THROW(form->ShowModal(), std::logic_error);
    form.reset(); // the sanitizers watch that nothing touches the gone screen
}

} // namespace
} // namespace qb
