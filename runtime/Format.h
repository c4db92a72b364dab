// Printf-like formatting for the message facade, with a checked argument list.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <variant>

namespace qb {

using TFormatArg = std::variant<std::string, int64_t>;

// Directives: %s, %d, %u, %x, %X and %%, each with an optional width ("%5d", "%-8s").
// A directive without an argument, or an unknown directive, raises qb::Exception.
std::string Format(const std::string& templ, std::initializer_list<TFormatArg> args);

// The digits of value in base 10 or 16 (lower or upper case letters), padded with zeros to at
// least minDigits. The C library's formatter is not linked for this: it is large.
std::string Digits(uint64_t value, unsigned base = 10, bool upper = false, int minDigits = 1);

} // namespace qb
