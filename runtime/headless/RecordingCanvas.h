// A canvas without a device: fixed, documented font metrics and a record of every drawing call,
// so that tests can assert positions, fonts and colours and dump them as text.
//
// Metrics (all in device pixels, independent of the resolution the canvas reports):
//   S          = |font size| clamped to 1..1000 (a size of 0 counts as 1)
//   advance    = max(1, S * 3 / 4)                    an ordinary byte, NUL and controls included
//   space      = max(1, advance / 2)                  the byte 0x20
//   +1 pixel to every byte for bold, +1 more for italic (underline and strike-out add nothing)
//   height     = S * 3 / 2 + 1                        TextHeight, whatever the text ("" included)
//   leading    = S / 8                                external leading, added per line only
//                                                     when DT_EXTERNALLEADING is given
//   tab stops  = every 8 * advance from the rectangle's left (DT_EXPANDTABS); without the flag
//                a tab is an ordinary byte
//   The face and the rotation do not change the metrics. Tahoma 8: advance 6, space 3, height 13.
//
// DrawText:
//   - Prefix rule (unless DT_NOPREFIX): "&x" shows x underlined (the last such x is the one
//     recorded; DT_HIDEPREFIX shows it without the underline), "&&" shows one "&", a trailing
//     lone "&" is shown as it is.
//   - Without DT_SINGLELINE the text is split at CR LF, CR or LF; with DT_WORDBREAK lines also
//     break before a word that would pass the right edge (the breaking spaces are not shown); a
//     word wider than the rectangle stays whole on its own line. DT_SINGLELINE keeps CR and LF
//     as ordinary bytes.
//   - DT_CENTER and DT_RIGHT place each line; DT_VCENTER and DT_BOTTOM place a single line.
//   - DT_CALCRECT draws nothing: Right := Left + widest line, Bottom := Top + lines * line
//     height. The end ellipsis does not shorten a measured text (the width bounds the last
//     character, as the system's measurement does).
//   - DT_END_ELLIPSIS when drawing: a line wider than the rectangle is cut to the longest
//     prefix that fits together with "...", which is appended (all of "..." that fits).
//   - The returned value is the total height of the lines; an empty text is one empty line.
//     Lines that show nothing are not recorded.
//   - Text is drawn on an opaque box of the brush colour unless the brush is clear; the record
//     keeps that background (clNone for clear).
//
// Brush: SetBrushColor(clNone) makes the brush clear, any other colour makes it solid.
#pragma once
#include "runtime/Canvas.h"
#include <string>
#include <string_view>
#include <vector>

namespace qb {

enum class TCanvasOp {
    Text,      // DrawText without DT_CALCRECT, one record per drawn line
    Line,      // LineTo from the current position
    Rectangle, // filled with the brush, outlined with the pen
    FillRect,  // filled with the brush
    RoundRect,
    FocusRect,
    Draw,        // a graphic at a point (Rect holds its box)
    StretchDraw, // a graphic into a rectangle
    Clip,        // SetClipRect
    ClearClip,
};

struct TCanvasRecord {
    TCanvasOp Op = TCanvasOp::Text;
    TRect Rect;                 // text box / shape / line from (Left,Top) to (Right,Bottom) / clip
    std::string Text;           // text as shown (prefixes resolved, tabs kept); graphic's name
    TFont Font;                 // font in effect for text
    int Rotation = 0;           // tenths of a degree
    TColor Background = clNone; // text background box; shape fill (clNone when the brush is clear)
    TColor Pen = clNone;        // pen colour for lines and outlined shapes
    int PenWidth = 0;
    int Underlined = -1;               // index in Text of the prefix-underlined byte, -1 for none
    uint32_t Format = 0;               // DrawText flags as passed
    const TGraphic* Graphic = nullptr; // what Draw and StretchDraw were given
};

class TRecordingCanvas : public TCanvas {
public:
    TRecordingCanvas();

    // Metrics for a font, usable without a canvas.
    static int CharAdvance(const TFont& font, unsigned char c);
    static int FontHeight(const TFont& font);
    static int ExternalLeading(const TFont& font);

    const TFont& Font() const override { return Font_; }
    void SetFont(const TFont& font) override { Font_ = font; }
    int SetFontRotation(int tenthsOfDegree) override;
    int FontRotation() const override { return Rotation_; }

    TColor BrushColor() const override { return BrushColor_; }
    TBrushStyle BrushStyle() const override { return BrushStyle_; }
    void SetBrushColor(TColor color) override;
    void SetBrushStyle(TBrushStyle style) override { BrushStyle_ = style; }

    TColor PenColor() const override { return PenColor_; }
    int PenWidth() const override { return PenWidth_; }
    void SetPenColor(TColor color) override { PenColor_ = color; }
    void SetPenWidth(int width) override { PenWidth_ = width; }

    int TextHeight(std::string_view text) override;
    int TextWidth(std::string_view text) override;
    int DrawText(std::string_view text, TRect& rect, uint32_t format) override;

    void MoveTo(int x, int y) override { Pos_ = {x, y}; }
    void LineTo(int x, int y) override;
    TPoint PenPos() const { return Pos_; }
    void Rectangle(const TRect& rect) override;
    void FillRect(const TRect& rect) override;
    void RoundRect(const TRect& rect, int cornerWidth, int cornerHeight) override;
    void DrawFocusRect(const TRect& rect) override;

    void Draw(int x, int y, const TGraphic& graphic) override;
    void StretchDraw(const TRect& rect, const TGraphic& graphic) override;

    int PixelsPerInchX() const override { return PpiX_; }
    int PixelsPerInchY() const override { return PpiY_; }
    void SetPixelsPerInch(int x, int y) {
        PpiX_ = x;
        PpiY_ = y;
    }
    void SetClipRect(const TRect& rect) override;
    void ClearClip() override;
    bool Clipped() const { return Clipped_; }
    TRect ClipRect() const { return Clip_; }

    // System colours resolve to the default Windows 10 scheme.
    TColor ColorToRGB(TColor color) const override;

    // The record of drawing calls, oldest first; counts of measurements for cost tests.
    const std::vector<TCanvasRecord>& Records() const { return Records_; }
    void ClearRecords() { Records_.clear(); }
    long long MeasureCalls() const { return MeasureCalls_; }
    // When false, drawing calls are not recorded (benchmarks).
    bool Recording = true;

    // One record per line, in a stable text format (see DumpRecord).
    std::string Dump() const;
    // "text (l,t)-(r,b) "shown" Tahoma 8 B-U- #00000000 bk=none rot=0 ul=1"; colours as 8 hex
    // digits; other ops name their rectangle, pen and fill.
    static std::string DumpRecord(const TCanvasRecord& record);
    static std::string DumpFont(const TFont& font);
    static std::string DumpColor(TColor color);
    static std::string DumpRect(const TRect& rect); // "(l,t)-(r,b)"
    // In double quotes; bytes outside printable ASCII, the quote and backslash as \xHH.
    static std::string DumpText(std::string_view text);

private:
    struct TLine {
        std::string Shown;
        int Underlined = -1;
        int Width = 0;
    };
    std::vector<TLine> LayOut(std::string_view text, int width, uint32_t format) const;
    int ShownWidth(std::string_view shown, uint32_t format) const;
    void Push(TCanvasRecord record);
    // Outlined and filled with the current pen and brush.
    void PushShape(TCanvasOp op, const TRect& rect);

    TFont Font_;
    int Rotation_ = 0;
    TColor BrushColor_ = clWhite;
    TBrushStyle BrushStyle_ = TBrushStyle::Solid;
    TColor PenColor_ = clBlack;
    int PenWidth_ = 1;
    TPoint Pos_;
    int PpiX_ = 96;
    int PpiY_ = 96;
    bool Clipped_ = false;
    TRect Clip_;
    long long MeasureCalls_ = 0;
    std::vector<TCanvasRecord> Records_;
};

} // namespace qb
