#pragma once

#include <atomic>
#if !defined(_WIN32)
#include <sys/resource.h>
#endif

namespace lumora {

#if defined(_WIN32)
// THREAD_PRIORITY_TIME_CRITICAL: the highest priority a thread of a normal-class process can have,
// ahead of every thread at normal priority.
inline constexpr int kTransmitPriority = 15;
#else
// The real-time priority the transmit thread asks for. Any real-time priority runs ahead of every
// normal thread, which is all the frame period needs. On kernels with threaded interrupts
// (PREEMPT_RT) the interrupt handlers run at real-time priority 50; the thread stays just below
// them, because it waits on the USB completions they deliver and must never hold them up.
inline constexpr int kTransmitPriority = 49;
#endif

// Raises the calling thread to kTransmitPriority. Where nothing allows it, the thread carries on at
// its priority and nothing is reported: output still works, only with more jitter.
//
// On Linux: the SCHED_FIFO real-time policy at kTransmitPriority, or at the user's real-time limit
// when that is lower. Where the system refuses, it asks the desktop's RealtimeKit service instead,
// which grants SCHED_RR: round-robin only matters among real-time threads of equal priority, so it
// holds the frame period as well. While waiting for the service it gives up as soon as `giveUp` is
// non-zero.
//
// On Windows: THREAD_PRIORITY_TIME_CRITICAL, which every user may set; `giveUp` is not needed.
void raiseCurrentThreadToRealtime(const std::atomic<int>& giveUp) noexcept;

#if !defined(_WIN32)
// The SCHED_FIFO priority to try once kTransmitPriority is refused, given the process's RLIMIT_RTPRIO:
// the soft limit, which is what the system lets a thread choose, when it is above 0 and below
// kTransmitPriority; 0 when there is nothing lower to try. The hard limit only says how far the
// process could raise the soft one.
int fifoPriorityWithin(const rlimit& realtimeLimit) noexcept;
#endif

} // namespace lumora
