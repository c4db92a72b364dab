#include "markup/MarkupRenderer.h"

namespace qb {

bool RenderMarkup(TCanvas& Canvas, std::string_view, const TRect&, const TMarkupParams&,
                  TMarkupResult& Result) {
    Result = TMarkupResult{};
    Result.UsedHeight = Canvas.TextHeight("gh");
    return false;
}

} // namespace qb
