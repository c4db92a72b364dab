#include "runtime/headless/HeadlessPictures.h"
#include "runtime/AsciiCase.h"
#include "runtime/GifScan.h"
#include "runtime/MulDiv.h"
#include "runtime/Platform.h"
#include "runtime/WinConst.h"
#include "runtime/Windowing.h"
#include "runtime/headless/PngChunks.h"
#include <algorithm>
#include <cstring>

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

// stb_image reads only the versions "87a" and "89a", where the system's loader takes any data
// starting "GIF": other versions are read as "89a".
std::string_view AsKnownGifVersion(std::string_view bytes, std::string& copy) {
    if (!IsGif(bytes) || bytes.size() < 6 || bytes.substr(3, 3) == "87a" ||
        bytes.substr(3, 3) == "89a")
        return bytes;
    copy.assign(bytes);
    copy.replace(3, 3, "89a");
    return copy;
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
    if (IsGif(bytes) && !GifHasColourTables(bytes))
        return TDecodeResult::InvalidFormat;
    std::string known;
    bytes = AsKnownGifVersion(bytes, known);
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
    if (const TGifLayout gif = ScanGif(bytes); !gif.Images.empty()) {
        const TGifImage& box = gif.Images.front();
        const int left = std::min<int>(box.Left, w), top = std::min<int>(box.Top, h);
        const int right = std::min(box.Left + box.Width, w);
        const int bottom = std::min(box.Top + box.Height, h);
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

int TSimulatedShellIcons::SizeAt(bool large, int pixelsPerInch) {
    return MulDiv(large ? LargeSize : SmallSize, pixelsPerInch, 96);
}

int TSimulatedShellIcons::FileIconIndex(const std::string& name, bool useFileAttributes) {
    Queries.push_back({name, useFileAttributes});
    if (useFileAttributes)
        return IndexFor(name, false);
    // Without the flag the shell looks at the path itself, and fails when nothing is there.
    IFileSystem* files = Platform().Files;
    const uint32_t attributes =
        files ? files->GetFileAttributes(name) : win::INVALID_FILE_ATTRIBUTES;
    if (attributes == win::INVALID_FILE_ATTRIBUTES)
        return 0;
    return (attributes & win::FILE_ATTRIBUTE_DIRECTORY) ? IndexFor(name, true) : OwnIconIndex;
}

TSize TSimulatedShellIcons::IconSize(bool large) {
    IWindowing* screen = Platform().Windowing;
    const int side = SizeAt(large, screen ? screen->ScreenPixelsPerInch() : 96);
    return {side, side};
}

void TSimulatedShellIcons::DrawIcon(TCanvas& canvas, int index, bool large, int x, int y) {
    Drawn.push_back({index, large, x, y, false});
    TIconGraphic& icon = large ? Large_ : Small_;
    icon.Size = IconSize(large).Width;
    canvas.Draw(x, y, icon);
}

std::unique_ptr<TGraphic> TSimulatedShellIcons::IconBitmap(int index, bool large) {
    Drawn.push_back({index, large, 0, 0, true});
    auto bitmap = std::make_unique<TIconGraphic>();
    bitmap->Size = IconSize(large).Width;
    return bitmap;
}

} // namespace qb
