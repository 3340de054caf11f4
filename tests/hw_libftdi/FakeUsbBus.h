#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace lumora::test {

// A USB device on the emulated bus, by default an FT232R adapter.
struct FakeUsbDevice {
    std::uint16_t vendorId = 0x0403;
    std::uint16_t productId = 0x6001;
    std::uint16_t release = 0x0600; // the chip family: 0x0600 is an FT232R
    std::string manufacturer = "FTDI";
    std::string product = "FT232R USB UART";
    std::string serialNumber = "A10K9MX3"; // empty: the device has none
    std::uint8_t bus = 1;
    std::uint8_t address = 4;
};

// One thing asked of the emulated bus, as the device would see it.
struct UsbRequest {
    using Clock = std::chrono::steady_clock;
    enum class Kind {
        Open,
        Close,
        StringDescriptor,
        DetachKernelDriver,
        AutoDetachKernelDriver,
        SetConfiguration,
        ClaimInterface,
        ReleaseInterface,
        Control,
        Bulk,
        Unexpected,
    };

    Kind kind = Kind::Unexpected;
    int device = -1; // position in attach order
    int handle = -1;
    std::uint8_t requestType = 0; // control: bmRequestType, bRequest, wValue, wIndex
    std::uint8_t request = 0;
    std::uint16_t value = 0; // also the interface, configuration or string index of other kinds
    std::uint16_t index = 0;
    std::uint8_t endpoint = 0; // bulk
    std::vector<std::uint8_t> data;
    unsigned int timeout = 0; // control and bulk, in milliseconds
    int result = 0;           // what the bus answered
    Clock::time_point time;
    std::string function; // Unexpected: the libusb function that was called
};

// The USB bus that the emulated libusb functions answer from: attached devices with their
// descriptors, the kernel's serial driver on each, open handles with their claimed interfaces, and
// a record of every request. Tests arrange the bus and read the record; the libusb functions use
// the bus side. Every member is thread safe.
class FakeUsbBus {
public:
    static FakeUsbBus& instance();

    // Arranging the bus.
    void reset();
    int attach(const FakeUsbDevice& device);
    // The device leaves the bus: it is no longer listed and every request on its handles fails as
    // for a device that is gone.
    void unplug(int device);
    void denyAccess(int device);
    // From now on the device stalls every control request with this request number.
    void refuseControl(std::uint8_t request);
    void refuseBulk();
    // From now on every bulk write hangs until its timeout, as on an adapter that stops taking data.
    void hangBulk() {
        std::lock_guard lock(mutex_);
        hangBulk_ = true;
    }
    void failSessions();

    // Reading the record.
    std::vector<UsbRequest> requests() const;
    void clearRequests();
    bool kernelDriverBound(int device) const;
    int liveSessions() const;
    int openHandles() const;

    // The bus side, for the libusb functions. Results are libusb's: 0 or more for success, a
    // negative libusb error otherwise.
    bool startSession();
    void endSession();
    std::vector<int> listedDevices() const;
    std::optional<FakeUsbDevice> device(int device) const;
    int open(int device);
    void close(int handle);
    int stringDescriptor(int handle, std::uint8_t index, std::string& text);
    int detachKernelDriver(int handle, int interface);
    int setAutoDetach(int handle, bool enable);
    int configuration(int handle, int& configuration);
    int setConfiguration(int handle, int configuration);
    int claimInterface(int handle, int interface);
    int releaseInterface(int handle, int interface);
    int control(int handle, std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                std::uint16_t index, unsigned int timeout);
    int bulk(int handle, std::uint8_t endpoint, const std::uint8_t* data, int length, int& transferred,
             unsigned int timeout);
    void unexpected(const char* function);

private:
    struct Attached {
        FakeUsbDevice info;
        bool plugged = true;
        bool accessible = true;
        bool kernelDriverBound = true;
        int claimedBy = -1;
    };
    struct Handle {
        int device = -1;
        bool autoDetach = false;
        bool detachedKernelDriver = false;
    };

    FakeUsbBus() = default;
    UsbRequest& record(UsbRequest::Kind kind, int handle);
    // The handle's device when it is still on the bus; LIBUSB_ERROR_NO_DEVICE otherwise.
    int deviceOf(int handle) const;

    mutable std::mutex mutex_;
    std::vector<Attached> devices_;
    std::map<int, Handle> handles_;
    int nextHandle_ = 1;
    int sessions_ = 0;
    bool failSessions_ = false;
    bool refuseBulk_ = false;
    bool hangBulk_ = false;
    std::set<std::uint8_t> refusedControls_;
    std::vector<UsbRequest> record_;
};

} // namespace lumora::test
