// Draws markup samples with the GDI canvas into off-screen bitmaps, saves them for review and
// checks that GDI layouts keep the renderer's rules: a line is as wide as its runs measured by
// GDI, UsedWidth is the widest line plus 2 (and its indent), links are found where their runs were
// drawn and not beside them, the canvas comes back as it was and leaks no GDI object. Ends with a
// timing of a typical dialog text (measure, draw, hit test).
//
// usage: markup_e2e SAMPLES_DIR SHOTS_DIR   (a missing SAMPLES_DIR leaves the built-in texts)
//        markup_e2e --window REFERENCE_BMP  (the dialog text in a window, for a screen shot)
#include "markup/MarkupEntities.h"
#include "markup/MarkupRenderer.h"
#include "runtime/CodePage.h"
#include "runtime/win32/Win32Platform.h"
#include "runtime/win32/GdiCanvas.h"
#include "tests/common/MarkupSampleFile.h"
#include "tests/e2e/markup/GdiCanvasChecks.h"
#include "tests/e2e/markup/RecordingGdiCanvas.h"
#include "tests/e2e/markup/WindowShow.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace qb;
using namespace qb::e2e;
using namespace qb::test;

namespace {

constexpr int Margin = 10;
TChecks Check;

std::string RectText(const TRect& r) {
    return "(" + std::to_string(r.Left) + "," + std::to_string(r.Top) + ")-(" +
           std::to_string(r.Right) + "," + std::to_string(r.Bottom) + ")";
}

TRect Moved(const TRect& r, int dx, int dy) {
    return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

// Texts as the dialogs show them, so there are pictures whatever the golden folder holds.
std::vector<TMarkupSample> BuiltInSamples() {
    auto sample = [](const char* name, const char* markup) {
        TMarkupSample s;
        s.Name = name;
        s.Bounds = {0, 0, 460, 400};
        s.Markup = markup;
        return s;
    };
    return {
        sample("dialog-content",
               "Quillbridge found <b>Tessera</b> in c:\\zorn\\ but no DOSBox under Program "
               "Files.<br>DOSBox runs the DOS program on a 64-bit Windows.<br>Download it from "
               "<a href=\"https://www.dosbox.com/download.php\">the DOSBox site</a>, install "
               "it<br>and run this setup again. Read <a href=\"help:printing\">how printing "
               "works</a> first.<br>The print shortcut sends the file <font "
               "color=\"clnavy\">f</font> to the printer."),
        sample("dialog-single-line", "Plain, <b>bold</b>, <i>italic</i> and <u>underlined</u> "
                                     "words with <a href=\"one\">a link</a> on one line"),
        sample("dialog-wrapped-link",
               "A long sentence that has to wrap before it reaches <a href=\"wrapped\">the link "
               "that itself runs over the end of the first line and onto the next one</a>, and "
               "then goes on a little."),
        sample("dialog-styles",
               "<font face=\"Courier New\" size=\"3\" color=\"clmaroon\">Courier 12</font> "
               "<font size=\"5\">size 5</font> x<sub>2</sub> y<sup>3</sup> <s>struck</s> "
               "<hi>highlighted</hi> <e>misspelt</e><br><p align=\"center\">centred line</p>"
               "<ul><li>first item<li>second item<ul><li>nested item</ul></ul>"
               "<hr>&amp; &quot;&sect;&copy;&reg;&trade;&euro;&para;&permil; &lt;tag&gt;"),
        // The characters the markup makes itself, in this process's code page (UTF-8 by the
        // manifest), beside names typed in it.
        sample("code-page-entities",
               "<font size=\"14\">&copy; &reg; &trade; &euro; &sect; &para; &permil; "
               "&quot;</font><br><ul><li>\xC5\x81ukasz<li>\xCE\x9D\xCE\xAF\xCE\xBA\xCE\xBF"
               "\xCF\x82<ul><li>Zo\xC3\xAB &amp; Ren\xC3\xA9"
               "e</ul></ul>"),
    };
}

struct TTracedLine {
    TRect Rect;
    int Width = 0;
};

struct TTracedRun {
    std::string Text;
    TRect Rect;
    int Link = 0;
    bool Drawn = false;
    size_t Line = 0; // index into the lines
};

class TTrace : public IMarkupTrace {
public:
    std::vector<TTracedLine> Lines;
    std::vector<TTracedRun> Runs;

    void OnLine(const TRect& lineRect, int width) override { Lines.push_back({lineRect, width}); }
    void OnRun(std::string_view text, const TRect& rect, int link, bool drawn) override {
        Runs.push_back(
            {std::string(text), rect, link, drawn, Lines.empty() ? 0 : Lines.size() - 1});
    }
};

// One layout through the recording wrapper: what the renderer said and what GDI was asked.
struct TLayout {
    TMarkupResult Result;
    bool Returned = false;
    TTrace Trace;
    std::vector<TDrawnText> Texts;
    std::vector<TRect> FocusRects;
};

TLayout Lay(TGdiCanvas& gdi, const TMarkupSample& sample, TMarkupParams params) {
    TLayout layout;
    TRecordingGdiCanvas recorder(gdi);
    params.Trace = &layout.Trace;
    layout.Returned = RenderMarkup(recorder, sample.Markup, sample.Bounds, params, layout.Result);
    layout.Texts = std::move(recorder.Texts);
    layout.FocusRects = std::move(recorder.FocusRects);
    return layout;
}

TMarkupParams DrawParams(const TMarkupSample& sample) {
    TMarkupParams params = sample.Params;
    params.MeasureOnly = false;
    params.HitTestOnly = false;
    return params;
}

TMarkupResult HitTest(TGdiCanvas& gdi, const TMarkupSample& sample, int x, int y) {
    TMarkupParams params = DrawParams(sample);
    params.HitTestOnly = true;
    params.MouseX = x;
    params.MouseY = y;
    TMarkupResult result;
    RenderMarkup(gdi, sample.Markup, sample.Bounds, params, result);
    return result;
}

bool HasTag(const std::string& markup, std::string_view tag) {
    std::string lower = markup;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find(tag) != std::string::npos;
}

// Tags whose effect on a line's width or on hit testing is more than its runs.
bool MovesByItself(const TMarkupSample& sample) {
    for (std::string_view tag : {"<in", "<of", "<li", "<img", "<z", "<r", "<ul", "<body"})
        if (HasTag(sample.Markup, tag))
            return true;
    return false;
}

// The drawn text of a traced run (the run itself, not its shadow), if GDI was asked to draw it.
// The trace ends a run at its measured right edge; the text was drawn in the rest of the line.
const TDrawnText* DrawnTextOf(const TLayout& layout, const TTracedRun& run) {
    for (const auto& text : layout.Texts)
        if (text.Rect.Left == run.Rect.Left && text.Rect.Top == run.Rect.Top &&
            text.Rect.Bottom == run.Rect.Bottom && text.Text == run.Text)
            return &text;
    return nullptr;
}

// How many lines and link runs a sample's checks covered, so that a check that quietly finds
// nothing to look at shows up.
struct TCoverage {
    int Lines = 0;
    int LinkRuns = 0;
};

// Text of the process code page as UTF-16.
std::wstring WideOf(std::string_view text) {
    const int length =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

// The manifest makes this a UTF-8 process, and what the markup makes of its entities and
// bullet must be those characters here.
void CheckCodePage() {
    Check(GetACP() == CP_UTF8, "code page", "GetACP is " + std::to_string(GetACP()));
    const std::string made =
        ReplaceWholeTextEntities("&copy;&reg;&trade;&euro;&sect;&para;&permil;");
    Check(WideOf(made) == L"\u00A9\u00AE\u2122\u20AC\u00A7\u00B6\u2030", "code page",
          "entities come out as other characters: " + made);
    Check(WideOf(CodePageChar(0x00B7)) == L"\u00B7", "code page",
          "the bullet is another character");
}

// The width GDI itself gives a text in a font, measured the way the renderer measures runs but
// straight on the device context, so a canvas that reports sizes wrongly cannot agree with it.
int GdiWidth(TGdiCanvas& gdi, const TDrawnText& text, std::string_view shown) {
    const TFont saved = gdi.Font();
    gdi.SetFont(text.Font);
    gdi.Realize();
    RECT r{text.Rect.Left, text.Rect.Top, text.Rect.Right, text.Rect.Bottom};
    const std::wstring wide = WideOf(shown);
    ::DrawTextW(gdi.Handle(), wide.c_str(), static_cast<int>(wide.size()), &r,
                text.Format | DT_CALCRECT);
    gdi.SetFont(saved);
    return r.right - r.left;
}

void CheckLineWidths(TGdiCanvas& gdi, const TMarkupSample& sample, const TLayout& layout,
                     TCoverage& coverage) {
    int widest = 0;
    for (const auto& line : layout.Trace.Lines)
        widest = std::max(widest, line.Width);
    // An indent adds to the room a line takes, beside its width.
    const bool indented = HasTag(sample.Markup, "indent");
    Check(indented ? layout.Result.UsedWidth >= widest + 2
                   : layout.Result.UsedWidth == (widest > 0 ? widest + 2 : 0),
          sample.Name,
          "UsedWidth " + std::to_string(layout.Result.UsedWidth) + " but the widest line is " +
              std::to_string(widest));
    if (MovesByItself(sample))
        return;
    for (size_t i = 0; i < layout.Trace.Lines.size(); ++i) {
        int sum = 0, trailingSpace = 0;
        bool measurable = true;
        for (const auto& run : layout.Trace.Runs) {
            if (run.Line != i)
                continue;
            const TDrawnText* drawn = run.Drawn ? DrawnTextOf(layout, run) : nullptr;
            if (!drawn) {
                measurable = false; // not drawn at the right edge, or drawn in another form
                break;
            }
            sum += GdiWidth(gdi, *drawn, run.Text);
            trailingSpace =
                !run.Text.empty() && run.Text.back() == ' ' ? GdiWidth(gdi, *drawn, " ") : 0;
        }
        if (!measurable || sum == 0)
            continue;
        const int width = layout.Trace.Lines[i].Width;
        ++coverage.Lines;
        // A space written as an entity is not a trailing space; either may close the line.
        const bool ok = width == sum - trailingSpace ||
                        (trailingSpace > 0 && width == sum && HasTag(sample.Markup, "&"));
        Check(ok, sample.Name,
              "line " + std::to_string(i + 1) + " is " + std::to_string(width) +
                  " wide but its runs measure " + std::to_string(sum) + " with GDI (" +
                  std::to_string(trailingSpace) + " of it a trailing space)");
    }
}

void CheckLinks(TGdiCanvas& gdi, const TMarkupSample& sample, const TLayout& drawn,
                TCoverage& coverage) {
    if (drawn.Result.LinkCount == 0 || HasTag(sample.Markup, "<img") || HasTag(sample.Markup, "<r"))
        return;
    // Link targets and focus rectangles, link by link.
    std::vector<std::string> targets;
    std::vector<std::vector<TRect>> frames;
    for (int k = 0; k < drawn.Result.LinkCount && k < 50; ++k) {
        TMarkupParams params = DrawParams(sample);
        params.FocusedLink = k;
        TLayout focused = Lay(gdi, sample, params);
        targets.push_back(focused.Result.FocusedAnchor);
        frames.push_back(focused.FocusRects);
    }
    std::vector<TRect> linkRects;
    for (const auto& run : drawn.Trace.Runs)
        if (run.Link > 0 && run.Drawn)
            linkRects.push_back(run.Rect);
    auto onLinkRun = [&](int x, int y) {
        for (const auto& r : linkRects)
            if (x >= r.Left - 1 && x <= r.Right + 1 && y >= r.Top && y <= r.Bottom)
                return true;
        return false;
    };

    for (const auto& run : drawn.Trace.Runs) {
        if (run.Link <= 0 || !run.Drawn || run.Text.find_first_not_of(' ') == std::string::npos)
            continue;
        const TDrawnText* text = DrawnTextOf(drawn, run);
        if (!text)
            continue;
        const TRect& line = drawn.Trace.Lines[run.Line].Rect;
        const int width = GdiWidth(gdi, *text, run.Text);
        const int x = run.Rect.Left + std::max(1, width / 2);
        const int y = std::min(run.Rect.Bottom, line.Bottom) - 2;
        const std::string where =
            "\"" + run.Text + "\" at (" + std::to_string(x) + "," + std::to_string(y) + ")";

        ++coverage.LinkRuns;
        const TMarkupResult hit = HitTest(gdi, sample, x, y);
        if (!Check(hit.OverLink, sample.Name, "no link found on the link run " + where))
            continue;
        Check(hit.LinkUnderMouse == run.Link, sample.Name,
              "LinkUnderMouse " + std::to_string(hit.LinkUnderMouse) + " on link " +
                  std::to_string(run.Link) + "'s run " + where);
        if (run.Link <= static_cast<int>(targets.size())) {
            const int n = run.Link - 1;
            Check(hit.AnchorUnderMouse == targets[n], sample.Name,
                  "AnchorUnderMouse \"" + hit.AnchorUnderMouse + "\" is not \"" + targets[n] +
                      "\" on " + where);
            bool framed = false;
            for (const auto& r : frames[n])
                framed = framed || (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom);
            Check(framed, sample.Name,
                  "link " + std::to_string(run.Link) + "'s focus rectangle misses " + where);
        }
        if (hit.HoverBounds.Top == line.Top)
            Check(x >= hit.HoverBounds.Left && x <= hit.HoverBounds.Right, sample.Name,
                  "HoverBounds " + RectText(hit.HoverBounds) + " miss " + where);

        // Beside the run's text, where no link run was drawn, no link is found.
        for (int bx : {run.Rect.Left + width + 4, run.Rect.Left - 4}) {
            if (onLinkRun(bx, y) || bx < sample.Bounds.Left)
                continue;
            Check(!HitTest(gdi, sample, bx, y).OverLink, sample.Name,
                  "a link found at x " + std::to_string(bx) + " beside " + where);
        }
    }
    // Below the last line nothing is a link.
    const TRect& first = linkRects.front();
    const int below = sample.Bounds.Top + drawn.Result.UsedHeight + 8;
    Check(!HitTest(gdi, sample, (first.Left + first.Right) / 2, below).OverLink, sample.Name,
          "a link found below the last line");
}

void RunSample(TMarkupSample sample, const fs::path& shots) {
    CheckCodePage();
    const long objectsBefore = GdiCanvasCounts().LiveObjects;
    // Room around the layout rectangle, so the picture shows what runs past its edges.
    sample.Bounds = Moved(sample.Bounds, Margin, Margin);
    sample.Params.MouseX += Margin;
    sample.Params.MouseY += Margin;
    {
        int width, height;
        {
            TGdiBitmapCanvas probe(16, 16);
            probe.SetFont(sample.Font);
            TMarkupParams measure = DrawParams(sample);
            measure.MeasureOnly = true;
            TMarkupResult size;
            RenderMarkup(probe, sample.Markup, sample.Bounds, measure, size);
            width = std::clamp(std::max(sample.Bounds.Right, sample.Bounds.Left + size.UsedWidth),
                               20, 1600) +
                    Margin;
            height = std::clamp(std::max(sample.Bounds.Bottom, sample.Bounds.Top + size.UsedHeight),
                                20, 2000) +
                     Margin;
        }
        TGdiBitmapCanvas canvas(width, height);
        canvas.Clear(clWhite);
        // The layout rectangle, faintly, so the picture shows where wrapping should happen.
        canvas.SetPenColor(0x00E8E8E8);
        canvas.SetBrushStyle(TBrushStyle::Clear);
        const TRect& b = sample.Bounds;
        canvas.Rectangle({b.Left - 1, b.Top - 1, b.Right + 1, b.Bottom + 1});
        canvas.SetFont(sample.Font);
        canvas.SetBrushColor(sample.Brush);

        const TLayout drawn = Lay(canvas, sample, DrawParams(sample));
        const fs::path picture = shots / (sample.Name + ".bmp");
        Check(canvas.SaveBmp(picture.string()), sample.Name, "cannot save " + picture.string());
        Check(canvas.Font() == sample.Font && canvas.BrushColor() == sample.Brush &&
                  canvas.SetFontRotation(0) == 0,
              sample.Name, "the canvas font, rotation or background was not put back");
        Check(drawn.Returned == drawn.Result.OverLink, sample.Name,
              "the returned value is not OverLink");

        TCoverage coverage;
        CheckLineWidths(canvas, sample, drawn, coverage);
        CheckLinks(canvas, sample, drawn, coverage);
        std::printf("sample %-24s %4dx%-4d lines %2zu (%2d measured) runs %3zu links %2d (%2d "
                    "runs hit)\n",
                    sample.Name.c_str(), drawn.Result.UsedWidth, drawn.Result.UsedHeight,
                    drawn.Trace.Lines.size(), coverage.Lines, drawn.Trace.Runs.size(),
                    drawn.Result.LinkCount, coverage.LinkRuns);
        // The dialog texts are plain enough that every line and link run must be checked.
        if (sample.Name.rfind("dialog-", 0) == 0 && sample.Name != "dialog-styles") {
            Check(coverage.Lines == static_cast<int>(drawn.Trace.Lines.size()), sample.Name,
                  "lines left unmeasured");
            Check(coverage.LinkRuns > 0, sample.Name, "no link run was hit-tested");
        }
    }
    Check(GdiCanvasCounts().LiveObjects == objectsBefore, sample.Name,
          "GDI objects left: " + std::to_string(GdiCanvasCounts().LiveObjects - objectsBefore));
}

// Repeated layouts of one text on one canvas make no new fonts once the cache holds them.
void CheckFontCache(const TMarkupSample& sample) {
    TGdiBitmapCanvas canvas(480, 200);
    canvas.SetFont(sample.Font);
    TMarkupResult result;
    RenderMarkup(canvas, sample.Markup, sample.Bounds, DrawParams(sample), result);
    const long fonts = GdiCanvasCounts().FontsCreated;
    for (int i = 0; i < 20; ++i)
        RenderMarkup(canvas, sample.Markup, sample.Bounds, DrawParams(sample), result);
    Check(GdiCanvasCounts().FontsCreated == fonts, "font cache",
          std::to_string(GdiCanvasCounts().FontsCreated - fonts) +
              " fonts created by repeating a layout");
}

void TimeDialogText(const TMarkupSample& sample) {
    TGdiBitmapCanvas canvas(480, 200);
    canvas.SetFont(sample.Font);
    const TRect bounds{Margin, Margin, 470, 190};
    constexpr int Calls = 300;
    using Clock = std::chrono::steady_clock;
    auto timed = [&](const TMarkupParams& params) {
        TMarkupResult result;
        RenderMarkup(canvas, sample.Markup, bounds, params, result); // fonts in the cache
        const auto start = Clock::now();
        for (int i = 0; i < Calls; ++i)
            RenderMarkup(canvas, sample.Markup, bounds, params, result);
        GdiFlush();
        return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / Calls;
    };
    TMarkupParams measure = DrawParams(sample);
    measure.MeasureOnly = true;
    TMarkupParams hit = DrawParams(sample);
    hit.HitTestOnly = true;
    hit.MouseX = 150;
    hit.MouseY = 45;
    const double measureUs = timed(measure);
    const double drawUs = timed(DrawParams(sample));
    const double hitUs = timed(hit);
    std::printf("GDI timing of the %zu-byte dialog text: measure %.1f us, draw %.1f us, "
                "hit test %.1f us per call\n",
                sample.Markup.size(), measureUs, drawUs, hitUs);
}

} // namespace

int main(int argc, char** argv) {
    // The markup asks the platform which code page its characters are in.
    Win32Platform platform;
    SetPlatform(platform.AsPlatform());
    if (argc == 3 && std::string(argv[1]) == "--window")
        return ShowInWindow(BuiltInSamples().front().Markup, argv[2], 30);
    if (argc < 3) {
        std::printf("usage: markup_e2e SAMPLES_DIR SHOTS_DIR\n");
        return 2;
    }
    const fs::path shots = argv[2];
    std::error_code error;
    fs::create_directories(shots, error);

    std::vector<TMarkupSample> samples = BuiltInSamples();
    std::vector<std::string> unreadable;
    const auto golden = LoadMarkupSamples(argv[1], unreadable);
    samples.insert(samples.end(), golden.begin(), golden.end());
    std::printf("%zu built-in texts, %zu samples from %s\n", samples.size() - golden.size(),
                golden.size(), argv[1]);
    for (const auto& message : unreadable)
        Check(false, "samples", "cannot read " + message);

    CheckCodePage();
    const long objectsBefore = GdiCanvasCounts().LiveObjects;
    RunGdiCanvasChecks(shots.string(), Check);
    for (const auto& sample : samples)
        RunSample(sample, shots);
    CheckFontCache(samples.front());
    TimeDialogText(samples.front());
    Check(GdiCanvasCounts().LiveObjects == objectsBefore, "all",
          "GDI objects left behind after every canvas was freed");

    std::printf("%d passed, %d failed\n", Check.Count - Check.Failures, Check.Failures);
    return Check.Failures == 0 ? 0 : 1;
}
