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

TEST_F(SetupDiscoveryTest, DosboxOnlyTheFirstMatchingEntryIsTried) {
    Machine.AddFile(std::string(ProgramFiles) + "dosbox-readme.txt", "text");
    InstallDosbox("DOSBox-0.74");
    std::string path;
    EXPECT_FALSE(FindDosboxExe(path)) << "a plain file listed first stops the search";
    EXPECT_EQ(path, "c:\\program files (x86)\\dosbox-readme.txt\\dosbox.exe");

    Machine.Remove(std::string(ProgramFiles) + "dosbox-readme.txt");
    Machine.Remove(std::string(ProgramFiles) + "DOSBox-0.74");
    Machine.AddFolder(std::string(ProgramFiles) + "DOSBox Old");
    InstallDosbox("DOSBox-0.74");
    EXPECT_FALSE(FindDosboxExe(path)) << "an empty first match hides a later one";
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
