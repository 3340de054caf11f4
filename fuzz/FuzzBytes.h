#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace lumora::fuzz {

// Reads a fuzzer's input front to back as the values a target decodes. Once the input runs out
// every read gives zeros, so any input, however short, decodes to something.
class FuzzBytes {
public:
    explicit FuzzBytes(std::span<const std::uint8_t> bytes)
        : rest_(bytes) {}

    bool empty() const { return rest_.empty(); }

    std::uint8_t byte();
    std::uint16_t u16();
    std::uint32_t u32();
    // Up to count bytes, fewer when the input ends first.
    std::span<const std::uint8_t> take(std::size_t count);

private:
    std::span<const std::uint8_t> rest_;
};

} // namespace lumora::fuzz
