#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace lumora {

inline constexpr std::size_t kChannelCount = 512;

// The levels of the 512 DMX slots; index 0 is slot 1.
using ChannelLevels = std::array<std::uint8_t, kChannelCount>;

// A zero-based position in the driver's device list; -1 means none.
using DeviceIndex = std::int32_t;
inline constexpr DeviceIndex kNoDevice = -1;

} // namespace lumora
