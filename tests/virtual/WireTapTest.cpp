#include "virtual/WireTap.h"

#include "simulated/SimulatedAdapter.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace lumora;
using namespace lumora::hw;
using wire::WireSnapshot;
using wire::WireTap;

namespace {

// A simulated adapter whose calls feed a tap, with requests that take no time and a line at
// 2 Mbit/s, so that a frame takes about 3 ms on the line instead of 23.
class WireTapOnAdapter : public ::testing::Test {
protected:
    WireTapOnAdapter() {
        adapter.attach(SimulatedDevice{});
        adapter.keepCallRecord(false);
        adapter.observeCalls([this](const DriverCall& call) { tap.onCall(call); });
    }

    DeviceHandle openFast() {
        DeviceHandle handle = nullptr;
        EXPECT_EQ(adapter.open(0, handle), DriverStatus::Ok);
        adapter.setDivisor(handle, 1);
        adapter.setDataCharacteristics(handle, kWordLength8, kStopBits2, kParityNone);
        return handle;
    }

    // Sends break, the start code and the slots, then waits until the line has drained.
    void sendFrame(DeviceHandle handle, std::uint8_t startCode, std::vector<std::uint8_t> slots) {
        std::uint32_t written = 0;
        adapter.setBreakOn(handle);
        adapter.setBreakOff(handle);
        adapter.write(handle, std::span(&startCode, 1), written);
        adapter.write(handle, slots, written);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }

    void breakOnly(DeviceHandle handle) {
        adapter.setBreakOn(handle);
        adapter.setBreakOff(handle);
    }

    SimulatedAdapter adapter{SimulatedAdapter::Timing{std::chrono::microseconds(0), 128}};
    std::vector<WireSnapshot> published;
    WireTap tap{4242, [this](const WireSnapshot& snapshot) {
                    published.push_back(snapshot);
                }};
};

TEST_F(WireTapOnAdapter, PublishesAFrameWhenTheNextBreakEndsIt) {
    const DeviceHandle handle = openFast();
    ASSERT_EQ(published.size(), 1u) << "opening is published";
    EXPECT_EQ(published.back().openHandles, 1u);
    EXPECT_EQ(published.back().writerPid, 4242);

    std::vector<std::uint8_t> slots(wire::kUniverseSlots, 0);
    slots[3] = 77;
    sendFrame(handle, 0, slots);
    EXPECT_EQ(tap.latest().frames, 0u);
    slots[3] = 78;
    sendFrame(handle, 0, slots);
    EXPECT_EQ(tap.latest().frames, 1u);
    breakOnly(handle);

    const WireSnapshot snapshot = tap.latest();
    EXPECT_EQ(snapshot.frames, 2u);
    EXPECT_EQ(snapshot.irregularFrames, 0u);
    EXPECT_EQ(snapshot.slotCount, 512u);
    EXPECT_EQ(snapshot.levels[3], 78);
    EXPECT_GT(snapshot.periodNs, 2'000'000) << "the frame ran from its break to the next one";
    EXPECT_GT(snapshot.framesPerSecond, 0.0);
    EXPECT_LT(snapshot.framesPerSecond, 500.0);
    EXPECT_EQ(published.size(), 3u);
}

TEST_F(WireTapOnAdapter, CountsFramesWithoutStartCodeZeroOr512SlotsAsIrregular) {
    const DeviceHandle handle = openFast();
    sendFrame(handle, 0, std::vector<std::uint8_t>(wire::kUniverseSlots - 1, 1));
    sendFrame(handle, 0xCC, std::vector<std::uint8_t>(wire::kUniverseSlots, 2));
    sendFrame(handle, 0, std::vector<std::uint8_t>(wire::kUniverseSlots, 3));
    breakOnly(handle);

    const WireSnapshot snapshot = tap.latest();
    EXPECT_EQ(snapshot.frames, 3u);
    EXPECT_EQ(snapshot.irregularFrames, 2u);
    EXPECT_EQ(snapshot.startCode, 0);
    EXPECT_EQ(snapshot.levels[511], 3);
}

TEST_F(WireTapOnAdapter, ClosingDropsTheFrameInProgressAndTheGapIsNoPeriod) {
    DeviceHandle handle = openFast();
    sendFrame(handle, 0, std::vector<std::uint8_t>(wire::kUniverseSlots, 1));
    adapter.close(handle);
    EXPECT_EQ(tap.latest().openHandles, 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));

    handle = openFast();
    sendFrame(handle, 0, std::vector<std::uint8_t>(wire::kUniverseSlots, 2));
    breakOnly(handle);

    const WireSnapshot snapshot = tap.latest();
    EXPECT_EQ(snapshot.frames, 1u) << "the frame cut by closing is not counted";
    EXPECT_EQ(snapshot.levels[0], 2);
    EXPECT_LT(snapshot.periodNs, 40'000'000) << "the pause while closed belongs to no frame";
    EXPECT_GT(snapshot.framesPerSecond, 25.0);
}

TEST_F(WireTapOnAdapter, WritesWithoutBreaksDoNotDisturbLaterFrames) {
    const DeviceHandle handle = openFast();
    const std::uint8_t byte = 9;
    std::uint32_t written = 0;
    for (int i = 0; i < 300; ++i) {
        adapter.write(handle, std::span(&byte, 1), written);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    sendFrame(handle, 0, std::vector<std::uint8_t>(wire::kUniverseSlots, 5));
    breakOnly(handle);

    const WireSnapshot snapshot = tap.latest();
    EXPECT_EQ(snapshot.frames, 1u) << "the stray bytes came before any break and belong to no frame";
    EXPECT_EQ(snapshot.irregularFrames, 0u);
    EXPECT_EQ(snapshot.levels[100], 5);
}

} // namespace
