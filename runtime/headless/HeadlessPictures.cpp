#include "runtime/headless/HeadlessPictures.h"
#include "runtime/AsciiCase.h"
#include "runtime/headless/PngChunks.h"
#include <algorithm>
#include <cstring>
#include <optional>

#define STBI_ONLY_GIF
#define STBI_ONLY_BMP
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
// Dialog pictures are small; a lying header must not make the decoder ask for gigabytes.
#define STBI_MAX_DIMENSIONS 8192
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace qb {

namespace {

constexpr long long MaxPixels = 16LL * 1024 * 1024;

struct TFrameBox {
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

int Le16(std::string_view b, size_t p) {
    return static_cast<unsigned char>(b[p]) | (static_cast<unsigned char>(b[p + 1]) << 8);
}

// The first image descriptor of a GIF, found by walking its blocks; none when the blocks end
// before one.
std::optional<TFrameBox> FirstGifImage(std::string_view b) {
    if (b.size() < 13 || b.substr(0, 4) != "GIF8")
        return std::nullopt;
    const unsigned flags = static_cast<unsigned char>(b[10]);
    size_t p = 13;
    if (flags & 0x80)
        p += 3u << ((flags & 7) + 1);
    while (p < b.size()) {
        const unsigned char kind = static_cast<unsigned char>(b[p]);
        if (kind == 0x2C) {
            if (p + 9 > b.size())
                return std::nullopt;
            return TFrameBox{Le16(b, p + 1), Le16(b, p + 3), Le16(b, p + 5), Le16(b, p + 7)};
        }
        if (kind != 0x21)
            return std::nullopt;
        p += 2;
        while (p < b.size() && b[p] != 0)
            p += 1 + static_cast<unsigned char>(b[p]);
        ++p;
    }
    return std::nullopt;
}

// This stb_image builds a Huffman table from up to 16 x 255 code counts into room for 256
// codes. Every byte pair that could start a table definition is checked first, the way the
// decoder reads it (bytes past the end read as 0), and data with an oversized table refused.
bool HuffmanTablesFit(std::string_view b) {
    auto get = [&](size_t p) { return p < b.size() ? static_cast<unsigned char>(b[p]) : 0u; };
    for (size_t at = b.find("\xFF\xC4"); at != std::string_view::npos;
         at = b.find("\xFF\xC4", at + 1)) {
        long length = static_cast<long>((get(at + 2) << 8) | get(at + 3)) - 2;
        size_t p = at + 4;
        while (length > 0 && p < b.size()) {
            unsigned n = 0;
            for (size_t i = 0; i < 16; ++i)
                n += get(p + 1 + i);
            if (n > 256)
                return false;
            p += 17 + n;
            length -= 17 + static_cast<long>(n);
        }
    }
    return true;
}

} // namespace

THeadlessPicture::THeadlessPicture(int width, int height, std::vector<uint32_t> pixels)
    : Width_(width), Height_(height), Pixels_(std::move(pixels)) {}

int THeadlessPicture::HimetricWidth() const {
    return MulDiv(Width_, HimetricPerInch, 96);
}

int THeadlessPicture::HimetricHeight() const {
    return MulDiv(Height_, HimetricPerInch, 96);
}

TColor THeadlessPicture::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width_ || y >= Height_)
        return clNone;
    return Pixels_[static_cast<size_t>(y) * Width_ + x] & 0x00FFFFFF;
}

TDecodeResult THeadlessPictureDecoder::Decode(std::string_view bytes,
                                              std::unique_ptr<TDecodedPicture>& out) {
    Decoded.push_back(bytes.size());
    out.reset();
    if (FailWith != TDecodeResult::Ok)
        return FailWith;
    if (bytes.empty() || bytes.size() > 0x7FFFFFFF || !HuffmanTablesFit(bytes))
        return TDecodeResult::InvalidFormat;
    std::optional<std::string> png;
    if (IsPng(bytes) && !(png = WithoutEmptyDataChunks(bytes)))
        return TDecodeResult::InvalidFormat;
    const std::string_view input = png ? std::string_view(*png) : bytes;
    const auto* data = reinterpret_cast<const stbi_uc*>(input.data());
    const int length = static_cast<int>(input.size());
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(data, length, &w, &h, &channels) || w <= 0 || h <= 0 ||
        static_cast<long long>(w) * h > MaxPixels)
        return TDecodeResult::InvalidFormat;
    stbi_uc* rgba = stbi_load_from_memory(data, length, &w, &h, &channels, 4);
    if (!rgba)
        return TDecodeResult::InvalidFormat;
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    std::memcpy(pixels.data(), rgba, pixels.size() * 4); // R, G, B, A bytes: 0xAABBGGRR
    stbi_image_free(rgba);

    // A GIF's first image, cut out of the logical screen stb_image paints it on.
    if (auto box = FirstGifImage(bytes)) {
        const int left = std::min(box->Left, w), top = std::min(box->Top, h);
        const int right = std::min(box->Left + box->Width, w);
        const int bottom = std::min(box->Top + box->Height, h);
        if (right > left && bottom > top) {
            std::vector<uint32_t> cut;
            cut.reserve(static_cast<size_t>(right - left) * (bottom - top));
            for (int y = top; y < bottom; ++y)
                for (int x = left; x < right; ++x)
                    cut.push_back(pixels[static_cast<size_t>(y) * w + x]);
            pixels = std::move(cut);
            w = right - left;
            h = bottom - top;
        }
    }
    out = std::make_unique<THeadlessPicture>(w, h, std::move(pixels));
    return TDecodeResult::Ok;
}

int TSimulatedShellIcons::IndexFor(const std::string& name, bool folder) {
    if (folder)
        return 3;
    const std::string lower = LowerAscii(name);
    auto endsWith = [&](std::string_view s) {
        return lower.size() >= s.size() && lower.compare(lower.size() - s.size(), s.size(), s) == 0;
    };
    if (endsWith(".txt") || lower == "txt")
        return 1;
    if (endsWith(".exe") || lower == "exe")
        return 2;
    return 0;
}

int TSimulatedShellIcons::FileIconIndex(const std::string& name, bool useFileAttributes) {
    Queries.push_back({name, useFileAttributes});
    return IndexFor(name, !useFileAttributes);
}

TSize TSimulatedShellIcons::IconSize(bool large) {
    const int s = large ? LargeSize : SmallSize;
    return {s, s};
}

void TSimulatedShellIcons::DrawIcon(TCanvas& canvas, int index, bool large, int x, int y) {
    Drawn.push_back({index, large, x, y, false});
    canvas.Draw(x, y, large ? static_cast<const TGraphic&>(Large_) : Small_);
}

std::unique_ptr<TGraphic> TSimulatedShellIcons::IconBitmap(int index, bool large) {
    Drawn.push_back({index, large, 0, 0, true});
    return std::make_unique<TIconGraphic>(large ? LargeSize : SmallSize);
}

} // namespace qb
