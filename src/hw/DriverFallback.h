#pragma once

#include "hw/FtdiDriver.h"

#include <memory>

namespace lumora::hw {

// The driver used when the vendor's library does not load: libftdi1 on Linux; on Windows, where the
// vendor's library is the only driver, one that lists no device.
std::unique_ptr<FtdiDriver> fallbackDriver();

} // namespace lumora::hw
