#include "hw/DriverChoice.h"

#include "hw/VendorLibraryDriver.h"

#if defined(_WIN32)
#include "hw/NoDriver.h"
#else
#include "hw/LibFtdiDriver.h"
#endif

namespace lumora::hw {

std::unique_ptr<FtdiDriver> chooseDriver() {
    return chooseDriver(kVendorLibraryName);
}

std::unique_ptr<FtdiDriver> chooseDriver(const std::string& vendorLibrary) {
    if (auto vendor = VendorLibraryDriver::load(vendorLibrary)) {
        return vendor;
    }
#if defined(_WIN32)
    return std::make_unique<NoDriver>();
#else
    return std::make_unique<LibFtdiDriver>();
#endif
}

} // namespace lumora::hw
