#pragma once

#include "hw/DeviceIndex.h"

#include <cstdint>
#include <string_view>

namespace lumora {

class DiscoverySink;
namespace hw {
class FtdiDriver;
}

// The driver's description of the adapters the console drives, compared in full.
inline constexpr std::string_view kWantedDescription = "FT232R USB UART";
// The most devices a driver's list can plausibly hold. A larger count is taken for storage that
// cannot be had, so a misbehaving driver cannot make discovery allocate and zero gigabytes.
inline constexpr std::uint32_t kMostDevices = 65536;

// What one run of discovery found.
struct PortsFound {
    // deviceIndex is 0 or more at the end: there is a position to open.
    bool usable = false;
    // This run found an adapter, so deviceIndex is a position it found, not one kept from earlier.
    bool foundNow = false;
};

// Finds the FT232R adapters in the driver's device list: appends one entry per adapter to the sink
// and leaves deviceIndex at the list position of the last one. A run that finds none leaves
// deviceIndex as it was. Usable when deviceIndex is 0 or more at the end, except that a list whose
// storage cannot be had (or whose count exceeds kMostDevices) is not. The sink hears why when no port
// is usable.
PortsFound discoverPorts(hw::FtdiDriver& driver, DeviceIndex& deviceIndex, DiscoverySink& sink);

} // namespace lumora
