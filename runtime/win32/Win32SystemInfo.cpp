#include "runtime/win32/WindowsApi.h"

#include "runtime/Format.h"
#include "runtime/win32/Win32Error.h"
#include "runtime/win32/Win32SystemInfo.h"
#include "runtime/win32/WideText.h"
#include <climits>
#include <cstring>
#include <vector>

namespace qb {

namespace {

// The full path of a loaded module, however long.
std::string ModuleFileName(HMODULE module) {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameA(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768) {
            return {};
        }
        path.resize(path.size() * 2);
    }
}

using TIsWow64Process = BOOL(WINAPI*)(HANDLE, PBOOL);

// A file's whole version resource; empty when it has none.
std::vector<char> VersionBlock(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> block(size);
    if (size == 0 || !::GetFileVersionInfoA(path.c_str(), 0, size, block.data())) {
        block.clear();
    }
    return block;
}

// One entry of a version resource, with its size in units of the entry's kind.
const void* VersionValue(std::vector<char>& block, std::string subBlock, UINT& length) {
    void* value = nullptr;
    length = 0;
    if (block.empty() || !::VerQueryValueA(block.data(), subBlock.data(), &value, &length)) {
        return nullptr;
    }
    return value;
}

} // namespace

int32_t FileVersionMS(const std::string& path) {
    std::vector<char> block = VersionBlock(path);
    UINT length = 0;
    const void* value = VersionValue(block, "\\", length);
    if (value == nullptr || length < sizeof(VS_FIXEDFILEINFO)) {
        return -1;
    }
    return static_cast<int32_t>(static_cast<const VS_FIXEDFILEINFO*>(value)->dwFileVersionMS);
}

TOsVersion Win32SystemInfo::GetVersion() {
    // Truthful beyond Windows 8 only because the manifest lists the supported systems.
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!::GetVersionExA(&info)) {
        return {};
    }
    return {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

int32_t Win32SystemInfo::ComCtlVersion(const std::string& fileName) {
    // Asking the file the name finds in the system folder would always answer 5.x. Loading the
    // module goes through the process's activation context, so with our manifest this is the
    // side-by-side version 6 that the native task dialog would come from.
    HMODULE module = ::LoadLibraryA(fileName.c_str());
    if (module == nullptr) {
        return -1;
    }
    const std::string path = ModuleFileName(module);
    ::FreeLibrary(module);
    return path.empty() ? -1 : FileVersionMS(path);
}

TWow64Answer Win32SystemInfo::IsWow64Process() {
    // Looked up by name: systems before XP SP2 do not export it.
    HMODULE kernel = ::GetModuleHandleA("kernel32");
    const auto function = kernel == nullptr
                              ? nullptr
                              : reinterpret_cast<TIsWow64Process>(reinterpret_cast<void*>(
                                    ::GetProcAddress(kernel, "IsWow64Process")));
    if (function == nullptr) {
        return TWow64Answer::NoFunction;
    }
    BOOL wow64 = FALSE;
    if (!function(::GetCurrentProcess(), &wow64)) {
        return TWow64Answer::Failed;
    }
    return wow64 ? TWow64Answer::Yes : TWow64Answer::No;
}

bool Win32SystemInfo::ProcessIs64Bit() {
    return sizeof(void*) == 8;
}

bool Win32SystemInfo::HasGetLocaleInfoEx() {
    HMODULE kernel = ::GetModuleHandleA("kernel32");
    return kernel != nullptr && ::GetProcAddress(kernel, "GetLocaleInfoEx") != nullptr;
}

int Win32SystemInfo::MessageBox(THandle owner, const std::string& text, const std::string& caption,
                                uint32_t flags) {
    return ::MessageBoxA(reinterpret_cast<HWND>(owner), text.c_str(), caption.c_str(), flags);
}

std::string Win32SystemInfo::LoadString(unsigned id) {
    // With a zero buffer size the call hands out the resource's own read-only text, so no
    // string is ever cut to a buffer.
    const wchar_t* text = nullptr;
    const int length =
        ::LoadStringW(::GetModuleHandleA(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) {
        return {};
    }
    return FromUtf16(
        std::u16string(reinterpret_cast<const char16_t*>(text), static_cast<size_t>(length)));
}

std::optional<std::string> Win32SystemInfo::LoadRcData(const std::string& name) {
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC info = ::FindResourceA(module, name.c_str(), RT_RCDATA);
    if (info == nullptr) {
        return std::nullopt;
    }
    const DWORD size = ::SizeofResource(module, info);
    HGLOBAL loaded = ::LoadResource(module, info);
    const void* data = loaded == nullptr ? nullptr : ::LockResource(loaded);
    if (data == nullptr) {
        return std::nullopt;
    }
    return std::string(static_cast<const char*>(data), size);
}

uint32_t Win32SystemInfo::AnsiCodePage() {
    return ::GetACP();
}

std::u16string Win32SystemInfo::ToUtf16(const std::string& text) {
    const std::wstring wide = WideText(text);
    return {wide.begin(), wide.end()};
}

std::string Win32SystemInfo::FromUtf16(const std::u16string& text) {
    return NarrowText(std::wstring(text.begin(), text.end()));
}

std::string Win32SystemInfo::ErrorMessage(uint32_t code) {
    return SystemErrorMessage(code);
}

std::optional<std::string> Win32SystemInfo::EnvironmentVariable(const std::string& name) {
    std::string value(MAX_PATH, '\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        ::SetLastError(ERROR_SUCCESS);
        const DWORD length =
            ::GetEnvironmentVariableA(name.c_str(), value.data(), static_cast<DWORD>(value.size()));
        if (length == 0) {
            // An empty variable and a missing one both answer 0; only the error tells them apart.
            return ::GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt
                                                              : std::optional<std::string>("");
        }
        if (length < value.size()) {
            value.resize(length);
            return value;
        }
        value.assign(length, '\0'); // the size needed, with its NUL
    }
    return std::nullopt;
}

std::optional<std::string> Win32SystemInfo::FileVersionString(const std::string& path,
                                                              const std::string& name) {
    std::vector<char> block = VersionBlock(path);
    struct TTranslation {
        WORD Language;
        WORD CodePage;
    };
    UINT length = 0;
    const void* list = VersionValue(block, "\\VarFileInfo\\Translation", length);
    // Without a list of languages, the one resource compilers write by default: US English,
    // Unicode.
    TTranslation first{0x0409, 1200};
    if (list != nullptr && length >= sizeof(TTranslation)) {
        std::memcpy(&first, list, sizeof first);
    }
    const std::string language =
        Digits(first.Language, 16, false, 4) + Digits(first.CodePage, 16, false, 4);
    const void* text =
        VersionValue(block, std::string("\\StringFileInfo\\") + language + "\\" + name, length);
    if (text == nullptr) {
        return std::nullopt;
    }
    // The length counts UTF-16 units, not the bytes of the converted text: the text ends at its
    // NUL, looked for only inside the block.
    const char* start = static_cast<const char*>(text);
    const size_t room = static_cast<size_t>(block.data() + block.size() - start);
    const void* end = std::memchr(start, '\0', room);
    return std::string(
        start, end == nullptr ? room : static_cast<size_t>(static_cast<const char*>(end) - start));
}

bool Win32SystemInfo::IsDbcsLeadByte(uint8_t byte) {
    // UTF-8 has no lead bytes in this sense: no ASCII byte is ever inside a character.
    return ::GetACP() != CP_UTF8 && ::IsDBCSLeadByte(byte) != FALSE;
}

} // namespace qb
