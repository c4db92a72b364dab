// The registry of the simulated machine: keys with string values, and the two views of
// HKLM\Software that a 64-bit system keeps, the 32-bit one stored under Software\Wow6432Node
// as Windows stores it.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qb {

// Which views a process has: whether the system keeps two, and which one the process opens
// by default.
struct TRegistryViews {
    bool System64 = true;
    bool Process64 = true;
};

class TSimulatedRegistry {
public:
    // Writes a value (making its key and every key above it) where a process with these views
    // would, with `view` 0 or a win::KEY_WOW64_* flag.
    void SetValue(TRegistryViews views, uint32_t root, const std::string& key,
                  const std::string& name, const std::string& value, uint32_t view);
    std::optional<std::string> Read(TRegistryViews views, uint32_t root, const std::string& key,
                                    const std::string& name, uint32_t view) const;
    // Subkey names as written, in the order of their lower-cased names.
    std::vector<std::string> SubKeys(TRegistryViews views, uint32_t root, const std::string& key,
                                     uint32_t view) const;

private:
    struct TKey {
        std::string Name;                          // last component as first written
        std::map<std::string, std::string> Values; // by lower-cased name
    };
    // Root and path of the key as Windows stores it, views resolved, as written.
    static std::string StoredPath(TRegistryViews views, uint32_t root, const std::string& key,
                                  uint32_t view);
    std::map<std::string, TKey> Keys; // by lower-cased stored path
};

} // namespace qb
