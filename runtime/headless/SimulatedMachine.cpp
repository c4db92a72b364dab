#include "runtime/headless/SimulatedMachine.h"
#include "runtime/AsciiCase.h"
#include "runtime/CodePage.h"
#include "runtime/Exception.h"
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <utility>

namespace qb {

namespace {

constexpr uint32_t ErrorInvalidHandle = 6;
constexpr uint32_t ErrorFileExists = 80;
constexpr int32_t EFail = static_cast<int32_t>(0x80004005u);

int32_t HresultFromWin32(uint32_t code) {
    return code == 0 ? 0 : static_cast<int32_t>(0x80070000u | (code & 0xFFFFu));
}

// Match of '*' and '?' on texts whose case was folded; "*.*" matches names without a dot too,
// as on Windows.
bool WildcardMatch(const std::string& mask, const std::string& name) {
    if (mask == "*.*" || mask == "*")
        return true;
    size_t m = 0, n = 0, starM = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || mask[m] == name[n])) {
            ++m;
            ++n;
        } else if (m < mask.size() && mask[m] == '*') {
            starM = m++;
            starN = n;
        } else if (starM != std::string::npos) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

} // namespace

// ---- the shell-link object ----------------------------------------------------------------

class TSimulatedLinkObject : public IShellLink {
public:
    TSimulatedLinkObject(TSimulatedMachine& machine, size_t index)
        : Machine(machine), Index(index) {}

    int32_t SetPath(const std::string& target) override { return Record("SetPath", target); }
    int32_t SetWorkingDirectory(const std::string& dir) override {
        return Record("SetWorkingDirectory", dir);
    }
    int32_t SetArguments(const std::string& args) override { return Record("SetArguments", args); }
    int32_t SetIconLocation(const std::string& iconFile, int index) override {
        return Record("SetIconLocation", iconFile + "," + std::to_string(index));
    }
    int32_t SetDescription(const std::string& description) override {
        return Record("SetDescription", description);
    }
    int32_t SetShowCmd(int showCmd) override {
        return Record("SetShowCmd", std::to_string(showCmd));
    }
    int32_t SetHotkey(uint16_t hotKey) override {
        return Record("SetHotkey", std::to_string(hotKey));
    }
    int32_t Save(const std::u16string& linkFile, bool /*remember*/) override {
        return static_cast<int32_t>(Machine.SaveLink(Index, linkFile));
    }

private:
    int32_t Record(const char* name, const std::string& value) {
        Machine.ShellLinks[Index].Calls.push_back({name, value});
        return 0;
    }
    TSimulatedMachine& Machine;
    size_t Index;
};

// ---- building the machine -------------------------------------------------------------------

TSimulatedMachine::TSimulatedMachine() {
    const std::string programFiles = "c:\\program files";
    const std::string programFilesX86 = "c:\\program files (x86)";
    const std::string desktop = "c:\\users\\user\\desktop";
    const std::string localAppData = "c:\\users\\user\\appdata\\local";
    const std::string windows = "c:\\windows";
    for (const std::string& folder :
         {programFiles, programFilesX86, desktop, localAppData, windows})
        AddFolder(folder);
    SpecialFolders[win::CSIDL_PROGRAM_FILES] = programFiles;
    SpecialFolders[win::CSIDL_PROGRAM_FILESX86] = programFilesX86;
    SpecialFolders[win::CSIDL_DESKTOP] = desktop;
    SpecialFolders[win::CSIDL_LOCAL_APPDATA] = localAppData;
    SpecialFolders[win::CSIDL_WINDOWS] = windows;
    SetEnvironment("ProgramW6432", "C:\\Program Files");
    const std::string currentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
    SetRegistryValue(win::HKEY_LOCAL_MACHINE, currentVersion, "ProgramFilesDir",
                     "C:\\Program Files", win::KEY_WOW64_64KEY);
    SetRegistryValue(win::HKEY_LOCAL_MACHINE, currentVersion, "ProgramFilesDir",
                     "C:\\Program Files (x86)", win::KEY_WOW64_32KEY);
}

std::string TSimulatedMachine::Key(const std::string& path) const {
    // Reading the lead-byte table changes nothing.
    ISystemInfo* codePage = const_cast<TSimulatedMachine*>(this);
    const std::string folded = LowerAscii(path, codePage);
    std::string key;
    for (size_t i = 0; i < folded.size();) {
        const size_t size = CharSizeAt(folded, i, codePage);
        char c = folded[i];
        if (size == 1 && (c == '/' || c == '\\')) {
            c = '\\';
            if (!key.empty() && key.back() == '\\' && !EndsInSecondByte(key)) {
                ++i;
                continue; // Win32 path normalisation folds repeated separators
            }
        }
        key.append(folded, i, size);
        i += size;
    }
    if (key.size() == 2 && key[1] == ':')
        key += '\\';
    while (key.size() > 3 && key.back() == '\\' && !EndsInSecondByte(key))
        key.pop_back();
    return key;
}

std::string TSimulatedMachine::Key(const std::string& path) {
    return std::as_const(*this).Key(path);
}

bool TSimulatedMachine::EndsInSecondByte(const std::string& text) const {
    ISystemInfo* codePage = const_cast<TSimulatedMachine*>(this);
    size_t i = 0;
    while (i < text.size()) {
        const size_t size = CharSizeAt(text, i, codePage);
        if (i + size == text.size())
            return size == 2;
        i += size;
    }
    return false;
}

size_t TSimulatedMachine::LastSeparator(const std::string& path, std::string_view set) const {
    ISystemInfo* codePage = const_cast<TSimulatedMachine*>(this);
    size_t found = std::string::npos;
    for (size_t i = 0; i < path.size(); i += CharSizeAt(path, i, codePage))
        if (set.find(path[i]) != std::string_view::npos)
            found = i;
    return found;
}

std::string TSimulatedMachine::ParentKey(const std::string& key) const {
    size_t p = LastSeparator(key, "\\");
    if (p == std::string::npos || key.size() <= 3)
        return {};
    std::string parent = key.substr(0, p);
    return Key(parent);
}

TSimulatedMachine::TNode* TSimulatedMachine::Find(const std::string& path) {
    auto it = Nodes.find(Key(path));
    return it == Nodes.end() ? nullptr : &it->second;
}

const TSimulatedMachine::TNode* TSimulatedMachine::Find(const std::string& path) const {
    auto it = Nodes.find(Key(path));
    return it == Nodes.end() ? nullptr : &it->second;
}

TSimulatedMachine::TNode& TSimulatedMachine::Ensure(const std::string& key, const std::string& name,
                                                    bool folder) {
    std::string parent = ParentKey(key);
    if (!parent.empty() && !Nodes.count(parent)) {
        size_t p = LastSeparator(parent, "\\");
        std::string parentName = parent.size() <= 3 ? parent : parent.substr(p + 1);
        Ensure(parent, parentName, true);
    }
    auto [it, inserted] = Nodes.try_emplace(key);
    if (inserted) {
        it->second.Name = name;
        it->second.Order = NextOrder++;
        it->second.Folder = folder;
        it->second.Attributes = folder ? win::FILE_ATTRIBUTE_DIRECTORY : 0;
    }
    return it->second;
}

void TSimulatedMachine::AddFolder(const std::string& path, uint32_t attributes) {
    std::string key = Key(path);
    std::string trimmed = path;
    while (trimmed.size() > 3 && (trimmed.back() == '\\' || trimmed.back() == '/') &&
           !EndsInSecondByte(trimmed))
        trimmed.pop_back();
    size_t p = LastSeparator(trimmed, "\\/");
    TNode& node = Ensure(key, key.size() <= 3 ? key : trimmed.substr(p + 1), true);
    node.Folder = true;
    node.Data.clear();
    node.Attributes = attributes | win::FILE_ATTRIBUTE_DIRECTORY;
}

void TSimulatedMachine::AddFile(const std::string& path, const std::string& data,
                                uint32_t attributes) {
    std::string key = Key(path);
    size_t p = LastSeparator(path, "\\/:");
    TNode& node = Ensure(key, p == std::string::npos ? path : path.substr(p + 1), false);
    node.Folder = false;
    node.Data = data;
    node.Attributes = attributes & ~win::FILE_ATTRIBUTE_DIRECTORY;
}

void TSimulatedMachine::Remove(const std::string& path) {
    std::string key = Key(path);
    std::string prefix = key.back() == '\\' ? key : key + "\\";
    for (auto it = Nodes.begin(); it != Nodes.end();) {
        if (it->first == key || it->first.compare(0, prefix.size(), prefix) == 0)
            it = Nodes.erase(it);
        else
            ++it;
    }
}

void TSimulatedMachine::SetSpecialFolder(int csidl, const std::string& path) {
    SpecialFolders[csidl] = path;
}

void TSimulatedMachine::LockFile(const std::string& path, bool locked) {
    if (TNode* node = Find(path))
        node->Locked = locked;
}

void TSimulatedMachine::SetDiskSpace(uint64_t bytes) {
    DiskSpace = bytes;
}

std::optional<std::string> TSimulatedMachine::ReadFile(const std::string& path) const {
    const TNode* node = Find(path);
    if (!node || node->Folder)
        return std::nullopt;
    return node->Data;
}

void TSimulatedMachine::AddRcData(const std::string& name, std::string data) {
    AddedRcData[UpperAscii(name)] = std::move(data);
}

uint32_t TSimulatedMachine::ReadWholeFile(const std::string& path, std::string& data) {
    data.clear();
    const TNode* node = Find(path);
    if (!node)
        return win::ERROR_FILE_NOT_FOUND;
    if (node->Folder || node->Locked)
        return node->Folder ? win::ERROR_ACCESS_DENIED : win::ERROR_SHARING_VIOLATION;
    data = node->Data;
    return win::ERROR_SUCCESS;
}

bool TSimulatedMachine::Exists(const std::string& path) const {
    return Find(path) != nullptr;
}

std::vector<std::string> TSimulatedMachine::ListPaths() const {
    std::vector<std::string> paths;
    for (const auto& [key, node] : Nodes)
        paths.push_back(key);
    return paths;
}

TPlatform TSimulatedMachine::AsPlatform(INativeTaskDialogHost* dialogs) {
    TPlatform platform;
    platform.Files = this;
    platform.Shell = this;
    platform.System = this;
    platform.TaskDialogs = dialogs;
    platform.Pictures = &PictureDecoder;
    platform.ShellIcons = &ShellIcons;
    platform.Registry = this;
    return platform;
}

// ---- IFileSystem -----------------------------------------------------------------------------

bool TSimulatedMachine::FileExists(const std::string& path) {
    const TNode* node = Find(path);
    return node && !node->Folder;
}

uint32_t TSimulatedMachine::GetFileAttributes(const std::string& path) {
    const TNode* node = Find(path);
    if (!node)
        return win::INVALID_FILE_ATTRIBUTES;
    if (!node->Folder && node->Attributes == 0)
        return win::FILE_ATTRIBUTE_NORMAL;
    return node->Attributes;
}

std::vector<TDirEntry> TSimulatedMachine::FindFiles(const std::string& pattern) {
    std::vector<TDirEntry> result;
    size_t p = LastSeparator(pattern, "\\/");
    std::string folder = p == std::string::npos ? std::string() : pattern.substr(0, p + 1);
    const std::string mask =
        LowerAscii(p == std::string::npos ? pattern : pattern.substr(p + 1), this);
    std::string folderKey = Key(folder);
    auto it = Nodes.find(folderKey);
    if (folder.empty() || it == Nodes.end() || !it->second.Folder)
        return result;
    auto visible = [](uint32_t attributes) {
        return (attributes & (win::FILE_ATTRIBUTE_HIDDEN | win::FILE_ATTRIBUTE_SYSTEM)) == 0;
    };
    // A non-root folder lists "." and ".." first, as Windows does.
    if (folderKey.size() > 3 && visible(it->second.Attributes)) {
        for (const char* dot : {".", ".."})
            if (WildcardMatch(mask, dot))
                result.push_back({dot, win::FILE_ATTRIBUTE_DIRECTORY});
    }
    std::vector<const TNode*> children;
    for (const auto& [key, node] : Nodes)
        if (key != folderKey && ParentKey(key) == folderKey)
            children.push_back(&node);
    std::sort(children.begin(), children.end(),
              [](const TNode* a, const TNode* b) { return a->Order < b->Order; });
    for (const TNode* child : children) {
        uint32_t attributes = child->Attributes;
        if (!child->Folder && attributes == 0)
            attributes = win::FILE_ATTRIBUTE_NORMAL;
        if (visible(attributes) && WildcardMatch(mask, LowerAscii(child->Name, this)))
            result.push_back({child->Name.substr(0, 260), attributes});
    }
    return result;
}

uint32_t TSimulatedMachine::CheckParentWritable(const std::string& key) const {
    std::string parent = ParentKey(key);
    auto it = Nodes.find(parent);
    if (parent.empty() || it == Nodes.end() || !it->second.Folder)
        return win::ERROR_PATH_NOT_FOUND;
    if (it->second.Attributes & win::FILE_ATTRIBUTE_READONLY)
        return win::ERROR_ACCESS_DENIED;
    return 0;
}

uint32_t TSimulatedMachine::CreateFile(const std::string& path, THandle& file) {
    file = 0;
    std::string key = Key(path);
    if (uint32_t error = CheckParentWritable(key))
        return error;
    if (TNode* node = Find(path)) {
        if (node->Folder || (node->Attributes & win::FILE_ATTRIBUTE_READONLY))
            return win::ERROR_ACCESS_DENIED;
        if (node->Locked || node->OpenCount > 0)
            return win::ERROR_SHARING_VIOLATION;
    }
    size_t p = LastSeparator(path, "\\/:");
    TNode& node = Ensure(key, path.substr(p + 1), false);
    node.Data.clear();
    node.Attributes = 0;
    node.OpenCount++;
    file = NextHandle++;
    Handles[file] = key;
    return 0;
}

uint32_t TSimulatedMachine::WriteFile(THandle file, const void* data, uint32_t size,
                                      uint32_t& written) {
    written = 0;
    auto handle = Handles.find(file);
    if (handle == Handles.end())
        return ErrorInvalidHandle;
    auto node = Nodes.find(handle->second);
    if (node == Nodes.end())
        return ErrorInvalidHandle;
    uint32_t count = size;
    if (DiskSpace && *DiskSpace < count)
        count = static_cast<uint32_t>(*DiskSpace);
    node->second.Data.append(static_cast<const char*>(data), count);
    written = count;
    if (DiskSpace)
        *DiskSpace -= count;
    return count < size ? win::ERROR_DISK_FULL : 0;
}

uint32_t TSimulatedMachine::CloseFile(THandle file) {
    auto handle = Handles.find(file);
    if (handle == Handles.end())
        return ErrorInvalidHandle;
    auto node = Nodes.find(handle->second);
    if (node != Nodes.end() && node->second.OpenCount > 0)
        node->second.OpenCount--;
    Handles.erase(handle);
    return 0;
}

uint32_t TSimulatedMachine::ReplaceFile(const std::string& from, const std::string& to) {
    std::string fromKey = Key(from), toKey = Key(to);
    TNode* source = Find(from);
    if (!source)
        return Nodes.count(ParentKey(fromKey)) ? win::ERROR_FILE_NOT_FOUND
                                               : win::ERROR_PATH_NOT_FOUND;
    if (source->Locked || source->OpenCount > 0)
        return win::ERROR_SHARING_VIOLATION;
    if (uint32_t error = CheckParentWritable(fromKey))
        return error;
    if (uint32_t error = CheckParentWritable(toKey))
        return error;
    if (fromKey == toKey)
        return 0;
    TNode moved = *source;
    if (TNode* target = Find(to)) {
        if (target->Folder || source->Folder)
            return target->Folder ? win::ERROR_ACCESS_DENIED : ErrorFileExists;
        if (target->Attributes & win::FILE_ATTRIBUTE_READONLY)
            return win::ERROR_ACCESS_DENIED;
        if (target->Locked || target->OpenCount > 0)
            return win::ERROR_SHARING_VIOLATION;
        moved.Order = target->Order; // the entry keeps its place in the folder
        moved.Name = target->Name;
    } else {
        size_t p = LastSeparator(to, "\\/:");
        moved.Name = to.substr(p + 1);
    }
    Nodes.erase(fromKey);
    Nodes[toKey] = moved;
    return 0;
}

uint32_t TSimulatedMachine::DeleteFile(const std::string& path) {
    std::string key = Key(path);
    TNode* node = Find(path);
    if (!node)
        return Nodes.count(ParentKey(key)) ? win::ERROR_FILE_NOT_FOUND : win::ERROR_PATH_NOT_FOUND;
    if (node->Folder || (node->Attributes & win::FILE_ATTRIBUTE_READONLY))
        return win::ERROR_ACCESS_DENIED;
    if (node->Locked || node->OpenCount > 0)
        return win::ERROR_SHARING_VIOLATION;
    if (uint32_t error = CheckParentWritable(key))
        return error;
    Nodes.erase(key);
    return 0;
}

// ---- IShell ----------------------------------------------------------------------------------

int32_t TSimulatedMachine::GetSpecialFolderLocation(int csidl, THandle& itemList) {
    itemList = 0;
    auto it = SpecialFolders.find(csidl);
    if (it == SpecialFolders.end() || it->second.empty())
        return EFail;
    itemList = NextHandle++;
    ItemLists[itemList] = it->second;
    return 0;
}

bool TSimulatedMachine::GetPathFromIDList(THandle itemList, std::string& buffer) {
    auto it = ItemLists.find(itemList);
    if (it == ItemLists.end() || it->second.size() >= 260)
        return false;
    buffer.assign(260, '\0');
    std::copy(it->second.begin(), it->second.end(), buffer.begin());
    return true;
}

void TSimulatedMachine::FreeItemList(THandle itemList) {
    ItemLists.erase(itemList);
}

intptr_t TSimulatedMachine::ShellExecute(THandle owner, const std::string& operation,
                                         const std::string& file, const std::string& parameters,
                                         const std::string& directory, int show) {
    ShellExecutes.push_back({false, owner, operation, file, parameters, directory, show});
    return 42; // above 32: success
}

bool TSimulatedMachine::ShellExecuteEx(const TShellExecuteInfo& info) {
    ShellExecutes.push_back(
        {true, info.Owner, info.Verb, info.File, info.Parameters, info.Directory, info.Show});
    return true;
}

int32_t TSimulatedMachine::CoInitialize() {
    ++CoInitializeCalls;
    return CoInitializeCalls - CoUninitializeCalls > 1 ? 1 : 0; // S_FALSE when already done
}

void TSimulatedMachine::CoUninitialize() {
    ++CoUninitializeCalls;
}

std::unique_ptr<IShellLink> TSimulatedMachine::CreateShellLink() {
    if (!ShellLinkAvailable)
        throw Exception("Class not registered");
    ShellLinks.push_back({});
    return std::make_unique<TSimulatedLinkObject>(*this, ShellLinks.size() - 1);
}

uint32_t TSimulatedMachine::SaveLink(size_t index, const std::u16string& linkFile) {
    TSimulatedShellLink& link = ShellLinks[index];
    std::string path = FromUtf16(linkFile);
    link.Calls.push_back({"Save", path});
    // A small text file stands in for the binary link, so that existence tests see it.
    std::string content;
    for (const TShellLinkCall& call : link.Calls)
        if (call.Name != "Save")
            content += call.Name + "=" + call.Value + "\r\n";
    THandle file = 0;
    if (uint32_t error = CreateFile(path, file))
        return static_cast<uint32_t>(HresultFromWin32(error));
    uint32_t written = 0;
    uint32_t error =
        WriteFile(file, content.data(), static_cast<uint32_t>(content.size()), written);
    CloseFile(file);
    if (error)
        return static_cast<uint32_t>(HresultFromWin32(error));
    link.LinkFile = path;
    return 0;
}

} // namespace qb
