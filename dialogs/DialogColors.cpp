#include "dialogs/DialogColors.h"

namespace qb {

namespace {

// System colour indexes (GetSysColor).
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clHotLight = SystemColor(26);

} // namespace

TDialogColors DialogColorsFor(bool highContrast, TColor band, TColor bandLine) {
    TDialogColors colors;
    colors.Band = band;
    colors.BandLine = bandLine;
    if (!highContrast)
        return colors;
    colors.HighContrast = true;
    colors.Instruction = clWindowText;
    colors.CommandLinkBorder = clHighlight;
    colors.ExpandButtonBack = clBtnFace;
    colors.Band = clBtnFace;
    // Lines in the text colour: the scheme's greys may vanish on its background.
    colors.BandLine = clWindowText;
    colors.Separator = clWindowText;
    colors.SeparatorLight = clWindow;
    colors.Frame = clBtnShadow;
    colors.Link = clHotLight;
    return colors;
}

} // namespace qb
