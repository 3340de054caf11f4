#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace lumora {

inline constexpr std::size_t kChannelCount = 512;

// The levels of the 512 DMX slots; index 0 is slot 1.
using ChannelLevels = std::array<std::uint8_t, kChannelCount>;
// The highest level of a slot: a fader at the top of its travel.
inline constexpr int kTopLevel = 255;

} // namespace lumora
