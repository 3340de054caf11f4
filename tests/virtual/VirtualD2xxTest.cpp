// The virtual adapter library as the console meets it: loaded at run time, its D2XX functions
// resolved by name, and its wire read back from shared memory.

#include "dmx/CDmxPort.h"
#include "hw/D2xxFunctions.h"
#include "hw/VendorLibraryDriver.h"
#include "platform/SharedLibrary.h"
#include "support/WaitFor.h"
#include "virtual/WireSegment.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

using namespace lumora;
using namespace lumora::hw;
using wire::WireSegment;
using wire::WireSnapshot;

namespace {

// Each test process publishes under a name of its own, so that tests running side by side, and a
// console someone is trying out, never share a segment.
class VirtualD2xx : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        segmentName() = "/lumora-d2xx-test-" + std::to_string(getpid());
        setenv(wire::kSegmentNameVariable, segmentName().c_str(), 1);
    }
    static void TearDownTestSuite() { WireSegment::remove(segmentName()); }

    static std::string& segmentName() {
        static std::string name;
        return name;
    }

    void SetUp() override {
        ASSERT_TRUE(driver != nullptr) << LUMORA_VIRTUAL_D2XX " does not load or lacks a D2XX function";
    }

    WireSnapshot published() {
        WireSnapshot snapshot;
        if (!reader.isMapped()) {
            reader = WireSegment::openForReading(segmentName());
        }
        EXPECT_TRUE(reader.read(snapshot)) << "no segment " << segmentName();
        return snapshot;
    }

    DeviceHandle openConfigured() {
        DeviceHandle handle = nullptr;
        EXPECT_EQ(driver->open(0, handle), DriverStatus::Ok);
        EXPECT_EQ(driver->resetDevice(handle), DriverStatus::Ok);
        EXPECT_EQ(driver->setDivisor(handle, 12), DriverStatus::Ok);
        EXPECT_EQ(driver->setDataCharacteristics(handle, kWordLength8, kStopBits2, kParityNone),
                  DriverStatus::Ok);
        EXPECT_EQ(driver->setFlowControl(handle, kFlowNone, 0, 0), DriverStatus::Ok);
        EXPECT_EQ(driver->clearRts(handle), DriverStatus::Ok);
        EXPECT_EQ(driver->purge(handle, kPurgeReceive | kPurgeTransmit), DriverStatus::Ok);
        return handle;
    }

    void sendFrame(DeviceHandle handle, std::span<const std::uint8_t> slots) {
        const std::uint8_t startCode = 0;
        std::uint32_t written = 0;
        EXPECT_EQ(driver->setBreakOn(handle), DriverStatus::Ok);
        EXPECT_EQ(driver->setBreakOff(handle), DriverStatus::Ok);
        EXPECT_EQ(driver->write(handle, std::span(&startCode, 1), written), DriverStatus::Ok);
        EXPECT_EQ(driver->write(handle, slots, written), DriverStatus::Ok);
        EXPECT_EQ(written, slots.size());
    }

    std::unique_ptr<VendorLibraryDriver> driver = VendorLibraryDriver::load(LUMORA_VIRTUAL_D2XX);
    WireSegment reader;
};

TEST_F(VirtualD2xx, ListsOneFt232rAndOpensOnlyThatPosition) {
    std::uint32_t count = 0;
    ASSERT_EQ(driver->createDeviceList(count), DriverStatus::Ok);
    ASSERT_EQ(count, 1u);
    std::vector<DeviceRecord> records(2);
    ASSERT_EQ(driver->getDeviceList(records, count), DriverStatus::Ok);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(fieldText(records[0].description), "FT232R USB UART");
    EXPECT_EQ(records[0].type, static_cast<std::uint32_t>(DeviceType::Ft232R));
    EXPECT_EQ(fieldText(records[1].description), "") << "nothing written past the list";

    DeviceHandle stray = nullptr;
    EXPECT_EQ(driver->open(1, stray), DriverStatus::DeviceNotFound);
    DeviceHandle handle = nullptr;
    ASSERT_EQ(driver->open(0, handle), DriverStatus::Ok);
    EXPECT_EQ(driver->open(0, stray), DriverStatus::DeviceNotOpened)
        << "one process holds the adapter at a time";
    EXPECT_EQ(published().openHandles, 1u);
    EXPECT_EQ(driver->close(handle), DriverStatus::Ok);
    EXPECT_EQ(driver->close(handle), DriverStatus::InvalidHandle);
    EXPECT_EQ(published().openHandles, 0u);
}

TEST_F(VirtualD2xx, PublishesEachFrameOnceTheNextBreakEndsIt) {
    const DeviceHandle handle = openConfigured();
    std::array<std::uint8_t, wire::kUniverseSlots> slots{};
    for (std::size_t i = 0; i < slots.size(); ++i) {
        slots[i] = static_cast<std::uint8_t>(i * 7);
    }
    const std::uint64_t before = published().frames;

    sendFrame(handle, slots);
    EXPECT_EQ(published().frames, before) << "a frame is not known to be whole until the next break";
    // A write returns with its last 128 bytes still in the adapter's buffer; a break now would cut
    // them off, as the port's pause between frames ensures it does not.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    slots[0] = 255;
    sendFrame(handle, slots);

    const WireSnapshot snapshot = published();
    EXPECT_EQ(snapshot.frames, before + 1);
    EXPECT_EQ(snapshot.irregularFrames, 0u);
    EXPECT_EQ(snapshot.hasStartCode, 1);
    EXPECT_EQ(snapshot.startCode, 0);
    EXPECT_EQ(snapshot.slotCount, 512u);
    EXPECT_EQ(snapshot.levels[0], 0) << "the first frame, not the one still being sent";
    EXPECT_TRUE(std::equal(slots.begin() + 1, slots.end(), snapshot.levels.begin() + 1));
    // Break on and off each wait out the simulated USB latency; the start code then waits for its
    // own request.
    EXPECT_GT(snapshot.breakNs, 0);
    EXPECT_GT(snapshot.markAfterBreakNs, 0);
    EXPECT_GT(snapshot.periodNs, snapshot.breakNs);
    EXPECT_EQ(snapshot.writerPid, getpid());
    EXPECT_EQ(driver->close(handle), DriverStatus::Ok);
}

TEST_F(VirtualD2xx, RefusesNullPointersAndUnknownHandlesWithoutCrashing) {
    SharedLibrary library(LUMORA_VIRTUAL_D2XX);
    const auto create = library.function<d2xx::CreateDeviceInfoList>("FT_CreateDeviceInfoList");
    const auto list = library.function<d2xx::GetDeviceInfoList>("FT_GetDeviceInfoList");
    const auto openAt = library.function<d2xx::Open>("FT_Open");
    const auto write = library.function<d2xx::Write>("FT_Write");
    const auto setBreakOn = library.function<d2xx::HandleOnly>("FT_SetBreakOn");
    ASSERT_TRUE(create && list && openAt && write && setBreakOn);

    constexpr d2xx::Status kInvalidParameter = 6;
    constexpr d2xx::Status kInvalidHandle = 1;
    d2xx::Dword count = 0;
    EXPECT_EQ(create(nullptr), kInvalidParameter);
    EXPECT_EQ(list(nullptr, &count), kInvalidParameter);
    EXPECT_EQ(openAt(0, nullptr), kInvalidParameter);
    int unknown = 0;
    d2xx::Dword written = 0;
    EXPECT_EQ(write(&unknown, nullptr, 1, &written), kInvalidParameter);
    EXPECT_EQ(write(&unknown, "x", 1, &written), kInvalidHandle);
    EXPECT_EQ(setBreakOn(nullptr), kInvalidHandle);
}

TEST_F(VirtualD2xx, CarriesThePortsFramesAndStopsWhenItCloses) {
    CDmxPort port(*driver, CDmxPort::Timing{.settle = std::chrono::milliseconds(0)});
    ChannelLevels levels{};
    levels[0] = 10;
    levels[511] = 200;
    port.setLevels(levels);
    ASSERT_TRUE(port.open(0));
    ASSERT_TRUE(test::waitFor([&] { return published().frames >= 5; }));
    port.close();

    const WireSnapshot closed = published();
    EXPECT_EQ(closed.openHandles, 0u);
    EXPECT_EQ(closed.irregularFrames, 0u);
    EXPECT_EQ(closed.levels[0], 10);
    EXPECT_EQ(closed.levels[511], 200);
    // 30 ms of sleep plus about 23 ms of line time for 513 bytes at 250 kbit/s.
    EXPECT_GT(closed.framesPerSecond, 10.0);
    EXPECT_LT(closed.framesPerSecond, 33.0);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(published().frames, closed.frames) << "no frame after close";
}

} // namespace
