// System information whose comctl32 version probe gives a chosen answer, so that a test or the
// gallery decides which path Execute takes. Under Wine the real probe reports 5.81 (Wine's
// comctl32 still carries a working TaskDialogIndirect), which would send every dialog to the
// emulated window; answering 6.10 shows them through the native task dialog instead.
#pragma once
#include "runtime/Platform.h"

namespace qb {

class TComCtlVersionProbe : public ISystemInfo {
public:
    // dwFileVersionMS values: major in the high word, minor in the low word.
    static constexpr int32_t Version610 = (6 << 16) | 10;
    static constexpr int32_t Version581 = (5 << 16) | 81;

    TComCtlVersionProbe(ISystemInfo& inner, int32_t version) : Inner(inner), Version(version) {}

    // The gallery's timing run switches paths between dialogs of one process.
    void SetVersion(int32_t version) { Version = version; }

    TOsVersion GetVersion() override { return Inner.GetVersion(); }
    int32_t ComCtlVersion(const std::string&) override { return Version; }
    TWow64Answer IsWow64Process() override { return Inner.IsWow64Process(); }
    bool ProcessIs64Bit() override { return Inner.ProcessIs64Bit(); }
    bool HasGetLocaleInfoEx() override { return Inner.HasGetLocaleInfoEx(); }
    int MessageBox(THandle owner, const std::string& text, const std::string& caption,
                   uint32_t flags) override {
        return Inner.MessageBox(owner, text, caption, flags);
    }
    std::string LoadString(unsigned id) override { return Inner.LoadString(id); }
    std::optional<std::string> LoadRcData(const std::string& name) override {
        return Inner.LoadRcData(name);
    }
    uint32_t AnsiCodePage() override { return Inner.AnsiCodePage(); }
    std::u16string ToUtf16(const std::string& text) override { return Inner.ToUtf16(text); }
    std::string FromUtf16(const std::u16string& text) override { return Inner.FromUtf16(text); }
    std::string ErrorMessage(uint32_t code) override { return Inner.ErrorMessage(code); }
    bool IsDbcsLeadByte(uint8_t byte) override { return Inner.IsDbcsLeadByte(byte); }
    std::optional<std::string> EnvironmentVariable(const std::string& name) override {
        return Inner.EnvironmentVariable(name);
    }
    std::optional<std::string> FileVersionString(const std::string& path,
                                                 const std::string& name) override {
        return Inner.FileVersionString(path, name);
    }

private:
    ISystemInfo& Inner;
    int32_t Version;
};

} // namespace qb
