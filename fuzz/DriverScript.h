#pragma once

#include "hw/DeviceRecord.h"
#include "hw/DriverStatus.h"

#include <cstdint>
#include <vector>

namespace lumora::fuzz {

class FuzzBytes;

// What a driver answers to one run of port discovery: the status and device count of building the
// list, then the status and count of copying it and the records it copies. The records are written
// into the caller's storage from the front, never more than the storage holds, so a count larger
// than the records leaves the rest of the storage as the caller provided it.
struct DriverScript {
    hw::DriverStatus createStatus = hw::DriverStatus::Ok;
    std::uint32_t createdCount = 0;
    hw::DriverStatus copyStatus = hw::DriverStatus::Ok;
    std::uint32_t reportedCount = 0;
    std::vector<hw::DeviceRecord> records;
};

// Decodes a script from fuzz input. Counts come out small, at the edge of a plausible device list,
// absurdly large or arbitrary; the reported count smaller than, equal to or larger than the created
// one; descriptions exact, near misses of the wanted text, or without any NUL.
DriverScript decodeDriverScript(FuzzBytes& bytes);

} // namespace lumora::fuzz
