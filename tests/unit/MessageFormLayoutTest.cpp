// The emulated window's construction and layout: metrics, button widths, client size, band top
// and control tops, worked out here from the canvas metrics of the window font.
#include "MessageFormTestFixture.h"
#include <ostream>
#include "runtime/WinConst.h"

namespace qb {
namespace {

using Opt = TTaskDialogOption;
using CB = TCommonButton;

TEST_F(MessageFormTest, MetricsAndSimpleStackComeFromTheWindowFont) {
    Dialog->WindowTitle = "T";
    Dialog->SetMainInstruction("Title");
    Dialog->SetContent("Body");
    Dialog->MainIcon = TTaskDialogIcon::tiNone;
    Dialog->CommonButtons = {CB::cbOK};
    auto form = Build();
    TFormMetrics m(form->Canvas());
    EXPECT_EQ(form->HorzMargin, m.HorzMargin);
    EXPECT_EQ(form->VertMargin, m.VertMargin);
    EXPECT_EQ(form->HorzSpacing, m.HorzSpacing);
    EXPECT_EQ(form->VertSpacing, m.VertSpacing);

    int labelH = 0;
    int labelW = InstructionWidth(*form, "Title", &labelH);
    EXPECT_EQ(form->InstructionLabel->BoundsRect(),
              (TRect{m.HorzMargin, m.VertMargin, m.HorzMargin + labelW, m.VertMargin + labelH}));
    int contentTop = m.VertMargin + labelH + m.VertSpacing;
    int bodyH = form->Canvas().TextHeight("Body");
    EXPECT_EQ(form->ContentRect(), (TRect{m.HorzMargin, contentTop,
                                          form->ClientWidth() - m.HorzMargin, contentTop + bodyH}));
    EXPECT_EQ(form->ClientWidth(), 350);

    auto* ok = Find<TButton>(*form, "OK");
    ASSERT_NE(ok, nullptr);
    int okTop = contentTop + bodyH + m.VertSpacing;
    EXPECT_EQ(ok->BoundsRect(), (TRect{350 - 60 - m.HorzSpacing - 4, okTop, 350 - m.HorzSpacing - 4,
                                       okTop + m.ButtonHeight}));
    EXPECT_EQ(form->ButtonBandTop, okTop);
    EXPECT_EQ(form->ClientHeight(), okTop + m.ButtonHeight + m.VertMargin);
}

struct TButtonRowCase {
    const char* Name;
    TCommonButtons Common;
    std::vector<std::string> Custom;
};

void PrintTo(const TButtonRowCase& c, std::ostream* os) {
    *os << c.Name;
}

class ButtonRowTest : public MessageFormTest,
                      public ::testing::WithParamInterface<TButtonRowCase> {};

TEST_P(ButtonRowTest, WidthsAndPlacesFollowTheCaptions) {
    const TButtonRowCase& c = GetParam();
    Dialog->CommonButtons = c.Common;
    for (const std::string& line : c.Custom)
        Dialog->CustomButtons.Add(line);
    auto form = Build();
    TFormMetrics m(form->Canvas());
    // Custom buttons stand left of the standard ones; the row ends HorzSpacing + 4 from the edge.
    std::vector<TWinControl*> row = form->CustomButtonList;
    row.insert(row.end(), form->CommonButtonList.begin(), form->CommonButtonList.end());
    ASSERT_FALSE(row.empty());
    int right = form->ClientWidth() - m.HorzSpacing - 4;
    for (auto it = row.rbegin(); it != row.rend(); ++it) {
        TWinControl* button = *it;
        int expected = std::max(ShownWidth(form->Canvas(), button->Caption()) + 16, 60);
        EXPECT_EQ(button->Width(), expected) << button->Name();
        EXPECT_EQ(button->Height(), m.ButtonHeight) << button->Name();
        EXPECT_EQ(button->Left() + button->Width(), right) << button->Name();
        EXPECT_EQ(button->Top(), row.front()->Top()) << button->Name();
        right = button->Left() - m.ButtonSpacing;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ButtonRowTest,
    ::testing::Values(
        TButtonRowCase{"YesNo", {CB::cbYes, CB::cbNo}, {}},
        TButtonRowCase{
            "AllSix", {CB::cbOK, CB::cbYes, CB::cbNo, CB::cbCancel, CB::cbRetry, CB::cbClose}, {}},
        TButtonRowCase{"LongCustom", {CB::cbCancel}, {"Install everything now", "Go"}},
        TButtonRowCase{"CustomOnly", {}, {"&First choice", "Second"}}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TDefaultCase {
    const char* Name;
    TCommonButtons Common;
    int DefaultButton;
    bool AllowCancel;
    const char* Default; // "" none
    const char* Cancel;  // "" none
    const char* Tagged;
};

void PrintTo(const TDefaultCase& c, std::ostream* os) {
    *os << c.Name;
}

class DefaultButtonTest : public MessageFormTest,
                          public ::testing::WithParamInterface<TDefaultCase> {};

TEST_P(DefaultButtonTest, DefaultCancelAndFocusTag) {
    const TDefaultCase& c = GetParam();
    Dialog->CommonButtons = c.Common;
    Dialog->DefaultButton = c.DefaultButton;
    if (c.AllowCancel)
        Dialog->Options += Opt::doAllowCancel;
    auto form = Build();
    std::string defaults, cancels, tagged;
    for (TWinControl* control : form->CommonButtonList) {
        auto* button = dynamic_cast<TButton*>(control);
        ASSERT_NE(button, nullptr);
        if (button->Default())
            defaults += button->Name();
        if (button->Cancel())
            cancels += button->Name();
        if (button->Tag == 1)
            tagged += button->Name();
        EXPECT_EQ(button->TabStop(), c.DefaultButton != -1) << button->Name();
    }
    EXPECT_EQ(defaults, c.Default);
    EXPECT_EQ(cancels, c.Cancel);
    EXPECT_EQ(tagged, c.Tagged);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DefaultButtonTest,
    ::testing::Values(
        TDefaultCase{"YesNo", {CB::cbYes, CB::cbNo}, 0, false, "Yes", "", "Yes"},
        TDefaultCase{"YesNoAllowCancel", {CB::cbYes, CB::cbNo}, 0, true, "Yes", "No", "Yes"},
        TDefaultCase{
            "OkCancelAddsAllowCancel", {CB::cbOK, CB::cbCancel}, 0, false, "OK", "Cancel", "OK"},
        TDefaultCase{"RetryWithoutOkOrYes",
                     {CB::cbRetry, CB::cbCancel},
                     0,
                     false,
                     "Retry",
                     "Cancel",
                     "Retry"},
        TDefaultCase{"NoChosen",
                     {CB::cbYes, CB::cbNo, CB::cbCancel},
                     win::IDNO,
                     false,
                     "No",
                     "Cancel",
                     "No"},
        TDefaultCase{"YesChosen", {CB::cbYes, CB::cbNo}, win::IDYES, false, "Yes", "", "Yes"},
        // The message box's OK/Cancel question names OK as its default: Escape must stay Cancel.
        TDefaultCase{"OkNamedDefaultCancelStays",
                     {CB::cbOK, CB::cbCancel},
                     win::IDOK,
                     true,
                     "OK",
                     "Cancel",
                     "OK"},
        TDefaultCase{"NoDefaultAtAll", {CB::cbOK}, -1, false, "", "", "OK"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MessageFormTest, WithoutButtonsOneOkIsDefault) {
    auto form = Build();
    ASSERT_EQ(form->CommonButtonList.size(), 1u);
    auto* ok = dynamic_cast<TButton*>(form->CommonButtonList[0]);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->Name(), "OK");
    EXPECT_EQ(ok->Caption(), "OK");
    EXPECT_TRUE(ok->Default());
    EXPECT_EQ(ok->ModalResult, 1);
    EXPECT_EQ(ok->Tag, 0);
    EXPECT_TRUE(ok->TabStop());
    EXPECT_EQ(CommonButtonWidthCache()[0], form->Canvas().TextWidth("OK") + 8);
}

TEST_F(MessageFormTest, WithoutStandardButtonsTheFirstCustomButtonIsDefaultEvenForMinusOne) {
    Dialog->CustomButtons.Add("Alpha");
    Dialog->CustomButtons.Add("Beta");
    Dialog->DefaultButton = -1;
    auto form = Build();
    auto* first = Find<TButton>(*form, "Button0");
    auto* second = Find<TButton>(*form, "Button1");
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(first->Default());
    EXPECT_FALSE(second->Default());
    EXPECT_EQ(first->ModalResult, 100);
    EXPECT_EQ(second->ModalResult, 101);
}

TEST_F(MessageFormTest, CommandLinksWithoutDefaultAreNoTabStops) {
    Dialog->CustomButtons.Add("Save\\nKeeps the file");
    Dialog->Options += Opt::doCommandLinks;
    Dialog->DefaultButton = -1;
    auto form = Build();
    auto* link = Find<TTaskDialogButton>(*form, "Button0");
    ASSERT_NE(link, nullptr);
    EXPECT_FALSE(link->TabStop());
    EXPECT_FALSE(link->FocusOnHover);
    EXPECT_EQ(PictureName(link->Picture), "bitmap:TD_ARW");
    EXPECT_EQ(PictureName(link->PictureDisabled), "bitmap:TD_ARWDIS");
}

TEST_F(MessageFormTest, CommandLinkSizeComesFromItsCaption) {
    Dialog->CustomButtons.Add("Save\\nKeeps the file as it is");
    Dialog->CustomButtons.Add("Go");
    Dialog->Options += Opt::doCommandLinks;
    auto form = Build();
    TFormMetrics m(form->Canvas());
    TFont heading = form->Font();
    heading.Size = 11;
    heading.Style = fsBold;
    int w = 0;
    int h = 0;
    MeasureCommandLinkText(&form->Canvas(), Dialog->CustomButtons[0], heading, form->Font(), 0, w,
                           h, true);
    auto* link = Find<TTaskDialogButton>(*form, "Button0");
    ASSERT_NE(link, nullptr);
    int textHeight = form->Canvas().TextHeight("gh");
    EXPECT_EQ(link->Height(), std::max({textHeight + 20, m.ButtonHeight, h}));
    EXPECT_EQ(link->Font().Color, 0xC45300u);
    EXPECT_EQ(link->HeadingFont.Size, 11);
    EXPECT_EQ(link->ModalResult, 100);
    // Stacked at the text column's left, full width less the margin.
    EXPECT_EQ(link->Width(), form->ClientWidth() - link->Left() - m.HorzMargin);
    auto* go = Find<TTaskDialogButton>(*form, "Button1");
    ASSERT_NE(go, nullptr);
    EXPECT_EQ(go->Top(), link->Top() + link->Height() + 2);
    EXPECT_GE(form->ClientWidth(), 2 * m.HorzMargin + w + 26 + m.HorzSpacing + 32);
}

// A caption or a word wider than the screen widens the window as far as the screen, frame
// included.
TEST_F(MessageFormTest, WiderThanTheScreenStopsWithTheFrameAtTheScreenEdge) {
    Dialog->WindowTitle = std::string(300, 'W');
    EXPECT_EQ(Build()->Width(), Screen.Screen.Width);
    Dialog->WindowTitle = "T";
    Dialog->SetContent(std::string(400, 'm'));
    auto form = Build();
    EXPECT_EQ(form->Width(), Screen.Screen.Width);
    EXPECT_LT(form->ClientWidth(), form->Width());
}

TEST_F(MessageFormTest, EmptyTitleShowsTheProgramName) {
    auto form = Build();
    EXPECT_EQ(form->Caption(), "quillbridge");
}

TEST_F(MessageFormTest, MinimumWidthWinsWhenLarger) {
    Dialog->MinimumWidth = 777;
    auto form = Build();
    EXPECT_EQ(form->ClientWidth(), 777);
}

struct TIconCase {
    const char* Name;
    TTaskDialogIcon Icon;
    bool Custom;
    const char* Picture; // "" none
    bool Column;
};

void PrintTo(const TIconCase& c, std::ostream* os) {
    *os << c.Name;
}

class MainIconTest : public MessageFormTest, public ::testing::WithParamInterface<TIconCase> {};

TEST_P(MainIconTest, PictureAndTextColumn) {
    const TIconCase& c = GetParam();
    Dialog->MainIcon = c.Icon;
    Dialog->SetMainInstruction("Heading");
    if (c.Custom)
        Dialog->CustomIcon.SetHandle(0x4321);
    auto form = Build();
    TFormMetrics m(form->Canvas());
    if (std::string(c.Picture).empty()) {
        EXPECT_EQ(form->MainImage, nullptr);
    } else {
        ASSERT_NE(form->MainImage, nullptr);
        EXPECT_EQ(form->MainImage->BoundsRect(),
                  (TRect{m.HorzMargin, m.VertMargin, m.HorzMargin + 32, m.VertMargin + 32}));
        EXPECT_EQ(PictureName(form->MainImage->Picture).rfind(c.Picture, 0), 0u)
            << PictureName(form->MainImage->Picture);
    }
    int expectedLeft = m.HorzMargin + (c.Column ? m.HorzSpacing + 32 : 0);
    EXPECT_EQ(form->InstructionLabel->Left(), expectedLeft);
    EXPECT_EQ(form->TextColumnLeft(), expectedLeft);
}

INSTANTIATE_TEST_SUITE_P(
    Icons, MainIconTest,
    ::testing::Values(
        TIconCase{"Blank", TTaskDialogIcon::tiBlank, false, "solid:", true},
        TIconCase{"Warning", TTaskDialogIcon::tiWarning, false, "icon:32515", true},
        TIconCase{"Shield", TTaskDialogIcon::tiShield, false, "bitmap:TD_SHIELD", true},
        TIconCase{"None", TTaskDialogIcon::tiNone, false, "", false},
        TIconCase{"NoneWithCustom", TTaskDialogIcon::tiNone, true, "hicon:", true},
        TIconCase{"CustomReplacesError", TTaskDialogIcon::tiError, true, "hicon:", true}),
    [](const auto& info) { return std::string(info.param.Name); });

// Only the footer's first lines ask for width; a later word widens the window as far as it needs.
TEST_F(MessageFormTest, FooterLinesBelowTheMeasuringBoxWidenTheWindowOnlyForAWord) {
    Dialog->WindowTitle = "T";
    Dialog->MinimumWidth = 0;
    Dialog->MainIcon = TTaskDialogIcon::tiNone;
    Dialog->FooterText = "a\\nb\\n" + std::string(40, 'x');
    auto form = Build();
    TFormMetrics m(form->Canvas());
    const int word = form->Canvas().TextWidth(std::string(40, 'x'));
    EXPECT_GE(form->ClientWidth() - 2 * m.HorzMargin, word);
    EXPECT_LE(form->ClientWidth() - 2 * m.HorzMargin, word + 2);
    Dialog->FooterText = "a\\nb\\n" + std::string(20, 'x') + " " + std::string(20, 'x');
    form = Build();
    EXPECT_LT(form->ClientWidth(), word);
}

TEST_F(MessageFormTest, StandardButtonWidthsAreMeasuredOncePerProcess) {
    Dialog->CommonButtons = {CB::cbCancel};
    int small = 0;
    {
        auto form = Build();
        small = form->Canvas().TextWidth("Cancel") + 16;
        EXPECT_EQ(CommonButtonWidthCache()[3], small);
    }
    // A later window with a far larger font keeps the width the first one measured.
    Screen.MessageFont.Size = 40;
    auto form = Build();
    ASSERT_GT(form->Canvas().TextWidth("Cancel") + 16, 60);
    EXPECT_EQ(CommonButtonWidthCache()[3], small);
    EXPECT_EQ(Find<TButton>(*form, "Cancel")->Width(), std::max(small, 60));
}

// A right-to-left instruction ends at the text column's right edge, clear of the icon.
TEST_F(MessageFormTest, RightToLeftInstructionEndsAtTheColumnEdge) {
    Dialog->MainIcon = TTaskDialogIcon::tiWarning;
    Dialog->SetMainInstruction("Heading");
    Dialog->MinimumWidth = 600;
    auto form = Build();
    form->SetBiDiMode(TBiDiMode::bdRightToLeft);
    form->RefreshTexts();
    TLabel* label = form->InstructionLabel;
    EXPECT_EQ(label->Left() + label->Width(), form->ClientWidth() - form->HorzMargin);
    EXPECT_GE(label->Left(), form->TextColumnLeft());
}

} // namespace
} // namespace qb
