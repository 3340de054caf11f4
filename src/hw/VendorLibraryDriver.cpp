#include "hw/VendorLibraryDriver.h"

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

namespace lumora::hw {

namespace {

DriverStatus statusOf(d2xx::Status status) {
    return static_cast<DriverStatus>(status);
}

template <typename Function>
bool resolve(const SharedLibrary& library, const char* name, Function& function) {
    function = library.function<Function>(name);
    return function != nullptr;
}

} // namespace

std::unique_ptr<VendorLibraryDriver> VendorLibraryDriver::load(const std::string& library) {
    SharedLibrary loaded(library);
    if (!loaded.isLoaded()) {
        return nullptr;
    }
    d2xx::Functions f;
    const bool complete =
        resolve(loaded, "FT_CreateDeviceInfoList", f.createDeviceInfoList) &&
        resolve(loaded, "FT_GetDeviceInfoList", f.getDeviceInfoList) && resolve(loaded, "FT_Open", f.open) &&
        resolve(loaded, "FT_ResetDevice", f.resetDevice) && resolve(loaded, "FT_SetDivisor", f.setDivisor) &&
        resolve(loaded, "FT_SetDataCharacteristics", f.setDataCharacteristics) &&
        resolve(loaded, "FT_SetFlowControl", f.setFlowControl) && resolve(loaded, "FT_ClrRts", f.clrRts) &&
        resolve(loaded, "FT_Purge", f.purge) && resolve(loaded, "FT_SetTimeouts", f.setTimeouts) &&
        resolve(loaded, "FT_SetBreakOn", f.setBreakOn) && resolve(loaded, "FT_SetBreakOff", f.setBreakOff) &&
        resolve(loaded, "FT_Write", f.write) && resolve(loaded, "FT_Close", f.close);
    if (!complete) {
        return nullptr;
    }
    return std::make_unique<VendorLibraryDriver>(std::move(loaded), f);
}

VendorLibraryDriver::VendorLibraryDriver(SharedLibrary library, const d2xx::Functions& functions)
    : library_(std::move(library))
    , functions_(functions) {}

DriverStatus VendorLibraryDriver::createDeviceList(std::uint32_t& count) {
    std::lock_guard lock(listMutex_);
    d2xx::Dword size = 0;
    const DriverStatus status = statusOf(functions_.createDeviceInfoList(&size));
    listSize_ = succeeded(status) ? size : 0;
    count = listSize_;
    return status;
}

DriverStatus VendorLibraryDriver::getDeviceList(std::span<DeviceRecord> storage, std::uint32_t& count) {
    // The library writes its whole list wherever it is pointed, so it fills a buffer of the size it
    // last reported, and only what fits is copied on. Before any list was built there is nothing to
    // copy and no size to trust.
    std::lock_guard lock(listMutex_);
    count = 0;
    if (listSize_ == 0) {
        return DriverStatus::Ok;
    }
    std::vector<DeviceRecord> nodes;
    try {
        nodes.resize(listSize_);
    } catch (const std::bad_alloc&) {
        return DriverStatus::InsufficientResources;
    }
    d2xx::Dword reported = listSize_;
    const DriverStatus status = statusOf(functions_.getDeviceInfoList(nodes.data(), &reported));
    if (!succeeded(status)) {
        return status;
    }
    const std::size_t copied = std::min({storage.size(), nodes.size(), std::size_t{reported}});
    std::copy_n(nodes.begin(), copied, storage.begin());
    count = reported;
    return status;
}

DriverStatus VendorLibraryDriver::open(int position, DeviceHandle& handle) {
    d2xx::Handle opened = nullptr;
    const DriverStatus status = statusOf(functions_.open(position, &opened));
    handle = opened;
    return status;
}

DriverStatus VendorLibraryDriver::resetDevice(DeviceHandle handle) {
    return statusOf(functions_.resetDevice(handle));
}

DriverStatus VendorLibraryDriver::setDivisor(DeviceHandle handle, std::uint16_t divisor) {
    return statusOf(functions_.setDivisor(handle, divisor));
}

DriverStatus VendorLibraryDriver::setDataCharacteristics(DeviceHandle handle, std::uint8_t wordLength,
                                                         std::uint8_t stopBits, std::uint8_t parity) {
    return statusOf(functions_.setDataCharacteristics(handle, wordLength, stopBits, parity));
}

DriverStatus VendorLibraryDriver::setFlowControl(DeviceHandle handle, std::uint16_t flowControl,
                                                 std::uint8_t xon, std::uint8_t xoff) {
    return statusOf(functions_.setFlowControl(handle, flowControl, xon, xoff));
}

DriverStatus VendorLibraryDriver::clearRts(DeviceHandle handle) {
    return statusOf(functions_.clrRts(handle));
}

DriverStatus VendorLibraryDriver::purge(DeviceHandle handle, std::uint32_t mask) {
    return statusOf(functions_.purge(handle, mask));
}

DriverStatus VendorLibraryDriver::setTimeouts(DeviceHandle handle, std::uint32_t readTimeout,
                                              std::uint32_t writeTimeout) {
    return statusOf(functions_.setTimeouts(handle, readTimeout, writeTimeout));
}

DriverStatus VendorLibraryDriver::setBreakOn(DeviceHandle handle) {
    return statusOf(functions_.setBreakOn(handle));
}

DriverStatus VendorLibraryDriver::setBreakOff(DeviceHandle handle) {
    return statusOf(functions_.setBreakOff(handle));
}

DriverStatus VendorLibraryDriver::write(DeviceHandle handle, std::span<const std::uint8_t> bytes,
                                        std::uint32_t& written) {
    written = 0;
    if (bytes.size() > std::numeric_limits<d2xx::Dword>::max()) {
        return DriverStatus::InvalidParameter;
    }
    d2xx::Dword sent = 0;
    const DriverStatus status =
        statusOf(functions_.write(handle, bytes.data(), static_cast<d2xx::Dword>(bytes.size()), &sent));
    written = sent;
    return status;
}

DriverStatus VendorLibraryDriver::close(DeviceHandle handle) {
    return statusOf(functions_.close(handle));
}

} // namespace lumora::hw
