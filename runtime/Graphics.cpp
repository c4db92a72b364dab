#include "runtime/Graphics.h"
#include "runtime/Platform.h"
#include "runtime/Windowing.h"

namespace qb {

void TBitmap::SetGraphic(std::shared_ptr<TGraphic> graphic) {
    if (graphic == Graphic_)
        return;
    Graphic_ = std::move(graphic);
    if (OnChange)
        OnChange();
}

void TBitmap::LoadFromResourceName(const std::string& name, TColor transparent) {
    IWindowing* windowing = Platform().Windowing;
    SetGraphic(windowing ? windowing->LoadBitmapResource(name, transparent) : nullptr);
}

} // namespace qb
