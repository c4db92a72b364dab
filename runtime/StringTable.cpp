#include "runtime/StringTable.h"
#include "runtime/Platform.h"

namespace qb {

std::string LoadStr(unsigned id) {
    ISystemInfo* system = Platform().System;
    return system ? system->LoadString(id) : std::string();
}

} // namespace qb
