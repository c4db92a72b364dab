// Layout rules of the markup renderer that callers depend on, checked with numbers (the
// golden layouts show the whole picture), the canvas state it must give back, and what it
// does with hostile input. Tahoma 8 on the recording canvas: letters 6, space 3, height 13.
#include "markup/MarkupRenderer.h"
#include "runtime/WinConst.h"
#include "runtime/headless/RecordingCanvas.h"
#include <gtest/gtest.h>
#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

using namespace qb;

namespace {

struct TRun {
    TMarkupResult Result;
    bool Over = false;
    std::vector<TCanvasRecord> Records;
    std::vector<TCanvasRecord> Texts() const {
        std::vector<TCanvasRecord> t;
        for (const auto& r : Records)
            if (r.Op == TCanvasOp::Text)
                t.push_back(r);
        return t;
    }
};

TRun Render(std::string_view markup, TMarkupParams params = {}, TRect bounds = {0, 0, 200, 100}) {
    TRecordingCanvas canvas;
    TRun run;
    run.Over = RenderMarkup(canvas, markup, bounds, params, run.Result);
    run.Records = canvas.Records();
    return run;
}

TMarkupParams Measure() {
    TMarkupParams p;
    p.MeasureOnly = true;
    return p;
}

TMarkupParams HitTest(int x, int y) {
    TMarkupParams p;
    p.HitTestOnly = true;
    p.MouseX = x;
    p.MouseY = y;
    return p;
}

} // namespace

TEST(MarkupRendererTest, WidthsHeightsAndBreaks) {
    // a, b (bold), a space and c: their widths plus 2.
    EXPECT_EQ(Render("a<B>b</B> c").Result.UsedWidth, 6 + 7 + 3 + 6 + 2);
    // Empty text: no width, one font height.
    TRun empty = Render("");
    EXPECT_EQ(empty.Result.UsedWidth, 0);
    EXPECT_EQ(empty.Result.UsedHeight, 13);
    // Two BR in a row give two lines; CR LF gives one break.
    EXPECT_EQ(Render("<BR><BR>", Measure()).Result.UsedHeight, 26);
    EXPECT_EQ(Render("a\r\nb", Measure()).Result.UsedHeight, 26);
    // A wrapped line does not count its breaking space.
    TRun wrapped = Render("aaa bbb", Measure(), {0, 0, 30, 100});
    EXPECT_EQ(wrapped.Result.UsedWidth, 18 + 2);
    EXPECT_EQ(wrapped.Result.UsedHeight, 26);
    // A word wider than the line overflows a line of its own.
    TRun wide = Render("ab abcdefghij cd", Measure(), {0, 0, 30, 100});
    EXPECT_EQ(wide.Result.UsedHeight, 39);
    EXPECT_EQ(wide.Result.UsedWidth, 60 + 2);
}

TEST(MarkupRendererTest, HeightLimitAppliesOnlyWhenDrawing) {
    const std::string text = "1<BR>2<BR>3<BR>4<BR>5";
    TRun drawn = Render(text, {}, {0, 0, 200, 30});
    EXPECT_EQ(drawn.Result.UsedHeight, 26);
    EXPECT_EQ(drawn.Texts().size(), 2u);
    EXPECT_EQ(drawn.Result.PlainText, "1\r2\r");
    EXPECT_EQ(Render(text, Measure(), {0, 0, 200, 30}).Result.UsedHeight, 65);
    // A box measured for a text shows all of it, also a line in a smaller font than the first.
    const std::string smaller = "a <FONT SIZE=\"6\">bb cc</FONT>";
    const int height = Render(smaller, Measure(), {0, 0, 20, 1000}).Result.UsedHeight;
    EXPECT_EQ(height, 13 + 10);
    EXPECT_EQ(Render(smaller, {}, {0, 0, 20, height}).Texts().size(), 3u);
    // Measuring and drawing agree on every line's height, even with negative spacing.
    TMarkupParams tight = Measure();
    tight.ExtraLineSpacing = -5;
    TMarkupParams tightDraw;
    tightDraw.ExtraLineSpacing = -5;
    EXPECT_EQ(Render(text, tight, {0, 0, 200, 1000}).Result.UsedHeight,
              Render(text, tightDraw, {0, 0, 200, 1000}).Result.UsedHeight);
}

TEST(MarkupRendererTest, EntitiesSpacesAndPrefixes) {
    // x < y with no ">" after the "<": only x and the space are shown.
    EXPECT_EQ(Render("x < y").Result.PlainText, "x ");
    EXPECT_EQ(Render("x &lt; y").Result.PlainText, "x < y");
    // A line that starts with &nbsp; keeps it; plain spaces are trimmed.
    EXPECT_EQ(Render("   &nbsp;a").Texts().at(0).Text, " a");
    EXPECT_EQ(Render("   a").Texts().at(0).Rect.Left, 0);
    // Words joined by &nbsp; never break apart.
    TRun joined = Render("aa bb&nbsp;cc", {}, {0, 0, 40, 100});
    ASSERT_EQ(joined.Texts().size(), 2u);
    EXPECT_EQ(joined.Texts()[1].Text, "bb cc");
    EXPECT_EQ(joined.Texts()[1].Rect.Top, 13);
    // "&" rules: A&B underlines B; " & " turns prefixes off; &amp; shows one "&".
    EXPECT_EQ(Render("A&B").Texts().at(0).Text, "AB");
    EXPECT_EQ(Render("A&B").Texts().at(0).Underlined, 1);
    EXPECT_EQ(Render("A&B & C").Texts().at(0).Text, "A&B ");
    EXPECT_EQ(Render("A&amp;B").Texts().at(0).Text, "A&B");
}

TEST(MarkupRendererTest, ScriptsListsAlignmentAndFonts) {
    // A subscript digit drops a quarter of its height and makes the line that much taller;
    // an open subscript is off on the next line.
    TRun sub = Render("H<SUB>2</SUB>O<SUB>x<BR>y");
    EXPECT_EQ(sub.Texts()[1].Rect.Bottom - sub.Texts()[0].Rect.Bottom, 3);
    EXPECT_EQ(sub.Result.UsedHeight, 16 + 13);
    EXPECT_EQ(sub.Texts()[4].Rect.Bottom, 16 + 13);

    // Bullets: Symbol 0xB7 at odd levels, "o" at even; 12 * (L - 1) in, text 12 further.
    TRun list = Render("<UL><LI>a<LI>b<UL><LI>c");
    std::vector<TCanvasRecord> t = list.Texts();
    ASSERT_EQ(t.size(), 6u);
    EXPECT_EQ(t[0].Text, "\xB7");
    EXPECT_EQ(t[0].Font.Name, "Symbol");
    EXPECT_EQ(t[1].Rect.Left, 12);
    EXPECT_NE(t[2].Rect.Top, t[0].Rect.Top); // the second LI starts a new line
    EXPECT_EQ(t[4].Text, "o");
    EXPECT_EQ(t[4].Rect.Left, 12);
    EXPECT_EQ(t[5].Rect.Left, 24);
    EXPECT_EQ(t[5].Font.Name, "Tahoma");
    // The second LI is measured on its own line only.
    EXPECT_EQ(Render("<UL><LI>abc<LI>d", Measure()).Result.UsedWidth, 12 + 18 + 2);

    // CENTER centres its line and the following ones; /P does not reset it.
    TRun centred = Render("<P ALIGN=\"CENTER\">ab</P>cd");
    EXPECT_EQ(centred.Texts()[0].Rect.Left, (200 - 12) / 2);
    EXPECT_EQ(centred.Texts()[1].Rect.Left, (200 - 12) / 2);
    // INDENT moves every following line.
    EXPECT_EQ(Render("<P INDENT=\"30\">a<BR>b").Texts()[1].Rect.Left, 30);

    // SIZE 1..5 map to 8..16 points, other numbers are points, clamped to 1..1000.
    const std::pair<const char*, int> sizes[] = {
        {"1", 8},    {"2", 10},          {"3", 12}, {"4", 14}, {"5", 16}, {"20", 20},
        {"3 x", 12}, {"99999999", 1000}, {"0", 1},  {"-7", 7}, // the closing quote stops the
                                                               // reading, which then drops the sign
    };
    for (const auto& [value, points] : sizes) {
        const std::string quoted = std::string(value).find(' ') == std::string::npos
                                       ? "\"" + std::string(value) + "\""
                                       : std::string(value);
        TRun f = Render("<FONT SIZE=" + quoted + ">a</FONT>");
        ASSERT_FALSE(f.Texts().empty()) << value;
        EXPECT_EQ(f.Texts()[0].Font.Size, points) << value;
    }
    EXPECT_EQ(Render("<FONT SIZE=-7>a").Texts()[0].Font.Size, 1);
    // An unquoted size followed by a quoted attribute reads the wrong quote.
    EXPECT_EQ(Render("<FONT SIZE=3 FACE=\"X\">a").Texts()[0].Font.Size, 1);
}

TEST(MarkupRendererTest, WrapOffAndHiddenText) {
    TMarkupParams noWrap;
    noWrap.Wrap = false;
    // Text runs on past the right edge; a run starting within the width of "w" of it is not
    // drawn, one that starts before it is cut with an ellipsis.
    TRun r = Render("abcde<B>f</B>gh ij", noWrap, {0, 0, 40, 100});
    std::vector<TCanvasRecord> t = r.Texts();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].Text, "abcde");
    EXPECT_EQ(t[1].Text, "f");
    EXPECT_EQ(r.Result.UsedWidth, 30 + 7 + 27 + 2);
    EXPECT_EQ(Render("abcdefghij", noWrap, {0, 0, 40, 100}).Texts()[0].Text, "abc...");

    // Hidden text: no width, not drawn, but it counts for the line height and PlainText.
    TRun hidden = Render("a<Z><FONT SIZE=\"5\">zz</FONT></Z>b");
    EXPECT_EQ(hidden.Result.UsedWidth, 12 + 2);
    EXPECT_EQ(hidden.Result.UsedHeight, 25);
    EXPECT_EQ(hidden.Texts().size(), 2u);
    EXPECT_EQ(hidden.Result.PlainText, "azzb");
    // Switches left on at the end of a line act from where they stand, not from its start.
    EXPECT_EQ(Render("a<Z>b").Texts().at(0).Text, "a");
    EXPECT_EQ(Render("a<SH>b", {}).Texts().size(), 3u); // a, shadow of b, b
}

TEST(MarkupRendererTest, LinksHitTestAndFocus) {
    const std::string text = "see <A HREF=\"help:one\">the link</A> here";
    // Mouse on the link text.
    TRun on = Render(text, HitTest(45, 6));
    EXPECT_TRUE(on.Over);
    EXPECT_TRUE(on.Result.OverLink);
    EXPECT_EQ(on.Result.AnchorUnderMouse, "help:one");
    EXPECT_EQ(on.Result.LinkUnderMouse, 1);
    EXPECT_EQ(on.Result.HoverBounds, (TRect{21, 0, 66, 13}));
    EXPECT_EQ(on.Result.LinkCount, 1);
    EXPECT_TRUE(on.Records.empty()); // a hit test draws nothing
    // Right of it, below the last line, or a measuring call: no link.
    EXPECT_FALSE(Render(text, HitTest(120, 6)).Over);
    EXPECT_FALSE(Render(text, HitTest(45, 30)).Over);
    TMarkupParams measure = HitTest(45, 6);
    measure.HitTestOnly = false;
    measure.MeasureOnly = true;
    EXPECT_FALSE(Render(text, measure).Over);
    // On a centred line the link is found where it is drawn.
    EXPECT_TRUE(Render("<P ALIGN=\"CENTER\"><A HREF=\"m\">middle</A>", HitTest(100, 6)).Over);
    EXPECT_FALSE(Render("<P ALIGN=\"CENTER\"><A HREF=\"m\">middle</A>", HitTest(10, 6)).Over);
    // A right-aligned link is found up to its last letter.
    EXPECT_TRUE(Render("<P ALIGN=\"RIGHT\">x <A HREF=\"r\">end</A>", HitTest(198, 6)).Over);

    // A drawing call: the link under the mouse is what the measure pass found, never the end
    // tag that stands before it on the same line.
    TMarkupParams draw;
    draw.MouseX = 30;
    draw.MouseY = 6;
    TRun stray = Render("ab</A> <A HREF=\"t\">link text", draw);
    EXPECT_EQ(stray.Result.LinkUnderMouse, -1);
    EXPECT_EQ(Render("ab</A> <A HREF=\"t\">link</A> text", draw).Result.LinkUnderMouse, 1);

    // Two links: FocusedLink 1 frames the second and names its target.
    TMarkupParams focus;
    focus.FocusedLink = 1;
    TRun f = Render("<A HREF=\"a\">one</A> <A HREF=\"b\">two</A>", focus);
    EXPECT_EQ(f.Result.FocusedAnchor, "b");
    EXPECT_EQ(f.Result.LinkCount, 2);
    int frames = 0;
    for (const auto& rec : f.Records)
        if (rec.Op == TCanvasOp::FocusRect) {
            ++frames;
            EXPECT_EQ(rec.Rect, (TRect{20, 0, 40, 13}));
        }
    EXPECT_EQ(frames, 1);
    // No focused link: a stray end tag draws no frame.
    for (const auto& rec : Render("</A>x<A>y</A>").Records)
        EXPECT_NE(rec.Op, TCanvasOp::FocusRect);

    // Links are underlined in LinkColor; with SelectedColors they keep the text colour.
    TMarkupParams colours;
    colours.LinkColor = 0x00ABCDEF;
    TRun c = Render("<A HREF=\"a\">one</A>two", colours);
    EXPECT_EQ(c.Texts()[0].Font.Color, 0x00ABCDEFu);
    EXPECT_TRUE(c.Texts()[0].Font.Style & fsUnderline);
    EXPECT_EQ(c.Texts()[1].Font.Color, TFont{}.Color);
    EXPECT_FALSE(c.Texts()[1].Font.Style & fsUnderline);
    colours.SelectedColors = true;
    EXPECT_EQ(Render("<A HREF=\"a\">one</A>", colours).Texts()[0].Font.Color, TFont{}.Color);

    // A link over two lines with the mouse on its first part: the hover rectangle is its part
    // on the line where it ends, from that line's left edge to its end tag.
    TRun wrap = Render("ab <A HREF=\"t\">cd ef gh ij</A> kl", HitTest(40, 6), {0, 0, 60, 100});
    EXPECT_TRUE(wrap.Over);
    EXPECT_EQ(wrap.Result.HoverBounds, (TRect{0, 13, 27, 26}));
}

TEST(MarkupRendererTest, CanvasStateComesBackOnEveryPath) {
    // A text that changes font, colours, background, pen and rotation and leaves all open.
    const std::string text = "<BODY BGCOLOR=\"clYellow\"><P BGCOLOR=\"clRed\"><FONT FACE=\"Arial\" "
                             "SIZE=\"5\" COLOR=\"clBlue\" BGCOLOR=\"clLime\"><B><I><U><S><HI>"
                             "<E><R a=\"45\"><A HREF=\"x\">text <HR>more";
    TFont font;
    font.Name = "Verdana";
    font.Size = 9;
    font.Style = fsBold;
    font.Color = 0x00112233;
    for (int mode = 0; mode < 3; ++mode) {
        TRecordingCanvas canvas;
        canvas.SetFont(font);
        canvas.SetBrushColor(0x00445566);
        canvas.SetPenColor(0x00778899);
        canvas.SetPenWidth(3);
        canvas.SetFontRotation(100);
        TMarkupParams p;
        p.MeasureOnly = mode == 1;
        p.HitTestOnly = mode == 2;
        p.HoverBackColor = 0x00010203;
        TMarkupResult result;
        RenderMarkup(canvas, text, {0, 0, 100, 100}, p, result);
        EXPECT_EQ(canvas.Font(), font) << mode;
        EXPECT_EQ(canvas.BrushColor(), 0x00445566u) << mode;
        EXPECT_EQ(canvas.BrushStyle(), TBrushStyle::Solid) << mode;
        EXPECT_EQ(canvas.PenColor(), 0x00778899u) << mode;
        EXPECT_EQ(canvas.PenWidth(), 3) << mode;
        EXPECT_EQ(canvas.FontRotation(), 100) << mode;
    }

    // Also when the canvas fails half-way.
    class TFailingCanvas : public TRecordingCanvas {
    public:
        int Left = 2;
        int DrawText(std::string_view t, TRect& r, uint32_t f) override {
            if (!(f & win::DT_CALCRECT) && --Left == 0)
                throw std::runtime_error("device lost");
            return TRecordingCanvas::DrawText(t, r, f);
        }
    };
    TFailingCanvas failing;
    failing.SetFont(font);
    failing.SetBrushStyle(TBrushStyle::Clear);
    TMarkupResult result;
    EXPECT_THROW(RenderMarkup(failing, text, {0, 0, 100, 100}, {}, result), std::runtime_error);
    EXPECT_EQ(failing.Font(), font);
    EXPECT_EQ(failing.BrushStyle(), TBrushStyle::Clear);
    EXPECT_EQ(failing.FontRotation(), 0);
}

TEST(MarkupRendererTest, HostileInputEndsAndStaysInRange) {
    const std::string samples[] = {
        std::string("a\0b<B\0>c\0", 9),
        "<",
        "<<",
        "<<<",
        "</",
        "</B",
        "<FONT SIZE=\"2147483647\" FACE=\"",
        "<OF x=\"2147483647\">a b c<IN x=\"-2147483648\">d<P INDENT=\"2147483647\">e<BR>f",
        "<OF x=\"-2147483648\">a b c d e f g",
        "<R a=\"-2147483648\">x</R></R></R>",
        "<A HREF=\"unterminated>x</A",
        "<SUB><SUP>a<SUB>b</SU",
        "&amp;amp;amp;amp;&#&;&&&&",
        "<IMG SRC=\"x\"><IMG><IMG>",
        "\x01\x02\x03\x7F\xFF<BODY BGCOLOR=\"#\" BGCOLORTO=\"#GGGGGG\" DIR=\"\">",
    };
    for (const std::string& text : samples) {
        for (int mode = 0; mode < 3; ++mode) {
            TMarkupParams p;
            p.MeasureOnly = mode == 1;
            p.HitTestOnly = mode == 2;
            p.FocusedLink = 0;
            p.ShadowDistance = 2147483647;
            TRecordingCanvas canvas;
            TMarkupResult result;
            RenderMarkup(canvas, text, {-2147483647 - 1, 2147483000, 2147483647, -5}, p, result);
            EXPECT_GE(result.UsedHeight, 0) << text;
        }
    }

    // Thousands of nested lists and list items, a tag cut at every length.
    std::string nested;
    for (int i = 0; i < 5000; ++i)
        nested += "<UL><LI>x";
    TRun deep = Render(nested, Measure());
    EXPECT_EQ(deep.Result.PlainText, std::string(5000, 'x'));
    const std::string full = "a<FONT COLOR=\"clRed\" SIZE=\"3\">b</FONT><A HREF=\"t\">c</A>";
    for (size_t n = 0; n <= full.size(); ++n)
        Render(full.substr(0, n), HitTest(3, 3));
}

TEST(MarkupRendererTest, CostGrowsLinearly) {
    // Texts that make a naive renderer copy or rescan the rest for every run and tag.
    std::string tags, words;
    for (int i = 0; i < 100000; ++i) {
        tags += "<B>a</B>";
        words += "ab ";
    }
    TRecordingCanvas canvas;
    canvas.Recording = false;
    TMarkupResult result;
    const auto start = std::chrono::steady_clock::now();
    RenderMarkup(canvas, tags, {0, 0, 300, 100}, Measure(), result);
    EXPECT_EQ(result.PlainText.size(), 100000u);
    RenderMarkup(canvas, words, {0, 0, 300, 100}, Measure(), result);
    TMarkupParams noWrap = Measure();
    noWrap.Wrap = false;
    RenderMarkup(canvas, "<" + words, {0, 0, 300, 100}, noWrap, result);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    // Linear work is well under a second even with sanitizers; quadratic work takes minutes.
    EXPECT_LT(seconds.count(), 30.0);
}
