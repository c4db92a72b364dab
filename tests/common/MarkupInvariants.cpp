#include "tests/common/MarkupInvariants.h"
#include "runtime/headless/RecordingCanvas.h"
#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>

namespace qb::test {

namespace {

struct TLine {
    TRect Rect;
};

struct TRun {
    std::string Text;
    TRect Rect; // as traced: from the pen to its measured right, line top to base
    int Link = 0;
    bool Drawn = false;
    size_t Line = 0;
    bool FirstOnLine = false;
    std::optional<TCanvasRecord> Glyph; // the text record the run drew
    int VisibleRight = 0;               // the glyph's right less its trailing spaces
};

// Collects lines and runs, each run with the text record it drew.
class TCollector : public IMarkupTrace {
public:
    explicit TCollector(TRecordingCanvas& canvas) : Canvas_(canvas) {}
    std::vector<TLine> Lines;
    std::vector<TRun> Runs;

    void OnLine(const TRect& lineRect, int) override {
        Lines.push_back({lineRect});
        Seen_ = Canvas_.Records().size();
    }
    void OnRun(std::string_view text, const TRect& rect, int link, bool drawn) override {
        TRun run;
        run.Text = std::string(text);
        run.Rect = rect;
        run.Link = link;
        run.Drawn = drawn;
        run.Line = Lines.empty() ? 0 : Lines.size() - 1;
        run.FirstOnLine = Runs.empty() || Runs.back().Line != run.Line || Lines.empty();
        const auto& records = Canvas_.Records();
        // The run is drawn after its shadow, so the last record at its left is the run.
        for (size_t i = Seen_; drawn && i < records.size(); ++i)
            if (records[i].Op == TCanvasOp::Text && records[i].Rect.Left == rect.Left)
                run.Glyph = records[i];
        if (run.Glyph) {
            const std::string& shown = run.Glyph->Text;
            const size_t end = shown.find_last_not_of(' ');
            const int spaces =
                static_cast<int>(end == std::string::npos ? shown.size() : shown.size() - 1 - end);
            run.VisibleRight = run.Glyph->Rect.Right -
                               spaces * TRecordingCanvas::CharAdvance(run.Glyph->Font, ' ');
        }
        Seen_ = records.size();
        Runs.push_back(std::move(run));
    }

private:
    TRecordingCanvas& Canvas_;
    size_t Seen_ = 0;
};

struct TDrawn {
    TMarkupResult Result;
    std::vector<TLine> Lines;
    std::vector<TRun> Runs;
    std::vector<TRect> Frames;
};

bool HasTextNoCase(const std::string& text, std::string_view what) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return std::search(text.begin(), text.end(), what.begin(), what.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

std::string Where(const TInvariantCase& c) {
    std::string text = c.Markup.size() > 3000 ? c.Markup.substr(0, 3000) + "..." : c.Markup;
    return " in " + TRecordingCanvas::DumpText(text) +
           " bounds=" + TRecordingCanvas::DumpRect(c.Bounds) +
           " wrap=" + (c.Params.Wrap ? "1" : "0");
}

std::string PointText(int x, int y) {
    return "(" + std::to_string(x) + "," + std::to_string(y) + ")";
}

class TChecker {
public:
    TChecker(const TInvariantCase& c, uint32_t seed, const TInvariantLimits& limits,
             TInvariantCounts& counts)
        : C_(c), State_(seed | 1), Limits_(limits), Counts_(counts),
          HasPictures_(HasTextNoCase(c.Markup, "<im")) {}

    std::string Run() {
        Base_ = Draw(-1);
        // Coordinates this far out are pulled in before they reach the canvas, by design.
        if (FarOff())
            return {};
        std::string error;
        if (!(error = CheckRuns()).empty() || !(error = CheckPoints()).empty() ||
            !(error = CheckFrames()).empty())
            return error + Where(C_);
        return {};
    }

private:
    TDrawn Draw(int focused) {
        TRecordingCanvas canvas;
        canvas.SetFont(C_.Font);
        TCollector collector(canvas);
        TMarkupParams p = C_.Params;
        p.MeasureOnly = p.HitTestOnly = false;
        p.FocusedLink = focused;
        p.MouseX = C_.Bounds.Left - 100000; // a drawing call's own hit test finds nothing
        p.MouseY = C_.Bounds.Top - 100000;
        p.Trace = &collector;
        TDrawn d;
        RenderMarkup(canvas, C_.Markup, C_.Bounds, p, d.Result);
        ++Counts_.Layouts;
        d.Lines = std::move(collector.Lines);
        d.Runs = std::move(collector.Runs);
        for (const auto& r : canvas.Records())
            if (r.Op == TCanvasOp::FocusRect)
                d.Frames.push_back(r.Rect);
        return d;
    }

    TMarkupResult HitTest(int x, int y) {
        TRecordingCanvas canvas;
        canvas.SetFont(C_.Font);
        TMarkupParams p = C_.Params;
        p.MeasureOnly = false;
        p.HitTestOnly = true;
        p.FocusedLink = -1;
        p.MouseX = x;
        p.MouseY = y;
        p.Trace = nullptr;
        TMarkupResult r;
        RenderMarkup(canvas, C_.Markup, C_.Bounds, p, r);
        ++Counts_.Layouts;
        return r;
    }

    uint32_t Next() {
        State_ ^= State_ << 13;
        State_ ^= State_ >> 17;
        State_ ^= State_ << 5;
        return State_;
    }
    int Between(int from, int to) { // inclusive
        return from + static_cast<int>(Next() % static_cast<uint32_t>(to - from + 1));
    }

    bool FarOff() const {
        constexpr int Far = 1 << 29;
        auto far = [](const TRect& r) {
            return std::abs(r.Left) >= Far || std::abs(r.Right) >= Far || std::abs(r.Top) >= Far ||
                   std::abs(r.Bottom) >= Far;
        };
        return far(C_.Bounds) ||
               std::any_of(Base_.Lines.begin(), Base_.Lines.end(),
                           [&](const TLine& l) { return far(l.Rect); }) ||
               std::any_of(Base_.Runs.begin(), Base_.Runs.end(),
                           [&](const TRun& r) { return far(r.Rect); });
    }

    // Where a run can be hit: from its left to its right, clipped at the line's right edge,
    // over its line's band.
    TRect Region(const TRun& run) const {
        const TRect& line = Base_.Lines[run.Line].Rect;
        return {run.Rect.Left, line.Top, std::min(run.Rect.Right, line.Right), line.Bottom};
    }
    static bool Inside(const TRect& r, int x, int y) {
        return r.Left <= x && x < r.Right && r.Top <= y && y < r.Bottom;
    }

    std::string CheckRuns() {
        std::map<size_t, std::vector<const TRun*>> byLine;
        const bool leftAligned = !HasTextNoCase(C_.Markup, "align");
        for (const TRun& run : Base_.Runs) {
            if (!run.Drawn)
                continue;
            ++Counts_.Runs;
            byLine[run.Line].push_back(&run);
            if (!run.Glyph)
                continue;
            const TRect& g = run.Glyph->Rect;
            const TRect& line = Base_.Lines[run.Line].Rect;
            const std::string name =
                TRecordingCanvas::DumpText(run.Text) + " drawn at " + TRecordingCanvas::DumpRect(g);
            if (g.Left < C_.Bounds.Left)
                return "run " + name + " starts left of the layout area";
            if (C_.Params.ExtraLineSpacing >= 0 && (g.Top < line.Top || g.Bottom > line.Bottom))
                return "run " + name + " leaves its line " + TRecordingCanvas::DumpRect(line);
            if (C_.Params.Wrap && !run.FirstOnLine && run.VisibleRight > C_.Bounds.Right)
                return "run " + name + " passes the right edge, though not alone on its line";
            if (leftAligned && C_.CheckUsedWidth &&
                run.VisibleRight > int64_t{C_.Bounds.Left} + Base_.Result.UsedWidth - 2)
                return "run " + name + " ends beyond UsedWidth " +
                       std::to_string(Base_.Result.UsedWidth);
        }
        for (auto& [line, runs] : byLine) {
            std::sort(runs.begin(), runs.end(),
                      [](const TRun* a, const TRun* b) { return a->Rect.Left < b->Rect.Left; });
            for (size_t i = 1; i < runs.size(); ++i)
                if (runs[i - 1]->Rect.Right > runs[i]->Rect.Left &&
                    runs[i - 1]->Rect.Left < runs[i - 1]->Rect.Right)
                    return "runs " + TRecordingCanvas::DumpText(runs[i - 1]->Text) + " " +
                           TRecordingCanvas::DumpRect(runs[i - 1]->Rect) + " and " +
                           TRecordingCanvas::DumpText(runs[i]->Text) + " " +
                           TRecordingCanvas::DumpRect(runs[i]->Rect) + " overlap";
        }
        return {};
    }

    const std::string& Target(int link) {
        if (link <= static_cast<int>(C_.Targets.size()))
            return C_.Targets[link - 1];
        auto it = Found_.find(link);
        if (it == Found_.end())
            it = Found_.emplace(link, Draw(link - 1).Result.FocusedAnchor).first;
        return it->second;
    }

    // The point must report exactly the link whose drawn run holds it, or none.
    std::string Probe(int x, int y) {
        const TRun* expected = nullptr;
        for (const TRun& run : Base_.Runs)
            if (run.Drawn && run.Link > 0 && Inside(Region(run), x, y))
                expected = &run;
        const TMarkupResult hit = HitTest(x, y);
        const std::string at = " at " + PointText(x, y);
        if (!expected) {
            // Pictures inside links are found by their own test, which the trace does not show.
            if (HasPictures_)
                return {};
            ++Counts_.PlainPoints;
            if (hit.OverLink)
                return "a link (\"" + hit.AnchorUnderMouse + "\") reported" + at +
                       ", where no link run is drawn";
            return {};
        }
        ++Counts_.LinkPoints;
        const std::string run = " on link " + std::to_string(expected->Link) + "'s run " +
                                TRecordingCanvas::DumpText(expected->Text) + " " +
                                TRecordingCanvas::DumpRect(Region(*expected));
        if (!hit.OverLink)
            return "no link reported" + at + run;
        if (hit.AnchorUnderMouse != Target(expected->Link))
            return "anchor \"" + hit.AnchorUnderMouse + "\" reported" + at + run;
        if (hit.LinkUnderMouse != -1 && hit.LinkUnderMouse != expected->Link)
            return "LinkUnderMouse " + std::to_string(hit.LinkUnderMouse) + at + run;
        return {};
    }

    std::string CheckPoints() {
        std::vector<const TRun*> links, plain;
        for (const TRun& run : Base_.Runs) {
            const TRect r = Region(run);
            if (run.Drawn && r.Left < r.Right && r.Top < r.Bottom)
                (run.Link > 0 ? links : plain).push_back(&run);
        }
        std::string error;
        auto probe = [&](int x, int y) { return error.empty() && (error = Probe(x, y)).empty(); };
        for (int i = 0; i < Limits_.LinkRuns && !links.empty(); ++i) {
            const TRun& run = *links[Next() % links.size()];
            const TRect r = Region(run);
            const int x = r.Left + (r.Right - r.Left) / 2;
            const int y = run.Glyph ? std::clamp((run.Glyph->Rect.Top + run.Glyph->Rect.Bottom) / 2,
                                                 r.Top, r.Bottom - 1)
                                    : r.Top + (r.Bottom - r.Top) / 2;
            probe(x, y) && probe(r.Left - 1, y) && probe(r.Right, y) && probe(x, r.Top - 1) &&
                probe(x, r.Bottom);
        }
        for (int i = 0; i < Limits_.PlainRuns && !plain.empty(); ++i) {
            const TRect r = Region(*plain[Next() % plain.size()]);
            probe(r.Left + (r.Right - r.Left) / 2, r.Top + (r.Bottom - r.Top) / 2);
        }
        const TRect& b = C_.Bounds;
        const int height = std::clamp(Base_.Result.UsedHeight, 1, 1 << 20);
        for (int i = 0; i < Limits_.RandomPoints; ++i)
            probe(Between(b.Left - 8, std::max(b.Left, b.Right) + 8),
                  Between(b.Top - 4, b.Top + height + 4));
        return error;
    }

    std::string CheckFrames() {
        if (Base_.Result.LinkCount == 0)
            return {};
        for (int i = 0; i < Limits_.FocusedLinks; ++i) {
            const int link = Between(1, std::min(Base_.Result.LinkCount, 1000));
            const TDrawn focused = Draw(link - 1);
            for (size_t a = 0; C_.Params.ExtraLineSpacing >= 0 && a < focused.Frames.size(); ++a)
                for (size_t b = a + 1; b < focused.Frames.size(); ++b) {
                    const TRect& p = focused.Frames[a];
                    const TRect& q = focused.Frames[b];
                    if (p.Left < q.Right && q.Left < p.Right && p.Top < q.Bottom &&
                        q.Top < p.Bottom)
                        return "focus frames " + TRecordingCanvas::DumpRect(p) + " and " +
                               TRecordingCanvas::DumpRect(q) + " of link " + std::to_string(link) +
                               " overlap";
                }
            bool drawn = false;
            for (const TRun& run : focused.Runs) {
                const TRect& line = focused.Lines[run.Line].Rect;
                // Only what shows within the line (an over-long word is cut at its edge).
                const int right = std::min(run.VisibleRight, line.Right);
                if (run.Link != link || !run.Glyph || right <= run.Rect.Left)
                    continue;
                drawn = true;
                ++Counts_.FramedRuns;
                const int x = (run.Rect.Left + right) / 2;
                // Lines overlap or turn inside out with negative spacing; then only across.
                const bool across = C_.Params.ExtraLineSpacing < 0;
                bool framed = false;
                for (const TRect& f : focused.Frames)
                    framed = framed || (f.Left <= x && x < f.Right &&
                                        (across || (f.Top < line.Bottom && line.Top < f.Bottom)));
                if (!framed)
                    return "link " + std::to_string(link) + "'s run " +
                           TRecordingCanvas::DumpText(run.Text) + " " +
                           TRecordingCanvas::DumpRect(run.Rect) + " is outside its focus frames";
            }
            if (drawn && focused.Result.FocusedAnchor != Target(link))
                return "focused anchor \"" + focused.Result.FocusedAnchor + "\" for link " +
                       std::to_string(link);
        }
        return {};
    }

    const TInvariantCase& C_;
    uint32_t State_;
    TInvariantLimits Limits_;
    TInvariantCounts& Counts_;
    const bool HasPictures_;
    TDrawn Base_;
    std::map<int, std::string> Found_;
};

} // namespace

std::string CheckMarkupInvariants(const TInvariantCase& c, uint32_t seed,
                                  const TInvariantLimits& limits, TInvariantCounts& counts) {
    return TChecker(c, seed, limits, counts).Run();
}

} // namespace qb::test
