#include "ScriptedDriver.h"

#include <algorithm>

namespace lumora::fuzz {

hw::DriverStatus ScriptedDriver::createDeviceList(std::uint32_t& count) {
    ++createCalls_;
    count = script_.createdCount;
    return script_.createStatus;
}

hw::DriverStatus ScriptedDriver::getDeviceList(std::span<hw::DeviceRecord> storage, std::uint32_t& count) {
    ++copyCalls_;
    copyStorage_ = storage.size();
    const std::size_t copied = std::min(storage.size(), script_.records.size());
    std::copy_n(script_.records.begin(), copied, storage.begin());
    count = script_.reportedCount;
    return script_.copyStatus;
}

hw::DriverStatus ScriptedDriver::refuse() {
    ++otherCalls_;
    return hw::DriverStatus::NotSupported;
}

hw::DriverStatus ScriptedDriver::open(int /*position*/, hw::DeviceHandle& /*handle*/) {
    return refuse();
}

hw::DriverStatus ScriptedDriver::resetDevice(hw::DeviceHandle /*handle*/) {
    return refuse();
}

hw::DriverStatus ScriptedDriver::setDivisor(hw::DeviceHandle /*handle*/, std::uint16_t /*divisor*/) {
    return refuse();
}

hw::DriverStatus ScriptedDriver::setDataCharacteristics(hw::DeviceHandle /*handle*/,
                                                        std::uint8_t /*wordLength*/,
                                                        std::uint8_t /*stopBits*/, std::uint8_t /*parity*/) {
    return refuse();
}

hw::DriverStatus ScriptedDriver::setFlowControl(hw::DeviceHandle /*handle*/, std::uint16_t /*flowControl*/,
                                                std::uint8_t /*xon*/, std::uint8_t /*xoff*/) {
    return refuse();
}

hw::DriverStatus ScriptedDriver::clearRts(hw::DeviceHandle /*handle*/) {
    return refuse();
}

hw::DriverStatus ScriptedDriver::purge(hw::DeviceHandle /*handle*/, std::uint32_t /*mask*/) {
    return refuse();
}

hw::DriverStatus ScriptedDriver::setBreakOn(hw::DeviceHandle /*handle*/) {
    return refuse();
}

hw::DriverStatus ScriptedDriver::setBreakOff(hw::DeviceHandle /*handle*/) {
    return refuse();
}

hw::DriverStatus ScriptedDriver::write(hw::DeviceHandle /*handle*/, std::span<const std::uint8_t> /*bytes*/,
                                       std::uint32_t& /*written*/) {
    return refuse();
}

hw::DriverStatus ScriptedDriver::close(hw::DeviceHandle /*handle*/) {
    return refuse();
}

} // namespace lumora::fuzz
