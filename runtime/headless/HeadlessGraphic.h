// A picture of the headless screen: a name and a size, drawn as a record. Names:
// "icon:<id>" (system icon), "bitmap:<NAME>" (program resource), "hicon:<handle>",
// "solid:<8 hex digits>".
#pragma once
#include "runtime/Canvas.h"
#include <string>
#include <utility>

namespace qb {

class THeadlessGraphic : public TGraphic {
public:
    THeadlessGraphic(std::string name, int width, int height, TColor transparent = clNone)
        : Name(std::move(name)), Transparent(transparent), Width_(width), Height_(height) {}
    int Width() const override { return Width_; }
    int Height() const override { return Height_; }
    const std::string Name;
    const TColor Transparent;

private:
    int Width_;
    int Height_;
};

} // namespace qb
