#pragma once

#include "hw/FtdiDriver.h"

#include <memory>
#include <mutex>
#include <vector>

namespace lumora::hw {

// The driver interface over libftdi1, the open-source FTDI library on libusb.
//
// The device list holds every device of the FTDI vendor/product pairs that libftdi1 knows, in USB
// enumeration order, with the product string as description and the chip family as the vendor's
// device-type code. Open enumerates again and opens the device at the given position, taking it from
// the kernel's serial driver until it is closed. Nothing here waits on the adapter longer than the
// USB timeouts: libftdi1's own until setTimeouts sets them; every libftdi1 error becomes a non-zero
// status.
//
// Thread-safe as FtdiDriver describes: each open device has its own libftdi1 context, and the list
// and the set of open devices are guarded.
class LibFtdiDriver final : public FtdiDriver {
public:
    LibFtdiDriver();
    // Closes the devices still open.
    ~LibFtdiDriver() override;
    LibFtdiDriver(const LibFtdiDriver&) = delete;
    LibFtdiDriver& operator=(const LibFtdiDriver&) = delete;

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

private:
    struct OpenDevice;

    // Runs request on the open device behind handle; a handle this driver did not hand out, or has
    // closed since, is refused.
    template <typename Request> DriverStatus withDevice(DeviceHandle handle, Request request);

    std::mutex mutex_;
    std::vector<DeviceRecord> listed_;
    std::vector<std::unique_ptr<OpenDevice>> open_;
};

} // namespace lumora::hw
