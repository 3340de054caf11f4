#pragma once

#include "hw/DeviceRecord.h"

#include <cstddef>
#include <cstdint>

// The vendor's D2XX functions that the vendor backend resolves at run time, declared from the
// library's public programmer's guide. On every system the library ships for, its DWORD and ULONG
// are 32 bits wide and FT_HANDLE is a pointer; on 32-bit Windows the functions use the stdcall
// convention.
#if defined(_WIN32)
#define LUMORA_D2XX_CALL __stdcall
#else
#define LUMORA_D2XX_CALL
#endif

namespace lumora::hw::d2xx {

using Status = std::uint32_t; // FT_STATUS, numbered as DriverStatus
using Handle = void*;         // FT_HANDLE
using Dword = std::uint32_t;

// The library fills its device list nodes straight into DeviceRecord storage, so the record must keep
// the node's layout.
static_assert(offsetof(DeviceRecord, type) == 4);
static_assert(offsetof(DeviceRecord, locationId) == 12);
static_assert(offsetof(DeviceRecord, serialNumber) == 16);
static_assert(offsetof(DeviceRecord, description) == 32);
static_assert(offsetof(DeviceRecord, handle) == 96);

using CreateDeviceInfoList = Status(LUMORA_D2XX_CALL*)(Dword* count);
// Writes every node of the list built by the last CreateDeviceInfoList, whatever count held before.
using GetDeviceInfoList = Status(LUMORA_D2XX_CALL*)(DeviceRecord* nodes, Dword* count);
using Open = Status(LUMORA_D2XX_CALL*)(int position, Handle* handle);
// FT_ResetDevice, FT_ClrRts, FT_SetBreakOn, FT_SetBreakOff and FT_Close take the handle alone.
using HandleOnly = Status(LUMORA_D2XX_CALL*)(Handle handle);
using SetDivisor = Status(LUMORA_D2XX_CALL*)(Handle handle, std::uint16_t divisor);
using SetDataCharacteristics = Status(LUMORA_D2XX_CALL*)(Handle handle, std::uint8_t wordLength,
                                                         std::uint8_t stopBits, std::uint8_t parity);
using SetFlowControl = Status(LUMORA_D2XX_CALL*)(Handle handle, std::uint16_t flowControl, std::uint8_t xon,
                                                 std::uint8_t xoff);
using Purge = Status(LUMORA_D2XX_CALL*)(Handle handle, Dword mask);
using SetTimeouts = Status(LUMORA_D2XX_CALL*)(Handle handle, Dword readTimeout, Dword writeTimeout);
// The guide declares the buffer as a plain pointer; the library only reads it.
using Write = Status(LUMORA_D2XX_CALL*)(Handle handle, const void* buffer, Dword size, Dword* written);

// The functions the vendor backend forwards to, each resolved by its exported name.
struct Functions {
    CreateDeviceInfoList createDeviceInfoList = nullptr;
    GetDeviceInfoList getDeviceInfoList = nullptr;
    Open open = nullptr;
    HandleOnly resetDevice = nullptr;
    SetDivisor setDivisor = nullptr;
    SetDataCharacteristics setDataCharacteristics = nullptr;
    SetFlowControl setFlowControl = nullptr;
    HandleOnly clrRts = nullptr;
    Purge purge = nullptr;
    SetTimeouts setTimeouts = nullptr;
    HandleOnly setBreakOn = nullptr;
    HandleOnly setBreakOff = nullptr;
    Write write = nullptr;
    HandleOnly close = nullptr;
};

} // namespace lumora::hw::d2xx
