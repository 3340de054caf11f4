#pragma once

#include <cstdint>

namespace lumora::hw {

// Status of a driver operation, numbered as the vendor's D2XX library numbers them so that the
// vendor backend can pass its values through unchanged. Zero is success; every other value,
// including ones not named here, is a failure.
enum class DriverStatus : std::uint32_t {
    Ok = 0,
    InvalidHandle = 1,
    DeviceNotFound = 2,
    DeviceNotOpened = 3,
    IoError = 4,
    InsufficientResources = 5,
    InvalidParameter = 6,
    InvalidBaudRate = 7,
    FailedToWriteDevice = 10,
    InvalidArgs = 16,
    NotSupported = 17,
    OtherError = 18,
};

constexpr bool succeeded(DriverStatus status) {
    return status == DriverStatus::Ok;
}

} // namespace lumora::hw
