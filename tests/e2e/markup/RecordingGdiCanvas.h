// A canvas that draws through a GDI canvas and remembers where text runs and focus rectangles
// went, so that a test can hit-test the places the renderer really drew on.
#pragma once
#include "runtime/win32/GdiCanvas.h"
#include <string>
#include <vector>

namespace qb::e2e {

struct TDrawnText {
    std::string Text; // as passed to DrawText
    TRect Rect;       // the rectangle it was drawn in
    TFont Font;
    uint32_t Format = 0;
};

class TRecordingGdiCanvas : public TCanvas {
public:
    explicit TRecordingGdiCanvas(TGdiCanvas& inner) : Inner_(inner) {}

    std::vector<TDrawnText> Texts;
    std::vector<TRect> FocusRects;
    long long MeasureCalls = 0;

    const TFont& Font() const override { return Inner_.Font(); }
    void SetFont(const TFont& font) override { Inner_.SetFont(font); }
    int SetFontRotation(int tenths) override { return Inner_.SetFontRotation(tenths); }
    int FontRotation() const override { return Inner_.FontRotation(); }
    TColor BrushColor() const override { return Inner_.BrushColor(); }
    TBrushStyle BrushStyle() const override { return Inner_.BrushStyle(); }
    void SetBrushColor(TColor color) override { Inner_.SetBrushColor(color); }
    void SetBrushStyle(TBrushStyle style) override { Inner_.SetBrushStyle(style); }
    TColor PenColor() const override { return Inner_.PenColor(); }
    int PenWidth() const override { return Inner_.PenWidth(); }
    void SetPenColor(TColor color) override { Inner_.SetPenColor(color); }
    void SetPenWidth(int width) override { Inner_.SetPenWidth(width); }

    int TextHeight(std::string_view text) override {
        ++MeasureCalls;
        return Inner_.TextHeight(text);
    }
    int TextWidth(std::string_view text) override {
        ++MeasureCalls;
        return Inner_.TextWidth(text);
    }
    int DrawText(std::string_view text, TRect& rect, uint32_t format) override {
        if (format & DT_CALCRECT)
            ++MeasureCalls;
        else
            Texts.push_back({std::string(text), rect, Inner_.Font(), format});
        return Inner_.DrawText(text, rect, format);
    }

    void MoveTo(int x, int y) override { Inner_.MoveTo(x, y); }
    void LineTo(int x, int y) override { Inner_.LineTo(x, y); }
    void Rectangle(const TRect& rect) override { Inner_.Rectangle(rect); }
    void FillRect(const TRect& rect) override { Inner_.FillRect(rect); }
    void RoundRect(const TRect& rect, int w, int h) override { Inner_.RoundRect(rect, w, h); }
    void DrawFocusRect(const TRect& rect) override {
        FocusRects.push_back(rect);
        Inner_.DrawFocusRect(rect);
    }
    void Draw(int x, int y, const TGraphic& graphic) override { Inner_.Draw(x, y, graphic); }
    void StretchDraw(const TRect& rect, const TGraphic& graphic) override {
        Inner_.StretchDraw(rect, graphic);
    }
    int PixelsPerInchX() const override { return Inner_.PixelsPerInchX(); }
    int PixelsPerInchY() const override { return Inner_.PixelsPerInchY(); }
    void SetClipRect(const TRect& rect) override { Inner_.SetClipRect(rect); }
    void ClearClip() override { Inner_.ClearClip(); }
    TColor ColorToRGB(TColor color) const override { return Inner_.ColorToRGB(color); }

private:
    TGdiCanvas& Inner_;
};

} // namespace qb::e2e
