#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace lumora::wire {

// The shared-memory segment the virtual adapter publishes its wire in, unless the variable below
// names another one (tests give each run its own).
inline constexpr const char* kDefaultSegmentName = "/lumora-dmx-virtual-wire";
inline constexpr const char* kSegmentNameVariable = "LUMORA_VIRTUAL_WIRE";

inline constexpr std::size_t kUniverseSlots = 512;

// What the virtual adapter tells about its line: the last complete frame and running figures. Times
// are in nanoseconds; publishedAtNs is on the steady clock, which every process on the machine
// shares, so a reader can tell how old the frame is.
struct WireSnapshot {
    std::uint64_t frames = 0;          // complete frames since the library started
    std::uint64_t irregularFrames = 0; // of them, those without start code 0 followed by 512 slots
    std::int64_t breakNs = 0;
    std::int64_t markAfterBreakNs = 0;
    std::int64_t periodNs = 0; // from this frame's break to the next one's
    double framesPerSecond = 0.0;
    std::int64_t publishedAtNs = 0;
    std::int32_t writerPid = 0;
    std::uint32_t openHandles = 0;
    std::uint32_t slotCount = 0; // slots after the start code; levels keeps the first 512
    std::uint8_t hasStartCode = 0;
    std::uint8_t startCode = 0;
    std::array<std::uint8_t, kUniverseSlots> levels = {};
};

} // namespace lumora::wire
