// A list of text lines, read and written whole through Text.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace qb {

class TStringList {
public:
    // Every line followed by CR LF.
    std::string Text() const;
    // Splits at LF and at CR LF; a final line break does not start another line.
    void SetText(std::string_view text);

    int Count() const { return static_cast<int>(Lines_.size()); }
    bool Empty() const { return Lines_.empty(); }
    // Index must be in 0..Count()-1.
    const std::string& operator[](int index) const { return Lines_.at(static_cast<size_t>(index)); }
    std::string& operator[](int index) { return Lines_.at(static_cast<size_t>(index)); }
    // Returns the index of the new line.
    int Add(const std::string& line);
    void Clear() { Lines_.clear(); }
    // Exact comparison; -1 when absent.
    int IndexOf(const std::string& line) const;

    std::vector<std::string>::const_iterator begin() const { return Lines_.begin(); }
    std::vector<std::string>::const_iterator end() const { return Lines_.end(); }

private:
    std::vector<std::string> Lines_;
};

} // namespace qb
