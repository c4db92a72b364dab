// quillbridge.exe: no command line, no main window; the whole program is RunQuillbridge.
#include "runtime/win32/WindowsApi.h"

#include "app/quillbridge/QuillbridgeEntry.h"
#include "runtime/win32/Win32Platform.h"
#include <cstdlib>

// A program without a console has nowhere to print the verbose terminate message, and the
// library's handler would link its symbol demangler (some 50 KB) only to print it.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
    qb::Win32Platform platform;
    return qb::RunQuillbridge(platform.AsPlatform());
}
