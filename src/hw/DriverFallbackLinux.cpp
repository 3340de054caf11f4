#include "hw/DriverFallback.h"

#include "hw/LibFtdiDriver.h"

namespace lumora::hw {

std::unique_ptr<FtdiDriver> fallbackDriver() {
    return std::make_unique<LibFtdiDriver>();
}

} // namespace lumora::hw
