// The gallery's sample with pictures in its texts, shown in the emulated window on the headless
// screen: every shell icon is drawn inside its own text area, beside the words and not over them.
#include "app/gallery/GallerySamples.h"
#include "tests/unit/MessageFormTestFixture.h"

namespace qb {
namespace {

struct TArea {
    const char* Name;
    TRect Rect;
    int Small = 0;
    int Large = 0;
};

struct TShown {
    std::string Outcome;
    std::vector<TArea> Areas;
    TSize Client;
    std::vector<TCanvasRecord> Records; // the form's paint while it was open
};

class GalleryPicturesTest : public MessageFormTest {
protected:
    TShown Show(int pixelsPerInch) {
        Screen.PixelsPerInch = pixelsPerInch;
        const TGallerySample* sample = FindGallerySample("pictures");
        EXPECT_NE(sample, nullptr);
        TShown shown;
        if (!sample)
            return shown;
        Screen.Play({user::Check([&](TForm& form) {
                         TMessageForm& window = Window(form);
                         shown.Areas = {{"content", window.ContentRect(), 2, 1},
                                        {"expanded", window.ExpandedRect(), 3, 0},
                                        {"footer", window.FooterRect(), 1, 0}};
                         shown.Client = {window.ClientWidth(), window.ClientHeight()};
                         if (const TRecordingCanvas* paint = Screen.LastPaint(window.Name()))
                             shown.Records = paint->Records();
                     }),
                     user::Key(win::VK_RETURN)});
        TGalleryContext context;
        context.ForceEmulation = true;
        context.Log = [](const std::string&) {};
        shown.Outcome = sample->Show(context);
        EXPECT_TRUE(Screen.ScriptErrors.empty());
        return shown;
    }
};

TEST_F(GalleryPicturesTest, IconsLieInTheirAreasBesideTheText) {
    for (int ppi : {96, 120, 144}) {
        SCOPED_TRACE("ppi " + std::to_string(ppi));
        const TShown shown = Show(ppi);
        EXPECT_EQ(shown.Outcome, "result=1 radio=0 checked=0");
        ASSERT_FALSE(shown.Records.empty());

        // The shell's icons come at the screen's size.
        const int smallSide = TSimulatedShellIcons::SizeAt(false, ppi);
        const int largeSide = TSimulatedShellIcons::SizeAt(true, ppi);
        std::vector<TRect> icons, texts;
        for (const TCanvasRecord& record : shown.Records) {
            const int side = record.Rect.Width();
            if (record.Op == TCanvasOp::Draw && side == record.Rect.Height() &&
                (side == smallSide || side == largeSide))
                icons.push_back(record.Rect);
            else if (record.Op == TCanvasOp::Text)
                texts.push_back(record.Rect);
        }
        // The main icon (32 x 32, left of the texts) is drawn by its own control, not here.
        ASSERT_EQ(icons.size(), 7u);
        for (const TArea& area : shown.Areas) {
            SCOPED_TRACE(area.Name);
            EXPECT_TRUE(Inside(area.Rect, {0, 0, shown.Client.Width, shown.Client.Height}));
            int small = 0, large = 0;
            for (const TRect& icon : icons)
                if (Inside(icon, area.Rect))
                    ++(icon.Width() == largeSide ? large : small);
            EXPECT_EQ(small, area.Small);
            EXPECT_EQ(large, area.Large);
        }
        for (const TRect& icon : icons)
            for (const TRect& text : texts)
                EXPECT_FALSE(Overlap(icon, text)) << TRecordingCanvas::DumpRect(icon) << " over "
                                                  << TRecordingCanvas::DumpRect(text);
    }
}

} // namespace
} // namespace qb
