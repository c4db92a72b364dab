// Case rules of names, tags and paths: ASCII only. Bytes outside A-Z and a-z stay as they are,
// and so does the second byte of a double-byte character of the code page, which can look like
// a letter (katakana A is 0x83 0x41 in code page 932): case is never changed half-way into one.
#pragma once
#include <string>
#include <string_view>

namespace qb {

class ISystemInfo;

// One byte whose place in its text is known not to be the second half of a character.
constexpr char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Texts in the code page that `system` speaks (lead bytes from its IsDbcsLeadByte).
std::string LowerAscii(std::string_view text, ISystemInfo* system);
std::string UpperAscii(std::string_view text, ISystemInfo* system);

// Texts in the process code page (Platform().System; single-byte when none is set).
std::string LowerAscii(std::string_view text);
std::string UpperAscii(std::string_view text);
bool SameTextAscii(std::string_view a, std::string_view b);

} // namespace qb
