#include "runtime/win32/WindowsApi.h"

#include "runtime/win32/Win32Registry.h"

namespace qb {

namespace {

// The predefined keys are sign-extended 32-bit values: rebuilt the way the headers build them.
HKEY RootKey(uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

// Closes the key on every way out.
class TOpenKey {
public:
    TOpenKey(uint32_t root, const std::string& key, uint32_t view) {
        const REGSAM access = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | view;
        if (::RegOpenKeyExA(RootKey(root), key.c_str(), 0, access, &Key) != ERROR_SUCCESS)
            Key = nullptr;
    }
    ~TOpenKey() {
        if (Key != nullptr)
            ::RegCloseKey(Key);
    }
    TOpenKey(const TOpenKey&) = delete;
    TOpenKey& operator=(const TOpenKey&) = delete;
    HKEY Key = nullptr;
};

// A text with its %variables% replaced from the process's environment.
std::string ExpandEnvironment(const std::string& text) {
    std::string result(text.size() + 1, '\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD needed = ::ExpandEnvironmentStringsA(text.c_str(), result.data(),
                                                         static_cast<DWORD>(result.size()));
        if (needed == 0)
            return text;
        if (needed <= result.size()) {
            result.resize(needed - 1);
            return result;
        }
        result.assign(needed, '\0');
    }
    return text;
}

} // namespace

std::optional<std::string> Win32Registry::ReadString(uint32_t root, const std::string& key,
                                                     const std::string& name, uint32_t view) {
    TOpenKey open(root, key, view);
    if (open.Key == nullptr)
        return std::nullopt;
    DWORD type = 0, size = 0;
    if (::RegQueryValueExA(open.Key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::string data;
    LONG status = ERROR_MORE_DATA;
    // The value may grow between the calls: ask again while it does not fit.
    for (int attempt = 0; status == ERROR_MORE_DATA && attempt < 4; ++attempt) {
        data.assign(size + 1, '\0');
        size = static_cast<DWORD>(data.size());
        status = ::RegQueryValueExA(open.Key, name.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(data.data()), &size);
    }
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    data.resize(size);
    // A stored string need not end in a NUL, and may carry more than one.
    const size_t nul = data.find('\0');
    if (nul != std::string::npos)
        data.resize(nul);
    return type == REG_EXPAND_SZ ? ExpandEnvironment(data) : data;
}

std::vector<std::string> Win32Registry::SubKeys(uint32_t root, const std::string& key,
                                                uint32_t view) {
    std::vector<std::string> names;
    TOpenKey open(root, key, view);
    if (open.Key == nullptr)
        return names;
    // Key names are at most 255 characters, up to three bytes each in UTF-8.
    char name[1024];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        const LONG status =
            ::RegEnumKeyExA(open.Key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

} // namespace qb
