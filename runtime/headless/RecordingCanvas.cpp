#include "runtime/headless/RecordingCanvas.h"
#include "runtime/WinConst.h"
#include "runtime/headless/HeadlessGraphic.h"
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace qb {

namespace {

// Headless pictures are recorded by name so tests can tell which one was drawn.
std::string GraphicName(const TGraphic& graphic) {
    auto* named = dynamic_cast<const THeadlessGraphic*>(&graphic);
    return named ? named->Name : std::string();
}

int ClampedSize(const TFont& font) {
    long long s = std::llabs(static_cast<long long>(font.Size));
    return static_cast<int>(std::clamp<long long>(s, 1, 1000));
}

int LetterAdvance(const TFont& font) {
    return std::max(1, ClampedSize(font) * 3 / 4);
}

// Windows 10 default scheme, indexed by GetSysColor number, as 0x00BBGGRR.
constexpr TColor SystemColors[] = {
    0x00C8D0D4, 0x00000000, 0x00D1B499, 0x00DBCDBF, 0x00F0F0F0, 0x00FFFFFF, 0x00646464, 0x00000000,
    0x00000000, 0x00000000, 0x00B4B4B4, 0x00FCF7F4, 0x00ABABAB, 0x00D77800, 0x00FFFFFF, 0x00F0F0F0,
    0x00A0A0A0, 0x006D6D6D, 0x00000000, 0x00000000, 0x00FFFFFF, 0x00696969, 0x00E3E3E3, 0x00000000,
    0x00E1FFFF, 0x00000000, 0x00CC6600, 0x00EAD1B9, 0x00F2E4D7, 0x00D77800, 0x00F0F0F0,
};

} // namespace

TRecordingCanvas::TRecordingCanvas() = default;

int TRecordingCanvas::CharAdvance(const TFont& font, unsigned char c) {
    int a = LetterAdvance(font);
    if (c == ' ')
        a = std::max(1, a / 2);
    if (font.Style & fsBold)
        ++a;
    if (font.Style & fsItalic)
        ++a;
    return a;
}

int TRecordingCanvas::FontHeight(const TFont& font) {
    return ClampedSize(font) * 3 / 2 + 1;
}

int TRecordingCanvas::ExternalLeading(const TFont& font) {
    return ClampedSize(font) / 8;
}

int TRecordingCanvas::SetFontRotation(int tenthsOfDegree) {
    int old = Rotation_;
    Rotation_ = tenthsOfDegree;
    return old;
}

void TRecordingCanvas::SetBrushColor(TColor color) {
    BrushColor_ = color;
    BrushStyle_ = color == clNone ? TBrushStyle::Clear : TBrushStyle::Solid;
}

int TRecordingCanvas::TextHeight(std::string_view) {
    ++MeasureCalls_;
    return FontHeight(Font_);
}

int TRecordingCanvas::TextWidth(std::string_view text) {
    ++MeasureCalls_;
    return ShownWidth(text, 0);
}

int TRecordingCanvas::ShownWidth(std::string_view shown, uint32_t format) const {
    const bool tabs = (format & win::DT_EXPANDTABS) != 0;
    const long long tabStop = 8LL * (LetterAdvance(Font_) + 0);
    long long x = 0;
    for (unsigned char c : shown) {
        if (tabs && c == '\t')
            x = (x / tabStop + 1) * tabStop;
        else
            x += CharAdvance(Font_, c);
    }
    return static_cast<int>(std::min<long long>(x, 1LL << 30));
}

std::vector<TRecordingCanvas::TLine> TRecordingCanvas::LayOut(std::string_view text, int width,
                                                              uint32_t format) const {
    // Resolve the "&" prefixes over the whole text first; line breaking works on what shows.
    std::string shown;
    shown.reserve(text.size());
    int underlined = -1;
    if (format & win::DT_NOPREFIX) {
        shown.assign(text);
    } else {
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '&' && i + 1 < text.size()) {
                ++i;
                if (text[i] != '&' && !(format & win::DT_HIDEPREFIX))
                    underlined = static_cast<int>(shown.size());
            }
            shown += text[i];
        }
    }

    std::vector<TLine> lines;
    auto addLine = [&](size_t from, size_t to) {
        TLine line;
        line.Shown = shown.substr(from, to - from);
        if (underlined >= static_cast<int>(from) && underlined < static_cast<int>(to))
            line.Underlined = underlined - static_cast<int>(from);
        line.Width = ShownWidth(line.Shown, format);
        lines.push_back(std::move(line));
    };

    if (format & win::DT_SINGLELINE) {
        addLine(0, shown.size());
        return lines;
    }
    const bool tabs = (format & win::DT_EXPANDTABS) != 0;
    const long long tabStop = 8LL * LetterAdvance(Font_);
    size_t p = 0;
    const size_t n = shown.size();
    while (true) {
        size_t eol = p;
        while (eol < n && shown[eol] != '\r' && shown[eol] != '\n')
            ++eol;
        if (!(format & win::DT_WORDBREAK)) {
            addLine(p, eol);
        } else {
            // Greedy: take words while the line stays within the width; the spaces at a break
            // are dropped; a word alone on its line is kept even when it is too wide.
            size_t start = p;
            do {
                size_t end = start;
                long long x = 0;
                size_t i = start;
                while (i < eol) {
                    size_t k = i;
                    long long nx = x;
                    while (k < eol && shown[k] == ' ')
                        nx += CharAdvance(Font_, ' '), ++k;
                    while (k < eol && shown[k] != ' ') {
                        if (tabs && shown[k] == '\t')
                            nx = (nx / tabStop + 1) * tabStop;
                        else
                            nx += CharAdvance(Font_, static_cast<unsigned char>(shown[k]));
                        ++k;
                    }
                    if (end != start && nx > width)
                        break;
                    end = k;
                    x = nx;
                    i = k;
                }
                addLine(start, end);
                start = end;
                while (start < eol && shown[start] == ' ')
                    ++start;
            } while (start < eol);
        }
        if (eol >= n)
            break;
        p = eol + ((shown[eol] == '\r' && eol + 1 < n && shown[eol + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

int TRecordingCanvas::DrawText(std::string_view text, TRect& rect, uint32_t format) {
    ++MeasureCalls_;
    // Sums are taken in 64 bits and saturated: rectangles may span the whole integer range.
    auto sat = [](long long v) {
        return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
    };
    const long long width = static_cast<long long>(rect.Right) - rect.Left;
    std::vector<TLine> lines = LayOut(text, sat(width), format);
    long long lineHeight = FontHeight(Font_);
    if (format & win::DT_EXTERNALLEADING)
        lineHeight += ExternalLeading(Font_);
    const long long total = lineHeight * static_cast<long long>(lines.size());

    if (format & win::DT_CALCRECT) {
        long long widest = 0;
        for (const TLine& line : lines)
            widest = std::max<long long>(widest, line.Width);
        rect.Right = sat(rect.Left + widest);
        rect.Bottom = sat(rect.Top + total);
        return sat(total);
    }

    long long top = rect.Top;
    if (format & win::DT_SINGLELINE) {
        if (format & win::DT_BOTTOM)
            top = rect.Bottom - lineHeight;
        else if (format & win::DT_VCENTER)
            top = rect.Top + (static_cast<long long>(rect.Bottom) - rect.Top - lineHeight) / 2;
    }
    for (TLine& line : lines) {
        if ((format & win::DT_END_ELLIPSIS) && line.Width > width) {
            // Keep the longest prefix that leaves room for "..." (tabs never occur in the dots).
            const long long dot = CharAdvance(Font_, '.');
            const bool tabs = (format & win::DT_EXPANDTABS) != 0;
            const long long tabStop = 8LL * LetterAdvance(Font_);
            long long x = 0;
            size_t keep = 0;
            for (size_t i = 0; i < line.Shown.size(); ++i) {
                unsigned char c = static_cast<unsigned char>(line.Shown[i]);
                long long nx =
                    (tabs && c == '\t') ? (x / tabStop + 1) * tabStop : x + CharAdvance(Font_, c);
                if (nx + 3 * dot > width)
                    break;
                x = nx;
                keep = i + 1;
            }
            size_t dots = 3;
            while (dots > 0 && x + static_cast<long long>(dots) * dot > width)
                --dots;
            line.Shown = line.Shown.substr(0, keep) + std::string(dots, '.');
            if (line.Underlined >= static_cast<int>(keep))
                line.Underlined = -1;
            line.Width = ShownWidth(line.Shown, format);
        }
        long long left = rect.Left;
        if (format & win::DT_CENTER)
            left = rect.Left + (width - line.Width) / 2;
        else if (format & win::DT_RIGHT)
            left = static_cast<long long>(rect.Right) - line.Width;
        if (!line.Shown.empty()) {
            TCanvasRecord r;
            r.Op = TCanvasOp::Text;
            r.Rect = {sat(left), sat(top), sat(left + line.Width), sat(top + lineHeight)};
            r.Text = line.Shown;
            r.Font = Font_;
            r.Rotation = Rotation_;
            r.Background = BrushStyle_ == TBrushStyle::Clear ? clNone : BrushColor_;
            r.Underlined = line.Underlined;
            r.Format = format;
            Push(std::move(r));
        }
        top += lineHeight;
    }
    return sat(total);
}

void TRecordingCanvas::Push(TCanvasRecord record) {
    if (Recording)
        Records_.push_back(std::move(record));
}

void TRecordingCanvas::LineTo(int x, int y) {
    TCanvasRecord r;
    r.Op = TCanvasOp::Line;
    r.Rect = {Pos_.X, Pos_.Y, x, y};
    r.Pen = PenColor_;
    r.PenWidth = PenWidth_;
    Push(std::move(r));
    Pos_ = {x, y};
}

void TRecordingCanvas::PushShape(TCanvasOp op, const TRect& rect) {
    TCanvasRecord r;
    r.Op = op;
    r.Rect = rect;
    r.Pen = PenColor_;
    r.PenWidth = PenWidth_;
    r.Background = BrushStyle_ == TBrushStyle::Clear ? clNone : BrushColor_;
    Push(std::move(r));
}

void TRecordingCanvas::Rectangle(const TRect& rect) {
    PushShape(TCanvasOp::Rectangle, rect);
}

void TRecordingCanvas::FillRect(const TRect& rect) {
    TCanvasRecord r;
    r.Op = TCanvasOp::FillRect;
    r.Rect = rect;
    r.Background = BrushStyle_ == TBrushStyle::Clear ? clNone : BrushColor_;
    Push(std::move(r));
}

void TRecordingCanvas::RoundRect(const TRect& rect, int, int) {
    PushShape(TCanvasOp::RoundRect, rect);
}

void TRecordingCanvas::DrawFocusRect(const TRect& rect) {
    TCanvasRecord r;
    r.Op = TCanvasOp::FocusRect;
    r.Rect = rect;
    Push(std::move(r));
}

void TRecordingCanvas::Draw(int x, int y, const TGraphic& graphic) {
    const TRect box{x, y, x + graphic.Width(), y + graphic.Height()};
    if (graphic.DrawInto(*this, box))
        return;
    TCanvasRecord r;
    r.Op = TCanvasOp::Draw;
    r.Rect = box;
    r.Text = GraphicName(graphic);
    r.Graphic = &graphic;
    Push(std::move(r));
}

void TRecordingCanvas::StretchDraw(const TRect& rect, const TGraphic& graphic) {
    if (graphic.DrawInto(*this, rect))
        return;
    TCanvasRecord r;
    r.Op = TCanvasOp::StretchDraw;
    r.Rect = rect;
    r.Text = GraphicName(graphic);
    r.Graphic = &graphic;
    Push(std::move(r));
}

void TRecordingCanvas::SetClipRect(const TRect& rect) {
    Clipped_ = true;
    Clip_ = rect;
    TCanvasRecord r;
    r.Op = TCanvasOp::Clip;
    r.Rect = rect;
    Push(std::move(r));
}

void TRecordingCanvas::ClearClip() {
    Clipped_ = false;
    Clip_ = {};
    TCanvasRecord r;
    r.Op = TCanvasOp::ClearClip;
    Push(std::move(r));
}

TColor TRecordingCanvas::ColorToRGB(TColor color) const {
    if (IsSystemColor(color)) {
        unsigned index = color & 0xFFu;
        if (index < sizeof(SystemColors) / sizeof(SystemColors[0]))
            return SystemColors[index];
        return 0;
    }
    return color & 0x00FFFFFFu;
}

std::string TRecordingCanvas::DumpColor(TColor color) {
    if (color == clNone)
        return "none";
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(color));
    return buf;
}

std::string TRecordingCanvas::DumpFont(const TFont& font) {
    std::string s = font.Name + " " + std::to_string(font.Size) + " ";
    s += (font.Style & fsBold) ? 'B' : '-';
    s += (font.Style & fsItalic) ? 'I' : '-';
    s += (font.Style & fsUnderline) ? 'U' : '-';
    s += (font.Style & fsStrikeOut) ? 'S' : '-';
    s += " " + DumpColor(font.Color);
    return s;
}

std::string TRecordingCanvas::DumpRect(const TRect& r) {
    return "(" + std::to_string(r.Left) + "," + std::to_string(r.Top) + ")-(" +
           std::to_string(r.Right) + "," + std::to_string(r.Bottom) + ")";
}

std::string TRecordingCanvas::DumpText(std::string_view text) {
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

std::string TRecordingCanvas::DumpRecord(const TCanvasRecord& r) {
    switch (r.Op) {
    case TCanvasOp::Text: {
        std::string s = "text " + DumpRect(r.Rect) + " " + DumpText(r.Text) + " " +
                        DumpFont(r.Font) + " bk=" + DumpColor(r.Background);
        if (r.Rotation != 0)
            s += " rot=" + std::to_string(r.Rotation);
        if (r.Underlined >= 0)
            s += " ul=" + std::to_string(r.Underlined);
        return s;
    }
    case TCanvasOp::Line:
        return "line " + DumpRect(r.Rect) + " pen=" + DumpColor(r.Pen) + "/" +
               std::to_string(r.PenWidth);
    case TCanvasOp::Rectangle:
        return "rectangle " + DumpRect(r.Rect) + " pen=" + DumpColor(r.Pen) + "/" +
               std::to_string(r.PenWidth) + " fill=" + DumpColor(r.Background);
    case TCanvasOp::FillRect:
        return "fill " + DumpRect(r.Rect) + " fill=" + DumpColor(r.Background);
    case TCanvasOp::RoundRect:
        return "roundrect " + DumpRect(r.Rect) + " pen=" + DumpColor(r.Pen) + "/" +
               std::to_string(r.PenWidth) + " fill=" + DumpColor(r.Background);
    case TCanvasOp::FocusRect:
        return "focus " + DumpRect(r.Rect);
    case TCanvasOp::Draw:
        return "draw " + DumpRect(r.Rect) + (r.Text.empty() ? "" : " " + r.Text);
    case TCanvasOp::StretchDraw:
        return "stretch " + DumpRect(r.Rect) + (r.Text.empty() ? "" : " " + r.Text);
    case TCanvasOp::Clip:
        return "clip " + DumpRect(r.Rect);
    case TCanvasOp::ClearClip:
        return "noclip";
    }
    return "?";
}

std::string TRecordingCanvas::Dump() const {
    std::string s;
    for (const TCanvasRecord& r : Records_)
        s += DumpRecord(r) + "\n";
    return s;
}

} // namespace qb
