#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace lumora {

inline constexpr std::size_t kChannelCount = 512;

// The levels of the 512 DMX slots; index 0 is slot 1.
using ChannelLevels = std::array<std::uint8_t, kChannelCount>;

} // namespace lumora
