#include "runtime/win32/WicPictures.h"
#include "runtime/win32/ComRef.h"
#include "runtime/win32/GdiCanvas.h"
#include "runtime/win32/WindowsApi.h"
#include <wincodec.h>

namespace qb {

namespace {

// A lying header must not make the decoder ask for gigabytes (the test backend's limit too).
constexpr unsigned long long MaxPixels = 16ULL * 1024 * 1024;

// COM on this thread for one decoding; a thread that has it already keeps it as it is.
class TComScope {
public:
    TComScope() : Initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~TComScope() {
        if (Initialised_)
            CoUninitialize();
    }
    TComScope(const TComScope&) = delete;
    TComScope& operator=(const TComScope&) = delete;

private:
    bool Initialised_;
};

// Premultiplied 32-bit pixels in a DIB section, blended over what is already drawn.
class TAlphaPicture : public TDecodedPicture, public IGdiDrawable {
public:
    TAlphaPicture(HBITMAP bitmap, int width, int height)
        : Bitmap_(bitmap), Width_(width), Height_(height) {}
    ~TAlphaPicture() override { DeleteObject(Bitmap_); }
    TAlphaPicture(const TAlphaPicture&) = delete;
    TAlphaPicture& operator=(const TAlphaPicture&) = delete;

    int Width() const override { return Width_; }
    int Height() const override { return Height_; }
    void DrawOn(HDC dc, const RECT& target) const override {
        HDC source = CreateCompatibleDC(dc);
        if (!source)
            return;
        HGDIOBJ old = SelectObject(source, Bitmap_);
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        GdiAlphaBlend(dc, target.left, target.top, target.right - target.left,
                      target.bottom - target.top, source, 0, 0, Width_, Height_, blend);
        SelectObject(source, old);
        DeleteDC(source);
    }

private:
    HBITMAP Bitmap_;
    int Width_;
    int Height_;
};

// A top-down 32-bit DIB section of the size; null when there is none.
HBITMAP CreatePixelBitmap(UINT width, UINT height, void*& bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

// The decoded frame converted to premultiplied BGRA, copied into a bitmap of our own.
std::unique_ptr<TDecodedPicture> CopyFrame(IWICImagingFactory* factory,
                                           IWICBitmapFrameDecode* frame) {
    UINT width = 0, height = 0;
    if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0 ||
        static_cast<unsigned long long>(width) * height > MaxPixels)
        return nullptr;
    TComRef<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.Address())) || !converter.Get() ||
        FAILED(converter->Initialize(frame, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                                     nullptr, 0.0, WICBitmapPaletteTypeCustom)))
        return nullptr;
    void* bits = nullptr;
    HBITMAP bitmap = CreatePixelBitmap(width, height, bits);
    if (!bitmap)
        return nullptr;
    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return std::make_unique<TAlphaPicture>(bitmap, static_cast<int>(width),
                                           static_cast<int>(height));
}

} // namespace

TDecodeResult DecodeWithWic(std::string_view bytes, std::unique_ptr<TDecodedPicture>& out) {
    out.reset();
    if (bytes.empty() || bytes.size() > 0x7FFFFFFF)
        return TDecodeResult::InvalidFormat;
    TComScope com;
    TComRef<IWICImagingFactory> factory;
    TComRef<IWICStream> stream;
    TComRef<IWICBitmapDecoder> decoder;
    TComRef<IWICBitmapFrameDecode> frame;
    // The stream reads the caller's bytes in place; every object is released before return.
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, factory.Out())) ||
        !factory.Get() || FAILED(factory->CreateStream(stream.Address())) || !stream.Get() ||
        FAILED(
            stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                         static_cast<DWORD>(bytes.size()))) ||
        FAILED(factory->CreateDecoderFromStream(
            stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.Address())) ||
        !decoder.Get() || FAILED(decoder->GetFrame(0, frame.Address())) || !frame.Get())
        return TDecodeResult::InvalidFormat;
    out = CopyFrame(factory.Get(), frame.Get());
    return out ? TDecodeResult::Ok : TDecodeResult::InvalidFormat;
}

} // namespace qb
