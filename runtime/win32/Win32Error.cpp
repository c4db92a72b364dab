#include "runtime/win32/WindowsApi.h"

#include "runtime/win32/Win32Error.h"
#include <cstdio>

namespace qb {

std::string SystemErrorMessage(uint32_t code) {
    char* buffer = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text;
    if (length != 0 && buffer != nullptr) {
        text.assign(buffer, length);
    }
    if (buffer != nullptr) {
        ::LocalFree(buffer);
    }
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        // HRESULTs are known by their hexadecimal form, system error codes by their number.
        char number[40];
        if ((code & 0x80000000u) != 0) {
            std::snprintf(number, sizeof number, "Error 0x%08X", static_cast<unsigned>(code));
        } else {
            std::snprintf(number, sizeof number, "System error %u", static_cast<unsigned>(code));
        }
        text = number;
    }
    return text;
}

} // namespace qb
