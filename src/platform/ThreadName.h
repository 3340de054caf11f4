#pragma once

namespace lumora {

// The name the transmit thread goes by in ps, top and debuggers.
inline constexpr const char* kTransmitThreadName = "dmx-transmit";

// Names the calling thread; Linux keeps at most 15 characters. Best effort: a name that cannot
// be set changes nothing else.
void nameCurrentThread(const char* name) noexcept;

} // namespace lumora
