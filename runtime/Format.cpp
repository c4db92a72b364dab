#include "runtime/Format.h"
#include "runtime/Exception.h"
#include <vector>

namespace qb {

namespace {

// Wider fields than this are a mistake in a template, not a layout.
constexpr int MaxWidth = 4096;

[[noreturn]] void Fail(const std::string& templ, const std::string& why) {
    throw Exception("Format \"" + templ + "\": " + why);
}

// Negative numbers shown without sign use 32 bits when they fit, as the program's integers do.
uint64_t AsUnsigned(int64_t value) {
    if (value < 0 && value >= INT32_MIN)
        return static_cast<uint32_t>(static_cast<int32_t>(value));
    return static_cast<uint64_t>(value);
}

} // namespace

std::string Format(const std::string& templ, std::initializer_list<TFormatArg> args) {
    const std::vector<TFormatArg> list(args);
    size_t next = 0;
    std::string out;
    out.reserve(templ.size());
    for (size_t i = 0; i < templ.size(); ++i) {
        char c = templ[i];
        if (c != '%') {
            out += c;
            continue;
        }
        size_t start = i++;
        if (i < templ.size() && templ[i] == '%') {
            out += '%';
            continue;
        }
        bool left = false;
        if (i < templ.size() && templ[i] == '-') {
            left = true;
            ++i;
        }
        int width = 0;
        while (i < templ.size() && templ[i] >= '0' && templ[i] <= '9') {
            width = width * 10 + (templ[i] - '0');
            if (width > MaxWidth)
                Fail(templ, "field width over " + std::to_string(MaxWidth) + " at position " +
                                std::to_string(start + 1));
            ++i;
        }
        if (i >= templ.size())
            Fail(templ, "incomplete directive at the end");
        char kind = templ[i];
        std::string directive = templ.substr(start, i - start + 1);
        if (kind != 's' && kind != 'd' && kind != 'u' && kind != 'x' && kind != 'X')
            Fail(templ, "unknown directive \"" + directive + "\"");
        if (next >= list.size())
            Fail(templ, "no argument for directive \"" + directive + "\" (argument " +
                            std::to_string(next + 1) + " of " + std::to_string(list.size()) + ")");
        const TFormatArg& arg = list[next++];
        std::string text;
        if (kind == 's') {
            const std::string* s = std::get_if<std::string>(&arg);
            if (!s)
                Fail(templ, "directive \"" + directive + "\" needs a string argument");
            text = *s;
        } else {
            const int64_t* n = std::get_if<int64_t>(&arg);
            if (!n)
                Fail(templ, "directive \"" + directive + "\" needs a number argument");
            if (kind == 'd')
                text = std::to_string(*n);
            else
                text = Digits(AsUnsigned(*n), kind == 'u' ? 10 : 16, kind == 'X');
        }
        if (static_cast<int>(text.size()) < width) {
            std::string pad(static_cast<size_t>(width) - text.size(), ' ');
            text = left ? text + pad : pad + text;
        }
        out += text;
    }
    return out;
}

std::string Digits(uint64_t value, unsigned base, bool upper, int minDigits) {
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string out;
    do {
        out.insert(out.begin(), digits[value % base]);
        value /= base;
    } while (value != 0 || static_cast<int>(out.size()) < minDigits);
    return out;
}

} // namespace qb
