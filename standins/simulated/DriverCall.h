#pragma once

#include "hw/DeviceRecord.h"
#include "hw/DriverStatus.h"

#include <array>
#include <chrono>
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
    SetBreakOn,
    SetBreakOff,
    Write,
    Close,
};
inline constexpr std::size_t kOperationCount = 13;

std::string_view operationName(Operation operation);

// One driver call as the simulated adapter saw it.
struct DriverCall {
    using Clock = std::chrono::steady_clock;

    Operation operation = Operation::CreateDeviceList;
    DeviceHandle handle = nullptr;
    // The call's scalar arguments in the order of the driver operation: the position for Open,
    // the divisor, word length / stop bits / parity, flow / XON / XOFF, the purge mask.
    std::array<std::uint32_t, 3> arguments = {};
    std::vector<std::uint8_t> data; // bytes handed to Write
    DriverStatus status = DriverStatus::Ok;
    // How long the adapter may hold the call back before it returns; zero unless it was stalled.
    Clock::duration stallLimit = Clock::duration::zero();
    Clock::time_point started;
    Clock::time_point finished;
    std::thread::id thread;
    // Write only: when the first byte starts on the wire and how long each byte takes there.
    Clock::time_point wireStart;
    Clock::duration byteTime = Clock::duration::zero();
};

} // namespace lumora::hw
