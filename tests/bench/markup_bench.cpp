// How the markup renderer's cost grows with the text (measure passes over generated texts of
// 1 KB to 1 MB), and what one hit test of a typical dialog content costs.
#include "markup/MarkupRenderer.h"
#include "runtime/headless/RecordingCanvas.h"
#include <benchmark/benchmark.h>
#include <string>

namespace {

using namespace qb;

// Dialog-like paragraphs with bold, fonts, links, entities and line breaks, repeated and then
// padded with plain words to exactly `size` bytes (never cutting a tag).
std::string GenerateMarkup(size_t size) {
    static const char* const Pieces[] = {
        "The program <b>Tessera</b> was found in c:\\zorn\\ and is ready to run. ",
        "Its printer output goes to <font color=\"clnavy\" size=\"3\">the file f</font>, ",
        "which the shortcut sends to the printer &amp; then deletes.<br>",
        "Read <a href=\"https://example.org/help/printing\">how printing works</a> or ",
        "<font face=\"Courier New\">dosbox.conf</font> for the <i>details</i>.<br>",
        "Press <u>OK</u> to create both shortcuts, <b>Cancel</b> to stop here.<br><br>",
    };
    std::string text;
    text.reserve(size + 128);
    for (size_t i = 0;; i = (i + 1) % std::size(Pieces)) {
        std::string_view piece = Pieces[i];
        if (text.size() + piece.size() > size)
            break;
        text += piece;
    }
    static const std::string_view Filler = "plain words fill the rest ";
    while (text.size() < size)
        text += Filler[text.size() % Filler.size()];
    return text;
}

void BM_Measure(benchmark::State& state) {
    const std::string markup = GenerateMarkup(static_cast<size_t>(state.range(0)));
    TRecordingCanvas canvas;
    canvas.Recording = false;
    TMarkupParams params;
    params.MeasureOnly = true;
    const TRect bounds{0, 0, 400, 300};
    TMarkupResult result;
    for (auto _ : state) {
        RenderMarkup(canvas, markup, bounds, params, result);
        benchmark::DoNotOptimize(result.UsedHeight);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(markup.size()));
    state.counters["used_height"] = result.UsedHeight;
}
BENCHMARK(BM_Measure)
    ->Arg(1024)
    ->Arg(10240)
    ->Arg(102400)
    ->Arg(1048576)
    ->Unit(benchmark::kMicrosecond);

// A typical content text: five lines, two links, about 400 bytes.
const char* const DialogContent =
    "Quillbridge found <b>Tessera</b> in c:\\zorn\\ but no DOSBox under Program Files.<br>"
    "DOSBox runs the DOS program on a 64-bit Windows.<br>"
    "Download it from <a href=\"https://www.dosbox.com/download.php\">the DOSBox site</a>, "
    "install it<br>"
    "and run this setup again. Read <a href=\"help:printing\">how printing works</a> first.<br>"
    "The print shortcut sends the file <font color=\"clnavy\">f</font> to the printer.";

const TColor ProbeLinkColor = 0x00FE01FE; // unlike any colour the text uses

// The centre of the first run drawn in the link colour, so the hit test lands on a link;
// the top left corner when nothing is drawn as a link.
TPoint FirstLinkPoint(const TRect& bounds) {
    TRecordingCanvas canvas;
    TMarkupParams params;
    params.LinkColor = ProbeLinkColor;
    TMarkupResult result;
    RenderMarkup(canvas, DialogContent, bounds, params, result);
    for (const auto& record : canvas.Records())
        if (record.Op == TCanvasOp::Text && record.Font.Color == ProbeLinkColor)
            return {(record.Rect.Left + record.Rect.Right) / 2,
                    (record.Rect.Top + record.Rect.Bottom) / 2};
    return {bounds.Left, bounds.Top};
}

void BM_HitTest(benchmark::State& state) {
    const TRect bounds{10, 10, 480, 200};
    const TPoint mouse = FirstLinkPoint(bounds);
    TRecordingCanvas canvas;
    canvas.Recording = false;
    TMarkupParams params;
    params.HitTestOnly = true;
    params.MouseX = mouse.X;
    params.MouseY = mouse.Y;
    TMarkupResult result;
    bool over = false;
    for (auto _ : state) {
        over = RenderMarkup(canvas, DialogContent, bounds, params, result);
        benchmark::DoNotOptimize(over);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::char_traits<char>::length(DialogContent)));
    state.counters["over_link"] = over ? 1 : 0;
}
BENCHMARK(BM_HitTest)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
