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
constexpr const char* Uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr const char* StagingEntry = "{587471B7-02F6-4F25-8D00-70006790653C}_is1";
constexpr const char* DosboxXEntry = "{63E5D76D-0092-415C-B97C-E0D2F4F6D2EC}_is1";

// An emulator's executable; an empty product name leaves it without a version resource.
void Emulator(TSimulatedMachine& m, const std::string& path, const char* product) {
    m.AddFile(path, "MZ");
    if (*product)
        m.SetVersionString(path, "ProductName", product);
}

void UninstallEntry(TSimulatedMachine& m, uint32_t root, const std::string& entry,
                    const std::string& name, const std::string& location, uint32_t view = 0) {
    m.SetRegistryValue(root, Uninstall + entry, "DisplayName", name, view);
    m.SetRegistryValue(root, Uninstall + entry, "InstallLocation", location, view);
}

// The shipping 32-bit program on a 64-bit system: number 38 names the x86 folder for it.
void ThirtyTwoBitProcess(TSimulatedMachine& m) {
    m.Is64BitProcess = false;
    m.Wow64 = TWow64Answer::Yes;
    m.SetSpecialFolder(CSIDL_PROGRAM_FILES, "C:\\Program Files (x86)");
}

struct TLayout {
    const char* What;
    std::function<void(TSimulatedMachine&)> Install;
    const char* Found; // empty when no emulator is found
    bool Staging;
};

const TLayout Layouts[] = {
    {"0.74 under Program Files (x86)",
     [](auto& m) { Emulator(m, "c:\\program files (x86)\\DOSBox-0.74\\DOSBox.exe", Classic); },
     "c:\\program files (x86)\\dosbox-0.74\\dosbox.exe", false},
    {"Staging for all users, in the 64-bit Program Files",
     [](auto& m) { Emulator(m, "C:\\Program Files\\DOSBox Staging\\dosbox.exe", Staging); },
     "c:\\program files\\dosbox staging\\dosbox.exe", true},
    {"Staging for the current user",
     [](auto& m) {
         Emulator(m, UserPrograms + std::string("DOSBox Staging\\dosbox.exe"), Staging);
     },
     "c:\\users\\user\\appdata\\local\\programs\\dosbox staging\\dosbox.exe", true},
    {"Staging's Path in HKCU",
     [](auto& m) {
         Emulator(m, "d:\\Emulators\\Staging 0.82\\dosbox.exe", Staging);
         m.SetRegistryValue(HKEY_CURRENT_USER, "Software\\dosbox-staging", "Path",
                            "D:\\Emulators\\Staging 0.82");
     },
     "d:\\emulators\\staging 0.82\\dosbox.exe", true},
    {"DOSBox-X's Path in HKLM",
     [](auto& m) {
         Emulator(m, "d:\\Tools\\X\\dosbox-x.exe", DosboxX);
         m.SetRegistryValue(HKEY_LOCAL_MACHINE, "Software\\DOSBox-X", "Path", "D:\\Tools\\X\\");
     },
     "d:\\tools\\x\\dosbox-x.exe", false},
    {"Staging's uninstall entry in HKCU, quoted, names it without a version resource",
     [](auto& m) {
         Emulator(m, "e:\\Apps\\Staging\\dosbox.exe", "");
         UninstallEntry(m, HKEY_CURRENT_USER, StagingEntry, "DOSBox Staging version 0.82.0",
                        "\"E:\\Apps\\Staging\\\"");
     },
     "e:\\apps\\staging\\dosbox.exe", true},
    {"DOSBox-X's uninstall entry in HKLM",
     [](auto& m) {
         Emulator(m, "e:\\X\\dosbox-x.exe", DosboxX);
         UninstallEntry(m, HKEY_LOCAL_MACHINE, DosboxXEntry, "DOSBox-X 2024.03.01 (64-bit)",
                        "E:\\X\\");
     },
     "e:\\x\\dosbox-x.exe", false},
    {"DOSBox-X in its default folder",
     [](auto& m) { Emulator(m, "C:\\DOSBox-X\\dosbox-x.exe", DosboxX); },
     "c:\\dosbox-x\\dosbox-x.exe", false},
    {"DOSBox-X's default folder is on the system drive",
     [](auto& m) {
         m.SetSpecialFolder(CSIDL_WINDOWS, "D:\\Windows");
         Emulator(m, "c:\\DOSBox-X\\dosbox-x.exe", DosboxX);
         Emulator(m, "d:\\DOSBox-X\\dosbox-x.exe", DosboxX);
     },
     "d:\\dosbox-x\\dosbox-x.exe", false},
    {"0.74 beside Staging: 0.74 wins",
     [](auto& m) {
         Emulator(m, "c:\\program files\\DOSBox Staging\\dosbox.exe", Staging);
         Emulator(m, UserPrograms + std::string("DOSBox Staging\\dosbox.exe"), Staging);
         Emulator(m, "c:\\program files (x86)\\DOSBox-0.74\\dosbox.exe", Classic);
     },
     "c:\\program files (x86)\\dosbox-0.74\\dosbox.exe", false},
    {"stale records and leftover folders only: nothing",
     [](auto& m) {
         m.AddFolder("c:\\program files\\DOSBox Staging");
         m.SetRegistryValue(HKEY_CURRENT_USER, "Software\\dosbox-staging", "Path", "D:\\Gone");
         m.AddFolder("e:\\Removed");
         UninstallEntry(m, HKEY_LOCAL_MACHINE, DosboxXEntry, "DOSBox-X", "E:\\Removed\\");
         Emulator(m, "e:\\Game\\dosbox.exe", Classic);
         UninstallEntry(m, HKEY_CURRENT_USER, "Game", "A game that brings its own emulator",
                        "E:\\Game");
     },
     "", false},
    {"a stale record is passed over for a later place",
     [](auto& m) {
         m.SetRegistryValue(HKEY_CURRENT_USER, "Software\\dosbox-staging", "Path", "D:\\Gone");
         Emulator(m, "c:\\DOSBox-X\\dosbox-x.exe", DosboxX);
     },
     "c:\\dosbox-x\\dosbox-x.exe", false},
    {"32-bit process: the 64-bit Program Files from ProgramW6432",
     [](auto& m) {
         ThirtyTwoBitProcess(m);
         m.SetEnvironment("ProgramW6432", "D:\\Program Files");
         Emulator(m, "c:\\program files\\DOSBox Staging\\dosbox.exe", Staging);
         Emulator(m, "d:\\program files\\DOSBox Staging\\dosbox.exe", Staging);
     },
     "d:\\program files\\dosbox staging\\dosbox.exe", true},
    {"32-bit process without ProgramW6432: ProgramFilesDir of the 64-bit view",
     [](auto& m) {
         ThirtyTwoBitProcess(m);
         m.SetEnvironment("ProgramW6432", std::nullopt);
         Emulator(m, "c:\\program files\\DOSBox Staging\\dosbox.exe", Staging);
     },
     "c:\\program files\\dosbox staging\\dosbox.exe", true},
    {"32-bit process: Staging's Path in HKLM's 64-bit view",
     [](auto& m) {
         ThirtyTwoBitProcess(m);
         Emulator(m, "d:\\Staging\\dosbox.exe", Staging);
         m.SetRegistryValue(HKEY_LOCAL_MACHINE, "Software\\dosbox-staging", "Path", "D:\\Staging",
                            KEY_WOW64_64KEY);
     },
     "d:\\staging\\dosbox.exe", true},
    {"32-bit process: DOSBox-X's uninstall entry in HKLM's 64-bit view",
     [](auto& m) {
         ThirtyTwoBitProcess(m);
         Emulator(m, "e:\\X\\dosbox-x.exe", DosboxX);
         UninstallEntry(m, HKEY_LOCAL_MACHINE, DosboxXEntry, "DOSBox-X", "E:\\X", KEY_WOW64_64KEY);
     },
     "e:\\x\\dosbox-x.exe", false},
    {"64-bit process: DOSBox-X's Path in HKLM's 32-bit view",
     [](auto& m) {
         Emulator(m, "d:\\X32\\dosbox-x.exe", DosboxX);
         m.SetRegistryValue(HKEY_LOCAL_MACHINE, "Software\\DOSBox-X", "Path", "D:\\X32",
                            KEY_WOW64_32KEY);
     },
     "d:\\x32\\dosbox-x.exe", false},
    {"the version resource says Staging, whatever the folder",
     [](auto& m) { Emulator(m, UserPrograms + std::string("DOSBox\\dosbox.exe"), Staging); },
     "c:\\users\\user\\appdata\\local\\programs\\dosbox\\dosbox.exe", true},
    {"the version resource says 0.74, whatever the folder",
     [](auto& m) {
         Emulator(m, UserPrograms + std::string("DOSBox Staging\\dosbox.exe"), Classic);
     },
     "c:\\users\\user\\appdata\\local\\programs\\dosbox staging\\dosbox.exe", false},
    {"Staging where 0.74 is looked for is still Staging",
     [](auto& m) { Emulator(m, "c:\\program files (x86)\\DOSBox Staging\\dosbox.exe", Staging); },
     "c:\\program files (x86)\\dosbox staging\\dosbox.exe", true},
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
    const std::string found = layout.Found;
    if (found.empty())
        return "(none)";
    return found + "|" + found.substr(0, found.rfind('\\') + 1) + "|" +
           "-noconsole -conf c:\\zorn\\dosbox.conf" + (layout.Staging ? " --noprimaryconf" : "") +
           "|";
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
        layout.Install(machine);

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
