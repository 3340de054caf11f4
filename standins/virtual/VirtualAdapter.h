#pragma once

#include "hw/D2xxFunctions.h"
#include "simulated/SimulatedAdapter.h"
#include "virtual/WireSegment.h"
#include "virtual/WireTap.h"

#include <exception>
#include <mutex>

namespace lumora::wire {

// The process-wide adapter behind the exported D2XX functions: a simulated adapter with one
// "FT232R USB UART" attached, whose line is published in shared memory as the console drives it.
// It keeps no record of calls, so its memory stays flat however long the console runs.
//
// The operations take the D2XX library's arguments and return its status codes; pointers the
// library would write through are checked, and a null one is refused as an invalid parameter.
// Thread rules are the driver's (see FtdiDriver); none of the operations throws.
class VirtualAdapter {
public:
    // Built on first use; throws only when it cannot be built (out of memory).
    static VirtualAdapter& instance();

    VirtualAdapter(const VirtualAdapter&) = delete;
    VirtualAdapter& operator=(const VirtualAdapter&) = delete;

    hw::d2xx::Status createDeviceInfoList(hw::d2xx::Dword* count) noexcept;
    hw::d2xx::Status getDeviceInfoList(hw::DeviceRecord* nodes, hw::d2xx::Dword* count) noexcept;
    hw::d2xx::Status open(int position, hw::d2xx::Handle* handle) noexcept;
    hw::d2xx::Status write(hw::d2xx::Handle handle, const void* buffer, hw::d2xx::Dword size,
                           hw::d2xx::Dword* written) noexcept;
    // Runs one of the adapter's operations that cannot report anything but a status.
    template <typename Operation> hw::d2xx::Status run(Operation operation) noexcept {
        try {
            return status(operation(adapter_));
        } catch (const std::exception&) {
            return status(hw::DriverStatus::InsufficientResources);
        }
    }

private:
    VirtualAdapter();

    static hw::d2xx::Status status(hw::DriverStatus driverStatus) {
        return static_cast<hw::d2xx::Status>(driverStatus);
    }

    WireSegment segment_;
    WireTap tap_;
    std::mutex listMutex_;
    // The size of the list built last, which the list call fills whole, as the vendor's does.
    hw::d2xx::Dword listSize_ = 0;
    // Declared last so that it goes first: its observer points at the tap.
    hw::SimulatedAdapter adapter_;
};

} // namespace lumora::wire
