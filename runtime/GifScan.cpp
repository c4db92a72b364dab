#include "runtime/GifScan.h"
#include <cstddef>
#include <cstdint>

namespace qb {

namespace {

constexpr uint8_t ColourTableFlag = 0x80;

uint8_t At(std::string_view b, size_t p) {
    return static_cast<uint8_t>(b[p]);
}

size_t ColourTableSize(uint8_t flags) {
    return 3 * (size_t{1} << ((flags & 7) + 1));
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
    return bytes.size() >= 6 && bytes.substr(0, 4) == "GIF8";
}

bool GifHasColourTables(std::string_view b) {
    constexpr size_t HeaderSize = 13;
    constexpr size_t DescriptorSize = 10;
    if (!IsGif(b) || b.size() < HeaderSize)
        return false;
    if (At(b, 10) & ColourTableFlag)
        return true;
    bool images = false;
    size_t p = HeaderSize;
    while (p < b.size()) {
        const uint8_t kind = At(b, p);
        if (kind == 0x21) { // extension: label, then sub-blocks
            p += 2;
            if (!SkipSubBlocks(b, p))
                break;
        } else if (kind == 0x2C) { // image: descriptor, local table, code size, sub-blocks
            if (p + DescriptorSize > b.size())
                break;
            const uint8_t flags = At(b, p + 9);
            if (!(flags & ColourTableFlag))
                return false;
            images = true;
            p += DescriptorSize + ColourTableSize(flags) + 1;
            if (!SkipSubBlocks(b, p))
                break;
        } else {
            break; // the trailer, or bytes no decoder reads further
        }
    }
    return images;
}

} // namespace qb
