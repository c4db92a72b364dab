#include "runtime/WinConst.h"
#include "setup/SetupRun.h"
#include "SetupTestSupport.h"
#include <functional>

namespace qb {
namespace {

using namespace win;

constexpr const char* Classic = "DOSBox";
constexpr const char* Staging = "DOSBox Staging";
constexpr const char* DosboxX = "DOSBox-X";
constexpr const char* UserPrograms = "c:\\users\\user\\appdata\\local\\Programs\\";
constexpr const char* StagingEntry = "{587471B7-02F6-4F25-8D00-70006790653C}_is1";
constexpr const char* DosboxXEntry = "{63E5D76D-0092-415C-B97C-E0D2F4F6D2EC}_is1";

using TStep = std::function<void(TSimulatedMachine&)>;

// An emulator's executable; an empty product name leaves it without a version resource.
TStep Put(const std::string& path, const std::string& product) {
    return [=](TSimulatedMachine& m) {
        m.AddFile(path, "MZ");
        if (!product.empty())
            m.SetVersionString(path, "ProductName", product);
    };
}

TStep Path(uint32_t root, const std::string& key, const std::string& folder, uint32_t view = 0) {
    return [=](TSimulatedMachine& m) { m.SetRegistryValue(root, key, "Path", folder, view); };
}

TStep Entry(uint32_t root, const std::string& entry, const std::string& name,
            const std::string& location, uint32_t view = 0) {
    const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + entry;
    return [=](TSimulatedMachine& m) {
        m.SetRegistryValue(root, key, "DisplayName", name, view);
        m.SetRegistryValue(root, key, "InstallLocation", location, view);
    };
}

// The shipping 32-bit program on a 64-bit system: number 38 names the x86 folder for it.
void ThirtyTwoBitProcess(TSimulatedMachine& m) {
    m.Is64BitProcess = false;
    m.Wow64 = TWow64Answer::Yes;
    m.SetSpecialFolder(CSIDL_PROGRAM_FILES, "C:\\Program Files (x86)");
}

struct TLayout {
    const char* What;
    std::vector<TStep> Install;
    // The emulator found, then " +" when it is started as DOSBox Staging; empty when none is.
    const char* Found;
};

const std::string Pf64Staging = "c:\\program files\\DOSBox Staging\\dosbox.exe";
const std::string UserStaging = UserPrograms + std::string("DOSBox Staging\\dosbox.exe");
const std::string Classic074 = "c:\\program files (x86)\\DOSBox-0.74\\dosbox.exe";

const TLayout Layouts[] = {
    {"0.74 under Program Files (x86)",
     {Put(Classic074, Classic)},
     "c:\\program files (x86)\\dosbox-0.74\\dosbox.exe"},
    {"Staging for all users, in the 64-bit Program Files",
     {Put(Pf64Staging, Staging)},
     "c:\\program files\\dosbox staging\\dosbox.exe +"},
    {"Staging for the current user",
     {Put(UserStaging, Staging)},
     "c:\\users\\user\\appdata\\local\\programs\\dosbox staging\\dosbox.exe +"},
    {"Staging's Path in HKCU",
     {Put("d:\\Emu\\Staging 0.82\\dosbox.exe", Staging),
      Path(HKEY_CURRENT_USER, "Software\\dosbox-staging", "D:\\Emu\\Staging 0.82")},
     "d:\\emu\\staging 0.82\\dosbox.exe +"},
    {"DOSBox-X's Path in HKLM",
     {Put("d:\\Tools\\X\\dosbox-x.exe", DosboxX),
      Path(HKEY_LOCAL_MACHINE, "Software\\DOSBox-X", "D:\\Tools\\X\\")},
     "d:\\tools\\x\\dosbox-x.exe"},
    {"Staging's uninstall entry in HKCU, quoted, names it without a version resource",
     {Put("e:\\Apps\\Staging\\dosbox.exe", ""),
      Entry(HKEY_CURRENT_USER, StagingEntry, "DOSBox Staging", "\"E:\\Apps\\Staging\\\"")},
     "e:\\apps\\staging\\dosbox.exe +"},
    {"DOSBox-X's uninstall entry in HKLM",
     {Put("e:\\X\\dosbox-x.exe", DosboxX),
      Entry(HKEY_LOCAL_MACHINE, DosboxXEntry, "DOSBox-X 2024.03.01 (64-bit)", "E:\\X\\")},
     "e:\\x\\dosbox-x.exe"},
    {"DOSBox-X in its default folder",
     {Put("C:\\DOSBox-X\\dosbox-x.exe", DosboxX)},
     "c:\\dosbox-x\\dosbox-x.exe"},
    {"DOSBox-X's default folder is on the system drive",
     {[](auto& m) { m.SetSpecialFolder(CSIDL_WINDOWS, "D:\\Windows"); },
      Put("c:\\DOSBox-X\\dosbox-x.exe", DosboxX), Put("d:\\DOSBox-X\\dosbox-x.exe", DosboxX)},
     "d:\\dosbox-x\\dosbox-x.exe"},
    {"0.74 beside Staging: 0.74 wins",
     {Put(Pf64Staging, Staging), Put(UserStaging, Staging), Put(Classic074, Classic)},
     "c:\\program files (x86)\\dosbox-0.74\\dosbox.exe"},
    {"stale records, leftover folders and other programs' entries: nothing",
     {[](auto& m) { m.AddFolder("c:\\program files\\DOSBox Staging"); },
      [](auto& m) { m.AddFolder("e:\\Removed"); },
      Path(HKEY_CURRENT_USER, "Software\\dosbox-staging", "D:\\Gone"),
      Entry(HKEY_LOCAL_MACHINE, DosboxXEntry, "DOSBox-X", "E:\\Removed\\"),
      Put("e:\\Game\\dosbox.exe", Classic),
      Entry(HKEY_CURRENT_USER, "Game", "A game with an emulator of its own", "E:\\Game")},
     ""},
    {"a stale record is passed over for a later place",
     {Path(HKEY_CURRENT_USER, "Software\\dosbox-staging", "D:\\Gone"),
      Put("c:\\DOSBox-X\\dosbox-x.exe", DosboxX)},
     "c:\\dosbox-x\\dosbox-x.exe"},
    {"32-bit process: the 64-bit Program Files from ProgramW6432",
     {ThirtyTwoBitProcess, [](auto& m) { m.SetEnvironment("ProgramW6432", "D:\\Program Files"); },
      Put(Pf64Staging, Staging), Put("d:\\program files\\DOSBox Staging\\dosbox.exe", Staging)},
     "d:\\program files\\dosbox staging\\dosbox.exe +"},
    {"32-bit process without ProgramW6432: ProgramFilesDir of the 64-bit view",
     {ThirtyTwoBitProcess, [](auto& m) { m.SetEnvironment("ProgramW6432", std::nullopt); },
      Put(Pf64Staging, Staging)},
     "c:\\program files\\dosbox staging\\dosbox.exe +"},
    {"32-bit process: Staging's Path in HKLM's 64-bit view",
     {ThirtyTwoBitProcess, Put("d:\\Staging\\dosbox.exe", Staging),
      Path(HKEY_LOCAL_MACHINE, "Software\\dosbox-staging", "D:\\Staging", KEY_WOW64_64KEY)},
     "d:\\staging\\dosbox.exe +"},
    {"32-bit process: DOSBox-X's uninstall entry in HKLM's 64-bit view",
     {ThirtyTwoBitProcess, Put("e:\\X\\dosbox-x.exe", DosboxX),
      Entry(HKEY_LOCAL_MACHINE, DosboxXEntry, "DOSBox-X", "E:\\X", KEY_WOW64_64KEY)},
     "e:\\x\\dosbox-x.exe"},
    {"64-bit process: DOSBox-X's Path in HKLM's 32-bit view",
     {Put("d:\\X32\\dosbox-x.exe", DosboxX),
      Path(HKEY_LOCAL_MACHINE, "Software\\DOSBox-X", "D:\\X32", KEY_WOW64_32KEY)},
     "d:\\x32\\dosbox-x.exe"},
    {"the version resource says Staging, whatever the folder",
     {Put(UserPrograms + std::string("DOSBox\\dosbox.exe"), Staging)},
     "c:\\users\\user\\appdata\\local\\programs\\dosbox\\dosbox.exe +"},
    {"the version resource says 0.74, whatever the folder",
     {Put(UserStaging, Classic)},
     "c:\\users\\user\\appdata\\local\\programs\\dosbox staging\\dosbox.exe"},
    {"Staging where 0.74 is looked for is still Staging",
     {Put("c:\\program files (x86)\\DOSBox Staging\\dosbox.exe", Staging)},
     "c:\\program files (x86)\\dosbox staging\\dosbox.exe +"},
};

// Target, working folder and arguments of the run shortcut written.
std::string RunShortcut(const TSimulatedMachine& m) {
    if (m.ShellLinks.empty())
        return "(none)";
    std::string fields;
    for (const TShellLinkCall& call : m.ShellLinks[0].Calls)
        if (call.Name == "SetPath" || call.Name == "SetWorkingDirectory" ||
            call.Name == "SetArguments")
            fields += call.Value + "|";
    return fields;
}

std::string Expected(const TLayout& layout) {
    std::string found = layout.Found;
    if (found.empty())
        return "(none)";
    const bool staging = found.ends_with(" +");
    found.resize(found.size() - (staging ? 2 : 0));
    return found + "|" + found.substr(0, found.rfind('\\') + 1) + "|" +
           "-noconsole -conf c:\\zorn\\dosbox.conf" + (staging ? " --noprimaryconf" : "") + "|";
}

class SetupEmulatorSearchTest : public SetupTest {};

TEST_F(SetupEmulatorSearchTest, EachInstallLayoutGivesItsEmulatorAndRunArguments) {
    for (const TLayout& layout : Layouts) {
        SCOPED_TRACE(layout.What);
        TSimulatedMachine machine;
        TScriptedTaskDialog native;
        TPlatform platform = machine.AsPlatform(&native);
        platform.Windowing = &Screen;
        SetPlatform(platform);
        machine.AddFile("c:\\zorn\\kestro.exe", "MZ");
        for (const TStep& step : layout.Install)
            step(machine);

        RunSetup();
        EXPECT_EQ(RunShortcut(machine), Expected(layout));
        if (!*layout.Found) {
            ASSERT_FALSE(native.Shown.empty());
            EXPECT_EQ(
                Text(native.Shown[0].MainInstruction).rfind("WARNING: Dosbox is apparently", 0),
                0u);
        }
    }
}

} // namespace
} // namespace qb
