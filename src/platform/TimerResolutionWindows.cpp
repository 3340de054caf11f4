#include "platform/TimerResolution.h"

#include "platform/SharedLibrary.h"

#include <atomic>
#include <windows.h>
// After windows.h, whose types it uses.
#include <timeapi.h>

namespace lumora {

namespace {

bool beginSystemPeriod(unsigned milliseconds) {
    return timeBeginPeriod(milliseconds) == TIMERR_NOERROR;
}

void endSystemPeriod(unsigned milliseconds) {
    static_cast<void>(timeEndPeriod(milliseconds));
}

// Windows before 8 has no SetProcessInformation, and systems before Windows 11 refuse this class;
// either way the request alone is all there is to have.
void ignoreSystemResolutionThrottling() {
    using SetProcessInformationCall = BOOL(WINAPI*)(HANDLE, PROCESS_INFORMATION_CLASS, LPVOID, DWORD);
    const SharedLibrary kernel("kernel32.dll");
    const auto setProcessInformation = kernel.function<SetProcessInformationCall>("SetProcessInformation");
    if (setProcessInformation == nullptr) {
        return;
    }
    PROCESS_POWER_THROTTLING_STATE state{};
    state.Version = PROCESS_POWER_THROTTLING_CURRENT_VERSION;
    state.ControlMask = PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION;
    state.StateMask = 0; // never throttle
    static_cast<void>(
        setProcessInformation(GetCurrentProcess(), ProcessPowerThrottling, &state, sizeof state));
}

TimerResolutionCalls calls{beginSystemPeriod, endSystemPeriod, ignoreSystemResolutionThrottling};
std::atomic<bool> throttlingIgnored{false};

} // namespace

TimerResolutionCalls replaceTimerResolutionCalls(const TimerResolutionCalls& replacement) noexcept {
    const TimerResolutionCalls replaced = calls;
    calls = replacement;
    throttlingIgnored = false;
    return replaced;
}

FineTimerResolution::FineTimerResolution() noexcept {
    // The setting is the process's, so one is enough for every port and every OPEN.
    if (!throttlingIgnored.exchange(true)) {
        calls.ignoreResolutionThrottling();
    }
    granted_ = calls.beginPeriod(kFineTimerPeriodMs);
}

FineTimerResolution::~FineTimerResolution() {
    if (granted_) {
        calls.endPeriod(kFineTimerPeriodMs);
    }
}

} // namespace lumora
