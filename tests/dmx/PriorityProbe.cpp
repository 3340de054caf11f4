// Opens the port on the simulated adapter in a process of its own, with real-time scheduling
// restricted as its argument says ("keep", or the real-time limit to leave it), and once frames flow
// prints how the transmit thread is scheduled: "<thread id> <policy> <priority> <RLIMIT_RTTIME hard>",
// then what it asked of the system bus: "<longest bus wait µs> <all bus waits µs> <reply slots kept>".
// Exits with status 3 when this process may not take the limit it is given, and with 1 and a
// message instead of the line when no frame goes out or no transmit thread can be found.

#include "dmx/CDmxPort.h"
#include "platform/ThreadName.h"
#include "simulated/SimulatedAdapter.h"
#include "support/RealtimeRefused.h"
#include "support/ThreadsNamed.h"
#include "support/WaitFor.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <dlfcn.h>
#include <mutex>
#include <sched.h>
#include <set>
#include <string>
#include <systemd/sd-bus.h>

using namespace lumora;

namespace {

// The bus calls of this process pass through here on their way to libsystemd, which counts them.
std::mutex busMutex;
std::uint64_t longestWait = 0;
std::uint64_t allWaits = 0;
std::set<sd_bus_slot*> slotsKept;

template <typename Function> Function real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// Whether code of this program rather than of libsystemd, which holds slots of its own for a while,
// made the call.
bool calledFromThisProgram(void* returnAddress) {
    Dl_info caller{};
    Dl_info program{};
    return dladdr(returnAddress, &caller) != 0 &&
           dladdr(reinterpret_cast<void*>(&calledFromThisProgram), &program) != 0 &&
           caller.dli_fbase == program.dli_fbase;
}

} // namespace

extern "C" int sd_bus_wait(sd_bus* bus, std::uint64_t timeout) {
    {
        const std::lock_guard lock(busMutex);
        longestWait = std::max(longestWait, timeout);
        allWaits += timeout;
    }
    return real<int (*)(sd_bus*, std::uint64_t)>("sd_bus_wait")(bus, timeout);
}

extern "C" int sd_bus_call_async(sd_bus* bus, sd_bus_slot** slot, sd_bus_message* call,
                                 sd_bus_message_handler_t callback, void* userdata, std::uint64_t usec) {
    const int result =
        real<decltype(&sd_bus_call_async)>("sd_bus_call_async")(bus, slot, call, callback, userdata, usec);
    if (result >= 0 && slot != nullptr && *slot != nullptr) {
        const std::lock_guard lock(busMutex);
        slotsKept.insert(*slot);
    }
    return result;
}

extern "C" sd_bus_slot* sd_bus_slot_unref(sd_bus_slot* slot) {
    if (calledFromThisProgram(__builtin_return_address(0))) {
        const std::lock_guard lock(busMutex);
        slotsKept.erase(slot);
    }
    return real<decltype(&sd_bus_slot_unref)>("sd_bus_slot_unref")(slot);
}

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
    port.close();
    const std::lock_guard lock(busMutex);
    std::printf("%d %d %d %lld %llu %llu %zu\n", thread, policy, parameter.sched_priority,
                runTime.rlim_max == RLIM_INFINITY ? -1LL : static_cast<long long>(runTime.rlim_max),
                static_cast<unsigned long long>(longestWait), static_cast<unsigned long long>(allWaits),
                slotsKept.size());
    return 0;
}
