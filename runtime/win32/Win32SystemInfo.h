// Versions, system capabilities, message boxes, the module's resources and text conversion.
#pragma once
#include "runtime/Platform.h"

namespace qb {

class Win32SystemInfo : public ISystemInfo {
public:
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
    std::u16string ToUtf16(const std::string& text) override;
    std::string FromUtf16(const std::u16string& text) override;
    std::string ErrorMessage(uint32_t code) override;
    bool IsDbcsLeadByte(uint8_t byte) override;
    std::optional<std::string> EnvironmentVariable(const std::string& name) override;
    std::optional<std::string> FileVersionString(const std::string& path,
                                                 const std::string& name) override;
};

// dwFileVersionMS of a file's fixed version information, or -1.
int32_t FileVersionMS(const std::string& path);

} // namespace qb
