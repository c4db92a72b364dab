#include "app/quillbridge/QuillbridgeEntry.h"

#include "dialogs/TaskDialog.h"
#include "runtime/Exception.h"
#include "runtime/WinConst.h"
#include "setup/SetupRun.h"
#include <exception>
#include <string>

namespace qb {

namespace {

// Modules start in a fixed order and stop in reverse, also when an error ends the run.
class TModuleScope {
public:
    TModuleScope(void (*init)(), void (*done)()) : Done(done) { init(); }
    TModuleScope(const TModuleScope&) = delete;
    TModuleScope& operator=(const TModuleScope&) = delete;
    ~TModuleScope() { Done(); }

private:
    void (*Done)();
};

// The message of the exception being handled.
std::string CurrentErrorMessage() {
    try {
        throw;
    } catch (const Exception& error) {
        return error.Message();
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
    }
    return {};
}

// The top-level handler: nothing above it could tell the user what went wrong.
int ShowEscapedError(const TPlatform& platform) {
    std::string message = CurrentErrorMessage();
    if (message.empty()) {
        message = "An unexpected error ended Quillbridge.";
    }
    if (platform.System != nullptr) {
        try {
            platform.System->MessageBox(0, message, "Quillbridge", win::MB_OK | win::MB_ICONERROR);
        } catch (...) {
            // Nothing is left to report it with; the exit code still says it failed.
        }
    }
    return 1;
}

} // namespace

int RunQuillbridge(const TPlatform& platform) {
    SetPlatform(platform);
    try {
        // The dialog module's captions are in place before the setup pass asks anything.
        const TModuleScope taskDialogs(InitTaskDialogModule, DoneTaskDialogModule);
        try {
            RunSetup();
        } catch (...) {
            // Shown while the modules are still up, then they stop in order.
            return ShowEscapedError(platform);
        }
        return 0;
    } catch (...) {
        return ShowEscapedError(platform);
    }
}

} // namespace qb
