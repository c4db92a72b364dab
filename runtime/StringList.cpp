#include "runtime/StringList.h"

namespace qb {

std::string TStringList::Text() const {
    std::string text;
    for (const std::string& line : Lines_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void TStringList::SetText(std::string_view text) {
    Lines_.clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos) {
            Lines_.emplace_back(text.substr(start));
            break;
        }
        size_t stop = lf;
        if (stop > start && text[stop - 1] == '\r')
            --stop;
        Lines_.emplace_back(text.substr(start, stop - start));
        start = lf + 1;
    }
}

int TStringList::Add(const std::string& line) {
    Lines_.push_back(line);
    return Count() - 1;
}

int TStringList::IndexOf(const std::string& line) const {
    for (size_t i = 0; i < Lines_.size(); ++i)
        if (Lines_[i] == line)
            return static_cast<int>(i);
    return -1;
}

} // namespace qb
