// Opens the port on the simulated adapter in a process of its own, with real-time scheduling
// restricted as its argument says ("keep", or the real-time limit to leave it), and once frames flow
// prints how the transmit thread is scheduled: "<thread id> <policy> <priority> <RLIMIT_RTTIME hard>".
// Exits with status 3 when this process may not take the limit it is given, and with 1 and a
// message instead of the line when no frame goes out or no transmit thread can be found.

#include "dmx/CDmxPort.h"
#include "platform/ThreadName.h"
#include "simulated/SimulatedAdapter.h"
#include "support/RealtimeRefused.h"
#include "support/ThreadsNamed.h"
#include "support/WaitFor.h"

#include <cstdio>
#include <sched.h>
#include <string>

using namespace lumora;

int main(int argc, char** argv) {
    if (argc != 2 || (std::string(argv[1]) != "keep" && !test::restrictRealtime(std::stoul(argv[1])))) {
        std::puts("could not restrict real-time scheduling");
        return 3;
    }
    hw::SimulatedAdapter adapter{hw::SimulatedAdapter::Timing{std::chrono::microseconds(0), 128}};
    adapter.attach({});
    CDmxPort port(adapter, CDmxPort::Timing{.settle = std::chrono::milliseconds(0)});
    // The thread sets its priority before its first frame.
    if (!port.open(0) || !test::waitFor([&] { return adapter.callCount(hw::Operation::Write) >= 2; })) {
        std::puts("no frame went out");
        return 1;
    }
    // Thread 0 would read this process's main thread, which is never real-time.
    const pid_t thread = test::threadIdNamed(kTransmitThreadName);
    if (thread == 0) {
        std::puts("no transmit thread");
        port.close();
        return 1;
    }
    sched_param parameter{};
    const int policy = sched_getscheduler(thread) & ~SCHED_RESET_ON_FORK;
    sched_getparam(thread, &parameter);
    rlimit runTime{};
    getrlimit(RLIMIT_RTTIME, &runTime);
    std::printf("%d %d %d %lld\n", thread, policy, parameter.sched_priority,
                runTime.rlim_max == RLIM_INFINITY ? -1LL : static_cast<long long>(runTime.rlim_max));
    port.close();
    return 0;
}
