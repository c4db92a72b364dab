// Page and paragraph backgrounds: BODY "BGCOLOR"/"BGCOLORTO"/"DIR" and P "BGCOLOR"/"BGCOLORTO".
// Pictures named by BODY are in MarkupImages.cpp.
#include "markup/MarkupAttributes.h"
#include "markup/MarkupState.h"
#include <algorithm>

namespace qb::markup {

namespace {

constexpr int GradientBands = 64;

// An empty colour value means no colour at all.
TColor BackgroundValue(std::string_view value) {
    return value.empty() ? clNone : ColorValue(value);
}

} // namespace

void TMarkupRenderer::FillArea(const TRect64& rect, TColor color) {
    // Fills in no colour paint nothing.
    if (color == clNone)
        return;
    const TColor pen = Canvas_.PenColor();
    Canvas_.SetPenColor(color);
    Canvas_.Rectangle(ToRect(rect));
    Canvas_.SetPenColor(pen);
}

void TMarkupRenderer::Body(std::string_view tag) {
    const std::string attributes = UpperAscii(tag.substr(std::min<size_t>(5, tag.size())));
    BodyPictures(attributes);
    if (!HasAttribute(attributes, "BGCOLOR"))
        return;
    const TColor color = BackgroundValue(AttributeValue(attributes, "BGCOLOR"));
    if (!HasAttribute(attributes, "BGCOLORTO")) {
        FontBackground_ = Background();
        SetBackground(color);
        FillArea({Bounds_.Left - 2, Bounds_.Top, Bounds_.Right, Bounds_.Bottom}, color);
        return;
    }
    const TColor to = BackgroundValue(AttributeValue(attributes, "BGCOLORTO"));
    const std::string_view direction =
        HasAttribute(attributes, "DIR") ? AttributeValue(attributes, "DIR") : "H";
    Canvas_.SetPenColor(color);
    FillGradient(Canvas_, color, to, direction == "H", ToRect(Bounds_), GradientBands, clNone);
    SetBackground(clNone);
}

void TMarkupRenderer::ParagraphBackground(std::string_view attributes) {
    if (!HasAttribute(attributes, "BGCOLOR"))
        return;
    const TColor color = BackgroundValue(AttributeValue(attributes, "BGCOLOR"));
    ParagraphBand_ = true;
    if (!HasAttribute(attributes, "BGCOLORTO")) {
        ParagraphSaved_ = Background();
        SetBackground(color);
        FillArea({Bounds_.Left, LineRect_.Top, Bounds_.Right, Base_}, color);
        return;
    }
    const TColor to = BackgroundValue(AttributeValue(attributes, "BGCOLORTO"));
    Canvas_.SetPenColor(color);
    FillGradient(Canvas_, color, to, true,
                 ToRect({Bounds_.Left, LineRect_.Top, Bounds_.Right, Base_ + 2}), GradientBands,
                 clNone);
    SetBackground(clNone);
}

void TMarkupRenderer::FillParagraphBand() {
    FillArea({Bounds_.Left, LineRect_.Top, Bounds_.Right, LineRect_.Top + LineHeight_},
             Background());
}

} // namespace qb::markup
