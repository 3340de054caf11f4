#pragma once

#include "hw/DeviceRecord.h"
#include "hw/DriverStatus.h"

#include <cstdint>
#include <span>

namespace lumora::hw {

// Line settings in the driver's own numbering.
inline constexpr std::uint8_t kWordLength8 = 8;
inline constexpr std::uint8_t kStopBits1 = 0;
inline constexpr std::uint8_t kStopBits2 = 2;
inline constexpr std::uint8_t kParityNone = 0;
inline constexpr std::uint16_t kFlowNone = 0;
inline constexpr std::uint32_t kPurgeReceive = 1;
inline constexpr std::uint32_t kPurgeTransmit = 2;

// The operations of an FTDI driver that the DMX port and port discovery use, in the shape of the
// vendor's D2XX library. Every operation returns DriverStatus::Ok on success.
//
// Thread rules: a backend may be called from several threads at once, but never with the same
// handle from two threads at the same time (the port's transmit thread owns the handle while it
// runs). Backends never throw.
class FtdiDriver {
public:
    virtual ~FtdiDriver() = default;

    // Builds the driver's list of attached devices and reports how many it holds.
    virtual DriverStatus createDeviceList(std::uint32_t& count) = 0;
    // Copies the list built by createDeviceList into storage, never more records than storage
    // holds, and reports the number of devices in the list, which may be larger than storage.
    virtual DriverStatus getDeviceList(std::span<DeviceRecord> storage, std::uint32_t& count) = 0;

    virtual DriverStatus open(int position, DeviceHandle& handle) = 0;
    virtual DriverStatus resetDevice(DeviceHandle handle) = 0;
    // The baud rate is the chip's 3 MHz base divided by divisor.
    virtual DriverStatus setDivisor(DeviceHandle handle, std::uint16_t divisor) = 0;
    virtual DriverStatus setDataCharacteristics(DeviceHandle handle, std::uint8_t wordLength,
                                                std::uint8_t stopBits, std::uint8_t parity) = 0;
    virtual DriverStatus setFlowControl(DeviceHandle handle, std::uint16_t flowControl, std::uint8_t xon,
                                        std::uint8_t xoff) = 0;
    virtual DriverStatus clearRts(DeviceHandle handle) = 0;
    virtual DriverStatus purge(DeviceHandle handle, std::uint32_t mask) = 0;
    // Bounds, in milliseconds, how long a read and a write (the break's requests included where the
    // backend sends them as writes) wait for an adapter that stops taking data; a write that runs
    // out of time returns a failure or fewer bytes written than asked.
    virtual DriverStatus setTimeouts(DeviceHandle handle, std::uint32_t readTimeout,
                                     std::uint32_t writeTimeout) = 0;
    virtual DriverStatus setBreakOn(DeviceHandle handle) = 0;
    virtual DriverStatus setBreakOff(DeviceHandle handle) = 0;
    // Queues bytes for transmission; returns once the adapter has taken them.
    virtual DriverStatus write(DeviceHandle handle, std::span<const std::uint8_t> bytes,
                               std::uint32_t& written) = 0;
    virtual DriverStatus close(DeviceHandle handle) = 0;
};

} // namespace lumora::hw
