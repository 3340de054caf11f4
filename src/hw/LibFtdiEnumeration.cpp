#include "hw/LibFtdiEnumeration.h"

#include <ftdi.h>
#include <libusb.h>

namespace lumora::hw {

namespace {

// The chip family from the device's release number, read as libftdi1 reads it when it opens a device,
// given as the vendor's device-type code. The list must not open devices, as that would take them from
// the kernel's serial driver.
DeviceType deviceTypeOf(const libusb_device_descriptor& descriptor) {
    switch (descriptor.bcdDevice) {
    case 0x0200:
        // Early BM chips without a serial number report the AM's release number.
        return descriptor.iSerialNumber == 0 ? DeviceType::Bm : DeviceType::Am;
    case 0x0400:
        return DeviceType::Bm;
    case 0x0500:
        return DeviceType::Ft2232C;
    case 0x0600:
        return DeviceType::Ft232R;
    case 0x0700:
        return DeviceType::Ft2232H;
    case 0x0800:
        return DeviceType::Ft4232H;
    case 0x0900:
        return DeviceType::Ft232H;
    case 0x1000:
        return DeviceType::FtX;
    default:
        return DeviceType::Unknown;
    }
}

} // namespace

void FtdiContextDeleter::operator()(ftdi_context* context) const {
    ftdi_free(context);
}

LibFtdiEnumeration::LibFtdiEnumeration() {
    // libftdi1 makes no context when libusb cannot start.
    context_.reset(ftdi_new());
    if (!context_) {
        status_ = DriverStatus::IoError;
        return;
    }
    // Vendor and product 0 ask libftdi1 for every FTDI pair it knows.
    if (ftdi_usb_find_all(context_.get(), &list_, 0, 0) < 0) {
        freeList();
        status_ = DriverStatus::IoError;
    }
}

LibFtdiEnumeration::~LibFtdiEnumeration() {
    freeList();
}

libusb_device* LibFtdiEnumeration::device(std::size_t position) const {
    const ftdi_device_list* entry = list_;
    for (std::size_t i = 0; entry != nullptr && i < position; ++i) {
        entry = entry->next;
    }
    return entry != nullptr ? entry->dev : nullptr;
}

DeviceRecord LibFtdiEnumeration::describe(libusb_device* device) const {
    DeviceRecord record;
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) == 0) {
        record.type = static_cast<std::uint32_t>(deviceTypeOf(descriptor));
        record.id = static_cast<std::uint32_t>(descriptor.idVendor) << 16 | descriptor.idProduct;
    }
    record.locationId = locationOf(device);
    // Each string is asked for on its own, so that a chip without a serial number keeps its description.
    char description[sizeof record.description] = {};
    if (ftdi_usb_get_strings(context_.get(), device, nullptr, 0, description, sizeof description, nullptr,
                             0) == 0) {
        setFieldText(record.description, fieldText(description));
    }
    char serialNumber[sizeof record.serialNumber] = {};
    if (ftdi_usb_get_strings(context_.get(), device, nullptr, 0, nullptr, 0, serialNumber,
                             sizeof serialNumber) == 0) {
        setFieldText(record.serialNumber, fieldText(serialNumber));
    }
    return record;
}

FtdiContextPointer LibFtdiEnumeration::takeContext() {
    freeList();
    return std::move(context_);
}

std::uint32_t LibFtdiEnumeration::locationOf(libusb_device* device) {
    return static_cast<std::uint32_t>(libusb_get_bus_number(device)) << 8 | libusb_get_device_address(device);
}

void LibFtdiEnumeration::freeList() {
    if (list_ != nullptr) {
        ftdi_list_free(&list_);
    }
}

} // namespace lumora::hw
