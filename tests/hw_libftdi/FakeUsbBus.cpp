#include "FakeUsbBus.h"

#include <libusb.h>
#include <thread>

namespace lumora::test {

FakeUsbBus& FakeUsbBus::instance() {
    static FakeUsbBus bus;
    return bus;
}

void FakeUsbBus::reset() {
    std::lock_guard lock(mutex_);
    devices_.clear();
    handles_.clear();
    sessions_ = 0;
    failSessions_ = false;
    refuseBulk_ = false;
    hangBulk_ = false;
    refusedControls_.clear();
    record_.clear();
}

int FakeUsbBus::attach(const FakeUsbDevice& device) {
    std::lock_guard lock(mutex_);
    devices_.push_back({device});
    return static_cast<int>(devices_.size()) - 1;
}

void FakeUsbBus::unplug(int device) {
    std::lock_guard lock(mutex_);
    devices_.at(static_cast<std::size_t>(device)).plugged = false;
}

void FakeUsbBus::denyAccess(int device) {
    std::lock_guard lock(mutex_);
    devices_.at(static_cast<std::size_t>(device)).accessible = false;
}

void FakeUsbBus::refuseControl(std::uint8_t request) {
    std::lock_guard lock(mutex_);
    refusedControls_.insert(request);
}

void FakeUsbBus::refuseBulk() {
    std::lock_guard lock(mutex_);
    refuseBulk_ = true;
}

void FakeUsbBus::failSessions() {
    std::lock_guard lock(mutex_);
    failSessions_ = true;
}

std::vector<UsbRequest> FakeUsbBus::requests() const {
    std::lock_guard lock(mutex_);
    return record_;
}

void FakeUsbBus::clearRequests() {
    std::lock_guard lock(mutex_);
    record_.clear();
}

bool FakeUsbBus::kernelDriverBound(int device) const {
    std::lock_guard lock(mutex_);
    return devices_.at(static_cast<std::size_t>(device)).kernelDriverBound;
}

int FakeUsbBus::liveSessions() const {
    std::lock_guard lock(mutex_);
    return sessions_;
}

int FakeUsbBus::openHandles() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(handles_.size());
}

bool FakeUsbBus::startSession() {
    std::lock_guard lock(mutex_);
    if (failSessions_) {
        return false;
    }
    ++sessions_;
    return true;
}

void FakeUsbBus::endSession() {
    std::lock_guard lock(mutex_);
    --sessions_;
}

std::vector<int> FakeUsbBus::listedDevices() const {
    std::lock_guard lock(mutex_);
    std::vector<int> listed;
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        if (devices_[i].plugged) {
            listed.push_back(static_cast<int>(i));
        }
    }
    return listed;
}

std::optional<FakeUsbDevice> FakeUsbBus::device(int device) const {
    std::lock_guard lock(mutex_);
    if (device < 0 || static_cast<std::size_t>(device) >= devices_.size()) {
        return std::nullopt;
    }
    return devices_[static_cast<std::size_t>(device)].info;
}

UsbRequest& FakeUsbBus::record(UsbRequest::Kind kind, int handle) {
    UsbRequest& request = record_.emplace_back();
    request.kind = kind;
    request.handle = handle;
    const auto found = handles_.find(handle);
    request.device = found != handles_.end() ? found->second.device : -1;
    request.time = UsbRequest::Clock::now();
    return request;
}

int FakeUsbBus::deviceOf(int handle) const {
    const auto found = handles_.find(handle);
    if (found == handles_.end() || !devices_[static_cast<std::size_t>(found->second.device)].plugged) {
        return LIBUSB_ERROR_NO_DEVICE;
    }
    return found->second.device;
}

int FakeUsbBus::open(int device) {
    std::lock_guard lock(mutex_);
    const Attached& attached = devices_.at(static_cast<std::size_t>(device));
    int result = LIBUSB_ERROR_NO_DEVICE;
    if (attached.plugged) {
        result = attached.accessible ? nextHandle_++ : LIBUSB_ERROR_ACCESS;
    }
    if (result > 0) {
        handles_[result] = {device};
    }
    UsbRequest& request = record(UsbRequest::Kind::Open, result);
    request.device = device;
    request.result = result;
    return result;
}

void FakeUsbBus::close(int handle) {
    std::lock_guard lock(mutex_);
    record(UsbRequest::Kind::Close, handle);
    const auto found = handles_.find(handle);
    if (found == handles_.end()) {
        return;
    }
    // Closing gives up a claimed interface, but only a release lets libusb bind the kernel driver again.
    Attached& attached = devices_[static_cast<std::size_t>(found->second.device)];
    if (attached.claimedBy == handle) {
        attached.claimedBy = -1;
    }
    handles_.erase(found);
}

int FakeUsbBus::stringDescriptor(int handle, std::uint8_t index, std::string& text) {
    std::lock_guard lock(mutex_);
    int result = deviceOf(handle);
    if (result >= 0) {
        const FakeUsbDevice& info = devices_[static_cast<std::size_t>(result)].info;
        if (index == 1) {
            text = info.manufacturer;
        } else if (index == 2) {
            text = info.product;
        } else if (index == 3 && !info.serialNumber.empty()) {
            text = info.serialNumber;
        } else {
            result = index == 0 ? LIBUSB_ERROR_INVALID_PARAM : LIBUSB_ERROR_PIPE;
        }
    }
    UsbRequest& request = record(UsbRequest::Kind::StringDescriptor, handle);
    request.value = index;
    request.result = result < 0 ? result : 0;
    return request.result;
}

int FakeUsbBus::detachKernelDriver(int handle, int interface) {
    std::lock_guard lock(mutex_);
    int result = deviceOf(handle);
    if (result >= 0) {
        Attached& attached = devices_[static_cast<std::size_t>(result)];
        result = attached.kernelDriverBound ? LIBUSB_SUCCESS : LIBUSB_ERROR_NOT_FOUND;
        attached.kernelDriverBound = false;
    }
    UsbRequest& request = record(UsbRequest::Kind::DetachKernelDriver, handle);
    request.value = static_cast<std::uint16_t>(interface);
    request.result = result;
    return result;
}

int FakeUsbBus::setAutoDetach(int handle, bool enable) {
    std::lock_guard lock(mutex_);
    const int result = deviceOf(handle) < 0 ? LIBUSB_ERROR_NO_DEVICE : LIBUSB_SUCCESS;
    if (result == LIBUSB_SUCCESS) {
        handles_[handle].autoDetach = enable;
    }
    UsbRequest& request = record(UsbRequest::Kind::AutoDetachKernelDriver, handle);
    request.value = enable ? 1 : 0;
    request.result = result;
    return result;
}

int FakeUsbBus::configuration(int handle, int& configuration) {
    std::lock_guard lock(mutex_);
    configuration = 1;
    return deviceOf(handle) < 0 ? LIBUSB_ERROR_NO_DEVICE : LIBUSB_SUCCESS;
}

int FakeUsbBus::setConfiguration(int handle, int configuration) {
    std::lock_guard lock(mutex_);
    UsbRequest& request = record(UsbRequest::Kind::SetConfiguration, handle);
    request.value = static_cast<std::uint16_t>(configuration);
    request.result = deviceOf(handle) < 0 ? LIBUSB_ERROR_NO_DEVICE : LIBUSB_SUCCESS;
    return request.result;
}

int FakeUsbBus::claimInterface(int handle, int interface) {
    std::lock_guard lock(mutex_);
    int result = deviceOf(handle);
    if (result >= 0) {
        Attached& attached = devices_[static_cast<std::size_t>(result)];
        Handle& owner = handles_[handle];
        const bool claimedByAnother = attached.claimedBy >= 0 && attached.claimedBy != handle;
        const bool keptByTheKernel = attached.kernelDriverBound && !owner.autoDetach;
        if (claimedByAnother || keptByTheKernel) {
            result = LIBUSB_ERROR_BUSY;
        } else {
            if (attached.kernelDriverBound) {
                attached.kernelDriverBound = false;
                owner.detachedKernelDriver = true;
            }
            attached.claimedBy = handle;
            result = LIBUSB_SUCCESS;
        }
    }
    UsbRequest& request = record(UsbRequest::Kind::ClaimInterface, handle);
    request.value = static_cast<std::uint16_t>(interface);
    request.result = result;
    return result;
}

int FakeUsbBus::releaseInterface(int handle, int interface) {
    std::lock_guard lock(mutex_);
    int result = LIBUSB_ERROR_NOT_FOUND;
    const auto found = handles_.find(handle);
    if (found != handles_.end()) {
        Attached& attached = devices_[static_cast<std::size_t>(found->second.device)];
        if (attached.claimedBy == handle) {
            attached.claimedBy = -1;
            result = attached.plugged ? LIBUSB_SUCCESS : LIBUSB_ERROR_NO_DEVICE;
            if (attached.plugged && found->second.autoDetach && found->second.detachedKernelDriver) {
                attached.kernelDriverBound = true;
            }
        }
    }
    UsbRequest& request = record(UsbRequest::Kind::ReleaseInterface, handle);
    request.value = static_cast<std::uint16_t>(interface);
    request.result = result;
    return result;
}

int FakeUsbBus::control(int handle, std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                        std::uint16_t index, unsigned int timeout) {
    std::lock_guard lock(mutex_);
    int result = deviceOf(handle);
    if (result >= 0) {
        result = refusedControls_.count(request) != 0 ? LIBUSB_ERROR_PIPE : 0;
    }
    UsbRequest& recorded = record(UsbRequest::Kind::Control, handle);
    recorded.requestType = requestType;
    recorded.request = request;
    recorded.value = value;
    recorded.index = index;
    recorded.timeout = timeout;
    recorded.result = result;
    return result;
}

int FakeUsbBus::bulk(int handle, std::uint8_t endpoint, const std::uint8_t* data, int length,
                     int& transferred, unsigned int timeout) {
    std::unique_lock lock(mutex_);
    transferred = 0;
    int result = deviceOf(handle);
    if (result >= 0) {
        result = refuseBulk_ ? LIBUSB_ERROR_PIPE : LIBUSB_SUCCESS;
    }
    if (hangBulk_ && result >= 0) {
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(timeout));
        lock.lock();
        result = LIBUSB_ERROR_TIMEOUT;
    }
    UsbRequest& recorded = record(UsbRequest::Kind::Bulk, handle);
    recorded.endpoint = endpoint;
    recorded.timeout = timeout;
    recorded.result = result;
    if (result == LIBUSB_SUCCESS && (endpoint & LIBUSB_ENDPOINT_IN) == 0) {
        recorded.data.assign(data, data + length);
        transferred = length;
    }
    return result;
}

void FakeUsbBus::unexpected(const char* function) {
    std::lock_guard lock(mutex_);
    record(UsbRequest::Kind::Unexpected, -1).function = function;
}

} // namespace lumora::test
