// System information whose comctl32 version probe answers 6.10, so that Execute takes the native
// task dialog path. Under Wine the real probe reports 5.81 (Wine's comctl32 still carries a
// working TaskDialogIndirect), which would send every dialog to the emulated window. Used by the
// gallery's --native switch and by the end-to-end variant of the program.
#pragma once
#include "runtime/Platform.h"

namespace qb {

class TComCtl6Probe : public ISystemInfo {
public:
    static constexpr int32_t Version610 = (6 << 16) | 10;

    explicit TComCtl6Probe(ISystemInfo& inner) : Inner(inner) {}

    TOsVersion GetVersion() override { return Inner.GetVersion(); }
    int32_t ComCtlVersion(const std::string&) override { return Version610; }
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
    std::u16string ToUtf16(const std::string& text) override { return Inner.ToUtf16(text); }
    std::string FromUtf16(const std::u16string& text) override { return Inner.FromUtf16(text); }
    std::string ErrorMessage(uint32_t code) override { return Inner.ErrorMessage(code); }

private:
    ISystemInfo& Inner;
};

} // namespace qb
