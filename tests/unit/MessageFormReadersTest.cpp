// The emulated window as a screen reader finds it: the window list (classes, texts, order) of
// each dialog part, and the texts' windows over the painted texts.
#include "MessageFormTestFixture.h"
#include <ostream>
#include "runtime/WinConst.h"

namespace qb {
namespace {

using Opt = TTaskDialogOption;
using CB = TCommonButton;

// "Class: text" of every visible child window: the text windows in the order a window lister
// finds them, then the others sorted (their order is the tab order's).
std::vector<std::string> Listed(THeadlessWindowing& screen, const TForm& form) {
    std::vector<std::string> texts;
    std::vector<std::string> others;
    std::vector<THeadlessWindowInfo> windows = screen.ListWindows(form);
    for (size_t i = 1; i < windows.size(); ++i)
        if (windows[i].Visible)
            (windows[i].Class == "Static" ? texts : others)
                .push_back(windows[i].Class + ": " + windows[i].Text);
    std::sort(others.begin(), others.end());
    texts.insert(texts.end(), others.begin(), others.end());
    return texts;
}

struct TReaderCase {
    const char* Name;
    std::function<void(TCustomTaskDialog&)> Fill;
    std::vector<std::string> Windows;
};

void PrintTo(const TReaderCase& c, std::ostream* os) {
    *os << c.Name;
}

class ReaderTest : public MessageFormTest, public ::testing::WithParamInterface<TReaderCase> {};

TEST_P(ReaderTest, EveryTextIsAWindowInReadingOrder) {
    GetParam().Fill(*Dialog);
    auto form = Build();
    EXPECT_EQ(Screen.ListWindows(*form).front().Class, "#32770");
    EXPECT_EQ(Listed(Screen, *form), GetParam().Windows);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReaderTest,
    ::testing::Values(
        TReaderCase{"PlainTexts",
                    [](TCustomTaskDialog& d) {
                        d.SetMainInstruction("Write the shortcuts?");
                        d.SetContent("Two files\\nare written");
                        d.CommonButtons = {CB::cbYes, CB::cbNo};
                    },
                    {"Static: Write the shortcuts?", "Static: Two files\nare written",
                     "Button: &No", "Button: &Yes"}},
        TReaderCase{"MarkupContentAndFooter",
                    [](TCustomTaskDialog& d) {
                        d.SetContent("See <a href=\"https://x\">the <b>page</b></a> &amp; more");
                        d.FooterText = "Line one\\nline <i>two</i>";
                        d.FooterIcon = TTaskDialogFooterIcon::tfInformation;
                        d.Options += Opt::doHyperlinks;
                    },
                    {"Static: See the page & more", "Static: Line one\nline two", "Button: OK"}},
        TReaderCase{"CommandLinksAreNamedByHeadingAndNote",
                    [](TCustomTaskDialog& d) {
                        d.SetMainInstruction("What now?");
                        d.CustomButtons.Add("Write the shortcuts\\nOn this user's desktop");
                        d.CustomButtons.Add("  Print  \\n  Sends f  \\n Now ");
                        d.CustomButtons.Add("c:\\new");
                        d.Options += Opt::doCommandLinks;
                    },
                    {"Static: What now?", "Button: Print\nSends f\nNow",
                     "Button: Write the shortcuts\nOn this user's desktop", "Button: c:\\new"}},
        TReaderCase{"ExpandedTextWithoutCaptions",
                    [](TCustomTaskDialog& d) {
                        d.SetContent("Done.");
                        d.ExpandedText = "dosbox.conf\rPrint-F.lnk";
                        d.Options += Opt::doExpandedDefault;
                        d.CommonButtons = {CB::cbOK};
                    },
                    {"Static: Done.", "Static: dosbox.conf\nPrint-F.lnk", "Button: Hide details",
                     "Button: OK"}},
        TReaderCase{"CollapsedTextHasNoWindow",
                    [](TCustomTaskDialog& d) {
                        d.SetContent("Done.");
                        d.ExpandedText = "Details";
                        d.CommonButtons = {CB::cbOK};
                    },
                    {"Static: Done.", "Button: OK", "Button: See details"}},
        TReaderCase{"AmpersandsAreReadAsTheyAre",
                    [](TCustomTaskDialog& d) {
                        d.SetMainInstruction("c:\\Tom & Jerry\\");
                        d.CommonButtons = {CB::cbOK};
                    },
                    {"Static: c:\\Tom & Jerry\\", "Button: OK"}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MessageFormTest, TextWindowsCoverThePaintedTextsAndLetTheMouseThrough) {
    Dialog->SetMainInstruction("Instruction");
    Dialog->SetContent("<a href=\"https://example.org\">link</a>");
    Dialog->FooterText = "Footer";
    Dialog->FooterIcon = TTaskDialogFooterIcon::tfWarning;
    Dialog->Options += Opt::doHyperlinks;
    std::string clicked;
    Dialog->OnHyperlinkClick = [&](TComponent*, const std::string& link) { clicked = link; };
    Run({user::Check([&](TForm& form) {
             TMessageForm& window = Window(form);
             auto bounds = [&](const char* name) {
                 return Find<TStaticText>(form, name)->BoundsRect();
             };
             EXPECT_EQ(bounds("InstructionText"), window.InstructionLabel->BoundsRect());
             EXPECT_EQ(bounds("ContentText"), window.ContentRect());
             TRect footer = window.FooterRect();
             footer.Left += 20; // beside the footer icon
             EXPECT_EQ(bounds("FooterText"), footer);
         }),
         user::Check([&](TForm& form) {
             const TRect r = Window(form).ContentRect();
             Screen.Play({user::MouseDown(r.Left + 2, r.Top + 2),
                          user::MouseUp(r.Left + 2, r.Top + 2), user::Click("OK")});
         })});
    EXPECT_EQ(clicked, "https://example.org");
}

TEST_F(MessageFormTest, TextWindowsFollowTheTexts) {
    Dialog->SetContent("Old");
    Dialog->ExpandedText = "More\\nlines";
    Dialog->ExpandedControlText = "&Less";
    Dialog->CollapsedControlText = "&More";
    Dialog->CommonButtons = {CB::cbOK};
    auto expect = [&](std::vector<std::string> windows) {
        return user::Check(
            [this, windows](TForm& form) { EXPECT_EQ(Listed(Screen, form), windows); });
    };
    Run({expect({"Static: Old", "Button: More", "Button: OK"}),
         user::Check([&](TForm&) { Dialog->SetContent("New"); }), user::Click("ExpandButton"),
         expect({"Static: New", "Static: More\nlines", "Button: Less", "Button: OK"}),
         user::Click("OK")});
}

} // namespace
} // namespace qb
