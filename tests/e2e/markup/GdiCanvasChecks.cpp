#include "tests/e2e/markup/GdiCanvasChecks.h"
#include "runtime/win32/GdiCanvas.h"
#include <string>

namespace qb::e2e {
namespace {

const char* const Area = "gdi canvas";

TFont Tahoma(int size, TFontStyles style = 0, TColor color = clBlack) {
    TFont font;
    font.Name = "Tahoma";
    font.Size = size;
    font.Style = style;
    font.Color = color;
    return font;
}

// True when some pixel of the rectangle has the colour.
bool Shows(const TGdiBitmapCanvas& canvas, const TRect& r, TColor color) {
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (canvas.Pixel(x, y) == color)
                return true;
    return false;
}

std::string Num(long v) {
    return std::to_string(v);
}

void CheckMetrics(TGdiBitmapCanvas& canvas, TChecks& check) {
    check(canvas.PixelsPerInchX() > 0 && canvas.PixelsPerInchY() > 0, Area, "no resolution");
    canvas.SetFont(Tahoma(8));
    const int h8 = canvas.TextHeight("gh");
    const int w8 = canvas.TextWidth("Quillbridge");
    canvas.SetFont(Tahoma(16));
    const int h16 = canvas.TextHeight("gh");
    check(h8 > 5 && h16 > h8 * 3 / 2, Area,
          "text heights " + Num(h8) + " (8 pt) and " + Num(h16) + " (16 pt)");
    canvas.SetFont(Tahoma(8, fsBold));
    check(canvas.TextWidth("Quillbridge") > w8, Area, "bold is not wider than regular");
    canvas.SetFont(Tahoma(8));
    check(canvas.TextWidth("") == 0, Area, "an empty text has a width");
    check(canvas.TextHeight("") == h8, Area, "an empty text has another height");

    // DT_CALCRECT measures without drawing and gives the width GetTextExtentPoint32 gives.
    canvas.Clear(clWhite);
    TRect r{10, 10, 10, 10};
    canvas.DrawText("Quillbridge", r, DT_SINGLELINE | DT_CALCRECT);
    check(r.Width() == w8 && r.Height() == h8, Area,
          "DT_CALCRECT gives " + Num(r.Width()) + "x" + Num(r.Height()) + ", extents " + Num(w8) +
              "x" + Num(h8));
    check(!Shows(canvas, {0, 0, 200, 40}, clBlack), Area, "DT_CALCRECT drew something");
    // The prefix rule is the system's: "&&" shows one ampersand, DT_NOPREFIX shows both.
    TRect p{0, 0, 0, 0}, q{0, 0, 0, 0};
    canvas.DrawText("A&&B", p, DT_SINGLELINE | DT_CALCRECT);
    canvas.DrawText("A&B", q, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    check(p.Width() == q.Width(), Area, "\"A&&B\" and \"A&B\" without prefixes differ in width");
}

void CheckColours(TGdiBitmapCanvas& canvas, TChecks& check) {
    canvas.Clear(clWhite);
    // Opaque text box in the brush colour; text in the font colour.
    canvas.SetFont(Tahoma(10, 0, 0x000000FF));
    canvas.SetBrushColor(0x0000FF00);
    TRect box{10, 10, 200, 40};
    canvas.DrawText("Opaque", box, DT_SINGLELINE);
    check(Shows(canvas, {10, 10, 60, 25}, 0x0000FF00), Area, "no opaque box behind the text");
    check(Shows(canvas, {10, 10, 60, 25}, 0x000000FF), Area, "the text is not red");
    // Clear brush (and the none colour): no box.
    canvas.SetBrushColor(clNone);
    check(canvas.BrushStyle() == TBrushStyle::Clear, Area, "the none colour keeps a solid brush");
    TRect clear{10, 50, 200, 80};
    canvas.DrawText("Clear", clear, DT_SINGLELINE);
    check(!Shows(canvas, clear, 0x0000FF00), Area, "text on a clear brush drew a box");
    canvas.FillRect({10, 50, 200, 80});
    check(Shows(canvas, {150, 50, 200, 80}, clWhite), Area, "a clear brush filled a rectangle");
    // System colours resolve through the system.
    check(canvas.ColorToRGB(SystemColor(COLOR_WINDOW)) == GetSysColor(COLOR_WINDOW), Area,
          "clWindow does not resolve to the system's window colour");
    check(canvas.ColorToRGB(0x00123456) == 0x00123456, Area, "an RGB colour changed");
    canvas.SetFont(Tahoma(8, 0, SystemColor(COLOR_WINDOWTEXT)));
    canvas.SetBrushColor(SystemColor(COLOR_HIGHLIGHT));
    TRect sys{10, 90, 200, 110};
    canvas.DrawText("System colours", sys, DT_SINGLELINE);
    check(Shows(canvas, sys, GetSysColor(COLOR_HIGHLIGHT)), Area, "no box in clHighlight");
}

void CheckShapesAndClip(TGdiBitmapCanvas& canvas, TChecks& check) {
    canvas.Clear(clWhite);
    canvas.SetPenColor(0x00FF0000);
    canvas.SetPenWidth(1);
    canvas.SetBrushColor(0x0000FFFF);
    canvas.Rectangle({10, 10, 50, 40});
    check(canvas.Pixel(10, 20) == 0x00FF0000 && canvas.Pixel(30, 25) == 0x0000FFFF, Area,
          "Rectangle is not outlined with the pen and filled with the brush");
    canvas.SetBrushStyle(TBrushStyle::Clear);
    canvas.Rectangle({60, 10, 100, 40});
    check(canvas.Pixel(60, 20) == 0x00FF0000 && canvas.Pixel(80, 25) == clWhite, Area,
          "a Rectangle with a clear brush is filled");
    canvas.MoveTo(10, 50);
    canvas.LineTo(100, 50);
    check(canvas.Pixel(50, 50) == 0x00FF0000, Area, "LineTo drew no line in the pen colour");
    canvas.SetPenWidth(3);
    canvas.MoveTo(10, 60);
    canvas.LineTo(100, 60);
    check(canvas.Pixel(50, 61) == 0x00FF0000, Area, "a 3-pixel pen is thin");

    // The focus rectangle inverts: twice gives back the picture.
    canvas.DrawFocusRect({10, 70, 100, 90});
    check(canvas.Pixel(10, 70) != clWhite || canvas.Pixel(11, 70) != clWhite, Area,
          "DrawFocusRect drew nothing");
    canvas.DrawFocusRect({10, 70, 100, 90});
    check(canvas.Pixel(10, 70) == clWhite && canvas.Pixel(11, 70) == clWhite, Area,
          "a second DrawFocusRect does not restore the pixels");

    // Clip: nothing outside, and ClearClip lifts it.
    canvas.SetBrushColor(0x00FF00FF);
    canvas.SetClipRect({120, 10, 140, 30});
    canvas.FillRect({110, 0, 160, 40});
    check(canvas.Pixel(130, 20) == 0x00FF00FF && canvas.Pixel(115, 20) == clWhite &&
              canvas.Pixel(150, 35) == clWhite,
          Area, "the clip rectangle does not limit a fill");
    canvas.ClearClip();
    canvas.FillRect({110, 50, 160, 60});
    check(canvas.Pixel(155, 55) == 0x00FF00FF, Area, "ClearClip leaves a clip");
}

void CheckGraphics(TGdiBitmapCanvas& canvas, TChecks& check) {
    canvas.Clear(clWhite);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
    {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all{0, 0, 8, 8};
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        ::FillRect(dc, &all, red);
        DeleteObject(red);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    TGdiBitmap graphic(bitmap, true);
    check(graphic.Width() == 8 && graphic.Height() == 8, Area, "bitmap size not read");
    canvas.Draw(10, 10, graphic);
    check(canvas.Pixel(10, 10) == 0x000000FF && canvas.Pixel(17, 17) == 0x000000FF &&
              canvas.Pixel(18, 18) == clWhite,
          Area, "Draw did not copy the bitmap at its place");
    canvas.StretchDraw({30, 10, 62, 42}, graphic);
    check(canvas.Pixel(61, 41) == 0x000000FF && canvas.Pixel(62, 42) == clWhite, Area,
          "StretchDraw did not fill the rectangle");
    TGdiIcon icon(LoadIcon(nullptr, IDI_INFORMATION), false);
    check(icon.Width() > 0, Area, "icon size not read");
    canvas.Draw(70, 10, icon);
    bool painted = false;
    for (int y = 10; y < 10 + icon.Height(); ++y)
        for (int x = 70; x < 70 + icon.Width(); ++x)
            painted = painted || canvas.Pixel(x, y) != clWhite;
    check(painted, Area, "Draw of an icon painted nothing");
}

void CheckFontCache(TGdiBitmapCanvas& canvas, TChecks& check) {
    const TFont a = Tahoma(8), b = Tahoma(8, fsBold);
    canvas.SetFont(a);
    canvas.TextWidth("x");
    canvas.SetFont(b);
    canvas.TextWidth("x");
    const long created = GdiCanvasCounts().FontsCreated;
    for (int i = 0; i < 100; ++i) {
        canvas.SetFont(i % 2 ? a : b);
        canvas.TextWidth("x");
        TFont coloured = a;
        coloured.Color = static_cast<TColor>(i);
        canvas.SetFont(coloured); // a colour is not a new font
        canvas.TextWidth("x");
    }
    check(GdiCanvasCounts().FontsCreated == created, Area,
          "setting known fonts again created " + Num(GdiCanvasCounts().FontsCreated - created));
    // Many different fonts: the cache stays bounded and the objects are still all freed.
    const long live = GdiCanvasCounts().LiveObjects;
    for (int size = 6; size < 60; ++size) {
        canvas.SetFont(Tahoma(size));
        canvas.TextWidth("x");
    }
    check(GdiCanvasCounts().LiveObjects - live <= 12, Area,
          "the font cache grew to " + Num(GdiCanvasCounts().LiveObjects - live) + " fonts");
}

// A picture of the canvas features: styles, rotation, the bullet, shapes.
void DrawPicture(TGdiBitmapCanvas& canvas, TChecks& check, const std::string& shotsDir) {
    canvas.Clear(clWhite);
    canvas.SetBrushStyle(TBrushStyle::Clear);
    int y = 10;
    const TFontStyles styles[] = {0,           fsBold,      fsItalic,
                                  fsUnderline, fsStrikeOut, fsBold | fsItalic | fsUnderline};
    for (TFontStyles style : styles) {
        canvas.SetFont(Tahoma(10, style));
        TRect r{10, y, 300, y + 20};
        canvas.DrawText("Tahoma 10, style " + Num(style) + " &underlined", r,
                        DT_SINGLELINE | DT_BOTTOM);
        y += 20;
    }
    TFont symbol = Tahoma(10);
    symbol.Name = "Symbol";
    canvas.SetFont(symbol);
    TRect bullet{10, y, 30, y + 20};
    canvas.DrawText("\xB7", bullet, 0);
    canvas.SetFont(Tahoma(10));
    TRect after{30, y, 300, y + 20};
    canvas.DrawText("a Symbol bullet before this text", after, DT_SINGLELINE);
    y += 24;
    canvas.SetFont(Tahoma(10, 0, 0x00800000));
    const int old = canvas.SetFontRotation(450);
    TRect turned{20, y + 85, 300, y + 105};
    canvas.DrawText("rotated 45 degrees", turned, DT_SINGLELINE | DT_NOCLIP);
    check(canvas.SetFontRotation(old) == 450, Area, "SetFontRotation does not return the angle");
    canvas.SetPenColor(0x000000FF);
    canvas.SetBrushColor(0x00E0F0FF);
    canvas.RoundRect({200, y, 300, y + 50}, 12, 12);
    canvas.DrawFocusRect({210, y + 60, 300, y + 80});
    check(canvas.SaveBmp(shotsDir + "/canvas.bmp"), Area, "cannot save canvas.bmp");
}

} // namespace

void RunGdiCanvasChecks(const std::string& shotsDir, TChecks& check) {
    const long objects = GdiCanvasCounts().LiveObjects;
    {
        TGdiBitmapCanvas canvas(320, 260);
        CheckMetrics(canvas, check);
        CheckColours(canvas, check);
        CheckShapesAndClip(canvas, check);
        CheckGraphics(canvas, check);
        CheckFontCache(canvas, check);
        DrawPicture(canvas, check, shotsDir);
    }
    check(GdiCanvasCounts().LiveObjects == objects, Area,
          "GDI objects left after the canvas was freed: " +
              Num(GdiCanvasCounts().LiveObjects - objects));

    // A canvas on a device context it does not own puts the context back as it found it.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
    {
        TGdiCanvas canvas(dc);
        canvas.SetFont(Tahoma(12, fsBold));
        canvas.TextWidth("x");
        canvas.SetPenColor(0x00FF0000);
        canvas.SetBrushColor(0x0000FF00);
        canvas.Rectangle({0, 0, 5, 5});
        canvas.SetClipRect({0, 0, 2, 2});
    }
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    check(GetCurrentObject(dc, OBJ_FONT) == font && GetCurrentObject(dc, OBJ_PEN) == pen &&
              GetCurrentObject(dc, OBJ_BRUSH) == brush && GetClipRgn(dc, clip) == 0,
          Area, "the device context was not put back");
    DeleteObject(clip);
    DeleteDC(dc);
}

} // namespace qb::e2e
