#include "markup/MarkupRenderer.h"
#include "markup/MarkupEntities.h"
#include "markup/MarkupState.h"
#include "runtime/WinConst.h"
#include <algorithm>
#include <climits>

namespace qb {

bool RenderMarkup(TCanvas& Canvas, std::string_view Markup, const TRect& Bounds,
                  const TMarkupParams& Params, TMarkupResult& Result) {
    markup::TMarkupRenderer renderer(Canvas, Bounds, Params, Result);
    renderer.Run(Markup);
    return Result.OverLink;
}

namespace markup {

namespace {

int Saturate(TCoord v) {
    return static_cast<int>(std::clamp<TCoord>(v, INT_MIN, INT_MAX));
}

} // namespace

TMarkupRenderer::TMarkupRenderer(TCanvas& canvas, const TRect& bounds, const TMarkupParams& params,
                                 TMarkupResult& result)
    : Canvas_(canvas), Bounds_{bounds.Left, bounds.Top, bounds.Right, bounds.Bottom},
      Params_(params), Result_(result), Trace_(params.Trace) {}

void TMarkupRenderer::Run(std::string_view markup) {
    Result_ = TMarkupResult{};
    TCanvasStateSaver saver(Canvas_);

    BaseFont_ = Canvas_.Font();
    Flow_.Font = BaseFont_;
    FontDirty_ = true;
    EntryBackground_ = Canvas_.BrushColor();
    SetBackground(clNone);

    Format_ = win::DT_SINGLELINE | win::DT_BOTTOM | win::DT_EXPANDTABS | win::DT_EXTERNALLEADING;
    const bool prefixes = markup.find(" & ") == std::string_view::npos;
    if (!prefixes)
        Format_ |= win::DT_NOPREFIX;
    if (!Params_.Wrap)
        Format_ |= win::DT_END_ELLIPSIS;

    std::string text = markup.find('&') != std::string_view::npos
                           ? ReplaceWholeTextEntities(markup, prefixes)
                           : std::string(markup);
    text = LineBreaksToMarkup(UnwrapHashTag(text), true);

    Remaining_ = Bounds_;
    TMarkupCursor remaining(text);
    while (!remaining.Empty())
        Line(remaining);

    if (UsedHeight_ == 0)
        UsedHeight_ = TextHeight();
    Result_.UsedWidth = Saturate(UsedWidth_);
    Result_.UsedHeight = Saturate(UsedHeight_);
    Result_.LinkCount = Flow_.LinkCount;
}

void TMarkupRenderer::Line(TMarkupCursor& remaining) {
    Flow_.Subscript = false;
    Flow_.Superscript = false;
    LineHeight_ = TextHeight();
    const TCoord minHeight = LineHeight_;
    SubscriptDrop_ = SuperscriptRise_ = ImageRaise_ = 0;
    TFlowState start;
    SaveState(start);

    remaining.Trim();
    LineText_.clear();
    LineRect_ = Remaining_;
    const size_t before = remaining.Pos();
    Pass(remaining, true, true, false);
    if (!remaining.Empty() && remaining.Pos() == before && LineText_.empty()) {
        // Nothing was taken: take the first run or tag whatever it needs, so the loop ends.
        RestoreState(start);
        LineHeight_ = minHeight;
        SubscriptDrop_ = SuperscriptRise_ = ImageRaise_ = 0;
        Pass(remaining, true, true, true);
    }
    LineHeight_ += Params_.ExtraLineSpacing;

    // The indent narrows the line's box; alignment acts within what is left of it.
    const TCoord width = LineWidth_;
    if (width > 0)
        UsedWidth_ = std::max(UsedWidth_, Indent_ + width + 2);
    LineRect_ = Remaining_;
    LineRect_.Left += Indent_;
    if (Alignment_ == TAlignment::Right) {
        if (LineRect_.Right - width > LineRect_.Left)
            LineRect_.Left = LineRect_.Right - width;
    } else if (Alignment_ == TAlignment::Center) {
        const TCoord spare = LineRect_.Right - LineRect_.Left - width;
        if (spare > 0)
            LineRect_.Left += spare / 2;
    }
    LineRect_.Bottom = LineRect_.Top + LineHeight_ + SubscriptDrop_ + SuperscriptRise_;
    if (Trace_)
        Trace_->OnLine(ToRect(LineRect_), Saturate(width));

    if (!Params_.MeasureOnly) {
        RestoreState(start);
        TMarkupCursor lineText(LineText_);
        Pass(lineText, false, Params_.HitTestOnly, false);
        EvaluateHit();
    }
    // The next line's offset: what OF... left, in whichever pass came last.
    Offset_ = Flow_.OffsetVariable;

    const TCoord advance = LineHeight_ + SubscriptDrop_ + SuperscriptRise_;
    Remaining_.Top += advance;
    UsedHeight_ += advance;
    // The next line needs at least the height of the font it starts in, which may be smaller.
    if (!Params_.MeasureOnly && Remaining_.Top + TextHeight() > Remaining_.Bottom)
        remaining.Clear();
}

void TMarkupRenderer::SaveState(TFlowState& to) {
    to = Flow_;
    to.Rotation = Canvas_.FontRotation();
}

void TMarkupRenderer::RestoreState(const TFlowState& from) {
    Flow_ = from;
    FontDirty_ = true;
    Canvas_.SetFontRotation(from.Rotation);
}

void TMarkupRenderer::ApplyFont() {
    if (FontDirty_) {
        Canvas_.SetFont(Flow_.Font);
        FontDirty_ = false;
    }
}

void TMarkupRenderer::SetFontColor(TColor color) {
    if (Flow_.Font.Color != color) {
        Flow_.Font.Color = color;
        FontDirty_ = true;
    }
}

void TMarkupRenderer::SetFontStyle(TFontStyle style, bool on) {
    TFontStyles s = on ? (Flow_.Font.Style | style) : (Flow_.Font.Style & ~style);
    if (s != Flow_.Font.Style) {
        Flow_.Font.Style = s;
        FontDirty_ = true;
    }
}

int TMarkupRenderer::TextHeight() {
    ApplyFont();
    return Canvas_.TextHeight("gh");
}

TCoord TMarkupRenderer::RunWidth(std::string_view run, TCoord left) {
    ApplyFont();
    TRect64 r = LineRect_;
    r.Left = left;
    TRect rect = ToRect(r);
    Canvas_.DrawText(run, rect, Format_ | win::DT_CALCRECT);
    return TCoord{rect.Right} - rect.Left;
}

TColor TMarkupRenderer::Background() const {
    return Canvas_.BrushStyle() == TBrushStyle::Clear ? clNone : Canvas_.BrushColor();
}

void TMarkupRenderer::SetBackground(TColor color) {
    if (color == clNone)
        Canvas_.SetBrushStyle(TBrushStyle::Clear);
    else
        Canvas_.SetBrushColor(color);
}

// Coordinates far outside any device are pulled in, so the canvas never sees a sum overflow.
TRect TMarkupRenderer::ToRect(const TRect64& r) {
    static constexpr TCoord Limit = TCoord{1} << 30;
    auto c = [](TCoord v) { return static_cast<int>(std::clamp(v, -Limit, Limit)); };
    return {c(r.Left), c(r.Top), c(r.Right), c(r.Bottom)};
}

} // namespace markup
} // namespace qb
