// The setup pass's tests run on a simulated machine with a scripted native task dialog.
#pragma once
#include "dialogs/TaskDialog.h"
#include "runtime/Platform.h"
#include "runtime/headless/HeadlessWindowing.h"
#include "runtime/headless/ScriptedTaskDialog.h"
#include "runtime/headless/SimulatedMachine.h"
#include "setup/Discovery.h"
#include <gtest/gtest.h>
#include <string>

namespace qb {

class SetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        Saved = Platform();
        TPlatform platform = Machine.AsPlatform(&Native);
        platform.Windowing = &Screen;
        SetPlatform(platform);
        InitTaskDialogModule();
        ResetSetupState();
    }
    void TearDown() override {
        DoneTaskDialogModule();
        SetPlatform(Saved);
        ResetSetupState();
    }

    static constexpr const char* ProgramFiles = "c:\\program files (x86)\\";
    static constexpr const char* Desktop = "c:\\users\\user\\desktop\\";

    // A target program of the table in <drive>:\zorn\, with its icon and the print helper.
    void InstallTarget(int row, char drive = 'c') {
        const std::string dir = std::string(1, drive) + ":\\zorn\\";
        Machine.AddFile(dir + TargetPrograms.Executable[row], "MZ");
        Machine.AddFile(dir + TargetPrograms.IconFile[row], "icon");
        Machine.AddFile(dir + "spoolix.exe", "MZ");
    }
    void InstallDosbox(const std::string& folder = "DOSBox-0.74") {
        Machine.AddFile(ProgramFiles + folder + "\\DOSBox.exe", "MZ");
    }

    std::string Text(const std::optional<std::u16string>& text) {
        return text ? Machine.FromUtf16(*text) : std::string("(none)");
    }
    // The main instructions of every dialog shown, in order.
    std::vector<std::string> ShownTexts() {
        std::vector<std::string> texts;
        for (const TNativeTaskDialogConfig& config : Native.Shown)
            texts.push_back(Text(config.MainInstruction));
        return texts;
    }
    void Answer(int button) { Native.Answers.push_back({button, 0, false, {}}); }

    TSimulatedMachine Machine;
    TScriptedTaskDialog Native;
    THeadlessWindowing Screen;
    TPlatform Saved;
};

} // namespace qb
