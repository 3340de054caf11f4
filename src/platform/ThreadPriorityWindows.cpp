#include "platform/ThreadPriority.h"

#include <windows.h>

namespace lumora {

static_assert(kTransmitPriority == THREAD_PRIORITY_TIME_CRITICAL);

void raiseCurrentThreadToRealtime(const std::atomic<int>&) noexcept {
    static_cast<void>(SetThreadPriority(GetCurrentThread(), kTransmitPriority));
}

} // namespace lumora
