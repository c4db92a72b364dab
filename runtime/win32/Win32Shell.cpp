#include "runtime/win32/WindowsApi.h"

#include "runtime/Exception.h"
#include "runtime/win32/ComRef.h"
#include "runtime/win32/Win32Error.h"
#include "runtime/win32/Win32Shell.h"
#include <utility>

namespace qb {

namespace {

// An empty string stands for "not given": the shell then uses its default.
const char* OrNull(const std::string& text) {
    return text.empty() ? nullptr : text.c_str();
}

// A call that claims success but hands back no pointer still failed.
std::string Reason(HRESULT result) {
    return SystemErrorMessage(static_cast<uint32_t>(FAILED(result) ? result : E_NOINTERFACE));
}

// The object and both interfaces live exactly as long as this wrapper.
class Win32ShellLink : public IShellLink {
public:
    Win32ShellLink(TComRef<IUnknown> object, TComRef<IShellLinkA> link, TComRef<IPersistFile> file)
        : Object(std::move(object)), Link(std::move(link)), File(std::move(file)) {}

    int32_t SetPath(const std::string& target) override { return Link->SetPath(target.c_str()); }
    int32_t SetWorkingDirectory(const std::string& dir) override {
        return Link->SetWorkingDirectory(dir.c_str());
    }
    int32_t SetArguments(const std::string& args) override {
        return Link->SetArguments(args.c_str());
    }
    int32_t SetIconLocation(const std::string& iconFile, int index) override {
        return Link->SetIconLocation(iconFile.c_str(), index);
    }
    int32_t SetDescription(const std::string& description) override {
        return Link->SetDescription(description.c_str());
    }
    int32_t SetShowCmd(int showCmd) override { return Link->SetShowCmd(showCmd); }
    int32_t SetHotkey(uint16_t hotKey) override { return Link->SetHotkey(hotKey); }
    int32_t Save(const std::u16string& linkFile, bool remember) override {
        return File->Save(reinterpret_cast<LPCOLESTR>(linkFile.c_str()), remember ? TRUE : FALSE);
    }

private:
    // Declared first so that it is released last, after the interfaces taken from it.
    TComRef<IUnknown> Object;
    TComRef<IShellLinkA> Link;
    TComRef<IPersistFile> File;
};

} // namespace

int32_t Win32Shell::GetSpecialFolderLocation(int csidl, THandle& itemList) {
    PIDLIST_ABSOLUTE list = nullptr;
    const HRESULT result = ::SHGetSpecialFolderLocation(nullptr, csidl, &list);
    itemList = reinterpret_cast<THandle>(list);
    return result;
}

bool Win32Shell::GetPathFromIDList(THandle itemList, std::string& buffer) {
    buffer.assign(MAX_PATH, '\0');
    if (itemList == 0) {
        return false; // a failed lookup hands out no list
    }
    return ::SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(itemList), buffer.data()) !=
           FALSE;
}

void Win32Shell::FreeItemList(THandle itemList) {
    ::CoTaskMemFree(reinterpret_cast<void*>(itemList));
}

intptr_t Win32Shell::ShellExecute(THandle owner, const std::string& operation,
                                  const std::string& file, const std::string& parameters,
                                  const std::string& directory, int show) {
    HINSTANCE result = ::ShellExecuteA(reinterpret_cast<HWND>(owner), OrNull(operation),
                                       file.c_str(), OrNull(parameters), OrNull(directory), show);
    return reinterpret_cast<intptr_t>(result);
}

bool Win32Shell::ShellExecuteEx(const TShellExecuteInfo& info) {
    SHELLEXECUTEINFOA execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = 0;
    execute.hwnd = reinterpret_cast<HWND>(info.Owner);
    execute.lpVerb = OrNull(info.Verb);
    execute.lpFile = info.File.c_str();
    execute.lpParameters = OrNull(info.Parameters);
    execute.lpDirectory = OrNull(info.Directory);
    execute.nShow = info.Show;
    return ::ShellExecuteExA(&execute) != FALSE;
}

int32_t Win32Shell::CoInitialize() {
    return ::CoInitialize(nullptr);
}

void Win32Shell::CoUninitialize() {
    ::CoUninitialize();
}

std::unique_ptr<IShellLink> Win32Shell::CreateShellLink() {
    TComRef<IUnknown> object;
    HRESULT result =
        ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                           IID_IUnknown, object.Out());
    if (FAILED(result) || object.Get() == nullptr) {
        throw Exception("The shell link object cannot be created: " + Reason(result));
    }
    TComRef<IShellLinkA> link;
    result = object->QueryInterface(IID_IShellLinkA, link.Out());
    if (FAILED(result) || link.Get() == nullptr) {
        throw Exception("The shell link object offers no IShellLinkA interface: " + Reason(result));
    }
    TComRef<IPersistFile> file;
    result = object->QueryInterface(IID_IPersistFile, file.Out());
    if (FAILED(result) || file.Get() == nullptr) {
        throw Exception("The shell link object offers no IPersistFile interface: " +
                        Reason(result));
    }
    return std::make_unique<Win32ShellLink>(std::move(object), std::move(link), std::move(file));
}

} // namespace qb
