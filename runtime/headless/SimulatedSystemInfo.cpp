#include "runtime/headless/SimulatedMachine.h"
#include "runtime/AsciiCase.h"
#include "runtime/CodePage.h"
#include "runtime/headless/HostFiles.h"
#include "runtime/headless/SimulatedCodePage.h"
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>

// The system-information half of the simulated machine: versions, resources read from the
// resource folder, the process code page and error texts.

namespace qb {

namespace {

constexpr uint32_t ErrorInvalidHandle = 6;
constexpr uint32_t ErrorFileExists = 80;

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return {};
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

std::string StripComments(const std::string& text) {
    std::string out;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (inString) {
            out += c;
            if (c == '"' && !(i + 1 < text.size() && text[i + 1] == '"'))
                inString = false;
            else if (c == '"')
                out += text[++i];
            continue;
        }
        if (c == '"') {
            inString = true;
            out += c;
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            size_t end = text.find("*/", i + 2);
            i = end == std::string::npos ? text.size() : end + 1;
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            while (i < text.size() && text[i] != '\n')
                ++i;
            out += '\n';
        } else {
            out += c;
        }
    }
    return out;
}

// A quoted .rc string starting at text[pos] == '"'; pos ends after the closing quote.
std::string ParseRcString(const std::string& text, size_t& pos) {
    std::string out;
    ++pos;
    while (pos < text.size()) {
        char c = text[pos++];
        if (c == '"') {
            if (pos < text.size() && text[pos] == '"') {
                out += '"';
                ++pos;
                continue;
            }
            break;
        }
        if (c == '\\' && pos < text.size()) {
            char e = text[pos++];
            switch (e) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case '0':
                out += '\0';
                break;
            default:
                out += e;
                break;
            }
            continue;
        }
        out += c;
    }
    return out;
}

} // namespace

// ---- ISystemInfo -----------------------------------------------------------------------------

TOsVersion TSimulatedMachine::GetVersion() {
    return Version;
}

int32_t TSimulatedMachine::ComCtlVersion(const std::string& /*fileName*/) {
    return ComCtl32Version;
}

TWow64Answer TSimulatedMachine::IsWow64Process() {
    return Wow64;
}

bool TSimulatedMachine::ProcessIs64Bit() {
    return Is64BitProcess;
}

bool TSimulatedMachine::HasGetLocaleInfoEx() {
    return LocaleInfoEx;
}

int TSimulatedMachine::MessageBox(THandle owner, const std::string& text,
                                  const std::string& caption, uint32_t flags) {
    MessageBoxes.push_back({owner, text, caption, flags});
    return MessageBoxAnswer;
}

void TSimulatedMachine::LoadResourceTables() {
    if (ResourcesLoaded)
        return;
    ResourcesLoaded = true;
    const std::string dir = QB_RESOURCE_DIR;

    std::map<std::string, unsigned> ids;
    std::istringstream header(StripComments(ReadHostFile(dir + "/ResourceIds.h").value_or("")));
    for (std::string line; std::getline(header, line);) {
        std::istringstream words(line);
        std::string directive, name, value;
        if (words >> directive >> name >> value && directive == "#define")
            ids[name] = static_cast<unsigned>(std::strtoul(value.c_str(), nullptr, 0));
    }

    const std::string strings = StripComments(ReadHostFile(dir + "/strings.rc").value_or(""));
    size_t begin = strings.find("BEGIN");
    size_t end = strings.rfind("END");
    if (begin != std::string::npos && end != std::string::npos && end > begin) {
        std::istringstream body(strings.substr(begin + 5, end - begin - 5));
        for (std::string line; std::getline(body, line);) {
            size_t quote = line.find('"');
            if (quote == std::string::npos)
                continue;
            std::string idText = Trim(line.substr(0, quote));
            if (!idText.empty() && idText.back() == ',')
                idText.pop_back();
            idText = Trim(idText);
            unsigned id = 0;
            if (auto it = ids.find(idText); it != ids.end())
                id = it->second;
            else if (!idText.empty() && std::isdigit(static_cast<unsigned char>(idText[0])))
                id = static_cast<unsigned>(std::strtoul(idText.c_str(), nullptr, 0));
            else
                continue;
            Strings[id] = ParseRcString(line, quote);
        }
    }

    std::istringstream data(StripComments(ReadHostFile(dir + "/data.rc").value_or("")));
    for (std::string line; std::getline(data, line);) {
        std::istringstream words(line);
        std::string name, type;
        if (!(words >> name >> type) || UpperAscii(type) != "RCDATA")
            continue;
        size_t quote = line.find('"');
        if (quote == std::string::npos)
            continue;
        RcData[UpperAscii(name)] = ParseRcString(line, quote);
    }
}

std::string TSimulatedMachine::LoadString(unsigned id) {
    LoadResourceTables();
    auto it = Strings.find(id);
    return it == Strings.end() ? std::string() : it->second;
}

std::optional<std::string> TSimulatedMachine::LoadRcData(const std::string& name) {
    if (auto added = AddedRcData.find(UpperAscii(name)); added != AddedRcData.end())
        return added->second;
    LoadResourceTables();
    auto it = RcData.find(UpperAscii(name));
    if (it == RcData.end())
        return std::nullopt;
    return ReadHostFile(std::string(QB_RESOURCE_DIR) + "/" + it->second);
}

uint32_t TSimulatedMachine::AnsiCodePage() {
    return CodePage;
}

std::u16string TSimulatedMachine::ToUtf16(const std::string& text) {
    switch (CodePage) {
    case CpUtf8:
        return Utf8ToUtf16(text);
    case 932:
    case 950:
        return SimulatedDbcsToUtf16(text, CodePage);
    default:
        return Cp1252ToUtf16(text);
    }
}

std::string TSimulatedMachine::FromUtf16(const std::u16string& text) {
    switch (CodePage) {
    case CpUtf8:
        return Utf16ToUtf8(text);
    case 932:
    case 950:
        return SimulatedDbcsFromUtf16(text, CodePage);
    default:
        return Utf16ToCp1252(text);
    }
}

std::string TSimulatedMachine::ErrorMessage(uint32_t code) {
    // An HRESULT of the Win32 facility carries a system error code.
    if ((code & 0xFFFF0000u) == 0x80070000u)
        code &= 0xFFFFu;
    switch (code) {
    case 0:
        return "The operation completed successfully.";
    case win::ERROR_FILE_NOT_FOUND:
        return "The system cannot find the file specified.";
    case win::ERROR_PATH_NOT_FOUND:
        return "The system cannot find the path specified.";
    case win::ERROR_ACCESS_DENIED:
        return "Access is denied.";
    case ErrorInvalidHandle:
        return "The handle is invalid.";
    case win::ERROR_WRITE_PROTECT:
        return "The media is write protected.";
    case win::ERROR_SHARING_VIOLATION:
        return "The process cannot access the file because it is being used by another process.";
    case ErrorFileExists:
        return "The file exists.";
    case win::ERROR_DISK_FULL:
        return "There is not enough space on the disk.";
    case 0x80004005u:
        return "Unspecified error";
    case 0x80004002u:
        return "No such interface supported";
    case 0x80040154u:
        return "Class not registered";
    default: {
        char text[40];
        std::snprintf(text, sizeof text, "Unknown error 0x%08X.", code);
        return text;
    }
    }
}

bool TSimulatedMachine::IsDbcsLeadByte(uint8_t byte) {
    return SimulatedLeadByte(byte, CodePage);
}

std::optional<std::string> TSimulatedMachine::EnvironmentVariable(const std::string& name) {
    const auto it = Environment.find(UpperAscii(name));
    return it == Environment.end() ? std::nullopt : std::optional<std::string>(it->second);
}

void TSimulatedMachine::SetEnvironment(const std::string& name, std::optional<std::string> value) {
    if (value)
        Environment[UpperAscii(name)] = *value;
    else
        Environment.erase(UpperAscii(name));
}

void TSimulatedMachine::SetVersionString(const std::string& path, const std::string& name,
                                         const std::string& value) {
    if (TNode* node = Find(path))
        node->VersionStrings[UpperAscii(name)] = value;
}

std::optional<std::string> TSimulatedMachine::FileVersionString(const std::string& path,
                                                                const std::string& name) {
    const TNode* node = Find(path);
    if (node == nullptr || node->Folder)
        return std::nullopt;
    const auto it = node->VersionStrings.find(UpperAscii(name));
    return it == node->VersionStrings.end() ? std::nullopt : std::optional<std::string>(it->second);
}

// ---- IRegistry -------------------------------------------------------------------------------

TRegistryViews TSimulatedMachine::Views() const {
    return {Is64BitProcess || Wow64 == TWow64Answer::Yes, Is64BitProcess};
}

void TSimulatedMachine::SetRegistryValue(uint32_t root, const std::string& key,
                                         const std::string& name, const std::string& value,
                                         uint32_t view) {
    Registry.SetValue(Views(), root, key, name, value, view);
}

std::optional<std::string> TSimulatedMachine::ReadString(uint32_t root, const std::string& key,
                                                         const std::string& name, uint32_t view) {
    return Registry.Read(Views(), root, key, name, view);
}

std::vector<std::string> TSimulatedMachine::SubKeys(uint32_t root, const std::string& key,
                                                    uint32_t view) {
    return Registry.SubKeys(Views(), root, key, view);
}

} // namespace qb
