// Pixel arithmetic of the emulated dialog: dialog units and DPI scaling.
#pragma once
#include <cstdint>

namespace qb {

// 64-bit product, quotient rounded to the nearest integer (halves away from zero), as the
// system's MulDiv; -1 for a zero divisor.
inline int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0)
        return -1;
    int64_t product = static_cast<int64_t>(number) * numerator;
    int64_t half = (denominator < 0 ? -denominator : denominator) / 2;
    bool negative = (product < 0) != (denominator < 0);
    int64_t magnitude = (product < 0 ? -product : product) + half;
    int64_t quotient = magnitude / (denominator < 0 ? -denominator : denominator);
    return static_cast<int>(negative ? -quotient : quotient);
}

// A size fixed in pixels at 96 DPI, at the screen's resolution.
inline int ScaleForDpi(int pixels, int pixelsPerInch) {
    return pixelsPerInch == 96 || pixelsPerInch <= 0 ? pixels : MulDiv(pixels, pixelsPerInch, 96);
}

} // namespace qb
