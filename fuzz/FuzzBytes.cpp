#include "FuzzBytes.h"

#include <algorithm>

namespace lumora::fuzz {

std::uint8_t FuzzBytes::byte() {
    if (rest_.empty()) {
        return 0;
    }
    const std::uint8_t value = rest_.front();
    rest_ = rest_.subspan(1);
    return value;
}

std::uint16_t FuzzBytes::u16() {
    const auto low = byte();
    return static_cast<std::uint16_t>(low | (byte() << 8));
}

std::uint32_t FuzzBytes::u32() {
    const std::uint32_t low = u16();
    return low | (std::uint32_t{u16()} << 16);
}

std::span<const std::uint8_t> FuzzBytes::take(std::size_t count) {
    const auto taken = rest_.first(std::min(count, rest_.size()));
    rest_ = rest_.subspan(taken.size());
    return taken;
}

} // namespace lumora::fuzz
