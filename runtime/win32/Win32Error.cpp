#include "runtime/win32/WindowsApi.h"

#include "runtime/Format.h"
#include "runtime/win32/Win32Error.h"

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
        text = (code & 0x80000000u) != 0 ? "Error 0x" + Digits(code, 16, true, 8)
                                         : "System error " + Digits(code);
    }
    return text;
}

} // namespace qb
