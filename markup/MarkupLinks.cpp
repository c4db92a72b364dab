// Links: numbering, colours and hover styling, the focus rectangle and the hit test.
#include "markup/MarkupAttributes.h"
#include "markup/MarkupState.h"

namespace qb::markup {

void TMarkupRenderer::LinkStart(std::string_view tag) {
    const bool drawing = !Measuring_;
    const int focused = Params_.FocusedLink;
    if (drawing && focused >= 0 && focused == Flow_.LinkCount) {
        Focus_.Left = Work_.Left;
        Focus_.Top = Work_.Top;
    }
    const int n = ++Flow_.LinkCount;
    const bool styled = !Params_.HoverOnlyLinks || Params_.HoveredLink == n;
    if (styled && drawing) {
        SetFontStyle(fsUnderline, true);
        if (Params_.HoverBackColor != clNone) {
            HoverSavedBack_ = Background();
            SetBackground(Params_.HoverBackColor);
        }
        if (Params_.HoverTextColor != clNone) {
            HoverSavedText_ = Flow_.Font.Color;
            SetFontColor(Params_.HoverTextColor);
        }
    }
    if (!Params_.SelectedColors &&
        (Params_.HoverTextColor == clNone || Params_.HoveredLink != n || !Params_.HoverOnlyLinks))
        SetFontColor(Params_.LinkColor);
    // The target is the first quoted text in the tag, whatever the attribute is called.
    Flow_.LinkTarget = std::string(QuotedValue(tag.substr(tag.size() > 2 ? 2 : tag.size()), 0));
    Flow_.InsideLink = true;
    LinkStartX_ = LineRect_.Left + LineWidth_;
    LinkStartTop_ = LineRect_.Top;
}

void TMarkupRenderer::LinkEnd() {
    const bool drawing = !Measuring_;
    const bool styled = !Params_.HoverOnlyLinks || Params_.HoveredLink == Flow_.LinkCount;
    if (styled && drawing) {
        SetFontStyle(fsUnderline, false);
        if (Params_.HoverBackColor != clNone)
            SetBackground(HoverSavedBack_);
        // Only a colour that a link saved is put back (a stray end tag has none).
        if (Params_.HoverTextColor != clNone && HoverSavedText_ != clNone)
            SetFontColor(HoverSavedText_);
    }
    if (!Params_.SelectedColors)
        SetFontColor(BaseFont_.Color);
    Flow_.InsideLink = false;

    // Only measuring passes know where runs end; a draw pass leaves what its measure pass found.
    if (MouseOnLink_ && Measuring_) {
        // A link that began on an earlier line is bounded by its part on this line.
        if (LinkStartTop_ != LineRect_.Top) {
            LinkStartX_ = LineRect_.Left;
            LinkStartTop_ = LineRect_.Top;
        }
        Result_.HoverBounds =
            ToRect({LinkStartX_, LinkStartTop_, LineRect_.Left + LineWidth_, Base_});
        Result_.LinkUnderMouse = Flow_.LinkCount;
        MouseOnLink_ = false;
    }

    const int focused = Params_.FocusedLink;
    if (focused >= 0 && focused == Flow_.LinkCount - 1) {
        Focus_.Right = Work_.Left;
        Focus_.Bottom = Work_.Bottom - ImageRaise_;
        Focus_.Top = Focus_.Bottom - TextHeight();
        Focus_.Left -= 1;
        Focus_.Right += 1;
        if (drawing)
            Canvas_.DrawFocusRect(ToRect(Focus_));
    }
}

void TMarkupRenderer::HitTestRun(TCoord w) {
    if (!Flow_.InsideLink)
        return;
    const TCoord x = TCoord{Params_.MouseX} - LineRect_.Left;
    if (LineWidth_ - w <= x && x <= LineWidth_) {
        TextHit_ = true;
        if (Params_.MouseY > LineRect_.Top) {
            Result_.AnchorUnderMouse = Flow_.LinkTarget;
            MouseOnLink_ = true;
        }
    }
}

void TMarkupRenderer::CloseContinuedFocus() {
    const int focused = Params_.FocusedLink;
    if (focused < 0 || focused != Flow_.LinkCount - 1 || !Flow_.InsideLink)
        return;
    // The focused link goes on to the next line: frame its part on this one.
    Focus_.Right = Work_.Left;
    Focus_.Bottom = Work_.Bottom;
    Focus_.Left -= 1;
    Focus_.Right += 1;
    Canvas_.DrawFocusRect(ToRect(Focus_));
    Focus_.Left = LineRect_.Left + 1;
    Focus_.Top = Focus_.Bottom;
}

void TMarkupRenderer::EvaluateHit() {
    const TCoord bottom = LineRect_.Bottom - ImageRaise_;
    const TCoord h = TextHeight();
    const TCoord y = Params_.MouseY;
    if (TextHit_ && bottom - h < y && y < bottom)
        Result_.OverLink = true;
    if (ImageHit_)
        Result_.OverLink = true;
}

} // namespace qb::markup
