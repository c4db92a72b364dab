// The command-link button: its caption routines, how it paints each state, and its clicks.
#include "dialogs/TaskDialogButton.h"
#include "runtime/Forms.h"
#include "runtime/Platform.h"
#include "runtime/WinConst.h"
#include "runtime/headless/HeadlessGraphic.h"
#include "runtime/headless/HeadlessWindowing.h"
#include <gtest/gtest.h>
#include <memory>

namespace qb {
namespace {

std::vector<std::string> Lines(const std::string& caption) {
    TStringList list;
    SplitCaptionLines(caption, list);
    return {list.begin(), list.end()};
}

TEST(CommandLinkCaption, TrimSpacesTakesOnlySpaces) {
    struct TCase {
        const char* In;
        const char* Out;
    } cases[] = {{"  a b  ", "a b"}, {"\ta \t", "\ta \t"}, {"   ", ""}, {"", ""}, {"x", "x"}};
    for (const TCase& c : cases)
        EXPECT_EQ(TrimSpaces(c.In), c.Out) << c.In;
}

TEST(CommandLinkCaption, LineBreakMarkerIgnoresADrivePath) {
    struct TCase {
        const char* Text;
        bool Expected;
    } cases[] = {{"a\\nb", true},           {"c:\\new", false}, {"no break", false},
                 {"c:\\new\\nnote", false}, {"\\nlead", true},  {"a:b\\nc", true}};
    for (const TCase& c : cases)
        EXPECT_EQ(HasLineBreakMarker(c.Text), c.Expected) << c.Text;
}

TEST(CommandLinkCaption, SplitIntoTrimmedLines) {
    using V = std::vector<std::string>;
    struct TCase {
        const char* Caption;
        V Expected;
    } cases[] = {
        {"Single line  ", V{"Single line  "}},
        {"c:\\new folder", V{"c:\\new folder"}},
        {"  Head \\n   note  ", V{"Head", "note"}},
        {"Head\\n\\nafter blank", V{"Head", "", "after blank"}},
        {"Head\r\nNote", V{"Head", "Note"}},
        {"Head\rNote", V{"Head", "Note"}},
        {"Head\r\nsame line\\nNote", V{"Head\r\nsame line", "Note"}},
        {"Head\\n", V{"Head"}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Lines(c.Caption), c.Expected) << c.Caption;
}

class MeasureCaptionTest : public ::testing::Test {
protected:
    TSize Size(const std::string& text, const TFont& font) {
        TCanvasStateSaver saver(Canvas);
        Canvas.SetFont(font);
        TRect r;
        Canvas.DrawText(text, r, win::DT_CALCRECT | win::DT_SINGLELINE);
        return {r.Width(), r.Height()};
    }
    TRecordingCanvas Canvas;
    TFont Heading{"Tahoma", 11, fsBold, 0};
    TFont Note{"Tahoma", 8, 0, 0};
};

TEST_F(MeasureCaptionTest, CommandLinkRoomAroundHeadingAndNotes) {
    TSize head = Size("Install", Heading);
    TSize note = Size("Puts the program on this computer", Note);
    int w = 0;
    int h = 0;
    MeasureCommandLinkText(&Canvas, "Install\\nPuts the program on this computer", Heading, Note, 0,
                           w, h, true);
    EXPECT_EQ(w, std::max(head.Width + 8, note.Width + 8));
    EXPECT_EQ(h, head.Height + 10 + note.Height + 2);
    MeasureCommandLinkText(&Canvas, "Install\\nPuts the program on this computer", Heading, Note, 0,
                           w, h, false);
    EXPECT_EQ(w, std::max(head.Width, note.Width));
    EXPECT_EQ(h, head.Height + note.Height);
}

TEST_F(MeasureCaptionTest, SingleLineIsTheHeadingAlone) {
    TSize head = Size("Just this", Heading);
    int w = 0;
    int h = 0;
    MeasureCommandLinkText(&Canvas, "Just this", Heading, Note, 0, w, h, true);
    EXPECT_EQ((TSize{w, h}), head);
}

TEST_F(MeasureCaptionTest, EmptyNotesAndNoCanvas) {
    TSize head = Size("Head", Heading);
    int w = 0;
    int h = 0;
    // The empty note is painted as a line of its own, so it is measured as one.
    MeasureCommandLinkText(&Canvas, "Head\\n\\n", Heading, Note, 0, w, h, true);
    EXPECT_EQ(w, head.Width + 8);
    EXPECT_EQ(h, head.Height + 10 + Size("x", Note).Height + 2);
    w = -5;
    h = -6;
    MeasureCommandLinkText(nullptr, "Head", Heading, Note, 0, w, h, true);
    EXPECT_EQ(w, -5);
    EXPECT_EQ(h, -6);
    Canvas.SetFont(Note);
    MeasureCommandLinkText(&Canvas, "Head\\nnote", Heading, Note, 0, w, h, true);
    EXPECT_EQ(Canvas.Font(), Note);
}

TEST_F(MeasureCaptionTest, RoomScalesAt144Dpi) {
    TSize head = Size("Install", Heading);
    TSize note = Size("x", Note);
    int w = 0;
    int h = 0;
    MeasureCommandLinkText(&Canvas, "Install\\nx", Heading, Note, 0, w, h, true, 144);
    EXPECT_EQ(w, head.Width + 12);
    EXPECT_EQ(h, head.Height + 15 + note.Height + 3);
}

// One button on a form of the headless screen, painted and pressed by a scripted user.
class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        Saved = Platform();
        TPlatform platform = Saved;
        platform.Windowing = &Screen;
        SetPlatform(platform);
        Form = std::make_unique<TForm>(nullptr);
        Button = new TTaskDialogButton(Form.get());
        Button->SetName("Btn");
        Button->SetParent(Form.get());
        Button->SetBounds(10, 10, 200, 40);
        Button->OnClick = [this](TComponent*) { ++Clicks; };
    }
    void TearDown() override {
        Form.reset();
        SetPlatform(Saved);
    }
    // The records of the button's paint after the given steps, then the form is closed.
    std::vector<TCanvasRecord> PaintAfter(std::vector<TUserStep> steps) {
        std::vector<TCanvasRecord> records;
        steps.push_back(user::Check([this](TForm&) { Button->Invalidate(); }));
        steps.push_back(user::Check([&](TForm&) {
            const TRecordingCanvas* paint = Screen.LastPaint("Btn");
            ASSERT_NE(paint, nullptr);
            records = paint->Records();
        }));
        steps.push_back(user::CloseBox());
        Screen.Play(std::move(steps));
        Form->ShowModal();
        return records;
    }
    static int Count(const std::vector<TCanvasRecord>& records, TCanvasOp op) {
        return static_cast<int>(std::count_if(records.begin(), records.end(),
                                              [op](const TCanvasRecord& r) { return r.Op == op; }));
    }

    THeadlessWindowing Screen;
    TPlatform Saved;
    std::unique_ptr<TForm> Form;
    TTaskDialogButton* Button = nullptr;
    int Clicks = 0;
};

TEST_F(ButtonTest, WithoutColoursOrPicturesOnlyTheCaptionShiftedTwoPixels) {
    Screen.KeyboardCues = false; // no focus rectangle before the keyboard is used
    Button->SetCaption("Plain");
    auto records = PaintAfter({});
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Op, TCanvasOp::Text);
    EXPECT_EQ(records[0].Text, "Plain");
    EXPECT_EQ(records[0].Rect.Left, 2);
}

TEST_F(ButtonTest, MultiLineCaptionDrawsHeadingAndNotesTrimmed) {
    Screen.KeyboardCues = false;
    Button->SetCaption("   Head   \\n   first note \\n second");
    Button->HeadingFont = TFont{"Tahoma", 11, fsBold, 0x123456};
    auto records = PaintAfter({});
    std::vector<std::string> texts;
    for (const TCanvasRecord& r : records)
        if (r.Op == TCanvasOp::Text)
            texts.push_back(r.Text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Head", "first note", "second"}));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].Font.Size, 11);
    EXPECT_EQ(records[1].Font, Button->Font());
    EXPECT_GT(records[1].Rect.Top, records[0].Rect.Top);
}

TEST_F(ButtonTest, HotButtonShowsItsBorderAndHotPicture) {
    Button->SetCaption("Go");
    Button->BorderColorHot = 0x00FF00;
    Button->BorderColorDown = 0x0000FF;
    Button->Picture.LoadFromResourceName("TD_ARW", 0xFF00FF);
    Button->PictureHot.LoadFromResourceName("TD_ARWHOT", 0xFF00FF);
    Button->SetTabStop(false); // the focus would show the pressed border
    auto records = PaintAfter({user::Check([this](TForm&) { Button->MouseEnter(); })});
    ASSERT_EQ(Count(records, TCanvasOp::RoundRect), 1);
    for (const TCanvasRecord& r : records) {
        if (r.Op == TCanvasOp::RoundRect) {
            EXPECT_EQ(r.Pen, 0x00FF00u);
        } else if (r.Op == TCanvasOp::Draw) {
            EXPECT_EQ(r.Rect, (TRect{4, 12, 20, 28}));
        } else if (r.Op == TCanvasOp::Text) {
            EXPECT_EQ(r.Rect.Left, 4 + 16 + 3);
        }
    }
    EXPECT_TRUE(Button->IsHot());
}

TEST_F(ButtonTest, DisabledIsGreyWithoutBorderAndShowsItsDisabledPicture) {
    Button->SetCaption("Off");
    Button->BorderColorHot = 0x00FF00;
    Button->Picture.LoadFromResourceName("TD_ARW", 0xFF00FF);
    Button->PictureDisabled.LoadFromResourceName("TD_ARWDIS", 0xFF00FF);
    Button->SetEnabled(false);
    auto records = PaintAfter({user::Check([this](TForm&) { Button->MouseEnter(); })});
    EXPECT_EQ(Count(records, TCanvasOp::RoundRect), 0);
    for (const TCanvasRecord& r : records) {
        if (r.Op == TCanvasOp::Text) {
            EXPECT_EQ(r.Font.Color, 0xC0C0C0u);
        }
    }
    EXPECT_EQ(Count(records, TCanvasOp::Draw), 1);
}

TEST_F(ButtonTest, ReleaseOutsideClearsThePressWithoutClicking) {
    Button->SetCaption("Press");
    Button->ModalResult = 5;
    PaintAfter({user::MouseDown(20, 20),
                user::Check([this](TForm&) { EXPECT_TRUE(Button->IsDown()); }),
                user::MouseUp(300, 200), user::Check([this](TForm& form) {
                    EXPECT_FALSE(Button->IsDown());
                    EXPECT_EQ(form.ModalResult(), 0);
                })});
    EXPECT_EQ(Clicks, 0);
}

TEST_F(ButtonTest, SpaceAndEnterClickTheFocusedButton) {
    for (int key : {win::VK_SPACE, win::VK_RETURN}) {
        Clicks = 0;
        Button->ModalResult = 0;
        Screen.Play({user::Check([this](TForm&) { Button->SetFocus(); }), user::Key(key),
                     user::Check([this](TForm& form) {
                         EXPECT_EQ(Clicks, 1);
                         EXPECT_EQ(form.ModalResult(), 0); // result 0 keeps the form open
                         Button->ModalResult = 42;
                     }),
                     user::Key(key)});
        EXPECT_EQ(Form->ShowModal(), 42) << key;
        EXPECT_EQ(Clicks, 2);
    }
}

struct TCueCase {
    const char* Name;
    bool AlwaysCues;
    std::vector<TUserStep> Steps;
    bool FocusRect;
    bool Underline;
};

class ButtonCueTest : public ButtonTest, public ::testing::WithParamInterface<TCueCase> {};

TEST_P(ButtonCueTest, FocusRectangleAndUnderlineFollowTheKeyboardCues) {
    const TCueCase& c = GetParam();
    Screen.KeyboardCues = c.AlwaysCues;
    Button->SetCaption("&Save");
    auto records = PaintAfter(c.Steps);
    ASSERT_EQ(Count(records, TCanvasOp::FocusRect), c.FocusRect ? 1 : 0);
    for (const TCanvasRecord& r : records) {
        if (r.Op == TCanvasOp::FocusRect) {
            EXPECT_EQ(r.Rect, (TRect{2, 2, 198, 38})); // inside the 200 x 40 button
        } else if (r.Op == TCanvasOp::Text) {
            EXPECT_EQ(r.Underlined, c.Underline ? 0 : -1);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ButtonCueTest,
    ::testing::Values(TCueCase{"AlwaysShown", true, {}, true, true},
                      TCueCase{"HiddenUntilTheKeyboardIsUsed", false, {}, false, false},
                      TCueCase{"TabShowsTheFocus", false, {user::Key(win::VK_TAB)}, true, false},
                      TCueCase{"AltShowsBoth", false, {user::Key(win::VK_MENU)}, true, true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ButtonTest, SpaceHeldShowsThePressedLookUntilItGoesUp) {
    Button->SetCaption("Go");
    Button->BorderColorDown = 0x0000FF;
    Button->Picture.LoadFromResourceName("TD_ARW", 0xFF00FF);
    Button->PictureDown.LoadFromResourceName("TD_ARWDOWN", 0xFF00FF);
    auto picture = [this](const char* expected) {
        return user::Check([this, expected](TForm&) {
            const TRecordingCanvas* paint = Screen.LastPaint("Btn");
            ASSERT_NE(paint, nullptr);
            for (const TCanvasRecord& r : paint->Records()) {
                if (r.Op == TCanvasOp::Draw) {
                    EXPECT_EQ(r.Text, expected);
                }
            }
        });
    };
    PaintAfter({user::HoldKey(win::VK_SPACE), picture("bitmap:TD_ARWDOWN"),
                user::Check([this](TForm&) { EXPECT_EQ(Clicks, 0); }),
                user::ReleaseKey(win::VK_SPACE), picture("bitmap:TD_ARW"),
                user::Check([this](TForm&) { EXPECT_EQ(Clicks, 1); })});
}

TEST_F(ButtonTest, FocusOnHoverWaitsForTheFirstRealMove) {
    Button->FocusOnHover = true;
    auto* other = new TTaskDialogButton(Form.get());
    other->SetName("Other");
    other->SetParent(Form.get());
    other->SetBounds(10, 100, 200, 40);
    auto focused = [this](const char* name) {
        return user::Check([this, name](TForm&) { EXPECT_EQ(Screen.FocusedName(), name); });
    };
    // The dialog opens under a resting pointer: the system's one move at that place is no move.
    PaintAfter({user::Check([other](TForm&) { other->SetFocus(); }), user::MouseMove(50, 20),
                focused("Other"), user::MouseMove(50, 20), focused("Other"),
                user::MouseMove(51, 20), focused("Btn"), user::MouseMove(50, 120),
                user::MouseMove(50, 20), focused("Btn")});
}

} // namespace
} // namespace qb
