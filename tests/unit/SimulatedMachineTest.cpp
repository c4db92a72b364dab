#include "resources/ResourceIds.h"
#include "runtime/Exception.h"
#include "runtime/headless/SimulatedMachine.h"
#include <gtest/gtest.h>

namespace qb {
namespace {

std::vector<std::string> Names(const std::vector<TDirEntry>& entries) {
    std::vector<std::string> names;
    for (const TDirEntry& e : entries)
        names.push_back(e.Name);
    return names;
}

std::string WriteAll(TSimulatedMachine& m, const std::string& path, const std::string& text,
                     uint32_t& error) {
    THandle h = 0;
    error = m.CreateFile(path, h);
    if (error)
        return {};
    uint32_t written = 0;
    error = m.WriteFile(h, text.data(), static_cast<uint32_t>(text.size()), written);
    m.CloseFile(h);
    return text.substr(0, written);
}

TEST(SimulatedMachineTest, PathsIgnoreCaseAndSeparatorsAndListInCreationOrder) {
    TSimulatedMachine m;
    m.AddFolder("C:\\Program Files (x86)\\Zeta");
    m.AddFile("c:\\PROGRAM FILES (X86)\\alpha.txt", "a");
    m.AddFolder("c:/program files (x86)/Hidden", win::FILE_ATTRIBUTE_HIDDEN);
    m.AddFile("c:\\program files (x86)\\sys.bin", "", win::FILE_ATTRIBUTE_SYSTEM);
    m.AddFolder("c:\\program files (x86)\\DOSBox-0.74\\");

    EXPECT_TRUE(m.FileExists("C:\\PROGRAM FILES (X86)\\ALPHA.TXT"));
    EXPECT_FALSE(m.FileExists("c:\\program files (x86)\\zeta")) << "a folder is not a file";
    EXPECT_TRUE(m.Exists("c:\\program files (x86)\\\\zeta\\"));
    EXPECT_EQ(m.GetFileAttributes("c:\\program files (x86)\\alpha.txt"),
              win::FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(m.GetFileAttributes("c:\\nothing"), win::INVALID_FILE_ATTRIBUTES);

    EXPECT_EQ(Names(m.FindFiles("c:\\program files (x86)\\*.*")),
              (std::vector<std::string>{".", "..", "Zeta", "alpha.txt", "DOSBox-0.74"}));
    EXPECT_EQ(
        Names(m.FindFiles("C:\\*.*")),
        (std::vector<std::string>{"program files", "program files (x86)", "users", "windows"}))
        << "the root has no dot entries";
    EXPECT_EQ(Names(m.FindFiles("c:\\program files (x86)\\dos*")),
              (std::vector<std::string>{"DOSBox-0.74"}));
    EXPECT_TRUE(m.FindFiles("c:\\missing\\*.*").empty());
    auto entries = m.FindFiles("c:\\program files (x86)\\*.*");
    EXPECT_EQ(entries[2].Attributes, win::FILE_ATTRIBUTE_DIRECTORY);
}

TEST(SimulatedMachineTest, FileWritesFailLikeWindows) {
    TSimulatedMachine m;
    uint32_t error = 0;
    m.AddFolder("c:\\locked-dir", win::FILE_ATTRIBUTE_READONLY);
    WriteAll(m, "c:\\locked-dir\\x", "abc", error);
    EXPECT_EQ(error, win::ERROR_ACCESS_DENIED);
    EXPECT_FALSE(m.Exists("c:\\locked-dir\\x"));

    WriteAll(m, "c:\\nowhere\\x", "abc", error);
    EXPECT_EQ(error, win::ERROR_PATH_NOT_FOUND);

    m.AddFile("c:\\busy", "old");
    m.LockFile("c:\\busy");
    WriteAll(m, "c:\\busy", "new", error);
    EXPECT_EQ(error, win::ERROR_SHARING_VIOLATION);
    EXPECT_EQ(m.DeleteFile("c:\\busy"), win::ERROR_SHARING_VIOLATION);
    m.AddFile("c:\\src", "s");
    EXPECT_EQ(m.ReplaceFile("c:\\src", "c:\\busy"), win::ERROR_SHARING_VIOLATION);
    EXPECT_EQ(m.ReadFile("c:\\busy"), "old");

    m.SetDiskSpace(4);
    EXPECT_EQ(WriteAll(m, "c:\\big", "0123456789", error), "0123");
    EXPECT_EQ(error, win::ERROR_DISK_FULL);
    EXPECT_EQ(m.ReadFile("c:\\big"), "0123") << "a short write keeps what was written";
    EXPECT_EQ(m.OpenFileHandles(), 0);
}

TEST(SimulatedMachineTest, ReplaceMovesOverAnOpenFileOnlyWhenClosed) {
    TSimulatedMachine m;
    m.AddFile("c:\\a.conf", "a long old text");
    THandle h = 0;
    ASSERT_EQ(m.CreateFile("c:\\a.tmp", h), 0u);
    uint32_t written = 0;
    m.WriteFile(h, "new", 3, written);
    EXPECT_EQ(m.ReplaceFile("c:\\a.tmp", "c:\\a.conf"), win::ERROR_SHARING_VIOLATION);
    m.CloseFile(h);
    EXPECT_EQ(m.ReplaceFile("c:\\a.tmp", "c:\\a.conf"), 0u);
    EXPECT_EQ(m.ReadFile("c:\\a.conf"), "new");
    EXPECT_FALSE(m.Exists("c:\\a.tmp"));
    EXPECT_EQ(m.DeleteFile("c:\\a.conf"), 0u);
    EXPECT_EQ(m.DeleteFile("c:\\a.conf"), win::ERROR_FILE_NOT_FOUND);
}

TEST(SimulatedMachineTest, SpecialFoldersGiveItemListsThatMustBeFreed) {
    TSimulatedMachine m;
    THandle list = 0;
    ASSERT_GE(m.GetSpecialFolderLocation(win::CSIDL_PROGRAM_FILESX86, list), 0);
    std::string buffer;
    ASSERT_TRUE(m.GetPathFromIDList(list, buffer));
    EXPECT_EQ(buffer.size(), 260u);
    EXPECT_EQ(buffer.c_str(), std::string("c:\\program files (x86)"));
    EXPECT_EQ(m.OpenItemLists(), 1);
    m.FreeItemList(list);
    EXPECT_EQ(m.OpenItemLists(), 0);

    m.SetSpecialFolder(win::CSIDL_DESKTOP, "");
    EXPECT_LT(m.GetSpecialFolderLocation(win::CSIDL_DESKTOP, list), 0);
    EXPECT_LT(m.GetSpecialFolderLocation(12345, list), 0);
}

TEST(SimulatedMachineTest, ShellLinksRecordCallsAndSaveThroughTheFileSystem) {
    TSimulatedMachine m;
    {
        auto link = m.CreateShellLink();
        link->SetPath("c:\\x.exe");
        link->SetIconLocation("c:\\x.ico", 0);
        link->SetHotkey(0x0650);
        EXPECT_EQ(link->Save(u"c:\\users\\user\\desktop\\X.lnk", false), 0);
    }
    ASSERT_EQ(m.ShellLinks.size(), 1u);
    const auto& calls = m.ShellLinks[0].Calls;
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[1].Value, "c:\\x.ico,0");
    EXPECT_EQ(calls[2].Value, "1616");
    EXPECT_EQ(calls[3].Name, "Save");
    EXPECT_TRUE(m.FileExists("c:\\users\\user\\desktop\\x.lnk"));

    m.AddFolder("c:\\users\\user\\desktop", win::FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(
        static_cast<uint32_t>(m.CreateShellLink()->Save(u"c:\\users\\user\\desktop\\y.lnk", false)),
        0x80070005u);
    EXPECT_TRUE(m.ShellLinks[1].LinkFile.empty());

    m.ShellLinkAvailable = false;
    EXPECT_THROW(m.CreateShellLink(), Exception);
}

TEST(SimulatedMachineTest, ResourcesComeFromTheResourceFolder) {
    TSimulatedMachine m;
    EXPECT_EQ(m.LoadString(IDS_MSGDLG_YES), "&Yes");
    EXPECT_EQ(m.LoadString(IDS_MSGDLG_CONTINUE), "continue");
    EXPECT_EQ(m.LoadString(999999), "");
    auto conf = m.LoadRcData("rs_TesseraConf");
    ASSERT_TRUE(conf.has_value());
    EXPECT_EQ(conf->rfind("# This is the configurationfile for DOSBox 0.74.", 0), 0u);
    EXPECT_FALSE(m.LoadRcData("RS_MISSING").has_value());
}

TEST(SimulatedMachineTest, CodePageAndErrorTexts) {
    TSimulatedMachine m;
    const std::string bytes = "A\x80\xE9\x9F";
    EXPECT_EQ(m.ToUtf16(bytes), (std::u16string{u'A', 0x20AC, 0x00E9, 0x0178}));
    EXPECT_EQ(m.FromUtf16(m.ToUtf16(bytes)), bytes);
    EXPECT_EQ(m.FromUtf16(u"\u4E2D\U0001F600"), "??");
    EXPECT_EQ(m.ErrorMessage(win::ERROR_ACCESS_DENIED), "Access is denied.");
    EXPECT_EQ(m.ErrorMessage(0x80070005u), "Access is denied.");
    EXPECT_EQ(m.ErrorMessage(win::ERROR_DISK_FULL), "There is not enough space on the disk.");
}

TEST(SimulatedMachineTest, RegistryKeepsTwoViewsOfSoftwareOnlyOnA64BitSystem) {
    struct TRow {
        const char* What;
        bool Process64;
        TWow64Answer Wow64;
        uint32_t Root;
        uint32_t WriteView;
        uint32_t ReadView;
        bool Seen;
    };
    const uint32_t Hklm = win::HKEY_LOCAL_MACHINE, Hkcu = win::HKEY_CURRENT_USER;
    const uint32_t View32 = win::KEY_WOW64_32KEY, View64 = win::KEY_WOW64_64KEY;
    const TRow rows[] = {
        {"64-bit process, its own view", true, TWow64Answer::No, Hklm, 0, View64, true},
        {"64-bit process, the other view", true, TWow64Answer::No, Hklm, 0, View32, false},
        {"32-bit process, its own view", false, TWow64Answer::Yes, Hklm, 0, View32, true},
        {"32-bit process, the other view", false, TWow64Answer::Yes, Hklm, View64, 0, false},
        {"32-bit system: one view", false, TWow64Answer::No, Hklm, View64, View32, true},
        {"HKCU has one view", true, TWow64Answer::No, Hkcu, View32, View64, true},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.What);
        TSimulatedMachine m;
        m.Is64BitProcess = row.Process64;
        m.Wow64 = row.Wow64;
        m.SetRegistryValue(row.Root, "Software\\Vendor\\App", "Path", "c:\\app", row.WriteView);
        EXPECT_EQ(m.ReadString(row.Root, "software\\vendor\\app", "PATH", row.ReadView).has_value(),
                  row.Seen);
    }

    TSimulatedMachine m;
    m.SetRegistryValue(Hkcu, "Software\\Uninstall\\zeta", "DisplayName", "z");
    m.SetRegistryValue(Hkcu, "Software\\Uninstall\\{Alpha}_is1\\Deeper", "DisplayName", "a");
    m.SetRegistryValue(Hkcu, "Software\\Uninstall\\Beta", "DisplayName", "b");
    EXPECT_EQ(m.SubKeys(Hkcu, "software\\uninstall", 0),
              (std::vector<std::string>{"Beta", "zeta", "{Alpha}_is1"}));
    EXPECT_TRUE(m.SubKeys(Hkcu, "Software\\Missing", 0).empty());
    EXPECT_FALSE(m.ReadString(Hkcu, "Software\\Uninstall\\Beta", "Other", 0).has_value());
}

} // namespace
} // namespace qb
