// Shell services: special folders, shell execution, COM start-up and the shell-link object.
#pragma once
#include "runtime/Platform.h"

namespace qb {

class Win32Shell : public IShell {
public:
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
};

} // namespace qb
