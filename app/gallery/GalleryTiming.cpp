#include "app/gallery/GalleryTiming.h"
#include "app/gallery/FirstPaintTimer.h"
#include <algorithm>
#include <cstdio>
#include <string_view>

namespace qb {

namespace {

struct TPathRun {
    const char* Name;
    int32_t Version;
    bool ForceEmulation;
};

constexpr TPathRun Paths[] = {
    {"native", TComCtlVersionProbe::Version610, false},
    {"emulated", TComCtlVersionProbe::Version581, true},
};

std::string Ms(double ms) {
    if (ms < 0)
        return "none";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", ms);
    return buf;
}

void Say(const TLogFile& log, const std::string& line) {
    log.Write(line);
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

} // namespace

std::vector<const TGallerySample*> DefaultTimedSamples() {
    // The timer closes by itself after seconds; close-query refuses the first Return; only the
    // emulated window asks the shell for the pictures' icons and makes an input field, so the
    // two paths differ in work.
    constexpr std::string_view Untimed[] = {"timer", "close-query", "pictures", "input"};
    std::vector<const TGallerySample*> samples;
    for (const TGallerySample& sample : GallerySamples())
        if (std::find(std::begin(Untimed), std::end(Untimed), sample.Name) == std::end(Untimed))
            samples.push_back(&sample);
    return samples;
}

double MedianMs(std::vector<double> values) {
    values.erase(std::remove_if(values.begin(), values.end(), [](double v) { return v < 0; }),
                 values.end());
    if (values.empty())
        return -1.0;
    std::sort(values.begin(), values.end());
    size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

void RunTiming(const std::vector<const TGallerySample*>& samples, int repeat,
               TComCtlVersionProbe& probe, const TLogFile& log,
               const std::function<void(const TGallerySample&, TGalleryContext&)>& show) {
    if (samples.empty())
        return;
    TFirstPaintTimer timer;
    auto once = [&](const TGallerySample& sample, const TPathRun& path) {
        probe.SetVersion(path.Version);
        TGalleryContext context;
        context.ForceEmulation = path.ForceEmulation;
        timer.Start();
        show(sample, context);
        return timer.Milliseconds();
    };
    // Loading comctl32, fonts and icons the first time is not what is measured.
    for (const TPathRun& path : Paths)
        Say(log, std::string("timing warmup path=") + path.Name +
                     " ms=" + Ms(once(*samples.front(), path)));

    std::vector<std::vector<double>> runs(samples.size() * 2);
    for (int r = 1; r <= repeat; ++r) {
        for (size_t s = 0; s < samples.size(); ++s) {
            for (size_t p = 0; p < 2; ++p) {
                double ms = once(*samples[s], Paths[p]);
                runs[s * 2 + p].push_back(ms);
                Say(log, std::string("timing sample=") + samples[s]->Name + " path=" +
                             Paths[p].Name + " run=" + std::to_string(r) + " ms=" + Ms(ms));
            }
        }
    }
    std::vector<double> native, emulated;
    for (size_t s = 0; s < samples.size(); ++s) {
        double n = MedianMs(runs[s * 2]);
        double e = MedianMs(runs[s * 2 + 1]);
        native.push_back(n);
        emulated.push_back(e);
        Say(log, std::string("timing median sample=") + samples[s]->Name + " native=" + Ms(n) +
                     " emulated=" + Ms(e));
    }
    Say(log,
        "timing median all native=" + Ms(MedianMs(native)) + " emulated=" + Ms(MedianMs(emulated)));
}

} // namespace qb
