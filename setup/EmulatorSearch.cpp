#include "setup/EmulatorSearch.h"
#include "runtime/CodePage.h"
#include "runtime/Platform.h"
#include "runtime/Registry.h"
#include "runtime/WinConst.h"
#include "setup/Discovery.h"
#include "setup/TextRoutines.h"
#include <span>

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

// The name of the folder that holds a file.
std::string FolderName(const std::string& path) {
    const std::string folder = ExtractFilePath(path);
    return ExtractFileName(folder.substr(0, folder.empty() ? 0 : folder.size() - 1));
}

// The version resource says which emulator it is; without one, the way it was found decides.
bool IsStaging(const std::string& exe, bool namesStaging) {
    const auto product = Platform().System->FileVersionString(exe, "ProductName");
    return product && !product->empty() ? Mentions(*product, "staging") : namesStaging;
}

// Takes the emulator a folder holds, if it holds one; namesStaging tells whether the way to the
// folder already names DOSBox Staging.
bool Take(const std::string& folder, bool namesStaging, TEmulator& emulator) {
    if (folder.empty())
        return false;
    for (const char* file : EmulatorFiles) {
        const std::string path = folder + file;
        if (Platform().Files->FileExists(path)) {
            emulator = {path, IsStaging(path, namesStaging)};
            return true;
        }
    }
    return false;
}

// Today's folder rule below another folder.
bool TakeFromDosboxFolders(const std::string& parent, TEmulator& emulator) {
    if (parent.empty())
        return false;
    for (const std::string& folder : DosboxFolders(parent))
        if (Take(folder, Mentions(folder.substr(parent.size()), "staging"), emulator))
            return true;
    return false;
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

struct TRegistryView {
    uint32_t Root;
    uint32_t View;
};
// HKCU, then HKLM, in both views on a 64-bit system: installers of 64-bit emulators record them
// in the 64-bit view, which a 32-bit process does not open by default.
constexpr TRegistryView ViewsOf64BitSystem[] = {{win::HKEY_CURRENT_USER, 0},
                                                {win::HKEY_LOCAL_MACHINE, win::KEY_WOW64_32KEY},
                                                {win::HKEY_LOCAL_MACHINE, win::KEY_WOW64_64KEY}};
constexpr TRegistryView ViewsOf32BitSystem[] = {{win::HKEY_CURRENT_USER, 0},
                                                {win::HKEY_LOCAL_MACHINE, 0}};

std::span<const TRegistryView> RegistryViews(bool system64) {
    return system64 ? std::span<const TRegistryView>(ViewsOf64BitSystem)
                    : std::span<const TRegistryView>(ViewsOf32BitSystem);
}

bool TakeFromRecordedPaths(IRegistry& registry, bool system64, TEmulator& emulator) {
    for (const TRecordedKey& recorded : RecordedKeys) {
        for (const TRegistryView& view : RegistryViews(system64)) {
            const auto value = registry.ReadString(view.Root, recorded.Key, "Path", view.View);
            if (value && Take(RecordedFolder(*value), recorded.Staging, emulator))
                return true;
        }
    }
    return false;
}

bool TakeFromUninstallEntries(IRegistry& registry, bool system64, TEmulator& emulator) {
    for (const TRegistryView& view : RegistryViews(system64)) {
        for (const std::string& entry : registry.SubKeys(view.Root, UninstallKey, view.View)) {
            const std::string key = std::string(UninstallKey) + "\\" + entry;
            const std::string name =
                registry.ReadString(view.Root, key, "DisplayName", view.View).value_or("");
            if (!Mentions(name, "dosbox"))
                continue;
            const auto location = registry.ReadString(view.Root, key, "InstallLocation", view.View);
            const bool staging =
                SameTextAscii(entry, StagingUninstallEntry) || Mentions(name, "staging");
            if (Take(RecordedFolder(location.value_or("")), staging, emulator))
                return true;
        }
    }
    return false;
}

// DOSBox-X's installer puts it at the root of the system drive by default.
std::string DosboxXDefault() {
    const std::string windows = SpecialFolderDir(win::CSIDL_WINDOWS);
    if (windows.size() < 2 || windows[1] != ':')
        return {};
    return windows.substr(0, 2) + "\\dosbox-x\\";
}

} // namespace

bool FindEmulator(bool system64, TEmulator& emulator) {
    emulator = {};
    std::string path;
    if (FindDosboxExe(path)) {
        emulator = {path, IsStaging(path, Mentions(FolderName(path), "staging"))};
        return true;
    }
    IRegistry* registry = Platform().Registry;
    return TakeFromDosboxFolders(ProgramFiles64(system64), emulator) ||
           TakeFromDosboxFolders(UserPrograms(), emulator) ||
           (registry && TakeFromRecordedPaths(*registry, system64, emulator)) ||
           (registry && TakeFromUninstallEntries(*registry, system64, emulator)) ||
           Take(DosboxXDefault(), false, emulator);
}

std::string EmulatorArguments(const TEmulator& emulator, const std::string& confPath) {
    return "-noconsole -conf " + confPath + (emulator.Staging ? " --noprimaryconf" : "");
}

} // namespace qb
