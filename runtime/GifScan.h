// A walk over a GIF's blocks without decoding them, for checks made before bytes reach a
// system decoder.
#pragma once
#include <string_view>

namespace qb {

// Whether the bytes start like a GIF.
bool IsGif(std::string_view bytes);

// Whether every image of a GIF has colours to be drawn with: a global colour table, or a local
// one on each image, and at least one image. Wine's system decoder reads through a missing
// colour table and crashes the program, so such a GIF is refused before it gets there (the
// headless decoder refuses it as well).
bool GifHasColourTables(std::string_view bytes);

} // namespace qb
