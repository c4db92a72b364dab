#include "runtime/win32/Win32Pictures.h"
#include "runtime/GifScan.h"
#include "runtime/MulDiv.h"
#include "runtime/win32/GdiCanvas.h"
#include "runtime/win32/WicPictures.h"
#include "runtime/win32/WindowsApi.h"
#include <cstring>
#include <olectl.h>

namespace qb {

namespace {

constexpr int HimetricPerInch = 2540;

// The pixels of a bitmap or icon the picture holds. The system measures its HIMETRIC size at
// the screen's resolution, which is not 96 dots per inch for a program aware of it; a metafile
// has no pixels and counts at 96.
TSize OlePixelSize(IPicture* picture, long himetricWidth, long himetricHeight) {
    SHORT type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    if (SUCCEEDED(picture->get_Type(&type)) && SUCCEEDED(picture->get_Handle(&handle)) &&
        handle != 0) {
        BITMAP bm{};
        if (type == PICTYPE_BITMAP &&
            GetObjectA(LongToHandle(static_cast<LONG>(handle)), sizeof bm, &bm))
            return {bm.bmWidth, bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight};
        if (type == PICTYPE_ICON) {
            const TGdiIcon icon(static_cast<HICON>(LongToHandle(static_cast<LONG>(handle))), false);
            return {icon.Width(), icon.Height()};
        }
    }
    return {MulDiv(himetricWidth, 96, HimetricPerInch),
            MulDiv(himetricHeight, 96, HimetricPerInch)};
}

// An IPicture as a graphic: rendered whole into the target rectangle.
class TOlePicture : public TDecodedPicture, public IGdiDrawable {
public:
    explicit TOlePicture(IPicture* picture) : Picture_(picture) {
        OLE_XSIZE_HIMETRIC w = 0;
        OLE_YSIZE_HIMETRIC h = 0;
        if (SUCCEEDED(Picture_->get_Width(&w)))
            HimetricWidth_ = w;
        if (SUCCEEDED(Picture_->get_Height(&h)))
            HimetricHeight_ = h;
        Pixels_ = OlePixelSize(Picture_, HimetricWidth_, HimetricHeight_);
    }
    ~TOlePicture() override { Picture_->Release(); }
    TOlePicture(const TOlePicture&) = delete;
    TOlePicture& operator=(const TOlePicture&) = delete;

    int Width() const override { return Pixels_.Width; }
    int Height() const override { return Pixels_.Height; }
    void DrawOn(HDC dc, const RECT& target) const override {
        // HIMETRIC runs bottom-up: the source starts at the picture's top edge.
        Picture_->Render(dc, target.left, target.top, target.right - target.left,
                         target.bottom - target.top, 0, HimetricHeight_, HimetricWidth_,
                         -HimetricHeight_, nullptr);
    }

private:
    IPicture* Picture_;
    long HimetricWidth_ = 0;
    long HimetricHeight_ = 0;
    TSize Pixels_;
};

// comctl32 is not linked (see CMakeLists.txt): its image-list calls are looked up by name.
using TGetIconSize = BOOL(WINAPI*)(HIMAGELIST, int*, int*);
using TDraw = BOOL(WINAPI*)(HIMAGELIST, int, HDC, int, int, UINT);

} // namespace

void* ComCtlProc(const char* name) {
    HMODULE module = GetModuleHandleA("comctl32.dll");
    if (!module)
        module = LoadLibraryA("comctl32.dll");
    return module ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
}

namespace {

HIMAGELIST SystemImageList(bool large) {
    SHFILEINFOA info{};
    const UINT flags = SHGFI_SYSICONINDEX | (large ? 0 : SHGFI_SMALLICON);
    return reinterpret_cast<HIMAGELIST>(SHGetFileInfoA("", 0, &info, sizeof info, flags));
}

bool DrawListIcon(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
    auto draw = reinterpret_cast<TDraw>(ComCtlProc("ImageList_Draw"));
    return list && draw && draw(list, index, dc, x, y, style);
}

// OleLoadPicture on a stream over a copy of the bytes.
TDecodeResult DecodeWithOle(std::string_view bytes, std::unique_ptr<TDecodedPicture>& out) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!block)
        return TDecodeResult::NoMemory;
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return TDecodeResult::NoMemory;
    }
    if (!bytes.empty())
        std::memcpy(target, bytes.data(), bytes.size());
    GlobalUnlock(block);

    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
        GlobalFree(block);
        return TDecodeResult::NoStream;
    }
    if (!stream) {
        GlobalFree(block);
        return TDecodeResult::EmptyStream;
    }
    // From here the stream owns the block and frees it when released.
    IPicture* picture = nullptr;
    const HRESULT hr = OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                      reinterpret_cast<void**>(&picture));
    stream->Release();
    if (hr != S_OK) {
        if (picture)
            picture->Release();
        return TDecodeResult::InvalidFormat;
    }
    if (!picture)
        return TDecodeResult::NoPicture;
    out = std::make_unique<TOlePicture>(picture);
    return TDecodeResult::Ok;
}

} // namespace

TDecodeResult Win32PictureDecoder::Decode(std::string_view bytes,
                                          std::unique_ptr<TDecodedPicture>& out) {
    out.reset();
    // No bytes are no picture (the system cannot even lock a block of none), and a GIF the
    // system would read through a missing colour table never reaches it.
    if (bytes.empty() || (IsGif(bytes) && !GifHasColourTables(bytes)))
        return TDecodeResult::InvalidFormat;
    if (IsPng(bytes) && PngThroughWic)
        return DecodeWithWic(bytes, out);
    const TDecodeResult result = DecodeWithOle(bytes, out);
    // Windows' own loader refuses PNG, where Wine's reads it.
    if (result != TDecodeResult::Ok && IsPng(bytes))
        return DecodeWithWic(bytes, out);
    return result;
}

int Win32ShellIcons::FileIconIndex(const std::string& name, bool useFileAttributes) {
    SHFILEINFOA info{};
    const UINT flags = SHGFI_SYSICONINDEX | (useFileAttributes ? SHGFI_USEFILEATTRIBUTES : 0);
    const DWORD attributes = useFileAttributes ? FILE_ATTRIBUTE_NORMAL : 0;
    if (!SHGetFileInfoA(name.c_str(), attributes, &info, sizeof info, flags))
        return 0;
    return info.iIcon;
}

TSize Win32ShellIcons::IconSize(bool large) {
    auto getSize = reinterpret_cast<TGetIconSize>(ComCtlProc("ImageList_GetIconSize"));
    HIMAGELIST list = SystemImageList(large);
    int w = 0, h = 0;
    if (!list || !getSize || !getSize(list, &w, &h))
        return {};
    return {w, h};
}

void Win32ShellIcons::DrawIcon(TCanvas& canvas, int index, bool large, int x, int y) {
    if (auto* gdi = dynamic_cast<TGdiCanvas*>(&canvas))
        DrawListIcon(SystemImageList(large), index, gdi->Handle(), x, y, ILD_TRANSPARENT);
}

std::unique_ptr<TGraphic> Win32ShellIcons::IconBitmap(int index, bool large) {
    const TSize size = IconSize(large);
    if (size.Width <= 0 || size.Height <= 0)
        return nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size.Width, size.Height);
    ReleaseDC(nullptr, screen);
    if (!memory || !bitmap) {
        if (memory)
            DeleteDC(memory);
        if (bitmap)
            DeleteObject(bitmap);
        return nullptr;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    DrawListIcon(SystemImageList(large), index, memory, 0, 0, ILD_NORMAL);
    SelectObject(memory, old);
    DeleteDC(memory);
    return std::make_unique<TGdiBitmap>(bitmap, true);
}

} // namespace qb
