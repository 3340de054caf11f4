#include "discovery/PortDiscovery.h"

#include "discovery/DiscoverySink.h"
#include "resources/OperatorMessages.h"
#include "simulated/SimulatedAdapter.h"
#include "support/RefusingDriver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <new>
#include <string>
#include <vector>

using namespace lumora;
using namespace lumora::hw;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Discovery's record storage is the only array asked for without exceptions here. Past its end lie
// matching records, so that every record read beyond the storage shows as an extra entry, with or
// without a sanitizer watching.
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    constexpr std::size_t kDecoys = 64;
    const std::size_t records = (size + sizeof(DeviceRecord) - 1) / sizeof(DeviceRecord);
    auto* storage = static_cast<DeviceRecord*>(::operator new[]((records + kDecoys) * sizeof(DeviceRecord)));
    for (std::size_t i = records; i < records + kDecoys; ++i) {
        setFieldText((::new (storage + i) DeviceRecord)->description, "FT232R USB UART");
    }
    return storage;
}

namespace {

struct RecordingSink : DiscoverySink {
    void appendEntry(std::string_view label) override { entries.emplace_back(label); }
    // The texts the console shows for each reason, so that the rows read as the operator sees them.
    void reportProblem(DiscoveryProblem problem) override {
        warnings.emplace_back(problem == DiscoveryProblem::NoAdapter
                                  ? resources::kAdapterNotFoundMessage
                                  : resources::kDeviceListUnreadableMessage);
    }

    std::vector<std::string> entries;
    std::vector<std::string> warnings;
};

const std::string kNotFound = "FT232R USB UART 장치를 찾지 못했습니다.";

SimulatedDevice adapterNamed(const char* description, DeviceType type = DeviceType::Ft232R) {
    return {description, static_cast<std::uint32_t>(type), "S"};
}

struct Discovery : ::testing::Test {
    bool run() { return discoverPorts(adapter, deviceIndex, sink).usable; }

    SimulatedAdapter adapter{SimulatedAdapter::Timing{std::chrono::microseconds(0), 128}};
    DeviceIndex deviceIndex = kNoDevice;
    RecordingSink sink;
};

// A driver whose list calls say what the test wants, for counts no real driver would give.
struct ScriptedListDriver : lumora::test::RefusingDriver {
    DriverStatus createDeviceList(std::uint32_t& count) override {
        count = created;
        return DriverStatus::Ok;
    }
    DriverStatus getDeviceList(std::span<DeviceRecord> storage, std::uint32_t& count) override {
        ++copies;
        storageGiven = storage.size();
        for (DeviceRecord& record : storage) {
            record.type = 5;
            setFieldText(record.description, "FT232R USB UART");
        }
        count = reported;
        return DriverStatus::Ok;
    }
    std::uint32_t created = 0;
    std::uint32_t reported = 0;
    int copies = 0;
    std::size_t storageGiven = 0;
};

} // namespace

TEST_F(Discovery, NoDevicesReportsTheMissingAdapter) {
    EXPECT_FALSE(run());
    EXPECT_THAT(sink.entries, IsEmpty());
    EXPECT_THAT(sink.warnings, ElementsAre(kNotFound));
    EXPECT_EQ(deviceIndex, kNoDevice);
}

TEST_F(Discovery, ListsEveryFt232rAndPicksTheLastOne) {
    adapter.attach(adapterNamed("FT232R USB UART"));
    adapter.attach(adapterNamed("USB Serial Converter", DeviceType::Bm));
    adapter.attach(adapterNamed("FT232R USB UART"));

    EXPECT_TRUE(run());
    EXPECT_THAT(sink.entries, ElementsAre("COM5", "COM5"));
    EXPECT_EQ(deviceIndex, 2);
    EXPECT_THAT(sink.warnings, IsEmpty());

    EXPECT_TRUE(run());
    EXPECT_THAT(sink.entries, ElementsAre("COM5", "COM5", "COM5", "COM5")) << "a second run appends again";
}

TEST_F(Discovery, OnlyTheExactDescriptionMatches) {
    for (const char* nearMiss : {"ft232r usb uart", "FT232R  USB UART", "FT232R USB UART ",
                                 " FT232R USB UART", "FT232R USB UART2", "FT232R USB UAR", ""}) {
        adapter.attach(adapterNamed(nearMiss));
    }
    EXPECT_FALSE(run());
    EXPECT_THAT(sink.entries, IsEmpty());
}

TEST_F(Discovery, ADescriptionFillingItsWholeFieldIsReadWithinIt) {
    struct UnterminatedDriver : ScriptedListDriver {
        DriverStatus getDeviceList(std::span<DeviceRecord> storage, std::uint32_t& count) override {
            for (DeviceRecord& record : storage) {
                std::fill(std::begin(record.description), std::end(record.description), 'F');
                record.handle = reinterpret_cast<DeviceHandle>(std::uintptr_t{0x4655});
            }
            count = static_cast<std::uint32_t>(storage.size());
            return DriverStatus::Ok;
        }
    } unterminated;
    unterminated.created = 2;
    EXPECT_FALSE(discoverPorts(unterminated, deviceIndex, sink).usable);
    EXPECT_THAT(sink.entries, IsEmpty());
}

TEST_F(Discovery, DriverFailuresAddNothingAndFallBackOnTheIndexAlreadyHeld) {
    adapter.attach(adapterNamed("FT232R USB UART"));
    adapter.failCall(Operation::CreateDeviceList, 1, DriverStatus::IoError);
    adapter.failCall(Operation::GetDeviceList, 1, DriverStatus::IoError);

    EXPECT_FALSE(run()) << "building the list failed";
    EXPECT_FALSE(run()) << "copying the list failed";
    EXPECT_THAT(sink.entries, IsEmpty());
    EXPECT_THAT(sink.warnings, ElementsAre(kNotFound, kNotFound));

    adapter.failCall(Operation::CreateDeviceList, 3, DriverStatus::IoError);
    deviceIndex = 0;
    sink.warnings.clear();
    EXPECT_TRUE(run()) << "an index from an earlier run still counts";
    EXPECT_THAT(sink.warnings, IsEmpty());
}

TEST_F(Discovery, FindingNothingKeepsAnEarlierIndexSilently) {
    deviceIndex = 1;
    const PortsFound found = discoverPorts(adapter, deviceIndex, sink);
    EXPECT_TRUE(found.usable);
    EXPECT_FALSE(found.foundNow) << "the index is kept from earlier, not found now";
    EXPECT_EQ(deviceIndex, 1);
    EXPECT_THAT(sink.warnings, IsEmpty());
}

TEST_F(Discovery, RecordsAreReadOnlyWhereStorageAndReportAgree) {
    ScriptedListDriver driver;
    driver.created = 2;
    driver.reported = 50; // more than there is room for
    EXPECT_TRUE(discoverPorts(driver, deviceIndex, sink).usable);
    EXPECT_EQ(sink.entries.size(), 2u);
    EXPECT_EQ(deviceIndex, 1);

    driver.reported = 1; // fewer than were announced
    sink.entries.clear();
    deviceIndex = kNoDevice;
    EXPECT_TRUE(discoverPorts(driver, deviceIndex, sink).usable);
    EXPECT_EQ(sink.entries.size(), 1u);
    EXPECT_EQ(deviceIndex, 0);
}

TEST_F(Discovery, AnAbsurdDeviceCountIsRefusedLikeMissingStorage) {
    ScriptedListDriver driver;
    deviceIndex = 3;
    for (const std::uint32_t absurd : {kMostDevices + 1, 50'000'000u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(absurd);
        driver.created = absurd;
        sink.warnings.clear();
        EXPECT_FALSE(discoverPorts(driver, deviceIndex, sink).usable);
        EXPECT_THAT(sink.warnings, ElementsAre("포트를 찾을 수 없습니다."));
        EXPECT_THAT(sink.entries, IsEmpty());
        EXPECT_EQ(deviceIndex, 3) << "whatever the index held";
    }
    EXPECT_EQ(driver.copies, 0) << "no storage was made, so the records are never asked for";
}

TEST_F(Discovery, TheLargestPlausibleListIsStillRead) {
    ScriptedListDriver driver;
    driver.created = kMostDevices;
    driver.reported = 1;
    EXPECT_TRUE(discoverPorts(driver, deviceIndex, sink).usable);
    EXPECT_EQ(driver.storageGiven, kMostDevices);
    EXPECT_THAT(sink.entries, ElementsAre("COM5"));
    EXPECT_EQ(deviceIndex, 0);
    EXPECT_THAT(sink.warnings, IsEmpty());
}
