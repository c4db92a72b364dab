#include "tests/common/MarkupSampleFile.h"
#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace qb::test {
namespace {

TColor ParseColor(const std::string& word) {
    if (word == "none")
        return clNone;
    return static_cast<TColor>(std::stoul(word, nullptr, 16));
}

// \r \n \t \0 \\ and \xHH, for samples that need bytes an editor would not keep.
std::string Unescape(const std::string& text) {
    std::string s;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            s += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'r')
            s += '\r';
        else if (c == 'n')
            s += '\n';
        else if (c == 't')
            s += '\t';
        else if (c == '0')
            s += '\0';
        else if (c == 'x' && i + 2 < text.size()) {
            s += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else
            s += c;
    }
    return s;
}

TFontStyles ParseStyle(const std::string& letters) {
    TFontStyles style = 0;
    for (char c : letters)
        style |= c == 'B'   ? fsBold
                 : c == 'I' ? fsItalic
                 : c == 'U' ? fsUnderline
                 : c == 'S' ? fsStrikeOut
                            : 0;
    return style;
}

} // namespace

TMarkupSample ParseMarkupSample(const std::string& name, const std::string& file) {
    TMarkupSample sample;
    sample.Name = name;
    size_t pos = 0;
    bool escapes = false;
    for (;;) {
        const size_t eol = file.find('\n', pos);
        if (eol == std::string::npos)
            throw std::runtime_error("sample without a --- line");
        std::string line = file.substr(pos, eol - pos);
        pos = eol + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line == "---")
            break;
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream in(line);
        std::string key, word;
        in >> key;
        TMarkupParams& p = sample.Params;
        auto number = [&] {
            int v = 0;
            in >> v;
            return v;
        };
        auto color = [&] {
            in >> word;
            return ParseColor(word);
        };
        if (key == "@bounds")
            in >> sample.Bounds.Left >> sample.Bounds.Top >> sample.Bounds.Right >>
                sample.Bounds.Bottom;
        else if (key == "@mode")
            in >> sample.Mode;
        else if (key == "@mouse")
            in >> p.MouseX >> p.MouseY;
        else if (key == "@focused")
            p.FocusedLink = number();
        else if (key == "@hovered")
            p.HoveredLink = number();
        else if (key == "@shadow")
            p.ShadowDistance = number();
        else if (key == "@spacing")
            p.ExtraLineSpacing = number();
        else if (key == "@wrap")
            p.Wrap = number() != 0;
        else if (key == "@selected")
            p.SelectedColors = number() != 0;
        else if (key == "@blink")
            p.BlinkOn = number() != 0;
        else if (key == "@hoveronly")
            p.HoverOnlyLinks = number() != 0;
        else if (key == "@linkcolor")
            p.LinkColor = color();
        else if (key == "@hoverback")
            p.HoverBackColor = color();
        else if (key == "@hovertext")
            p.HoverTextColor = color();
        else if (key == "@tint")
            p.ShadowTint = color();
        else if (key == "@brush")
            sample.Brush = color();
        else if (key == "@escapes")
            escapes = number() != 0;
        else if (key == "@font") {
            in >> sample.Font.Name >> sample.Font.Size >> word;
            sample.Font.Style = ParseStyle(word);
            sample.Font.Color = color();
        } else
            throw std::runtime_error("unknown sample key " + key);
        if (in.fail())
            throw std::runtime_error("bad sample line: " + line);
    }
    std::string markup = file.substr(pos);
    if (!markup.empty() && markup.back() == '\n')
        markup.pop_back();
    if (!markup.empty() && markup.back() == '\r')
        markup.pop_back();
    sample.Markup = escapes ? Unescape(markup) : markup;
    if (sample.Mode != "draw" && sample.Mode != "measure" && sample.Mode != "hittest")
        throw std::runtime_error("unknown mode " + sample.Mode);
    sample.Params.MeasureOnly = sample.Mode == "measure";
    sample.Params.HitTestOnly = sample.Mode == "hittest";
    return sample;
}

std::vector<std::filesystem::path> MarkupSampleFiles(const std::filesystem::path& dir) {
    std::error_code error;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error))
        if (entry.path().extension() == ".txt")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<TMarkupSample> LoadMarkupSamples(const std::filesystem::path& dir,
                                             std::vector<std::string>& errors) {
    std::vector<TMarkupSample> samples;
    for (const auto& file : MarkupSampleFiles(dir)) {
        try {
            samples.push_back(ParseMarkupSample(file.stem().string(), ReadWholeFile(file)));
        } catch (const std::exception& e) {
            errors.push_back(file.filename().string() + ": " + e.what());
        }
    }
    return samples;
}

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace qb::test
