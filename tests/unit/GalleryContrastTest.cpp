// Every gallery sample in the emulated window with high contrast on: each colour painted, by the
// window and by its painted buttons, is one of the system's, so the user's scheme decides them.
#include "app/gallery/GallerySamples.h"
#include "tests/unit/MessageFormTestFixture.h"

namespace qb {
namespace {

// The colours a record paints with that are neither the system's nor none.
std::vector<std::string> OwnColours(const TCanvasRecord& record) {
    std::vector<TColor> used;
    switch (record.Op) {
    case TCanvasOp::Text:
        used = {record.Font.Color, record.Background};
        break;
    case TCanvasOp::Line:
        used = {record.Pen};
        break;
    case TCanvasOp::Rectangle:
    case TCanvasOp::RoundRect:
    case TCanvasOp::FillRect:
        used = {record.Pen, record.Background};
        break;
    default:
        break; // focus rectangles invert; pictures have no colour of ours
    }
    std::vector<std::string> own;
    for (TColor colour : used)
        if (colour != clNone && !IsSystemColor(colour))
            own.push_back(TRecordingCanvas::DumpRecord(record));
    return own;
}

TEST_F(MessageFormTest, HighContrastPaintsEverySampleInSystemColours) {
    Screen.HighContrastOn = true;
    Machine.ComCtl32Version = 0x00050051; // the message boxes take the emulated window too
    TGalleryContext context;
    context.ForceEmulation = true;
    context.Log = [](const std::string&) {};
    int painted = 0;
    for (const TGallerySample& sample : GallerySamples()) {
        SCOPED_TRACE(sample.Name);
        Screen.Paints.clear();
        auto close = user::Check([](TForm& form) { form.SetModalResult(1); });
        Screen.Play({close});
        if (std::string(sample.Name) == "close-query")
            Screen.Play({close}); // it refuses the first
        sample.Show(context);
        EXPECT_TRUE(Screen.ScriptErrors.empty());
        EXPECT_EQ(Screen.StepsLeft(), 0u);
        ASSERT_FALSE(Screen.Paints.empty());
        for (const THeadlessPaint& paint : Screen.Paints)
            for (const TCanvasRecord& record : paint.Canvas->Records()) {
                ++painted;
                for (const std::string& own : OwnColours(record))
                    ADD_FAILURE() << paint.Control << ": " << own;
            }
    }
    EXPECT_GT(painted, 300);
}

} // namespace
} // namespace qb
