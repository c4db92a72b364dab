// The remaining text of a layout pass: a view consumed from the front, with the next "<", " "
// and ">" cached. A cached position stays valid until the text before it is consumed, so every
// byte is searched at most once for each of them however many runs and tags a line has.
#pragma once
#include <cstddef>
#include <string_view>

namespace qb::markup {

class TMarkupCursor {
public:
    static constexpr size_t npos = std::string_view::npos;

    TMarkupCursor() = default;
    explicit TMarkupCursor(std::string_view text) : Text_(text), End_(text.size()) {}

    bool Empty() const { return Pos_ >= End_; }
    size_t Size() const { return Empty() ? 0 : End_ - Pos_; }
    size_t Pos() const { return Pos_; }
    char Front() const { return Text_[Pos_]; }
    char At(size_t i) const { return Text_[Pos_ + i]; } // i < Size()
    // The next `n` bytes (clipped to what remains).
    std::string_view Peek(size_t n) const { return Text_.substr(Pos_, n < Size() ? n : Size()); }
    std::string_view Rest() const { return Text_.substr(Pos_, Size()); }

    void Skip(size_t n) { Pos_ = n < Size() ? Pos_ + n : End_; }
    void Clear() { Pos_ = End_; }

    // Bytes up to 32 go from both ends. The end, once trimmed, stays trimmed.
    void Trim() {
        while (End_ > Pos_ && static_cast<unsigned char>(Text_[End_ - 1]) <= 32)
            --End_;
        while (Pos_ < End_ && static_cast<unsigned char>(Text_[Pos_]) <= 32)
            ++Pos_;
    }

    // Distance from the front to the next occurrence, or npos.
    size_t NextLess() { return Next(Less_, '<'); }
    size_t NextSpace() { return Next(Space_, ' '); }
    size_t NextGreater() { return Next(Greater_, '>'); }

private:
    struct TCache {
        bool Valid = false;
        size_t At = 0; // absolute position or npos
    };
    size_t Next(TCache& cache, char c) {
        if (!cache.Valid || (cache.At != npos && cache.At < Pos_)) {
            cache.At = Text_.find(c, Pos_);
            cache.Valid = true;
        }
        if (cache.At == npos || cache.At >= End_)
            return npos;
        return cache.At - Pos_;
    }

    std::string_view Text_;
    size_t Pos_ = 0;
    size_t End_ = 0;
    TCache Less_, Space_, Greater_;
};

} // namespace qb::markup
