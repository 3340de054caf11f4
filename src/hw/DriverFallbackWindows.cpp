#include "hw/DriverFallback.h"

#include "hw/NoDriver.h"

namespace lumora::hw {

std::unique_ptr<FtdiDriver> fallbackDriver() {
    return std::make_unique<NoDriver>();
}

} // namespace lumora::hw
