#include "runtime/headless/SimulatedRegistry.h"
#include "runtime/AsciiCase.h"
#include "runtime/WinConst.h"

namespace qb {

namespace {

constexpr std::string_view Software = "software";

// Separators folded, none at either end.
std::string Normalised(const std::string& key) {
    std::string result;
    for (const char c : key) {
        const char folded = c == '/' ? '\\' : c;
        if (folded == '\\' && (result.empty() || result.back() == '\\'))
            continue;
        result += folded;
    }
    while (!result.empty() && result.back() == '\\')
        result.pop_back();
    return result;
}

bool UnderSoftware(const std::string& path) {
    const std::string lowered = LowerAscii(path.substr(0, Software.size() + 1));
    return lowered.compare(0, Software.size(), Software) == 0 &&
           (lowered.size() == Software.size() || lowered[Software.size()] == '\\');
}

} // namespace

std::string TSimulatedRegistry::StoredPath(TRegistryViews views, uint32_t root,
                                           const std::string& key, uint32_t view) {
    std::string path = Normalised(key);
    const bool wants32 = (view & win::KEY_WOW64_32KEY) != 0 ||
                         ((view & win::KEY_WOW64_64KEY) == 0 && !views.Process64);
    // Only HKLM\Software has two views, and only on a 64-bit system.
    if (views.System64 && wants32 && root == win::HKEY_LOCAL_MACHINE && UnderSoftware(path))
        path.insert(Software.size(), "\\Wow6432Node");
    return std::to_string(root) + "\\" + path;
}

void TSimulatedRegistry::SetValue(TRegistryViews views, uint32_t root, const std::string& key,
                                  const std::string& name, const std::string& value,
                                  uint32_t view) {
    const std::string stored = StoredPath(views, root, key, view);
    size_t start = 0;
    for (;;) {
        const size_t end = stored.find('\\', start);
        TKey& made = Keys[LowerAscii(stored.substr(0, end))];
        if (made.Name.empty())
            made.Name = stored.substr(start, end - start);
        if (end == std::string::npos) {
            made.Values[LowerAscii(name)] = value;
            return;
        }
        start = end + 1;
    }
}

std::optional<std::string> TSimulatedRegistry::Read(TRegistryViews views, uint32_t root,
                                                    const std::string& key, const std::string& name,
                                                    uint32_t view) const {
    const auto found = Keys.find(LowerAscii(StoredPath(views, root, key, view)));
    if (found == Keys.end())
        return std::nullopt;
    const auto value = found->second.Values.find(LowerAscii(name));
    if (value == found->second.Values.end())
        return std::nullopt;
    return value->second;
}

std::vector<std::string> TSimulatedRegistry::SubKeys(TRegistryViews views, uint32_t root,
                                                     const std::string& key, uint32_t view) const {
    const std::string prefix = LowerAscii(StoredPath(views, root, key, view)) + "\\";
    std::vector<std::string> names;
    for (auto it = Keys.lower_bound(prefix);
         it != Keys.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
        if (it->first.find('\\', prefix.size()) == std::string::npos)
            names.push_back(it->second.Name);
    }
    return names;
}

} // namespace qb
