// Small value types shared by every layer.
#pragma once
#include <cstdint>

namespace qb {

// 0x00BBGGRR; 0xFF0000nn is system colour nn; clNone means "no colour".
using TColor = uint32_t;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clBlack = 0x00000000;
inline constexpr TColor clWhite = 0x00FFFFFF;
inline constexpr TColor SystemColor(int index) {
    return 0xFF000000u | static_cast<uint32_t>(index);
}
inline constexpr bool IsSystemColor(TColor c) {
    return (c & 0xFF000000u) == 0xFF000000u;
}

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Empty() const { return Right <= Left || Bottom <= Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

struct TSize {
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

// Opaque platform handles (HWND, HICON, ...), carried as integers through the portable code.
using THandle = uintptr_t;
using TWParam = uintptr_t;
using TLParam = intptr_t;

} // namespace qb
