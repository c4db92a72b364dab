// quillbridge_e2e.exe: the program as the end-to-end tests and the demo run it. It is the real
// program on the real Win32 platform, with two test seams: the comctl32 version probe answers
// 6.10 so that Wine's own TaskDialogIndirect shows every dialog (the emulated window is not
// there yet), and each native dialog is noted in the file named by QB_E2E_DIALOG_LOG, after a
// first line with the process code page.
#include "runtime/win32/WindowsApi.h"

#include "app/gallery/ComCtlVersionProbe.h"
#include "app/gallery/LogFile.h"
#include "app/gallery/LoggingTaskDialogHost.h"
#include "app/quillbridge/QuillbridgeEntry.h"
#include "runtime/win32/Win32Platform.h"

namespace {

std::string EnvironmentValue(const char* name) {
    char buffer[1024];
    DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    qb::Win32Platform win32;
    qb::TComCtlVersionProbe system(win32.System, qb::TComCtlVersionProbe::Version610);
    const std::string logPath = EnvironmentValue("QB_E2E_DIALOG_LOG");
    qb::TLoggingTaskDialogHost dialogs(win32.TaskDialogs, win32.System, logPath);
    // The code page the program's strings are in, for the test to see which one it got.
    qb::TLogFile(logPath).Write("codepage=" + std::to_string(GetACP()));
    qb::TPlatform platform = win32.AsPlatform();
    platform.System = &system;
    platform.TaskDialogs = &dialogs;
    return qb::RunQuillbridge(platform);
}
