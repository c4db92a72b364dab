// quillbridge.exe: no command line, no main window; the whole program is RunQuillbridge.
#include "runtime/win32/WindowsApi.h"

#include "app/quillbridge/QuillbridgeEntry.h"
#include "runtime/win32/Win32Platform.h"

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
    qb::Win32Platform platform;
    return qb::RunQuillbridge(platform.AsPlatform());
}
