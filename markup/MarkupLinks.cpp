// Links: numbering, colours and hover styling, the focus rectangle and the hit test.
#include "markup/MarkupAttributes.h"
#include "markup/MarkupState.h"
#include <algorithm>

namespace qb::markup {

void TMarkupRenderer::LinkStart(std::string_view tag) {
    const bool drawing = !Measuring_;
    const int focused = Params_.FocusedLink;
    // A focused link left open when another starts ends here: frame what it drew.
    if (drawing && Flow_.InsideLink && focused >= 0 && focused == Flow_.LinkCount - 1)
        FrameFocusPart();
    if (drawing && focused >= 0 && focused == Flow_.LinkCount) {
        Focus_.Left = Work_.Left;
        Focus_.Top = Work_.Top;
    }
    // A link opened inside another one keeps the colour from before the first.
    if (!Flow_.InsideLink)
        Flow_.BeforeLink = Flow_.Font.Color;
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
    // A link left open when another starts is never closed: only a closed one is under the mouse.
    if (!First_)
        MouseOnLink_ = false;
    LinkStartX_ = PenX();
    LinkStartTop_ = LineRect_.Top;
}

void TMarkupRenderer::LinkEnd() {
    const bool drawing = !Measuring_;
    const bool closing = Flow_.InsideLink;
    const bool styled = !Params_.HoverOnlyLinks || Params_.HoveredLink == Flow_.LinkCount;
    if (styled && drawing) {
        SetFontStyle(fsUnderline, false);
        if (Params_.HoverBackColor != clNone)
            SetBackground(HoverSavedBack_);
        // Only a colour that a link saved is put back (a stray end tag has none).
        if (Params_.HoverTextColor != clNone && HoverSavedText_ != clNone)
            SetFontColor(HoverSavedText_);
    }
    // The text goes on in the colour it had before the link (a FONT colour, say); a stray end
    // tag goes back to the base colour.
    if (!Params_.SelectedColors)
        SetFontColor(closing ? Flow_.BeforeLink : BaseFont_.Color);
    Flow_.InsideLink = false;

    // Only the line's final pass knows where its runs stand.
    if (MouseOnLink_ && !First_) {
        // A link that began on an earlier line is bounded by its part on this line.
        if (LinkStartTop_ != LineRect_.Top) {
            LinkStartX_ = LineRect_.Left + Offset_;
            LinkStartTop_ = LineRect_.Top;
        }
        Result_.HoverBounds = ToRect({LinkStartX_, LinkStartTop_, PenX(), Base_});
        Result_.LinkUnderMouse = Flow_.LinkCount;
        MouseOnLink_ = false;
    }

    const int focused = Params_.FocusedLink;
    if (closing && drawing && focused >= 0 && focused == Flow_.LinkCount - 1)
        FrameFocusPart();
}

void TMarkupRenderer::HitTestRun(TCoord left, TCoord right) {
    if (!Flow_.InsideLink)
        return;
    // Text is clipped at the line's right edge; the band is the line's own, never its
    // neighbours'.
    right = std::min(right, LineRect_.Right);
    const TCoord x = Params_.MouseX;
    const TCoord y = Params_.MouseY;
    if (left <= x && x < right && LineRect_.Top <= y && y < LineRect_.Bottom) {
        Result_.OverLink = true;
        Result_.AnchorUnderMouse = Flow_.LinkTarget;
        MouseOnLink_ = true;
    }
}

void TMarkupRenderer::FrameFocusPart() {
    // A part with nothing of the link in it (the tag alone at a line's end) gets no frame.
    if (Work_.Left <= Focus_.Left)
        return;
    Focus_.Right = Work_.Left + 1;
    Focus_.Bottom = Work_.Bottom - ImageRaise_;
    // As high as the text, but never into the line above (a larger font may end the part).
    Focus_.Top = std::max(LineRect_.Top, Focus_.Bottom - TextHeight());
    Focus_.Left -= 1;
    Canvas_.DrawFocusRect(ToRect(Focus_));
}

void TMarkupRenderer::OpenContinuedFocus() {
    const int focused = Params_.FocusedLink;
    if (focused < 0 || focused != Flow_.LinkCount - 1 || !Flow_.InsideLink)
        return;
    // The focused link goes on from an earlier line: its part here starts where the line does.
    Focus_.Left = Work_.Left;
    Focus_.Top = Work_.Top;
}

void TMarkupRenderer::CloseContinuedFocus() {
    const int focused = Params_.FocusedLink;
    if (focused < 0 || focused != Flow_.LinkCount - 1 || !Flow_.InsideLink)
        return;
    // The focused link goes on to the next line: frame its part on this one, up to the last
    // letter (the breaking space is not part of the line).
    Work_.Left = PenX();
    FrameFocusPart();
}

void TMarkupRenderer::EvaluateHit() {
    if (ImageHit_)
        Result_.OverLink = true;
}

} // namespace qb::markup
