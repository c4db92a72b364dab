// Reading what other programs recorded in the registry (where they are installed). Nothing is
// ever written: the program keeps no settings of its own.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qb {

class IRegistry {
public:
    virtual ~IRegistry() = default;
    // A string value (REG_SZ, or REG_EXPAND_SZ with its variables expanded) of a key under
    // win::HKEY_CURRENT_USER or win::HKEY_LOCAL_MACHINE, opened in `view` (0 for the process's
    // own, win::KEY_WOW64_32KEY or win::KEY_WOW64_64KEY); nothing when the key or the value is
    // missing or is no string. An empty name reads the key's default value.
    virtual std::optional<std::string> ReadString(uint32_t root, const std::string& key,
                                                  const std::string& name, uint32_t view) = 0;
    // The names of a key's subkeys in the registry's order; empty when the key is missing.
    virtual std::vector<std::string> SubKeys(uint32_t root, const std::string& key,
                                             uint32_t view) = 0;
};

} // namespace qb
