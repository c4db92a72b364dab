// The two entity sets of the markup language: whole-text entities, replaced once before
// layout, and run entities, replaced in each run after it was cut off.
#pragma once
#include <string>
#include <string_view>

namespace qb {

// Replaces "&amp;", "&quot;", "&sect;", "&permil;", "&reg;", "&copy;", "&para;", "&trade;" and
// "&euro;" in any letter case, in one left-to-right scan; the characters come out in the process
// code page. "&amp;" becomes "&&", which prefix drawing shows as one "&", or a single "&" when
// the text is drawn without prefixes. The result is the fixed point of repeatedly replacing the
// first occurrence of each: matches never overlap, and the "&" that "&amp;" leaves behind may
// start another entity with the text after.
std::string ReplaceWholeTextEntities(std::string_view text, bool prefixes = true);

// Replaces "&nbsp;", then "&lt;", then "&gt;" in a run while the lower-case form is still in
// it, each time at the first occurrence in any case: so every occurrence up to the last
// lower-case one is replaced, and upper-case ones after it stay. Returns false (and leaves
// `out` untouched) when the run holds no "&".
bool ReplaceRunEntities(std::string_view run, std::string& out);

} // namespace qb
