// The colours the emulated window paints with: its own design, or, while the user has high
// contrast on, the system colours of the user's scheme, so that every text stays readable.
#pragma once
#include "runtime/Types.h"

namespace qb {

struct TDialogColors {
    bool HighContrast = false;
    TColor Instruction = 0xC45300; // the main instruction and command links
    TColor CommandLinkBorder = 0xFFE16C;
    TColor ExpandButtonBack = 0xF0F0F0;
    TColor Band = 0xF0F0F0; // the button band (the model's FooterColor)
    TColor BandLine = 0xDFDFDF;
    TColor Separator = 0xDFDFDF; // the footer's separator, a dark and a light line
    TColor SeparatorLight = 0xFFFFFF;
    TColor Frame = 0x808080; // the frame inside the client edge on old systems
    TColor Link = 0xFF0000;
};

// The model's band colours are kept unless high contrast is on.
TDialogColors DialogColorsFor(bool highContrast, TColor band, TColor bandLine);

} // namespace qb
