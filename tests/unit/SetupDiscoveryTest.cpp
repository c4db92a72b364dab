#include "runtime/WinConst.h"
#include "setup/Discovery.h"
#include "SetupTestSupport.h"

namespace qb {
namespace {

class SetupDiscoveryTest : public SetupTest {
protected:
    void SetUp() override {
        SetupTest::SetUp();
        ProgramFilesDir = ProgramFiles;
        InstallDrive = 'c';
    }
};

TEST_F(SetupDiscoveryTest, SpecialFolderPathComesWithoutBackslashAndFreesItsItemList) {
    Machine.SetSpecialFolder(win::CSIDL_DESKTOP, "C:\\Users\\Ann\\Desktop");
    EXPECT_EQ(GetSpecialFolderPath(win::CSIDL_DESKTOP), "C:\\Users\\Ann\\Desktop");
    EXPECT_EQ(Machine.OpenItemLists(), 0);

    Machine.SetSpecialFolder(win::CSIDL_DESKTOP, "");
    EXPECT_EQ(GetSpecialFolderPath(win::CSIDL_DESKTOP), "") << "location fails";
    // The item list exists but has no file-system path of 259 characters or fewer.
    Machine.SetSpecialFolder(win::CSIDL_DESKTOP, "c:\\" + std::string(300, 'x'));
    EXPECT_EQ(GetSpecialFolderPath(win::CSIDL_DESKTOP), "");
    EXPECT_EQ(Machine.OpenItemLists(), 0);
}

TEST_F(SetupDiscoveryTest, TrimAtNulCutsAtTheFirstNul) {
    std::string text("c:\\x\0junk\0", 10);
    TrimAtNul(text);
    EXPECT_EQ(text, "c:\\x");
    std::string plain = "abc";
    TrimAtNul(plain);
    EXPECT_EQ(plain, "abc");
}

TEST_F(SetupDiscoveryTest, TargetProgramFirstInstalledRowWins) {
    InstallTarget(2);
    std::string path;
    ASSERT_TRUE(FindTargetProgram(path));
    EXPECT_EQ(TargetIndex, 2);
    EXPECT_EQ(TargetDir, "c:\\zorn\\");
    EXPECT_EQ(path, "c:\\zorn\\kestrokw.exe");

    InstallTarget(0);
    ASSERT_TRUE(FindTargetProgram(path));
    EXPECT_EQ(TargetIndex, 0);
    EXPECT_EQ(path, "c:\\zorn\\kestro.exe");
}

TEST_F(SetupDiscoveryTest, TargetProgramMissingLeavesRowThreeAndTheLastPathTried) {
    std::string path = "stale";
    EXPECT_FALSE(FindTargetProgram(path));
    EXPECT_EQ(TargetIndex, 3);
    EXPECT_EQ(path, "c:\\zorn\\kestrokw.exe");
}

TEST_F(SetupDiscoveryTest, TargetProgramMustBeAFileAndIsFoundWhateverItsCase) {
    Machine.AddFolder("c:\\zorn\\kestro.exe");
    Machine.AddFile("C:\\ZORN\\KESTROW.EXE");
    InstallDrive = 'c';
    std::string path;
    ASSERT_TRUE(FindTargetProgram(path));
    EXPECT_EQ(TargetIndex, 1) << "a folder named kestro.exe is not a target program";
    EXPECT_EQ(path, "c:\\zorn\\kestrow.exe");
}

TEST_F(SetupDiscoveryTest, TargetFolderFollowsTheInstallDrive) {
    Machine.AddFile("d:\\zorn\\kestro.exe");
    InstallDrive = 'd';
    std::string path;
    ASSERT_TRUE(FindTargetProgram(path));
    EXPECT_EQ(TargetDir, "d:\\zorn\\");
    EXPECT_EQ(path, "d:\\zorn\\kestro.exe");
}

TEST_F(SetupDiscoveryTest, DosboxFolderIsFoundAndLowerCased) {
    Machine.AddFolder(std::string(ProgramFiles) + "Common Files");
    InstallDosbox("DOSBox-0.74");
    std::string path;
    ASSERT_TRUE(FindDosboxExe(path));
    EXPECT_EQ(path, "c:\\program files (x86)\\dosbox-0.74\\dosbox.exe");
}

TEST_F(SetupDiscoveryTest, DosboxHiddenOrSystemEntriesAreNeverConsidered) {
    Machine.AddFolder(std::string(ProgramFiles) + "dosbox", win::FILE_ATTRIBUTE_HIDDEN);
    Machine.AddFile(std::string(ProgramFiles) + "dosbox\\dosbox.exe");
    Machine.AddFolder(std::string(ProgramFiles) + "dosbox-sys", win::FILE_ATTRIBUTE_SYSTEM);
    InstallDosbox("DOSBox-0.74");
    std::string path;
    ASSERT_TRUE(FindDosboxExe(path));
    EXPECT_EQ(path, "c:\\program files (x86)\\dosbox-0.74\\dosbox.exe");
}

// An entry of Program Files in listing order: a folder with the emulator, an empty folder (one
// left by an uninstalled version), a folder holding only a folder named dosbox.exe, or a file.
enum class TEntry { Emulator, Empty, FolderNamedExe, PlainFile };

struct TDosboxCase {
    const char* What;
    std::vector<std::pair<const char*, TEntry>> Entries;
    bool Found;
    const char* Path; // below Program Files
};

TEST_F(SetupDiscoveryTest, DosboxEachMatchingEntryIsTriedUntilOneHoldsTheEmulator) {
    const TDosboxCase cases[] = {
        {"leftover folder listed first",
         {{"DOSBox-0.73", TEntry::Empty}, {"DOSBox-0.74", TEntry::Emulator}},
         true,
         "dosbox-0.74\\dosbox.exe"},
        {"leftover folder listed last",
         {{"DOSBox-0.74", TEntry::Emulator}, {"DOSBox-0.73", TEntry::Empty}},
         true,
         "dosbox-0.74\\dosbox.exe"},
        {"the first that holds it wins",
         {{"DOSBox-0.74", TEntry::Emulator}, {"dosbox-0.75", TEntry::Emulator}},
         true,
         "dosbox-0.74\\dosbox.exe"},
        {"a plain file listed first",
         {{"dosbox-readme.txt", TEntry::PlainFile}, {"DOSBox-0.74", TEntry::Emulator}},
         true,
         "dosbox-0.74\\dosbox.exe"},
        {"a folder named dosbox.exe is no emulator",
         {{"DOSBox-0.72", TEntry::FolderNamedExe}, {"DOSBox-0.74", TEntry::Emulator}},
         true,
         "dosbox-0.74\\dosbox.exe"},
        {"only leftovers: the first place tried is reported",
         {{"DOSBox-0.73", TEntry::Empty}, {"DOSBox Old", TEntry::Empty}},
         false,
         "dosbox-0.73\\dosbox.exe"},
        {"other folders between the matches",
         {{"DOSBox-0.73", TEntry::Empty},
          {"Common Files", TEntry::Emulator},
          {"DOSBox-0.74", TEntry::Emulator}},
         true,
         "dosbox-0.74\\dosbox.exe"},
    };
    for (const TDosboxCase& c : cases) {
        SCOPED_TRACE(c.What);
        Machine.Remove(std::string(ProgramFiles));
        Machine.AddFolder(ProgramFiles);
        for (const auto& [name, kind] : c.Entries) {
            const std::string entry = std::string(ProgramFiles) + name;
            switch (kind) {
            case TEntry::Emulator:
                Machine.AddFile(entry + "\\DOSBox.exe", "MZ");
                break;
            case TEntry::Empty:
                Machine.AddFolder(entry);
                break;
            case TEntry::FolderNamedExe:
                Machine.AddFolder(entry + "\\dosbox.exe");
                break;
            case TEntry::PlainFile:
                Machine.AddFile(entry, "text");
                break;
            }
        }
        std::string path;
        EXPECT_EQ(FindDosboxExe(path), c.Found);
        EXPECT_EQ(path, std::string(ProgramFiles) + c.Path);
    }
}

TEST_F(SetupDiscoveryTest, DosboxMissingOrProgramFilesEmpty) {
    std::string path = "stale";
    EXPECT_FALSE(FindDosboxExe(path));
    EXPECT_EQ(path, "");
    Machine.AddFolder(std::string(ProgramFiles) + "Tools");
    EXPECT_FALSE(FindDosboxExe(path));
    EXPECT_EQ(path, "") << "the dot entries never match";
}

} // namespace
} // namespace qb
