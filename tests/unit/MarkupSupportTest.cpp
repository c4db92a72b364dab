// The small routines the renderer is built from, and the whole-text entity scan against the
// rule it replaces (repeated passes of first-occurrence replacements).
#include "markup/MarkupEntities.h"
#include "markup/MarkupSupport.h"
#include "runtime/Platform.h"
#include "runtime/WinConst.h"
#include "runtime/headless/RecordingCanvas.h"
#include "runtime/headless/SimulatedMachine.h"
#include <gtest/gtest.h>
#include <random>

using namespace qb;

TEST(MarkupSupportTest, ColourNamesPlainFirstThenSystem) {
    EXPECT_EQ(MarkupColorByName("clblack"), 0u);
    EXPECT_EQ(MarkupColorByName("nosuch"), 0u);
    EXPECT_EQ(MarkupColorByName("clgreen"), 0x008000u);
    EXPECT_EQ(MarkupColorByName("clmaroon"), 0x000080u);
    EXPECT_EQ(MarkupColorByName("clbtnface"), 0xFF00000Fu);
    EXPECT_EQ(MarkupColorByName("cl3ddkshadow"), 0xFF000015u);
    EXPECT_EQ(MarkupColorByName("clinfobk"), 0xFF000018u);
    EXPECT_EQ(MarkupColorByName("CLRED"), 0u); // names are compared as given
}

TEST(MarkupSupportTest, HexColoursAndPairs) {
    EXPECT_EQ(MarkupHexColor("#0080FF"), 0xFF8000u);
    EXPECT_EQ(MarkupHexColor("#FF0000"), 0x0000FFu);
    EXPECT_EQ(MarkupHexColor("#12"), 0x000012u);
    EXPECT_EQ(MarkupHexColor("#1"), 0u);
    EXPECT_EQ(MarkupHexColor("#"), 0u);
    EXPECT_EQ(HexPairValue("A9"), 0xA9);
    EXPECT_EQ(HexPairValue("F"), 0);
}

TEST(MarkupSupportTest, LooseNumbersKeepThePartReadBeforeAStop) {
    EXPECT_EQ(LooseStrToInt("12"), 12);
    EXPECT_EQ(LooseStrToInt(" 7"), 7);
    EXPECT_EQ(LooseStrToInt("3\""), 3);
    EXPECT_EQ(LooseStrToInt("$1F"), 31);
    EXPECT_EQ(LooseStrToInt("0x1f"), 31);
    EXPECT_EQ(LooseStrToInt("x10"), 16);
    EXPECT_EQ(LooseStrToInt("-4"), -4);
    EXPECT_EQ(LooseStrToInt("-4\""), 4); // an early stop drops the sign
    EXPECT_EQ(LooseStrToInt("abc"), 0);
    EXPECT_EQ(LooseStrToInt(""), 0);
    EXPECT_EQ(LooseStrToInt("2147483647"), 2147483647);
    EXPECT_EQ(LooseStrToInt("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(LooseStrToInt("99999999999"), 999999999); // stops before passing 32 bits
    EXPECT_EQ(LooseStrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrictStrToInt(" 50"), 50);
    EXPECT_EQ(StrictStrToInt("-5"), -5);
    EXPECT_FALSE(StrictStrToInt("9q"));
    EXPECT_FALSE(StrictStrToInt(""));
    EXPECT_FALSE(StrictStrToInt("-"));
    EXPECT_FALSE(StrictStrToInt("99999999999"));
}

TEST(MarkupSupportTest, SearchAndReplaceIgnoringCase) {
    EXPECT_EQ(PosNoCase("NBSP", "a&nbsp;"), 3);
    EXPECT_EQ(PosNoCase("x", "abc"), 0);
    EXPECT_EQ(PosNoCase("", "abc"), 0);
    int at = -1;
    EXPECT_EQ(PosInto("b", "abc", at), 2);
    EXPECT_EQ(at, 2);
    EXPECT_EQ(PosInto("B", "abc", at), 0);
    EXPECT_EQ(at, 0);

    std::string text = "a&NBSP;b";
    EXPECT_TRUE(ReplaceFirstNoCase("&nbsp;", " ", text));
    EXPECT_EQ(text, "a b");
    EXPECT_FALSE(ReplaceFirstNoCase("&nbsp;", " ", text));
    EXPECT_EQ(text, "a b");
}

TEST(MarkupSupportTest, TextConversionsBeforeLayout) {
    EXPECT_EQ(UnwrapHashTag("x<#y>z"), "x#yz");
    EXPECT_EQ(UnwrapHashTag("x<#y>z<#w>v"), "x#yz<#w>v");
    EXPECT_EQ(UnwrapHashTag("x<#y"), "x#y");
    EXPECT_EQ(UnwrapHashTag("plain <b>"), "plain <b>");
    EXPECT_EQ(LineBreaksToMarkup("a\r\nb", true), "a<BR>b");
    EXPECT_EQ(LineBreaksToMarkup("a\r\nb\n", false), "ab");
}

TEST(MarkupSupportTest, GradientBandsOverlapByAPixel) {
    TRecordingCanvas canvas;
    FillGradient(canvas, 0x000000, 0x0000FF, true, {0, 0, 640, 20}, 64, clNone);
    const auto& r = canvas.Records();
    ASSERT_EQ(r.size(), 64u);
    EXPECT_EQ(r[0].Rect, (TRect{0, 0, 11, 20}));
    EXPECT_EQ(r[0].Background, 0u);
    EXPECT_EQ(r[1].Rect, (TRect{10, 0, 21, 20}));
    EXPECT_EQ(r[63].Rect, (TRect{630, 0, 640, 20}));
    EXPECT_EQ(r[63].Background, static_cast<TColor>(std::nearbyint(63 * 255.0 / 64)));
    EXPECT_EQ(r[63].Pen, r[63].Background);

    // Vertical, zero bands counted as one, a border outlined with a clear brush; none is white.
    canvas.ClearRecords();
    FillGradient(canvas, clNone, SystemColor(13), false, {0, 0, 10, 30}, 0, 0x123456);
    ASSERT_EQ(canvas.Records().size(), 2u);
    EXPECT_EQ(canvas.Records()[0].Rect, (TRect{0, 0, 10, 30}));
    EXPECT_EQ(canvas.Records()[0].Background, 0x00FFFFFFu);
    EXPECT_EQ(canvas.Records()[1].Background, clNone);
    EXPECT_EQ(canvas.Records()[1].Pen, 0x123456u);
}

TEST(MarkupSupportTest, RotationSlotAndFolderTest) {
    TRecordingCanvas canvas;
    TRotatedFontSlot slot;
    RestoreRotatedFont(canvas, slot); // nothing saved: nothing happens
    EXPECT_EQ(canvas.FontRotation(), 0);
    RotateFont(canvas, 90, slot);
    EXPECT_EQ(canvas.FontRotation(), 900);
    RotateFont(canvas, 450, slot); // taken modulo 360; the slot now holds 90 degrees
    EXPECT_EQ(canvas.FontRotation(), 900);
    RestoreRotatedFont(canvas, slot);
    EXPECT_EQ(canvas.FontRotation(), 900);
    RestoreRotatedFont(canvas, slot);
    EXPECT_EQ(canvas.FontRotation(), 900);

    TSimulatedMachine machine;
    machine.AddFolder("c:\\zorn");
    machine.AddFile("c:\\zorn\\kestro.exe");
    SetPlatform(machine.AsPlatform(nullptr));
    EXPECT_TRUE(PathExists("c:\\zorn"));
    EXPECT_TRUE(PathExists("c:\\zorn\\kestro.exe"));
    EXPECT_FALSE(PathExists("c:\\nowhere"));
    SetPlatform({});
    EXPECT_FALSE(PathExists("c:\\zorn"));
}

namespace {

// The rule the one-pass scan replaces: passes over the entities in table order, each replacing
// the first occurrence of each, until a pass changes nothing.
// "&amp;" gives "&&" for prefix drawing and "&" for a text drawn without prefixes.
std::string EntitiesByPasses(std::string text, bool prefixes = true) {
    const std::pair<const char*, const char*> Table[] = {
        {"&amp;", prefixes ? "&&" : "&"},
        {"&quot;", "\""},
        {"&sect;", "\xA7"},
        {"&permil;", "\x89"},
        {"&reg;", "\xAE"},
        {"&copy;", "\xA9"},
        {"&para;", "\xB6"},
        {"&trade;", "\x99"},
        {"&euro;", "\x80"},
    };
    bool changed = true;
    while (changed) {
        changed = false;
        for (const auto& [name, replacement] : Table)
            changed |= ReplaceFirstNoCase(name, replacement, text);
    }
    return text;
}

std::string RunEntitiesByLoop(std::string run) {
    static const std::pair<const char*, const char*> Table[] = {
        {"&nbsp;", " "}, {"&lt;", "<"}, {"&gt;", ">"}};
    for (const auto& [name, replacement] : Table)
        while (run.find(name) != std::string::npos)
            ReplaceFirstNoCase(name, replacement, run);
    return run;
}

} // namespace

TEST(MarkupSupportTest, OneScanEntitiesEqualRepeatedPasses) {
    const char* const tricky[] = {
        "&amp;amp;",  "&amp;amp;amp;quot;",
        "&AMP;Quot;", "&&amp;",
        "&amp&amp;;", "&am&amp;p;",
        "&amp;&amp;", "&amp;sect;x",
        "&amp;",      "&",
        "&&&",        "&quot",
        "a&b;c",      "&amp;euro",
        "&amp;EURO;", "&PERMIL;&permil",
        "&amp;l t;",  "&amp;lt;",
        "&amp;nbsp;", "x&amp;amp;&quot;&amp;",
    };
    for (const char* text : tricky) {
        EXPECT_EQ(ReplaceWholeTextEntities(text), EntitiesByPasses(text)) << text;
        EXPECT_EQ(ReplaceWholeTextEntities(text, false), EntitiesByPasses(text, false)) << text;
    }

    // Random texts over an alphabet that forms entities often.
    std::mt19937 random(20240611);
    const std::string pieces[] = {"&",     "amp;",  "AMP;",   "quot;", "q",      "uot;",
                                  "sect;", "eu",    "ro;",    ";",     "a",      "m",
                                  "p",     "&amp;", "trade;", " ",     "permil;"};
    std::uniform_int_distribution<size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 14);
    for (int i = 0; i < 5000; ++i) {
        std::string text;
        for (int n = length(random); n > 0; --n)
            text += pieces[pick(random)];
        ASSERT_EQ(ReplaceWholeTextEntities(text), EntitiesByPasses(text)) << text;
        ASSERT_EQ(ReplaceWholeTextEntities(text, false), EntitiesByPasses(text, false)) << text;
    }
}

TEST(MarkupSupportTest, RunEntitiesEqualTheReplaceLoop) {
    const char* const runs[] = {"&NBSP;x&nbsp;y&NBSP;",
                                "&LT;",
                                "&lt;&LT;&lt;",
                                "&nbsp;",
                                "&amp;lt;",
                                "&&lt;;",
                                "&gt;&Gt;",
                                "a&b",
                                "&nbsp&nbsp;;"};
    for (const char* run : runs) {
        std::string out = "unchanged";
        const bool replaced = ReplaceRunEntities(run, out);
        EXPECT_EQ(replaced ? out : std::string(run), RunEntitiesByLoop(run)) << run;
    }
    std::string out = "kept";
    EXPECT_FALSE(ReplaceRunEntities("no entity", out));
    EXPECT_EQ(out, "kept");

    std::mt19937 random(7);
    const std::string pieces[] = {"&", "nbsp;", "NBSP;", "lt;", "LT;", "gt;", "x", " ", ";"};
    std::uniform_int_distribution<size_t> pick(0, std::size(pieces) - 1);
    for (int i = 0; i < 3000; ++i) {
        std::string run;
        for (int n = 0; n < 10; ++n)
            run += pieces[pick(random)];
        std::string got;
        if (!ReplaceRunEntities(run, got))
            got = run;
        ASSERT_EQ(got, RunEntitiesByLoop(run)) << run;
    }
}
