// A drawing surface: fonts, brush, pen, text and shapes, in the shape of a Windows device context.
// runtime/win32 draws with GDI; runtime/headless measures with fixed metrics and records calls.
#pragma once
#include "runtime/Types.h"
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qb {

enum TFontStyle : uint8_t {
    fsBold = 1,
    fsItalic = 2,
    fsUnderline = 4,
    fsStrikeOut = 8,
};
using TFontStyles = uint8_t;

// A font as a value: copying it copies the whole font state.
struct TFont {
    std::string Name = "Tahoma";
    int Size = 8; // points
    TFontStyles Style = 0;
    TColor Color = 0xFF000008; // clWindowText
    friend bool operator==(const TFont&, const TFont&) = default;
};

enum class TBrushStyle { Solid, Clear };

class TCanvas;

// A picture the canvas can draw (bitmap, icon, decoded image). Backends know their own kinds.
class TGraphic {
public:
    virtual ~TGraphic() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    bool Empty() const { return Width() <= 0 || Height() <= 0; }
    // A graphic made of other graphics draws itself through the canvas and returns true; the
    // ones a backend draws itself return false and leave the drawing to the canvas.
    virtual bool DrawInto(TCanvas& canvas, const TRect& rect) const {
        (void)canvas;
        (void)rect;
        return false;
    }
    // Raised after the graphic's content changed.
    std::function<void(const TGraphic& sender)> OnChange;

protected:
    void Changed() const {
        if (OnChange)
            OnChange(*this);
    }
};

class TCanvas {
public:
    virtual ~TCanvas() = default;

    // Font. The canvas keeps a value; the backend realises it when text is measured or drawn.
    virtual const TFont& Font() const = 0;
    virtual void SetFont(const TFont& font) = 0;
    // Escapement and orientation of the realised font, in tenths of a degree counter-clockwise.
    // Returns the previous value so that a caller can put it back.
    virtual int SetFontRotation(int tenthsOfDegree) = 0;
    virtual int FontRotation() const = 0;

    // Brush: the background of text and the fill of shapes. Clear means "no box".
    virtual TColor BrushColor() const = 0;
    virtual TBrushStyle BrushStyle() const = 0;
    virtual void SetBrushColor(TColor color) = 0; // also makes the brush solid
    virtual void SetBrushStyle(TBrushStyle style) = 0;

    // Pen: outlines and lines.
    virtual TColor PenColor() const = 0;
    virtual int PenWidth() const = 0;
    virtual void SetPenColor(TColor color) = 0;
    virtual void SetPenWidth(int width) = 0;

    // Text metrics in the current font (height measured on the two letters "gh" when asked).
    virtual int TextHeight(std::string_view text) = 0;
    virtual int TextWidth(std::string_view text) = 0;
    // DrawText semantics with the DT_* flags of WinConst.h; with DT_CALCRECT the rectangle is
    // set to the size the text needs and nothing is drawn. Returns the text height.
    // Text is drawn on an opaque box of the brush colour unless the brush is clear.
    virtual int DrawText(std::string_view text, TRect& rect, uint32_t format) = 0;

    // Shapes.
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    virtual void Rectangle(const TRect& rect) = 0; // filled with the brush, outlined with the pen
    virtual void FillRect(const TRect& rect) = 0;  // filled with the brush, no outline
    virtual void RoundRect(const TRect& rect, int cornerWidth, int cornerHeight) = 0;
    virtual void DrawFocusRect(const TRect& rect) = 0; // inverted dotted frame

    // Pictures.
    virtual void Draw(int x, int y, const TGraphic& graphic) = 0;
    virtual void StretchDraw(const TRect& rect, const TGraphic& graphic) = 0;

    // Device.
    virtual int PixelsPerInchX() const = 0;
    virtual int PixelsPerInchY() const = 0;
    // Limits drawing to a rectangle; ClearClip removes the limit.
    virtual void SetClipRect(const TRect& rect) = 0;
    virtual void ClearClip() = 0;

    // Resolves a colour value (system colours included) to 0x00BBGGRR.
    virtual TColor ColorToRGB(TColor color) const = 0;
};

// Puts the canvas font (with its rotation), brush and pen back when it goes out of scope,
// whatever path is taken.
class TCanvasStateSaver {
public:
    explicit TCanvasStateSaver(TCanvas& canvas)
        : Canvas_(canvas), Font_(canvas.Font()), Rotation_(canvas.FontRotation()),
          BrushColor_(canvas.BrushColor()), BrushStyle_(canvas.BrushStyle()),
          PenColor_(canvas.PenColor()), PenWidth_(canvas.PenWidth()) {}
    ~TCanvasStateSaver() {
        Canvas_.SetFont(Font_);
        Canvas_.SetFontRotation(Rotation_);
        Canvas_.SetBrushColor(BrushColor_);
        Canvas_.SetBrushStyle(BrushStyle_);
        Canvas_.SetPenColor(PenColor_);
        Canvas_.SetPenWidth(PenWidth_);
    }
    TCanvasStateSaver(const TCanvasStateSaver&) = delete;
    TCanvasStateSaver& operator=(const TCanvasStateSaver&) = delete;

private:
    TCanvas& Canvas_;
    TFont Font_;
    int Rotation_;
    TColor BrushColor_;
    TBrushStyle BrushStyle_;
    TColor PenColor_;
    int PenWidth_;
};

} // namespace qb
