#include "runtime/win32/GdiCanvas.h"
#include "runtime/win32/WideText.h"
#include "runtime/AsciiCase.h"
#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <cstdlib>
#include <utility>

namespace qb {
namespace {

std::atomic<long> LiveObjects{0};
std::atomic<long> FontsCreated{0};

// Every object a canvas creates goes through these two, so the counters stay honest.
template <typename T> T Track(T handle) {
    if (handle)
        ++LiveObjects;
    return handle;
}

void Delete(HGDIOBJ object) {
    if (object && DeleteObject(object))
        --LiveObjects;
}

// A font cache this small covers a dialog text (base, bold, link, symbol bullet...) while
// keeping a runaway text from holding hundreds of fonts.
constexpr size_t MaxCachedFonts = 12;

bool SameFontShape(const TFont& a, const TFont& b) {
    return a.Size == b.Size && a.Style == b.Style && a.Name == b.Name;
}

int Count(const std::wstring& text) {
    return static_cast<int>(std::min<size_t>(text.size(), INT_MAX));
}

RECT ToRect(const TRect& r) {
    return RECT{r.Left, r.Top, r.Right, r.Bottom};
}

COLORREF Rgb(TColor resolved) {
    return resolved & 0x00FFFFFFu;
}

} // namespace

TGdiCanvasCounts GdiCanvasCounts() {
    return {LiveObjects.load(), FontsCreated.load()};
}

// ---- graphics ----

TGdiBitmap::TGdiBitmap(HBITMAP bitmap, bool owned, TColor transparent)
    : Bitmap_(bitmap), Owned_(owned), Transparent_(transparent) {
    BITMAP info{};
    if (Bitmap_ && GetObjectA(Bitmap_, sizeof info, &info)) {
        Width_ = info.bmWidth;
        Height_ = std::abs(info.bmHeight);
    }
}

TGdiBitmap::~TGdiBitmap() {
    if (Owned_ && Bitmap_)
        DeleteObject(Bitmap_);
}

void TGdiBitmap::DrawOn(HDC dc, const RECT& target) const {
    if (!Bitmap_ || Empty())
        return;
    HDC source = CreateCompatibleDC(dc);
    if (!source)
        return;
    HGDIOBJ old = SelectObject(source, Bitmap_);
    int w = target.right - target.left;
    int h = target.bottom - target.top;
    if (Transparent_ != clNone) {
        // Nearest-pixel stretching keeps the key colour exact, so no tinted fringe appears.
        GdiTransparentBlt(dc, target.left, target.top, w, h, source, 0, 0, Width_, Height_,
                          Rgb(Transparent_));
    } else if (w == Width_ && h == Height_) {
        BitBlt(dc, target.left, target.top, w, h, source, 0, 0, SRCCOPY);
    } else {
        int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, target.left, target.top, w, h, source, 0, 0, Width_, Height_, SRCCOPY);
        SetStretchBltMode(dc, oldMode);
    }
    SelectObject(source, old);
    DeleteDC(source);
}

TGdiIcon::TGdiIcon(HICON icon, bool owned) : Icon_(icon), Owned_(owned) {
    ICONINFO info{};
    if (Icon_ && GetIconInfo(Icon_, &info)) {
        BITMAP bm{};
        if (info.hbmColor && GetObjectA(info.hbmColor, sizeof bm, &bm)) {
            Width_ = bm.bmWidth;
            Height_ = bm.bmHeight;
        } else if (info.hbmMask && GetObjectA(info.hbmMask, sizeof bm, &bm)) {
            Width_ = bm.bmWidth;
            Height_ = bm.bmHeight / 2; // monochrome icons stack AND and XOR masks
        }
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        if (info.hbmMask)
            DeleteObject(info.hbmMask);
    }
}

TGdiIcon::TGdiIcon(HICON icon, bool owned, int width, int height) : TGdiIcon(icon, owned) {
    Width_ = width;
    Height_ = height;
}

TGdiIcon::~TGdiIcon() {
    if (Owned_ && Icon_)
        DestroyIcon(Icon_);
}

void TGdiIcon::DrawOn(HDC dc, const RECT& target) const {
    if (Icon_)
        DrawIconEx(dc, target.left, target.top, Icon_, target.right - target.left,
                   target.bottom - target.top, 0, nullptr, DI_NORMAL);
}

// ---- canvas ----

TGdiCanvas::TGdiCanvas(HDC dc) : Dc_(dc) {
    SavedDc_ = SaveDC(Dc_);
    HRGN clip = Track(CreateRectRgn(0, 0, 0, 0));
    if (clip && GetClipRgn(Dc_, clip) == 1)
        OriginalClip_ = clip;
    else
        Delete(clip);
}

TGdiCanvas::~TGdiCanvas() {
    // Restoring first deselects our objects, so they can be deleted.
    if (SavedDc_)
        RestoreDC(Dc_, SavedDc_);
    for (auto& entry : Fonts_)
        Delete(entry.Handle);
    Delete(Brush_);
    Delete(Pen_);
    Delete(OriginalClip_);
}

void TGdiCanvas::SetFont(const TFont& font) {
    Font_ = font;
}

int TGdiCanvas::SetFontRotation(int tenthsOfDegree) {
    return std::exchange(Rotation_, tenthsOfDegree);
}

void TGdiCanvas::SetBrushColor(TColor color) {
    BrushColor_ = color;
    BrushStyle_ = color == clNone ? TBrushStyle::Clear : TBrushStyle::Solid;
}

void TGdiCanvas::SetBrushStyle(TBrushStyle style) {
    BrushStyle_ = style;
}

void TGdiCanvas::SetPenColor(TColor color) {
    PenColor_ = color;
}

void TGdiCanvas::SetPenWidth(int width) {
    PenWidth_ = width;
}

HFONT TGdiCanvas::FontFor(const TFont& font, int rotation) {
    ++UseClock_;
    for (auto& entry : Fonts_) {
        if (entry.Rotation == rotation && SameFontShape(entry.Key, font)) {
            entry.LastUse = UseClock_;
            return entry.Handle;
        }
    }

    LOGFONTW lf{};
    // MulDiv gives -1 on overflow; keep heights inside what GDI takes anyway.
    int height = -MulDiv(std::clamp(font.Size, -16384, 16384), PixelsPerInchY(), 72);
    lf.lfHeight = std::clamp(height, -16384, 16384);
    lf.lfEscapement = rotation;
    lf.lfOrientation = rotation;
    lf.lfWeight = (font.Style & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (font.Style & fsItalic) ? TRUE : FALSE;
    lf.lfUnderline = (font.Style & fsUnderline) ? TRUE : FALSE;
    lf.lfStrikeOut = (font.Style & fsStrikeOut) ? TRUE : FALSE;
    // The bullet font has no code-page glyphs; in its own charset U+00B7 reaches its dot.
    lf.lfCharSet = SameTextAscii(font.Name, "Symbol") ? SYMBOL_CHARSET : DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const std::wstring face = WideText(font.Name);
    const size_t nameLength = std::min(face.size(), std::size(lf.lfFaceName) - 1);
    std::copy_n(face.data(), nameLength, lf.lfFaceName);

    HFONT handle = Track(CreateFontIndirectW(&lf));
    ++FontsCreated;
    if (!handle)
        handle = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    if (Fonts_.size() >= MaxCachedFonts) {
        // Evict the least recently used font that is not in the device context right now.
        auto victim = Fonts_.end();
        for (auto it = Fonts_.begin(); it != Fonts_.end(); ++it)
            if (it->Handle != SelectedFont_ &&
                (victim == Fonts_.end() || it->LastUse < victim->LastUse))
                victim = it;
        if (victim != Fonts_.end()) {
            Delete(victim->Handle);
            Fonts_.erase(victim);
        }
    }
    TFontEntry entry;
    entry.Key = font;
    entry.Rotation = rotation;
    entry.Handle = handle;
    entry.LastUse = UseClock_;
    // A stock fallback is not ours to delete: do not cache it.
    if (handle != GetStockObject(DEFAULT_GUI_FONT))
        Fonts_.push_back(entry);
    return handle;
}

void TGdiCanvas::Realize() {
    PrepareText();
}

bool TGdiCanvas::BrushPaints() const {
    return BrushStyle_ == TBrushStyle::Solid && BrushColor_ != clNone;
}

void TGdiCanvas::PrepareText() {
    HFONT font = FontFor(Font_, Rotation_);
    if (font != SelectedFont_) {
        SelectObject(Dc_, font);
        SelectedFont_ = font;
    }
    SetTextColor(Dc_, Rgb(ColorToRGB(Font_.Color)));
    if (BrushPaints()) {
        SetBkMode(Dc_, OPAQUE);
        SetBkColor(Dc_, Rgb(ColorToRGB(BrushColor_)));
    } else {
        SetBkMode(Dc_, TRANSPARENT);
    }
}

void TGdiCanvas::PreparePen() {
    int width = std::max(PenWidth_, 0);
    if (!Pen_ || PenMadeColor_ != PenColor_ || PenMadeWidth_ != width) {
        HPEN pen = PenColor_ == clNone
                       ? Track(CreatePen(PS_NULL, 0, 0))
                       : Track(CreatePen(PS_SOLID, width, Rgb(ColorToRGB(PenColor_))));
        if (!pen)
            return;
        SelectObject(Dc_, pen);
        Delete(Pen_);
        Pen_ = pen;
        PenMadeColor_ = PenColor_;
        PenMadeWidth_ = width;
    } else {
        SelectObject(Dc_, Pen_);
    }
}

bool TGdiCanvas::PrepareBrush() {
    if (!BrushPaints()) {
        SelectObject(Dc_, GetStockObject(NULL_BRUSH));
        return false;
    }
    if (!Brush_ || BrushMade_ != BrushColor_) {
        HBRUSH brush = Track(CreateSolidBrush(Rgb(ColorToRGB(BrushColor_))));
        if (!brush)
            return false;
        SelectObject(Dc_, brush);
        Delete(Brush_);
        Brush_ = brush;
        BrushMade_ = BrushColor_;
    } else {
        SelectObject(Dc_, Brush_);
    }
    return true;
}

int TGdiCanvas::TextHeight(std::string_view text) {
    PrepareText();
    if (text.empty()) {
        TEXTMETRICA tm{};
        GetTextMetricsA(Dc_, &tm);
        return tm.tmHeight;
    }
    SIZE size{};
    const std::wstring wide = WideText(text);
    GetTextExtentPoint32W(Dc_, wide.c_str(), Count(wide), &size);
    return size.cy;
}

int TGdiCanvas::TextWidth(std::string_view text) {
    if (text.empty())
        return 0;
    PrepareText();
    SIZE size{};
    const std::wstring wide = WideText(text);
    GetTextExtentPoint32W(Dc_, wide.c_str(), Count(wide), &size);
    return size.cx;
}

int TGdiCanvas::DrawText(std::string_view text, TRect& rect, uint32_t format) {
    PrepareText();
    RECT r = ToRect(rect);
    const std::wstring wide = WideText(text);
    int height = ::DrawTextW(Dc_, wide.c_str(), Count(wide), &r, format);
    if (format & DT_CALCRECT)
        rect = TRect{r.left, r.top, r.right, r.bottom};
    return height;
}

void TGdiCanvas::MoveTo(int x, int y) {
    MoveToEx(Dc_, x, y, nullptr);
}

void TGdiCanvas::LineTo(int x, int y) {
    PreparePen();
    ::LineTo(Dc_, x, y);
}

void TGdiCanvas::Rectangle(const TRect& rect) {
    PreparePen();
    PrepareBrush();
    ::Rectangle(Dc_, rect.Left, rect.Top, rect.Right, rect.Bottom);
}

void TGdiCanvas::FillRect(const TRect& rect) {
    if (!PrepareBrush())
        return;
    RECT r = ToRect(rect);
    ::FillRect(Dc_, &r, Brush_);
}

void TGdiCanvas::RoundRect(const TRect& rect, int cornerWidth, int cornerHeight) {
    PreparePen();
    PrepareBrush();
    ::RoundRect(Dc_, rect.Left, rect.Top, rect.Right, rect.Bottom, cornerWidth, cornerHeight);
}

void TGdiCanvas::DrawFocusRect(const TRect& rect) {
    RECT r = ToRect(rect);
    // The dotted frame is drawn with the text colours; black on white inverts cleanly.
    COLORREF oldText = SetTextColor(Dc_, RGB(0, 0, 0));
    COLORREF oldBack = SetBkColor(Dc_, RGB(255, 255, 255));
    ::DrawFocusRect(Dc_, &r);
    SetTextColor(Dc_, oldText);
    SetBkColor(Dc_, oldBack);
}

void TGdiCanvas::Draw(int x, int y, const TGraphic& graphic) {
    StretchDraw(TRect{x, y, x + graphic.Width(), y + graphic.Height()}, graphic);
}

void TGdiCanvas::StretchDraw(const TRect& rect, const TGraphic& graphic) {
    if (graphic.Empty())
        return;
    if (auto* drawable = dynamic_cast<const IGdiDrawable*>(&graphic))
        drawable->DrawOn(Dc_, ToRect(rect));
    else
        graphic.DrawInto(*this, rect);
}

int TGdiCanvas::PixelsPerInchX() const {
    return PixelsPerInch_ > 0 ? PixelsPerInch_ : GetDeviceCaps(Dc_, LOGPIXELSX);
}

int TGdiCanvas::PixelsPerInchY() const {
    return PixelsPerInch_ > 0 ? PixelsPerInch_ : GetDeviceCaps(Dc_, LOGPIXELSY);
}

void TGdiCanvas::SetPixelsPerInch(int pixelsPerInch) {
    if (pixelsPerInch == PixelsPerInch_)
        return;
    PixelsPerInch_ = pixelsPerInch;
    // The fonts made so far have the old resolution's heights.
    SelectObject(Dc_, GetStockObject(SYSTEM_FONT));
    SelectedFont_ = nullptr;
    for (auto& entry : Fonts_)
        Delete(entry.Handle);
    Fonts_.clear();
}

void TGdiCanvas::SetClipRect(const TRect& rect) {
    ClearClip();
    IntersectClipRect(Dc_, rect.Left, rect.Top, rect.Right, rect.Bottom);
}

void TGdiCanvas::ClearClip() {
    SelectClipRgn(Dc_, OriginalClip_);
}

TColor TGdiCanvas::ColorToRGB(TColor color) const {
    if (IsSystemColor(color))
        return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFFu; // none counts as white, as in the headless canvas
}

// ---- off-screen canvas ----

TGdiMemorySurface::TGdiMemorySurface(int width, int height)
    : SurfaceWidth_(std::max(width, 1)), SurfaceHeight_(std::max(height, 1)) {
    MemoryDc_ = Track(CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = SurfaceWidth_;
    info.bmiHeader.biHeight = -SurfaceHeight_; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Bitmap_ = Track(CreateDIBSection(MemoryDc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    Bits_ = static_cast<uint32_t*>(bits);
    if (MemoryDc_ && Bitmap_)
        OldBitmap_ = SelectObject(MemoryDc_, Bitmap_);
}

TGdiMemorySurface::~TGdiMemorySurface() {
    if (OldBitmap_)
        SelectObject(MemoryDc_, OldBitmap_);
    Delete(Bitmap_);
    if (MemoryDc_ && DeleteDC(MemoryDc_))
        --LiveObjects;
}

TGdiBitmapCanvas::TGdiBitmapCanvas(int width, int height)
    : TGdiMemorySurface(width, height), TGdiCanvas(MemoryDc_) {}

void TGdiBitmapCanvas::Clear(TColor color) {
    HBRUSH brush = Track(CreateSolidBrush(Rgb(ColorToRGB(color))));
    RECT all{0, 0, SurfaceWidth_, SurfaceHeight_};
    ::FillRect(MemoryDc_, &all, brush);
    Delete(brush);
}

TColor TGdiBitmapCanvas::Pixel(int x, int y) const {
    if (!Bits_ || x < 0 || y < 0 || x >= SurfaceWidth_ || y >= SurfaceHeight_)
        return clNone;
    GdiFlush();
    uint32_t p = Bits_[static_cast<size_t>(y) * SurfaceWidth_ + x]; // 0x00RRGGBB
    return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
}

} // namespace qb
