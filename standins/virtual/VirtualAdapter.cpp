#include "virtual/VirtualAdapter.h"

#include <span>
#include <unistd.h>

namespace lumora::wire {

VirtualAdapter& VirtualAdapter::instance() {
    static VirtualAdapter adapter;
    return adapter;
}

VirtualAdapter::VirtualAdapter()
    : segment_(WireSegment::createForWriting(WireSegment::nameFromEnvironment()))
    , tap_(static_cast<std::int32_t>(getpid()),
           [this](const WireSnapshot& snapshot) { segment_.publish(snapshot); }) {
    adapter_.keepCallRecord(false);
    adapter_.observeCalls([this](const hw::DriverCall& call) { tap_.onCall(call); });
    adapter_.attach(hw::SimulatedDevice{});
}

hw::d2xx::Status VirtualAdapter::createDeviceInfoList(hw::d2xx::Dword* count) noexcept {
    if (count == nullptr) {
        return status(hw::DriverStatus::InvalidParameter);
    }
    std::lock_guard lock(listMutex_);
    std::uint32_t size = 0;
    const hw::d2xx::Status result =
        run([&size](hw::SimulatedAdapter& a) { return a.createDeviceList(size); });
    listSize_ = size;
    *count = size;
    return result;
}

hw::d2xx::Status VirtualAdapter::getDeviceInfoList(hw::DeviceRecord* nodes, hw::d2xx::Dword* count) noexcept {
    if (nodes == nullptr || count == nullptr) {
        return status(hw::DriverStatus::InvalidParameter);
    }
    std::lock_guard lock(listMutex_);
    std::uint32_t reported = 0;
    const std::span<hw::DeviceRecord> storage(nodes, listSize_);
    const hw::d2xx::Status result =
        run([&](hw::SimulatedAdapter& a) { return a.getDeviceList(storage, reported); });
    *count = reported;
    return result;
}

hw::d2xx::Status VirtualAdapter::open(int position, hw::d2xx::Handle* handle) noexcept {
    if (handle == nullptr) {
        return status(hw::DriverStatus::InvalidParameter);
    }
    return run([&](hw::SimulatedAdapter& a) { return a.open(position, *handle); });
}

hw::d2xx::Status VirtualAdapter::write(hw::d2xx::Handle handle, const void* buffer, hw::d2xx::Dword size,
                                       hw::d2xx::Dword* written) noexcept {
    if ((buffer == nullptr && size > 0) || written == nullptr) {
        return status(hw::DriverStatus::InvalidParameter);
    }
    const std::span<const std::uint8_t> bytes(static_cast<const std::uint8_t*>(buffer), size);
    std::uint32_t sent = 0;
    const hw::d2xx::Status result =
        run([&](hw::SimulatedAdapter& a) { return a.write(handle, bytes, sent); });
    *written = sent;
    return result;
}

} // namespace lumora::wire
