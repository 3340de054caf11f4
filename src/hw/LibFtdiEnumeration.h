#pragma once

#include "hw/DeviceRecord.h"
#include "hw/DriverStatus.h"

#include <cstddef>
#include <cstdint>
#include <memory>

struct ftdi_context;
struct ftdi_device_list;
struct libusb_device;

namespace lumora::hw {

struct FtdiContextDeleter {
    void operator()(ftdi_context* context) const;
};
using FtdiContextPointer = std::unique_ptr<ftdi_context, FtdiContextDeleter>;

// One look at the USB bus through libftdi1: a fresh libftdi1 context and the devices of every FTDI
// vendor/product pair that libftdi1 knows, in enumeration order. The devices belong to the context's
// USB session, so a device is opened on this context, which can then be taken over to outlive the
// enumeration.
class LibFtdiEnumeration {
public:
    LibFtdiEnumeration();
    ~LibFtdiEnumeration();
    LibFtdiEnumeration(const LibFtdiEnumeration&) = delete;
    LibFtdiEnumeration& operator=(const LibFtdiEnumeration&) = delete;

    // Ok when the bus could be listed; the enumeration is empty otherwise.
    DriverStatus status() const { return status_; }
    ftdi_context* context() const { return context_.get(); }
    // The device at a list position, or null past the end.
    libusb_device* device(std::size_t position) const;
    // The device's list entry: chip family, vendor and product, bus location, product string and
    // serial number. Strings that cannot be read, typically for want of permission, stay empty.
    DeviceRecord describe(libusb_device* device) const;
    // Lets go of the device list and hands over the context with whatever was opened on it.
    FtdiContextPointer takeContext();

    // Where the device sits on the bus: its bus number and address.
    static std::uint32_t locationOf(libusb_device* device);

private:
    void freeList();

    FtdiContextPointer context_;
    ftdi_device_list* list_ = nullptr;
    DriverStatus status_ = DriverStatus::Ok;
};

} // namespace lumora::hw
