// Generated texts with every tag that moves text or changes its size, checked against the
// layout invariants: each drawn link run is found at its centre and just inside its edges, and
// nowhere else; plain text never reports a link; drawn runs never overlap; wrapped text stays
// inside the area; focus frames sit on the parts they frame. The seed is fixed, so a failure
// repeats; the message names the text.
#include "tests/common/MarkupInvariants.h"
#include <gtest/gtest.h>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace qb;
using namespace qb::test;

namespace {

class TTextGenerator {
public:
    explicit TTextGenerator(uint32_t seed) : State_(seed) {}

    TInvariantCase Next() {
        TInvariantCase c;
        const int left = Between(0, 20);
        const int top = Between(0, 10);
        c.Bounds = {left, top, left + Between(70, 320),
                    top + (Chance(10) ? Between(20, 60) : 2000)};
        c.Params.Wrap = !Chance(15);
        c.Params.ExtraLineSpacing = Chance(20) ? Between(1, 4) : 0;
        c.Params.ShadowDistance = Between(0, 2);
        c.Params.BlinkOn = !Chance(20);
        c.Params.HoverOnlyLinks = Chance(20);
        c.Params.HoveredLink = Between(-1, 3);
        if (Chance(30))
            c.Font.Size = Between(6, 12);
        bool inLink = false;
        const int pieces = Between(1, 40);
        for (int i = 0; i < pieces; ++i) {
            if (Chance(45)) {
                Word(c.Markup);
                continue;
            }
            if (Chance(12)) {
                if (inLink) {
                    c.Markup += "</A>";
                } else {
                    c.Targets.push_back("t" + std::to_string(c.Targets.size() + 1));
                    c.Markup += "<A HREF=\"" + c.Targets.back() + "\">";
                }
                inLink = !inLink;
                continue;
            }
            c.Markup += Tag();
        }
        if (inLink && Chance(70))
            c.Markup += "</A>";
        return c;
    }

private:
    uint32_t Random() {
        State_ ^= State_ << 13;
        State_ ^= State_ >> 17;
        State_ ^= State_ << 5;
        return State_;
    }
    int Between(int from, int to) {
        return from + static_cast<int>(Random() % static_cast<uint32_t>(to - from + 1));
    }
    bool Chance(int percent) { return Between(1, 100) <= percent; }

    void Word(std::string& text) {
        static const char* const Specials[] = {"&nbsp;", "&amp;", "&lt;", " & ", "\t", "&quot;"};
        if (Chance(6)) {
            text += Specials[Between(0, 5)];
            return;
        }
        const int length = Between(1, Chance(5) ? 20 : 7);
        for (int i = 0; i < length; ++i)
            text += static_cast<char>((Chance(10) ? 'A' : 'a') + Between(0, 25));
        if (Chance(60))
            text += ' ';
    }

    std::string Number(int from, int to) { return "\"" + std::to_string(Between(from, to)) + "\""; }

    std::string Tag() {
        static const char* const Aligns[] = {"LEFT", "CENTER", "RIGHT"};
        static const char* const Plain[] = {
            "<B>",   "</B>",  "<I>",     "</I>",  "<U>",     "</U>",     "<S>",
            "</S>",  "<SUB>", "<SUP>",   "</SU>", "<BR>",    "</P>",     "<UL>",
            "</UL>", "<LI>",  "</FONT>", "<Z>",   "</Z>",    "<HI>",     "</HI>",
            "<E>",   "</E>",  "<SH>",    "</SH>", "<BLINK>", "</BLINK>", "</OF>"};
        switch (Between(0, 7)) {
        case 0:
            return "<FONT SIZE=" + Number(1, 20) + ">";
        case 1:
            return "<FONT COLOR=\"clRed\">";
        case 2:
            return std::string("<P ALIGN=\"") + Aligns[Between(0, 2)] + "\">";
        case 3:
            return "<P INDENT=" + Number(-10, 70) + ">";
        case 4:
            return "<OF x=" + Number(-10, 60) + ">";
        case 5:
            return "<IN x=" + Number(-10, 160) + ">";
        default:
            return Plain[Between(0, static_cast<int>(std::size(Plain)) - 1)];
        }
    }

    uint32_t State_;
};

} // namespace

TEST(MarkupPropertyTest, LinksAreFoundWhereDrawnAndTextStaysInItsBox) {
    constexpr int Texts = 300;
    TTextGenerator generator(0x5EED2026);
    TInvariantCounts counts;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < Texts; ++i) {
        const TInvariantCase c = generator.Next();
        const std::string error = CheckMarkupInvariants(c, 1000u + i, {}, counts);
        ASSERT_EQ(error, "") << "text " << i;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d texts, %ld layouts, %ld runs, %ld points on links, %ld off links, "
                "%ld runs of focused links, %.2f s\n",
                Texts, counts.Layouts, counts.Runs, counts.LinkPoints, counts.PlainPoints,
                counts.FramedRuns, seconds);
    // A generator that stopped making links or lines would let every check pass.
    EXPECT_GT(counts.LinkPoints, 1000);
    EXPECT_GT(counts.PlainPoints, 1000);
    EXPECT_GT(counts.FramedRuns, 300);
}
