// PNG data as the test backend's decoder may see it. stb_image copies each image-data chunk into
// a buffer it allocates on the first non-empty one, so an empty chunk before that copies from a
// null pointer; libpng and the Windows decoders simply skip empty data chunks.
#pragma once
#include "runtime/Picture.h"
#include <optional>
#include <string>
#include <string_view>

namespace qb {

// The PNG without its empty IDAT chunks (bytes after a chunk that runs past the end are kept as
// they are), or nothing when no IDAT chunk carries data: such a PNG has no image.
std::optional<std::string> WithoutEmptyDataChunks(std::string_view png);

} // namespace qb
