#include "dmx/ThreadPriority.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#endif

namespace lumora {

void raiseCurrentThreadToTimeCritical() noexcept {
#if defined(_WIN32)
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
#else
    // Ten below the top of the real-time range, leaving the very top to the system's watchdogs. The
    // thread sleeps most of each cycle, so its high priority costs other programs little.
    sched_param parameter{};
    const int highest = sched_get_priority_max(SCHED_FIFO);
    parameter.sched_priority = highest > 10 ? highest - 10 : highest;
    if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameter) == 0) {
        return;
    }
    // An unprivileged user may be allowed real-time scheduling only up to a lower priority.
    rlimit limit{};
    if (getrlimit(RLIMIT_RTPRIO, &limit) == 0 && limit.rlim_cur > 0 &&
        limit.rlim_cur < static_cast<rlim_t>(parameter.sched_priority)) {
        parameter.sched_priority = static_cast<int>(limit.rlim_cur);
        pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameter);
    }
#endif
}

} // namespace lumora
