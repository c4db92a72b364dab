// Checks of the program entry under wine64: RunQuillbridge on the real Windows platform, with a
// few answers replaced so that every way out of the setup pass can be reached. Message boxes
// are recorded instead of shown; task dialogs are real and answered by their own callback.
// Expects C:\zorn\kestro.exe, DOSBox 0.74 under C:\Program Files (x86) and the DOSBox Staging
// stand-in in C:\Program Files\DOSBox Staging (run_entry_checks.sh).
#include "runtime/win32/WindowsApi.h"

#include "app/quillbridge/QuillbridgeEntry.h"
#include "dialogs/TaskDialog.h"
#include "runtime/AsciiCase.h"
#include "runtime/win32/Win32Platform.h"
#include "tests/e2e/common/E2eCheck.h"
#include "tests/e2e/setup/ShellLinkReader.h"
#include <cstdio>
#include <fstream>
#include <iterator>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace qb;

e2e::TChecks Check;

struct TRecordedBox {
    std::string Text;
    std::string Caption;
    uint32_t Flags = 0;
    std::string YesCaption; // the dialog module's caption while the box was up
};

// The real system, with the answers a scenario needs changed.
class TScenarioSystem : public ISystemInfo {
public:
    explicit TScenarioSystem(ISystemInfo& real) : Real(real) {}
    bool Pretend32BitProcess = false;
    bool IsWow64Fails = false;
    bool HideProgramW6432 = false;
    int32_t ComCtl = 0; // 0: the real answer
    std::vector<TRecordedBox> Boxes;

    TOsVersion GetVersion() override { return Real.GetVersion(); }
    int32_t ComCtlVersion(const std::string& fileName) override {
        return ComCtl != 0 ? ComCtl : Real.ComCtlVersion(fileName);
    }
    // A 32-bit process on this 64-bit system would be told yes.
    TWow64Answer IsWow64Process() override {
        if (IsWow64Fails)
            return TWow64Answer::Failed;
        return Pretend32BitProcess ? TWow64Answer::Yes : Real.IsWow64Process();
    }
    bool ProcessIs64Bit() override { return !Pretend32BitProcess && Real.ProcessIs64Bit(); }
    bool HasGetLocaleInfoEx() override { return Real.HasGetLocaleInfoEx(); }
    int MessageBox(THandle, const std::string& text, const std::string& caption,
                   uint32_t flags) override {
        Boxes.push_back({text, caption, flags, StandardButtonCaption(TCommonButton::cbYes)});
        return IDOK;
    }
    std::string LoadString(unsigned id) override { return Real.LoadString(id); }
    std::optional<std::string> LoadRcData(const std::string& name) override {
        return Real.LoadRcData(name);
    }
    uint32_t AnsiCodePage() override { return Real.AnsiCodePage(); }
    std::u16string ToUtf16(const std::string& text) override { return Real.ToUtf16(text); }
    std::string FromUtf16(const std::u16string& text) override { return Real.FromUtf16(text); }
    std::string ErrorMessage(uint32_t code) override { return Real.ErrorMessage(code); }
    bool IsDbcsLeadByte(uint8_t byte) override { return Real.IsDbcsLeadByte(byte); }
    std::optional<std::string> EnvironmentVariable(const std::string& name) override {
        if (HideProgramW6432 && SameTextAscii(name, "ProgramW6432"))
            return std::nullopt;
        return Real.EnvironmentVariable(name);
    }
    std::optional<std::string> FileVersionString(const std::string& path,
                                                 const std::string& name) override {
        return Real.FileVersionString(path, name);
    }

private:
    ISystemInfo& Real;
};

class TScenarioShell : public IShell {
public:
    explicit TScenarioShell(IShell& real) : Real(real) {}
    bool SkipCoInitialize = false;
    // As for a 32-bit process, number 38 names the Program Files folder of 32-bit programs.
    bool RedirectProgramFiles = false;

    int32_t GetSpecialFolderLocation(int csidl, THandle& itemList) override {
        if (RedirectProgramFiles && csidl == CSIDL_PROGRAM_FILES)
            csidl = CSIDL_PROGRAM_FILESX86;
        return Real.GetSpecialFolderLocation(csidl, itemList);
    }
    bool GetPathFromIDList(THandle itemList, std::string& buffer) override {
        return Real.GetPathFromIDList(itemList, buffer);
    }
    void FreeItemList(THandle itemList) override { Real.FreeItemList(itemList); }
    intptr_t ShellExecute(THandle owner, const std::string& operation, const std::string& file,
                          const std::string& parameters, const std::string& directory,
                          int show) override {
        return Real.ShellExecute(owner, operation, file, parameters, directory, show);
    }
    bool ShellExecuteEx(const TShellExecuteInfo& info) override {
        return Real.ShellExecuteEx(info);
    }
    int32_t CoInitialize() override {
        return SkipCoInitialize ? static_cast<int32_t>(E_FAIL) : Real.CoInitialize();
    }
    void CoUninitialize() override {
        if (!SkipCoInitialize) {
            Real.CoUninitialize();
        }
    }
    std::unique_ptr<IShellLink> CreateShellLink() override { return Real.CreateShellLink(); }

private:
    IShell& Real;
};

class TScenarioFiles : public IFileSystem {
public:
    explicit TScenarioFiles(IFileSystem& real) : Real(real) {}
    // Runs before every existence test; may throw.
    std::function<void(const std::string&)> BeforeFileExists;
    // Files in this folder (lower case, with its backslash) do not exist for the program.
    std::string HiddenFolder;

    bool FileExists(const std::string& path) override {
        if (BeforeFileExists) {
            BeforeFileExists(path);
        }
        if (!HiddenFolder.empty() && path.size() >= HiddenFolder.size() &&
            ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path.c_str(),
                             static_cast<int>(HiddenFolder.size()), HiddenFolder.c_str(),
                             static_cast<int>(HiddenFolder.size())) == CSTR_EQUAL) {
            return false;
        }
        return Real.FileExists(path);
    }
    uint32_t GetFileAttributes(const std::string& path) override {
        return Real.GetFileAttributes(path);
    }
    std::vector<TDirEntry> FindFiles(const std::string& pattern) override {
        return Real.FindFiles(pattern);
    }
    uint32_t CreateFile(const std::string& path, THandle& file) override {
        return Real.CreateFile(path, file);
    }
    uint32_t WriteFile(THandle file, const void* data, uint32_t size, uint32_t& written) override {
        return Real.WriteFile(file, data, size, written);
    }
    uint32_t CloseFile(THandle file) override { return Real.CloseFile(file); }
    uint32_t ReplaceFile(const std::string& from, const std::string& to) override {
        return Real.ReplaceFile(from, to);
    }
    uint32_t DeleteFile(const std::string& path) override { return Real.DeleteFile(path); }

private:
    IFileSystem& Real;
};

// Real task dialogs that answer themselves once shown: Yes when they have that button, else OK
// (a dialog without common buttons has OK). Main instructions shown are kept.
class TAnsweringHost : public INativeTaskDialogHost {
public:
    explicit TAnsweringHost(INativeTaskDialogHost& real) : Real(real) {}
    std::vector<std::u16string> Instructions;

    bool LoadComctl32() override { return Real.LoadComctl32(); }
    bool HasTaskDialogIndirect() override { return Real.HasTaskDialogIndirect(); }
    int32_t TaskDialogIndirect(const TNativeTaskDialogConfig& config, int* button, int* radioButton,
                               bool* verificationChecked) override {
        Instructions.push_back(config.MainInstruction.value_or(u""));
        TRelay relay{this, config.Callback, config.CallbackData,
                     (config.CommonButtons & TDCBF_YES_BUTTON) != 0 ? IDYES : IDOK};
        TNativeTaskDialogConfig answering = config;
        answering.Callback = Relay;
        answering.CallbackData = reinterpret_cast<intptr_t>(&relay);
        return Real.TaskDialogIndirect(answering, button, radioButton, verificationChecked);
    }
    THandle LoadSystemIcon(int id, bool small) override { return Real.LoadSystemIcon(id, small); }
    TLParam SendMessage(THandle window, unsigned message, TWParam wParam, TLParam lParam) override {
        return Real.SendMessage(window, message, wParam, lParam);
    }

private:
    struct TRelay {
        TAnsweringHost* Host;
        TNativeDialogCallback Callback;
        intptr_t Data;
        int Answer;
    };
    static int32_t Relay(THandle window, unsigned notification, TWParam wParam, TLParam lParam,
                         intptr_t data) {
        const auto& relay = *reinterpret_cast<const TRelay*>(data);
        const int32_t result =
            relay.Callback ? relay.Callback(window, notification, wParam, lParam, relay.Data) : 0;
        if (notification == TDN_CREATED) {
            relay.Host->Real.SendMessage(window, TDM_CLICK_BUTTON,
                                         static_cast<TWParam>(relay.Answer), 0);
        }
        return result;
    }
    INativeTaskDialogHost& Real;
};

struct TScenario {
    Win32Platform Real;
    TScenarioSystem System{Real.System};
    TScenarioShell Shell{Real.Shell};
    TScenarioFiles Files{Real.Files};
    TAnsweringHost TaskDialogs{Real.TaskDialogs};

    int Run() {
        TPlatform platform;
        platform.Files = &Files;
        platform.Shell = &Shell;
        platform.System = &System;
        platform.TaskDialogs = &TaskDialogs;
        platform.Registry = &Real.Registry;
        return RunQuillbridge(platform);
    }
    bool OneErrorBox(const std::string& text) const {
        return System.Boxes.size() == 1 && System.Boxes[0].Text == text &&
               System.Boxes[0].Caption == "Quillbridge" && System.Boxes[0].Flags == MB_ICONERROR;
    }
};

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

void CheckEscapingErrors() {
    // The system cannot say whether it is 64-bit: the error box, exit code 1, with the dialog
    // module up while the box is shown and stopped afterwards.
    {
        TScenario scenario;
        scenario.System.Pretend32BitProcess = true;
        scenario.System.IsWow64Fails = true;
        CHECK(scenario.Run() == 1);
        CHECK(scenario.OneErrorBox("Bad process handle"));
        CHECK(!scenario.System.Boxes.empty() && scenario.System.Boxes[0].YesCaption == "&Yes");
        CHECK(StandardButtonCaption(TCommonButton::cbYes).empty());
        CHECK(scenario.TaskDialogs.Instructions.empty());
    }

    // No shell-link object (COM never started): the ready-to-install question is answered OK
    // in a real dialog, then the failure ends the run with the system's reason.
    {
        TScenario scenario;
        scenario.System.ComCtl = 0x0006000A;
        scenario.Shell.SkipCoInitialize = true;
        CHECK(scenario.Run() == 1);
        CHECK(scenario.System.Boxes.size() == 1);
        if (!scenario.System.Boxes.empty()) {
            const TRecordedBox& box = scenario.System.Boxes[0];
            std::printf("shell-link failure: %s\n", box.Text.c_str());
            CHECK(StartsWith(box.Text, "The shell link object cannot be created: "));
            CHECK(box.Caption == "Quillbridge");
            CHECK(box.Flags == MB_ICONERROR);
        }
        CHECK(scenario.TaskDialogs.Instructions.size() == 1);
    }

    // Errors that are not the runtime's own still reach the box, and so does one without a
    // message at all.
    {
        TScenario scenario;
        scenario.Files.BeforeFileExists = [](const std::string&) {
            throw std::runtime_error("The disk went away");
        };
        CHECK(scenario.Run() == 1);
        CHECK(scenario.OneErrorBox("The disk went away"));
    }
    {
        TScenario scenario;
        scenario.Files.BeforeFileExists = [](const std::string&) { throw 7; };
        CHECK(scenario.Run() == 1);
        CHECK(scenario.OneErrorBox("An unexpected error ended Quillbridge."));
    }
}

void CheckNormalEnds() {
    // No target program: the not-found warning in a real native dialog, then exit code 0.
    {
        TScenario scenario;
        scenario.System.ComCtl = 0x0006000A;
        scenario.Files.HiddenFolder = "c:\\zorn\\";
        CHECK(scenario.Run() == 0);
        CHECK(scenario.System.Boxes.empty());
        CHECK(scenario.TaskDialogs.Instructions.size() == 1);
        if (!scenario.TaskDialogs.Instructions.empty()) {
            const std::string shown =
                scenario.System.FromUtf16(scenario.TaskDialogs.Instructions[0]);
            std::printf("not-found text: %.60s...\n", shown.c_str());
            CHECK(StartsWith(shown, "WARNING: Neither Tessera nor any of the Fernwick"));
            CHECK(shown.find("c:\\zorn") != std::string::npos);
        }
    }

    // The run on Wine's own comctl32 (5.81): the emulated window is not built yet, so nothing
    // is shown, and the program still ends normally.
    {
        TScenario scenario;
        CHECK(scenario.Run() == 0);
        CHECK(scenario.System.Boxes.empty());
        CHECK(scenario.TaskDialogs.Instructions.empty());
    }
}

std::string DesktopFolder() {
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path);
    return path;
}

// Target and arguments of a shortcut file, as our own reader of the format sees them.
std::string LinkFields(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    try {
        const e2e::TShellLink link = e2e::ParseShellLink(bytes);
        return LowerAscii(link.Target()) + " " + link.Arguments.value_or("(none)");
    } catch (const e2e::TShellLinkError& error) {
        return std::string("unreadable: ") + error.what();
    }
}

// The shipping 32-bit program on this 64-bit system, as far as a 64-bit process can play it:
// number 38 names the x86 folder, IsWow64Process says yes, and 0.74 there is out of sight. DOSBox
// Staging in the 64-bit Program Files is found through ProgramW6432, and without that variable
// through the registry's 64-bit view; its run shortcut tells it to skip the user's own
// configuration.
void CheckThirtyTwoBitProcessFindsStaging() {
    const std::string runLink = DesktopFolder() + "\\Tessera DOSbox.lnk";
    const std::string printLink = DesktopFolder() + "\\Print-F.lnk";
    for (const bool withVariable : {true, false}) {
        ::DeleteFileA(runLink.c_str());
        ::DeleteFileA(printLink.c_str());
        TScenario scenario;
        scenario.System.ComCtl = 0x0006000A;
        scenario.System.Pretend32BitProcess = true;
        scenario.System.HideProgramW6432 = !withVariable;
        scenario.Shell.RedirectProgramFiles = true;
        scenario.Files.HiddenFolder = "c:\\program files (x86)\\";
        CHECK(scenario.Run() == 0);
        const std::string fields = LinkFields(runLink);
        std::printf("32-bit process %s ProgramW6432: %s\n", withVariable ? "with" : "without",
                    fields.c_str());
        CHECK(fields == "c:\\program files\\dosbox staging\\dosbox.exe -noconsole -conf "
                        "c:\\zorn\\dosbox.conf --noprimaryconf");
    }
}

} // namespace

int main() {
    CheckEscapingErrors();
    CheckNormalEnds();
    CheckThirtyTwoBitProcessFindsStaging();
    std::printf("%d of %d checks passed\n", Check.Count - Check.Failures, Check.Count);
    std::fflush(stdout);
    return Check.Failures == 0 ? 0 : 1;
}
