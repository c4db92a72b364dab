// Feeds arbitrary bytes to RenderMarkup in its three modes (measure, hit test, draw), with the
// rectangle, mouse point, link numbers, flags and canvas font also taken from the input.
// Beyond "no crash, no leak, no endless loop" it checks what every caller relies on: the canvas
// font, rotation and background come back as they were, the link outputs are consistent, and
// the layout keeps the invariants of the property test (links found exactly where drawn, runs
// that neither overlap nor pass the right edge, focus frames on their parts).
#include "markup/MarkupRenderer.h"
#include "markup/PictureContainer.h"
#include "runtime/Stream.h"
#include "runtime/ImageList.h"
#include "runtime/headless/RecordingCanvas.h"
#include "runtime/headless/SimulatedMachine.h"
#include "tests/common/MarkupInvariants.h"
#include <fuzzer/FuzzedDataProvider.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

namespace {

using namespace qb;

void Fail(const char* what) {
    std::fprintf(stderr, "markup_fuzz: %s\n", what);
    std::abort();
}

TColor PickColor(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
        return clNone;
    case 1:
        return SystemColor(input.ConsumeIntegralInRange<int>(0, 40));
    case 2:
        return input.ConsumeIntegral<uint32_t>();
    default:
        return input.ConsumeIntegralInRange<uint32_t>(0, 0xFFFFFF);
    }
}

std::string ReadPicture(const char* name) {
    std::ifstream in(std::string(QB_PICTURE_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Pictures for IMG and BODY sources: shell icons, an image list, named pictures, and addresses
// that load (a resource, a file) or stay blank. Tiles are large enough that tiling a big area
// stays cheap.
struct TPictureWorld : TMarkupPictureSource, TImageList {
    TPictureWorld() {
        SetPlatform(Machine.AsPlatform(nullptr));
        const std::string tile = ReadPicture("tile.gif");
        const std::string frames = ReadPicture("three_frames.gif");
        Machine.AddRcData("PIC", tile);
        Machine.AddRcData("BAD", "GIF89a not a picture");
        Machine.AddFile("c:\\pics\\tile.gif", tile);
        Machine.AddFile("c:\\pics\\frames.gif", frames);
        for (const char* name : {"anim", "ANIM"}) {
            auto picture = std::make_unique<TMarkupPicture>();
            picture->LogicalDpiX = picture->LogicalDpiY = 96 * 16;
            TMemoryStream in(frames);
            picture->LoadStream(&in);
            picture->SelectFrame(2);
            Named[name] = std::move(picture);
        }
    }
    TMarkupPicture* FindPicture(const std::string& name) override {
        auto it = Named.find(name);
        return it == Named.end() ? nullptr : it->second.get();
    }
    int Count() const override { return 2; }
    int Width() const override { return 16; }
    int Height() const override { return 12; }
    void Draw(TCanvas& canvas, int x, int y, int) const override { canvas.Draw(x, y, Image); }
    std::unique_ptr<TGraphic> Bitmap(int) const override { return std::make_unique<TImage>(); }

    struct TImage : TGraphic {
        int Width() const override { return 16; }
        int Height() const override { return 12; }
    };
    TSimulatedMachine Machine;
    std::map<std::string, std::unique_ptr<TMarkupPicture>> Named;
    TImage Image;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);

    enum Mode { Measure, HitTest, Draw };
    const int mode = input.ConsumeIntegralInRange<int>(Measure, Draw);

    // Dialog-sized rectangles mostly, but also empty, inverted and far-off ones.
    const int left = input.ConsumeIntegralInRange<int>(-5000, 5000);
    const int top = input.ConsumeIntegralInRange<int>(-5000, 5000);
    const TRect bounds{left, top, left + input.ConsumeIntegralInRange<int>(-200, 4000),
                       top + input.ConsumeIntegralInRange<int>(-200, 4000)};

    TMarkupParams params;
    params.MeasureOnly = mode == Measure;
    params.HitTestOnly = mode == HitTest;
    params.MouseX = input.ConsumeIntegralInRange<int>(-100, 4100) + left;
    params.MouseY = input.ConsumeIntegralInRange<int>(-100, 4100) + top;
    params.FocusedLink = input.ConsumeIntegralInRange<int>(-2, 16);
    params.HoveredLink = input.ConsumeIntegralInRange<int>(-2, 16);
    params.ShadowDistance = input.ConsumeIntegralInRange<int>(-20, 20);
    params.Printing = input.ConsumeBool();
    params.SelectedColors = input.ConsumeBool();
    params.BlinkOn = input.ConsumeBool();
    params.HoverOnlyLinks = input.ConsumeBool();
    params.Wrap = input.ConsumeBool();
    params.PrintScale = input.ConsumeFloatingPointInRange<double>(-1.0, 8.0);
    params.LinkColor = PickColor(input);
    params.HoverBackColor = PickColor(input);
    params.HoverTextColor = PickColor(input);
    params.ShadowTint = PickColor(input);
    params.ExtraLineSpacing = input.ConsumeIntegralInRange<int>(-50, 100);

    TRecordingCanvas canvas;
    TFont font;
    static const char* const Faces[] = {"Tahoma", "Symbol", "Courier New", ""};
    font.Name = Faces[input.ConsumeIntegralInRange<int>(0, 3)];
    font.Size = input.ConsumeIntegralInRange<int>(-40, 72);
    font.Style = input.ConsumeIntegral<uint8_t>() & 0x0F;
    font.Color = PickColor(input);
    canvas.SetFont(font);
    if (input.ConsumeBool())
        canvas.SetBrushColor(PickColor(input));
    else
        canvas.SetBrushStyle(TBrushStyle::Clear);
    const TColor brushBefore = canvas.BrushColor();

    static TPictureWorld world;
    SetPlatform(world.Machine.AsPlatform(nullptr));
    world.Machine.ShellIcons.Queries.clear();
    world.Machine.ShellIcons.Drawn.clear();
    world.Machine.PictureDecoder.Decoded.clear();
    TPictureList cache;
    params.PictureCache = &cache;
    params.PictureSource = &world;
    params.ImageList = &world;

    const std::string markup = input.ConsumeRemainingBytesAsString();
    TMarkupResult result;
    const bool over = RenderMarkup(canvas, markup, bounds, params, result);

    if (!(canvas.Font() == font))
        Fail("the canvas font was not put back");
    if (canvas.BrushColor() != brushBefore)
        Fail("the canvas background colour was not put back");
    if (canvas.SetFontRotation(0) != 0)
        Fail("the canvas font was left rotated");
    if (over != result.OverLink)
        Fail("the returned value differs from OverLink");
    if (mode == Measure && over)
        Fail("a measure-only call reported a link under the mouse");
    if (result.LinkUnderMouse != -1 &&
        (result.LinkUnderMouse < 1 || result.LinkUnderMouse > result.LinkCount))
        Fail("LinkUnderMouse names no link that was counted");
    if (result.UsedHeight < 0 && params.ExtraLineSpacing >= 0 && font.Size >= 0)
        Fail("negative UsedHeight");

    // Each probe lays the text out again: a few probes, on texts of a dialog's size, keep the
    // fuzzer fast; the property test probes more.
    if (markup.size() > 512)
        return 0;
    // The invariants speak of text runs: pictures in links are link areas without a run, so
    // these layouts are made without pictures or icons.
    TPlatform textOnly = Platform();
    textOnly.ShellIcons = nullptr;
    SetPlatform(textOnly);
    test::TInvariantCase c;
    c.Markup = markup;
    c.Bounds = bounds;
    c.Params = params;
    c.Params.PictureCache = nullptr;
    c.Params.PictureSource = nullptr;
    c.Params.ImageList = nullptr;
    c.Font = font;
    // Fuzzed areas and fonts are often degenerate (inverted, far off, negative sizes).
    c.CheckUsedWidth = false;
    test::TInvariantCounts counts;
    const std::string broken = test::CheckMarkupInvariants(
        c, static_cast<uint32_t>(size) * 2654435761u, {1, 1, 2, 1}, counts);
    if (!broken.empty())
        Fail(broken.c_str());
    return 0;
}
