#pragma once

#include "hw/FtdiDriver.h"

namespace lumora::hw {

// The driver where no driver library is installed: it sees no device, opens none, and refuses every
// handle, so the console starts and says that no adapter is found instead of failing to start.
class NoDriver final : public FtdiDriver {
public:
    DriverStatus createDeviceList(std::uint32_t& count) override;
    DriverStatus getDeviceList(std::span<DeviceRecord> storage, std::uint32_t& count) override;
    DriverStatus open(int position, DeviceHandle& handle) override;
    DriverStatus resetDevice(DeviceHandle handle) override;
    DriverStatus setDivisor(DeviceHandle handle, std::uint16_t divisor) override;
    DriverStatus setDataCharacteristics(DeviceHandle handle, std::uint8_t wordLength, std::uint8_t stopBits,
                                        std::uint8_t parity) override;
    DriverStatus setFlowControl(DeviceHandle handle, std::uint16_t flowControl, std::uint8_t xon,
                                std::uint8_t xoff) override;
    DriverStatus clearRts(DeviceHandle handle) override;
    DriverStatus purge(DeviceHandle handle, std::uint32_t mask) override;
    DriverStatus setTimeouts(DeviceHandle handle, std::uint32_t readTimeout,
                             std::uint32_t writeTimeout) override;
    DriverStatus setBreakOn(DeviceHandle handle) override;
    DriverStatus setBreakOff(DeviceHandle handle) override;
    DriverStatus write(DeviceHandle handle, std::span<const std::uint8_t> bytes,
                       std::uint32_t& written) override;
    DriverStatus close(DeviceHandle handle) override;
};

} // namespace lumora::hw
