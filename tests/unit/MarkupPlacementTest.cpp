// Where the renderer puts text that tags move (IN, OF, INDENT, alignment) and where it then finds
// links: the hit test, the draw pass and the focus frames must agree with each other and stay
// inside the layout area. Tahoma 8 on the recording canvas: letters 6, space 3, height 13.
#include "markup/MarkupRenderer.h"
#include "runtime/headless/RecordingCanvas.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace qb;

namespace {

struct TTracedRun {
    std::string Text;
    TRect Rect;
    int Link = 0;
};

class TRunTrace : public IMarkupTrace {
public:
    std::vector<TRect> Lines;
    std::vector<TTracedRun> Runs;
    void OnLine(const TRect& r, int) override { Lines.push_back(r); }
    void OnRun(std::string_view t, const TRect& r, int link, bool) override {
        Runs.push_back({std::string(t), r, link});
    }
};

struct TLayout {
    TMarkupResult Result;
    std::vector<TCanvasRecord> Records;
    TRunTrace Trace;
    std::vector<TCanvasRecord> Of(TCanvasOp op) const {
        std::vector<TCanvasRecord> out;
        for (const auto& r : Records)
            if (r.Op == op)
                out.push_back(r);
        return out;
    }
    // The drawn text record showing `text`, first one.
    TCanvasRecord Text(const std::string& text) const {
        for (const auto& r : Records)
            if (r.Op == TCanvasOp::Text && r.Text == text)
                return r;
        ADD_FAILURE() << "no text " << text;
        return {};
    }
};

TLayout Draw(std::string_view markup, TRect bounds = {0, 0, 200, 100}, TMarkupParams p = {}) {
    TRecordingCanvas canvas;
    TLayout layout;
    p.Trace = &layout.Trace;
    RenderMarkup(canvas, markup, bounds, p, layout.Result);
    layout.Records = canvas.Records();
    return layout;
}

TMarkupResult HitTest(std::string_view markup, int x, int y, TRect bounds = {0, 0, 200, 100}) {
    TRecordingCanvas canvas;
    TMarkupParams p;
    p.HitTestOnly = true;
    p.MouseX = x;
    p.MouseY = y;
    TMarkupResult result;
    RenderMarkup(canvas, markup, bounds, p, result);
    return result;
}

TMarkupResult MeasureOnly(std::string_view markup, TRect bounds) {
    TRecordingCanvas canvas;
    TMarkupParams p;
    p.MeasureOnly = true;
    TMarkupResult result;
    RenderMarkup(canvas, markup, bounds, p, result);
    return result;
}

} // namespace

TEST(MarkupPlacementTest, ALinkIsHitOnlyInItsOwnLinesBand) {
    struct TCase {
        const char* Markup;
        int X, Y;
        bool Over;
        const char* Anchor;
    };
    const TCase cases[] = {
        // A larger font set at the end of the link's line (no text follows) does not stretch
        // its band over the line above, where plain text stands.
        {"plain words here<BR><A HREF=\"x\">link</A><FONT SIZE=\"5\">", 6, 5, false, ""},
        {"plain words here<BR><A HREF=\"x\">link</A><FONT SIZE=\"5\">", 6, 18, true, "x"},
        // The top of a large link is hit, whatever font the line ends in.
        {"<FONT SIZE=\"5\"><A HREF=\"big\">BIG</A></FONT> small", 6, 2, true, "big"},
        {"<FONT SIZE=\"5\"><A HREF=\"big\">BIG</A></FONT> small", 6, 24, true, "big"},
        {"<FONT SIZE=\"5\"><A HREF=\"big\">BIG</A></FONT> small", 6, 25, false, ""},
        // The band is the line's: its first row counts, the next line's first row does not.
        {"<A HREF=\"a\">one</A><BR><A HREF=\"b\">two</A>", 3, 0, true, "a"},
        {"<A HREF=\"a\">one</A><BR><A HREF=\"b\">two</A>", 3, 12, true, "a"},
        {"<A HREF=\"a\">one</A><BR><A HREF=\"b\">two</A>", 3, 13, true, "b"},
        // Below the last line: no link, and no anchor either.
        {"see <A HREF=\"help:one\">the link</A> here", 40, 30, false, ""},
        // Horizontally from the link's first pixel up to, not including, the next run's.
        {"ab<A HREF=\"l\">cd</A>ef", 11, 6, false, ""},
        {"ab<A HREF=\"l\">cd</A>ef", 12, 6, true, "l"},
        {"ab<A HREF=\"l\">cd</A>ef", 23, 6, true, "l"},
        {"ab<A HREF=\"l\">cd</A>ef", 24, 6, false, ""},
    };
    for (const TCase& c : cases) {
        const TMarkupResult r = HitTest(c.Markup, c.X, c.Y);
        EXPECT_EQ(r.OverLink, c.Over) << c.Markup << " at " << c.X << "," << c.Y;
        EXPECT_EQ(r.AnchorUnderMouse, c.Anchor) << c.Markup << " at " << c.X << "," << c.Y;
        EXPECT_EQ(r.LinkUnderMouse, c.Over ? r.LinkUnderMouse : -1) << c.Markup;
    }
}

TEST(MarkupPlacementTest, LinksAreHitWhereTheyAreDrawn) {
    // Texts whose link runs stand where a tag moved them: after OF, IN under centring and
    // right alignment, with INDENT, after a list bullet.
    struct TCase {
        const char* Markup;
        TRect Bounds;
    };
    const TCase cases[] = {
        {"<OF x=\"40\">intro words wrap <A HREF=\"t\">link here</A> after", {0, 0, 100, 200}},
        {"<P ALIGN=\"CENTER\">ab<IN x=\"60\"><A HREF=\"t\">link</A>", {0, 0, 200, 100}},
        {"<P ALIGN=\"RIGHT\">ab<IN x=\"30\"><A HREF=\"t\">link</A> c", {10, 0, 200, 100}},
        {"<P INDENT=\"25\" ALIGN=\"CENTER\">a b <A HREF=\"t\">cc dd ee ff</A>", {0, 0, 90, 200}},
        {"<OF x=\"12\">a<P ALIGN=\"CENTER\"> <A HREF=\"t\">bb cc dd</A>", {5, 5, 70, 200}},
        {"<UL><LI><A HREF=\"t\">item</A><UL><LI>sub <A HREF=\"t\">link</A>", {0, 0, 200, 100}},
    };
    for (const TCase& c : cases) {
        const TLayout drawn = Draw(c.Markup, c.Bounds);
        int links = 0;
        for (const TTracedRun& run : drawn.Trace.Runs) {
            const int x = (run.Rect.Left + run.Rect.Right) / 2;
            const int y = run.Rect.Bottom - 3;
            const TMarkupResult hit = HitTest(c.Markup, x, y, c.Bounds);
            EXPECT_EQ(hit.OverLink, run.Link > 0) << c.Markup << " run \"" << run.Text << "\"";
            if (run.Link > 0) {
                ++links;
                EXPECT_EQ(hit.AnchorUnderMouse, "t") << c.Markup << " run \"" << run.Text << "\"";
                // Left of the run's first pixel is the previous run or nothing.
                EXPECT_EQ(HitTest(c.Markup, run.Rect.Left - 1, y, c.Bounds).OverLink,
                          run.Rect.Left - 1 >= drawn.Trace.Lines.front().Left &&
                              &run != &drawn.Trace.Runs.front() && (&run - 1)->Link > 0 &&
                              (&run - 1)->Rect.Top == run.Rect.Top)
                    << c.Markup << " left of \"" << run.Text << "\"";
            }
        }
        EXPECT_GT(links, 0) << c.Markup;
    }
}

TEST(MarkupPlacementTest, IndentToAndOffsetPlaceTextAlikeWhenMeasuringAndDrawing) {
    struct TCase {
        const char* Markup;
        const char* Text; // the run to look at
        int Left;         // where it is drawn
        int UsedWidth;
    };
    const TCase cases[] = {
        // IN never moves back over text already on the line.
        {"abcdefghij<IN x=\"20\">k", "k", 60, 68},
        {"ab<IN x=\"50\">c", "c", 50, 58},
        // Under centring IN counts from the line's own left: the line is 56 wide.
        {"<P ALIGN=\"CENTER\">ab<IN x=\"50\">c", "c", 72 + 50, 58},
        // OF moves on, never back over text; the next line starts at its value.
        {"abcdefghij<OF x=\"20\">k", "k", 60, 68},
        {"abcdefghij<OF x=\"20\">k<BR>m", "m", 20, 68},
        // Negative indents and offsets would draw left of the area.
        {"<P INDENT=\"-20\">a", "a", 0, 8},
        {"<OF x=\"-15\">a<BR>b", "b", 0, 8},
    };
    for (const TCase& c : cases) {
        const TLayout drawn = Draw(c.Markup);
        EXPECT_EQ(drawn.Text(c.Text).Rect.Left, c.Left) << c.Markup;
        EXPECT_EQ(drawn.Result.UsedWidth, c.UsedWidth) << c.Markup;
        EXPECT_EQ(MeasureOnly(c.Markup, {0, 0, 200, 100}).UsedWidth, c.UsedWidth) << c.Markup;
    }
}

TEST(MarkupPlacementTest, IndentAndOffsetCountInTheFitAndInUsedWidth) {
    struct TCase {
        const char* Markup;
        TRect Bounds;
        int UsedWidth;
        int Lines;
    };
    const TCase cases[] = {
        // INDENT narrows the room: one word a line, drawn from 30, none past 80.
        {"<P INDENT=\"30\">aaaa bbbb cccc", {0, 0, 80, 200}, 30 + 24 + 2, 3},
        // Lines after OF carry the offset in their width.
        {"ab<BR><OF x=\"30\">x<BR>abcdefgh", {0, 0, 200, 200}, 30 + 48 + 2, 3},
        {"<OF x=\"20\">aa bb cc dd ee ff</OF> gg hh ii jj", {0, 0, 80, 200}, 20 + 42 + 2, 3},
        // Right alignment ends at the right edge, centring centres in the indented box.
        {"<P ALIGN=\"RIGHT\" INDENT=\"20\">abc", {0, 0, 200, 100}, 20 + 18 + 2, 1},
        {"<P ALIGN=\"CENTER\" INDENT=\"40\">ab", {0, 0, 200, 100}, 40 + 12 + 2, 1},
        // A deeper indent met after text that would then not fit starts the next line.
        {"aaaa bbbb <P INDENT=\"60\">cc", {0, 0, 100, 200}, 60 + 12 + 2, 2},
        {"aa <P INDENT=\"60\">cc", {0, 0, 100, 200}, 60 + 27 + 2, 1},
    };
    for (const TCase& c : cases) {
        const TLayout drawn = Draw(c.Markup, c.Bounds);
        EXPECT_EQ(drawn.Result.UsedWidth, c.UsedWidth) << c.Markup;
        EXPECT_EQ(static_cast<int>(drawn.Trace.Lines.size()), c.Lines) << c.Markup;
        for (const auto& text : drawn.Of(TCanvasOp::Text)) {
            // The breaking space may stand past the edge; letters never do.
            const int trailing = text.Text.back() == ' ' ? 3 : 0;
            EXPECT_LE(text.Rect.Right - trailing, c.Bounds.Right) << c.Markup << " " << text.Text;
            EXPECT_GE(text.Rect.Left, c.Bounds.Left) << c.Markup << " " << text.Text;
        }
        // A window as wide as UsedWidth shows every line whole (a line that ended in a space
        // may give its last word to the next one: the fit counts that space, UsedWidth not).
        const TRect fitted{c.Bounds.Left, c.Bounds.Top, c.Bounds.Left + drawn.Result.UsedWidth,
                           c.Bounds.Bottom};
        const TLayout again = Draw(c.Markup, fitted);
        EXPECT_GE(again.Trace.Lines.size(), drawn.Trace.Lines.size()) << c.Markup;
        for (const auto& text : again.Of(TCanvasOp::Text)) {
            const int trailing = text.Text.back() == ' ' ? 3 : 0;
            EXPECT_LE(text.Rect.Right - trailing, fitted.Right) << c.Markup << " " << text.Text;
        }
    }
    // The P tag that started the next line still indents it.
    EXPECT_EQ(Draw("aaaa bbbb <P INDENT=\"60\">cc", {0, 0, 100, 200}).Text("cc").Rect.Left, 60);
    EXPECT_EQ(Draw("aaaa bbbb <P INDENT=\"60\">cc", {0, 0, 100, 200}).Text("aaaa ").Rect.Left, 0);
}

TEST(MarkupPlacementTest, TextAfterALinkOrBlinkGoesOnInTheFontColour) {
    constexpr TColor Red = 0x0000FF;
    const TColor base = TFont{}.Color;
    struct TCase {
        const char* Markup;
        bool BlinkOn;
        TColor After; // colour of the run "after"
    };
    const TCase cases[] = {
        {"<FONT COLOR=\"clRed\">a <A HREF=\"x\">b</A> after</FONT>", true, Red},
        {"<FONT COLOR=\"clRed\">a<BLINK>b</BLINK>after", true, Red},
        {"<FONT COLOR=\"clRed\">a<BLINK>b</BLINK>after", false, Red},
        {"<FONT COLOR=\"clRed\">a<BL>b<BL>c</BL>after", false, Red},
        {"<FONT COLOR=\"clRed\">a<A HREF=\"x\">b<A HREF=\"y\">c</A>after", true, Red},
        // Outside FONT, and for end tags with nothing open, the base colour as before.
        {"a <A HREF=\"x\">b</A> after", true, base},
        {"<FONT COLOR=\"clRed\">a</A>after", true, base},
        {"<FONT COLOR=\"clRed\">a</BODY>after", true, base},
        {"<FONT COLOR=\"clRed\">a</FONT><A HREF=\"x\">b</A>after", true, base},
    };
    for (const TCase& c : cases) {
        TMarkupParams p;
        p.BlinkOn = c.BlinkOn;
        EXPECT_EQ(Draw(c.Markup, {0, 0, 200, 100}, p).Text("after").Font.Color, c.After)
            << c.Markup << " blink " << c.BlinkOn;
    }
    // While blinking is off the blinking text takes the background colour.
    TMarkupParams off;
    off.BlinkOn = false;
    EXPECT_EQ(
        Draw("<FONT COLOR=\"clRed\">a<BLINK>b</BLINK>", {0, 0, 200, 100}, off).Text("b").Font.Color,
        clWhite);
}

TEST(MarkupPlacementTest, AmpersandEntityShowsOneAmpersandInEitherPrefixMode) {
    struct TCase {
        const char* Markup;
        const char* Shown; // the runs' shown text, joined
    };
    const TCase cases[] = {
        {"A&amp;B", "A&B"},
        {"x & y &amp; z", "x & y & z"},
        {"x & y&amp;z", "x & y&z"},
        {"fish &amp; chips & peas", "fish & chips & peas"},
        // The "&" an entity leaves may start another one, as with prefixes.
        {"a & &amp;amp; &amp;quot;", "a & & \""},
    };
    for (const TCase& c : cases) {
        std::string shown;
        for (const auto& text : Draw(c.Markup).Of(TCanvasOp::Text))
            shown += text.Text;
        EXPECT_EQ(shown, c.Shown) << c.Markup;
    }
}

TEST(MarkupPlacementTest, FocusFramesEachPartOfAWrappedLinkWhereItIsDrawn) {
    struct TCase {
        const char* Markup;
        TRect Bounds;
        std::vector<TRect> Frames;
    };
    const TCase cases[] = {
        // Each part from its first letter to its last, one pixel wider on each side.
        {"ab <A HREF=\"t\">cd ef gh ij</A> kl",
         {0, 0, 60, 100},
         {{14, 0, 43, 13}, {-1, 13, 28, 26}}},
        // The second part starts where its line's text does: after the offset...
        {"<OF x=\"10\">ab <A HREF=\"t\">cd ef gh</A>",
         {0, 0, 60, 100},
         {{24, 0, 53, 13}, {9, 13, 23, 26}}},
        // ...and on a centred line.
        {"<P ALIGN=\"CENTER\">ab <A HREF=\"t\">cd ef gh ij</A>",
         {0, 0, 60, 100},
         {{23, 0, 52, 13}, {15, 13, 44, 26}}},
        // A link tag left alone at a line's end frames nothing there.
        {"abcdefgh <A HREF=\"t\">ijklmn</A>", {0, 0, 60, 100}, {{-1, 13, 37, 26}}},
        // A stray end tag after the link draws no second frame over the first.
        {"<A HREF=\"t\">ab</A></A>", {0, 0, 60, 100}, {{-1, 0, 13, 13}}},
    };
    for (const TCase& c : cases) {
        TMarkupParams p;
        p.FocusedLink = 0;
        const TLayout drawn = Draw(c.Markup, c.Bounds, p);
        std::vector<TRect> frames;
        for (const auto& r : drawn.Of(TCanvasOp::FocusRect))
            frames.push_back(r.Rect);
        EXPECT_EQ(frames, c.Frames) << c.Markup;
        EXPECT_EQ(drawn.Result.FocusedAnchor, "t") << c.Markup;
    }
}
