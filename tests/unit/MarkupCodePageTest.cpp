// The characters the markup makes itself (entities, the list bullet) come out in the process
// code page: single bytes under 1252, UTF-8 sequences under 65001.
#include "markup/MarkupEntities.h"
#include "markup/MarkupRenderer.h"
#include "runtime/AsciiCase.h"
#include "runtime/CodePage.h"
#include "runtime/Platform.h"
#include "runtime/headless/RecordingCanvas.h"
#include "runtime/headless/SimulatedMachine.h"
#include <gtest/gtest.h>

namespace qb {
namespace {

class MarkupCodePageTest : public ::testing::Test {
protected:
    void SetUp() override {
        Saved = Platform();
        SetPlatform(Machine.AsPlatform(nullptr));
    }
    void TearDown() override { SetPlatform(Saved); }

    std::vector<TCanvasRecord> Texts(std::string_view markup) {
        TRecordingCanvas canvas;
        TMarkupResult result;
        RenderMarkup(canvas, markup, {0, 0, 400, 100}, {}, result);
        std::vector<TCanvasRecord> texts;
        for (const TCanvasRecord& r : canvas.Records())
            if (r.Op == TCanvasOp::Text)
                texts.push_back(r);
        return texts;
    }

    TSimulatedMachine Machine;
    TPlatform Saved;
};

struct TEntityCase {
    const char* Entity;
    const char* Cp1252;
    const char* Utf8;
};

TEST_F(MarkupCodePageTest, EntitiesAreTheCharactersOfTheProcessCodePage) {
    const TEntityCase cases[] = {
        {"&sect;", "\xA7", "\xC2\xA7"},
        {"&permil;", "\x89", "\xE2\x80\xB0"},
        {"&reg;", "\xAE", "\xC2\xAE"},
        {"&copy;", "\xA9", "\xC2\xA9"},
        {"&para;", "\xB6", "\xC2\xB6"},
        {"&trade;", "\x99", "\xE2\x84\xA2"},
        {"&euro;", "\x80", "\xE2\x82\xAC"},
        {"&EURO;", "\x80", "\xE2\x82\xAC"},
        {"&quot;", "\"", "\""},
        {"&amp;copy;", "&\xA9", "&\xC2\xA9"},
    };
    for (const TEntityCase& c : cases) {
        Machine.CodePage = CpWestern;
        EXPECT_EQ(ReplaceWholeTextEntities(c.Entity), c.Cp1252) << c.Entity;
        const std::u16string wide = Machine.ToUtf16(c.Cp1252);
        Machine.CodePage = CpUtf8;
        EXPECT_EQ(ReplaceWholeTextEntities(c.Entity), c.Utf8) << c.Entity;
        EXPECT_EQ(Machine.ToUtf16(c.Utf8), wide) << c.Entity << ": the same character";
    }
}

TEST_F(MarkupCodePageTest, WithoutAPlatformEntitiesAreCodePage1252) {
    SetPlatform({});
    EXPECT_EQ(ReplaceWholeTextEntities("&copy;&euro;&trade;"), "\xA9\x80\x99");
}

TEST_F(MarkupCodePageTest, TheDrawnTextAndTheBulletFollowTheCodePage) {
    struct TRow {
        uint32_t CodePage;
        const char* Text;
        const char* Bullet;
    };
    for (const TRow& row : {TRow{CpWestern, "\xA9 2024 \x80", "\xB7"},
                            TRow{CpUtf8, "\xC2\xA9 2024 \xE2\x82\xAC", "\xC2\xB7"}}) {
        Machine.CodePage = row.CodePage;
        std::string text, bullet;
        for (const TCanvasRecord& r : Texts("&copy; 2024 &euro;<UL><LI>x"))
            (r.Font.Name == "Symbol" ? bullet : text) += r.Text;
        EXPECT_EQ(text, std::string(row.Text) + "x");
        EXPECT_EQ(bullet, row.Bullet);
        EXPECT_EQ(Machine.ToUtf16(bullet), u"\u00B7") << "the Symbol font's bullet";
    }
}

TEST_F(MarkupCodePageTest, AUtf8TextKeepsItsCharactersWholeThroughTagsAndCase) {
    Machine.CodePage = CpUtf8;
    // Greek and Polish letters around tags, an entity and a FONT face upper-cased for matching.
    const std::vector<TCanvasRecord> texts =
        Texts("\xCE\x9D\xCE\xAF<B>\xC5\x81</B>&para;<FONT face=\"Tahoma\">\xCF\x82</FONT>");
    std::string joined;
    for (const TCanvasRecord& r : texts)
        joined += r.Text;
    EXPECT_EQ(joined, "\xCE\x9D\xCE\xAF\xC5\x81\xC2\xB6\xCF\x82");
    EXPECT_EQ(Machine.ToUtf16(joined).find(u'\uFFFD'), std::u16string::npos);
}

TEST_F(MarkupCodePageTest, AFontFaceInADoubleByteCodePageKeepsItsSecondBytes) {
    Machine.CodePage = 932;
    // Katakana GO, SI and small TU: second bytes 'S', 'V' and 'b', which upper-casing must not
    // touch.
    const std::string face = "\x83\x53\x83\x56\x83\x62\x83\x4E";
    const std::vector<TCanvasRecord> texts = Texts("<FONT face=\"" + face + "\">x</FONT>");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].Font.Name, face);
}

} // namespace
} // namespace qb
