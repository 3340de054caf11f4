// The D2XX functions that the console's vendor backend resolves, exported under their own names
// with C linkage, over the process-wide virtual adapter. Nothing may escape into the caller, which
// is C as far as the library knows: the adapter's failure to come up becomes a status like any
// other.

#include "hw/D2xxFunctions.h"
#include "virtual/VirtualAdapter.h"

#include <exception>
#include <type_traits>

namespace {

namespace d2xx = lumora::hw::d2xx;
using lumora::hw::SimulatedAdapter;
using lumora::wire::VirtualAdapter;

// The status for an adapter that could not be built.
constexpr auto kOtherError = static_cast<d2xx::Status>(lumora::hw::DriverStatus::OtherError);

template <typename Call> d2xx::Status guarded(Call call) noexcept {
    try {
        return call(VirtualAdapter::instance());
    } catch (const std::exception&) {
        return kOtherError;
    }
}

// The operations that need nothing of the library's arguments checked.
template <typename Operation> d2xx::Status onAdapter(Operation operation) noexcept {
    return guarded([&](VirtualAdapter& v) { return v.run(operation); });
}

} // namespace

#define LUMORA_EXPORT extern "C" __attribute__((visibility("default")))

LUMORA_EXPORT d2xx::Status FT_CreateDeviceInfoList(d2xx::Dword* count) noexcept {
    return guarded([=](VirtualAdapter& v) { return v.createDeviceInfoList(count); });
}

LUMORA_EXPORT d2xx::Status FT_GetDeviceInfoList(lumora::hw::DeviceRecord* nodes,
                                                d2xx::Dword* count) noexcept {
    return guarded([=](VirtualAdapter& v) { return v.getDeviceInfoList(nodes, count); });
}

LUMORA_EXPORT d2xx::Status FT_Open(int position, d2xx::Handle* handle) noexcept {
    return guarded([=](VirtualAdapter& v) { return v.open(position, handle); });
}

LUMORA_EXPORT d2xx::Status FT_ResetDevice(d2xx::Handle handle) noexcept {
    return onAdapter([=](SimulatedAdapter& a) { return a.resetDevice(handle); });
}

LUMORA_EXPORT d2xx::Status FT_SetDivisor(d2xx::Handle handle, std::uint16_t divisor) noexcept {
    return onAdapter([=](SimulatedAdapter& a) { return a.setDivisor(handle, divisor); });
}

LUMORA_EXPORT d2xx::Status FT_SetDataCharacteristics(d2xx::Handle handle, std::uint8_t wordLength,
                                                     std::uint8_t stopBits, std::uint8_t parity) noexcept {
    return onAdapter(
        [=](SimulatedAdapter& a) { return a.setDataCharacteristics(handle, wordLength, stopBits, parity); });
}

LUMORA_EXPORT d2xx::Status FT_SetFlowControl(d2xx::Handle handle, std::uint16_t flowControl, std::uint8_t xon,
                                             std::uint8_t xoff) noexcept {
    return onAdapter([=](SimulatedAdapter& a) { return a.setFlowControl(handle, flowControl, xon, xoff); });
}

LUMORA_EXPORT d2xx::Status FT_ClrRts(d2xx::Handle handle) noexcept {
    return onAdapter([=](SimulatedAdapter& a) { return a.clearRts(handle); });
}

LUMORA_EXPORT d2xx::Status FT_Purge(d2xx::Handle handle, d2xx::Dword mask) noexcept {
    return onAdapter([=](SimulatedAdapter& a) { return a.purge(handle, mask); });
}

LUMORA_EXPORT d2xx::Status FT_SetTimeouts(d2xx::Handle handle, d2xx::Dword readTimeout,
                                          d2xx::Dword writeTimeout) noexcept {
    return onAdapter([=](SimulatedAdapter& a) { return a.setTimeouts(handle, readTimeout, writeTimeout); });
}

LUMORA_EXPORT d2xx::Status FT_SetBreakOn(d2xx::Handle handle) noexcept {
    return onAdapter([=](SimulatedAdapter& a) { return a.setBreakOn(handle); });
}

LUMORA_EXPORT d2xx::Status FT_SetBreakOff(d2xx::Handle handle) noexcept {
    return onAdapter([=](SimulatedAdapter& a) { return a.setBreakOff(handle); });
}

LUMORA_EXPORT d2xx::Status FT_Write(d2xx::Handle handle, const void* buffer, d2xx::Dword size,
                                    d2xx::Dword* written) noexcept {
    return guarded([=](VirtualAdapter& v) { return v.write(handle, buffer, size, written); });
}

LUMORA_EXPORT d2xx::Status FT_Close(d2xx::Handle handle) noexcept {
    return onAdapter([=](SimulatedAdapter& a) { return a.close(handle); });
}

// The vendor backend calls these through its own declarations of the library's functions.
static_assert(std::is_convertible_v<decltype(&FT_CreateDeviceInfoList), d2xx::CreateDeviceInfoList>);
static_assert(std::is_convertible_v<decltype(&FT_GetDeviceInfoList), d2xx::GetDeviceInfoList>);
static_assert(std::is_convertible_v<decltype(&FT_Open), d2xx::Open>);
static_assert(std::is_convertible_v<decltype(&FT_ResetDevice), d2xx::HandleOnly>);
static_assert(std::is_convertible_v<decltype(&FT_SetDivisor), d2xx::SetDivisor>);
static_assert(std::is_convertible_v<decltype(&FT_SetDataCharacteristics), d2xx::SetDataCharacteristics>);
static_assert(std::is_convertible_v<decltype(&FT_SetFlowControl), d2xx::SetFlowControl>);
static_assert(std::is_convertible_v<decltype(&FT_ClrRts), d2xx::HandleOnly>);
static_assert(std::is_convertible_v<decltype(&FT_Purge), d2xx::Purge>);
static_assert(std::is_convertible_v<decltype(&FT_SetTimeouts), d2xx::SetTimeouts>);
static_assert(std::is_convertible_v<decltype(&FT_SetBreakOn), d2xx::HandleOnly>);
static_assert(std::is_convertible_v<decltype(&FT_SetBreakOff), d2xx::HandleOnly>);
static_assert(std::is_convertible_v<decltype(&FT_Write), d2xx::Write>);
static_assert(std::is_convertible_v<decltype(&FT_Close), d2xx::HandleOnly>);
