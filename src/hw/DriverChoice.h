#pragma once

#include "hw/FtdiDriver.h"

#include <memory>
#include <string>

namespace lumora::hw {

// The driver for this run, chosen once at start-up without any configuration: the vendor's D2XX
// library when the system's loader finds it with every function needed, otherwise libftdi1 on Linux
// and, on Windows, where the vendor's library is the only driver, NoDriver.
std::unique_ptr<FtdiDriver> chooseDriver();

// The same choice with the vendor library named or located by vendorLibrary.
std::unique_ptr<FtdiDriver> chooseDriver(const std::string& vendorLibrary);

} // namespace lumora::hw
