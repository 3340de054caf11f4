#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lumora::hw {

using DeviceHandle = void*;

// Device-type codes of the vendor's driver; the ones our backends can report.
enum class DeviceType : std::uint32_t {
    Bm = 0,
    Am = 1,
    B100Ax = 2,
    Unknown = 3,
    Ft2232C = 4,
    Ft232R = 5,
    Ft2232H = 6,
    Ft4232H = 7,
    Ft232H = 8,
    FtX = 9,
};

// One entry of the driver's device list, laid out as the vendor's list node so that the vendor
// backend can fill it directly. The texts are NUL-terminated in the driver's own format, but a
// misbehaving driver may fill a field to the brim: read them only through the bounded helpers.
struct DeviceRecord {
    std::uint32_t flags = 0;
    std::uint32_t type = 0;
    std::uint32_t id = 0;
    std::uint32_t locationId = 0;
    char serialNumber[16] = {};
    char description[64] = {};
    DeviceHandle handle = nullptr;
};

// The text of a fixed-size field up to its first NUL, never past the field's end.
template <std::size_t N> constexpr std::string_view fieldText(const char (&field)[N]) {
    std::size_t length = 0;
    while (length < N && field[length] != '\0') {
        ++length;
    }
    return {field, length};
}

// Copies text into a fixed-size field, truncated so that the field always ends in a NUL.
template <std::size_t N> constexpr void setFieldText(char (&field)[N], std::string_view text) {
    std::size_t i = 0;
    for (; i < text.size() && i + 1 < N; ++i) {
        field[i] = text[i];
    }
    for (; i < N; ++i) {
        field[i] = '\0';
    }
}

} // namespace lumora::hw
