// Pixel arithmetic of the emulated dialog: dialog units and DPI scaling.
#pragma once
#include "runtime/MulDiv.h"
#include <cstdint>

namespace qb {

// A size fixed in pixels at 96 DPI, at the screen's resolution.
inline int ScaleForDpi(int pixels, int pixelsPerInch) {
    return pixelsPerInch == 96 || pixelsPerInch <= 0 ? pixels : MulDiv(pixels, pixelsPerInch, 96);
}

} // namespace qb
