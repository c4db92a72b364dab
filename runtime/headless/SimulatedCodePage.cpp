#include "runtime/headless/SimulatedCodePage.h"
#include "runtime/CodePage.h"

namespace qb {

namespace {

constexpr char16_t StandInByte = 0xF700;
constexpr char32_t StandInPair = 0x100000;

// Shift-JIS kana: hiragana 0x829F-0x82F1, katakana 0x8340-0x8396 without trail byte 0x7F, and
// the single-byte half-width katakana 0xA1-0xDF.
char16_t KanaFrom932(uint8_t lead, uint8_t trail) {
    if (lead == 0x82 && trail >= 0x9F && trail <= 0xF1)
        return static_cast<char16_t>(0x3041 + (trail - 0x9F));
    if (lead == 0x83 && trail >= 0x40 && trail <= 0x96 && trail != 0x7F)
        return static_cast<char16_t>(0x30A1 + (trail - 0x40) - (trail > 0x7F ? 1 : 0));
    return 0;
}

bool KanaTo932(char16_t c, uint8_t& lead, uint8_t& trail) {
    if (c >= 0x3041 && c <= 0x3093) {
        lead = 0x82;
        trail = static_cast<uint8_t>(0x9F + (c - 0x3041));
        return true;
    }
    if (c >= 0x30A1 && c <= 0x30F6) {
        const int index = c - 0x30A1;
        lead = 0x83;
        trail = static_cast<uint8_t>(0x40 + index + (index >= 0x3F ? 1 : 0));
        return true;
    }
    return false;
}

bool IsHalfWidthKana(uint8_t b, uint32_t codePage) {
    return codePage == 932 && b >= 0xA1 && b <= 0xDF;
}

} // namespace

bool SimulatedLeadByte(uint8_t byte, uint32_t codePage) {
    switch (codePage) {
    case 932:
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 950:
        return byte >= 0x81 && byte <= 0xFE;
    default:
        return false;
    }
}

std::u16string SimulatedDbcsToUtf16(std::string_view text, uint32_t codePage) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<uint8_t>(text[i]);
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
        } else if (IsHalfWidthKana(b, codePage)) {
            out += static_cast<char16_t>(0xFF61 + (b - 0xA1));
        } else if (SimulatedLeadByte(b, codePage) && i + 1 < text.size()) {
            const auto trail = static_cast<uint8_t>(text[++i]);
            const char16_t kana = codePage == 932 ? KanaFrom932(b, trail) : 0;
            if (kana != 0)
                out += kana;
            else
                AppendUtf16(out, StandInPair + (static_cast<char32_t>(b) << 8) + trail);
        } else {
            out += static_cast<char16_t>(StandInByte + b);
        }
    }
    return out;
}

std::string SimulatedDbcsFromUtf16(std::u16string_view text, uint32_t codePage) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        uint8_t lead = 0, trail = 0;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (codePage == 932 && c >= 0xFF61 && c <= 0xFF9F) {
            out += static_cast<char>(0xA1 + (c - 0xFF61));
        } else if (codePage == 932 && KanaTo932(c, lead, trail)) {
            out += static_cast<char>(lead);
            out += static_cast<char>(trail);
        } else if (c >= StandInByte + 0x80 && c <= StandInByte + 0xFF) {
            out += static_cast<char>(c - StandInByte);
        } else if (c >= 0xDBC0 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                   text[i + 1] <= 0xDFFF) {
            // Plane 16: U+10xxxx, high surrogate 0xDBC0-0xDBFF.
            const char32_t cp =
                0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            out += static_cast<char>((cp >> 8) & 0xFF);
            out += static_cast<char>(cp & 0xFF);
            ++i;
        } else {
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                text[i + 1] <= 0xDFFF)
                ++i;
            out += '?';
        }
    }
    return out;
}

} // namespace qb
