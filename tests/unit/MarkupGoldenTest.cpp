// Golden layouts of the markup renderer: each sample under tests/markup_golden/ is laid out on
// the recording canvas and its dump compared with the checked-in <name>.layout. A mismatch
// writes <name>.layout-FAILED beside it; QB_UPDATE_GOLDEN=1 rewrites the .layout files.
//
// Sample (<name>.txt):
//   # comment
//   @bounds L T R B            layout rectangle (default 0 0 200 100)
//   @mode draw|measure|hittest (default draw)
//   @mouse X Y  @focused N  @hovered N  @shadow N  @spacing N
//   @wrap 0|1  @selected 0|1  @blink 0|1  @hoveronly 0|1
//   @linkcolor HEX  @hoverback HEX|none  @hovertext HEX|none  @tint HEX    (0xBBGGRR)
//   @font NAME SIZE STYLE COLOR   canvas font at entry; STYLE letters B I U S or "-"
//   @brush HEX|none               canvas background at entry (default white)
//   @escapes 1                    the markup understands \r \n \t \0 \\ and \xHH
//   ---
//   the markup: every byte after the "---" line, without the file's final line break
//
// Dump (<name>.layout), one item a line, in the order the renderer produced them:
//   sample mode=M bounds=(l,t)-(r,b)
//   line (l,t)-(r,b) width=W       a line's rectangle after alignment, and its width
//   text (l,t)-(r,b) "shown" FACE SIZE BIUS COLOR bk=BACK [rot=R] [ul=I] [link=N]
//                                  drawn text (runs, shadows, bullets): box, font and colour,
//                                  background, rotation, prefix-underlined byte, link number
//   run (l,t)-(r,b) "text" [link=N]  a run measured by a hit-test pass
//   skipped (l,t)-(r,b) "text"     a run not drawn at the right edge (no wrapping)
//   line/rectangle/fill/focus ...  rules, zigzags, bands and focus rectangles as drawn
//   result used=WxH links=N over=0|1 under=N hover=(l,t)-(r,b)
//   anchor "..."   focused "..."   plain "..."
// Colours are 8 hex digits (system colours FF0000nn) or "none"; bytes outside printable
// ASCII, quotes and backslashes are written \xHH. The format is stable: other tools read it.
#include "markup/MarkupRenderer.h"
#include "runtime/headless/RecordingCanvas.h"
#include "tests/common/MarkupSampleFile.h"
#include <gtest/gtest.h>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace qb;
using namespace qb::test;
namespace fs = std::filesystem;

fs::path GoldenDir() {
    return fs::path(QB_TEST_DATA_DIR) / "markup_golden";
}

// Interleaves the renderer's lines and runs with the canvas records made meanwhile.
class TGoldenDump : public IMarkupTrace {
public:
    TGoldenDump(TRecordingCanvas& canvas, bool hitTest) : Canvas_(canvas), HitTest_(hitTest) {}

    void OnLine(const TRect& lineRect, int width) override {
        Flush();
        Out.push_back("line " + TRecordingCanvas::DumpRect(lineRect) +
                      " width=" + std::to_string(width));
    }
    void OnRun(std::string_view text, const TRect& rect, int link, bool drawn) override {
        const int lastText = Flush();
        const std::string linkText = link > 0 ? " link=" + std::to_string(link) : "";
        if (HitTest_)
            Out.push_back("run " + TRecordingCanvas::DumpRect(rect) + " " +
                          TRecordingCanvas::DumpText(text) + linkText);
        else if (!drawn)
            Out.push_back("skipped " + TRecordingCanvas::DumpRect(rect) + " " +
                          TRecordingCanvas::DumpText(text));
        else if (lastText >= 0)
            Out[lastText] += linkText;
    }
    // Writes the records made since the last call; the index of the last text among them.
    int Flush() {
        int lastText = -1;
        const auto& records = Canvas_.Records();
        for (; Flushed_ < records.size(); ++Flushed_) {
            Out.push_back(TRecordingCanvas::DumpRecord(records[Flushed_]));
            if (records[Flushed_].Op == TCanvasOp::Text)
                lastText = static_cast<int>(Out.size()) - 1;
        }
        return lastText;
    }

    std::vector<std::string> Out;

private:
    TRecordingCanvas& Canvas_;
    bool HitTest_;
    size_t Flushed_ = 0;
};

std::string Render(const TMarkupSample& sample) {
    TRecordingCanvas canvas;
    canvas.SetFont(sample.Font);
    canvas.SetBrushColor(sample.Brush);
    TGoldenDump dump(canvas, sample.Params.HitTestOnly);
    TMarkupParams params = sample.Params;
    params.Trace = &dump;
    TMarkupResult result;
    const bool over = RenderMarkup(canvas, sample.Markup, sample.Bounds, params, result);
    dump.Flush();

    std::string s = "sample mode=" + sample.Mode +
                    " bounds=" + TRecordingCanvas::DumpRect(sample.Bounds) + "\n";
    for (const std::string& line : dump.Out)
        s += line + "\n";
    s += "result used=" + std::to_string(result.UsedWidth) + "x" +
         std::to_string(result.UsedHeight) + " links=" + std::to_string(result.LinkCount) +
         " over=" + (over ? "1" : "0") + " under=" + std::to_string(result.LinkUnderMouse) +
         " hover=" + TRecordingCanvas::DumpRect(result.HoverBounds) + "\n";
    s += "anchor " + TRecordingCanvas::DumpText(result.AnchorUnderMouse) + "\n";
    s += "focused " + TRecordingCanvas::DumpText(result.FocusedAnchor) + "\n";
    s += "plain " + TRecordingCanvas::DumpText(result.PlainText) + "\n";
    // Whatever the text did, the canvas comes back as it was.
    if (!(canvas.Font() == sample.Font) || canvas.BrushColor() != sample.Brush ||
        canvas.FontRotation() != 0)
        s += "CANVAS STATE NOT RESTORED\n";
    return s;
}

std::vector<std::string> SampleNames() {
    std::vector<std::string> names;
    for (const fs::path& file : MarkupSampleFiles(GoldenDir()))
        names.push_back(file.stem().string());
    return names;
}

class MarkupGoldenTest : public ::testing::TestWithParam<std::string> {};

TEST_P(MarkupGoldenTest, LayoutMatchesTheCheckedInDump) {
    const fs::path sample = GoldenDir() / (GetParam() + ".txt");
    const fs::path expected = GoldenDir() / (GetParam() + ".layout");
    const fs::path failed = GoldenDir() / (GetParam() + ".layout-FAILED");
    const std::string actual = Render(ParseMarkupSample(GetParam(), ReadWholeFile(sample)));
    const char* update = std::getenv("QB_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::ofstream(expected, std::ios::binary) << actual;
        fs::remove(failed);
        return;
    }
    ASSERT_TRUE(fs::exists(expected)) << "no " << expected << " (QB_UPDATE_GOLDEN=1 makes it)";
    const std::string want = ReadWholeFile(expected);
    if (actual != want) {
        std::ofstream(failed, std::ios::binary) << actual;
        FAIL() << "layout differs from " << expected << "; actual written to " << failed;
    }
    fs::remove(failed);
}

INSTANTIATE_TEST_SUITE_P(Samples, MarkupGoldenTest, ::testing::ValuesIn(SampleNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

} // namespace
