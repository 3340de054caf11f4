#pragma once

#include "hw/D2xxFunctions.h"
#include "hw/FtdiDriver.h"
#include "platform/SharedLibrary.h"

#include <memory>
#include <mutex>
#include <string>

namespace lumora::hw {

// The vendor's D2XX library as the system's loader finds it by this name.
#if defined(_WIN32)
inline constexpr const char* kVendorLibraryName = "FTD2XX.dll";
#else
inline constexpr const char* kVendorLibraryName = "libftd2xx.so";
#endif

// The driver interface forwarded to the vendor's D2XX library, loaded at run time. Statuses and
// handles pass through unchanged.
//
// Thread rules as FtdiDriver describes: calls go straight to the library, and only the record of the
// list size is guarded here.
class VendorLibraryDriver final : public FtdiDriver {
public:
    // Loads the library and resolves every function it must have; null when the library cannot be
    // loaded or lacks any of them.
    static std::unique_ptr<VendorLibraryDriver> load(const std::string& library);

    VendorLibraryDriver(SharedLibrary library, const d2xx::Functions& functions);

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
    SharedLibrary library_;
    const d2xx::Functions functions_;
    std::mutex listMutex_;
    // The size of the list the library built last; its list call writes that many records.
    std::uint32_t listSize_ = 0;
};

} // namespace lumora::hw
