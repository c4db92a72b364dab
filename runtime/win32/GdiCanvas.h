// TCanvas on a Windows device context: fonts realised lazily from the TFont value and cached,
// pens and brushes created on demand, every GDI object the canvas made deleted with it.
#pragma once
#include "runtime/Canvas.h"
#include <windows.h>
#include <cstdint>
// The A/W macro would rename TCanvas::DrawText in this file only; Win32 code calls DrawTextA.
#undef DrawText
#include <string>
#include <vector>

namespace qb {

// A picture that knows how to put itself on a device context. Graphics of the Win32 backend
// implement it so that any TGdiCanvas can draw them; other graphics are skipped.
class IGdiDrawable {
public:
    virtual ~IGdiDrawable() = default;
    virtual void DrawOn(HDC dc, const RECT& target) const = 0;
};

// A bitmap handle as a graphic. Owned handles are deleted with the object.
class TGdiBitmap : public TGraphic, public IGdiDrawable {
public:
    // transparent (0x00BBGGRR, or clNone for opaque) is left out wherever the bitmap is drawn.
    TGdiBitmap(HBITMAP bitmap, bool owned, TColor transparent = clNone);
    ~TGdiBitmap() override;
    TGdiBitmap(const TGdiBitmap&) = delete;
    TGdiBitmap& operator=(const TGdiBitmap&) = delete;
    HBITMAP Handle() const { return Bitmap_; }
    int Width() const override { return Width_; }
    int Height() const override { return Height_; }
    void DrawOn(HDC dc, const RECT& target) const override;

private:
    HBITMAP Bitmap_;
    bool Owned_;
    TColor Transparent_;
    int Width_ = 0;
    int Height_ = 0;
};

// An icon handle as a graphic, drawn with its mask.
class TGdiIcon : public TGraphic, public IGdiDrawable {
public:
    TGdiIcon(HICON icon, bool owned);
    // An icon that lays out at a size of its own (a shared system icon loaded for a DPI).
    TGdiIcon(HICON icon, bool owned, int width, int height);
    ~TGdiIcon() override;
    TGdiIcon(const TGdiIcon&) = delete;
    TGdiIcon& operator=(const TGdiIcon&) = delete;
    HICON Handle() const { return Icon_; }
    int Width() const override { return Width_; }
    int Height() const override { return Height_; }
    void DrawOn(HDC dc, const RECT& target) const override;

private:
    HICON Icon_;
    bool Owned_;
    int Width_ = 0;
    int Height_ = 0;
};

// Process-wide counts of the GDI objects canvases made, so tests can prove nothing leaks
// (GetGuiResources is not available everywhere).
struct TGdiCanvasCounts {
    long LiveObjects = 0;  // fonts, pens, brushes, regions, bitmaps and DCs not yet deleted
    long FontsCreated = 0; // every CreateFontIndirectW so far
};
TGdiCanvasCounts GdiCanvasCounts();

class TGdiCanvas : public TCanvas {
public:
    // The device context is not owned; its state (selected objects, colours, clip) is saved
    // here and put back by the destructor.
    explicit TGdiCanvas(HDC dc);
    ~TGdiCanvas() override;
    TGdiCanvas(const TGdiCanvas&) = delete;
    TGdiCanvas& operator=(const TGdiCanvas&) = delete;

    HDC Handle() const { return Dc_; }
    // Selects the current font and text colours into the device context, for callers that
    // draw on Handle() themselves.
    void Realize();

    const TFont& Font() const override { return Font_; }
    void SetFont(const TFont& font) override;
    int SetFontRotation(int tenthsOfDegree) override;
    int FontRotation() const override { return Rotation_; }

    TColor BrushColor() const override { return BrushColor_; }
    TBrushStyle BrushStyle() const override { return BrushStyle_; }
    void SetBrushColor(TColor color) override; // clNone makes the brush clear
    void SetBrushStyle(TBrushStyle style) override;

    TColor PenColor() const override { return PenColor_; }
    int PenWidth() const override { return PenWidth_; }
    void SetPenColor(TColor color) override;
    void SetPenWidth(int width) override;

    int TextHeight(std::string_view text) override;
    int TextWidth(std::string_view text) override;
    int DrawText(std::string_view text, TRect& rect, uint32_t format) override;

    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Rectangle(const TRect& rect) override;
    void FillRect(const TRect& rect) override;
    void RoundRect(const TRect& rect, int cornerWidth, int cornerHeight) override;
    void DrawFocusRect(const TRect& rect) override;

    void Draw(int x, int y, const TGraphic& graphic) override;
    void StretchDraw(const TRect& rect, const TGraphic& graphic) override;

    int PixelsPerInchX() const override;
    int PixelsPerInchY() const override;
    // Fonts are made for this resolution instead of the device's (a window's on its monitor).
    void SetPixelsPerInch(int pixelsPerInch);
    void SetClipRect(const TRect& rect) override;
    void ClearClip() override;

    TColor ColorToRGB(TColor color) const override;

private:
    struct TFontEntry {
        TFont Key; // colour ignored: it is a text colour, not part of the GDI font
        int Rotation = 0;
        HFONT Handle = nullptr;
        uint64_t LastUse = 0;
    };

    HFONT FontFor(const TFont& font, int rotation);
    void PrepareText();
    void PreparePen();
    bool PrepareBrush(); // false when the brush paints nothing
    bool BrushPaints() const;

    HDC Dc_;
    int SavedDc_ = 0;
    HRGN OriginalClip_ = nullptr; // null when the device context had no clip region

    TFont Font_;
    int Rotation_ = 0;
    int PixelsPerInch_ = 0; // 0: the device's
    std::vector<TFontEntry> Fonts_;
    HFONT SelectedFont_ = nullptr;
    uint64_t UseClock_ = 0;

    TColor BrushColor_ = clWhite;
    TBrushStyle BrushStyle_ = TBrushStyle::Solid;
    HBRUSH Brush_ = nullptr;
    TColor BrushMade_ = clNone; // colour of Brush_

    TColor PenColor_ = clBlack;
    int PenWidth_ = 1;
    HPEN Pen_ = nullptr;
    TColor PenMadeColor_ = clNone;
    int PenMadeWidth_ = -1;
};

// Owns the memory device context and the 32-bit top-down DIB section under a TGdiBitmapCanvas;
// a separate base so both exist before the canvas and outlive it.
class TGdiMemorySurface {
public:
    TGdiMemorySurface(int width, int height);
    ~TGdiMemorySurface();
    TGdiMemorySurface(const TGdiMemorySurface&) = delete;
    TGdiMemorySurface& operator=(const TGdiMemorySurface&) = delete;

protected:
    HDC MemoryDc_ = nullptr;
    HBITMAP Bitmap_ = nullptr;
    HGDIOBJ OldBitmap_ = nullptr;
    uint32_t* Bits_ = nullptr; // 0x00RRGGBB per pixel, rows top to bottom
    int SurfaceWidth_ = 0;
    int SurfaceHeight_ = 0;
};

// A canvas on an off-screen bitmap, for drawing that is saved to a file or inspected.
class TGdiBitmapCanvas : private TGdiMemorySurface, public TGdiCanvas {
public:
    TGdiBitmapCanvas(int width, int height);

    int Width() const { return SurfaceWidth_; }
    int Height() const { return SurfaceHeight_; }
    // The bitmap behind the canvas (selected into it), for copying from.
    HBITMAP BitmapHandle() const { return Bitmap_; }
    void Clear(TColor color);
    // 0x00BBGGRR of one pixel; clNone outside the bitmap.
    TColor Pixel(int x, int y) const;
    // A 24-bit bottom-up .bmp file; false when it cannot be written.
    bool SaveBmp(const std::string& path) const;
};

} // namespace qb
