// Text rewriting shared by the emulated window's measuring, painting and hit testing.
#pragma once
#include "dialogs/TaskDialogNative.h"
#include <cstdint>
#include <string>

namespace qb {

inline std::string ReplaceText(const std::string& text, const std::string& from,
                               const std::string& to) {
    if (from.empty())
        return text;
    std::string result;
    size_t start = 0;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, start)) {
        result.append(text, start, at - start);
        result += to;
        start = at + from.size();
    }
    result.append(text, start, std::string::npos);
    return result;
}

// Backslash-n pairs and line feeds as markup line breaks.
inline std::string NewlinesAsMarkup(const std::string& text) {
    return ReplaceText(ReplaceText(text, "\\n", "<br>"), "\n", "<br>");
}

// Backslash-n pairs as carriage returns, for plain DrawText.
inline std::string EscapedNewlinesAsCr(const std::string& text) {
    return ReplaceText(text, "\\n", "\r");
}

// Which backslash-n pairs of a text break its lines: those the native dialog breaks (the main
// instruction, the content and the footer reach it unescaped), or every one (the expanded text,
// which the native dialog shows as it is).
enum class TEscapes : uint8_t { Native, Every };

// The text as plain DrawText shows it.
inline std::string PlainLines(const std::string& text, TEscapes escapes) {
    return escapes == TEscapes::Native ? UnescapeNewlines(text) : EscapedNewlinesAsCr(text);
}

// The text as the markup renderer gets it.
inline std::string MarkupLines(const std::string& text, TEscapes escapes) {
    return escapes == TEscapes::Native ? ReplaceText(UnescapeNewlines(text), "\n", "<br>")
                                       : NewlinesAsMarkup(text);
}

} // namespace qb
