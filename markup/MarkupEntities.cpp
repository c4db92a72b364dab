#include "markup/MarkupEntities.h"
#include "runtime/AsciiCase.h"
#include "runtime/CodePage.h"
#include <cstddef>

namespace qb {

namespace {

struct TEntity {
    std::string_view Name; // without the leading "&"
    char16_t Character;    // 0: the replacement is the fixed text below
    std::string_view Fixed;
};

// The characters are looked up in the process code page: single bytes under 1252, UTF-8
// sequences under 65001.
constexpr TEntity WholeTextEntities[] = {
    {"amp;", 0, "&&"},       {"quot;", 0, "\""},     {"sect;", 0x00A7, {}},
    {"permil;", 0x2030, {}}, {"reg;", 0x00AE, {}},   {"copy;", 0x00A9, {}},
    {"para;", 0x00B6, {}},   {"trade;", 0x2122, {}}, {"euro;", 0x20AC, {}},
};

void AppendReplacement(std::string& out, const TEntity& e) {
    if (e.Character == 0)
        out += e.Fixed;
    else
        out += CodePageChar(e.Character);
}

bool MatchesNoCase(std::string_view text, size_t at, std::string_view lowerName) {
    if (text.size() - at < lowerName.size())
        return false;
    for (size_t i = 0; i < lowerName.size(); ++i)
        if (LowerAscii(text[at + i]) != lowerName[i])
            return false;
    return true;
}

// The entity whose name (after "&") starts at `at`, or nullptr.
const TEntity* EntityAt(std::string_view text, size_t at) {
    for (const TEntity& e : WholeTextEntities)
        if (MatchesNoCase(text, at, e.Name))
            return &e;
    return nullptr;
}

} // namespace

std::string ReplaceWholeTextEntities(std::string_view text, bool prefixes) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '&') {
            size_t next = text.find('&', i);
            if (next == std::string_view::npos)
                next = text.size();
            out.append(text, i, next - i);
            i = next;
            continue;
        }
        // An "&" at i: look at the name after it. Each "&amp;" leaves an "&" that is examined
        // again with the text that follows (and, for prefix drawing, one more before it).
        size_t at = i + 1;
        const TEntity* e = EntityAt(text, at);
        if (!e) {
            out += '&';
            i = at;
            continue;
        }
        while (e && e->Name == "amp;") {
            if (prefixes)
                out += '&';
            at += e->Name.size();
            e = EntityAt(text, at);
        }
        if (e) {
            AppendReplacement(out, *e);
            at += e->Name.size();
        } else {
            out += '&';
        }
        i = at;
    }
    return out;
}

bool ReplaceRunEntities(std::string_view run, std::string& out) {
    if (run.find('&') == std::string_view::npos)
        return false;
    static constexpr std::string_view Names[] = {"&nbsp;", "&lt;", "&gt;"};
    static constexpr char Replacements[] = {' ', '<', '>'};
    std::string current(run);
    for (size_t k = 0; k < 3; ++k) {
        const std::string_view name = Names[k];
        size_t lastLower = current.rfind(name);
        if (lastLower == std::string::npos)
            continue;
        // Occurrences cannot overlap (one "&" each), and a replacement never forms a new one.
        std::string next;
        next.reserve(current.size());
        size_t i = 0;
        while (i < current.size()) {
            if (i <= lastLower && current[i] == '&' && MatchesNoCase(current, i, name)) {
                next += Replacements[k];
                i += name.size();
            } else {
                next += current[i++];
            }
        }
        current.swap(next);
    }
    out.swap(current);
    return true;
}

} // namespace qb
