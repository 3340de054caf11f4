// The transmit thread as Windows sees it: named, and at the time-critical priority.
#include "dmx/CDmxPort.h"
#include "platform/ThreadName.h"
#include "platform/TimerResolution.h"
#include "simulated/SimulatedAdapter.h"
#include "support/ThreadsNamed.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace lumora;
using namespace lumora::hw;
using namespace std::chrono_literals;
using lumora::test::threadIdNamed;
using lumora::test::waitFor;

namespace {

// The priority of one of this process's threads, as the system reports it to another thread.
int priorityOf(test::ThreadId thread) {
    const HANDLE handle = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, thread);
    if (handle == nullptr) {
        return THREAD_PRIORITY_ERROR_RETURN;
    }
    const int priority = GetThreadPriority(handle);
    CloseHandle(handle);
    return priority;
}

} // namespace

TEST(TransmitThreadOnWindows, IsNamedAndTimeCriticalWhileThePortIsOpenAndGoneAfterClose) {
    SimulatedAdapter adapter{SimulatedAdapter::Timing{0us, 128}};
    adapter.attach({});
    CDmxPort port(adapter, CDmxPort::Timing{.settle = 0ms});
    ASSERT_TRUE(port.open(0));
    ASSERT_TRUE(waitFor([&] { return adapter.callCount(Operation::SetBreakOn) >= 2; }));

    const test::ThreadId transmit = threadIdNamed(kTransmitThreadName);
    ASSERT_NE(transmit, 0u) << "no thread is named " << kTransmitThreadName;
    EXPECT_NE(transmit, GetCurrentThreadId());
    EXPECT_EQ(priorityOf(transmit), THREAD_PRIORITY_TIME_CRITICAL);
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL) << "the caller keeps its own";

    port.close();
    EXPECT_EQ(threadIdNamed(kTransmitThreadName), 0u);
}

namespace {

// The port's timer requests, counted instead of made, as sums of their periods (1 ms each).
std::atomic<int> begun{0};
std::atomic<int> ended{0};
std::atomic<int> optOuts{0};
std::atomic<bool> granted{true};
bool countBegin(unsigned period) {
    begun += static_cast<int>(period);
    return granted.load();
}
void countEnd(unsigned period) {
    ended += static_cast<int>(period);
}
void countOptOut() {
    ++optOuts;
}

struct TimerRequestsCounted : ::testing::Test {
    TimerRequestsCounted() {
        adapter.attach({});
        begun = ended = optOuts = 0;
        granted = true;
    }
    ~TimerRequestsCounted() override { replaceTimerResolutionCalls(system); }
    const TimerResolutionCalls system = replaceTimerResolutionCalls({countBegin, countEnd, countOptOut});
    SimulatedAdapter adapter{SimulatedAdapter::Timing{0us, 128}};
    CDmxPort port{adapter, CDmxPort::Timing{.settle = 0ms}};
};

} // namespace

TEST_F(TimerRequestsCounted, HeldFromEachOpenToItsCloseWithOneThrottlingOptOut) {
    for (int open = 1; open <= 2; ++open) {
        ASSERT_TRUE(port.open(0));
        EXPECT_EQ(begun.load(), open);
        EXPECT_EQ(ended.load(), open - 1) << "held while open";
        EXPECT_EQ(optOuts.load(), 1) << "made on the first OPEN, and only then";
        port.close();
        EXPECT_EQ(ended.load(), open);
    }
}

TEST_F(TimerRequestsCounted, AFailedOpenEndsItsRequestAndARefusedOneNeitherStopsOpenNorIsEnded) {
    adapter.failCall(Operation::SetDivisor, 1, DriverStatus::IoError);
    EXPECT_FALSE(port.open(0));
    EXPECT_EQ(ended.load(), 1);
    granted = false;
    EXPECT_TRUE(port.open(0));
    port.close();
    EXPECT_EQ(ended.load(), 1) << "a refused request is not ended";
}
