// A list of equally sized images, drawn by index ("IDX:" sources of the markup).
#pragma once
#include "runtime/Canvas.h"
#include <memory>

namespace qb {

class TImageList {
public:
    virtual ~TImageList() = default;
    virtual int Count() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Image `index` (0 <= index < Count()) at (x, y), in its enabled look.
    virtual void Draw(TCanvas& canvas, int x, int y, int index) const = 0;
    // A copy of image `index` as a bitmap of Width() x Height().
    virtual std::unique_ptr<TGraphic> Bitmap(int index) const = 0;
};

} // namespace qb
