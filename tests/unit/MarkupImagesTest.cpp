// Pictures in markup texts: where IMG puts them and how they move the text, the ALT picture over
// a linked image, the picture list, and BODY pictures. Tahoma 8 on the recording canvas:
// letters 6 wide, 13 high; simulated shell icons are 16 (small) and 32 (large) pixels.
#include "PictureTestFixture.h"
#include "markup/MarkupRenderer.h"
#include "runtime/ImageList.h"
#include "runtime/headless/HeadlessPictures.h"
#include "runtime/headless/HeadlessWindowing.h"
#include "runtime/headless/RecordingCanvas.h"
#include <map>

namespace qb {
namespace {

// Three images of 10 x 8 that record the index drawn.
class TTestImageList : public TImageList {
public:
    int Count() const override { return 3; }
    int Width() const override { return 10; }
    int Height() const override { return 8; }
    void Draw(TCanvas& canvas, int x, int y, int index) const override {
        Drawn.push_back(index);
        canvas.Draw(x, y, Image_);
    }
    std::unique_ptr<TGraphic> Bitmap(int) const override { return std::make_unique<TImage>(); }
    mutable std::vector<int> Drawn;

private:
    struct TImage : TGraphic {
        int Width() const override { return 10; }
        int Height() const override { return 8; }
    };
    TImage Image_;
};

class TNamedPictures : public TMarkupPictureSource {
public:
    TMarkupPicture* FindPicture(const std::string& name) override {
        auto it = Pictures.find(name);
        return it == Pictures.end() ? nullptr : it->second.get();
    }
    std::map<std::string, std::unique_ptr<TMarkupPicture>> Pictures;
};

class MarkupImagesTest : public PictureTest {
protected:
    void SetUp() override {
        PictureTest::SetUp();
        for (const auto& [name, file] :
             {std::pair{"anim", "three_frames.gif"}, std::pair{"ANIM", "three_frames.gif"},
              std::pair{"frame2", "three_frames.gif"}, std::pair{"png", "small.png"}}) {
            auto picture = std::make_unique<TMarkupPicture>();
            picture->LoadFile(std::string("c:\\pics\\") + file);
            Named.Pictures[name] = std::move(picture);
        }
        Named.Pictures["frame2"]->SelectFrame(2);
        // The shell's icons follow the screen's resolution.
        TPlatform platform = Platform();
        platform.Windowing = &Screen;
        SetPlatform(platform);
        Params.PictureSource = &Named;
        Params.PictureCache = &Cache;
        Params.ImageList = &Images;
    }

    TMarkupResult Render(std::string_view markup, TRect bounds = {0, 0, 400, 300}) {
        Canvas.ClearRecords();
        TMarkupResult result;
        RenderMarkup(Canvas, markup, bounds, Params, result);
        return result;
    }
    std::vector<TCanvasRecord> Records(TCanvasOp op) const {
        std::vector<TCanvasRecord> found;
        for (const TCanvasRecord& r : Canvas.Records())
            if (r.Op == op)
                found.push_back(r);
        return found;
    }
    // The first drawn text run with this text.
    TRect TextAt(const std::string& text) const {
        for (const TCanvasRecord& r : Canvas.Records())
            if (r.Op == TCanvasOp::Text && r.Text == text)
                return r.Rect;
        ADD_FAILURE() << "no run " << text;
        return {};
    }
    // Pictures and icons drawn, as rectangles.
    std::vector<TRect> Pictures() const {
        std::vector<TRect> found;
        for (const TCanvasRecord& r : Canvas.Records())
            if (r.Op == TCanvasOp::Draw || r.Op == TCanvasOp::StretchDraw)
                found.push_back(r.Rect);
        return found;
    }

    // The screen and the canvas at one resolution, as on a display.
    void SetResolution(int pixelsPerInch) {
        Screen.PixelsPerInch = pixelsPerInch;
        Canvas.SetPixelsPerInch(pixelsPerInch, pixelsPerInch);
    }

    THeadlessWindowing Screen;
    TRecordingCanvas Canvas;
    TMarkupParams Params;
    TNamedPictures Named;
    TPictureList Cache;
    TTestImageList Images;
};

struct TPlacedCase {
    const char* Markup;
    int PixelsPerInch;
    std::vector<TRect> Pictures; // drawn, in order
    int NextLeft;                // left of the run "b"
    int UsedHeight;
};

// Test names stay the same from run to run.
void PrintTo(const TPlacedCase& c, std::ostream* os) {
    *os << c.Markup << " at " << c.PixelsPerInch;
}

class MarkupImagePlacementTest : public MarkupImagesTest,
                                 public ::testing::WithParamInterface<TPlacedCase> {};

TEST_P(MarkupImagePlacementTest, PlacesThePictureAndTheTextAfterIt) {
    const TPlacedCase& c = GetParam();
    Canvas.SetPixelsPerInch(c.PixelsPerInch, c.PixelsPerInch);
    const TMarkupResult result = Render(c.Markup);
    EXPECT_EQ(Pictures(), c.Pictures);
    EXPECT_EQ(TextAt("b").Left, c.NextLeft);
    EXPECT_EQ(result.UsedHeight, c.UsedHeight);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, MarkupImagePlacementTest,
    ::testing::Values(
        // The small shell icon of a file type, which takes the room it is drawn in: on a
        // canvas of 120 dots per inch beside a screen of 96 that is the screen's icon size.
        TPlacedCase{"a<IMG SRC=\"SSYS:txt\">b", 96, {{6, 0, 22, 16}}, 22, 16},
        TPlacedCase{"a<IMG SRC=\"SSYS:txt\">b", 120, {{6, 0, 22, 16}}, 22, 16},
        TPlacedCase{"a<img src=\"lsys:.exe\">b", 96, {{6, 0, 38, 32}}, 38, 32},
        TPlacedCase{"a<IMG SRC=\"IDX:1\">b", 96, {{6, 0, 16, 8}}, 16, 13},
        // Indexes outside the image list show nothing and take no space.
        TPlacedCase{"a<IMG SRC=\"IDX:3\">b", 96, {}, 6, 13},
        TPlacedCase{"a<IMG SRC=\"IDX:-1\">b", 96, {}, 6, 13},
        // A named picture at natural size; WIDTH and HEIGHT stretch it.
        TPlacedCase{"a<IMG SRC=\"png\">b", 96, {{6, 0, 11, 4}}, 11, 13},
        TPlacedCase{"a<IMG SRC=\"png\" WIDTH=\"30\" HEIGHT=\"20\">b", 96, {{6, 0, 36, 20}}, 36, 20},
        TPlacedCase{
            "a<IMG SRC=\"png\" WIDTH=\"30\" HEIGHT=\"20\">b", 192, {{6, 0, 66, 40}}, 66, 40},
        // Only one of the two is no size: the natural size counts.
        TPlacedCase{"a<IMG SRC=\"png\" WIDTH=\"30\">b", 96, {{6, 0, 11, 4}}, 11, 13},
        // A GIF frame is drawn at its place in the logical screen, which the layout takes.
        TPlacedCase{"a<IMG SRC=\"anim\">b", 96, {{6, 0, 18, 10}}, 18, 13},
        // Unknown names, a name with a ":" that is no address, an empty source: nothing.
        TPlacedCase{"a<IMG SRC=\"nothing\">b", 96, {}, 6, 13},
        TPlacedCase{"a<IMG SRC=\"c:png\">b", 96, {}, 6, 13},
        TPlacedCase{"a<IMG SRC=png>b", 96, {}, 6, 13},
        // An image that does not fit after the text starts the next line ...
        TPlacedCase{"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa<IMG "
                    "SRC=\"SSYS:txt\">b",
                    96,
                    {{0, 13, 16, 29}},
                    16,
                    29},
        // A source that shows nothing takes no space, even on a line already too full.
        TPlacedCase{"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx<IMG "
                    "SRC=\"nothing\"><BR>b",
                    96,
                    {},
                    0,
                    26},
        // ... one wider than the whole line stays and overflows it; what follows wraps.
        TPlacedCase{
            "a<IMG SRC=\"png\" WIDTH=\"500\" HEIGHT=\"9\">b", 96, {{6, 0, 506, 9}}, 0, 26}));

TEST_F(MarkupImagesTest, AChosenGifFrameIsDrawnWhereItStands) {
    Named.Pictures["anim"]->SelectFrame(2);
    Render("a<IMG SRC=\"anim\">b");
    EXPECT_EQ(Pictures(), (std::vector<TRect>{{6 + 2, 1, 6 + 7, 5}}));
    EXPECT_EQ(TextAt("b").Left, 6 + 12);
    const auto drawn = Records(TCanvasOp::StretchDraw);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(dynamic_cast<const THeadlessPicture*>(drawn[0].Graphic)->Pixel(0, 0), 0x00FF00u);
}

struct TShellIconCase {
    const char* Source;
    bool ByType; // asked with SHGFI_USEFILEATTRIBUTES
    int Index;
    bool Large;
};

struct TDeviceCase {
    const char* Source;
    int PixelsPerInch;
    TRect Drawn;  // the picture's top-left corner at (0, 0)
    int NextLeft; // where the text after it starts
};

void PrintTo(const TDeviceCase& c, std::ostream* os) {
    *os << c.Source << " at " << c.PixelsPerInch;
}

class MarkupImageDeviceTest : public MarkupImagesTest,
                              public ::testing::WithParamInterface<TDeviceCase> {};

// Each picture takes the room it is drawn in, at every resolution: icons and image-list images
// come at the device's size, pictures of the container grow from 96 dots per inch.
TEST_P(MarkupImageDeviceTest, DrawsEachPictureInTheRoomItTakes) {
    const TDeviceCase& c = GetParam();
    SetResolution(c.PixelsPerInch);
    Render(std::string("<IMG SRC=") + c.Source + ">b");
    EXPECT_EQ(Pictures(), std::vector<TRect>{c.Drawn});
    EXPECT_EQ(TextAt("b").Left, c.NextLeft);
}

INSTANTIATE_TEST_SUITE_P(
    Resolutions, MarkupImageDeviceTest,
    ::testing::Values(TDeviceCase{"\"SSYS:txt\"", 144, {0, 0, 24, 24}, 24},
                      TDeviceCase{"\"LSYS:exe\"", 144, {0, 0, 48, 48}, 48},
                      TDeviceCase{"\"SSYS:txt\"", 120, {0, 0, 20, 20}, 20},
                      TDeviceCase{"\"IDX:1\"", 144, {0, 0, 10, 8}, 10},
                      // 5 x 4 pixels.
                      TDeviceCase{"\"png\"", 144, {0, 0, 8, 6}, 8},
                      TDeviceCase{"\"png\"", 120, {0, 0, 6, 5}, 6},
                      TDeviceCase{"\"png\" WIDTH=\"30\" HEIGHT=\"20\"", 144, {0, 0, 45, 30}, 45},
                      // Frame 2 of a 12 x 10 screen stands at (2, 1), 5 x 4.
                      TDeviceCase{"\"frame2\"", 96, {2, 1, 7, 5}, 12},
                      TDeviceCase{"\"frame2\"", 144, {3, 2, 11, 8}, 18},
                      TDeviceCase{"\"frame2\"", 120, {3, 1, 9, 6}, 15}));

TEST_F(MarkupImagesTest, AStretchedUseLeavesThePictureAsItWas) {
    for (const char* source : {"png", "FILE://c:\\pics\\small.png"}) {
        SCOPED_TRACE(source);
        const std::string img = std::string("<IMG SRC=\"") + source + "\"";
        Render(img + " WIDTH=\"30\" HEIGHT=\"20\">b");
        Render(img + ">b");
        EXPECT_EQ(Pictures(), (std::vector<TRect>{{0, 0, 5, 4}}));
    }
    EXPECT_FALSE(Named.Pictures["png"]->Stretch);
    EXPECT_FALSE(FindPicture(Cache, "FILE://c:\\pics\\small.png")->Stretch);
    // A picture its owner stretches is still drawn at the size it takes.
    Named.Pictures["png"]->Stretch = true;
    Render("<IMG SRC=\"png\">b");
    EXPECT_EQ(Pictures(), (std::vector<TRect>{{0, 0, 5, 4}}));
    EXPECT_TRUE(Named.Pictures["png"]->Stretch);
}

TEST_F(MarkupImagesTest, ShellIconsAskTheShellAndDrawOnlyWhenDrawing) {
    const TShellIconCase cases[] = {
        {"SSYS:report.txt", true, 1, false},
        // An existing folder or file has an icon of its own; a missing one, its type's.
        {"LSYS:c:\\pics", false, 3, true},
        {"SSYS:c:\\pics\\small.png", false, TSimulatedShellIcons::OwnIconIndex, false},
        {"SSYS:c:\\pics\\gone.exe", true, 2, false},
    };
    for (const TShellIconCase& c : cases) {
        SCOPED_TRACE(c.Source);
        Machine.ShellIcons.Queries.clear();
        Machine.ShellIcons.Drawn.clear();
        Render(std::string("<IMG SRC=\"") + c.Source + "\">");
        const auto& queries = Machine.ShellIcons.Queries;
        ASSERT_EQ(queries.size(), 2u); // measure and draw
        EXPECT_EQ(queries[0].Name, std::string(c.Source).substr(5));
        EXPECT_EQ(queries[0].UseFileAttributes, c.ByType);
        const auto& drawn = Machine.ShellIcons.Drawn;
        ASSERT_EQ(drawn.size(), 1u);
        EXPECT_EQ(drawn[0].Index, c.Index);
        EXPECT_EQ(drawn[0].Large, c.Large);
    }
    // A number is an index of the system image list itself.
    Machine.ShellIcons.Queries.clear();
    Machine.ShellIcons.Drawn.clear();
    Render("<IMG SRC=\"SSYS:12\">");
    EXPECT_TRUE(Machine.ShellIcons.Queries.empty());
    ASSERT_EQ(Machine.ShellIcons.Drawn.size(), 1u);
    EXPECT_EQ(Machine.ShellIcons.Drawn[0].Index, 12);

    Machine.ShellIcons.Drawn.clear();
    Params.MeasureOnly = true;
    const TMarkupResult measured = Render("<IMG SRC=\"SSYS:report.txt\">");
    EXPECT_TRUE(Machine.ShellIcons.Drawn.empty());
    EXPECT_EQ(measured.UsedWidth, 16 + 2);
}

TEST_F(MarkupImagesTest, PrintingStretchesIconsByThePrintScale) {
    Params.Printing = true;
    Params.PrintScale = 2.5;
    Render("a<IMG SRC=\"SSYS:txt\"><IMG SRC=\"IDX:0\">");
    const auto stretched = Records(TCanvasOp::StretchDraw);
    ASSERT_EQ(stretched.size(), 2u);
    EXPECT_EQ(stretched[0].Rect, (TRect{6, 0, 46, 40}));
    // Laid out as drawn: the next image starts after the stretched icon.
    EXPECT_EQ(stretched[1].Rect, (TRect{46, 0, 71, 20}));
    EXPECT_TRUE(Machine.ShellIcons.Drawn.back().Bitmap);
}

struct TAlignCase {
    const char* Attributes;
    int TextBottom;
    int UsedHeight;
};

void PrintTo(const TAlignCase& c, std::ostream* os) {
    *os << (*c.Attributes ? c.Attributes : "no ALIGN");
}

class MarkupImageAlignTest : public MarkupImagesTest,
                             public ::testing::WithParamInterface<TAlignCase> {};

TEST_P(MarkupImageAlignTest, LiftsTheLinesText) {
    // A 40-pixel image in a line of 16-pixel text (size 10).
    TFont font = Canvas.Font();
    font.Size = 10;
    Canvas.SetFont(font);
    const TAlignCase& c = GetParam();
    const TMarkupResult result = Render(
        std::string("x<IMG SRC=\"png\" WIDTH=\"40\" HEIGHT=\"40\" ") + c.Attributes + ">b<BR>c");
    EXPECT_EQ(TextAt("x").Bottom, c.TextBottom);
    EXPECT_EQ(TextAt("b").Bottom, c.TextBottom);
    EXPECT_EQ(TextAt("c").Top, c.UsedHeight - 16);
    EXPECT_EQ(result.UsedHeight, c.UsedHeight);
}

INSTANTIATE_TEST_SUITE_P(Aligns, MarkupImageAlignTest,
                         ::testing::Values(TAlignCase{"", 40, 56},
                                           TAlignCase{"ALIGN=\"TOP\"", 16, 56},
                                           TAlignCase{"ALIGN=\"MIDDLE\"", 28, 56},
                                           TAlignCase{"ALIGN=\"BOTTOM\"", 40, 56},
                                           // The image reaches below its line.
                                           TAlignCase{"WRAP", 16, 32},
                                           TAlignCase{"ALIGN=\"TOP\" WRAP", 16, 32}));

TEST_F(MarkupImagesTest, AnImageThatShowsNothingLeavesItsLineAlone) {
    // Size 20 text is 31 high; the image after it shows nothing.
    const TMarkupResult result =
        Render("<FONT SIZE=\"20\">X</FONT>x<IMG SRC=\"nothing\" ALIGN=\"TOP\" WRAP>b");
    EXPECT_EQ(result.UsedHeight, 31);
    EXPECT_EQ(TextAt("X").Bottom, 31);
    EXPECT_EQ(TextAt("b").Bottom, 31);
}

TEST_F(MarkupImagesTest, TheAltPictureShowsWhileTheMouseIsOnALinkedImage) {
    const char* text = "<A HREF=\"go\">x<IMG SRC=\"SSYS:txt\" ALT=\"LSYS:exe\"></A> y";
    Params.HitTestOnly = true;
    Params.MouseX = 14;
    Params.MouseY = 5;
    TMarkupResult hit = Render(text);
    EXPECT_TRUE(hit.OverLink);
    EXPECT_EQ(hit.AnchorUnderMouse, "go");

    Params.HitTestOnly = false;
    Render(text);
    ASSERT_FALSE(Machine.ShellIcons.Drawn.empty());
    EXPECT_TRUE(Machine.ShellIcons.Drawn.back().Large);
    EXPECT_EQ(Machine.ShellIcons.Drawn.back().Index, 2);

    Params.MouseX = 200;
    Render(text);
    EXPECT_FALSE(Machine.ShellIcons.Drawn.back().Large);
    Params.HitTestOnly = true;
    EXPECT_FALSE(Render(text).OverLink);
    // Outside a link a picture is no link.
    Params.MouseX = 14;
    EXPECT_FALSE(Render("x<IMG SRC=\"SSYS:txt\">").OverLink);
}

TEST_F(MarkupImagesTest, AddressesAreLoadedOnceIntoThePictureList) {
    Machine.PictureDecoder.Decoded.clear();
    const char* text =
        "<IMG SRC=\"FILE://c:\\pics\\small.png\">a<IMG SRC=\"FILE://c:\\pics\\small.png\">";
    Render(text);
    Render(text);
    EXPECT_EQ(Machine.PictureDecoder.Decoded.size(), 1u);
    ASSERT_EQ(Cache.Count(), 1);
    EXPECT_EQ(PictureAt(Cache, 0)->SourceLocation, "FILE://c:\\pics\\small.png");
    EXPECT_FALSE(PictureAt(Cache, 0)->Asynchronous);
    EXPECT_EQ(Pictures().size(), 2u);

    // Bytes that do not decode, a missing resource, a web address: blank, no space, no error.
    for (const char* source : {"RES://PIC_TEXT", "RES://NONE", "http://example.com/x.gif"}) {
        const TMarkupResult result = Render(std::string("<IMG SRC=\"") + source + "\">b");
        EXPECT_EQ(TextAt("b").Left, 0) << source;
        EXPECT_EQ(result.UsedHeight, 13) << source;
    }
    EXPECT_EQ(Cache.Count(), 4);
    EXPECT_EQ(FindPicture(Cache, "http://example.com/x.gif")->PendingLocation,
              "http://example.com/x.gif");

    Params.PictureCache = nullptr;
    Render("<IMG SRC=\"RES://PIC_GIF\">b");
    EXPECT_EQ(TextAt("b").Left, 0);
}

struct TBodyCase {
    const char* Markup;
    std::vector<TRect> Pictures;
    int PixelsPerInch = 96;
};

void PrintTo(const TBodyCase& c, std::ostream* os) {
    *os << c.Markup << " at " << c.PixelsPerInch;
}

class MarkupBodyPictureTest : public MarkupImagesTest,
                              public ::testing::WithParamInterface<TBodyCase> {};

TEST_P(MarkupBodyPictureTest, PaintsBehindTheText) {
    const TBodyCase& c = GetParam();
    SetResolution(c.PixelsPerInch);
    Render(c.Markup, {0, 0, 30, 25});
    EXPECT_EQ(Pictures(), c.Pictures);
    // Pictures are clipped to the area; icons and image-list images are drawn as they are.
    {
        const auto clips = Records(TCanvasOp::Clip);
        for (const auto& clip : clips)
            EXPECT_EQ(clip.Rect, (TRect{0, 0, 30, 25}));
        EXPECT_EQ(Records(TCanvasOp::ClearClip).size(), clips.size());
        EXPECT_FALSE(Canvas.Clipped());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, MarkupBodyPictureTest,
    ::testing::Values(
        // Tiled over the whole area (12 x 10 tiles over 30 x 25), before the text.
        TBodyCase{"<BODY BACKGROUND=\"anim\">x",
                  {{0, 0, 12, 10},
                   {12, 0, 24, 10},
                   {24, 0, 36, 10},
                   {0, 10, 12, 20},
                   {12, 10, 24, 20},
                   {24, 10, 36, 20},
                   {0, 20, 12, 30},
                   {12, 20, 24, 30},
                   {24, 20, 36, 30}}},
        // The value is taken in upper case: addresses of files still load.
        TBodyCase{"<BODY BGTOPLEFT=\"FILE://c:\\pics\\small.png\">x", {{0, 0, 5, 4}}},
        TBodyCase{"<BODY BGTOPRIGHT=\"anim\">x", {{18, 0, 30, 10}}},
        TBodyCase{"<BODY BGTOPRIGHT=\"SSYS:TXT\">x", {{14, 0, 30, 16}}},
        TBodyCase{"<BODY BACKGROUND=\"IDX:2\">x", {{0, 0, 10, 8}}},
        // A lower-case name is not found: the value was upper-cased.
        TBodyCase{"<BODY BACKGROUND=\"png\">x", {}},
        // Tiles step by the size they are drawn at, and the top-right corner holds it whole.
        TBodyCase{"<BODY BACKGROUND=\"anim\">x",
                  {{0, 0, 18, 15}, {18, 0, 36, 15}, {0, 15, 18, 30}, {18, 15, 36, 30}},
                  144},
        TBodyCase{"<BODY BGTOPRIGHT=\"anim\">x", {{12, 0, 30, 15}}, 144},
        TBodyCase{"<BODY BGTOPRIGHT=\"SSYS:TXT\">x", {{6, 0, 30, 24}}, 144}));

TEST_F(MarkupImagesTest, BodyPicturesPaintNothingWhenMeasuringOrInSelectedColors) {
    Params.MeasureOnly = true;
    Render("<BODY BACKGROUND=\"anim\">x");
    EXPECT_TRUE(Pictures().empty());
    Params.MeasureOnly = false;
    Params.SelectedColors = true;
    Render("<BODY BACKGROUND=\"anim\">x");
    EXPECT_TRUE(Pictures().empty());
    Params.SelectedColors = false;
    Render("<BODY BGTOPLEFT=\"anim\">x", {0, 0, 0, 25});
    EXPECT_TRUE(Pictures().empty());
}

} // namespace
} // namespace qb
