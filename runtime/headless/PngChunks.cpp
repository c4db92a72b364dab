#include "runtime/headless/PngChunks.h"

namespace qb {

namespace {

constexpr size_t ChunkFrame = 12; // length, type and CRC around the data

uint32_t Be32(std::string_view b, size_t p) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i)
        v = (v << 8) | static_cast<unsigned char>(b[p + i]);
    return v;
}

} // namespace

std::optional<std::string> WithoutEmptyDataChunks(std::string_view png) {
    std::string kept(png.substr(0, PngSignature.size()));
    size_t p = PngSignature.size();
    bool hasData = false;
    while (p + ChunkFrame <= png.size()) {
        const uint64_t length = Be32(png, p);
        const std::string_view type = png.substr(p + 4, 4);
        if (length > png.size() - p - ChunkFrame)
            break; // runs past the end: the decoder reads what is left as it stands
        const size_t size = ChunkFrame + static_cast<size_t>(length);
        if (type == "IDAT") {
            if (length == 0) {
                p += size;
                continue;
            }
            hasData = true;
        }
        kept.append(png.substr(p, size));
        p += size;
        if (type == "IEND")
            break;
    }
    if (!hasData)
        return std::nullopt;
    kept.append(png.substr(p));
    return kept;
}

} // namespace qb
