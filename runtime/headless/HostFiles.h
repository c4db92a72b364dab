// Files of the machine the tests run on (the repository's resource scripts and bitmaps), as
// opposed to the simulated machine's files.
#pragma once
#include <optional>
#include <string>

namespace qb {

// The whole file, or nothing when it cannot be opened.
std::optional<std::string> ReadHostFile(const std::string& path);

} // namespace qb
