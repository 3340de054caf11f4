#pragma once

#include "simulated/DriverCall.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

namespace lumora::hw {

// One DMX512 packet as it appeared on the simulated line.
struct WireFrame {
    using Clock = std::chrono::steady_clock;

    Clock::time_point breakStart;
    Clock::duration breakLength = Clock::duration::zero();
    // From the end of the break to the start bit of the first byte; zero when no byte followed.
    Clock::duration markAfterBreak = Clock::duration::zero();
    bool hasStartCode = false;
    std::uint8_t startCode = 0;
    std::vector<std::uint8_t> slotBytes; // the bytes after the start code
    // From this frame's break to the next one's; zero for the last frame.
    Clock::duration period = Clock::duration::zero();
};

// Rebuilds the line from a simulated adapter's record of successful break and write calls.
// Bytes still on the line when a break begins are cut by it and belong to no frame; bytes sent
// before the first break belong to no frame either.
std::vector<WireFrame> decodeWireFrames(std::span<const DriverCall> calls);

} // namespace lumora::hw
