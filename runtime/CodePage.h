// Text in the process's ANSI code page: where its characters start, and the few conversions
// that portable code and the simulated machine need without asking Windows.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qb {

class ISystemInfo;

inline constexpr uint32_t CpWestern = 1252;
inline constexpr uint32_t CpUtf8 = 65001;

// True when the byte starts a double-byte character in the code page `system` speaks. ASCII
// bytes never do; without a system every code page counts as single-byte.
bool IsLeadByte(char byte, ISystemInfo* system);
// Bytes of the character that starts at `at`: 2 for a lead byte with a byte after it, else 1.
size_t CharSizeAt(std::string_view text, size_t at, ISystemInfo* system);

// Searches that only match whole characters, so that the second byte of a double-byte
// character (0x40-0x7E in code pages 932, 936, 949 and 950) is never taken for a backslash,
// a letter or a colon. The process code page (Platform().System) is used.
size_t FindLastOfChars(std::string_view text, std::string_view asciiSet);
size_t FindCharText(std::string_view text, std::string_view asciiText, size_t from = 0);

// Appends a code point as UTF-16, with a surrogate pair above the basic plane.
void AppendUtf16(std::u16string& out, char32_t cp);

// One character in the process code page ("?" when it has none); code page 1252 when no
// platform is set.
std::string CodePageChar(char16_t ch);

// Conversions the portable code can do itself. Invalid UTF-8 gives U+FFFD per bad byte, an
// unpaired surrogate gives U+FFFD in UTF-8, and a character 1252 lacks gives '?', as Windows'
// converters do by default.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Cp1252ToUtf16(std::string_view text);
std::string Utf16ToCp1252(std::u16string_view text);

} // namespace qb
