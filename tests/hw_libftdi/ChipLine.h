#pragma once

#include "FakeUsbBus.h"
#include "simulated/DriverCall.h"

#include <cstdint>
#include <vector>

namespace lumora::test {

// FTDI's vendor request numbers, as the chip receives them.
inline constexpr std::uint8_t kReset = 0;
inline constexpr std::uint8_t kModemControl = 1;
inline constexpr std::uint8_t kFlowControl = 2;
inline constexpr std::uint8_t kBaudRate = 3;
inline constexpr std::uint8_t kData = 4;
inline constexpr std::uint8_t kVendorOut = 0x40;

// The line settings that a data request gives the chip.
struct DataSettings {
    int dataBits = 0;
    int parity = 0;   // 0 none, 1 odd, 2 even, 3 mark, 4 space
    int stopBits = 0; // 0 one, 1 one and a half, 2 two
    bool breakOn = false;
};
DataSettings dataSettingsOf(const UsbRequest& request);

// The bit rate an FT232R makes of a baud-rate request: its 3 MHz base over a divisor of 14 integer
// bits and an eighths fraction coded in the top two bits of the value and the lowest bit of the index.
double chipBaudOf(const UsbRequest& request);

// The control requests with this request number, in order.
std::vector<UsbRequest> controlsOf(const std::vector<UsbRequest>& requests, std::uint8_t request);
std::vector<UsbRequest> ofKind(const std::vector<UsbRequest>& requests, UsbRequest::Kind kind);

// Replays what the chip was asked to put on its line as the driver calls the wire decoder reads: the
// break from the data requests, and the bytes of each bulk write queued behind the ones before it,
// each lasting as long as the baud rate and line settings last given to the chip make it.
std::vector<hw::DriverCall> lineCallsOf(const std::vector<UsbRequest>& requests);

} // namespace lumora::test
