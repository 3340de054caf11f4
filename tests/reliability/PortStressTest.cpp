// A thousand OPEN/CLOSE cycles through the port while another thread keeps replacing the levels:
// every frame must be whole and carry exactly one universe that was actually set.

#include "dmx/CDmxPort.h"
#include "platform/ThreadName.h"
#include "simulated/SimulatedAdapter.h"
#include "simulated/WireDecoder.h"
#include "support/ThreadsNamed.h"
#include "support/WaitFor.h"

#include <atomic>
#include <gtest/gtest.h>
#include <random>
#include <thread>

using namespace lumora;
using namespace lumora::hw;
using namespace std::chrono_literals;
using lumora::test::threadsNamed;
using lumora::test::waitFor;

namespace {

constexpr int kCycles = 1000;
// Shortened from the program's 1 s settle; the cycle stays long enough for the adapter's buffer to
// drain before the next break.
constexpr CDmxPort::Timing kStressTiming{0ms, 10ms};

// Universe number g: its first four slots carry g, the rest a hash of g and the slot, so that a
// frame mixing two universes or holding stray bytes cannot pass for either. Four slots, because
// where a sleep below a millisecond returns at once (Windows), the levels change every microsecond
// or so and pass 2^24 within the run.
std::uint8_t slotOf(std::uint32_t universe, std::size_t slot) {
    if (slot < 4) {
        return static_cast<std::uint8_t>(universe >> (8 * slot));
    }
    std::uint64_t x = universe * 0x9E3779B97F4A7C15ull + slot;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint8_t>(x ^ (x >> 31));
}

ChannelLevels universeNumber(std::uint32_t universe) {
    ChannelLevels levels{};
    for (std::size_t slot = 0; slot < levels.size(); ++slot) {
        levels[slot] = slotOf(universe, slot);
    }
    return levels;
}

// The number of the universe a frame carries, or nullopt when it is not one that was set.
std::optional<std::uint32_t> universeCarried(const WireFrame& frame, std::uint32_t lastSet) {
    if (!frame.hasStartCode || frame.startCode != 0 || frame.slotBytes.size() != kChannelCount) {
        return std::nullopt;
    }
    const std::uint32_t universe =
        std::uint32_t{frame.slotBytes[0]} | (std::uint32_t{frame.slotBytes[1]} << 8u) |
        (std::uint32_t{frame.slotBytes[2]} << 16u) | (std::uint32_t{frame.slotBytes[3]} << 24u);
    if (universe > lastSet) {
        return std::nullopt;
    }
    for (std::size_t slot = 0; slot < kChannelCount; ++slot) {
        if (frame.slotBytes[slot] != slotOf(universe, slot)) {
            return std::nullopt;
        }
    }
    return universe;
}

} // namespace

TEST(PortStress, AThousandOpenCloseCyclesUnderLevelTrafficSendOnlyWholeUniversesThatWereSet) {
    SimulatedAdapter adapter(SimulatedAdapter::Timing{50us, 128});
    adapter.attach({});
    CDmxPort port(adapter, kStressTiming);

    std::atomic<std::uint32_t> lastSet{0};
    port.setLevels(universeNumber(0));
    // A jthread, so that an assertion ending the test early still stops and joins it.
    std::jthread loader([&](const std::stop_token& stop) {
        for (std::uint32_t universe = 1; !stop.stop_requested(); ++universe) {
            // Counted before it is set, so that no frame can carry a universe above the count.
            lastSet.store(universe);
            port.setLevels(universeNumber(universe));
            std::this_thread::sleep_for(200us);
        }
    });

    std::mt19937 random(20261208);
    std::size_t frames = 0;
    std::uint32_t previousUniverse = 0;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        ASSERT_TRUE(port.open(0)) << "cycle " << cycle;
        ASSERT_TRUE(waitFor([] { return threadsNamed(kTransmitThreadName) == 1; }));
        // Most cycles close at once, racing the first frame; some let a few frames out.
        if (random() % 8 == 0) {
            const std::size_t target = adapter.callCount(Operation::Write) + 2 * (1 + random() % 3);
            ASSERT_TRUE(waitFor([&] { return adapter.callCount(Operation::Write) >= target; }));
        }
        port.close();
        ASSERT_FALSE(port.isOpen());
        ASSERT_EQ(adapter.openHandleCount(), 0u) << "cycle " << cycle;
        ASSERT_TRUE(waitFor([] { return threadsNamed(kTransmitThreadName) == 0; })) << "cycle " << cycle;

        const std::uint32_t setBeforeDecoding = lastSet.load();
        for (const WireFrame& frame : decodeWireFrames(adapter.calls())) {
            const auto universe = universeCarried(frame, setBeforeDecoding);
            ASSERT_TRUE(universe.has_value())
                << "cycle " << cycle << ": a frame that is not one whole universe";
            ASSERT_GE(*universe, previousUniverse) << "frames never go back to older levels";
            previousUniverse = *universe;
            ++frames;
        }
        adapter.clearCalls();
    }
    loader.request_stop();
    loader.join();
    EXPECT_GT(frames, static_cast<std::size_t>(kCycles / 8)) << "enough frames went out to check";
    std::printf("[ figures  ] %d cycles, %zu frames checked, %u universes set\n", kCycles, frames,
                lastSet.load());
}
