#include "runtime/Thread.h"
#include "runtime/win32/WindowsApi.h"
#include <memory>

namespace qb {

namespace {

DWORD WINAPI ThreadMain(LPVOID parameter) {
    std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(parameter));
    // Nothing may leave a thread's entry: an error here ends only this thread's work.
    try {
        (*body)();
    } catch (...) {
    }
    return 0;
}

} // namespace

bool StartDetachedThread(std::function<void()> body) {
    auto* owned = new std::function<void()>(std::move(body));
    HANDLE thread = CreateThread(nullptr, 0, ThreadMain, owned, 0, nullptr);
    if (!thread) {
        delete owned;
        return false;
    }
    CloseHandle(thread);
    return true;
}

} // namespace qb
