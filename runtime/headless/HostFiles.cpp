#include "runtime/headless/HostFiles.h"
#include <fstream>
#include <sstream>

namespace qb {

std::optional<std::string> ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream data;
    data << in.rdbuf();
    return data.str();
}

} // namespace qb
