// The renderer's state for one call of RenderMarkup and the operations of its passes.
// Internal to markup/: the entry point is RenderMarkup in MarkupRenderer.h.
#pragma once
#include "markup/MarkupCursor.h"
#include "markup/MarkupRenderer.h"
#include "markup/MarkupSupport.h"
#include <cstdint>
#include <string>
#include <string_view>

namespace qb::markup {

// Layout arithmetic is 64-bit: markup numbers and canvas widths can be anything a 32-bit
// integer holds, and their sums must not overflow.
using TCoord = int64_t;

struct TRect64 {
    TCoord Left = 0;
    TCoord Top = 0;
    TCoord Right = 0;
    TCoord Bottom = 0;
};

enum class TAlignment { Left, Center, Right };

// What a line's passes carry along the text. Each line's second pass starts from the state its
// first pass started from, so both see the text alike; the state after the line's last pass
// goes on to the next line.
struct TFlowState {
    TFont Font;
    int ListLevel = 0;
    int LinkCount = 0;
    int ImageCount = 0;
    bool InsideLink = false;
    std::string LinkTarget;
    TColor BeforeLink = clNone; // text colour an end tag of the link goes back to
    bool Blinking = false;
    TColor BeforeBlink = clNone;
    bool Hidden = false;
    bool Shadow = false;
    bool ErrorMark = false;
    bool Subscript = false;
    bool Superscript = false;
    int Rotation = 0; // tenths of a degree, as set on the canvas
    TRotatedFontSlot RotationSlot;
    TCoord OffsetVariable = 0;
};

class TMarkupRenderer {
public:
    TMarkupRenderer(TCanvas& canvas, const TRect& bounds, const TMarkupParams& params,
                    TMarkupResult& result);
    void Run(std::string_view markup);

private:
    // One line: measure pass, alignment, second pass.
    void Line(TMarkupCursor& remaining);
    // RenderMarkupLine: one pass over `text`; the first pass appends what it consumes to
    // LineText_. `forced` takes every run and never overflows (used to guarantee progress).
    void Pass(TMarkupCursor& text, bool first, bool measuring, bool forced);
    void HandleRun(TMarkupCursor& text, size_t written);
    void DrawRun(std::string_view run);
    // Where the next run starts: line width counts from the line rectangle's left in both passes.
    TCoord PenX() const { return LineRect_.Left + LineWidth_; }
    // Room for a line: the layout area less the indent (the offset is part of the line width).
    TCoord Room(TCoord indent) const { return Remaining_.Right - Remaining_.Left - indent; }
    // Without wrapping, a run that starts within a "w" of the right edge is not drawn.
    bool ShownAt(TCoord left);
    void TraceRun(std::string_view run, const TRect64& rect, bool drawn);
    void DrawErrorMark(TCoord left, TCoord right);
    void Consume(TMarkupCursor& text, size_t n);

    // Tags (MarkupTags.cpp).
    void ActOnTag(TMarkupCursor& text);
    // `head` holds the tag's first five bytes (fewer when the text ends), `tag` the tag up to
    // its ">" (or to the end of the text when it has none).
    void OpeningTag(std::string_view head, std::string_view tag, bool closed);
    void ClosingTag(std::string_view head);
    void FontTag(std::string_view tag, bool closed);
    void FontEnd();
    void ParagraphTag(std::string_view tag, bool closed);
    void ListItem();
    void IndentTo(std::string_view tag);
    void Offset(std::string_view tag);
    void Rotate(std::string_view tag);
    void Rule();
    void Highlight();
    void HighlightEnd();

    // Links (MarkupLinks.cpp).
    void LinkStart(std::string_view tag);
    void LinkEnd();
    // A run of the current link from `left` to `right`, tested against the mouse point in the
    // line's final pass: OverLink, the anchor and the link under the mouse come from this test.
    void HitTestRun(TCoord left, TCoord right);
    void OpenContinuedFocus();
    void CloseContinuedFocus();
    void FrameFocusPart();
    void EvaluateHit();

    // Backgrounds (MarkupBackgrounds.cpp).
    void Body(std::string_view tag);
    void ParagraphBackground(std::string_view attributes);
    void FillParagraphBand();
    void FillArea(const TRect64& rect, TColor color);

    // Images (MarkupImages.cpp).
    void Image(std::string_view tag);
    void BodyPictures(std::string_view attributes);
    // An image-list image or shell icon named by the source, drawn when `draw` at (x, y), or
    // with its right edge at x when `fromRight`; the size it is drawn at, or 0 x 0.
    TSize SourceIcon(std::string_view source, TCoord x, TCoord y, bool draw, bool fromRight);
    // The picture a plain name or an address stands for; addresses load on first use.
    TMarkupPicture* SourcePicture(std::string_view source);
    void PlacePicture(TMarkupPicture& picture, TSize size, TCoord x, TCoord y, bool tile);

    // Canvas helpers.
    void ApplyFont();
    void SetFontColor(TColor color);
    void SetFontStyle(TFontStyle style, bool on);
    int TextHeight();
    TCoord RunWidth(std::string_view run, TCoord left);
    TColor Background() const;
    void SetBackground(TColor color);
    static TRect ToRect(const TRect64& r);
    void SaveState(TFlowState& to);
    void RestoreState(const TFlowState& from);

    TCanvas& Canvas_;
    const TRect64 Bounds_;
    const TMarkupParams& Params_;
    TMarkupResult& Result_;
    IMarkupTrace* Trace_;

    TFont BaseFont_;
    TColor EntryBackground_ = clNone;
    uint32_t Format_ = 0;
    TFlowState Flow_;
    bool FontDirty_ = true;

    TRect64 Remaining_;
    TCoord UsedWidth_ = 0;
    TCoord UsedHeight_ = 0;

    TAlignment Alignment_ = TAlignment::Left;
    TCoord Indent_ = 0; // narrows the box every line is fitted and aligned in
    TCoord Offset_ = 0; // of the current line

    // Draw-pass state (changes only while drawing).
    TColor FontBackground_ = clNone; // saved by FONT (and BODY), put back by /FONT
    TColor ParagraphSaved_ = clNone; // saved by P "BGCOLOR", put back by /P
    bool ParagraphBand_ = false;
    bool HighlightMet_ = false;
    TColor HighlightText_ = clNone;
    TColor HighlightBack_ = clNone;
    TColor HoverSavedBack_ = clNone;
    TColor HoverSavedText_ = clNone;
    TRect64 Focus_;

    // Image state.
    int ImageUnderMouse_ = -1;
    TCoord ImageWidth_ = 0;
    TCoord ImageHeight_ = 0;

    // Hit-test state.
    bool MouseOnLink_ = false;
    TCoord LinkStartX_ = 0;
    TCoord LinkStartTop_ = 0;

    // Per line.
    TCoord LineHeight_ = 0;
    TCoord SubscriptDrop_ = 0;
    TCoord SuperscriptRise_ = 0;
    TCoord ImageRaise_ = 0;
    TRect64 LineRect_;
    std::string LineText_;

    // Per pass.
    bool First_ = true;
    bool Measuring_ = true;
    bool Forced_ = false;
    TCoord LineWidth_ = 0; // the line's offset, its runs and what tags moved, in either pass
    TCoord TrailingSpace_ = 0;
    bool LineBreak_ = false;
    bool Overflow_ = false;
    bool ListItemMet_ = false;
    bool RunPlaced_ = false;
    bool ImageHit_ = false;
    TCoord Base_ = 0;
    TRect64 Work_;
    std::string RunBuffer_;
};

} // namespace qb::markup
