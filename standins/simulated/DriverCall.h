#pragma once

#include "hw/DeviceRecord.h"
#include "hw/DriverStatus.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <thread>
#include <vector>

namespace lumora::hw {

enum class Operation {
    CreateDeviceList,
    GetDeviceList,
    Open,
    ResetDevice,
    SetDivisor,
    SetDataCharacteristics,
    SetFlowControl,
    ClearRts,
    Purge,
    SetTimeouts,
    SetBreakOn,
    SetBreakOff,
    Write,
    Close,
};
inline constexpr std::size_t kOperationCount = 14;

std::string_view operationName(Operation operation);

// One driver call as the simulated adapter saw it.
struct DriverCall {
    using Clock = std::chrono::steady_clock;

    Operation operation = Operation::CreateDeviceList;
    DeviceHandle handle = nullptr;
    // The call's scalar arguments in the order of the driver operation: the position for Open,
    // the divisor, word length / stop bits / parity, flow / XON / XOFF, the purge mask, the read and
    // write timeouts; the count of bytes asked for by Write.
    std::array<std::uint32_t, 3> arguments = {};
    std::vector<std::uint8_t> data; // the bytes of a Write that the adapter took
    // Write only: the most bytes the adapter takes; fewer than asked when the write was cut short.
    std::size_t takeLimit = SIZE_MAX;
    DriverStatus status = DriverStatus::Ok;
    // How long the adapter may hold the call back before it returns: zero unless it was stalled, and
    // never longer than the handle's write timeout, which makes the call fail when it runs out.
    Clock::duration stallLimit = Clock::duration::zero();
    Clock::time_point started;
    Clock::time_point finished;
    std::thread::id thread;
    // Write only: when the first byte starts on the wire and how long each byte takes there.
    Clock::time_point wireStart;
    Clock::duration byteTime = Clock::duration::zero();
};

} // namespace lumora::hw
