#include "runtime/AsciiCase.h"
#include "runtime/CodePage.h"
#include "runtime/Platform.h"

namespace qb {

namespace {

template <char (*Fold)(char)> std::string FoldCase(std::string_view text, ISystemInfo* system) {
    std::string result(text);
    for (size_t i = 0; i < result.size(); i += CharSizeAt(result, i, system))
        result[i] = Fold(result[i]);
    return result;
}

constexpr char LowerByte(char c) {
    return LowerAscii(c);
}

constexpr char UpperByte(char c) {
    return UpperAscii(c);
}

} // namespace

std::string LowerAscii(std::string_view text, ISystemInfo* system) {
    return FoldCase<LowerByte>(text, system);
}

std::string UpperAscii(std::string_view text, ISystemInfo* system) {
    return FoldCase<UpperByte>(text, system);
}

std::string LowerAscii(std::string_view text) {
    return LowerAscii(text, Platform().System);
}

std::string UpperAscii(std::string_view text) {
    return UpperAscii(text, Platform().System);
}

bool SameTextAscii(std::string_view a, std::string_view b) {
    return a.size() == b.size() && LowerAscii(a) == LowerAscii(b);
}

} // namespace qb
