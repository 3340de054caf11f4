// An adapter that stops answering in the middle of a frame: the levels can still be set at once,
// close waits for the stalled cycle and only then closes the adapter, and output resumes by itself
// when the adapter answers again.

#include "dmx/CDmxPort.h"
#include "simulated/SimulatedAdapter.h"
#include "simulated/WireDecoder.h"
#include "support/DriverCallQueries.h"
#include "support/ThreadState.h"
#include "support/WaitFor.h"
#include "support/WritesAhead.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

using namespace lumora;
using namespace lumora::hw;
using namespace std::chrono_literals;
using lumora::test::aSlotsWriteStillToCome;
using lumora::test::callsOf;
using lumora::test::threadIsBlocked;
using lumora::test::waitFor;

namespace {

ChannelLevels filledWith(std::uint8_t level) {
    ChannelLevels levels{};
    levels.fill(level);
    return levels;
}

// Only a guard against a hang: the tests release the stall themselves, and a port that waited for
// it to time out fails their checks instead of hanging the test.
constexpr auto kStallLimit = 60s;

class StalledDriver : public ::testing::Test {
protected:
    using Clock = SimulatedAdapter::Clock;

    StalledDriver() { adapter.attach({}); }
    void TearDown() override { adapter.releaseStalls(); }

    // Opens the port and stalls the slots' write of a frame still to come; returns once it hangs.
    void openAndStallAWrite() {
        ASSERT_TRUE(port.open(0));
        adapter.stallCall(Operation::Write, aSlotsWriteStillToCome(adapter), kStallLimit);
        ASSERT_TRUE(waitFor([&] { return adapter.stalledCallCount() == 1; }));
    }

    std::vector<DriverCall> stalledCalls() const {
        std::vector<DriverCall> stalled;
        for (const DriverCall& call : adapter.calls()) {
            if (call.stallLimit > Clock::duration::zero()) {
                stalled.push_back(call);
            }
        }
        return stalled;
    }

    SimulatedAdapter adapter{SimulatedAdapter::Timing{100us, 128}};
    CDmxPort port{adapter, CDmxPort::Timing{.settle = 0ms}};
};

} // namespace

TEST_F(StalledDriver, SetLevelsNeverWaitsForTheStalledWriteAndTheNextFrameCarriesTheLevels) {
    ASSERT_NO_FATAL_FAILURE(openAndStallAWrite());
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
    ASSERT_NO_FATAL_FAILURE(openAndStallAWrite());
    std::atomic<bool> closing{false};
    std::atomic<bool> closed{false};
    std::atomic<long> closerId{0};
    std::thread closer([&] {
        closerId.store(gettid());
        closing.store(true);
        port.close();
        closed.store(true);
    });
    // Close either returns or blocks; a close that blocks while the write hangs is waiting for it.
    // The closer may block on its way to close too (starting up, say), so only a block after it
    // has set out to close counts.
    ASSERT_TRUE(
        waitFor([&] { return closed.load() || (closing.load() && threadIsBlocked(closerId.load())); }));
    EXPECT_FALSE(closed.load()) << "close waits for the cycle in progress";
    EXPECT_EQ(adapter.openHandleCount(), 1u) << "the handle is never closed under a write";
    EXPECT_EQ(adapter.stalledCallCount(), 1);

    adapter.releaseStalls();
    closer.join();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(adapter.openHandleCount(), 0u);
    const auto stalled = stalledCalls();
    ASSERT_EQ(stalled.size(), 1u);
    for (const DriverCall& call : callsOf(adapter.calls(), Operation::SetBreakOn)) {
        EXPECT_LT(call.started, stalled[0].finished)
            << "no frame starts once close has asked the thread to stop";
    }
    const auto closes = callsOf(adapter.calls(), Operation::Close);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_GE(closes[0].started, stalled[0].finished);
}

TEST_F(StalledDriver, OutputResumesOnItsOwnWhenTheAdapterAnswersAgain) {
    ASSERT_TRUE(port.open(0));
    adapter.stallCall(Operation::Write, aSlotsWriteStillToCome(adapter), 300ms);
    // Two frames begun after the stalled write returned show that output went on by itself.
    ASSERT_TRUE(waitFor([&] {
        const auto stalled = stalledCalls();
        if (stalled.empty()) {
            return false;
        }
        const auto breaks = callsOf(adapter.calls(), Operation::SetBreakOn);
        return std::count_if(breaks.begin(), breaks.end(),
                             [&](const DriverCall& call) { return call.started > stalled[0].finished; }) >= 2;
    }));
    EXPECT_TRUE(port.isOpen());
    port.close();
    EXPECT_GE(stalledCalls().at(0).finished - stalledCalls().at(0).started, 300ms);
    for (const WireFrame& frame : decodeWireFrames(adapter.calls())) {
        EXPECT_EQ(frame.slotBytes.size(), 512u) << "the stall delayed frames but cut none";
    }
}
