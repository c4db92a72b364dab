// Markup samples as the golden folder keeps them: "@key value" lines, a "---" line, then the
// markup (every byte after it but the file's final line break). Read by the golden layout test
// and by the end-to-end program that draws the same samples with GDI.
#pragma once
#include "markup/MarkupRenderer.h"
#include <filesystem>
#include <string>
#include <vector>

namespace qb::test {

struct TMarkupSample {
    std::string Name;
    TRect Bounds{0, 0, 200, 100};
    // "draw", "measure" or "hittest"; Params.MeasureOnly and Params.HitTestOnly follow it.
    std::string Mode = "draw";
    TMarkupParams Params;
    TFont Font;
    TColor Brush = clWhite;
    std::string Markup;
};

// Throws std::runtime_error for a sample it cannot read. Lines may end in CR LF.
TMarkupSample ParseMarkupSample(const std::string& name, const std::string& file);
// The folder's *.txt files, by name; none when the folder cannot be read.
std::vector<std::filesystem::path> MarkupSampleFiles(const std::filesystem::path& dir);
// Every sample of the folder, by name; samples that cannot be read go to errors instead.
std::vector<TMarkupSample> LoadMarkupSamples(const std::filesystem::path& dir,
                                             std::vector<std::string>& errors);
// The file's bytes as they are; empty when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);

} // namespace qb::test
