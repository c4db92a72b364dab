// Text rewriting shared by the emulated window's measuring, painting and hit testing.
#pragma once
#include "runtime/AsciiCase.h"
#include <string>

namespace qb {

inline std::string ReplaceText(std::string text, const std::string& from, const std::string& to,
                               bool ignoreCase = false) {
    if (from.empty())
        return text;
    std::string haystack = ignoreCase ? LowerAscii(text) : text;
    std::string needle = ignoreCase ? LowerAscii(from) : from;
    std::string result;
    size_t start = 0;
    for (size_t at = haystack.find(needle); at != std::string::npos;
         at = haystack.find(needle, start)) {
        result.append(text, start, at - start);
        result += to;
        start = at + from.size();
    }
    result.append(text, start, std::string::npos);
    return result;
}

// Backslash-n pairs and line feeds as markup line breaks.
inline std::string NewlinesAsMarkup(const std::string& text, bool ignoreCase = false) {
    return ReplaceText(ReplaceText(text, "\\n", "<br>", ignoreCase), "\n", "<br>");
}

// Backslash-n pairs as carriage returns, for plain DrawText.
inline std::string EscapedNewlinesAsCr(const std::string& text) {
    return ReplaceText(text, "\\n", "\r");
}

} // namespace qb
