// Other programs' registry records through advapi32's A functions (texts in the process code
// page), read only.
#pragma once
#include "runtime/Registry.h"

namespace qb {

class Win32Registry : public IRegistry {
public:
    std::optional<std::string> ReadString(uint32_t root, const std::string& key,
                                          const std::string& name, uint32_t view) override;
    std::vector<std::string> SubKeys(uint32_t root, const std::string& key, uint32_t view) override;
};

} // namespace qb
