// One pass over a line: cutting runs at tags and spaces, fitting them, drawing them.
#include "markup/MarkupEntities.h"
#include "markup/MarkupState.h"
#include "runtime/WinConst.h"
#include <algorithm>

namespace qb::markup {

void TMarkupRenderer::Pass(TMarkupCursor& text, bool first, bool measuring, bool forced) {
    First_ = first;
    Measuring_ = measuring;
    Forced_ = forced;
    LineWidth_ = Offset_;
    TrailingSpace_ = 0;
    LineBreak_ = Overflow_ = ListItemMet_ = RunPlaced_ = ImageHit_ = false;
    Base_ = LineRect_.Bottom - SubscriptDrop_;
    Work_ = LineRect_;
    Work_.Bottom = Base_;
    if (!measuring) {
        Work_.Left += Offset_;
        if (ParagraphBand_)
            FillParagraphBand();
        OpenContinuedFocus();
    }

    while (!text.Empty() && !LineBreak_ && !Overflow_) {
        // The next run ends before the next tag, or after the next space when wrapping.
        const size_t less = text.NextLess();
        const size_t space = Params_.Wrap ? text.NextSpace() : TMarkupCursor::npos;
        size_t length;
        if (less != TMarkupCursor::npos && (space == TMarkupCursor::npos || less < space))
            length = less;
        else
            length = space != TMarkupCursor::npos ? space + 1 : text.Size();
        if (length > 0)
            HandleRun(text, length);

        if (!text.Empty() && text.Front() == '<' && text.Size() <= 2) {
            text.Clear();
            continue;
        }
        if (LineBreak_ || text.Empty() || text.Front() != '<' || text.Size() < 3)
            continue;
        ActOnTag(text);
    }

    LineWidth_ -= TrailingSpace_;
    if (!measuring)
        CloseContinuedFocus();
}

void TMarkupRenderer::Consume(TMarkupCursor& text, size_t n) {
    if (First_)
        LineText_ += text.Peek(n);
    text.Skip(n);
}

void TMarkupRenderer::HandleRun(TMarkupCursor& text, size_t written) {
    const std::string_view raw = text.Peek(written);
    std::string_view run = raw;
    if (ReplaceRunEntities(raw, RunBuffer_))
        run = RunBuffer_;

    // The line's height and drops are settled by its first pass; the second only draws.
    ApplyFont();
    const TCoord h = Canvas_.TextHeight(run);
    if (First_) {
        if (Flow_.Subscript)
            SubscriptDrop_ = std::max(SubscriptDrop_, h / 4);
        if (Flow_.Superscript)
            SuperscriptRise_ = std::max(SuperscriptRise_, h / 4);
        LineHeight_ = std::max(LineHeight_, h);
    }

    if (Flow_.Hidden) {
        if (First_)
            Result_.PlainText += run;
        text.Skip(written);
        return;
    }

    TCoord w = 0;
    if (Measuring_) {
        const TCoord left = PenX();
        w = RunWidth(run, LineRect_.Left);
        LineWidth_ += w;
        if (!First_) {
            if (ShownAt(left))
                HitTestRun(left, left + w);
            TraceRun(run, {left, LineRect_.Top, left + w, Base_}, false);
        }
    } else {
        DrawRun(run);
    }

    // A run fits within the room; a run wider than all the room a line leaves after its
    // offset fits only alone, so it overflows a line of its own. The second pass takes exactly
    // what the first one placed.
    const TCoord room = Room(Indent_);
    const bool fits =
        !First_ || Forced_ || LineWidth_ < room || (w >= room - Offset_ && !RunPlaced_);
    if (fits || !Params_.Wrap) {
        if (First_)
            Result_.PlainText += run;
        RunPlaced_ = true;
        TrailingSpace_ = (run.size() == written && run.back() == ' ') ? Canvas_.TextWidth(" ") : 0;
        Consume(text, written);
    } else {
        LineBreak_ = true;
        LineWidth_ -= w;
    }
}

void TMarkupRenderer::DrawRun(std::string_view run) {
    TRect64 rect = Work_;
    if (Flow_.Superscript)
        rect.Bottom -= SuperscriptRise_;
    if (Flow_.Subscript)
        rect.Bottom += SubscriptDrop_;
    rect.Bottom -= ImageRaise_;
    const uint32_t drawFormat = Format_ & ~win::DT_EXTERNALLEADING;

    if (Flow_.Shadow) {
        const TCoord d = Params_.ShadowDistance;
        TRect shadow = ToRect({rect.Left + d, rect.Top + d, rect.Right + d, rect.Bottom + d});
        const TColor color = Flow_.Font.Color;
        SetFontColor(Params_.ShadowTint);
        ApplyFont();
        Canvas_.DrawText(run, shadow, drawFormat);
        SetFontColor(color);
    }

    ApplyFont();
    TRect measured = ToRect(rect);
    Canvas_.DrawText(run, measured, Format_ | win::DT_CALCRECT);
    const TCoord w = TCoord{measured.Right} - measured.Left;
    const TCoord right = rect.Left + w;

    const bool drawn = ShownAt(rect.Left);
    if (drawn) {
        TRect target = ToRect(rect);
        Canvas_.DrawText(run, target, drawFormat);
        HitTestRun(rect.Left, right);
    }
    if (Flow_.InsideLink && Flow_.LinkCount - 1 == Params_.FocusedLink)
        Result_.FocusedAnchor = Flow_.LinkTarget;
    if (Flow_.ErrorMark)
        DrawErrorMark(rect.Left, right);
    TraceRun(run, {rect.Left, rect.Top, right, rect.Bottom}, drawn);

    // The pen moves as in the measure pass, so tags that place text see the same line width.
    LineWidth_ += w;
    Work_.Left = right;
    Work_.Right = LineRect_.Right;
    Work_.Top = LineRect_.Top;
    Work_.Bottom = Base_;
}

bool TMarkupRenderer::ShownAt(TCoord left) {
    if (Params_.Wrap)
        return true;
    ApplyFont();
    return left < LineRect_.Right - Canvas_.TextWidth("w");
}

void TMarkupRenderer::DrawErrorMark(TCoord left, TCoord right) {
    Canvas_.SetPenColor(0x0000FF);
    Canvas_.SetPenWidth(1);
    // The zigzag's height at x depends only on x, so it can start and stop at the edges of
    // what can be seen without changing a pixel.
    auto y = [&](TCoord x) { return Base_ - 1 + (x % 4 == 0 ? 2 : 0); };
    TCoord x = left - left % 2;
    const TCoord from = Bounds_.Left - 4 - (Bounds_.Left % 2);
    if (x < from)
        x = from;
    const TCoord to = std::min(right, Bounds_.Right + 4);
    if (x >= to)
        return;
    TRect p = ToRect({x, y(x), 0, 0});
    Canvas_.MoveTo(p.Left, p.Top);
    for (; x < to; x += 2) {
        TRect q = ToRect({x + 2, y(x + 2), 0, 0});
        Canvas_.LineTo(q.Left, q.Top);
    }
}

void TMarkupRenderer::TraceRun(std::string_view run, const TRect64& rect, bool drawn) {
    if (Trace_)
        Trace_->OnRun(run, ToRect(rect), Flow_.InsideLink ? Flow_.LinkCount : 0, drawn);
}

} // namespace qb::markup
