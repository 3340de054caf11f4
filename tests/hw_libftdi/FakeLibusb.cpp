// The libusb functions that libftdi1 calls, answered by the emulated bus. Linked into the test
// executable, they come before the real libusb in the symbol search, so libftdi1 and the driver under
// test reach these instead of the computer's USB.

#include "FakeUsbBus.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <libusb.h>
#include <mutex>

struct libusb_context {
    int unused = 0;
};

struct libusb_device {
    int position = -1;
};

struct libusb_device_handle {
    int id = -1;
    libusb_device* device = nullptr;
};

namespace {

using lumora::test::FakeUsbBus;

FakeUsbBus& bus() {
    return FakeUsbBus::instance();
}

// One device object per attach position, alive for the whole run, as libusb keeps them while referenced.
libusb_device* deviceObject(int position) {
    static std::mutex mutex;
    static std::deque<libusb_device> objects;
    std::lock_guard lock(mutex);
    while (objects.size() <= static_cast<std::size_t>(position)) {
        objects.push_back({static_cast<int>(objects.size())});
    }
    return &objects[static_cast<std::size_t>(position)];
}

// A configuration descriptor with one interface of two bulk endpoints, as an FT232R reports it.
struct ConfigStorage {
    libusb_config_descriptor config{};
    libusb_interface interface {};
    libusb_interface_descriptor setting{};
    libusb_endpoint_descriptor endpoints[2]{};
};

} // namespace

extern "C" {

int libusb_init(libusb_context** context) {
    if (!bus().startSession()) {
        return LIBUSB_ERROR_OTHER;
    }
    *context = new libusb_context;
    return LIBUSB_SUCCESS;
}

void libusb_exit(libusb_context* context) {
    if (context != nullptr) {
        delete context;
        bus().endSession();
    }
}

ssize_t libusb_get_device_list(libusb_context*, libusb_device*** list) {
    const std::vector<int> listed = bus().listedDevices();
    auto** devices = new libusb_device*[listed.size() + 1];
    for (std::size_t i = 0; i < listed.size(); ++i) {
        devices[i] = deviceObject(listed[i]);
    }
    devices[listed.size()] = nullptr;
    *list = devices;
    return static_cast<ssize_t>(listed.size());
}

void libusb_free_device_list(libusb_device** list, int) {
    delete[] list;
}

libusb_device* libusb_ref_device(libusb_device* device) {
    return device;
}

void libusb_unref_device(libusb_device*) {}

int libusb_get_device_descriptor(libusb_device* device, libusb_device_descriptor* descriptor) {
    const auto info = bus().device(device->position);
    if (!info) {
        return LIBUSB_ERROR_NO_DEVICE;
    }
    *descriptor = {};
    descriptor->bLength = LIBUSB_DT_DEVICE_SIZE;
    descriptor->bDescriptorType = LIBUSB_DT_DEVICE;
    descriptor->bcdUSB = 0x0200;
    descriptor->bMaxPacketSize0 = 8;
    descriptor->idVendor = info->vendorId;
    descriptor->idProduct = info->productId;
    descriptor->bcdDevice = info->release;
    descriptor->iManufacturer = 1;
    descriptor->iProduct = 2;
    descriptor->iSerialNumber = info->serialNumber.empty() ? 0 : 3;
    descriptor->bNumConfigurations = 1;
    return LIBUSB_SUCCESS;
}

int libusb_get_config_descriptor(libusb_device*, uint8_t index, libusb_config_descriptor** config) {
    if (index != 0) {
        return LIBUSB_ERROR_NOT_FOUND;
    }
    auto* storage = new ConfigStorage;
    storage->endpoints[0].bEndpointAddress = 0x81;
    storage->endpoints[0].bmAttributes = LIBUSB_TRANSFER_TYPE_BULK;
    storage->endpoints[0].wMaxPacketSize = 64;
    storage->endpoints[1].bEndpointAddress = 0x02;
    storage->endpoints[1].bmAttributes = LIBUSB_TRANSFER_TYPE_BULK;
    storage->endpoints[1].wMaxPacketSize = 64;
    storage->setting.bNumEndpoints = 2;
    storage->setting.endpoint = storage->endpoints;
    storage->interface.altsetting = &storage->setting;
    storage->interface.num_altsetting = 1;
    storage->config.bConfigurationValue = 1;
    storage->config.bNumInterfaces = 1;
    storage->config.interface = &storage->interface;
    *config = &storage->config;
    return LIBUSB_SUCCESS;
}

void libusb_free_config_descriptor(libusb_config_descriptor* config) {
    // The descriptor is the storage's first member.
    delete reinterpret_cast<ConfigStorage*>(config);
}

uint8_t libusb_get_bus_number(libusb_device* device) {
    const auto info = bus().device(device->position);
    return info ? info->bus : 0;
}

uint8_t libusb_get_device_address(libusb_device* device) {
    const auto info = bus().device(device->position);
    return info ? info->address : 0;
}

int libusb_open(libusb_device* device, libusb_device_handle** handle) {
    const int id = bus().open(device->position);
    if (id < 0) {
        return id;
    }
    *handle = new libusb_device_handle{id, device};
    return LIBUSB_SUCCESS;
}

void libusb_close(libusb_device_handle* handle) {
    if (handle != nullptr) {
        bus().close(handle->id);
        delete handle;
    }
}

int libusb_get_string_descriptor_ascii(libusb_device_handle* handle, uint8_t index, unsigned char* data,
                                       int length) {
    std::string text;
    const int result = bus().stringDescriptor(handle->id, index, text);
    if (result < 0) {
        return result;
    }
    if (length <= 0) {
        return LIBUSB_ERROR_INVALID_PARAM;
    }
    const std::size_t copied = std::min(text.size(), static_cast<std::size_t>(length - 1));
    std::memcpy(data, text.data(), copied);
    data[copied] = '\0';
    return static_cast<int>(copied);
}

int libusb_detach_kernel_driver(libusb_device_handle* handle, int interface) {
    return bus().detachKernelDriver(handle->id, interface);
}

int libusb_set_auto_detach_kernel_driver(libusb_device_handle* handle, int enable) {
    return bus().setAutoDetach(handle->id, enable != 0);
}

int libusb_get_configuration(libusb_device_handle* handle, int* configuration) {
    return bus().configuration(handle->id, *configuration);
}

int libusb_set_configuration(libusb_device_handle* handle, int configuration) {
    return bus().setConfiguration(handle->id, configuration);
}

int libusb_claim_interface(libusb_device_handle* handle, int interface) {
    return bus().claimInterface(handle->id, interface);
}

int libusb_release_interface(libusb_device_handle* handle, int interface) {
    return bus().releaseInterface(handle->id, interface);
}

int libusb_control_transfer(libusb_device_handle* handle, uint8_t requestType, uint8_t request,
                            uint16_t value, uint16_t index, unsigned char* data, uint16_t length,
                            unsigned int timeout) {
    const int result = bus().control(handle->id, requestType, request, value, index, timeout);
    if (result < 0) {
        return result;
    }
    // The chip answers reads with zeros; libftdi1's set-up sends none.
    if ((requestType & LIBUSB_ENDPOINT_IN) != 0 && data != nullptr) {
        std::memset(data, 0, length);
        return length;
    }
    return 0;
}

int libusb_bulk_transfer(libusb_device_handle* handle, unsigned char endpoint, unsigned char* data,
                         int length, int* transferred, unsigned int timeout) {
    int sent = 0;
    const int result = bus().bulk(handle->id, endpoint, data, length, sent, timeout);
    if (transferred != nullptr) {
        *transferred = sent;
    }
    return result;
}

// Asynchronous transfers serve libftdi1's streaming and asynchronous reads and writes, which the
// driver does not use: a call is recorded as unexpected and refused.

libusb_transfer* libusb_alloc_transfer(int) {
    bus().unexpected("libusb_alloc_transfer");
    return nullptr;
}

void libusb_free_transfer(libusb_transfer*) {
    bus().unexpected("libusb_free_transfer");
}

int libusb_submit_transfer(libusb_transfer*) {
    bus().unexpected("libusb_submit_transfer");
    return LIBUSB_ERROR_NOT_SUPPORTED;
}

int libusb_cancel_transfer(libusb_transfer*) {
    bus().unexpected("libusb_cancel_transfer");
    return LIBUSB_ERROR_NOT_SUPPORTED;
}

int libusb_handle_events_timeout(libusb_context*, timeval*) {
    bus().unexpected("libusb_handle_events_timeout");
    return LIBUSB_ERROR_NOT_SUPPORTED;
}

int libusb_handle_events_timeout_completed(libusb_context*, timeval*, int*) {
    bus().unexpected("libusb_handle_events_timeout_completed");
    return LIBUSB_ERROR_NOT_SUPPORTED;
}

} // extern "C"
