// The GDI canvas itself on a real device context: fonts, colours, shapes, clip, no leaks.
#pragma once
#include "tests/e2e/common/E2eCheck.h"
#include <string>

namespace qb::e2e {

// Draws a picture of what it checks as canvas.bmp in shotsDir.
void RunGdiCanvasChecks(const std::string& shotsDir, TChecks& check);

} // namespace qb::e2e
