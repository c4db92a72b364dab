// Threads that start at once and end on their own.
#pragma once
#include <functional>

namespace qb {

// Runs `body` on a new thread that nobody waits for; false when no thread could be started.
bool StartDetachedThread(std::function<void()> body);

} // namespace qb
