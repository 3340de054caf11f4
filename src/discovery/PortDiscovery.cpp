#include "discovery/PortDiscovery.h"

#include "discovery/DiscoverySink.h"
#include "hw/FtdiDriver.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace lumora {

namespace {

// Obtains room for count records; false when the memory cannot be had.
bool allocateRecords(std::vector<hw::DeviceRecord>& records, std::uint32_t count) {
    try {
        records.resize(count);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

// The entry label carries the driver's device-type code, the same for every FT232R.
std::string entryLabel(const hw::DeviceRecord& record) {
    return "COM" + std::to_string(record.type);
}

} // namespace

bool discoverPorts(hw::FtdiDriver& driver, DeviceIndex& deviceIndex, DiscoverySink& sink) {
    std::uint32_t count = 0;
    if (hw::succeeded(driver.createDeviceList(count))) {
        std::vector<hw::DeviceRecord> records;
        if (!allocateRecords(records, count)) {
            sink.showWarning(kNoStorageMessage);
            return false;
        }
        std::uint32_t reported = 0;
        if (hw::succeeded(driver.getDeviceList(records, reported))) {
            // The driver may report more devices than it was given room for; only the records
            // that were both allocated and reported are read.
            const std::size_t usable = std::min<std::size_t>(records.size(), reported);
            for (std::size_t i = 0; i < usable; ++i) {
                if (hw::fieldText(records[i].description) == kWantedDescription) {
                    sink.appendEntry(entryLabel(records[i]));
                    deviceIndex = static_cast<DeviceIndex>(i);
                }
            }
        }
    }
    if (deviceIndex >= 0) {
        return true;
    }
    sink.showWarning(std::string(kWantedDescription) + std::string(kNotFoundSuffix));
    return false;
}

} // namespace lumora
