// Strings of the program's string table (resources/strings.rc), loaded each time they are used so
// that a translated table changes them.
#pragma once
#include <string>

namespace qb {

// Empty when the platform is not set or the table has no such string.
std::string LoadStr(unsigned id);

} // namespace qb
