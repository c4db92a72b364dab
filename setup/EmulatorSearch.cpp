#include "setup/EmulatorSearch.h"
#include "runtime/CodePage.h"
#include "runtime/Platform.h"
#include "runtime/Registry.h"
#include "runtime/WinConst.h"
#include "setup/Discovery.h"
#include "setup/TextRoutines.h"
#include <utility>
#include <vector>

namespace qb {

namespace {

constexpr const char* EmulatorFiles[] = {"dosbox.exe", "dosbox-x.exe"};
constexpr const char* CurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* UninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* StagingUninstallEntry = "{587471B7-02F6-4F25-8D00-70006790653C}_is1";

// Where each emulator's installer records its folder, as the value Path.
struct TRecordedKey {
    const char* Key;
    bool Staging;
};
constexpr TRecordedKey RecordedKeys[] = {{"Software\\dosbox-staging", true},
                                         {"Software\\DOSBox-X", false}};

// A folder that may hold the emulator, and whether the way to it already names DOSBox Staging.
struct TPlace {
    std::string Folder;
    bool NamesStaging = false;
};

bool Mentions(const std::string& text, const char* word) {
    return FindCharText(LowerAscii(text), word) != std::string::npos;
}

// A folder another program recorded, lower-cased with one trailing backslash; empty unless it
// is a full path (a relative one would be looked for wherever this program was started).
std::string RecordedFolder(std::string value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    const bool drive = value.size() >= 3 && value[1] == ':' && value[2] == '\\';
    const bool network = value.compare(0, 2, "\\\\") == 0;
    return drive || network ? LowerAscii(WithTrailingBackslash(value)) : std::string();
}

// The emulator a folder holds, or empty.
std::string EmulatorIn(const std::string& folder) {
    for (const char* file : EmulatorFiles)
        if (Platform().Files->FileExists(folder + file))
            return folder + file;
    return {};
}

// The name of the folder that holds a file.
std::string FolderName(const std::string& path) {
    const std::string folder = ExtractFilePath(path);
    return ExtractFileName(folder.substr(0, folder.empty() ? 0 : folder.size() - 1));
}

// The folders under `parent` that today's rule takes, in listing order.
void AddDosboxFolders(const std::string& parent, std::vector<TPlace>& places) {
    if (parent.empty())
        return;
    for (const std::string& folder : DosboxFolders(parent))
        places.push_back({folder, Mentions(folder.substr(parent.size()), "staging")});
}

// The 64-bit Program Files folder. A 32-bit process is told the x86 folder under number 38, so
// it asks its environment or the registry's 64-bit view instead.
std::string ProgramFiles64(bool system64) {
    ISystemInfo& system = *Platform().System;
    if (!system64)
        return {};
    if (system.ProcessIs64Bit())
        return SpecialFolderDir(win::CSIDL_PROGRAM_FILES);
    if (const auto value = system.EnvironmentVariable("ProgramW6432"); value && !value->empty())
        return RecordedFolder(*value);
    if (IRegistry* registry = Platform().Registry) {
        const auto value = registry->ReadString(win::HKEY_LOCAL_MACHINE, CurrentVersionKey,
                                                "ProgramFilesDir", win::KEY_WOW64_64KEY);
        if (value)
            return RecordedFolder(*value);
    }
    return {};
}

// The per-user programs folder, where installers for the current user alone put programs.
std::string UserPrograms() {
    const std::string localAppData = SpecialFolderDir(win::CSIDL_LOCAL_APPDATA);
    return localAppData.empty() ? std::string() : localAppData + "programs\\";
}

// HKCU, then HKLM in both views on a 64-bit system: installers of 64-bit emulators record
// them in the 64-bit view, which a 32-bit process does not open by default.
std::vector<std::pair<uint32_t, uint32_t>> RegistryViews(bool system64) {
    std::vector<std::pair<uint32_t, uint32_t>> views{{win::HKEY_CURRENT_USER, 0}};
    if (system64) {
        views.emplace_back(win::HKEY_LOCAL_MACHINE, win::KEY_WOW64_32KEY);
        views.emplace_back(win::HKEY_LOCAL_MACHINE, win::KEY_WOW64_64KEY);
    } else {
        views.emplace_back(win::HKEY_LOCAL_MACHINE, 0);
    }
    return views;
}

void AddRecordedPaths(IRegistry& registry, bool system64, std::vector<TPlace>& places) {
    for (const TRecordedKey& recorded : RecordedKeys)
        for (const auto& [root, view] : RegistryViews(system64))
            if (const auto value = registry.ReadString(root, recorded.Key, "Path", view))
                places.push_back({RecordedFolder(*value), recorded.Staging});
}

void AddUninstallEntries(IRegistry& registry, bool system64, std::vector<TPlace>& places) {
    for (const auto& [root, view] : RegistryViews(system64)) {
        for (const std::string& entry : registry.SubKeys(root, UninstallKey, view)) {
            const std::string key = std::string(UninstallKey) + "\\" + entry;
            const std::string name =
                registry.ReadString(root, key, "DisplayName", view).value_or("");
            if (!Mentions(name, "dosbox"))
                continue;
            const auto location = registry.ReadString(root, key, "InstallLocation", view);
            const bool staging =
                SameTextAscii(entry, StagingUninstallEntry) || Mentions(name, "staging");
            places.push_back({RecordedFolder(location.value_or("")), staging});
        }
    }
}

// DOSBox-X's installer puts it at the root of the system drive by default.
std::string DosboxXDefault() {
    const std::string windows = SpecialFolderDir(win::CSIDL_WINDOWS);
    if (windows.size() < 2 || windows[1] != ':')
        return {};
    return windows.substr(0, 2) + "\\dosbox-x\\";
}

// Where the emulators installed today put themselves, in the order they are tried.
std::vector<TPlace> LaterPlaces(bool system64) {
    std::vector<TPlace> places;
    AddDosboxFolders(ProgramFiles64(system64), places);
    AddDosboxFolders(UserPrograms(), places);
    if (IRegistry* registry = Platform().Registry) {
        AddRecordedPaths(*registry, system64, places);
        AddUninstallEntries(*registry, system64, places);
    }
    places.push_back({DosboxXDefault(), false});
    return places;
}

// The version resource says which emulator it is; without one, the way it was found decides.
bool IsStaging(const std::string& exe, bool namesStaging) {
    const auto product = Platform().System->FileVersionString(exe, "ProductName");
    return product && !product->empty() ? Mentions(*product, "staging") : namesStaging;
}

} // namespace

bool FindEmulator(bool system64, TEmulator& emulator) {
    emulator = {};
    std::string path;
    if (FindDosboxExe(path)) {
        emulator = {path, IsStaging(path, Mentions(FolderName(path), "staging"))};
        return true;
    }
    for (const TPlace& place : LaterPlaces(system64)) {
        if (place.Folder.empty())
            continue;
        path = EmulatorIn(place.Folder);
        if (!path.empty()) {
            emulator = {path, IsStaging(path, place.NamesStaging)};
            return true;
        }
    }
    return false;
}

std::string EmulatorArguments(const TEmulator& emulator, const std::string& confPath) {
    return "-noconsole -conf " + confPath + (emulator.Staging ? " --noprimaryconf" : "");
}

} // namespace qb
