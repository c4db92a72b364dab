// A native task dialog host that passes every call to the real one and notes each dialog (its
// texts, buttons, flags and the answer) as one line of a log file, so that a test driving the
// real windows can tell which dialog it answered and what the program got back.
#pragma once
#include "app/gallery/LogFile.h"
#include "runtime/NativeTaskDialog.h"
#include "runtime/Platform.h"
#include <cstdio>
#include <string>

namespace qb {

class TLoggingTaskDialogHost : public INativeTaskDialogHost {
public:
    // An empty log path turns logging off.
    TLoggingTaskDialogHost(INativeTaskDialogHost& inner, ISystemInfo& system, std::string logPath)
        : Inner(inner), System(system), Log(std::move(logPath)) {}

    bool LoadComctl32() override { return Inner.LoadComctl32(); }
    bool HasTaskDialogIndirect() override { return Inner.HasTaskDialogIndirect(); }
    THandle LoadSystemIcon(int id, bool small) override { return Inner.LoadSystemIcon(id, small); }
    TLParam SendMessage(THandle window, unsigned message, TWParam wParam, TLParam lParam) override {
        return Inner.SendMessage(window, message, wParam, lParam);
    }

    int32_t TaskDialogIndirect(const TNativeTaskDialogConfig& config, int* button, int* radioButton,
                               bool* verificationChecked) override {
        // Written before the dialog runs too, so a test that times out still sees what showed.
        std::string line = Describe(config);
        Log.Write("show\t" + line);
        int32_t result = Inner.TaskDialogIndirect(config, button, radioButton, verificationChecked);
        Log.Write("done\t" + line + "\tresult=" + std::to_string(button ? *button : 0) +
                  "\tradio=" + std::to_string(radioButton ? *radioButton : 0) + "\tchecked=" +
                  std::string(verificationChecked && *verificationChecked ? "1" : "0") +
                  "\thr=" + Hex(static_cast<uint32_t>(result)));
        return result;
    }

private:
    static std::string Hex(uint32_t v) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "0x%X", v);
        return buf;
    }

    // Line breaks and tabs written as \r, \n, \t so that each dialog stays on one line.
    std::string Text(const std::optional<std::u16string>& text) const {
        if (!text)
            return "(null)";
        std::string out;
        for (char c : System.FromUtf16(*text)) {
            switch (c) {
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                out += c;
            }
        }
        return out;
    }

    std::string Buttons(const std::vector<TNativeButton>& buttons) const {
        std::string out;
        for (const TNativeButton& b : buttons)
            out += (out.empty() ? "" : "|") + std::to_string(b.Id) + ":" + Text(b.Text);
        return out;
    }

    std::string Describe(const TNativeTaskDialogConfig& c) const {
        return "title=" + Text(c.WindowTitle) + "\tinstruction=" + Text(c.MainInstruction) +
               "\tcontent=" + Text(c.Content) + "\tfooter=" + Text(c.Footer) +
               "\texpanded=" + Text(c.ExpandedInformation) +
               "\tverification=" + Text(c.VerificationText) + "\tflags=" + Hex(c.Flags) +
               "\tcommon=" + Hex(c.CommonButtons) + "\tbuttons=" + Buttons(c.Buttons) +
               "\tradios=" + Buttons(c.RadioButtons) +
               "\tdefault=" + std::to_string(c.DefaultButton) +
               "\tmainicon=" + std::to_string(c.MainIcon) +
               "\tfootericon=" + std::to_string(c.FooterIcon);
    }

    INativeTaskDialogHost& Inner;
    ISystemInfo& System;
    TLogFile Log;
};

} // namespace qb
