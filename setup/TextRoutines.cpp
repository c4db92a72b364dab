#include "setup/TextRoutines.h"
#include "runtime/CodePage.h"
#include "runtime/Exception.h"
#include "runtime/Platform.h"
#include <cstring>

namespace qb {

std::string ExtractFileName(const std::string& path) {
    const size_t p = FindLastOfChars(path, "\\:");
    return p == std::string::npos ? path : path.substr(p + 1);
}

std::string ExtractFilePath(const std::string& path) {
    const size_t p = FindLastOfChars(path, "\\:");
    return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string FileBaseName(const std::string& path) {
    const std::string name = LowerAscii(ExtractFileName(path));
    // After ExtractFileName there is no backslash left, so this starts at the first character;
    // kept so that a name handed in without its folder behaves the same.
    const size_t slash = FindLastOfChars(name, "\\");
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = FindCharText(name, ".", start);
    return dot == std::string::npos ? name.substr(start) : name.substr(start, dot - start);
}

std::string ProperCase(const std::string& text) {
    std::string result = LowerAscii(text);
    ISystemInfo* system = Platform().System;
    // Any character but an ASCII letter, the digits 1 to 9 and the hyphen starts a word; the
    // second byte of a double-byte character is never changed.
    bool startsWord = true;
    for (size_t i = 0; i < result.size();) {
        const size_t size = CharSizeAt(result, i, system);
        const char c = size == 1 && startsWord ? UpperAscii(result[i]) : result[i];
        result[i] = c;
        startsWord = size == 2 || !(c == '-' || (c >= '1' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                                    (c >= 'a' && c <= 'z'));
        i += size;
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

// Whether the byte at index is a backslash character and not the second byte of a double-byte
// character of the process code page.
bool IsBackslashAt(const std::string& text, size_t index) {
    if (text[index] != '\\')
        return false;
    ISystemInfo* system = Platform().System;
    size_t i = 0;
    while (i < index)
        i += CharSizeAt(text, i, system);
    return i == index;
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
