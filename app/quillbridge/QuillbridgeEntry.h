// The program's body, apart from WinMain so that test builds can run it on a platform of their own.
#pragma once
#include "runtime/Platform.h"

namespace qb {

// Sets the platform, starts the modules, runs the setup pass once and stops the modules again.
// Returns the process exit code: 0, or 1 after an escaping error has been shown in an error box.
int RunQuillbridge(const TPlatform& platform);

} // namespace qb
