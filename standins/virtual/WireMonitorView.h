#pragma once

#include "virtual/WireObservation.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace lumora::wire {

// Turns what the monitor observed into text: a full screen for people, redrawn in place, and one
// line of key=value fields for tests and scripts.
class WireMonitorView {
public:
    enum class Colour { Off, On };

    // levelsPerRow divides 512: 16 for an 80-column terminal, 32 for a wide one.
    WireMonitorView(std::size_t levelsPerRow, Colour colour);

    // Lines separated by '\n'; levels other than 0 stand out when colour is on.
    std::string screen(const WireObservation& observation) const;

    // state=absent, or state=running|ended with frames, irregular, fps, break_us, mab_us,
    // period_us, start (- without a start code), slots, open, pid, age_ms, crc (CRC-32 of the 512
    // levels) and lit (up to eight channel:level pairs of levels other than 0, - when all are 0).
    static std::string summaryLine(const WireObservation& observation);

    static std::uint32_t levelsCrc(const std::array<std::uint8_t, kUniverseSlots>& levels);

private:
    void appendGrid(std::string& text, const WireSnapshot& snapshot) const;

    std::size_t levelsPerRow_;
    Colour colour_;
};

} // namespace lumora::wire
