#include "LibFtdiFixture.h"
#include "dmx/CDmxPort.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

using namespace lumora;
using namespace lumora::hw;
using namespace lumora::test;
using namespace std::chrono_literals;

namespace {

struct LibFtdiFailure : LibFtdiFixture {
    LibFtdiFailure() { bus.attach(ft232r(2)); }

    DriverStatus writeFrame(DeviceHandle handle, std::uint32_t& written) {
        const std::uint8_t bytes[512] = {};
        written = 99;
        return driver.write(handle, bytes, written);
    }
};

using Operation = std::function<DriverStatus(FtdiDriver&, DeviceHandle)>;

struct NamedOperation {
    const char* name;
    Operation call;
};

std::vector<NamedOperation> handleOperations() {
    return {
        {"reset",
         [](FtdiDriver& d, DeviceHandle h) {
             return d.resetDevice(h);
         }},
        {"divisor",
         [](FtdiDriver& d, DeviceHandle h) {
             return d.setDivisor(h, 12);
         }},
        {"data",
         [](FtdiDriver& d, DeviceHandle h) {
             return d.setDataCharacteristics(h, 8, 2, 0);
         }},
        {"flow",
         [](FtdiDriver& d, DeviceHandle h) {
             return d.setFlowControl(h, 0, 0, 0);
         }},
        {"rts",
         [](FtdiDriver& d, DeviceHandle h) {
             return d.clearRts(h);
         }},
        {"purge",
         [](FtdiDriver& d, DeviceHandle h) {
             return d.purge(h, 3);
         }},
        {"break on",
         [](FtdiDriver& d, DeviceHandle h) {
             return d.setBreakOn(h);
         }},
        {"break off",
         [](FtdiDriver& d, DeviceHandle h) {
             return d.setBreakOff(h);
         }},
    };
}

} // namespace

TEST_F(LibFtdiFailure, EveryOperationFailsOnceTheDeviceIsGoneAndCloseStillLetsGo) {
    const DeviceHandle handle = openAt(0);
    bus.unplug(0);
    for (const NamedOperation& operation : handleOperations()) {
        EXPECT_EQ(operation.call(driver, handle), DriverStatus::IoError) << operation.name;
    }
    std::uint32_t written = 0;
    EXPECT_EQ(writeFrame(handle, written), DriverStatus::IoError);
    EXPECT_EQ(written, 0u);

    EXPECT_NE(driver.close(handle), DriverStatus::Ok) << "the interface could not be released";
    EXPECT_EQ(bus.liveSessions(), 0);
    EXPECT_EQ(bus.openHandles(), 0);
    EXPECT_EQ(driver.close(handle), DriverStatus::InvalidHandle);
    EXPECT_TRUE(list().empty());
}

TEST_F(LibFtdiFailure, ARefusedRequestFailsTheOperationsThatSendItAndNoOther) {
    const std::vector<std::pair<std::uint8_t, std::vector<std::string_view>>> cases = {
        {kReset, {"reset", "purge"}}, {kBaudRate, {"divisor"}}, {kData, {"data", "break on", "break off"}},
        {kFlowControl, {"flow"}},     {kModemControl, {"rts"}},
    };
    for (const auto& [request, failing] : cases) {
        SCOPED_TRACE(static_cast<int>(request));
        bus.reset();
        bus.attach(ft232r(2));
        LibFtdiDriver fresh;
        DeviceHandle handle = nullptr;
        ASSERT_EQ(fresh.open(0, handle), DriverStatus::Ok);
        bus.refuseControl(request);
        for (const NamedOperation& operation : handleOperations()) {
            const bool shouldFail =
                std::find(failing.begin(), failing.end(), operation.name) != failing.end();
            EXPECT_EQ(operation.call(fresh, handle) != DriverStatus::Ok, shouldFail) << operation.name;
        }
        std::uint32_t written = 0;
        const std::uint8_t byte[] = {0};
        EXPECT_EQ(fresh.write(handle, byte, written), DriverStatus::Ok);
        EXPECT_EQ(fresh.close(handle), DriverStatus::Ok);
    }
}

TEST_F(LibFtdiFailure, ARefusedBulkTransferFailsTheWrite) {
    const DeviceHandle handle = openAt(0);
    bus.refuseBulk();
    std::uint32_t written = 0;
    EXPECT_EQ(writeFrame(handle, written), DriverStatus::IoError);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(driver.setBreakOn(handle), DriverStatus::Ok);
}

TEST_F(LibFtdiFailure, OpenFailsForPositionsOutsideTheList) {
    DeviceHandle handle = nullptr;
    EXPECT_EQ(driver.open(1, handle), DriverStatus::DeviceNotFound);
    EXPECT_EQ(driver.open(-1, handle), DriverStatus::DeviceNotFound);
    EXPECT_EQ(handle, nullptr);
    EXPECT_EQ(bus.liveSessions(), 0);
}

TEST_F(LibFtdiFailure, OpenFailsWithoutPermissionOrWhenTheDeviceIsTaken) {
    bus.attach(ft232r(3));
    bus.denyAccess(0);
    DeviceHandle handle = nullptr;
    EXPECT_EQ(driver.open(0, handle), DriverStatus::DeviceNotOpened);
    EXPECT_EQ(handle, nullptr);

    const DeviceHandle first = openAt(1);
    EXPECT_EQ(driver.open(1, handle), DriverStatus::DeviceNotOpened) << "the interface is claimed already";
    EXPECT_EQ(driver.setBreakOn(first), DriverStatus::Ok) << "the first opener keeps the device";
    driver.close(first);
    EXPECT_EQ(bus.liveSessions(), 0);
    EXPECT_EQ(bus.openHandles(), 0);
}

TEST_F(LibFtdiFailure, OpenFailsWhenTheChipRefusesLibftdisOwnSetUpOrUsbCannotStart) {
    bus.refuseControl(kReset);
    DeviceHandle handle = nullptr;
    EXPECT_EQ(driver.open(0, handle), DriverStatus::DeviceNotOpened);
    EXPECT_EQ(bus.liveSessions(), 0);
    EXPECT_EQ(bus.openHandles(), 0);

    bus.failSessions();
    EXPECT_NE(driver.open(0, handle), DriverStatus::Ok);
    EXPECT_EQ(handle, nullptr);
}

TEST_F(LibFtdiFailure, HandlesNotHandedOutAreRefused) {
    int stranger = 0;
    for (const NamedOperation& operation : handleOperations()) {
        EXPECT_EQ(operation.call(driver, &stranger), DriverStatus::InvalidHandle) << operation.name;
    }
    std::uint32_t written = 0;
    EXPECT_EQ(writeFrame(&stranger, written), DriverStatus::InvalidHandle);
    EXPECT_EQ(driver.close(&stranger), DriverStatus::InvalidHandle);
    EXPECT_EQ(driver.close(nullptr), DriverStatus::InvalidHandle);
}

TEST_F(LibFtdiFailure, APortWhoseAdapterRefusesFlowControlDoesNotOpenAndGivesTheAdapterBack) {
    bus.refuseControl(kFlowControl);
    CDmxPort port(driver, CDmxPort::Timing{.settle = 0ms});
    EXPECT_FALSE(port.open(0));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(ofKind(bus.requests(), UsbRequest::Kind::ReleaseInterface).size(), 1u);
    EXPECT_TRUE(bus.kernelDriverBound(0));
    EXPECT_EQ(bus.liveSessions(), 0);
}
