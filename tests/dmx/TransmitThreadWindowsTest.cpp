// The transmit thread as Windows sees it: named, and at the time-critical priority.
#include "dmx/CDmxPort.h"
#include "platform/ThreadName.h"
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
