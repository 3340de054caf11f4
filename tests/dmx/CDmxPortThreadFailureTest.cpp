#include "dmx/CDmxPort.h"
#include "simulated/SimulatedAdapter.h"
#include "support/DriverCallQueries.h"

#include <atomic>
#include <cerrno>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pthread.h>

namespace {

std::atomic<bool> refuseThreads{false};

} // namespace

// Stands in for the C library's pthread_create so that std::thread can be made to fail the way it
// does when the system is out of threads.
extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*),
                              void* argument) {
    using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    static const auto real = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    if (refuseThreads.load()) {
        return EAGAIN;
    }
    return real(thread, attributes, start, argument);
}

using namespace lumora;
using namespace lumora::hw;
using namespace std::chrono_literals;

TEST(DmxPortThreadCreation, AThreadThatCannotStartFailsTheOpenAndClosesTheAdapter) {
    SimulatedAdapter adapter(SimulatedAdapter::Timing{0us, 128});
    adapter.attach({});
    CDmxPort port(adapter, CDmxPort::Timing{.settle = 0ms});

    refuseThreads.store(true);
    const bool opened = port.open(0);
    refuseThreads.store(false);

    EXPECT_FALSE(opened);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(adapter.callCount(Operation::Close), 1u);
    port.close();
    EXPECT_EQ(adapter.callCount(Operation::Close), 1u) << "nothing was left for close to release";
    EXPECT_TRUE(port.open(0)) << "the port recovers once threads can start again";
}
