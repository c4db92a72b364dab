#include "runtime/win32/WindowsApi.h"

#include "runtime/win32/Win32FileSystem.h"

namespace qb {

namespace {

HANDLE ToHandle(THandle file) {
    return reinterpret_cast<HANDLE>(file);
}

// The error of the call that just failed, read before anything else can overwrite it; a failure
// that left no error code still must not read as success.
uint32_t LastError() {
    const DWORD error = ::GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

} // namespace

bool Win32FileSystem::FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

uint32_t Win32FileSystem::GetFileAttributes(const std::string& path) {
    return ::GetFileAttributesA(path.c_str());
}

std::vector<TDirEntry> Win32FileSystem::FindFiles(const std::string& pattern) {
    std::vector<TDirEntry> entries;
    WIN32_FIND_DATAA data{};
    HANDLE search = ::FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        return entries;
    }
    do {
        // Hidden and system entries are not the user's installations.
        if ((data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) {
            continue;
        }
        entries.push_back({std::string(data.cFileName), data.dwFileAttributes});
    } while (::FindNextFileA(search, &data));
    ::FindClose(search);
    return entries;
}

uint32_t Win32FileSystem::CreateFile(const std::string& path, THandle& file) {
    HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const uint32_t error = LastError();
        file = reinterpret_cast<THandle>(INVALID_HANDLE_VALUE);
        return error;
    }
    file = reinterpret_cast<THandle>(handle);
    return ERROR_SUCCESS;
}

uint32_t Win32FileSystem::WriteFile(THandle file, const void* data, uint32_t size,
                                    uint32_t& written) {
    DWORD count = 0;
    const BOOL ok = ::WriteFile(ToHandle(file), data, size, &count, nullptr);
    const uint32_t error = ok ? ERROR_SUCCESS : LastError();
    written = count;
    return error;
}

uint32_t Win32FileSystem::CloseFile(THandle file) {
    return ::CloseHandle(ToHandle(file)) ? ERROR_SUCCESS : LastError();
}

uint32_t Win32FileSystem::ReplaceFile(const std::string& from, const std::string& to) {
    const BOOL ok =
        ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    return ok ? ERROR_SUCCESS : LastError();
}

uint32_t Win32FileSystem::DeleteFile(const std::string& path) {
    return ::DeleteFileA(path.c_str()) ? ERROR_SUCCESS : LastError();
}

uint32_t Win32FileSystem::ReadWholeFile(const std::string& path, std::string& data) {
    data.clear();
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return LastError();
    uint32_t error = ERROR_SUCCESS;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        error = LastError();
    } else if (size.QuadPart > 0x7FFFFFFF) {
        error = ERROR_FILE_TOO_LARGE;
    } else {
        data.resize(static_cast<size_t>(size.QuadPart));
        size_t done = 0;
        while (done < data.size()) {
            DWORD read = 0;
            if (!::ReadFile(file, data.data() + done, static_cast<DWORD>(data.size() - done), &read,
                            nullptr)) {
                error = LastError();
                break;
            }
            if (read == 0)
                break;
            done += read;
        }
        data.resize(done);
    }
    CloseHandle(file);
    if (error != ERROR_SUCCESS)
        data.clear();
    return error;
}

} // namespace qb
