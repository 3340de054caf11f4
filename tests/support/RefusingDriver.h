#pragma once

#include "hw/FtdiDriver.h"

namespace lumora::test {

// A driver that refuses everything; tests derive from it to script the few calls they care about.
struct RefusingDriver : hw::FtdiDriver {
    using Status = hw::DriverStatus;
    static constexpr Status kRefused = Status::NotSupported;

    Status createDeviceList(std::uint32_t&) override { return kRefused; }
    Status getDeviceList(std::span<hw::DeviceRecord>, std::uint32_t&) override { return kRefused; }
    Status open(int, hw::DeviceHandle&) override { return kRefused; }
    Status resetDevice(hw::DeviceHandle) override { return kRefused; }
    Status setDivisor(hw::DeviceHandle, std::uint16_t) override { return kRefused; }
    Status setDataCharacteristics(hw::DeviceHandle, std::uint8_t, std::uint8_t, std::uint8_t) override {
        return kRefused;
    }
    Status setFlowControl(hw::DeviceHandle, std::uint16_t, std::uint8_t, std::uint8_t) override {
        return kRefused;
    }
    Status clearRts(hw::DeviceHandle) override { return kRefused; }
    Status purge(hw::DeviceHandle, std::uint32_t) override { return kRefused; }
    Status setTimeouts(hw::DeviceHandle, std::uint32_t, std::uint32_t) override { return kRefused; }
    Status setBreakOn(hw::DeviceHandle) override { return kRefused; }
    Status setBreakOff(hw::DeviceHandle) override { return kRefused; }
    Status write(hw::DeviceHandle, std::span<const std::uint8_t>, std::uint32_t&) override {
        return kRefused;
    }
    Status close(hw::DeviceHandle) override { return kRefused; }
};

} // namespace lumora::test
