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
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace qb;
namespace fs = std::filesystem;

fs::path GoldenDir() {
    return fs::path(QB_TEST_DATA_DIR) / "markup_golden";
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Quote(std::string_view text) {
    std::string s = "\"";
    for (unsigned char c : text) {
        if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\') {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            s += buf;
        } else {
            s += static_cast<char>(c);
        }
    }
    return s + "\"";
}

std::string RectText(const TRect& r) {
    return "(" + std::to_string(r.Left) + "," + std::to_string(r.Top) + ")-(" +
           std::to_string(r.Right) + "," + std::to_string(r.Bottom) + ")";
}

struct TSample {
    TRect Bounds{0, 0, 200, 100};
    TMarkupParams Params;
    TFont Font;
    TColor Brush = clWhite;
    std::string Mode = "draw";
    std::string Markup;
};

TColor ParseColor(const std::string& word) {
    if (word == "none")
        return clNone;
    return static_cast<TColor>(std::stoul(word, nullptr, 16));
}

std::string Unescape(const std::string& text) {
    std::string s;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            s += text[i];
            continue;
        }
        char c = text[++i];
        if (c == 'r')
            s += '\r';
        else if (c == 'n')
            s += '\n';
        else if (c == 't')
            s += '\t';
        else if (c == '0')
            s += '\0';
        else if (c == 'x' && i + 2 < text.size()) {
            s += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else
            s += c;
    }
    return s;
}

TSample ParseSample(const std::string& file) {
    TSample sample;
    size_t pos = 0;
    bool escapes = false;
    while (true) {
        size_t eol = file.find('\n', pos);
        if (eol == std::string::npos)
            throw std::runtime_error("sample without a --- line");
        std::string line = file.substr(pos, eol - pos);
        pos = eol + 1;
        if (line == "---")
            break;
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream in(line);
        std::string key;
        in >> key;
        TMarkupParams& p = sample.Params;
        auto flag = [&] {
            int v = 0;
            in >> v;
            return v != 0;
        };
        auto number = [&] {
            int v = 0;
            in >> v;
            return v;
        };
        auto color = [&] {
            std::string w;
            in >> w;
            return ParseColor(w);
        };
        if (key == "@bounds")
            in >> sample.Bounds.Left >> sample.Bounds.Top >> sample.Bounds.Right >>
                sample.Bounds.Bottom;
        else if (key == "@mode")
            in >> sample.Mode;
        else if (key == "@mouse")
            in >> p.MouseX >> p.MouseY;
        else if (key == "@focused")
            p.FocusedLink = number();
        else if (key == "@hovered")
            p.HoveredLink = number();
        else if (key == "@shadow")
            p.ShadowDistance = number();
        else if (key == "@spacing")
            p.ExtraLineSpacing = number();
        else if (key == "@wrap")
            p.Wrap = flag();
        else if (key == "@selected")
            p.SelectedColors = flag();
        else if (key == "@blink")
            p.BlinkOn = flag();
        else if (key == "@hoveronly")
            p.HoverOnlyLinks = flag();
        else if (key == "@linkcolor")
            p.LinkColor = color();
        else if (key == "@hoverback")
            p.HoverBackColor = color();
        else if (key == "@hovertext")
            p.HoverTextColor = color();
        else if (key == "@tint")
            p.ShadowTint = color();
        else if (key == "@brush")
            sample.Brush = color();
        else if (key == "@escapes")
            escapes = flag();
        else if (key == "@font") {
            std::string style;
            in >> sample.Font.Name >> sample.Font.Size >> style;
            sample.Font.Style = 0;
            for (char c : style)
                sample.Font.Style |= c == 'B'   ? fsBold
                                     : c == 'I' ? fsItalic
                                     : c == 'U' ? fsUnderline
                                     : c == 'S' ? fsStrikeOut
                                                : 0;
            sample.Font.Color = color();
        } else
            throw std::runtime_error("unknown sample key " + key);
        if (in.fail())
            throw std::runtime_error("bad sample line: " + line);
    }
    std::string markup = file.substr(pos);
    if (!markup.empty() && markup.back() == '\n')
        markup.pop_back();
    sample.Markup = escapes ? Unescape(markup) : markup;
    if (sample.Mode != "draw" && sample.Mode != "measure" && sample.Mode != "hittest")
        throw std::runtime_error("unknown mode " + sample.Mode);
    sample.Params.MeasureOnly = sample.Mode == "measure";
    sample.Params.HitTestOnly = sample.Mode == "hittest";
    return sample;
}

// Interleaves the renderer's lines and runs with the canvas records made meanwhile.
class TGoldenDump : public IMarkupTrace {
public:
    TGoldenDump(TRecordingCanvas& canvas, bool hitTest) : Canvas_(canvas), HitTest_(hitTest) {}

    void OnLine(const TRect& lineRect, int width) override {
        Flush();
        Out.push_back("line " + RectText(lineRect) + " width=" + std::to_string(width));
    }
    void OnRun(std::string_view text, const TRect& rect, int link, bool drawn) override {
        const int lastText = Flush();
        const std::string linkText = link > 0 ? " link=" + std::to_string(link) : "";
        if (HitTest_)
            Out.push_back("run " + RectText(rect) + " " + Quote(text) + linkText);
        else if (!drawn)
            Out.push_back("skipped " + RectText(rect) + " " + Quote(text));
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

std::string Render(const TSample& sample) {
    TRecordingCanvas canvas;
    canvas.SetFont(sample.Font);
    canvas.SetBrushColor(sample.Brush);
    TGoldenDump dump(canvas, sample.Params.HitTestOnly);
    TMarkupParams params = sample.Params;
    params.Trace = &dump;
    TMarkupResult result;
    const bool over = RenderMarkup(canvas, sample.Markup, sample.Bounds, params, result);
    dump.Flush();

    std::string s = "sample mode=" + sample.Mode + " bounds=" + RectText(sample.Bounds) + "\n";
    for (const std::string& line : dump.Out)
        s += line + "\n";
    s += "result used=" + std::to_string(result.UsedWidth) + "x" +
         std::to_string(result.UsedHeight) + " links=" + std::to_string(result.LinkCount) +
         " over=" + (over ? "1" : "0") + " under=" + std::to_string(result.LinkUnderMouse) +
         " hover=" + RectText(result.HoverBounds) + "\n";
    s += "anchor " + Quote(result.AnchorUnderMouse) + "\n";
    s += "focused " + Quote(result.FocusedAnchor) + "\n";
    s += "plain " + Quote(result.PlainText) + "\n";
    // Whatever the text did, the canvas comes back as it was.
    if (!(canvas.Font() == sample.Font) || canvas.BrushColor() != sample.Brush ||
        canvas.FontRotation() != 0)
        s += "CANVAS STATE NOT RESTORED\n";
    return s;
}

std::vector<std::string> SampleNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(GoldenDir()))
        if (entry.path().extension() == ".txt")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class MarkupGoldenTest : public ::testing::TestWithParam<std::string> {};

TEST_P(MarkupGoldenTest, LayoutMatchesTheCheckedInDump) {
    const fs::path sample = GoldenDir() / (GetParam() + ".txt");
    const fs::path expected = GoldenDir() / (GetParam() + ".layout");
    const fs::path failed = GoldenDir() / (GetParam() + ".layout-FAILED");
    const std::string actual = Render(ParseSample(ReadAll(sample)));
    const char* update = std::getenv("QB_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::ofstream(expected, std::ios::binary) << actual;
        fs::remove(failed);
        return;
    }
    ASSERT_TRUE(fs::exists(expected)) << "no " << expected << " (QB_UPDATE_GOLDEN=1 makes it)";
    const std::string want = ReadAll(expected);
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
