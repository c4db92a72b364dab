#include "setup/SetupRun.h"
#include "dialogs/MessageFacade.h"
#include "runtime/Format.h"
#include "runtime/Platform.h"
#include "runtime/WinConst.h"
#include "setup/Discovery.h"
#include "setup/DosboxConf.h"
#include "setup/EmulatorSearch.h"
#include "setup/Shortcut.h"
#include "setup/TextRoutines.h"

namespace qb {

namespace {

const char* const NotFoundText =
    "WARNING: Neither Tessera nor any of the Fernwick\rwheeling programs were found in the "
    "expected location, %s:\\ZORN.\rThe entire purpose of this program is to connect Dosbox to "
    "one\rof these programs.\r\rIf you installed to a different folder, please rename that "
    "folder\rto %s:\\zorn, then run this program again. If you did not install\rany of the "
    "Fernwick DOS programs, you must do so before using\rthis program.";

const char* const NotNeededText =
    "WARNING: This computer is using a 32-bit operating system\rand does not need DOSBOX to run "
    "Fernwick DOS programs.\r\rTo install it anyway, click YES.";

const char* const DosboxMissingText =
    "WARNING: Dosbox is apparently not installed on this computer.\rInstall DOSbox now?";

const char* const AfterInstallingText =
    "Please run this after installing DOSbox in order to create\rthe desktop shortcuts to run "
    "and print from Fernwick DOS\rprograms.";

const char* const ReadyText =
    "READY TO INSTALL: This program will create a desktop shortcut to\rrun %s using DOSbox. It "
    "will make a second desktop\rshortcut to print a specified file from the Fernwick Dos "
    "program's\rfolder.\r\rPress OK to proceed with this inatallation or CANCEL to stop.";

const char* const NoProgramFilesText =
    "ERROR: The Program Files folder of this computer could not be determined.\rWithout it "
    "neither the Fernwick DOS programs nor DOSbox can be found.\r\rNothing was changed.";

const char* const NoDesktopText =
    "ERROR: The desktop folder could not be determined, so the desktop\rshortcuts cannot be "
    "created.";

constexpr uint32_t AskYesNo = win::MB_YESNO | win::MB_ICONEXCLAMATION;       // 52
constexpr uint32_t AskOkCancel = win::MB_OKCANCEL | win::MB_ICONINFORMATION; // 65
constexpr uint16_t PrintHotKey =
    ((win::HOTKEYF_CONTROL | win::HOTKEYF_ALT) << 8) | 'P'; // 0x0650, CTRL+ALT+P

int Ask(const std::string& text, uint32_t flags) {
    return TaskMessageBox(0, text, SetupCaption, flags);
}

// Every CoInitialize gets its CoUninitialize, also when a shortcut write throws.
class TComScope {
public:
    TComScope() { Platform().Shell->CoInitialize(); }
    ~TComScope() { Platform().Shell->CoUninitialize(); }
    TComScope(const TComScope&) = delete;
    TComScope& operator=(const TComScope&) = delete;
};

// The dialogs read a backslash followed by n as a line break unless the text doubles it; a
// path such as c:\users\nina\... must be shown as it is.
std::string Literally(const std::string& path) {
    std::string result;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '\\' && i + 1 < path.size() && path[i + 1] == 'n')
            result += '\\';
        result += path[i];
    }
    return result;
}

void ReportNotWritten(const char* what, const std::string& path, uint32_t code,
                      const char* consequence) {
    ShowMessage(std::string("ERROR: ") + what + "\r" + Literally(path) +
                "\rcould not be written:\r" + Platform().System->ErrorMessage(code) + "\r\r" +
                consequence);
}

} // namespace

std::string InstructionText(const std::string& shortcutTitle, const std::string& title) {
    return "Click the " + shortcutTitle + " Icon to start " + title + ".\r" + "To print from " +
           title + ", choose \"print to file\"\r" +
           "and always name it the single letter \"f\".\r\r" +
           "To send the file F to the default printer,\r" + "    click \"Print F\" icon or \r" +
           "    press CTRL+ALT+P.";
}

void RunSetup() {
    ResetSetupState();
    ISystemInfo& system = *Platform().System;
    IShell& shell = *Platform().Shell;
    IFileSystem& files = *Platform().Files;

    // A 64-bit process must search the folder of 32-bit programs, as the 32-bit program does.
    const int programFilesCsidl =
        system.ProcessIs64Bit() ? win::CSIDL_PROGRAM_FILESX86 : win::CSIDL_PROGRAM_FILES;
    ProgramFilesDir = SpecialFolderDir(programFilesCsidl);
    const std::string desktopDir = SpecialFolderDir(win::CSIDL_DESKTOP);
    if (ProgramFilesDir.empty()) {
        ShowMessage(NoProgramFilesText);
        return;
    }
    InstallDrive = ProgramFilesDir[0];

    std::string targetPath;
    if (!FindTargetProgram(targetPath)) {
        const std::string drive(1, InstallDrive);
        ShowMessageFmt(NotFoundText, {drive, drive});
        return;
    }

    const bool system64 = IsWow64();
    if (!system64 && Ask(NotNeededText, AskYesNo) != win::IDYES)
        return;

    TEmulator emulator;
    if (!FindEmulator(system64, emulator)) {
        if (Ask(DosboxMissingText, AskYesNo) == win::IDYES) {
            ShowMessage(AfterInstallingText);
            shell.ShellExecute(0, "Open", DosboxDownloadPage, "", "", win::SW_SHOWNORMAL);
        }
        return;
    }

    // Shortcuts to a missing or stale configuration would only fail later, inside DOSBox.
    const std::string confPath = TargetDir + "dosbox.conf";
    if (const uint32_t error = WriteTextFile(confPath, BuildDosboxConf(targetPath))) {
        ReportNotWritten("The DOSBox configuration file", confPath, error,
                         "No desktop shortcuts were created.");
        return;
    }

    const std::string title = TargetPrograms.Title[TargetIndex];
    const std::string dosboxArguments = EmulatorArguments(emulator, confPath);
    const std::string iconPath = TargetDir + TargetPrograms.IconFile[TargetIndex];
    const std::string shortcutTitle =
        ProperCase(FileBaseName(TargetPrograms.IconFile[TargetIndex])) + " DOSbox";
    if (desktopDir.empty()) {
        ShowMessage(NoDesktopText);
        return;
    }
    const std::string runLink = desktopDir + shortcutTitle + ".lnk";
    const std::string printLink = desktopDir + "Print-F.lnk";

    if (!files.FileExists(runLink)) {
        if (Ask(Format(ReadyText, {title}), AskOkCancel) != win::IDOK)
            return;
        std::string failedLink;
        int32_t result = 0;
        {
            TComScope com;
            result = CreateShortcut(runLink, emulator.Path, dosboxArguments, title, iconPath, 0, 0);
            if (result < 0) {
                failedLink = runLink;
            } else {
                result = CreateShortcut(printLink, TargetDir + "spoolix.exe", "f",
                                        "Print File f (CTRL+ALT+P)", iconPath, 0, PrintHotKey);
                if (result < 0) {
                    failedLink = printLink;
                    // The next run decides by the run shortcut alone: without it, it makes both.
                    files.DeleteFile(runLink);
                }
            }
        }
        // The instructions would claim shortcuts that are not there.
        if (!failedLink.empty()) {
            ReportNotWritten("The desktop shortcut", failedLink, static_cast<uint32_t>(result),
                             "Please run this program again once the problem is solved.");
            return;
        }
    }

    ShowMessage(InstructionText(shortcutTitle, title));
}

} // namespace qb
