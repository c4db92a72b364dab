// Files and folders through kernel32's A functions (paths are bytes in the system code page).
#pragma once
#include "runtime/Platform.h"

namespace qb {

class Win32FileSystem : public IFileSystem {
public:
    bool FileExists(const std::string& path) override;
    uint32_t GetFileAttributes(const std::string& path) override;
    std::vector<TDirEntry> FindFiles(const std::string& pattern) override;
    uint32_t CreateFile(const std::string& path, THandle& file) override;
    uint32_t WriteFile(THandle file, const void* data, uint32_t size, uint32_t& written) override;
    uint32_t CloseFile(THandle file) override;
    uint32_t ReplaceFile(const std::string& from, const std::string& to) override;
    uint32_t DeleteFile(const std::string& path) override;
    uint32_t ReadWholeFile(const std::string& path, std::string& data) override;
};

} // namespace qb
