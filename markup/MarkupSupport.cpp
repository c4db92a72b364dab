#include "markup/MarkupSupport.h"
#include "runtime/AsciiCase.h"
#include "runtime/Platform.h"
#include "runtime/WinConst.h"
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace qb {

namespace {

struct TNamedColor {
    std::string_view Name;
    TColor Value;
};

constexpr TNamedColor PlainColors[] = {
    {"clred", 0x000000FF},     {"clblack", 0x00000000},  {"clblue", 0x00FF0000},
    {"clgreen", 0x00008000},   {"claqua", 0x00FFFF00},   {"clyellow", 0x0000FFFF},
    {"clfuchsia", 0x00FF00FF}, {"clwhite", 0x00FFFFFF},  {"cllime", 0x0000FF00},
    {"clsilver", 0x00C0C0C0},  {"clgray", 0x00808080},   {"clolive", 0x00008080},
    {"clnavy", 0x00800000},    {"clpurple", 0x00800080}, {"clteal", 0x00808000},
    {"clmaroon", 0x00000080},
};

constexpr TNamedColor SystemColorNames[] = {
    {"clbackground", 0xFF000001},
    {"clactivecaption", 0xFF000002},
    {"clinactivecaption", 0xFF000003},
    {"clmenu", 0xFF000004},
    {"clwindow", 0xFF000005},
    {"clwindowframe", 0xFF000006},
    {"clmenutext", 0xFF000007},
    {"clwindowtext", 0xFF000008},
    {"clcaptiontext", 0xFF000009},
    {"clactiveborder", 0xFF00000A},
    {"clinactiveborder", 0xFF00000B},
    {"clappworkspace", 0xFF00000C},
    {"clhighlight", 0xFF00000D},
    {"clhighlighttext", 0xFF00000E},
    {"clbtnface", 0xFF00000F},
    {"clbtnshadow", 0xFF000010},
    {"clgraytext", 0xFF000011},
    {"clbtntext", 0xFF000012},
    {"clinactivecaptiontext", 0xFF000013},
    {"clbtnhighlight", 0xFF000014},
    {"cl3ddkshadow", 0xFF000015},
    {"cl3dlight", 0xFF000016},
    {"clinfotext", 0xFF000017},
    {"clinfobk", 0xFF000018},
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

struct TIntReading {
    int64_t Value = 0;
    bool Complete = false; // every character read, at least one digit, in range
    bool Negative = false;
    bool Digits = false;
};

// One reader for both the lenient and the strict form.
TIntReading ReadInt(std::string_view text) {
    TIntReading r;
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        r.Negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    // Hexadecimal covers the 32 bits as written ($FFFFFFFF is -1); decimal stops past the
    // signed range (one more for a negative number).
    const int64_t limit = hex ? 0xFFFFFFFFLL : (r.Negative ? 2147483648LL : 2147483647LL);
    for (; i < text.size(); ++i) {
        int d = hex ? HexDigit(text[i]) : ((text[i] >= '0' && text[i] <= '9') ? text[i] - '0' : -1);
        if (d < 0)
            return r;
        int64_t next = r.Value * (hex ? 16 : 10) + d;
        if (next > limit)
            return r;
        r.Value = next;
        r.Digits = true;
    }
    r.Complete = true;
    return r;
}

int32_t ToInt32(int64_t v) {
    return static_cast<int32_t>(static_cast<uint32_t>(v));
}

} // namespace

TColor MarkupColorByName(std::string_view name) {
    TColor c = 0;
    for (const TNamedColor& e : PlainColors)
        if (e.Name == name) {
            c = e.Value;
            break;
        }
    if (c == 0)
        for (const TNamedColor& e : SystemColorNames)
            if (e.Name == name)
                return e.Value;
    return c;
}

int HexPairValue(std::string_view text) {
    if (text.size() < 2)
        return 0;
    auto digit = [](unsigned char c) { return c >= 'A' ? c - 55 : c - 48; };
    return digit(static_cast<unsigned char>(text[0])) * 16 +
           digit(static_cast<unsigned char>(text[1]));
}

TColor MarkupHexColor(std::string_view text) {
    auto pair = [&](size_t from) {
        return from < text.size() ? HexPairValue(text.substr(from, 2)) : 0;
    };
    int32_t value = pair(1) + pair(3) * 256 + pair(5) * 65536;
    return static_cast<TColor>(value);
}

int PosNoCase(std::string_view sub, std::string_view text) {
    if (sub.empty() || sub.size() > text.size())
        return 0;
    auto it = std::search(text.begin(), text.end(), sub.begin(), sub.end(),
                          [](char a, char b) { return UpperAscii(a) == UpperAscii(b); });
    return it == text.end() ? 0 : static_cast<int>(it - text.begin()) + 1;
}

int PosInto(std::string_view sub, std::string_view text, int& position) {
    size_t p = sub.empty() ? std::string_view::npos : text.find(sub);
    position = p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
    return position;
}

int LooseStrToInt(std::string_view text) {
    TIntReading r = ReadInt(text);
    if (r.Complete && r.Negative)
        return ToInt32(-r.Value);
    return ToInt32(r.Value);
}

std::optional<int> StrictStrToInt(std::string_view text) {
    TIntReading r = ReadInt(text);
    if (!r.Complete || !r.Digits)
        return std::nullopt;
    return ToInt32(r.Negative ? -r.Value : r.Value);
}

bool ReplaceFirstNoCase(std::string_view old, std::string_view replacement, std::string& text) {
    int p = PosNoCase(old, text);
    if (p == 0)
        return false;
    text.replace(static_cast<size_t>(p - 1), old.size(), replacement);
    return true;
}

std::string UnwrapHashTag(std::string_view text) {
    size_t p = text.find("<#");
    if (p == std::string_view::npos)
        return std::string(text);
    std::string result(text.substr(0, p));
    std::string_view rest = text.substr(p + 1);
    size_t gt = rest.find('>');
    if (gt == std::string_view::npos) {
        result += rest;
    } else {
        result += rest.substr(0, gt);
        result += rest.substr(gt + 1);
    }
    return result;
}

std::string LineBreaksToMarkup(std::string_view text, bool convert) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (c == '\r') {
            if (convert)
                result += "<BR>";
        } else if (c != '\n') {
            result += c;
        }
    }
    return result;
}

void RotateFont(TCanvas& canvas, int degrees, TRotatedFontSlot& slot) {
    slot.Saved = canvas.SetFontRotation((degrees % 360) * 10);
}

void RestoreRotatedFont(TCanvas& canvas, TRotatedFontSlot& slot) {
    if (!slot.Saved)
        return;
    canvas.SetFontRotation(*slot.Saved);
    slot.Saved.reset();
}

void FillGradient(TCanvas& canvas, TColor first, TColor second, bool horizontal, const TRect& rect,
                  int bands, TColor border) {
    if (bands == 0)
        bands = 1;
    bands = std::min(bands, 65536);
    const TColor a = canvas.ColorToRGB(first) & 0x00FFFFFFu;
    const TColor b = canvas.ColorToRGB(second) & 0x00FFFFFFu;
    const int r1 = static_cast<int>(a & 0xFF), g1 = static_cast<int>((a >> 8) & 0xFF),
              b1 = static_cast<int>((a >> 16) & 0xFF);
    const int r2 = static_cast<int>(b & 0xFF), g2 = static_cast<int>((b >> 8) & 0xFF),
              b2 = static_cast<int>((b >> 16) & 0xFF);
    const double rInc = (r2 - r1) / static_cast<double>(bands);
    const double gInc = (g2 - g1) / static_cast<double>(bands);
    const double bInc = (b2 - b1) / static_cast<double>(bands);
    const double span = horizontal ? static_cast<double>(rect.Right) - rect.Left
                                   : static_cast<double>(rect.Bottom) - rect.Top;
    const double bandSize = span / bands;
    // The fraction of a band is cut off; a band reaches one pixel into the next.
    const int64_t bandReach = static_cast<int64_t>(std::trunc(bandSize)) + 1;
    for (int i = 0; i < bands; ++i) {
        const int r = r1 + static_cast<int>(std::nearbyint(i * rInc));
        const int g = g1 + static_cast<int>(std::nearbyint(i * gInc));
        const int bl = b1 + static_cast<int>(std::nearbyint(i * bInc));
        const TColor color = static_cast<TColor>(r + g * 256 + bl * 65536);
        canvas.SetPenColor(color);
        canvas.SetBrushColor(color);
        // Offsets are 16-bit values, as the counter that produces them.
        const uint16_t offset =
            static_cast<uint16_t>(static_cast<int64_t>(std::nearbyint(i * bandSize)));
        TRect band = rect;
        if (horizontal) {
            band.Left = static_cast<int>(
                std::clamp<int64_t>(int64_t{rect.Left} + offset, INT32_MIN, INT32_MAX));
            band.Right =
                static_cast<int>(std::min<int64_t>(rect.Right, int64_t{band.Left} + bandReach));
        } else {
            band.Top = static_cast<int>(
                std::clamp<int64_t>(int64_t{rect.Top} + offset, INT32_MIN, INT32_MAX));
            band.Bottom =
                static_cast<int>(std::min<int64_t>(rect.Bottom, int64_t{band.Top} + bandReach));
        }
        canvas.Rectangle(band);
    }
    if (border != clNone) {
        canvas.SetBrushStyle(TBrushStyle::Clear);
        canvas.SetPenColor(border);
        canvas.Rectangle(rect);
    }
}

bool PathExists(const std::string& path) {
    IFileSystem* files = Platform().Files;
    return files && files->GetFileAttributes(path) != win::INVALID_FILE_ATTRIBUTES;
}

} // namespace qb
