#include "hw/NoDriver.h"

namespace lumora::hw {

DriverStatus NoDriver::createDeviceList(std::uint32_t& count) {
    count = 0;
    return DriverStatus::Ok;
}

DriverStatus NoDriver::getDeviceList(std::span<DeviceRecord>, std::uint32_t& count) {
    count = 0;
    return DriverStatus::Ok;
}

DriverStatus NoDriver::open(int, DeviceHandle& handle) {
    handle = nullptr;
    return DriverStatus::DeviceNotFound;
}

DriverStatus NoDriver::resetDevice(DeviceHandle) {
    return DriverStatus::InvalidHandle;
}

DriverStatus NoDriver::setDivisor(DeviceHandle, std::uint16_t) {
    return DriverStatus::InvalidHandle;
}

DriverStatus NoDriver::setDataCharacteristics(DeviceHandle, std::uint8_t, std::uint8_t, std::uint8_t) {
    return DriverStatus::InvalidHandle;
}

DriverStatus NoDriver::setFlowControl(DeviceHandle, std::uint16_t, std::uint8_t, std::uint8_t) {
    return DriverStatus::InvalidHandle;
}

DriverStatus NoDriver::clearRts(DeviceHandle) {
    return DriverStatus::InvalidHandle;
}

DriverStatus NoDriver::purge(DeviceHandle, std::uint32_t) {
    return DriverStatus::InvalidHandle;
}

DriverStatus NoDriver::setTimeouts(DeviceHandle, std::uint32_t, std::uint32_t) {
    return DriverStatus::InvalidHandle;
}

DriverStatus NoDriver::setBreakOn(DeviceHandle) {
    return DriverStatus::InvalidHandle;
}

DriverStatus NoDriver::setBreakOff(DeviceHandle) {
    return DriverStatus::InvalidHandle;
}

DriverStatus NoDriver::write(DeviceHandle, std::span<const std::uint8_t>, std::uint32_t& written) {
    written = 0;
    return DriverStatus::InvalidHandle;
}

DriverStatus NoDriver::close(DeviceHandle) {
    return DriverStatus::InvalidHandle;
}

} // namespace lumora::hw
