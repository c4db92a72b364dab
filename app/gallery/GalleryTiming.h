// The gallery's timing run: how long each sample takes from Execute to the end of its first
// paint, through the system's task dialog and through the emulated window, in one process.
#pragma once
#include "app/gallery/ComCtlVersionProbe.h"
#include "app/gallery/GallerySamples.h"
#include "app/gallery/LogFile.h"
#include <functional>
#include <string>
#include <vector>

namespace qb {

// The samples timed when none are named: those that close on Return by themselves.
std::vector<const TGallerySample*> DefaultTimedSamples();

// The middle value (the mean of the two middle ones for an even count); negative values, runs
// that painted nothing, are left out. -1 when nothing is left.
double MedianMs(std::vector<double> values);

// Shows each sample `repeat` times on each path, native and emulated in turn, after one warm-up
// of each. Writes a "timing" line per run and the medians per sample and overall to the log and
// to stdout. `show` runs one sample with the context given.
void RunTiming(const std::vector<const TGallerySample*>& samples, int repeat,
               TComCtlVersionProbe& probe, const TLogFile& log,
               const std::function<void(const TGallerySample&, TGalleryContext&)>& show);

} // namespace qb
