#include "runtime/win32/Win32Platform.h"

namespace qb {

TPlatform Win32Platform::AsPlatform() {
    TPlatform platform;
    platform.Files = &Files;
    platform.Shell = &Shell;
    platform.System = &System;
    platform.TaskDialogs = &TaskDialogs;
    platform.Windowing = &Windowing;
    platform.Pictures = &Pictures;
    platform.ShellIcons = &ShellIcons;
    platform.Registry = &Registry;
    return platform;
}

} // namespace qb
