#include "DriverScript.h"

#include "FuzzBytes.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>

namespace lumora::fuzz {

namespace {

constexpr std::string_view kWanted = "FT232R USB UART";
// Where a plausible device list ends; counts on either side of it are worth trying.
constexpr std::uint32_t kListEdge = 65536;
constexpr std::uint32_t kHugeCount = 50'000'000;
constexpr std::uint32_t kLargestCount = std::numeric_limits<std::uint32_t>::max();

hw::DriverStatus decodeStatus(FuzzBytes& bytes) {
    return bytes.byte() < 0xC0 ? hw::DriverStatus::Ok : static_cast<hw::DriverStatus>(bytes.u32());
}

std::uint32_t decodeCreatedCount(FuzzBytes& bytes) {
    switch (bytes.byte() % 8) {
    case 4:
        return kListEdge - 2 + bytes.byte() % 5u;
    case 5:
        return kHugeCount;
    case 6:
        return kLargestCount;
    case 7:
        return bytes.u32();
    default:
        return bytes.byte() % 16u;
    }
}

std::uint32_t decodeReportedCount(FuzzBytes& bytes, std::uint32_t created) {
    switch (bytes.byte() % 5) {
    case 1:
        return created - std::min<std::uint32_t>(created, bytes.byte());
    case 2:
        return created + std::min<std::uint32_t>(kLargestCount - created, bytes.byte());
    case 3:
        return bytes.u32();
    case 4:
        return kLargestCount;
    default:
        return created;
    }
}

template <std::size_t N> void fillField(char (&field)[N], std::span<const std::uint8_t> raw) {
    std::fill(std::begin(field), std::end(field), '\0');
    std::transform(raw.begin(), raw.end(), std::begin(field),
                   [](std::uint8_t b) { return static_cast<char>(b); });
}

void putWanted(char (&field)[64]) {
    std::copy(kWanted.begin(), kWanted.end(), std::begin(field));
}

// Reshapes the raw description so that exact matches and near misses come up often; the raw bytes
// still decide the details.
void shapeDescription(char (&field)[64], std::uint8_t shape) {
    const auto pick = static_cast<std::uint8_t>(field[0]);
    const char replacement = field[1];
    switch (shape % 8) {
    case 2: // exact
        hw::setFieldText(field, kWanted);
        break;
    case 3: // exact, with leftovers after the terminator
        putWanted(field);
        field[kWanted.size()] = '\0';
        break;
    case 4: // one character changed
        hw::setFieldText(field, kWanted);
        field[pick % kWanted.size()] = replacement;
        break;
    case 5: { // cut short or run on
        const std::size_t length = pick % sizeof field;
        putWanted(field);
        std::replace(std::begin(field) + kWanted.size(), std::end(field), '\0', 'T');
        if (length < sizeof field) {
            field[length] = '\0';
        }
        break;
    }
    case 6: // no terminator anywhere in the field
        putWanted(field);
        std::replace(std::begin(field), std::end(field), '\0', ' ');
        break;
    case 7: {
        constexpr std::array<std::string_view, 7> kVariants = {
            "ft232r usb uart", "FT232R  USB UART", " FT232R USB UART", "FT232R USB UART ",
            "FT232R USB UARt", "FT232RUSB UART",   "FT232R USB UART\t"};
        hw::setFieldText(field, kVariants[pick % kVariants.size()]);
        break;
    }
    default: // as the bytes came
        break;
    }
}

hw::DeviceRecord decodeRecord(FuzzBytes& bytes) {
    const std::uint8_t shape = bytes.byte();
    hw::DeviceRecord record;
    record.flags = bytes.u32();
    record.type = bytes.u32();
    record.id = bytes.u32();
    record.locationId = bytes.u32();
    fillField(record.serialNumber, bytes.take(sizeof record.serialNumber));
    fillField(record.description, bytes.take(sizeof record.description));
    record.handle = reinterpret_cast<hw::DeviceHandle>(std::uintptr_t{bytes.u32()});
    shapeDescription(record.description, shape);
    return record;
}

} // namespace

DriverScript decodeDriverScript(FuzzBytes& bytes) {
    DriverScript script;
    script.createStatus = decodeStatus(bytes);
    script.createdCount = decodeCreatedCount(bytes);
    script.copyStatus = decodeStatus(bytes);
    script.reportedCount = decodeReportedCount(bytes, script.createdCount);
    while (!bytes.empty() && script.records.size() < script.createdCount) {
        script.records.push_back(decodeRecord(bytes));
    }
    return script;
}

} // namespace lumora::fuzz
