#pragma once

namespace lumora {

// The timer period, in milliseconds, that the transmit loop's pause needs while the port is open.
inline constexpr unsigned kFineTimerPeriodMs = 1;

// Holds the system's timer at kFineTimerPeriodMs for as long as the object lives. A request the
// system refuses changes nothing else: the pauses are only coarser.
//
// On Windows the default tick is 15.625 ms, so without the request a 30 ms pause lasts up to 47 ms;
// a process gets a finer tick only by asking itself, and Windows 11 ignores the request while the
// window is minimised or hidden unless the process opts out of timer-resolution throttling, which
// the first request does once for the whole process. On Linux the pauses are already precise to
// well under a millisecond, and nothing is asked.
class FineTimerResolution {
public:
    FineTimerResolution() noexcept;
    ~FineTimerResolution();
    FineTimerResolution(const FineTimerResolution&) = delete;
    FineTimerResolution& operator=(const FineTimerResolution&) = delete;

#if defined(_WIN32)
private:
    bool granted_ = false;
#endif
};

#if defined(_WIN32)
// The system calls behind FineTimerResolution.
struct TimerResolutionCalls {
    // True when the system now holds the period; only a granted period is ended.
    bool (*beginPeriod)(unsigned milliseconds);
    void (*endPeriod)(unsigned milliseconds);
    // Keeps the requested resolution while the process's windows are minimised or hidden.
    void (*ignoreResolutionThrottling)();
};

// Puts other calls in place of the system's, so that a test can count them, and returns those it
// replaced. The next request makes the throttling opt-out again, once, through the new calls.
TimerResolutionCalls replaceTimerResolutionCalls(const TimerResolutionCalls& calls) noexcept;
#endif

} // namespace lumora
