#pragma once

#include <atomic>
#include <chrono>
#include <sys/types.h>

namespace lumora {

// Asks the desktop's RealtimeKit service on the system bus (DBUS_SYSTEM_BUS_ADDRESS, when set, says
// where that bus is) to run one thread of this process at real-time `priority`, or at the service's
// highest when that is lower; the service chooses the policy, SCHED_RR. The service only serves
// processes whose RLIMIT_RTTIME is within its own maximum, so this lowers the process's limit to it
// first. Gives up after `patience`, or as soon as `giveUp` is non-zero. True when the service
// granted the request.
bool askRealtimeKit(pid_t thread, int priority, std::chrono::milliseconds patience,
                    const std::atomic<int>& giveUp) noexcept;

} // namespace lumora
