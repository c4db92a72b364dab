// A Windows machine in memory: drives and folders with attributes, special folders, a shell-link
// store, logs of shell calls and message boxes, version answers, and the program's resources
// read from the same files that windres compiles into the .exe.
#pragma once
#include "runtime/headless/HeadlessPictures.h"
#include "runtime/headless/SimulatedRegistry.h"
#include "runtime/Platform.h"
#include "runtime/Registry.h"
#include "runtime/WinConst.h"
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qb {

struct TSimulatedShellExecute {
    bool Extended = false; // ShellExecuteEx rather than ShellExecute
    THandle Owner = 0;
    std::string Operation;
    std::string File;
    std::string Parameters;
    std::string Directory;
    int Show = 0;
};

// One call on a shell-link object, in the order made ("SetPath", "c:\x.exe"). Numbers are
// decimal; SetIconLocation records "file,index"; Save records the path (converted to the process
// code page) whether or not it succeeded.
struct TShellLinkCall {
    std::string Name;
    std::string Value;
};

struct TSimulatedShellLink {
    std::string LinkFile; // where it was saved; empty until a Save succeeds
    std::vector<TShellLinkCall> Calls;
};

struct TSimulatedMessageBox {
    THandle Owner = 0;
    std::string Text;
    std::string Caption;
    uint32_t Flags = 0;
};

class TSimulatedMachine : public IFileSystem, public IShell, public ISystemInfo, public IRegistry {
public:
    // A 64-bit Windows 10 machine with comctl32 6.10, as a 64-bit process sees it: c:\,
    // c:\program files (x86) as the Program Files folder of 32-bit programs, c:\program files
    // as the 64-bit one (number 38, ProgramW6432, and ProgramFilesDir in the registry's 64-bit
    // view), c:\users\user\desktop as the desktop, c:\users\user\appdata\local as the
    // user's local application data and c:\windows. A test that makes the process 32-bit
    // names the folder number 38 gives it.
    TSimulatedMachine();

    // Building the machine. Paths are compared without regard to ASCII case.
    void AddFolder(const std::string& path, uint32_t attributes = 0);
    void AddFile(const std::string& path, const std::string& data = {}, uint32_t attributes = 0);
    void Remove(const std::string& path);
    // An empty path makes the lookup of that folder fail.
    void SetSpecialFolder(int csidl, const std::string& path);
    // A locked file is open elsewhere without sharing: it cannot be opened, replaced or deleted.
    void LockFile(const std::string& path, bool locked = true);
    // Fails the next writes with this error once the given number of bytes has been written.
    void SetDiskSpace(uint64_t bytes);
    std::optional<std::string> ReadFile(const std::string& path) const;
    // A raw data resource in addition to those of resources/data.rc (name without regard to case).
    void AddRcData(const std::string& name, std::string data);
    // A text of an existing file's version resource ("ProductName").
    void SetVersionString(const std::string& path, const std::string& name,
                          const std::string& value);
    // Sets an environment variable of the process; without a value, removes it.
    void SetEnvironment(const std::string& name, std::optional<std::string> value);
    // A registry value as a program of this machine's process writes it (`view` 0), or in the
    // view a win::KEY_WOW64_* flag names.
    void SetRegistryValue(uint32_t root, const std::string& key, const std::string& name,
                          const std::string& value, uint32_t view = 0);
    bool Exists(const std::string& path) const;
    // Every path in the machine, lower-cased, in sorted order (for assertions).
    std::vector<std::string> ListPaths() const;
    // Item lists handed out and not yet freed; file handles not yet closed.
    int OpenItemLists() const { return static_cast<int>(ItemLists.size()); }
    int OpenFileHandles() const { return static_cast<int>(Handles.size()); }

    // Answers the machine gives.
    TOsVersion Version{10, 0, 19045};
    int32_t ComCtl32Version = 0x0006000A;
    TWow64Answer Wow64 = TWow64Answer::No;
    bool Is64BitProcess = true;
    bool LocaleInfoEx = true;
    bool ShellLinkAvailable = true; // false: CoCreateInstance fails
    int MessageBoxAnswer = win::IDOK;
    // The process code page every std::string is in: 1252 (Western), 65001 (UTF-8, as with
    // the manifest's setting on Windows 10 1903 and later), 932 (Japanese Shift-JIS, lead bytes
    // 0x81-0x9F and 0xE0-0xFC) or 950 (Big5, lead bytes 0x81-0xFE). Of the double-byte pages
    // only kana are converted faithfully; every other pair stands for a private-use character
    // of its own, so that conversions still go there and back unchanged.
    uint32_t CodePage = 1252;

    // What happened.
    std::vector<TSimulatedShellExecute> ShellExecutes;
    std::vector<TSimulatedShellLink> ShellLinks; // every object created, saved or not
    std::vector<TSimulatedMessageBox> MessageBoxes;
    int CoInitializeCalls = 0;
    int CoUninitializeCalls = 0;

    // Pictures decoded from bytes, and the shell's icons (they record what they draw).
    THeadlessPictureDecoder PictureDecoder;
    TSimulatedShellIcons ShellIcons;

    TPlatform AsPlatform(class INativeTaskDialogHost* dialogs);

    // IFileSystem
    bool FileExists(const std::string& path) override;
    uint32_t GetFileAttributes(const std::string& path) override;
    std::vector<TDirEntry> FindFiles(const std::string& pattern) override;
    uint32_t CreateFile(const std::string& path, THandle& file) override;
    uint32_t WriteFile(THandle file, const void* data, uint32_t size, uint32_t& written) override;
    uint32_t CloseFile(THandle file) override;
    uint32_t ReplaceFile(const std::string& from, const std::string& to) override;
    uint32_t DeleteFile(const std::string& path) override;
    uint32_t ReadWholeFile(const std::string& path, std::string& data) override;

    // IShell
    int32_t GetSpecialFolderLocation(int csidl, THandle& itemList) override;
    bool GetPathFromIDList(THandle itemList, std::string& buffer) override;
    void FreeItemList(THandle itemList) override;
    intptr_t ShellExecute(THandle owner, const std::string& operation, const std::string& file,
                          const std::string& parameters, const std::string& directory,
                          int show) override;
    bool ShellExecuteEx(const TShellExecuteInfo& info) override;
    int32_t CoInitialize() override;
    void CoUninitialize() override;
    std::unique_ptr<IShellLink> CreateShellLink() override;

    // ISystemInfo
    TOsVersion GetVersion() override;
    int32_t ComCtlVersion(const std::string& fileName) override;
    TWow64Answer IsWow64Process() override;
    bool ProcessIs64Bit() override;
    bool HasGetLocaleInfoEx() override;
    int MessageBox(THandle owner, const std::string& text, const std::string& caption,
                   uint32_t flags) override;
    std::string LoadString(unsigned id) override;
    std::optional<std::string> LoadRcData(const std::string& name) override;
    uint32_t AnsiCodePage() override;
    std::u16string ToUtf16(const std::string& text) override;   // CodePage
    std::string FromUtf16(const std::u16string& text) override; // CodePage, '?' when it lacks one
    std::string ErrorMessage(uint32_t code) override;
    bool IsDbcsLeadByte(uint8_t byte) override;
    std::optional<std::string> EnvironmentVariable(const std::string& name) override;
    std::optional<std::string> FileVersionString(const std::string& path,
                                                 const std::string& name) override;

    // IRegistry
    std::optional<std::string> ReadString(uint32_t root, const std::string& key,
                                          const std::string& name, uint32_t view) override;
    std::vector<std::string> SubKeys(uint32_t root, const std::string& key, uint32_t view) override;

private:
    struct TNode {
        std::string Name; // last path component as given
        bool Folder = false;
        uint32_t Attributes = 0;
        std::string Data;
        bool Locked = false;
        int OpenCount = 0;
        std::map<std::string, std::string> VersionStrings; // by upper-cased name
        uint64_t Order = 0; // creation order: the "file system order" of listings
    };
    friend class TSimulatedLinkObject;

    // Paths fold case as the file system does: ASCII letters only, never half a character.
    std::string Key(const std::string& path);
    std::string Key(const std::string& path) const;
    std::string ParentKey(const std::string& key) const;
    bool EndsInSecondByte(const std::string& text) const;
    size_t LastSeparator(const std::string& path, std::string_view set) const;
    TNode* Find(const std::string& path);
    const TNode* Find(const std::string& path) const;
    TNode& Ensure(const std::string& key, const std::string& name, bool folder);
    // Checks shared by creating, replacing and deleting: 0 or the system error code.
    uint32_t CheckParentWritable(const std::string& key) const;
    uint32_t SaveLink(size_t index, const std::u16string& linkFile);
    void LoadResourceTables();
    TRegistryViews Views() const;

    std::map<std::string, TNode> Nodes; // by lower-cased, normalised path
    uint64_t NextOrder = 1;
    std::map<int, std::string> SpecialFolders;
    std::map<THandle, std::string> ItemLists;
    std::map<THandle, std::string> Handles; // open file handle -> key
    THandle NextHandle = 0x1000;
    std::optional<uint64_t> DiskSpace;
    bool ResourcesLoaded = false;
    std::map<unsigned, std::string> Strings;
    std::map<std::string, std::string> RcData;      // upper-cased name -> file name
    std::map<std::string, std::string> AddedRcData; // upper-cased name -> bytes
    std::map<std::string, std::string> Environment; // upper-cased name -> value
    TSimulatedRegistry Registry;
};

} // namespace qb
