#pragma once

#include <atomic>

namespace lumora {

// The real-time priority the transmit thread asks for. Any real-time priority runs ahead of every
// normal thread, which is all the frame period needs. On kernels with threaded interrupts
// (PREEMPT_RT) the interrupt handlers run at real-time priority 50; the thread stays just below
// them, because it waits on the USB completions they deliver and must never hold them up.
inline constexpr int kTransmitPriority = 49;

// Moves the calling thread to the SCHED_FIFO real-time policy at kTransmitPriority, or at the
// user's real-time limit when that is lower. Where the system refuses, it asks the desktop's
// RealtimeKit service instead, which grants SCHED_RR: round-robin only matters among real-time
// threads of equal priority, so it holds the frame period as well. Where nothing allows it, the
// thread carries on at normal priority and nothing is reported: output still works, only with more
// jitter. While waiting for the service it gives up as soon as `giveUp` is non-zero.
void raiseCurrentThreadToRealtime(const std::atomic<int>& giveUp) noexcept;

} // namespace lumora
