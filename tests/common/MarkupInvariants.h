// What every markup layout on the recording canvas must keep, whatever the text: links are found
// exactly where their runs are drawn and nowhere else, drawn runs never overlap or leave their
// line, wrapped text stays inside the layout area (a word wider than a whole line alone
// excepted), UsedWidth covers every left-aligned line, and a focused link is framed part by
// part where it is drawn. Used by the property test over generated texts and by the fuzzer.
#pragma once
#include "markup/MarkupRenderer.h"
#include <cstdint>
#include <string>
#include <vector>

namespace qb::test {

struct TInvariantCase {
    std::string Markup;
    TRect Bounds;
    // Flags, colours and spacing; the checks set the mode, mouse point and focused link.
    TMarkupParams Params;
    TFont Font;
    // Link targets by number, when known; otherwise each is read back as the focused anchor.
    std::vector<std::string> Targets;
    // Whether drawn runs must end within UsedWidth. Only callers whose areas and fonts are a
    // dialog's ask it: degenerate areas and fonts measure as nothing wide yet draw a word.
    bool CheckUsedWidth = true;
};

// How much a check looked at, so that one finding nothing to look at shows up.
struct TInvariantCounts {
    long Layouts = 0;
    long LinkPoints = 0;  // points on drawn link runs
    long PlainPoints = 0; // points off every link run
    long FramedRuns = 0;  // runs of a focused link checked against its frames
    long Runs = 0;
};

struct TInvariantLimits {
    int LinkRuns = 8;     // link runs probed, each at its centre and just outside
    int PlainRuns = 4;    // plain runs probed at their centre
    int RandomPoints = 6; // points anywhere around the text
    int FocusedLinks = 2; // links drawn focused
};

// Returns what was broken, or an empty string. `seed` picks the probes.
std::string CheckMarkupInvariants(const TInvariantCase& c, uint32_t seed,
                                  const TInvariantLimits& limits, TInvariantCounts& counts);

} // namespace qb::test
