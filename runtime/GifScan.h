// A walk over a GIF's blocks without decoding them, for checks made before bytes reach a
// system decoder and for finding the frames of an animation.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace qb {

// Whether the system's picture loader takes the bytes for a GIF: it looks at "GIF" only and
// ignores the version digits that follow.
bool IsGif(std::string_view bytes);

// One image of a GIF, as its image descriptor gives it.
struct TGifImage {
    size_t Start = 0; // its graphic control extension, or the descriptor when it has none
    uint16_t Left = 0;
    uint16_t Top = 0;
    uint16_t Width = 0;
    uint16_t Height = 0;
    bool LocalColours = false;
};

struct TGifLayout {
    uint16_t ScreenWidth = 0;
    uint16_t ScreenHeight = 0;
    bool GlobalColours = false;
    // Every image whose descriptor lies whole inside the data, in order; the walk stops at the
    // trailer, at a block it does not know and where the data ends.
    std::vector<TGifImage> Images;
};

// The blocks of a GIF walked from its header; no images for data that is not a GIF.
TGifLayout ScanGif(std::string_view bytes);

// Whether every image of a GIF has colours to be drawn with: a global colour table, or a local
// one on each image, and at least one image. Wine's system decoder reads through a missing
// colour table and crashes the program, so such a GIF is refused before it gets there (the
// headless decoder refuses it as well).
bool GifHasColourTables(std::string_view bytes);

} // namespace qb
