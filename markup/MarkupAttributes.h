// Reading tag attributes: names found by plain substring search, values between the first
// double quote after the name and the next one.
#pragma once
#include "runtime/AsciiCase.h"
#include "runtime/Types.h"
#include <cstddef>
#include <string>
#include <string_view>

namespace qb::markup {

bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// The text between the first double quote at or after `from` and the next one; empty when
// there are not two.
std::string_view QuotedValue(std::string_view text, size_t from);
// The value of the first occurrence of `name`; empty when the name or a quote is missing.
std::string_view AttributeValue(std::string_view text, std::string_view name);
bool HasAttribute(std::string_view text, std::string_view name);
// The quoted value after the first of two letters (in either case), searched from the tag's
// third character: the "x" of IN... and OF..., the "a" of R....
std::string_view ValueAfterLetter(std::string_view tag, char letter);

// "#RRGGBB" or a colour name in any case; unknown names give black.
TColor ColorValue(std::string_view value);

} // namespace qb::markup
