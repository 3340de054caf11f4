// Port discovery against a driver that answers from the fuzzer's bytes, checked against an
// expectation worked out here from the same answers.
//
// Input: one byte choosing the device index held before the run (-1, a small position, or any
// position read from four more bytes), then the driver's answers as DriverScript decodes them.

#include "DriverScript.h"
#include "FuzzBytes.h"
#include "Require.h"
#include "ScriptedDriver.h"
#include "discovery/DiscoverySink.h"
#include "discovery/PortDiscovery.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using lumora::DeviceIndex;
using lumora::fuzz::DriverScript;
using lumora::fuzz::require;

const std::string kNoStorage = "포트를 찾을 수 없습니다.";
const std::string kNotFound = "FT232R USB UART 장치를 찾지 못했습니다.";
// Counts above this are refused as storage that cannot be had, without asking for the records.
constexpr std::uint32_t kPlausibleDevices = 65536;

struct RecordingSink : lumora::DiscoverySink {
    void appendEntry(std::string_view label) override { entries.emplace_back(label); }
    void reportProblem(lumora::DiscoveryProblem problem) override {
        warnings.push_back(problem == lumora::DiscoveryProblem::NoAdapter ? kNotFound : kNoStorage);
    }

    std::vector<std::string> entries;
    std::vector<std::string> warnings;
};

struct Outcome {
    bool result = false;
    DeviceIndex index = lumora::kNoDevice;
    std::vector<std::string> entries;
    std::vector<std::string> warnings;
    bool copyAsked = false;
};

DeviceIndex decodeStartIndex(lumora::fuzz::FuzzBytes& bytes) {
    const std::uint8_t choice = bytes.byte();
    switch (choice % 4) {
    case 2:
        return bytes.byte();
    case 3:
        return static_cast<DeviceIndex>(bytes.u32() & 0x7FFFFFFFu);
    default:
        return lumora::kNoDevice;
    }
}

// The wanted text in full and then the end of the text, all inside the field.
bool describesAnFt232r(const lumora::hw::DeviceRecord& record) {
    constexpr char kWanted[] = "FT232R USB UART";
    return std::memcmp(record.description, kWanted, sizeof kWanted) == 0;
}

Outcome expectedOutcome(const DriverScript& script, DeviceIndex start) {
    Outcome outcome;
    outcome.index = start;
    const bool listed = script.createStatus == lumora::hw::DriverStatus::Ok;
    if (listed && script.createdCount > kPlausibleDevices) {
        outcome.warnings.push_back(kNoStorage);
        return outcome;
    }
    outcome.copyAsked = listed;
    if (listed && script.copyStatus == lumora::hw::DriverStatus::Ok) {
        // Only records that had room, were reported and were actually written can be adapters;
        // storage the driver left alone holds no description.
        const std::size_t readable =
            std::min<std::size_t>({script.createdCount, script.reportedCount, script.records.size()});
        for (std::size_t i = 0; i < readable; ++i) {
            if (describesAnFt232r(script.records[i])) {
                outcome.entries.push_back("COM" + std::to_string(script.records[i].type));
                outcome.index = static_cast<DeviceIndex>(i);
            }
        }
    }
    outcome.result = outcome.index >= 0;
    if (!outcome.result) {
        outcome.warnings.push_back(kNotFound);
    }
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lumora::fuzz::FuzzBytes bytes({data, size});
    const DeviceIndex start = decodeStartIndex(bytes);
    const DriverScript script = lumora::fuzz::decodeDriverScript(bytes);

    lumora::fuzz::ScriptedDriver driver(script);
    RecordingSink sink;
    DeviceIndex index = start;
    const lumora::PortsFound found = lumora::discoverPorts(driver, index, sink);

    const Outcome expected = expectedOutcome(script, start);
    require(driver.createCalls() == 1, "the device list is built exactly once");
    require(driver.otherCalls() == 0, "discovery uses no driver operation besides the list");
    require(driver.copyCalls() == (expected.copyAsked ? 1 : 0), "the records are copied exactly when due");
    require(!expected.copyAsked || driver.copyStorage() == script.createdCount,
            "the copy is given room for exactly the built count");
    require(sink.entries == expected.entries, "one entry per matching record that had room and was reported");
    require(index == expected.index, "the index is kept or ends at the last matching record");
    require(sink.warnings == expected.warnings, "exactly the warning due");
    require(found.usable == expected.result, "the result says whether a device is chosen");
    require(found.foundNow == !expected.entries.empty(), "found now exactly when this run listed an adapter");
    return 0;
}
