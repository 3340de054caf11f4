#include "platform/ThreadPriority.h"

#include "platform/RealtimeKit.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace lumora {

namespace {

// How long the first frame may wait for the service; on a working bus it answers within a few
// milliseconds, and a hung one must not hold output back for long.
constexpr std::chrono::milliseconds kServicePatience{500};

bool runCurrentThreadFifo(int priority) {
    sched_param parameter{};
    parameter.sched_priority = priority;
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameter) == 0;
}

} // namespace

int fifoPriorityWithin(const rlimit& realtimeLimit) noexcept {
    const rlim_t allowed = realtimeLimit.rlim_cur;
    return allowed > 0 && allowed < static_cast<rlim_t>(kTransmitPriority) ? static_cast<int>(allowed) : 0;
}

void raiseCurrentThreadToRealtime(const std::atomic<int>& giveUp) noexcept {
    if (runCurrentThreadFifo(kTransmitPriority)) {
        return;
    }
    // An unprivileged user may be allowed real-time scheduling only up to a lower priority.
    rlimit limit{};
    if (getrlimit(RLIMIT_RTPRIO, &limit) == 0) {
        const int allowed = fifoPriorityWithin(limit);
        if (allowed > 0 && runCurrentThreadFifo(allowed)) {
            return;
        }
    }
    askRealtimeKit(gettid(), kTransmitPriority, kServicePatience, giveUp);
}

} // namespace lumora
