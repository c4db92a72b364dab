#include "setup/TextRoutines.h"
#include "runtime/Exception.h"
#include "runtime/Platform.h"
#include <cstring>

namespace qb {

std::string ExtractFileName(const std::string& path) {
    const size_t p = path.find_last_of("\\:");
    return p == std::string::npos ? path : path.substr(p + 1);
}

std::string ExtractFilePath(const std::string& path) {
    const size_t p = path.find_last_of("\\:");
    return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string FileBaseName(const std::string& path) {
    const std::string name = LowerAscii(ExtractFileName(path));
    // After ExtractFileName there is no backslash left, so this starts at the first character;
    // kept so that a name handed in without its folder behaves the same.
    const size_t start = static_cast<size_t>(LastPos("\\", name)); // 1-based: index after it
    const size_t dot = name.find('.', start);
    return dot == std::string::npos ? name.substr(start) : name.substr(start, dot - start);
}

std::string ProperCase(const std::string& text) {
    std::string result = LowerAscii(text);
    if (result.empty())
        return result;
    result[0] = UpperAscii(result[0]);
    for (size_t i = 1; i < result.size(); ++i) {
        const char before = result[i - 1];
        // The digit 0 ends a word, 1 to 9 and the hyphen continue it.
        const bool continuesWord = before == '-' || (before >= '1' && before <= '9') ||
                                   (before >= 'A' && before <= 'Z') ||
                                   (before >= 'a' && before <= 'z');
        if (!continuesWord)
            result[i] = UpperAscii(result[i]);
    }
    return result;
}

int LastPos(const std::string& sub, const std::string& text) {
    if (sub.empty() || text.empty() || text.size() < sub.size())
        return 0;
    for (size_t start = text.size() - sub.size() + 1; start >= 1; --start) {
        if (std::memcmp(text.data() + start - 1, sub.data(), sub.size()) == 0)
            return static_cast<int>(start);
    }
    return 0;
}

namespace {

// Whether the byte at index is a backslash character and not the trail byte of a double-byte
// character of the system code page.
bool IsBackslashAt(const std::string& text, size_t index) {
    if (text[index] != '\\')
        return false;
    ISystemInfo* system = Platform().System;
    if (system == nullptr)
        return true;
    size_t i = 0;
    while (i < index) {
        const bool lead = system->IsDbcsLeadByte(static_cast<uint8_t>(text[i]));
        if (lead && i + 1 == index)
            return false;
        i += lead ? 2 : 1;
    }
    return true;
}

} // namespace

std::string WithTrailingBackslash(const std::string& path) {
    if (path.empty())
        return path;
    std::string result = path;
    if (!IsBackslashAt(result, result.size() - 1))
        result += '\\';
    while (result.size() >= 2 && IsBackslashAt(result, result.size() - 2))
        result.pop_back();
    return result;
}

bool IsWow64() {
    ISystemInfo& system = *Platform().System;
    // A 64-bit process runs on a 64-bit system, though IsWow64Process says no for it.
    if (system.ProcessIs64Bit())
        return true;
    switch (system.IsWow64Process()) {
    case TWow64Answer::NoFunction:
    case TWow64Answer::No:
        return false;
    case TWow64Answer::Yes:
        return true;
    case TWow64Answer::Failed:
        break;
    }
    throw Exception("Bad process handle");
}

} // namespace qb
