#pragma once

#include <cstdint>

namespace lumora {

// A zero-based position in the driver's device list; -1 means none.
using DeviceIndex = std::int32_t;
inline constexpr DeviceIndex kNoDevice = -1;

} // namespace lumora
