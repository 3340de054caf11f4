#include "hw/LibFtdiDriver.h"

#include "hw/LibFtdiEnumeration.h"

#include <algorithm>
#include <climits>
#include <ftdi.h>
#include <new>

namespace lumora::hw {

namespace {

constexpr std::uint32_t kFlagOpened = 1;

DriverStatus statusOf(int result) {
    return result < 0 ? DriverStatus::IoError : DriverStatus::Ok;
}

bool validLineSettings(std::uint8_t wordLength, std::uint8_t stopBits, std::uint8_t parity) {
    return (wordLength == BITS_7 || wordLength == BITS_8) && stopBits <= STOP_BIT_2 && parity <= SPACE;
}

} // namespace

struct LibFtdiDriver::OpenDevice {
    struct Line {
        ftdi_bits_type bits = BITS_8;
        ftdi_stopbits_type stopBits = STOP_BIT_1;
        ftdi_parity_type parity = NONE;
        ftdi_break_type breakType = BREAK_OFF;
    };

    // The chip takes its line settings and the break condition in one request, so the settings last
    // sent are kept to be sent again with every change of either.
    DriverStatus sendLine(const Line& wanted) {
        const int result = ftdi_set_line_property2(context.get(), wanted.bits, wanted.stopBits, wanted.parity,
                                                   wanted.breakType);
        if (result < 0) {
            return DriverStatus::IoError;
        }
        line = wanted;
        return DriverStatus::Ok;
    }

    FtdiContextPointer context;
    std::uint32_t locationId = 0;
    // The line as last sent; before that, the chip's own start-up setting, which opening leaves alone.
    Line line;
};

LibFtdiDriver::LibFtdiDriver() = default;

LibFtdiDriver::~LibFtdiDriver() {
    for (const auto& device : open_) {
        ftdi_usb_close(device->context.get());
    }
}

template <typename Request> DriverStatus LibFtdiDriver::withDevice(DeviceHandle handle, Request request) {
    OpenDevice* device = nullptr;
    {
        std::lock_guard lock(mutex_);
        const auto found = std::find_if(open_.begin(), open_.end(), [handle](const auto& candidate) {
            return candidate.get() == handle;
        });
        if (found == open_.end()) {
            return DriverStatus::InvalidHandle;
        }
        device = found->get();
    }
    // The handle's owner is the only caller using it, so the device is used outside the lock.
    return request(*device);
}

DriverStatus LibFtdiDriver::createDeviceList(std::uint32_t& count) {
    count = 0;
    // A list that could not be built leaves an empty one, never the one before.
    std::vector<DeviceRecord> records;
    const LibFtdiEnumeration found;
    DriverStatus status = found.status();
    try {
        for (std::size_t i = 0; succeeded(status) && found.device(i) != nullptr; ++i) {
            records.push_back(found.describe(found.device(i)));
        }
    } catch (const std::bad_alloc&) {
        records.clear();
        status = DriverStatus::InsufficientResources;
    }

    std::lock_guard lock(mutex_);
    for (DeviceRecord& record : records) {
        const bool ours = std::any_of(open_.begin(), open_.end(), [&record](const auto& device) {
            return device->locationId == record.locationId;
        });
        record.flags = ours ? kFlagOpened : 0;
    }
    listed_ = std::move(records);
    count = static_cast<std::uint32_t>(listed_.size());
    return status;
}

DriverStatus LibFtdiDriver::getDeviceList(std::span<DeviceRecord> storage, std::uint32_t& count) {
    std::lock_guard lock(mutex_);
    const std::size_t copied = std::min(storage.size(), listed_.size());
    std::copy_n(listed_.begin(), copied, storage.begin());
    count = static_cast<std::uint32_t>(listed_.size());
    return DriverStatus::Ok;
}

DriverStatus LibFtdiDriver::open(int position, DeviceHandle& handle) {
    handle = nullptr;
    if (position < 0) {
        return DriverStatus::DeviceNotFound;
    }
    LibFtdiEnumeration found;
    if (!succeeded(found.status())) {
        return found.status();
    }
    libusb_device* usbDevice = found.device(static_cast<std::size_t>(position));
    if (usbDevice == nullptr) {
        return DriverStatus::DeviceNotFound;
    }
    std::unique_ptr<OpenDevice> device;
    try {
        device = std::make_unique<OpenDevice>();
    } catch (const std::bad_alloc&) {
        return DriverStatus::InsufficientResources;
    }
    // libftdi1 detaches the kernel's serial driver when it claims the interface; in this mode libusb
    // attaches it again when the interface is released, so the adapter is a serial port again after
    // close.
    found.context()->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
    if (ftdi_usb_open_dev(found.context(), usbDevice) < 0) {
        return DriverStatus::DeviceNotOpened;
    }
    device->locationId = LibFtdiEnumeration::locationOf(usbDevice);
    device->context = found.takeContext();

    std::lock_guard lock(mutex_);
    try {
        open_.push_back(std::move(device));
    } catch (const std::bad_alloc&) {
        ftdi_usb_close(device->context.get());
        return DriverStatus::InsufficientResources;
    }
    handle = open_.back().get();
    return DriverStatus::Ok;
}

DriverStatus LibFtdiDriver::resetDevice(DeviceHandle handle) {
    return withDevice(handle,
                      [](OpenDevice& device) { return statusOf(ftdi_usb_reset(device.context.get())); });
}

DriverStatus LibFtdiDriver::setDivisor(DeviceHandle handle, std::uint16_t divisor) {
    // libftdi1 takes a baud rate and works out the divisor itself; the rate of a whole divisor on the
    // 3 MHz base comes back to that divisor exactly. The chip keeps 0 and 1 for 3 and 2 Mbit/s.
    constexpr int kBase = 3'000'000;
    const int baud = divisor == 0 ? kBase : divisor == 1 ? 2'000'000 : (kBase + divisor / 2) / divisor;
    return withDevice(handle, [baud](OpenDevice& device) {
        const int result = ftdi_set_baudrate(device.context.get(), baud);
        // -1 is libftdi1's answer for a rate the chip cannot make, before anything is sent.
        return result == -1 ? DriverStatus::InvalidBaudRate : statusOf(result);
    });
}

DriverStatus LibFtdiDriver::setDataCharacteristics(DeviceHandle handle, std::uint8_t wordLength,
                                                   std::uint8_t stopBits, std::uint8_t parity) {
    // The driver's numbering of word length, stop bits and parity is libftdi1's.
    if (!validLineSettings(wordLength, stopBits, parity)) {
        return DriverStatus::InvalidParameter;
    }
    return withDevice(handle, [=](OpenDevice& device) {
        OpenDevice::Line line = device.line;
        line.bits = static_cast<ftdi_bits_type>(wordLength);
        line.stopBits = static_cast<ftdi_stopbits_type>(stopBits);
        line.parity = static_cast<ftdi_parity_type>(parity);
        return device.sendLine(line);
    });
}

DriverStatus LibFtdiDriver::setFlowControl(DeviceHandle handle, std::uint16_t flowControl, std::uint8_t xon,
                                           std::uint8_t xoff) {
    // The driver's flow-control values are the chip's, as libftdi1 names them.
    switch (flowControl) {
    case SIO_DISABLE_FLOW_CTRL:
    case SIO_RTS_CTS_HS:
    case SIO_DTR_DSR_HS:
        return withDevice(handle, [flowControl](OpenDevice& device) {
            return statusOf(ftdi_setflowctrl(device.context.get(), flowControl));
        });
    case SIO_XON_XOFF_HS:
        return withDevice(handle, [xon, xoff](OpenDevice& device) {
            return statusOf(ftdi_setflowctrl_xonxoff(device.context.get(), xon, xoff));
        });
    default:
        return DriverStatus::InvalidParameter;
    }
}

DriverStatus LibFtdiDriver::clearRts(DeviceHandle handle) {
    return withDevice(handle,
                      [](OpenDevice& device) { return statusOf(ftdi_setrts(device.context.get(), 0)); });
}

DriverStatus LibFtdiDriver::purge(DeviceHandle handle, std::uint32_t mask) {
    if ((mask & ~(kPurgeReceive | kPurgeTransmit)) != 0) {
        return DriverStatus::InvalidParameter;
    }
    return withDevice(handle, [mask](OpenDevice& device) {
        // Receive is what the host has not read yet, transmit what the chip has not sent yet; libftdi1
        // names them after the terminal calls that discard the same.
        if ((mask & kPurgeReceive) != 0 && ftdi_tciflush(device.context.get()) < 0) {
            return DriverStatus::IoError;
        }
        if ((mask & kPurgeTransmit) != 0 && ftdi_tcoflush(device.context.get()) < 0) {
            return DriverStatus::IoError;
        }
        return DriverStatus::Ok;
    });
}

DriverStatus LibFtdiDriver::setTimeouts(DeviceHandle handle, std::uint32_t readTimeout,
                                        std::uint32_t writeTimeout) {
    // libftdi1 hands these to libusb with every request: the write timeout bounds the bulk writes
    // and the control requests alike (break on and off among them). Zero waits for ever, in libusb as
    // in the vendor's library.
    if (readTimeout > INT_MAX || writeTimeout > INT_MAX) {
        return DriverStatus::InvalidParameter;
    }
    return withDevice(handle, [=](OpenDevice& device) {
        device.context->usb_read_timeout = static_cast<int>(readTimeout);
        device.context->usb_write_timeout = static_cast<int>(writeTimeout);
        return DriverStatus::Ok;
    });
}

DriverStatus LibFtdiDriver::setBreakOn(DeviceHandle handle) {
    return withDevice(handle, [](OpenDevice& device) {
        OpenDevice::Line line = device.line;
        line.breakType = BREAK_ON;
        return device.sendLine(line);
    });
}

DriverStatus LibFtdiDriver::setBreakOff(DeviceHandle handle) {
    return withDevice(handle, [](OpenDevice& device) {
        OpenDevice::Line line = device.line;
        line.breakType = BREAK_OFF;
        return device.sendLine(line);
    });
}

DriverStatus LibFtdiDriver::write(DeviceHandle handle, std::span<const std::uint8_t> bytes,
                                  std::uint32_t& written) {
    written = 0;
    if (bytes.size() > INT_MAX) {
        return DriverStatus::InvalidParameter;
    }
    return withDevice(handle, [&](OpenDevice& device) {
        const int result =
            ftdi_write_data(device.context.get(), bytes.data(), static_cast<int>(bytes.size()));
        if (result < 0) {
            return DriverStatus::IoError;
        }
        written = static_cast<std::uint32_t>(result);
        return DriverStatus::Ok;
    });
}

DriverStatus LibFtdiDriver::close(DeviceHandle handle) {
    std::unique_ptr<OpenDevice> device;
    {
        std::lock_guard lock(mutex_);
        const auto found = std::find_if(open_.begin(), open_.end(), [handle](const auto& candidate) {
            return candidate.get() == handle;
        });
        if (found == open_.end()) {
            return DriverStatus::InvalidHandle;
        }
        device = std::move(*found);
        open_.erase(found);
    }
    // The device is given up whatever the chip answers: a failed release still ends the session.
    return statusOf(ftdi_usb_close(device->context.get()));
}

} // namespace lumora::hw
