#include "runtime/Exception.h"
#include "runtime/WinConst.h"
#include "setup/Discovery.h"
#include "setup/DosboxConf.h"
#include "setup/SetupRun.h"
#include "SetupTestSupport.h"

namespace qb {
namespace {

using namespace win;

std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() && &line == lines.begin() ? "" : "\r") + line;
    return text;
}

const std::string NotFoundOnC =
    Lines({"WARNING: Neither Tessera nor any of the Fernwick",
           "wheeling programs were found in the expected location, c:\\ZORN.",
           "The entire purpose of this program is to connect Dosbox to one", "of these programs.",
           "", "If you installed to a different folder, please rename that folder",
           "to c:\\zorn, then run this program again. If you did not install",
           "any of the Fernwick DOS programs, you must do so before using", "this program."});
const std::string NotNeeded = Lines({"WARNING: This computer is using a 32-bit operating system",
                                     "and does not need DOSBOX to run Fernwick DOS programs.", "",
                                     "To install it anyway, click YES."});
const std::string DosboxMissing =
    Lines({"WARNING: Dosbox is apparently not installed on this computer.", "Install DOSbox now?"});
const std::string AfterInstalling =
    Lines({"Please run this after installing DOSbox in order to create",
           "the desktop shortcuts to run and print from Fernwick DOS", "programs."});

std::string Ready(const std::string& title) {
    return "READY TO INSTALL: This program will create a desktop shortcut to\rrun " + title +
           Lines({" using DOSbox. It will make a second desktop",
                  "shortcut to print a specified file from the Fernwick Dos program's", "folder.",
                  "", "Press OK to proceed with this inatallation or CANCEL to stop."});
}

std::string InstructionsFor(const std::string& title) {
    return Lines({"Click the " + title + " DOSbox Icon to start " + title + ".",
                  "To print from " + title + ", choose \"print to file\"",
                  "and always name it the single letter \"f\".", "",
                  "To send the file F to the default printer,", "    click \"Print F\" icon or ",
                  "    press CTRL+ALT+P."});
}

constexpr uintptr_t WarningIcon = win::TD_WARNING_ICON;
constexpr uintptr_t InformationIcon = win::TD_INFORMATION_ICON;

class SetupRunTest : public SetupTest {
protected:
    // A 64-bit machine with DOSBox and the first target program: the typical run.
    void Typical() {
        InstallTarget(0);
        InstallDosbox();
    }
    void ExpectQuestion(size_t index, const std::string& text, uint32_t flags) {
        ASSERT_LT(index, Native.Shown.size());
        const TNativeTaskDialogConfig& config = Native.Shown[index];
        EXPECT_EQ(Text(config.MainInstruction), text);
        EXPECT_EQ(Text(config.WindowTitle), "Quillbridge");
        if (flags == (MB_YESNO | MB_ICONEXCLAMATION)) {
            EXPECT_EQ(config.CommonButtons, TDCBF_YES_BUTTON | TDCBF_NO_BUTTON);
            EXPECT_EQ(config.MainIcon, WarningIcon);
        } else {
            EXPECT_EQ(config.CommonButtons, TDCBF_OK_BUTTON | TDCBF_CANCEL_BUTTON);
            EXPECT_EQ(config.MainIcon, InformationIcon);
        }
    }
    void ExpectNotice(size_t index, const std::string& text) {
        ASSERT_LT(index, Native.Shown.size());
        EXPECT_EQ(Text(Native.Shown[index].MainInstruction), text);
        EXPECT_EQ(Native.Shown[index].MainIcon, InformationIcon);
    }
    std::vector<std::string> LinkCalls(size_t link) {
        std::vector<std::string> calls;
        for (const TShellLinkCall& call : Machine.ShellLinks.at(link).Calls)
            calls.push_back(call.Name + " " + call.Value);
        return calls;
    }
    std::string Conf(const std::string& path = "c:\\zorn\\dosbox.conf") {
        return Machine.ReadFile(path).value_or("(missing)");
    }
    std::string ExpectedConf(const std::string& targetDir, const std::string& program) {
        return BuildDosboxConfFrom(*Machine.LoadRcData("RS_TESSERACONF"), targetDir, program);
    }
};

TEST_F(SetupRunTest, TypicalRunWritesTheConfigurationAndBothShortcuts) {
    Typical();
    RunSetup();
    ExpectQuestion(0, Ready("Tessera"), MB_OKCANCEL | MB_ICONINFORMATION);
    ExpectNotice(1, InstructionsFor("Tessera"));
    EXPECT_EQ(Native.Shown.size(), 2u) << "no 32-bit question on a 64-bit system";
    EXPECT_EQ(Conf(), ExpectedConf("c:\\zorn\\", "kestro.exe"));
    ASSERT_EQ(Machine.ShellLinks.size(), 2u);
    EXPECT_EQ(LinkCalls(0),
              (std::vector<std::string>{
                  "SetPath c:\\program files (x86)\\dosbox-0.74\\dosbox.exe",
                  "SetWorkingDirectory c:\\program files (x86)\\dosbox-0.74\\",
                  "SetArguments -noconsole -conf c:\\zorn\\dosbox.conf",
                  "SetIconLocation c:\\zorn\\tessera.ico,0", "SetDescription Tessera",
                  "SetShowCmd 1", "Save c:\\users\\user\\desktop\\Tessera DOSbox.lnk"}));
    EXPECT_EQ(LinkCalls(1), (std::vector<std::string>{
                                "SetPath c:\\zorn\\spoolix.exe", "SetWorkingDirectory c:\\zorn\\",
                                "SetArguments f", "SetIconLocation c:\\zorn\\tessera.ico,0",
                                "SetDescription Print File f (CTRL+ALT+P)", "SetShowCmd 1",
                                "SetHotkey 1616", "Save c:\\users\\user\\desktop\\Print-F.lnk"}));
    EXPECT_TRUE(Machine.FileExists(std::string(Desktop) + "Tessera DOSbox.lnk"));
    EXPECT_TRUE(Machine.FileExists(std::string(Desktop) + "Print-F.lnk"));
    EXPECT_EQ(Machine.CoInitializeCalls, 1);
    EXPECT_EQ(Machine.CoUninitializeCalls, 1);
    EXPECT_TRUE(Machine.ShellExecutes.empty());
    EXPECT_FALSE(Machine.Exists("c:\\zorn\\dosbox.conf.tmp"));
}

TEST_F(SetupRunTest, SecondRunRewritesTheConfigurationAndOnlyInstructs) {
    Typical();
    RunSetup();
    Machine.AddFile("c:\\zorn\\dosbox.conf", "edited by hand");
    const auto printLink = Machine.ReadFile(std::string(Desktop) + "Print-F.lnk");
    Native.Shown.clear();
    RunSetup();
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{InstructionsFor("Tessera")}));
    EXPECT_EQ(Conf(), ExpectedConf("c:\\zorn\\", "kestro.exe"));
    EXPECT_EQ(Machine.ShellLinks.size(), 2u) << "no shortcut touched";
    EXPECT_EQ(Machine.CoInitializeCalls, 1);
}

TEST_F(SetupRunTest, DeletedRunShortcutMakesBothAgainAfterConfirmation) {
    Typical();
    Machine.AddFile(std::string(Desktop) + "Print-F.lnk", "someone else's");
    RunSetup();
    ASSERT_EQ(Machine.ShellLinks.size(), 2u);
    EXPECT_NE(Machine.ReadFile(std::string(Desktop) + "Print-F.lnk"), "someone else's");
    EXPECT_EQ(ShownTexts().size(), 2u);
}

TEST_F(SetupRunTest, CancelAtTheQuestionKeepsTheConfigurationAndStops) {
    Typical();
    Answer(IDCANCEL);
    RunSetup();
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{Ready("Tessera")}));
    EXPECT_EQ(Conf(), ExpectedConf("c:\\zorn\\", "kestro.exe"));
    EXPECT_TRUE(Machine.ShellLinks.empty());
    EXPECT_EQ(Machine.CoInitializeCalls, 0);
    EXPECT_FALSE(Machine.Exists(std::string(Desktop) + "Tessera DOSbox.lnk"));
}

TEST_F(SetupRunTest, ThirtyTwoBitSystemAsksAndGoesOnOnlyAfterYes) {
    Typical();
    Machine.Is64BitProcess = false;
    Machine.Wow64 = TWow64Answer::No;
    Machine.SetSpecialFolder(CSIDL_PROGRAM_FILES, "C:\\Program Files (x86)");
    Answer(IDNO);
    RunSetup();
    ASSERT_EQ(Native.Shown.size(), 1u);
    ExpectQuestion(0, NotNeeded, MB_YESNO | MB_ICONEXCLAMATION);
    EXPECT_FALSE(Machine.Exists("c:\\zorn\\dosbox.conf"));

    Native.Shown.clear();
    Answer(IDYES);
    RunSetup();
    EXPECT_EQ(ShownTexts(),
              (std::vector<std::string>{NotNeeded, Ready("Tessera"), InstructionsFor("Tessera")}));
    EXPECT_TRUE(Machine.Exists("c:\\zorn\\dosbox.conf"));
}

TEST_F(SetupRunTest, ProgramWithoutIsWow64ProcessCountsAs32Bit) {
    Typical();
    Machine.Is64BitProcess = false;
    Machine.Wow64 = TWow64Answer::NoFunction;
    Answer(IDNO);
    RunSetup();
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{NotNeeded}));
}

TEST_F(SetupRunTest, ThirtyTwoBitProcessOn64BitSystemSearchesTheFolderItIsGiven) {
    // The 32-bit program is told the 32-bit Program Files folder under number 38.
    InstallTarget(0, 'e');
    Machine.Is64BitProcess = false;
    Machine.Wow64 = TWow64Answer::Yes;
    Machine.SetSpecialFolder(CSIDL_PROGRAM_FILES, "E:\\Program Files (x86)");
    Machine.SetSpecialFolder(CSIDL_PROGRAM_FILESX86, "c:\\wrong");
    Machine.AddFile("e:\\program files (x86)\\DOSBox\\dosbox.exe");
    RunSetup();
    EXPECT_EQ(ProgramFilesDir, "e:\\program files (x86)\\");
    EXPECT_EQ(ShownTexts().size(), 2u);
    EXPECT_TRUE(Machine.Exists("e:\\zorn\\dosbox.conf"));
}

TEST_F(SetupRunTest, SixtyFourBitProcessSearchesThe32BitProgramFiles) {
    Typical();
    Machine.SetSpecialFolder(CSIDL_PROGRAM_FILES, "C:\\Program Files");
    RunSetup();
    EXPECT_EQ(ProgramFilesDir, "c:\\program files (x86)\\");
    EXPECT_EQ(ShownTexts().size(), 2u) << "DOSBox was found under Program Files (x86)";
}

TEST_F(SetupRunTest, FailingIsWow64ProcessEndsTheRunWithAnError) {
    Typical();
    Machine.Is64BitProcess = false;
    Machine.Wow64 = TWow64Answer::Failed;
    EXPECT_THROW(RunSetup(), Exception);
    EXPECT_TRUE(Native.Shown.empty());
    EXPECT_FALSE(Machine.Exists("c:\\zorn\\dosbox.conf"));
}

TEST_F(SetupRunTest, NoTargetProgramNamesTheProgramFilesDrive) {
    RunSetup();
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{NotFoundOnC}));
    EXPECT_EQ(Native.Shown[0].MainIcon, InformationIcon);

    Native.Shown.clear();
    Machine.SetSpecialFolder(CSIDL_PROGRAM_FILESX86, "D:\\Programs");
    RunSetup();
    ASSERT_EQ(Native.Shown.size(), 1u);
    const std::string text = Text(Native.Shown[0].MainInstruction);
    EXPECT_NE(text.find("expected location, d:\\ZORN.\r"), std::string::npos) << text;
    EXPECT_NE(text.find("\rto d:\\zorn, then"), std::string::npos) << text;
    EXPECT_EQ(TargetIndex, 3);
}

TEST_F(SetupRunTest, ProgramFilesOnDriveDUsesDZornEverywhere) {
    Machine.SetSpecialFolder(CSIDL_PROGRAM_FILESX86, "D:\\Program Files (x86)");
    InstallTarget(0, 'd');
    Machine.AddFile("d:\\program files (x86)\\dosbox-0.74\\dosbox.exe");
    RunSetup();
    EXPECT_EQ(Conf("d:\\zorn\\dosbox.conf"), ExpectedConf("d:\\zorn\\", "kestro.exe"));
    ASSERT_EQ(Machine.ShellLinks.size(), 2u);
    EXPECT_EQ(LinkCalls(0)[2], "SetArguments -noconsole -conf d:\\zorn\\dosbox.conf");
    EXPECT_EQ(LinkCalls(0)[3], "SetIconLocation d:\\zorn\\tessera.ico,0");
    EXPECT_EQ(LinkCalls(1)[0], "SetPath d:\\zorn\\spoolix.exe");
    EXPECT_EQ(LinkCalls(1)[1], "SetWorkingDirectory d:\\zorn\\");
}

TEST_F(SetupRunTest, TwoProgramsInstalledTheFirstRowIsUsed) {
    InstallTarget(2);
    InstallTarget(0);
    InstallDosbox();
    RunSetup();
    EXPECT_EQ(ShownTexts(),
              (std::vector<std::string>{Ready("Tessera"), InstructionsFor("Tessera")}));
    EXPECT_EQ(Conf(), ExpectedConf("c:\\zorn\\", "kestro.exe"));
}

TEST_F(SetupRunTest, OnlyTheSecondRowNamesEverythingVarnette) {
    InstallTarget(1);
    InstallDosbox();
    RunSetup();
    EXPECT_EQ(ShownTexts(),
              (std::vector<std::string>{Ready("Varnette"), InstructionsFor("Varnette")}));
    EXPECT_EQ(Conf(), ExpectedConf("c:\\zorn\\", "kestrow.exe"));
    EXPECT_NE(Conf().find("\r\nkestrow.exe /ns\r\n"), std::string::npos);
    ASSERT_EQ(Machine.ShellLinks.size(), 2u);
    EXPECT_EQ(LinkCalls(0)[3], "SetIconLocation c:\\zorn\\varnette.ico,0");
    EXPECT_EQ(LinkCalls(0)[4], "SetDescription Varnette");
    EXPECT_TRUE(Machine.FileExists(std::string(Desktop) + "Varnette DOSbox.lnk"));
}

// Records how many pages the shell had opened when each dialog appeared.
class TOrderRecordingDialog : public TScriptedTaskDialog {
public:
    explicit TOrderRecordingDialog(TSimulatedMachine& machine) : Machine(machine) {}
    int32_t TaskDialogIndirect(const TNativeTaskDialogConfig& config, int* button, int* radio,
                               bool* verification) override {
        OpenedBefore.push_back(Machine.ShellExecutes.size());
        return TScriptedTaskDialog::TaskDialogIndirect(config, button, radio, verification);
    }
    TSimulatedMachine& Machine;
    std::vector<size_t> OpenedBefore;
};

TEST_F(SetupRunTest, MissingEmulatorYesTellsFirstThenOpensTheDownloadPage) {
    InstallTarget(0);
    TOrderRecordingDialog dialogs(Machine);
    SetPlatform(Machine.AsPlatform(&dialogs));
    dialogs.Answers.push_back({IDYES, 0, false, {}});
    const auto before = Machine.ListPaths();
    RunSetup();
    ASSERT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_EQ(Text(dialogs.Shown[0].MainInstruction), DosboxMissing);
    EXPECT_EQ(dialogs.Shown[0].CommonButtons, TDCBF_YES_BUTTON | TDCBF_NO_BUTTON);
    EXPECT_EQ(Text(dialogs.Shown[1].MainInstruction), AfterInstalling);
    EXPECT_EQ(dialogs.OpenedBefore, (std::vector<size_t>{0, 0}));
    ASSERT_EQ(Machine.ShellExecutes.size(), 1u);
    const TSimulatedShellExecute& open = Machine.ShellExecutes[0];
    EXPECT_FALSE(open.Extended);
    EXPECT_EQ(open.Operation, "Open");
    EXPECT_EQ(open.File, "https://www.dosbox.com/download.php?main=1");
    EXPECT_EQ(open.Parameters, "");
    EXPECT_EQ(open.Directory, "");
    EXPECT_EQ(open.Show, SW_SHOWNORMAL);
    EXPECT_EQ(Machine.ListPaths(), before) << "nothing written";
}

TEST_F(SetupRunTest, MissingEmulatorNoEndsQuietly) {
    InstallTarget(0);
    InstallDosbox("DOSBox-empty");
    Machine.Remove(std::string(ProgramFiles) + "DOSBox-empty\\dosbox.exe");
    Answer(IDNO);
    RunSetup();
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{DosboxMissing}));
    EXPECT_TRUE(Machine.ShellExecutes.empty());
    EXPECT_FALSE(Machine.Exists("c:\\zorn\\dosbox.conf"));
}

TEST_F(SetupRunTest, UnknownProgramFilesFolderIsReportedAndNothingIsSearched) {
    Typical();
    Machine.SetSpecialFolder(CSIDL_PROGRAM_FILESX86, "");
    RunSetup();
    ASSERT_EQ(Native.Shown.size(), 1u);
    const std::string text = Text(Native.Shown[0].MainInstruction);
    EXPECT_NE(text.find("Program Files folder"), std::string::npos) << text;
    EXPECT_EQ(TargetDir, "");
    EXPECT_EQ(InstallDrive, '\0');
    EXPECT_FALSE(Machine.Exists("c:\\zorn\\dosbox.conf"));
}

TEST_F(SetupRunTest, UnknownDesktopIsReportedBeforeAnyShortcut) {
    Typical();
    Machine.SetSpecialFolder(CSIDL_DESKTOP, "");
    RunSetup();
    ASSERT_EQ(Native.Shown.size(), 1u);
    EXPECT_NE(Text(Native.Shown[0].MainInstruction).find("desktop folder"), std::string::npos);
    EXPECT_TRUE(Machine.ShellLinks.empty());
}

TEST_F(SetupRunTest, UnwritableConfigurationIsReportedAndNoShortcutIsMade) {
    Typical();
    Machine.AddFile("c:\\zorn\\dosbox.conf", "old");
    Machine.LockFile("c:\\zorn\\dosbox.conf");
    RunSetup();
    EXPECT_EQ(ShownTexts(),
              (std::vector<std::string>{
                  "ERROR: The DOSBox configuration file\rc:\\zorn\\dosbox.conf\rcould not be "
                  "written:\rThe process cannot access the file because it is being used by "
                  "another process.\r\rNo desktop shortcuts were created."}));
    EXPECT_EQ(Conf(), "old");
    EXPECT_FALSE(Machine.Exists("c:\\zorn\\dosbox.conf.tmp"));
    EXPECT_TRUE(Machine.ShellLinks.empty());

    Native.Shown.clear();
    Machine.LockFile("c:\\zorn\\dosbox.conf", false);
    Machine.AddFolder("c:\\zorn", FILE_ATTRIBUTE_READONLY);
    RunSetup();
    ASSERT_EQ(Native.Shown.size(), 1u);
    EXPECT_NE(Text(Native.Shown[0].MainInstruction).find("\rAccess is denied.\r"),
              std::string::npos);
}

TEST_F(SetupRunTest, UnsavedShortcutIsReportedInsteadOfTheInstructions) {
    Typical();
    Machine.SetSpecialFolder(CSIDL_DESKTOP, "C:\\Users\\nina\\Desktop");
    Machine.AddFolder("c:\\users\\nina\\desktop", FILE_ATTRIBUTE_READONLY);
    RunSetup();
    EXPECT_EQ(ShownTexts(),
              (std::vector<std::string>{
                  Ready("Tessera"),
                  "ERROR: The desktop shortcut\rc:\\users\\nina\\desktop\\Tessera DOSbox.lnk\r"
                  "could not be written:\rAccess is denied.\r\rPlease run this program again "
                  "once the problem is solved."}));
    EXPECT_EQ(Machine.ShellLinks.size(), 1u) << "the print shortcut is not tried";
    EXPECT_EQ(Machine.CoInitializeCalls, 1);
    EXPECT_EQ(Machine.CoUninitializeCalls, 1);
}

TEST_F(SetupRunTest, UnsavedPrintShortcutIsReportedToo) {
    Typical();
    Machine.AddFolder(std::string(Desktop) + "Print-F.lnk"); // a folder stands in the way
    RunSetup();
    ASSERT_EQ(Native.Shown.size(), 2u);
    EXPECT_NE(Text(Native.Shown[1].MainInstruction)
                  .find("\\desktop\\Print-F.lnk\rcould not be written:\rAccess is denied."),
              std::string::npos);
    EXPECT_EQ(Machine.ShellLinks.size(), 2u);
    EXPECT_FALSE(Machine.Exists(std::string(Desktop) + "Tessera DOSbox.lnk"))
        << "the run shortcut goes too, so that the next run makes both";

    Native.Shown.clear();
    Machine.Remove(std::string(Desktop) + "Print-F.lnk");
    RunSetup();
    EXPECT_EQ(ShownTexts(),
              (std::vector<std::string>{Ready("Tessera"), InstructionsFor("Tessera")}));
    EXPECT_TRUE(Machine.FileExists(std::string(Desktop) + "Print-F.lnk"));
}

TEST_F(SetupRunTest, MissingShellLinkObjectEscapesButComIsBalanced) {
    Typical();
    Machine.ShellLinkAvailable = false;
    EXPECT_THROW(RunSetup(), Exception);
    EXPECT_EQ(Machine.CoInitializeCalls, 1);
    EXPECT_EQ(Machine.CoUninitializeCalls, 1);
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{Ready("Tessera")}));
}

TEST_F(SetupRunTest, EveryRunStartsFromAFreshState) {
    InstallTarget(2);
    InstallDosbox();
    RunSetup();
    EXPECT_EQ(TargetIndex, 2);
    Machine.SetSpecialFolder(CSIDL_PROGRAM_FILESX86, "");
    RunSetup();
    EXPECT_EQ(TargetIndex, 0);
    EXPECT_EQ(ProgramFilesDir, "");
    EXPECT_EQ(TargetDir, "");
}

} // namespace
} // namespace qb
