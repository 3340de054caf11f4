#include "dmx/ThreadPriority.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <pthread.h>
#include <sched.h>
#endif

namespace lumora {

void raiseCurrentThreadToTimeCritical() noexcept {
#if defined(_WIN32)
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
#else
    // High in the real-time range but below the kernel's own interrupt threads (50 by default on
    // PREEMPT_RT) is not needed here: the thread sleeps most of the time, so a high value costs
    // nothing and keeps the frame period steady under load.
    sched_param parameter{};
    const int highest = sched_get_priority_max(SCHED_FIFO);
    parameter.sched_priority = highest > 10 ? highest - 10 : highest;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameter);
#endif
}

} // namespace lumora
