// Markup samples as the golden folder keeps them: "@key value" lines, a "---" line, then the
// markup (every byte after it but the file's final line break).
#pragma once
#include "markup/MarkupRenderer.h"
#include <filesystem>
#include <string>
#include <vector>

namespace qb::e2e {

struct TMarkupSample {
    std::string Name;
    TRect Bounds{0, 0, 200, 100};
    TMarkupParams Params;
    TFont Font;
    TColor Brush = clWhite;
    std::string Markup;
};

// Throws std::runtime_error for a sample it cannot read.
TMarkupSample ParseMarkupSample(const std::string& name, const std::string& file);
// Every *.txt of the folder, by name; samples that cannot be read go to errors instead.
std::vector<TMarkupSample> LoadMarkupSamples(const std::filesystem::path& dir,
                                             std::vector<std::string>& errors);

} // namespace qb::e2e
