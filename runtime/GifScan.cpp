#include "runtime/GifScan.h"
#include <algorithm>

namespace qb {

namespace {

constexpr size_t HeaderSize = 13;
constexpr size_t DescriptorSize = 10;
constexpr uint8_t ColourTableFlag = 0x80;
constexpr uint8_t ExtensionIntroducer = 0x21;
constexpr uint8_t GraphicControlLabel = 0xF9;
constexpr uint8_t ImageSeparator = 0x2C;

uint8_t At(std::string_view b, size_t p) {
    return static_cast<uint8_t>(b[p]);
}

uint16_t Le16(std::string_view b, size_t p) {
    return static_cast<uint16_t>(At(b, p) | (At(b, p + 1) << 8));
}

size_t ColourTableSize(uint8_t flags) {
    return (flags & ColourTableFlag) ? 3 * (size_t{1} << ((flags & 7) + 1)) : 0;
}

// Steps over a chain of data sub-blocks ending in an empty one; false when the data ends first.
bool SkipSubBlocks(std::string_view b, size_t& p) {
    while (p < b.size()) {
        const uint8_t size = At(b, p++);
        if (size == 0)
            return true;
        p += size;
    }
    return false;
}

} // namespace

bool IsGif(std::string_view bytes) {
    return bytes.substr(0, 3) == "GIF";
}

TGifLayout ScanGif(std::string_view b) {
    TGifLayout layout;
    if (!IsGif(b) || b.size() < HeaderSize)
        return layout;
    layout.ScreenWidth = Le16(b, 6);
    layout.ScreenHeight = Le16(b, 8);
    layout.GlobalColours = (At(b, 10) & ColourTableFlag) != 0;
    size_t p = HeaderSize + ColourTableSize(At(b, 10));
    size_t control = 0; // the graphic control extension waiting for its image, 0 when none
    while (p < b.size()) {
        const uint8_t kind = At(b, p);
        if (kind == ExtensionIntroducer) { // label, then sub-blocks
            if (p + 1 < b.size() && At(b, p + 1) == GraphicControlLabel)
                control = p;
            p += 2;
            if (!SkipSubBlocks(b, p))
                break;
        } else if (kind == ImageSeparator) { // descriptor, local table, code size, sub-blocks
            if (p + DescriptorSize > b.size())
                break;
            const uint8_t flags = At(b, p + 9);
            layout.Images.push_back({control != 0 ? control : p, Le16(b, p + 1), Le16(b, p + 3),
                                     Le16(b, p + 5), Le16(b, p + 7),
                                     (flags & ColourTableFlag) != 0});
            control = 0;
            p += DescriptorSize + ColourTableSize(flags) + 1;
            if (!SkipSubBlocks(b, p))
                break;
        } else {
            break; // the trailer, or bytes no decoder reads further
        }
    }
    return layout;
}

bool GifHasColourTables(std::string_view b) {
    // A global table serves every image: the blocks need no walk.
    if (IsGif(b) && b.size() >= HeaderSize && (At(b, 10) & ColourTableFlag))
        return true;
    const TGifLayout layout = ScanGif(b);
    return !layout.Images.empty() &&
           std::all_of(layout.Images.begin(), layout.Images.end(),
                       [](const TGifImage& image) { return image.LocalColours; });
}

} // namespace qb
