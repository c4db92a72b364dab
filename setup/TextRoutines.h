// Text and path routines of the link setup. Case changes are ASCII-only (runtime/AsciiCase.h).
#pragma once
#include "runtime/AsciiCase.h"
#include <string>

namespace qb {

// Everything after the last backslash or colon (the whole path when it has neither).
std::string ExtractFileName(const std::string& path);
// Everything up to and including the last backslash or colon (empty when it has neither).
std::string ExtractFilePath(const std::string& path);

// The file name without folder and extension, lower-cased; the extension starts at the first dot.
std::string FileBaseName(const std::string& path);
// Lower-cases the text and upper-cases the first letter of each word.
std::string ProperCase(const std::string& text);
// 1-based position of the last occurrence of sub in text, 0 when there is none.
int LastPos(const std::string& sub, const std::string& text);
// The path ending in exactly one backslash; empty for an empty path.
std::string WithTrailingBackslash(const std::string& path);
// True when the system is 64-bit. Raises qb::Exception "Bad process handle" when the system
// cannot answer for this process.
bool IsWow64();

} // namespace qb
