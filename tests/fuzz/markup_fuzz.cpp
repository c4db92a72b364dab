// Feeds arbitrary bytes to RenderMarkup in its three modes (measure, hit test, draw), with the
// rectangle, mouse point, link numbers, flags and canvas font also taken from the input.
// Beyond "no crash, no leak, no endless loop" it checks what every caller relies on: the canvas
// font, rotation and background come back as they were, the link outputs are consistent, and
// the layout keeps the invariants of the property test (links found exactly where drawn, runs
// that neither overlap nor pass the right edge, focus frames on their parts).
#include "markup/MarkupRenderer.h"
#include "runtime/headless/RecordingCanvas.h"
#include "tests/common/MarkupInvariants.h"
#include <fuzzer/FuzzedDataProvider.h>
#include <cstdio>
#include <cstdlib>

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
    test::TInvariantCase c;
    c.Markup = markup;
    c.Bounds = bounds;
    c.Params = params;
    c.Font = font;
    test::TInvariantCounts counts;
    const std::string broken = test::CheckMarkupInvariants(
        c, static_cast<uint32_t>(size) * 2654435761u, {1, 1, 2, 1}, counts);
    if (!broken.empty())
        Fail(broken.c_str());
    return 0;
}
