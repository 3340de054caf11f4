#pragma once

#include "DriverScript.h"
#include "hw/FtdiDriver.h"

#include <cstddef>
#include <optional>

namespace lumora::fuzz {

// A driver that answers the device-list calls from a script and notes how it was asked. Port
// discovery has no business with any other operation: those fail and are counted.
class ScriptedDriver final : public hw::FtdiDriver {
public:
    explicit ScriptedDriver(const DriverScript& script)
        : script_(script) {}

    int createCalls() const { return createCalls_; }
    int copyCalls() const { return copyCalls_; }
    int otherCalls() const { return otherCalls_; }
    // The size of the storage the last copy was given.
    std::optional<std::size_t> copyStorage() const { return copyStorage_; }

    hw::DriverStatus createDeviceList(std::uint32_t& count) override;
    hw::DriverStatus getDeviceList(std::span<hw::DeviceRecord> storage, std::uint32_t& count) override;
    hw::DriverStatus open(int position, hw::DeviceHandle& handle) override;
    hw::DriverStatus resetDevice(hw::DeviceHandle handle) override;
    hw::DriverStatus setDivisor(hw::DeviceHandle handle, std::uint16_t divisor) override;
    hw::DriverStatus setDataCharacteristics(hw::DeviceHandle handle, std::uint8_t wordLength,
                                            std::uint8_t stopBits, std::uint8_t parity) override;
    hw::DriverStatus setFlowControl(hw::DeviceHandle handle, std::uint16_t flowControl, std::uint8_t xon,
                                    std::uint8_t xoff) override;
    hw::DriverStatus clearRts(hw::DeviceHandle handle) override;
    hw::DriverStatus purge(hw::DeviceHandle handle, std::uint32_t mask) override;
    hw::DriverStatus setTimeouts(hw::DeviceHandle, std::uint32_t, std::uint32_t) override { return refuse(); }
    hw::DriverStatus setBreakOn(hw::DeviceHandle handle) override;
    hw::DriverStatus setBreakOff(hw::DeviceHandle handle) override;
    hw::DriverStatus write(hw::DeviceHandle handle, std::span<const std::uint8_t> bytes,
                           std::uint32_t& written) override;
    hw::DriverStatus close(hw::DeviceHandle handle) override;

private:
    hw::DriverStatus refuse();

    const DriverScript& script_;
    int createCalls_ = 0;
    int copyCalls_ = 0;
    int otherCalls_ = 0;
    std::optional<std::size_t> copyStorage_;
};

} // namespace lumora::fuzz
