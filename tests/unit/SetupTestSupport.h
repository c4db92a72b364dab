// The setup pass's tests run on a simulated machine with a scripted native task dialog.
#pragma once
#include "HeadlessDialogTest.h"
#include "dialogs/TaskDialog.h"
#include "setup/Discovery.h"
#include <string>

namespace qb {

class SetupTest : public HeadlessDialogTest {
protected:
    void SetUp() override {
        HeadlessDialogTest::SetUp();
        ResetSetupState();
    }
    void TearDown() override {
        HeadlessDialogTest::TearDown();
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
};

} // namespace qb
