#include "hw/DriverChoice.h"

#include "hw/DriverFallback.h"
#include "hw/VendorLibraryDriver.h"

namespace lumora::hw {

std::unique_ptr<FtdiDriver> chooseDriver() {
    return chooseDriver(kVendorLibraryName);
}

std::unique_ptr<FtdiDriver> chooseDriver(const std::string& vendorLibrary) {
    if (auto vendor = VendorLibraryDriver::load(vendorLibrary)) {
        return vendor;
    }
    return fallbackDriver();
}

} // namespace lumora::hw
