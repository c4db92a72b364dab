// Text between the process code page, which every std::string is in, and the wide calls of
// Windows, which carry every character whole (GDI's A functions read text in the system's code
// page even where the manifest made UTF-8 the process code page).
#pragma once
#include <string>
#include <string_view>

namespace qb {

std::wstring WideText(std::string_view text);
std::string NarrowText(std::wstring_view text);

} // namespace qb
