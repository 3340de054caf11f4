#include "dmx/CDmxPort.h"
#include "hw/LibFtdiDriver.h"
#include "hw/VendorLibraryDriver.h"

#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <thread>

using namespace lumora;
using namespace lumora::hw;
using namespace std::chrono_literals;

namespace {

constexpr std::string_view kWanted = "FT232R USB UART";
const char* const kSetUpHint = "see \"Hardware set-up\" in README.md";

// Forwards to a real driver and counts the calls of the transmit cycle that fail.
class CountingDriver final : public FtdiDriver {
public:
    explicit CountingDriver(FtdiDriver& driver)
        : driver_(driver) {}

    DriverStatus createDeviceList(std::uint32_t& count) override { return driver_.createDeviceList(count); }
    DriverStatus getDeviceList(std::span<DeviceRecord> storage, std::uint32_t& count) override {
        return driver_.getDeviceList(storage, count);
    }
    DriverStatus open(int position, DeviceHandle& handle) override { return driver_.open(position, handle); }
    DriverStatus resetDevice(DeviceHandle handle) override { return driver_.resetDevice(handle); }
    DriverStatus setDivisor(DeviceHandle handle, std::uint16_t divisor) override {
        return driver_.setDivisor(handle, divisor);
    }
    DriverStatus setDataCharacteristics(DeviceHandle handle, std::uint8_t wordLength, std::uint8_t stopBits,
                                        std::uint8_t parity) override {
        return driver_.setDataCharacteristics(handle, wordLength, stopBits, parity);
    }
    DriverStatus setFlowControl(DeviceHandle handle, std::uint16_t flowControl, std::uint8_t xon,
                                std::uint8_t xoff) override {
        return driver_.setFlowControl(handle, flowControl, xon, xoff);
    }
    DriverStatus clearRts(DeviceHandle handle) override { return counted(driver_.clearRts(handle)); }
    DriverStatus purge(DeviceHandle handle, std::uint32_t mask) override {
        return counted(driver_.purge(handle, mask));
    }
    DriverStatus setTimeouts(DeviceHandle h, std::uint32_t r, std::uint32_t w) override {
        return counted(driver_.setTimeouts(h, r, w));
    }
    DriverStatus setBreakOn(DeviceHandle handle) override { return counted(driver_.setBreakOn(handle)); }
    DriverStatus setBreakOff(DeviceHandle handle) override { return counted(driver_.setBreakOff(handle)); }
    DriverStatus write(DeviceHandle handle, std::span<const std::uint8_t> bytes,
                       std::uint32_t& written) override {
        const DriverStatus status = counted(driver_.write(handle, bytes, written));
        if (written != bytes.size()) {
            shortWrites.fetch_add(1);
        }
        writes.fetch_add(1);
        return status;
    }
    DriverStatus close(DeviceHandle handle) override { return driver_.close(handle); }

    std::atomic<int> failures{0};
    std::atomic<int> shortWrites{0};
    std::atomic<int> writes{0};

private:
    DriverStatus counted(DriverStatus status) {
        if (!succeeded(status)) {
            failures.fetch_add(1);
        }
        return status;
    }

    FtdiDriver& driver_;
};

// The list position of the last FT232R, as discovery picks it, or why there is none to test on.
std::optional<int> findAdapter(FtdiDriver& driver, std::string& why) {
    std::uint32_t count = 0;
    if (const DriverStatus status = driver.createDeviceList(count); !succeeded(status)) {
        why = "USB devices cannot be listed here (status " + std::to_string(static_cast<int>(status)) + ")";
        return std::nullopt;
    }
    std::vector<DeviceRecord> records(count);
    driver.getDeviceList(records, count);
    std::optional<int> position;
    int unreadable = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(count, records.size()); ++i) {
        if (fieldText(records[i].description) == kWanted) {
            position = static_cast<int>(i);
        } else if (fieldText(records[i].description).empty()) {
            ++unreadable;
        }
    }
    // An adapter that is there but cannot be read is a fault of the set-up, not a missing adapter.
    EXPECT_EQ(unreadable, 0) << "FTDI devices whose description cannot be read; " << kSetUpHint;
    if (!position) {
        why = "no FT232R adapter attached (" + std::to_string(count) + " FTDI devices listed)";
    }
    return position;
}

// The interfaces the kernel's FTDI serial driver holds, or nothing when it is not loaded.
std::optional<std::size_t> serialDriverInterfaces() {
    const std::filesystem::path driver = "/sys/bus/usb/drivers/ftdi_sio";
    std::error_code error;
    if (!std::filesystem::is_directory(driver, error)) {
        return std::nullopt;
    }
    std::size_t interfaces = 0;
    for (const auto& entry : std::filesystem::directory_iterator(driver, error)) {
        if (entry.path().filename().string().find(':') != std::string::npos) {
            ++interfaces;
        }
    }
    return interfaces;
}

void driveForASecond(FtdiDriver& driver) {
    std::string why;
    const std::optional<int> position = findAdapter(driver, why);
    if (!position) {
        GTEST_SKIP() << why;
    }
    const auto boundBefore = serialDriverInterfaces();
    CountingDriver counting(driver);
    CDmxPort port(counting);
    ChannelLevels levels{};
    levels.fill(0x7f);
    port.setLevels(levels);
    ASSERT_TRUE(port.open(*position))
        << "the adapter at list position " << *position << " did not open; " << kSetUpHint;
    std::this_thread::sleep_for(1s);
    port.close();
    EXPECT_GE(counting.writes.load(), 40) << "about 30 frames of two writes in a second";
    EXPECT_EQ(counting.failures.load(), 0);
    EXPECT_EQ(counting.shortWrites.load(), 0);

    ASSERT_TRUE(port.open(*position)) << "the adapter opens again after close";
    port.close();
    if (boundBefore) {
        std::this_thread::sleep_for(500ms);
        EXPECT_EQ(serialDriverInterfaces(), boundBefore) << "the kernel's serial driver has the adapter back";
    }
}

} // namespace

TEST(AttachedFt232r, TheLibftdi1BackendDrivesIt) {
    LibFtdiDriver driver;
    driveForASecond(driver);
}

TEST(AttachedFt232r, TheVendorLibraryDrivesItWhenInstalled) {
    const auto driver = VendorLibraryDriver::load(kVendorLibraryName);
    if (!driver) {
        GTEST_SKIP() << kVendorLibraryName << " is not installed";
    }
    driveForASecond(*driver);
}
