#pragma once

namespace lumora {

// Raises the calling thread to the highest scheduling class the process may use for time-critical
// work. Where the system does not allow it (no real-time permission), the thread carries on at its
// normal priority: output still works, only with more jitter.
void raiseCurrentThreadToTimeCritical() noexcept;

} // namespace lumora
