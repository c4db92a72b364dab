// The seam to the operating system: small interfaces, one per concern.
// runtime/win32 implements them with real Windows calls, runtime/headless with a simulated machine.
#pragma once
#include "runtime/Types.h"
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qb {

struct TDirEntry {
    std::string Name; // at most 260 characters
    uint32_t Attributes = 0;
};

// Files and folders. Error results are Windows system error codes (0 = success), captured at
// the failing call so that ErrorMessage can tell the user why.
class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    // True when the path names an existing file that is not a folder.
    virtual bool FileExists(const std::string& path) = 0;
    // INVALID_FILE_ATTRIBUTES when the path does not exist.
    virtual uint32_t GetFileAttributes(const std::string& path) = 0;
    // Entries matching a wildcard pattern ("c:\dir\*.*"), in the order the file system gives.
    // Ordinary files and folders are listed; hidden and system entries are left out.
    virtual std::vector<TDirEntry> FindFiles(const std::string& pattern) = 0;
    // CREATE_ALWAYS, GENERIC_READ|GENERIC_WRITE, no sharing, FILE_ATTRIBUTE_NORMAL.
    virtual uint32_t CreateFile(const std::string& path, THandle& file) = 0;
    virtual uint32_t WriteFile(THandle file, const void* data, uint32_t size,
                               uint32_t& written) = 0;
    virtual uint32_t CloseFile(THandle file) = 0;
    // MoveFileEx with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH.
    virtual uint32_t ReplaceFile(const std::string& from, const std::string& to) = 0;
    virtual uint32_t DeleteFile(const std::string& path) = 0;
    // The whole content of a file. A backend that cannot read files says so.
    virtual uint32_t ReadWholeFile(const std::string& path, std::string& data) {
        (void)path;
        data.clear();
        return 50; // ERROR_NOT_SUPPORTED
    }
};

// The shell-link object (IShellLinkA with IPersistFile). Results are HRESULTs.
class IShellLink {
public:
    virtual ~IShellLink() = default;
    virtual int32_t SetPath(const std::string& target) = 0;
    virtual int32_t SetWorkingDirectory(const std::string& dir) = 0;
    virtual int32_t SetArguments(const std::string& args) = 0;
    virtual int32_t SetIconLocation(const std::string& iconFile, int index) = 0;
    virtual int32_t SetDescription(const std::string& description) = 0;
    virtual int32_t SetShowCmd(int showCmd) = 0;
    virtual int32_t SetHotkey(uint16_t hotKey) = 0;
    virtual int32_t Save(const std::u16string& linkFile, bool remember) = 0;
};

struct TShellExecuteInfo {
    THandle Owner = 0;
    std::string Verb;
    std::string File;
    std::string Parameters;
    std::string Directory;
    int Show = 1;
};

class IShell {
public:
    virtual ~IShell() = default;
    // SHGetSpecialFolderLocation: an HRESULT; the item list is valid when it is not negative.
    virtual int32_t GetSpecialFolderLocation(int csidl, THandle& itemList) = 0;
    // SHGetPathFromIDListA into a buffer of 260 characters (NUL-terminated inside it).
    virtual bool GetPathFromIDList(THandle itemList, std::string& buffer) = 0;
    virtual void FreeItemList(THandle itemList) = 0; // CoTaskMemFree
    virtual intptr_t ShellExecute(THandle owner, const std::string& operation,
                                  const std::string& file, const std::string& parameters,
                                  const std::string& directory, int show) = 0;
    virtual bool ShellExecuteEx(const TShellExecuteInfo& info) = 0;
    virtual int32_t CoInitialize() = 0;
    virtual void CoUninitialize() = 0;
    // CoCreateInstance of CLSID_ShellLink and its two interfaces; raises qb::Exception on failure.
    virtual std::unique_ptr<IShellLink> CreateShellLink() = 0;
};

struct TOsVersion {
    uint32_t Major = 0;
    uint32_t Minor = 0;
    uint32_t Build = 0;
};

enum class TWow64Answer { NoFunction, Failed, No, Yes };

class ISystemInfo {
public:
    virtual ~ISystemInfo() = default;
    virtual TOsVersion GetVersion() = 0;
    // dwFileVersionMS of the comctl32 the process uses, or -1.
    virtual int32_t ComCtlVersion(const std::string& fileName) = 0;
    // IsWow64Process looked up by name in kernel32 and called for the current process.
    virtual TWow64Answer IsWow64Process() = 0;
    // True in a 64-bit build: such a process runs on a 64-bit system by definition.
    virtual bool ProcessIs64Bit() = 0;
    virtual bool HasGetLocaleInfoEx() = 0;
    virtual int MessageBox(THandle owner, const std::string& text, const std::string& caption,
                           uint32_t flags) = 0;
    // A string of the program's string table; empty when absent.
    virtual std::string LoadString(unsigned id) = 0;
    // A raw data resource (RT_RCDATA) of the program's module, by name without regard to case.
    virtual std::optional<std::string> LoadRcData(const std::string& name) = 0;
    // The ANSI code page of this process (GetACP): 65001 where the manifest's UTF-8 setting is
    // honoured, the system's code page (1252, 932...) elsewhere. Every std::string is in it.
    virtual uint32_t AnsiCodePage() = 0;
    // Process code page <-> UTF-16.
    virtual std::u16string ToUtf16(const std::string& text) = 0;
    virtual std::string FromUtf16(const std::u16string& text) = 0;
    // The system's text for a Windows error code or HRESULT, without a trailing line break.
    virtual std::string ErrorMessage(uint32_t code) = 0;
    // IsDBCSLeadByte for the process code page: a byte that follows a lead byte is part of a
    // double-byte character, not a path separator or a letter. Always false under UTF-8.
    virtual bool IsDbcsLeadByte(uint8_t byte) = 0;
    // A variable of the process's environment; nothing when it is not set.
    virtual std::optional<std::string> EnvironmentVariable(const std::string& name) = 0;
    // A text of a file's version resource ("ProductName"), in the first language the resource
    // lists; nothing when the file has no version resource or no such text.
    virtual std::optional<std::string> FileVersionString(const std::string& path,
                                                         const std::string& name) = 0;
};

struct TPlatform {
    IFileSystem* Files = nullptr;
    IShell* Shell = nullptr;
    ISystemInfo* System = nullptr;
    class INativeTaskDialogHost* TaskDialogs = nullptr;
    class IWindowing* Windowing = nullptr;
    class IPictureDecoder* Pictures = nullptr; // runtime/Picture.h
    class IShellIcons* ShellIcons = nullptr;   // runtime/Picture.h
    class IRegistry* Registry = nullptr;       // runtime/Registry.h
};

// The platform the program runs on; set once by the program entry (or a test).
TPlatform& Platform();
void SetPlatform(const TPlatform& platform);

} // namespace qb
