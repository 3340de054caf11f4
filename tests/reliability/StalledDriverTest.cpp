// An adapter that stops answering in the middle of a frame: the levels can still be set at once,
// close waits for the stalled cycle and only then closes the adapter, and output resumes by itself
// when the adapter answers again.

#include "dmx/CDmxPort.h"
#include "hw/SimulatedAdapter.h"
#include "hw/WireDecoder.h"
#include "support/DriverCallQueries.h"
#include "support/WaitFor.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace lumora;
using namespace lumora::hw;
using namespace std::chrono_literals;
using lumora::test::callsOf;
using lumora::test::waitFor;

namespace {

ChannelLevels filledWith(std::uint8_t level) {
    ChannelLevels levels{};
    levels.fill(level);
    return levels;
}

class StalledDriver : public ::testing::Test {
protected:
    using Clock = SimulatedAdapter::Clock;

    StalledDriver() { adapter.attach({}); }

    // Opens the port and stalls the slots' write of a frame still to come; returns once it hangs.
    void openAndStallAWrite(Clock::duration longest = std::chrono::hours(24)) {
        ASSERT_TRUE(port.open(0));
        const int writes = static_cast<int>(adapter.callCount(Operation::Write));
        adapter.stallCall(Operation::Write, writes + (writes % 2 == 0 ? 4 : 3), longest);
        ASSERT_TRUE(waitFor([&] { return adapter.stalledCallCount() == 1; }));
    }

    SimulatedAdapter adapter{SimulatedAdapter::Timing{100us, 128}};
    CDmxPort port{adapter, CDmxPort::Timing{0ms, 30ms}};
};

} // namespace

TEST_F(StalledDriver, SetLevelsNeverWaitsForTheStalledWriteAndTheNextFrameCarriesTheLevels) {
    openAndStallAWrite();
    for (int level = 0; level < 256; ++level) {
        port.setLevels(filledWith(static_cast<std::uint8_t>(level)));
    }
    EXPECT_EQ(adapter.stalledCallCount(), 1) << "every setLevels returned while the write still hung";

    adapter.releaseStalls();
    const auto released = Clock::now();
    ASSERT_TRUE(waitFor([&] {
        const auto frames = decodeWireFrames(adapter.calls());
        return std::any_of(frames.begin(), frames.end(), [&](const WireFrame& frame) {
            return frame.breakStart > released && frame.slotBytes.size() == kChannelCount;
        });
    }));
    const auto frames = decodeWireFrames(adapter.calls());
    const auto first = std::find_if(frames.begin(), frames.end(),
                                    [&](const WireFrame& frame) { return frame.breakStart > released; });
    EXPECT_EQ(first->slotBytes, std::vector<std::uint8_t>(512, 255)) << "the first frame after the stall";
    port.close();
}

TEST_F(StalledDriver, CloseWaitsForTheStalledCycleAndClosesTheAdapterOnlyAfterIt) {
    openAndStallAWrite();
    std::atomic<bool> closed{false};
    std::thread closer([&] {
        port.close();
        closed.store(true);
    });
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(closed.load()) << "close waits for the cycle in progress";
    EXPECT_EQ(adapter.callCount(Operation::Close), 0u) << "the handle is never closed under a write";

    adapter.releaseStalls();
    closer.join();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(adapter.openHandleCount(), 0u);
    const auto calls = adapter.calls();
    const auto writes = callsOf(calls, Operation::Write);
    const auto closes = callsOf(calls, Operation::Close);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_GE(closes[0].started, writes.back().finished);
    EXPECT_EQ(writes.back().data.size(), 512u) << "the stalled frame was finished, not cut short";
}

TEST_F(StalledDriver, OutputResumesOnItsOwnWhenTheAdapterAnswersAgain) {
    openAndStallAWrite(300ms);
    ASSERT_TRUE(waitFor([&] { return adapter.stalledCallCount() == 0; }));
    const std::size_t breaks = adapter.callCount(Operation::SetBreakOn);
    ASSERT_TRUE(waitFor([&] { return adapter.callCount(Operation::SetBreakOn) >= breaks + 2; }));
    EXPECT_TRUE(port.isOpen());
    port.close();
    for (const WireFrame& frame : decodeWireFrames(adapter.calls())) {
        EXPECT_EQ(frame.slotBytes.size(), 512u) << "the stall delayed frames but cut none";
    }
}
