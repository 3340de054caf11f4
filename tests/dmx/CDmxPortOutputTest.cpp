#include "dmx/CDmxPort.h"
#include "platform/ThreadName.h"
#include "simulated/SimulatedAdapter.h"
#include "simulated/WireDecoder.h"
#include "support/DriverCallQueries.h"
#include "support/ThreadsNamed.h"
#include "support/WaitFor.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>

using namespace lumora;
using namespace lumora::hw;
using namespace std::chrono_literals;
using lumora::test::callsOf;
using lumora::test::operationsOf;
using lumora::test::threadsNamed;
using lumora::test::waitFor;

namespace {

constexpr CDmxPort::Timing kQuick{.settle = 0ms};

ChannelLevels ramp() {
    ChannelLevels levels{};
    for (std::size_t i = 0; i < levels.size(); ++i) {
        levels[i] = static_cast<std::uint8_t>(i * 7);
    }
    return levels;
}

struct PortOutput : ::testing::Test {
    PortOutput() { adapter.attach({}); }

    std::vector<WireFrame> frames() const { return decodeWireFrames(adapter.calls()); }
    bool waitForFrames(std::size_t count) const {
        return waitFor([&] { return adapter.callCount(Operation::Write) >= 2 * count; });
    }
    // Writes come only from the transmit thread: once it is gone, nothing more can be sent.
    static bool transmitThreadGone() {
        return waitFor([] { return threadsNamed(kTransmitThreadName) == 0; });
    }

    SimulatedAdapter adapter{SimulatedAdapter::Timing{100us, 128}};
};

// The port with the writer's side of its levels within reach.
struct HandOverPort : CDmxPort {
    using CDmxPort::CDmxPort;
    using CDmxPort::universe_;
};

} // namespace

TEST_F(PortOutput, EveryFrameIsBreakThenStartCodeThenTheWholeUniverse) {
    CDmxPort port(adapter, kQuick);
    ASSERT_TRUE(port.open(0));
    ASSERT_TRUE(waitForFrames(3));
    port.close();

    auto calls = adapter.calls();
    std::vector<DriverCall> transmit;
    const auto transmitThread = callsOf(calls, Operation::SetBreakOn).at(0).thread;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(transmit),
                 [&](const DriverCall& c) { return c.thread == transmitThread; });
    ASSERT_GE(transmit.size(), 12u);
    for (std::size_t i = 0; i + 4 <= transmit.size(); i += 4) {
        EXPECT_EQ(operationsOf(
                      {transmit.begin() + static_cast<long>(i), transmit.begin() + static_cast<long>(i) + 4}),
                  (std::vector<Operation>{Operation::SetBreakOn, Operation::SetBreakOff, Operation::Write,
                                          Operation::Write}));
        EXPECT_EQ(transmit[i + 2].data, std::vector<std::uint8_t>{0x00});
        EXPECT_EQ(transmit[i + 3].data.size(), 512u);
    }

    for (const WireFrame& frame : frames()) {
        EXPECT_TRUE(frame.hasStartCode);
        EXPECT_EQ(frame.startCode, 0x00);
        EXPECT_EQ(frame.slotBytes, std::vector<std::uint8_t>(512, 0))
            << "all-zero levels still fill 512 slots";
        EXPECT_GT(frame.breakLength, 0us);
        EXPECT_GT(frame.markAfterBreak, 0us);
    }
}

TEST_F(PortOutput, LevelsSetWhileClosedGoOutInTheFirstFrame) {
    CDmxPort port(adapter, kQuick);
    port.setLevels(ramp());
    ASSERT_TRUE(port.open(0));
    ASSERT_TRUE(waitForFrames(1));
    port.close();
    const ChannelLevels expected = ramp();
    EXPECT_EQ(frames().at(0).slotBytes, std::vector<std::uint8_t>(expected.begin(), expected.end()));
}

TEST_F(PortOutput, TheNextWholeCycleAfterSetLevelsCarriesTheNewLevels) {
    CDmxPort port(adapter, kQuick);
    ASSERT_TRUE(port.open(0));
    ASSERT_TRUE(waitForFrames(1));
    const ChannelLevels levels = ramp();
    port.setLevels(levels);
    const auto handedOver = std::chrono::steady_clock::now();
    // The frame whose break follows at once may have taken its copy just before the hand-over;
    // every frame after it began its cycle afterwards.
    auto wholeCyclesAfter = [&] {
        std::vector<WireFrame> later;
        for (const WireFrame& frame : frames()) {
            if (frame.breakStart > handedOver && frame.slotBytes.size() == 512) {
                later.push_back(frame);
            }
        }
        if (!later.empty()) {
            later.erase(later.begin());
        }
        return later;
    };
    ASSERT_TRUE(waitFor([&] { return wholeCyclesAfter().size() >= 2; }));
    port.close();
    for (const WireFrame& frame : wholeCyclesAfter()) {
        EXPECT_EQ(frame.slotBytes, std::vector<std::uint8_t>(levels.begin(), levels.end()));
    }
}

TEST_F(PortOutput, CloseRightAfterOpenStopsTheThreadBeforeClosingTheAdapter) {
    for (int round = 0; round < 3; ++round) {
        CDmxPort port(adapter, kQuick);
        ASSERT_TRUE(port.open(0));
        port.close();
        EXPECT_FALSE(port.isOpen());
    }
    const auto calls = adapter.calls();
    EXPECT_EQ(callsOf(calls, Operation::Close).size(), 3u);
    const auto closes = callsOf(calls, Operation::Close);
    for (const DriverCall& write : callsOf(calls, Operation::Write)) {
        for (const DriverCall& close : closes) {
            EXPECT_FALSE(write.started < close.finished && close.started < write.finished)
                << "the adapter is never closed under a write";
        }
    }
}

TEST_F(PortOutput, ReopeningAfterCloseResumesOutputWithTheLevelsAlreadySet) {
    CDmxPort port(adapter, kQuick);
    ASSERT_TRUE(port.open(0));
    port.setLevels(ramp());
    ASSERT_TRUE(waitForFrames(1));
    port.close();
    const std::size_t writesBefore = adapter.callCount(Operation::Write);
    ASSERT_TRUE(transmitThreadGone());
    EXPECT_EQ(adapter.callCount(Operation::Write), writesBefore) << "nothing is sent once close returns";

    adapter.clearCalls();
    ASSERT_TRUE(port.open(0));
    ASSERT_TRUE(waitForFrames(1));
    port.close();
    const ChannelLevels expected = ramp();
    EXPECT_EQ(frames().at(0).slotBytes, std::vector<std::uint8_t>(expected.begin(), expected.end()));
}

TEST_F(PortOutput, DestroyingAnOpenPortStopsOutputAndClosesTheAdapter) {
    {
        CDmxPort port(adapter, kQuick);
        ASSERT_TRUE(port.open(0));
        ASSERT_TRUE(waitForFrames(1));
    }
    const std::size_t writes = adapter.callCount(Operation::Write);
    EXPECT_EQ(adapter.callCount(Operation::Close), 1u);
    ASSERT_TRUE(transmitThreadGone());
    EXPECT_EQ(adapter.callCount(Operation::Write), writes);
}

TEST_F(PortOutput, AnUnpluggedAdapterKeepsThePortCyclingUntilClose) {
    CDmxPort port(adapter, kQuick);
    ASSERT_TRUE(port.open(0));
    ASSERT_TRUE(waitForFrames(1));
    adapter.unplug(0);
    const std::size_t before = adapter.callCount(Operation::SetBreakOn);
    ASSERT_TRUE(waitFor([&] { return adapter.callCount(Operation::SetBreakOn) >= before + 2; }));
    EXPECT_TRUE(port.isOpen());
    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(adapter.callCount(Operation::Close), 1u);
}

TEST_F(PortOutput, LevelsHammeredFromAnotherThreadNeverTearAFrame) {
    CDmxPort port(adapter, kQuick);
    ASSERT_TRUE(port.open(0));
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        ChannelLevels levels{};
        for (std::uint8_t value = 0; !stop.load(); ++value) {
            levels.fill(value);
            port.setLevels(levels);
        }
    });
    ASSERT_TRUE(waitForFrames(5));
    stop.store(true);
    writer.join();
    port.close();

    for (const WireFrame& frame : frames()) {
        ASSERT_EQ(frame.slotBytes.size(), 512u);
        EXPECT_EQ(std::count(frame.slotBytes.begin(), frame.slotBytes.end(), frame.slotBytes.front()), 512)
            << "every frame carries one whole universe";
    }
}

// The window's thread preempted halfway through handing over levels: output must not wait for it.
TEST_F(PortOutput, FramesKeepFlowingWholeWhileTheWindowsThreadHoldsTheLevels) {
    HandOverPort port(adapter, kQuick);
    const ChannelLevels before = ramp();
    port.setLevels(before);
    ASSERT_TRUE(port.open(0));
    const auto started = [&] {
        return adapter.callCount(Operation::SetBreakOn);
    };
    std::size_t beforeRelease = 0;
    {
        LevelHandover::Edit preempted(port.universe_);
        std::fill_n(preempted.levels().begin(), 256, 0x80);
        const std::size_t held = started();
        EXPECT_TRUE(waitFor([&] { return started() >= held + 4; })) << "frames go on while it is held";
        std::fill(preempted.levels().begin() + 256, preempted.levels().end(), 0x80);
        beforeRelease = started();
    }
    const std::size_t afterRelease = started();
    ASSERT_TRUE(waitForFrames(afterRelease + 2));
    port.close();
    const std::vector<WireFrame> sent = frames();
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const bool old = sent[i].slotBytes == std::vector<std::uint8_t>(before.begin(), before.end());
        const bool fresh = sent[i].slotBytes == std::vector<std::uint8_t>(512, 0x80);
        EXPECT_TRUE(i < beforeRelease ? old : i > afterRelease ? fresh : old || fresh) << "frame " << i;
    }
}
