#include "runtime/win32/WideText.h"

#include "runtime/win32/WindowsApi.h"
#include <climits>

namespace qb {

std::wstring WideText(std::string_view text) {
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const int inLength = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), inLength, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), inLength, wide.data(), length);
    return wide;
}

std::string NarrowText(std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const int inLength = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_ACP, 0, text.data(), inLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), inLength, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

} // namespace qb
