// The double-byte code pages of the simulated machine: 932 (Shift-JIS) and 950 (Big5).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace qb {

// IsDBCSLeadByte of a simulated code page: never for 1252 and 65001.
bool SimulatedLeadByte(uint8_t byte, uint32_t codePage);

// Kana of 932 convert to their real characters. Every other double-byte pair becomes a
// private-use character of plane 16 (U+10xxxx, xxxx the two bytes) and every other byte above
// 0x7F one of U+F7xx: unlike a real table, but distinct and reversible, which is what paths
// need. A lead byte with nothing after it becomes U+F7xx as well.
std::u16string SimulatedDbcsToUtf16(std::string_view text, uint32_t codePage);
std::string SimulatedDbcsFromUtf16(std::u16string_view text, uint32_t codePage);

} // namespace qb
