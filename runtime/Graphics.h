// A bitmap property: holds a backend graphic (shared, immutable) and tells its owner when a
// new picture is assigned.
#pragma once
#include "runtime/Canvas.h"
#include <functional>
#include <memory>
#include <string>

namespace qb {

class TBitmap {
public:
    TBitmap() = default;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    bool Empty() const { return !Graphic_ || Graphic_->Empty(); }
    int Width() const { return Graphic_ ? Graphic_->Width() : 0; }
    int Height() const { return Graphic_ ? Graphic_->Height() : 0; }
    const std::shared_ptr<TGraphic>& Graphic() const { return Graphic_; }

    // Copies the picture (graphics are immutable, so the copy shares it).
    void Assign(const TBitmap& source) { SetGraphic(source.Graphic_); }
    void SetGraphic(std::shared_ptr<TGraphic> graphic);
    // A bitmap resource of the program, drawn with transparent left out (clNone: opaque).
    // A missing resource leaves the bitmap empty.
    void LoadFromResourceName(const std::string& name, TColor transparent);
    void Clear() { SetGraphic(nullptr); }

    std::function<void()> OnChange;

private:
    std::shared_ptr<TGraphic> Graphic_;
};

} // namespace qb
