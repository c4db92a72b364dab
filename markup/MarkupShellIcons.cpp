// Shell icons and bitmap stretching for the renderer's images.
#include "markup/MarkupSupport.h"
#include "runtime/Picture.h"
#include "runtime/Platform.h"
#include "runtime/WinConst.h"
#include <cmath>

namespace qb {

int RoundScaled(int size, double scale) {
    const double v = std::nearbyint(size * scale);
    if (!(v > -1e9 && v < 1e9))
        return 0;
    return static_cast<int>(v);
}

void DrawShellIcon(TCanvas& canvas, int x, int y, TSize& size, double scale, bool printing,
                   bool draw, bool large, const std::string& name) {
    size = {};
    IShellIcons* icons = Platform().ShellIcons;
    if (!icons)
        return;
    const std::optional<int> number = StrictStrToInt(name);
    int index = number.value_or(0);
    if (!name.empty() && !number) {
        // An existing file or folder gives its own icon; a bare file name or extension, the
        // icon of its type.
        index = icons->FileIconIndex(name, !PathExists(name));
    }
    size = icons->IconSize(large);
    if (!draw)
        return;
    if (!printing) {
        icons->DrawIcon(canvas, index, large, x, y);
        return;
    }
    if (std::unique_ptr<TGraphic> bitmap = icons->IconBitmap(index, large))
        StretchBitmapToRect(
            canvas, {x, y, x + RoundScaled(size.Width, scale), y + RoundScaled(size.Height, scale)},
            *bitmap);
}

void StretchBitmapToRect(TCanvas& canvas, const TRect& rect, const TGraphic& bitmap) {
    canvas.StretchDraw(rect, bitmap);
}

} // namespace qb
