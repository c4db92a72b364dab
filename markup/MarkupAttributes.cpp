#include "markup/MarkupAttributes.h"
#include "markup/MarkupSupport.h"

namespace qb::markup {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && PosNoCase(prefix, text.substr(0, prefix.size())) == 1;
}

std::string_view QuotedValue(std::string_view text, size_t from) {
    size_t open = text.find('"', from);
    if (open == std::string_view::npos)
        return {};
    size_t close = text.find('"', open + 1);
    if (close == std::string_view::npos)
        return {};
    return text.substr(open + 1, close - open - 1);
}

std::string_view AttributeValue(std::string_view text, std::string_view name) {
    size_t p = text.find(name);
    if (p == std::string_view::npos)
        return {};
    return QuotedValue(text, p + name.size());
}

bool HasAttribute(std::string_view text, std::string_view name) {
    return text.find(name) != std::string_view::npos;
}

std::string_view ValueAfterLetter(std::string_view tag, char letter) {
    if (tag.size() <= 2)
        return {};
    const char both[] = {static_cast<char>(letter | 0x20), static_cast<char>(letter & ~0x20), 0};
    size_t p = tag.find_first_of(both, 2);
    if (p == std::string_view::npos)
        return {};
    return QuotedValue(tag, p + 1);
}

TColor ColorValue(std::string_view value) {
    if (!value.empty() && value[0] == '#')
        return MarkupHexColor(value);
    return MarkupColorByName(LowerAscii(value));
}

} // namespace qb::markup
