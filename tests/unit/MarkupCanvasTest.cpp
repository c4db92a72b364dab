// The recording canvas is the ruler every layout test measures with: its metrics and DrawText
// rules must hold exactly as its header documents them.
#include "runtime/WinConst.h"
#include "runtime/headless/RecordingCanvas.h"
#include <gtest/gtest.h>

using namespace qb;
using namespace qb::win;

namespace {

TFont Tahoma(int size, TFontStyles style = 0) {
    TFont f;
    f.Size = size;
    f.Style = style;
    return f;
}

} // namespace

TEST(MarkupCanvasTest, MetricsFollowTheDocumentedFormula) {
    TRecordingCanvas c;
    c.SetFont(Tahoma(8));
    EXPECT_EQ(c.TextHeight("gh"), 13);
    EXPECT_EQ(c.TextWidth("ab"), 12);
    EXPECT_EQ(c.TextWidth(" "), 3);
    EXPECT_EQ(c.TextWidth(std::string_view("a\0b", 3)), 18); // NUL is an ordinary byte
    c.SetFont(Tahoma(8, fsBold | fsItalic | fsUnderline));
    EXPECT_EQ(c.TextWidth("ab"), 16);
    EXPECT_EQ(c.TextWidth(" "), 5);
    c.SetFont(Tahoma(12));
    EXPECT_EQ(c.TextHeight(""), 19);
    EXPECT_EQ(c.TextWidth("a"), 9);
    // Sizes are clamped, negative sizes count by their magnitude.
    c.SetFont(Tahoma(-8));
    EXPECT_EQ(c.TextWidth("a"), 6);
    c.SetFont(Tahoma(0));
    EXPECT_EQ(c.TextWidth("a"), 1);
    EXPECT_EQ(c.TextHeight("a"), 2);
    c.SetFont(Tahoma(2147483647));
    EXPECT_EQ(c.TextHeight("a"), 1501);
    c.SetFont(Tahoma(-2147483647 - 1));
    EXPECT_EQ(c.TextWidth("a"), 750);
}

TEST(MarkupCanvasTest, CalcRectMeasuresSingleAndWrappedLines) {
    TRecordingCanvas c;
    TRect r{10, 20, 100, 20};
    EXPECT_EQ(c.DrawText("hello", r, DT_CALCRECT | DT_SINGLELINE), 13);
    EXPECT_EQ(r, (TRect{10, 20, 40, 33}));
    r = {0, 0, 40, 0};
    // "aaa bbb ccc" at 6 per letter and 3 per space: "aaa bbb" is 39 wide, so two lines.
    EXPECT_EQ(c.DrawText("aaa bbb ccc", r, DT_CALCRECT | DT_WORDBREAK), 26);
    EXPECT_EQ(r, (TRect{0, 0, 39, 26}));
    // A word wider than the rectangle stays whole and widens the result.
    r = {0, 0, 10, 0};
    c.DrawText("abcdef gh", r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(r, (TRect{0, 0, 36, 26}));
    // Line breaks: CR LF counts once; a single-line text keeps them as bytes.
    r = {0, 0, 100, 0};
    EXPECT_EQ(c.DrawText("a\r\nb\nc", r, DT_CALCRECT), 39);
    r = {0, 0, 100, 0};
    EXPECT_EQ(c.DrawText("a\r\nb", r, DT_CALCRECT | DT_SINGLELINE), 13);
    EXPECT_EQ(r.Right, 24);
    // External leading only when asked.
    r = {0, 0, 100, 0};
    EXPECT_EQ(c.DrawText("a", r, DT_CALCRECT | DT_SINGLELINE | DT_EXTERNALLEADING), 14);
    EXPECT_TRUE(c.Records().empty());
}

TEST(MarkupCanvasTest, PrefixRuleAndNoPrefix) {
    TRecordingCanvas c;
    TRect r{0, 0, 200, 13};
    c.DrawText("A&B", r, DT_SINGLELINE);
    c.DrawText("x&&y", r, DT_SINGLELINE);
    c.DrawText("z&", r, DT_SINGLELINE);
    c.DrawText("A&B", r, DT_SINGLELINE | DT_NOPREFIX);
    c.DrawText("&a&b", r, DT_SINGLELINE);
    ASSERT_EQ(c.Records().size(), 5u);
    EXPECT_EQ(c.Records()[0].Text, "AB");
    EXPECT_EQ(c.Records()[0].Underlined, 1);
    EXPECT_EQ(c.Records()[0].Rect.Right, 12);
    EXPECT_EQ(c.Records()[1].Text, "x&y");
    EXPECT_EQ(c.Records()[1].Underlined, -1);
    EXPECT_EQ(c.Records()[2].Text, "z&");
    EXPECT_EQ(c.Records()[3].Text, "A&B");
    EXPECT_EQ(c.Records()[4].Text, "ab");
    EXPECT_EQ(c.Records()[4].Underlined, 1); // the last prefixed byte wins
    TRect m{0, 0, 200, 0};
    c.DrawText("A&B", m, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(m.Right, 12);
}

TEST(MarkupCanvasTest, PlacementTabsAndEllipsis) {
    TRecordingCanvas c;
    c.SetBrushColor(clNone);
    TRect r{0, 0, 100, 50};
    c.DrawText("ab", r, DT_SINGLELINE | DT_BOTTOM);
    c.DrawText("ab", r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    c.DrawText("ab", r, DT_SINGLELINE | DT_RIGHT);
    c.SetBrushColor(0x123456);
    c.DrawText("a\tb", r, DT_SINGLELINE | DT_EXPANDTABS);
    c.DrawText("a\tb", r, DT_SINGLELINE);
    TRect narrow{0, 0, 40, 13};
    c.DrawText("abcdefghij", narrow, DT_SINGLELINE | DT_END_ELLIPSIS);
    TRect tiny{0, 0, 7, 13};
    c.DrawText("abcdefghij", tiny, DT_SINGLELINE | DT_END_ELLIPSIS);
    const auto& rec = c.Records();
    ASSERT_EQ(rec.size(), 7u);
    EXPECT_EQ(rec[0].Rect, (TRect{0, 37, 12, 50}));
    EXPECT_EQ(rec[0].Background, clNone);
    EXPECT_EQ(rec[1].Rect, (TRect{44, 18, 56, 31}));
    EXPECT_EQ(rec[2].Rect, (TRect{88, 0, 100, 13}));
    EXPECT_EQ(rec[3].Rect.Right, 54); // tab stop at 48, then b
    EXPECT_EQ(rec[3].Background, 0x123456u);
    EXPECT_EQ(rec[4].Rect.Right, 18);
    EXPECT_EQ(rec[5].Text, "abc...");
    EXPECT_LE(rec[5].Rect.Width(), 40);
    EXPECT_EQ(rec[6].Text, "."); // even the dots are cut to what fits
}

TEST(MarkupCanvasTest, RecordsShapesAndState) {
    TRecordingCanvas c;
    c.SetPenColor(0x0000FF);
    c.MoveTo(1, 2);
    c.LineTo(5, 2);
    c.SetBrushColor(0x00FF00);
    c.Rectangle({0, 0, 4, 4});
    c.SetBrushStyle(TBrushStyle::Clear);
    c.FillRect({0, 0, 4, 4});
    c.DrawFocusRect({1, 1, 3, 3});
    c.SetClipRect({0, 0, 9, 9});
    c.ClearClip();
    EXPECT_EQ(c.SetFontRotation(900), 0);
    EXPECT_EQ(c.SetFontRotation(0), 900);
    EXPECT_EQ(c.Dump(), "line (1,2)-(5,2) pen=000000FF/1\n"
                        "rectangle (0,0)-(4,4) pen=000000FF/1 fill=0000FF00\n"
                        "fill (0,0)-(4,4) fill=none\n"
                        "focus (1,1)-(3,3)\n"
                        "clip (0,0)-(9,9)\n"
                        "noclip\n");
    EXPECT_EQ(c.ColorToRGB(0xFF00000D), 0x00D77800u);
    EXPECT_EQ(c.ColorToRGB(0xFF0000FF), 0u);
    EXPECT_EQ(c.ColorToRGB(clNone), 0x00FFFFFFu);
}
