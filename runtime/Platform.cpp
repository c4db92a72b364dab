#include "runtime/Platform.h"

namespace qb {

namespace {
TPlatform CurrentPlatform;
}

TPlatform& Platform() {
    return CurrentPlatform;
}

void SetPlatform(const TPlatform& platform) {
    CurrentPlatform = platform;
}

} // namespace qb
