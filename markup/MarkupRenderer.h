// Lays out a text in the dialog markup language inside a rectangle: measures it, draws it, or
// finds the link under a point.
#pragma once
#include "runtime/Canvas.h"
#include "runtime/Types.h"
#include <string>
#include <string_view>

namespace qb {

class TImageList;           // images for "IDX:" sources (not used by the dialogs)
class TPictureList;         // pictures loaded by address (markup/PictureContainer.h)
class TMarkupPictureSource; // named-picture lookup (markup/PictureContainer.h)
class TMarkupPicture;

// Watches a layout as it is made (golden tests, tools). Calls come from each line's final
// pass: the measure pass when MeasureOnly, else the draw or hit-test pass.
class IMarkupTrace {
public:
    virtual ~IMarkupTrace() = default;
    // A line's rectangle after alignment and indent, with its measured width (counted from the
    // rectangle's left, so the offset a line carries from OF... is part of it).
    virtual void OnLine(const TRect& lineRect, int width) = 0;
    // A run after it was drawn (or measured, or skipped at the right edge): its text with
    // entities replaced, its text rectangle, its 1-based link number (0 outside links).
    virtual void OnRun(std::string_view text, const TRect& textRect, int link, bool drawn) = 0;
};

struct TMarkupParams {
    TImageList* ImageList = nullptr;
    int MouseX = 0;
    int MouseY = 0;
    int FocusedLink = -1; // 0-based; -1 none
    int HoveredLink = -1; // 1-based; -1 none
    int ShadowDistance = 1;
    bool HitTestOnly = false;
    bool MeasureOnly = false;
    bool Printing = false;
    bool SelectedColors = false;
    bool BlinkOn = true;
    bool HoverOnlyLinks = false;
    bool Wrap = true;
    double PrintScale = 1.0;
    TColor LinkColor = 0xFF0000;
    TColor HoverBackColor = clNone;
    TColor HoverTextColor = clNone;
    TColor ShadowTint = 0x808080;
    TPictureList* PictureCache = nullptr;
    TMarkupPictureSource* PictureSource = nullptr;
    int ExtraLineSpacing = 0;
    IMarkupTrace* Trace = nullptr; // not owned; may be null
};

struct TMarkupResult {
    std::string AnchorUnderMouse;
    std::string PlainText;
    std::string FocusedAnchor;
    int UsedWidth = 0;
    int UsedHeight = 0;
    int LinkCount = 0;
    int LinkUnderMouse = -1;
    TRect HoverBounds;
    bool OverLink = false;
};

// Returns OverLink. OverLink, AnchorUnderMouse and LinkUnderMouse come from one test of the
// mouse point against the runs of links where they are drawn, each over its own line's band,
// in drawing and hit-testing calls alike (never in measuring ones). The canvas font, rotation,
// background and pen are put back before it returns, also when the canvas throws. Any bytes are
// taken: point sizes are kept within 1 to 1000, rotations are taken modulo 360 degrees, layout
// arithmetic is 64-bit with coordinates beyond +-2^30 pulled in before they reach the canvas, and
// error-mark zigzags are drawn only across the layout area (4 pixels either side). The cost grows
// linearly with the text.
bool RenderMarkup(TCanvas& Canvas, std::string_view Markup, const TRect& Bounds,
                  const TMarkupParams& Params, TMarkupResult& Result);

} // namespace qb
