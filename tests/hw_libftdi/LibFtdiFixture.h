#pragma once

#include "ChipLine.h"
#include "FakeUsbBus.h"
#include "hw/LibFtdiDriver.h"

#include <gtest/gtest.h>

namespace lumora::test {

// A libftdi1 driver over a freshly emptied emulated bus.
struct LibFtdiFixture : ::testing::Test {
    LibFtdiFixture() { bus.reset(); }

    // An FT232R with its own address on the bus.
    static FakeUsbDevice ft232r(std::uint8_t address, std::string serialNumber = "A10K9MX3") {
        FakeUsbDevice device;
        device.address = address;
        device.serialNumber = std::move(serialNumber);
        return device;
    }

    hw::DeviceHandle openAt(int position) {
        hw::DeviceHandle handle = nullptr;
        EXPECT_EQ(driver.open(position, handle), hw::DriverStatus::Ok);
        return handle;
    }

    std::vector<hw::DeviceRecord> list() {
        std::uint32_t count = 0;
        EXPECT_EQ(driver.createDeviceList(count), hw::DriverStatus::Ok);
        std::vector<hw::DeviceRecord> records(count);
        EXPECT_EQ(driver.getDeviceList(records, count), hw::DriverStatus::Ok);
        return records;
    }

    FakeUsbBus& bus = FakeUsbBus::instance();
    hw::LibFtdiDriver driver;
};

} // namespace lumora::test
