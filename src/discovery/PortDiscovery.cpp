#include "discovery/PortDiscovery.h"

#include "discovery/DiscoverySink.h"
#include "hw/FtdiDriver.h"

#include <algorithm>
#include <memory>
#include <new>
#include <span>
#include <string>

namespace lumora {

namespace {

// Room for count records, or null when the memory cannot be had or the count is beyond any real
// device list. Obtained without exceptions so that a driver reporting an absurd count gets the
// operator's warning, not a crash.
std::unique_ptr<hw::DeviceRecord[]> allocateRecords(std::uint32_t count) {
    if (count > kMostDevices) {
        return nullptr;
    }
    return std::unique_ptr<hw::DeviceRecord[]>(new (std::nothrow) hw::DeviceRecord[count]);
}

// The entry label carries the driver's device-type code, the same for every FT232R.
std::string entryLabel(const hw::DeviceRecord& record) {
    return "COM" + std::to_string(record.type);
}

} // namespace

PortsFound discoverPorts(hw::FtdiDriver& driver, DeviceIndex& deviceIndex, DiscoverySink& sink) {
    PortsFound found;
    std::uint32_t count = 0;
    if (hw::succeeded(driver.createDeviceList(count))) {
        const auto records = allocateRecords(count);
        if (!records) {
            sink.reportProblem(DiscoveryProblem::ListUnreadable);
            return found;
        }
        std::uint32_t reported = 0;
        if (hw::succeeded(driver.getDeviceList(std::span(records.get(), count), reported))) {
            // The driver may report more devices than it was given room for; only the records
            // that were both allocated and reported are read.
            const std::size_t usable = std::min(count, reported);
            for (std::size_t i = 0; i < usable; ++i) {
                if (hw::fieldText(records[i].description) == kWantedDescription) {
                    sink.appendEntry(entryLabel(records[i]));
                    deviceIndex = static_cast<DeviceIndex>(i);
                    found.foundNow = true;
                }
            }
        }
    }
    found.usable = deviceIndex >= 0;
    if (!found.usable) {
        sink.reportProblem(DiscoveryProblem::NoAdapter);
    }
    return found;
}

} // namespace lumora
