// Draws markup samples with the GDI canvas into off-screen bitmaps, saves them for review and
// checks that GDI layouts keep the renderer's rules: a single line is as wide as its runs
// measured by GDI plus 2, links are found where their runs were drawn and not beside them, the
// canvas leaks no GDI object and does not recreate fonts it already has. Ends with a timing of
// a typical dialog text (measure, draw, hit test).
//
// usage: markup_e2e SAMPLES_DIR SHOTS_DIR   (SAMPLES_DIR may be missing: built-in texts only)
#include "markup/MarkupRenderer.h"
#include "runtime/win32/GdiCanvas.h"
#include "tests/e2e/markup/GdiCanvasChecks.h"
#include "tests/e2e/markup/RecordingGdiCanvas.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace qb;
using qb::e2e::TDrawnText;
using qb::e2e::TRecordingGdiCanvas;

namespace {

constexpr TColor ProbeLinkColor = 0x00C00000; // a dark blue no sample uses for plain text
constexpr TColor ProbeShadowTint = 0x00909091;
constexpr int Margin = 10;
constexpr int LayoutWidth = 460;

qb::e2e::TChecks Check;

std::string RectText(const TRect& r) {
    std::ostringstream s;
    s << "(" << r.Left << "," << r.Top << ")-(" << r.Right << "," << r.Bottom << ")";
    return s.str();
}

struct TSample {
    std::string Name;
    std::string Markup;
};

// Texts as the dialogs show them, so the run has pictures to look at whatever the samples are.
std::vector<TSample> BuiltInSamples() {
    return {
        {"builtin-dialog",
         "Quillbridge found <b>Tessera</b> in c:\\zorn\\ but no DOSBox under Program Files.<br>"
         "DOSBox runs the DOS program on a 64-bit Windows.<br>"
         "Download it from <a href=\"https://www.dosbox.com/download.php\">the DOSBox site</a>, "
         "install it<br>"
         "and run this setup again. Read <a href=\"help:printing\">how printing works</a> "
         "first.<br>"
         "The print shortcut sends the file <font color=\"clnavy\">f</font> to the printer."},
        {"builtin-single-line", "Plain, <b>bold</b>, <i>italic</i> and <u>underlined</u> words "
                                "with <a href=\"one\">a link</a> on one line"},
        {"builtin-wrapped-link",
         "A long sentence that has to wrap before it reaches <a href=\"wrapped\">the link that "
         "itself runs over the end of the first line and onto the next one</a>, and then goes on "
         "a little."},
        {"builtin-styles",
         "<font face=\"Courier New\" size=\"3\" color=\"clmaroon\">Courier 12</font> "
         "<font size=\"5\">size 5</font> x<sub>2</sub> y<sup>3</sup> <s>struck</s> "
         "<hi>highlighted</hi> <e>misspelt</e><br><p align=\"center\">centred line</p>"
         "<ul><li>first item<li>second item<ul><li>nested item</ul></ul>"
         "<hr>&amp; &quot;&sect;&copy;&reg;&trade;&euro;&para;&permil; &lt;tag&gt;"},
    };
}

std::vector<TSample> LoadSamples(const fs::path& dir) {
    std::vector<TSample> samples;
    std::error_code error;
    if (!fs::is_directory(dir, error))
        return samples;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir, error))
        if (entry.path().extension() == ".txt")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // A sample is its file's bytes; an editor's final line end is not part of it.
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        samples.push_back({file.stem().string(), text});
    }
    return samples;
}

TFont DialogFont() {
    TFont font;
    font.Name = "Tahoma";
    font.Size = 8;
    font.Color = clBlack;
    return font;
}

TMarkupParams DrawParams() {
    TMarkupParams params;
    params.LinkColor = ProbeLinkColor;
    params.ShadowTint = ProbeShadowTint;
    return params;
}

TMarkupResult Render(TCanvas& canvas, const std::string& markup, const TRect& bounds,
                     TMarkupParams params) {
    TMarkupResult result;
    RenderMarkup(canvas, markup, bounds, params, result);
    return result;
}

TMarkupResult HitTest(TCanvas& canvas, const std::string& markup, const TRect& bounds, int x,
                      int y) {
    TMarkupParams params = DrawParams();
    params.HitTestOnly = true;
    params.MouseX = x;
    params.MouseY = y;
    return Render(canvas, markup, bounds, params);
}

bool Inside(const TRect& r, int x, int y) {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

// Runs the renderer drew as text (bullets, drawn without format flags, and shadow copies are
// not runs of the line).
std::vector<TDrawnText> Runs(const std::vector<TDrawnText>& drawn) {
    std::vector<TDrawnText> runs;
    for (const auto& text : drawn)
        if ((text.Format & DT_SINGLELINE) && text.Font.Color != ProbeShadowTint)
            runs.push_back(text);
    return runs;
}

// The width GDI gives a run, measured the way the renderer measures it.
int GdiRunWidth(TGdiCanvas& canvas, const TDrawnText& run) {
    canvas.SetFont(run.Font);
    TRect r{run.Rect.Left, run.Rect.Top, run.Rect.Right, run.Rect.Bottom};
    canvas.DrawText(run.Text, r, run.Format | DT_CALCRECT);
    return r.Width();
}

bool HasTag(const std::string& markup, const char* tag) {
    std::string lower = markup;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find(tag) != std::string::npos;
}

void CheckSingleLineWidth(TGdiCanvas& gdi, const TSample& sample, const TRect& bounds,
                          const std::vector<TDrawnText>& runs, int usedWidth) {
    if (runs.empty())
        return;
    for (const auto& run : runs)
        if (run.Rect.Top != runs.front().Rect.Top)
            return; // more than one line
    // Tags that move the line width by themselves take part in other rules.
    for (const char* tag : {"<in", "<of", "<li", "<img", "<z", "<r"})
        if (HasTag(sample.Markup, tag))
            return;
    int sum = 0;
    for (const auto& run : runs)
        sum += GdiRunWidth(gdi, run);
    // A trailing space of the line's last run does not count.
    const auto& last = runs.back();
    if (!last.Text.empty() && last.Text.back() == ' ') {
        TDrawnText space = last;
        space.Text = " ";
        sum -= GdiRunWidth(gdi, space);
    }
    if (sum <= 0)
        return;
    Check(usedWidth == sum + 2, sample.Name,
          "single line: UsedWidth " + std::to_string(usedWidth) + " but the runs measure " +
              std::to_string(sum) + " + 2 (bounds " + RectText(bounds) + ")");
}

// Which link a point belongs to, by the focus rectangles drawn for each link in turn.
struct TLinkPlaces {
    std::vector<std::string> Targets;           // by link number - 1
    std::vector<std::vector<TRect>> FocusRects; // by link number - 1
};

TLinkPlaces FindLinks(TGdiCanvas& gdi, const std::string& markup, const TRect& bounds,
                      int linkCount) {
    TLinkPlaces places;
    for (int k = 0; k < linkCount && k < 50; ++k) {
        TRecordingGdiCanvas recorder(gdi);
        TMarkupParams params = DrawParams();
        params.FocusedLink = k;
        TMarkupResult result = Render(recorder, markup, bounds, params);
        places.Targets.push_back(result.FocusedAnchor);
        places.FocusRects.push_back(recorder.FocusRects);
    }
    return places;
}

void CheckLinks(TGdiCanvas& gdi, const TSample& sample, const TRect& bounds,
                const std::vector<TDrawnText>& runs, const TMarkupResult& drawn) {
    std::vector<TRect> linkRuns;
    for (const auto& run : runs)
        if (run.Font.Color == ProbeLinkColor && run.Rect.Right > run.Rect.Left)
            linkRuns.push_back(run.Rect);
    if (linkRuns.empty())
        return;
    const TLinkPlaces links = FindLinks(gdi, sample.Markup, bounds, drawn.LinkCount);

    auto onAnyLinkRun = [&](int x, int y) {
        for (const auto& r : linkRuns)
            if (x >= r.Left - 1 && x <= r.Right + 1 && y >= r.Top && y < r.Bottom)
                return true;
        return false;
    };

    for (const auto& run : runs) {
        if (run.Font.Color != ProbeLinkColor ||
            run.Text.find_first_not_of(' ') == std::string::npos)
            continue;
        // The run's own rectangle may be wider than its text: aim at the text.
        const int width = GdiRunWidth(gdi, run);
        const int x = run.Rect.Left + std::max(1, width / 2);
        const int y = run.Rect.Bottom - 3;
        const std::string where =
            "\"" + run.Text + "\" at (" + std::to_string(x) + "," + std::to_string(y) + ")";
        TMarkupResult hit = HitTest(gdi, sample.Markup, bounds, x, y);
        Check(hit.OverLink, sample.Name, "no link found on the link run " + where);
        if (!hit.OverLink)
            continue;
        const int n = hit.LinkUnderMouse;
        Check(n >= 1 && n <= static_cast<int>(links.Targets.size()), sample.Name,
              "LinkUnderMouse " + std::to_string(n) + " for " + where);
        if (n < 1 || n > static_cast<int>(links.Targets.size()))
            continue;
        Check(hit.AnchorUnderMouse == links.Targets[n - 1], sample.Name,
              "AnchorUnderMouse \"" + hit.AnchorUnderMouse + "\" is not link " + std::to_string(n) +
                  "'s target \"" + links.Targets[n - 1] + "\" for " + where);
        bool framed = false;
        for (const auto& r : links.FocusRects[n - 1])
            framed = framed || Inside(r, x, y);
        Check(framed, sample.Name,
              "the focus rectangle of link " + std::to_string(n) + " does not hold " + where);
        // HoverBounds covers the link's part on the line where it ends.
        if (run.Rect.Top == hit.HoverBounds.Top)
            Check(x >= hit.HoverBounds.Left && x <= hit.HoverBounds.Right, sample.Name,
                  "HoverBounds " + RectText(hit.HoverBounds) + " miss " + where);

        // Beside the run's text, where no other link run was drawn, nothing is found.
        for (int bx : {run.Rect.Left + width + 4, run.Rect.Left - 4}) {
            if (onAnyLinkRun(bx, y) || bx < bounds.Left)
                continue;
            TMarkupResult beside = HitTest(gdi, sample.Markup, bounds, bx, y);
            Check(!beside.OverLink, sample.Name,
                  "a link found beside the link run " + where + " at x " + std::to_string(bx));
        }
    }
    // Below the last line nothing is a link.
    TMarkupParams measure = DrawParams();
    measure.MeasureOnly = true;
    TMarkupResult size = Render(gdi, sample.Markup, bounds, measure);
    const TRect& first = linkRuns.front();
    TMarkupResult below = HitTest(gdi, sample.Markup, bounds, (first.Left + first.Right) / 2,
                                  bounds.Top + size.UsedHeight + 8);
    Check(!below.OverLink, sample.Name, "a link found below the last line");
}

void RunSample(const TSample& sample, const fs::path& shots) {
    const long objectsBefore = GdiCanvasCounts().LiveObjects;
    {
        // Measure first, so the picture is as tall as the text.
        int height;
        {
            TGdiBitmapCanvas probe(LayoutWidth + 2 * Margin, 100);
            probe.SetFont(DialogFont());
            TMarkupParams measure = DrawParams();
            measure.MeasureOnly = true;
            TMarkupResult size = Render(probe, sample.Markup,
                                        {Margin, Margin, Margin + LayoutWidth, 30000}, measure);
            height = std::clamp(size.UsedHeight, 20, 3000) + 2 * Margin;
        }
        TGdiBitmapCanvas canvas(LayoutWidth + 2 * Margin, height);
        canvas.Clear(clWhite);
        const TRect bounds{Margin, Margin, Margin + LayoutWidth, height - Margin};
        // The layout area, faintly, so the picture shows where wrapping should happen.
        canvas.SetPenColor(0x00E0E0E0);
        canvas.SetBrushStyle(TBrushStyle::Clear);
        canvas.Rectangle({bounds.Left - 1, bounds.Top - 1, bounds.Right + 1, bounds.Bottom + 1});
        canvas.SetBrushColor(clWhite);
        canvas.SetFont(DialogFont());

        TRecordingGdiCanvas recorder(canvas);
        TMarkupResult drawn = Render(recorder, sample.Markup, bounds, DrawParams());
        const fs::path picture = shots / (sample.Name + ".bmp");
        Check(canvas.SaveBmp(picture.string()), sample.Name, "cannot save " + picture.string());
        Check(canvas.Font() == DialogFont(), sample.Name, "the canvas font was not put back");

        TMarkupParams measure = DrawParams();
        measure.MeasureOnly = true;
        TMarkupResult size = Render(canvas, sample.Markup, bounds, measure);
        const auto runs = Runs(recorder.Texts);
        CheckSingleLineWidth(canvas, sample, bounds, runs, size.UsedWidth);
        CheckLinks(canvas, sample, bounds, runs, drawn);
        std::printf("sample %-28s %4dx%-4d runs %3zu links %2d\n", sample.Name.c_str(),
                    size.UsedWidth, size.UsedHeight, runs.size(), drawn.LinkCount);
    }
    Check(GdiCanvasCounts().LiveObjects == objectsBefore, sample.Name,
          "GDI objects left behind: " +
              std::to_string(GdiCanvasCounts().LiveObjects - objectsBefore));
}

// Repeated layouts of one text on one canvas make no new fonts once the cache holds them.
void CheckFontCache(const std::string& markup) {
    TGdiBitmapCanvas canvas(480, 200);
    canvas.SetFont(DialogFont());
    const TRect bounds{Margin, Margin, Margin + LayoutWidth, 190};
    Render(canvas, markup, bounds, DrawParams());
    const long fonts = GdiCanvasCounts().FontsCreated;
    for (int i = 0; i < 20; ++i)
        Render(canvas, markup, bounds, DrawParams());
    Check(GdiCanvasCounts().FontsCreated == fonts, "font cache",
          std::to_string(GdiCanvasCounts().FontsCreated - fonts) +
              " fonts created by repeating a layout");
}

double MicrosPerCall(int calls, const std::chrono::steady_clock::duration& elapsed) {
    return std::chrono::duration<double, std::micro>(elapsed).count() / calls;
}

void TimeDialogText(const std::string& markup) {
    TGdiBitmapCanvas canvas(480, 200);
    canvas.SetFont(DialogFont());
    const TRect bounds{Margin, Margin, Margin + LayoutWidth, 190};
    constexpr int Calls = 300;
    using Clock = std::chrono::steady_clock;

    TMarkupParams measure = DrawParams();
    measure.MeasureOnly = true;
    TMarkupParams hit = DrawParams();
    hit.HitTestOnly = true;
    hit.MouseX = 150;
    hit.MouseY = 45;
    TMarkupResult result;
    RenderMarkup(canvas, markup, bounds, DrawParams(), result); // fonts in the cache

    auto start = Clock::now();
    for (int i = 0; i < Calls; ++i)
        RenderMarkup(canvas, markup, bounds, measure, result);
    const double measureUs = MicrosPerCall(Calls, Clock::now() - start);
    start = Clock::now();
    for (int i = 0; i < Calls; ++i)
        RenderMarkup(canvas, markup, bounds, DrawParams(), result);
    GdiFlush();
    const double drawUs = MicrosPerCall(Calls, Clock::now() - start);
    start = Clock::now();
    for (int i = 0; i < Calls; ++i)
        RenderMarkup(canvas, markup, bounds, hit, result);
    const double hitUs = MicrosPerCall(Calls, Clock::now() - start);
    std::printf("GDI timing of a %zu-byte dialog text: measure %.1f us, draw %.1f us, "
                "hit test %.1f us per call\n",
                markup.size(), measureUs, drawUs, hitUs);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: markup_e2e SAMPLES_DIR SHOTS_DIR\n");
        return 2;
    }
    const fs::path samplesDir = argv[1];
    const fs::path shots = argv[2];
    std::error_code error;
    fs::create_directories(shots, error);

    std::vector<TSample> samples = BuiltInSamples();
    const std::vector<TSample> golden = LoadSamples(samplesDir);
    samples.insert(samples.end(), golden.begin(), golden.end());
    std::printf("%zu built-in texts, %zu samples from %s\n", samples.size() - golden.size(),
                golden.size(), samplesDir.string().c_str());

    const long objectsBefore = GdiCanvasCounts().LiveObjects;
    qb::e2e::RunGdiCanvasChecks(shots.string(), Check);
    for (const auto& sample : samples)
        RunSample(sample, shots);
    CheckFontCache(samples.front().Markup);
    TimeDialogText(samples.front().Markup);
    Check(GdiCanvasCounts().LiveObjects == objectsBefore, "all",
          "GDI objects left behind after every canvas was freed");

    std::printf("%d passed, %d failed\n", Check.Count - Check.Failures, Check.Failures);
    return Check.Failures == 0 ? 0 : 1;
}
