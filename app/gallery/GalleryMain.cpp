// qbgallery.exe: shows sample dialogs of the task dialog component.
//
//   qbgallery [--native | --emulated] [--high-contrast] [--sample NAME[,NAME...]] [--log FILE]
//             [--list]
//   qbgallery --measure [--repeat N] [--sample NAME[,NAME...]] [--log FILE]
//
// --native answers the comctl32 version probe with 6.10, so every dialog goes to the system's
// task dialog (also under Wine, whose comctl32 reports 5.81); --emulated sets ForceEmulation
// and answers 5.81, so every dialog goes to the emulated window. Without either, the real probe
// decides, as in the program. --sample shows the samples named, one after the other; otherwise
// a chooser walks through them. --high-contrast tells the dialogs that the user reads with a
// high-contrast scheme (Wine never says so itself). --measure times each sample on both paths
// (GalleryTiming.h) and answers them itself.
// --log (or QB_E2E_DIALOG_LOG) names a file that gets a line per native dialog and per answer.
#include "runtime/win32/WindowsApi.h"

#include "app/gallery/ComCtlVersionProbe.h"
#include "app/gallery/GallerySamples.h"
#include "app/gallery/GalleryTiming.h"
#include "app/gallery/LogFile.h"
#include "app/gallery/LoggingTaskDialogHost.h"
#include "dialogs/TaskDialog.h"
#include "runtime/Exception.h"
#include "runtime/win32/Win32Platform.h"
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

enum class TPath { System, Native, Emulated };

struct TOptions {
    TPath Path = TPath::System;
    std::string Sample;
    std::string LogFile;
    bool List = false;
    bool Measure = false;
    bool HighContrast = false;
    int Repeat = 3;
    std::string Error;
};

TOptions ParseOptions(int argc, char** argv) {
    TOptions options;
    if (const char* log = std::getenv("QB_E2E_DIALOG_LOG"))
        options.LogFile = log;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--native")
            options.Path = TPath::Native;
        else if (arg == "--emulated")
            options.Path = TPath::Emulated;
        else if (arg == "--list")
            options.List = true;
        else if (arg == "--high-contrast")
            options.HighContrast = true;
        else if (arg == "--measure")
            options.Measure = true;
        else if (arg == "--repeat" && i + 1 < argc && std::atoi(argv[i + 1]) > 0)
            options.Repeat = std::atoi(argv[++i]);
        else if ((arg == "--sample" || arg == "--log") && i + 1 < argc)
            (arg == "--sample" ? options.Sample : options.LogFile) = argv[++i];
        else
            options.Error = "Unknown argument: " + arg;
    }
    return options;
}

const char* PathName(TPath path) {
    switch (path) {
    case TPath::Native:
        return "native (the version probe answers 6.10)";
    case TPath::Emulated:
        return "emulated (ForceEmulation)";
    case TPath::System:
        break;
    }
    return "the system's choice (the real version probe)";
}

// The real windowing, with the user's high-contrast setting on.
class THighContrastWindowing : public qb::Win32Windowing {
public:
    bool HighContrast() override { return true; }
};

std::string RunSample(const qb::TGallerySample& sample, qb::TGalleryContext& context,
                      const qb::TLogFile& log) {
    context.Log = [&](const std::string& line) {
        log.Write("sample=" + std::string(sample.Name) + " " + line);
    };
    std::string outcome = sample.Show(context);
    log.Write("sample=" + std::string(sample.Name) + " " + outcome);
    return outcome;
}

// Every sample in turn: for "Show all", and to log each -1 when no dialog can be shown.
void RunAll(qb::TGalleryContext& context, const qb::TLogFile& log) {
    for (const auto& sample : qb::GallerySamples())
        RunSample(sample, context, log);
}

// The second level of the chooser: a radio button per sample of one group, Show and Back.
// Show walks on to the next sample, so pressing it again and again tours the group.
void RunGroup(const std::string& group, qb::TGalleryContext& context, const qb::TLogFile& log) {
    std::vector<const qb::TGallerySample*> members;
    for (const auto& sample : qb::GallerySamples())
        if (group == sample.Group)
            members.push_back(&sample);
    int next = 0;
    for (;;) {
        qb::TCustomTaskDialog chooser(nullptr);
        chooser.WindowTitle = "Quillbridge gallery";
        chooser.SetMainInstruction(group);
        for (const auto* sample : members)
            chooser.RadioButtons.Add(sample->Title);
        chooser.DefaultRadioButton = 200 + next;
        chooser.CustomButtons.Add("Show");
        chooser.CustomButtons.Add("Back");
        chooser.DefaultButton = 100;
        chooser.ForceEmulation = context.ForceEmulation;
        int result = chooser.Execute();
        int index = chooser.RadioButtonResult - 200;
        log.Write("group result=" + std::to_string(result) +
                  " radio=" + std::to_string(chooser.RadioButtonResult));
        if (result != 100 || index < 0 || index >= static_cast<int>(members.size()))
            return;
        RunSample(*members[static_cast<size_t>(index)], context, log);
        next = (index + 1) % static_cast<int>(members.size());
    }
}

// The chooser is made of task dialogs too: a command link per group, and Show all.
int RunChooser(qb::TGalleryContext& context, TPath path, const qb::TLogFile& log) {
    const std::vector<std::string> groups = qb::GalleryGroups();
    const int showAll = 100 + static_cast<int>(groups.size());
    for (;;) {
        qb::TCustomTaskDialog chooser(nullptr);
        chooser.WindowTitle = "Quillbridge gallery";
        chooser.SetMainInstruction("Dialog gallery");
        chooser.SetContent(std::string("Sample dialogs of the task dialog component.\nPath: ") +
                           PathName(path) + ".");
        for (const std::string& group : groups)
            chooser.CustomButtons.Add(group);
        chooser.CustomButtons.Add("Show all\\nEvery sample in turn");
        chooser.Options += qb::TTaskDialogOption::doCommandLinks;
        chooser.CommonButtons = {qb::TCommonButton::cbClose};
        chooser.DefaultButton = 100;
        chooser.ForceEmulation = context.ForceEmulation;
        int result = chooser.Execute();
        log.Write("chooser result=" + std::to_string(result));
        if (result == -1) {
            // Nothing can be shown on this path: walk through every sample so the log says so.
            RunAll(context, log);
            std::string text = std::string("The dialogs could not be shown on the path chosen: ") +
                               PathName(path) + ".";
            MessageBoxA(nullptr, text.c_str(), "Quillbridge gallery", MB_OK | MB_ICONWARNING);
            return 0;
        }
        if (result >= 100 && result < showAll)
            RunGroup(groups[static_cast<size_t>(result - 100)], context, log);
        else if (result == showAll)
            RunAll(context, log);
        else
            return 0;
    }
}

// The samples named by --sample, separated by commas; unknown names are reported in `missing`.
std::vector<const qb::TGallerySample*> NamedSamples(const std::string& names,
                                                    std::string& missing) {
    std::vector<const qb::TGallerySample*> samples;
    size_t start = 0;
    while (start <= names.size()) {
        size_t end = names.find(',', start);
        if (end == std::string::npos)
            end = names.size();
        std::string name = names.substr(start, end - start);
        if (const qb::TGallerySample* sample = qb::FindGallerySample(name))
            samples.push_back(sample);
        else if (missing.empty())
            missing = name;
        start = end + 1;
    }
    return samples;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    TOptions options = ParseOptions(__argc, __argv);
    if (!options.Error.empty()) {
        MessageBoxA(nullptr, options.Error.c_str(), "Quillbridge gallery", MB_OK | MB_ICONERROR);
        return 2;
    }
    qb::TLogFile log(options.LogFile);
    if (options.List) {
        for (const auto& sample : qb::GallerySamples()) {
            std::printf("%s\t%s\n", sample.Name, sample.Title);
            log.Write(std::string("list ") + sample.Name);
        }
        return 0;
    }

    qb::Win32Platform win32;
    std::optional<qb::TComCtlVersionProbe> probe;
    if (options.Measure)
        probe.emplace(win32.System, qb::TComCtlVersionProbe::Version610);
    else if (options.Path == TPath::Native)
        probe.emplace(win32.System, qb::TComCtlVersionProbe::Version610);
    else if (options.Path == TPath::Emulated)
        probe.emplace(win32.System, qb::TComCtlVersionProbe::Version581);
    qb::TLoggingTaskDialogHost dialogs(win32.TaskDialogs, win32.System, options.LogFile);
    qb::TPlatform platform = win32.AsPlatform();
    if (probe)
        platform.System = &*probe;
    THighContrastWindowing highContrast;
    if (options.HighContrast)
        platform.Windowing = &highContrast;
    platform.TaskDialogs = &dialogs;
    qb::SetPlatform(platform);

    qb::InitTaskDialogModule();
    int exitCode = 0;
    try {
        qb::TGalleryContext context;
        context.ForceEmulation = options.Path == TPath::Emulated;
        std::string missing;
        std::vector<const qb::TGallerySample*> samples;
        if (!options.Sample.empty())
            samples = NamedSamples(options.Sample, missing);
        else if (options.Measure)
            samples = qb::DefaultTimedSamples();
        if (!missing.empty()) {
            std::string text = "There is no sample named " + missing + ".";
            MessageBoxA(nullptr, text.c_str(), "Quillbridge gallery", MB_OK | MB_ICONERROR);
            exitCode = 2;
        } else if (options.Measure) {
            qb::RunTiming(samples, options.Repeat, *probe, log,
                          [&](const qb::TGallerySample& sample, qb::TGalleryContext& timed) {
                              RunSample(sample, timed, log);
                          });
        } else if (!samples.empty()) {
            for (const qb::TGallerySample* sample : samples)
                RunSample(*sample, context, log);
        } else {
            exitCode = RunChooser(context, options.Path, log);
        }
    } catch (const qb::Exception& error) {
        log.Write("error " + error.Message());
        MessageBoxA(nullptr, error.Message().c_str(), "Quillbridge gallery", MB_OK | MB_ICONERROR);
        exitCode = 1;
    }
    qb::DoneTaskDialogModule();
    return exitCode;
}
