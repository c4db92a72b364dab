#include "runtime/CodePage.h"
#include "runtime/Platform.h"
#include <algorithm>
#include <iterator>

namespace qb {

namespace {

// Code page 1252, bytes 0x80 to 0x9F; the five unassigned bytes map to the same code point.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char16_t Replacement = 0xFFFD;

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
        return;
    }
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
}

bool IsLeadByte(char byte, ISystemInfo* system) {
    const auto b = static_cast<uint8_t>(byte);
    return b >= 0x80 && system != nullptr && system->IsDbcsLeadByte(b);
}

size_t CharSizeAt(std::string_view text, size_t at, ISystemInfo* system) {
    return at + 1 < text.size() && IsLeadByte(text[at], system) ? 2 : 1;
}

size_t FindLastOfChars(std::string_view text, std::string_view asciiSet) {
    ISystemInfo* system = Platform().System;
    size_t found = std::string_view::npos;
    for (size_t i = 0; i < text.size(); i += CharSizeAt(text, i, system))
        if (asciiSet.find(text[i]) != std::string_view::npos)
            found = i;
    return found;
}

size_t FindCharText(std::string_view text, std::string_view asciiText, size_t from) {
    ISystemInfo* system = Platform().System;
    for (size_t i = 0; i < text.size(); i += CharSizeAt(text, i, system))
        if (i >= from && text.substr(i, asciiText.size()) == asciiText)
            return i;
    return std::string_view::npos;
}

std::string CodePageChar(char16_t ch) {
    const std::u16string wide(1, ch);
    if (ISystemInfo* system = Platform().System) {
        std::string text = system->FromUtf16(wide);
        return text.empty() ? std::string("?") : text;
    }
    return Utf16ToCp1252(wide);
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<uint8_t>(text[i]);
        size_t length = b < 0x80                 ? 1
                        : b >= 0xC2 && b <= 0xDF ? 2
                        : b >= 0xE0 && b <= 0xEF ? 3
                        : b >= 0xF0 && b <= 0xF4 ? 4
                                                 : 0;
        char32_t cp = length == 1 ? b : length == 2 ? b & 0x1F : length == 3 ? b & 0x0F : b & 0x07;
        bool valid = length != 0 && i + length <= text.size();
        for (size_t k = 1; valid && k < length; ++k) {
            const auto c = static_cast<uint8_t>(text[i + k]);
            valid = (c & 0xC0) == 0x80;
            cp = (cp << 6) | (c & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not characters.
        if (valid && ((length == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
                      (length == 4 && (cp < 0x10000 || cp > 0x10FFFF))))
            valid = false;
        if (!valid) {
            out += Replacement;
            ++i;
            continue;
        }
        AppendUtf16(out, cp);
        i += length;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            cp = Replacement;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

std::u16string Cp1252ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto b = static_cast<uint8_t>(c);
        out += (b >= 0x80 && b < 0xA0) ? Cp1252High[b - 0x80] : static_cast<char16_t>(b);
    }
    return out;
}

std::string Utf16ToCp1252(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out += static_cast<char>(c);
            continue;
        }
        const char16_t* hit = std::find(std::begin(Cp1252High), std::end(Cp1252High), c);
        if (hit != std::end(Cp1252High)) {
            out += static_cast<char>(0x80 + (hit - Cp1252High));
            continue;
        }
        // One '?' per character: a surrogate pair is one character.
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]))
            ++i;
        out += '?';
    }
    return out;
}

} // namespace qb
