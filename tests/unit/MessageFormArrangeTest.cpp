// The emulated window's layout pass: the expandable area, the button band, the check box, the
// footer, a content text wider than its box, and the fixed sizes at 144 DPI.
#include "MessageFormTestFixture.h"
#include "dialogs/TaskDialogNative.h"
#include <ostream>
#include "runtime/WinConst.h"

namespace qb {
namespace {

using Opt = TTaskDialogOption;
using CB = TCommonButton;

TEST_F(MessageFormTest, CollapsedAreaOpensBelowTheRadioButtonsAndGrowsAtTheBottom) {
    Dialog->SetContent("Body");
    Dialog->ExpandedText = "Hidden details";
    Dialog->CollapsedControlText = "&Details";
    Dialog->ExpandedControlText = "&Fewer";
    Dialog->RadioButtons.Add("One");
    Dialog->RadioButtons.Add("Two");
    Dialog->CommonButtons = {CB::cbOK};
    auto form = Build();
    TFormMetrics m(form->Canvas());
    ASSERT_NE(form->ExpandButtonControl, nullptr);
    EXPECT_FALSE(form->Expanded);
    EXPECT_EQ(PictureName(form->ExpandButtonControl->Picture), "bitmap:TD_EXP");
    EXPECT_EQ(PictureName(form->ExpandButtonControl->PictureHot), "bitmap:TD_EXPHOT");
    EXPECT_EQ(form->ExpandedRect(), (TRect{-1, -1, -1, -1}));
    EXPECT_EQ(form->ExpandButtonControl->Width(), 19);
    EXPECT_EQ(form->ExpandButtonControl->Height(), 19);
    const int top = form->Top();
    const int width = form->ClientWidth();
    const int height = form->ClientHeight();
    TWinControl* lastRadio = form->RadioButtonList.back();
    auto* ok = Find<TButton>(*form, "OK");
    const int okTop = ok->Top();

    form->ToggleExpanded();
    EXPECT_TRUE(form->Expanded);
    EXPECT_EQ(PictureName(form->ExpandButtonControl->Picture), "bitmap:TD_COLP");
    EXPECT_EQ(PictureName(form->ExpandButtonControl->PictureDown), "bitmap:TD_COLPDOWN");
    int textH = form->Canvas().TextHeight("Hidden details");
    EXPECT_EQ(form->ExpandedTop, lastRadio->Top() + lastRadio->Height() + m.VertSpacing);
    EXPECT_EQ(form->ExpandedTextSize.Height, textH);
    EXPECT_EQ(ok->Top(), okTop + textH + m.VertSpacing);
    EXPECT_EQ(form->ClientHeight(), height + textH + m.VertSpacing);
    EXPECT_EQ(form->ClientWidth(), width);
    EXPECT_EQ(form->Top(), top);
    EXPECT_EQ(form->ExpandButtonControl->Top(), ok->Top());
    EXPECT_EQ(form->ExpandButtonControl->Left(), m.VertMargin);

    form->ToggleExpanded();
    EXPECT_EQ(form->ClientHeight(), height);
}

TEST_F(MessageFormTest, FooterTallerThanAHundredPixelsIsShownWhole) {
    std::string footer;
    for (int i = 0; i < 30; ++i)
        footer += "line\\n";
    Dialog->FooterText = footer + "last";
    auto form = Build();
    TFormMetrics m(form->Canvas());
    const int lineH = form->Canvas().TextHeight("gh");
    EXPECT_EQ(form->FooterTextSize.Height, 31 * lineH);
    auto* ok = Find<TButton>(*form, "OK");
    EXPECT_GE(form->FooterRect().Top, ok->Top() + ok->Height());
    EXPECT_EQ(form->ClientHeight(),
              ok->Top() + ok->Height() + 31 * lineH + m.VertSpacing + m.VertMargin);
}

TEST_F(MessageFormTest, ExpandFooterStartsTheBandAtTheExpandedText) {
    Dialog->SetContent("Body");
    Dialog->ExpandedText = "More";
    Dialog->Options += Opt::doExpandedDefault;
    Dialog->Options += Opt::doExpandFooter;
    Dialog->CommonButtons = {CB::cbOK};
    auto form = Build();
    EXPECT_TRUE(form->Expanded);
    EXPECT_GT(form->ExpandedTop, 0);
    EXPECT_EQ(form->ButtonBandTop, form->ExpandedTop);
    Dialog->Options -= Opt::doExpandFooter;
    form->ArrangeControls();
    EXPECT_EQ(form->ButtonBandTop, Find<TButton>(*form, "OK")->Top());
}

struct TBandCase {
    const char* Name;
    TCommonButtons Common;
    int CustomCount;
    bool CommandLinks;
    bool Band;
};

void PrintTo(const TBandCase& c, std::ostream* os) {
    *os << c.Name;
}

class ButtonBandTest : public MessageFormTest, public ::testing::WithParamInterface<TBandCase> {};

TEST_P(ButtonBandTest, BandOnlyWithPushButtons) {
    const TBandCase& c = GetParam();
    Dialog->CommonButtons = c.Common;
    for (int i = 0; i < c.CustomCount; ++i)
        Dialog->CustomButtons.Add("Choice " + std::to_string(i));
    if (c.CommandLinks)
        Dialog->Options += Opt::doCommandLinks;
    auto form = Build();
    if (c.Band)
        EXPECT_LT(form->ButtonBandTop, form->ClientHeight());
    else
        EXPECT_EQ(form->ButtonBandTop, form->Height());
}

INSTANTIATE_TEST_SUITE_P(
    Bands, ButtonBandTest,
    ::testing::Values(TBandCase{"CommandLinksOnly", {}, 2, true, false},
                      TBandCase{"CommandLinksAndCancel", {CB::cbCancel}, 2, true, true},
                      TBandCase{"CustomPushButtons", {}, 2, false, true},
                      TBandCase{"DefaultOk", {}, 0, false, true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MessageFormTest, CheckBoxSitsInTheRowAndEveryLayoutKeepsItsRoom) {
    Dialog->SetContent("Body");
    Dialog->VerificationText = "Do not ask again";
    Dialog->CommonButtons = {CB::cbOK};
    auto form = Build();
    TFormMetrics m(form->Canvas());
    TCheckBox* box = form->VerificationCheckBox;
    ASSERT_NE(box, nullptr);
    auto* ok = Find<TButton>(*form, "OK");
    // In the band at the left, beside the buttons (no expand control above it in the row).
    EXPECT_EQ(box->Top(), ok->Top() + 4);
    EXPECT_EQ(box->Left(), m.VertMargin + 3);
    EXPECT_EQ(box->Width(), m.VertSpacing + form->Canvas().TextWidth("Do not ask again"));
    // One line of its own font high, with ten pixels below the row in every layout.
    EXPECT_EQ(box->Height(), form->Canvas().TextHeight("gh"));
    const int built = form->ClientHeight();
    EXPECT_EQ(built, ok->Top() + ok->Height() + 10 + m.VertMargin);
    form->ArrangeControls();
    EXPECT_EQ(form->ClientHeight(), built);
}

TEST_F(MessageFormTest, ContentWiderThanItsBoxWidensTheWindow) {
    Dialog->MainIcon = TTaskDialogIcon::tiNone;
    const std::string word(90, 'm');
    Dialog->SetContent(word);
    auto form = Build();
    TFormMetrics m(form->Canvas());
    int wordW = form->Canvas().TextWidth(word);
    ASSERT_GT(wordW, 350 - 2 * m.HorzMargin);
    EXPECT_EQ(form->ClientWidth(), wordW + 2 * m.HorzMargin);
    EXPECT_EQ(form->ContentRect().Width(), wordW);
}

// The emulated window breaks the instruction and the content where the native dialog does.
TEST_F(MessageFormTest, InstructionAndContentBreakAtTheNativeEscapes) {
    struct TCase {
        const char* Text;
        int Lines;
    } cases[] = {
        {"a\\nb", 2}, {"plain", 1}, {"\\nlead", 2}, {"c:\\new and\\nb", 3}, {"a\\\\nb", 1},
    };
    for (const TCase& c : cases) {
        Dialog->MainIcon = TTaskDialogIcon::tiNone;
        Dialog->SetMainInstruction(c.Text);
        Dialog->SetContent(c.Text);
        auto form = Build();
        int lineH = form->Canvas().TextHeight("a");
        EXPECT_EQ(form->ContentTextSize.Height, c.Lines * lineH) << c.Text;
        EXPECT_EQ(form->InstructionLabel->Caption(), UnescapeNewlines(c.Text)) << c.Text;
        int instructionH = 0;
        InstructionWidth(*form, "a", &instructionH);
        EXPECT_EQ(form->InstructionLabel->Height(), c.Lines * instructionH) << c.Text;
    }
}

// Above 96 DPI the fixed pixel sizes grow with the screen; the font's own sizes come from the
// canvas.
TEST_F(MessageFormTest, FixedSizesScaleAt144Dpi) {
    Screen.PixelsPerInch = 144;
    Dialog->SetMainInstruction("Heading");
    Dialog->SetContent("Body");
    Dialog->MainIcon = TTaskDialogIcon::tiWarning;
    Dialog->ExpandedText = "More";
    Dialog->VerificationText = "Again";
    Dialog->FooterText = "Foot";
    Dialog->FooterIcon = TTaskDialogFooterIcon::tfWarning;
    Dialog->CommonButtons = {CB::cbOK};
    auto form = Build();
    ASSERT_EQ(form->PixelsPerInch(), 144);
    TFormMetrics m(form->Canvas());
    EXPECT_EQ(form->Scale(60), 90);
    auto* ok = Find<TButton>(*form, "OK");
    EXPECT_EQ(ok->Width(), 90);
    EXPECT_EQ(ok->Left() + ok->Width(), form->ClientWidth() - m.HorzSpacing - 6);
    EXPECT_EQ(form->ExpandButtonControl->Width(), 29);
    EXPECT_EQ(form->MainImage->Width(), 48);
    EXPECT_EQ(form->MainImage->Height(), 48);
    EXPECT_EQ(form->FooterImageControl->Width(), 24);
    EXPECT_EQ(form->InstructionLabel->Left(), m.HorzMargin + m.HorzSpacing + 48);
    EXPECT_EQ(form->VerificationCheckBox->Left(), m.VertMargin + 5);
    EXPECT_EQ(form->VerificationCheckBox->Top(),
              ok->Top() + form->ExpandButtonControl->Height() + 6);
    EXPECT_EQ(form->FooterRect().Top, form->ClientHeight() - form->FooterTextSize.Height - 15);
}

TEST_F(MessageFormTest, CommandLinkArrowIsDrawnAtTheScaledSize) {
    Screen.PixelsPerInch = 144;
    Dialog->CustomButtons.Add("Go");
    Dialog->Options += Opt::doCommandLinks;
    Screen.Play({user::Check([&](TForm& form) {
                     auto* link = Find<TTaskDialogButton>(form, "Button0");
                     ASSERT_NE(link, nullptr);
                     link->Invalidate();
                 }),
                 user::Check([&](TForm&) {
                     const TRecordingCanvas* paint = Screen.LastPaint("Button0");
                     ASSERT_NE(paint, nullptr);
                     bool stretched = false;
                     for (const TCanvasRecord& r : paint->Records())
                         if (r.Op == TCanvasOp::StretchDraw)
                             stretched = r.Rect.Width() == 24 && r.Rect.Height() == 24;
                     EXPECT_TRUE(stretched) << paint->Dump();
                 }),
                 user::Click("Button0")});
    EXPECT_EQ(Dialog->Execute(), 100);
}

} // namespace
} // namespace qb
