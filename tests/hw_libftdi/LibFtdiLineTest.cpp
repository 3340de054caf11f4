#include "LibFtdiFixture.h"

#include <ftdi.h>
#include <gtest/gtest.h>

using namespace lumora::hw;
using namespace lumora::test;

namespace {

// One FT232R opened, with the requests of opening it cleared away.
struct LibFtdiLine : LibFtdiFixture {
    LibFtdiLine() {
        bus.attach(ft232r(2));
        handle = openAt(0);
        bus.clearRequests();
    }

    // The only request on the bus since the last look, which must be a vendor control request.
    UsbRequest onlyControl() {
        const auto requests = bus.requests();
        bus.clearRequests();
        EXPECT_EQ(requests.size(), 1u);
        if (requests.empty()) {
            return {};
        }
        EXPECT_EQ(requests[0].kind, UsbRequest::Kind::Control);
        EXPECT_EQ(requests[0].requestType, kVendorOut);
        return requests[0];
    }

    DeviceHandle handle = nullptr;
};

} // namespace

TEST_F(LibFtdiLine, OpensTheDeviceAtTheListPositionAndTakesItFromTheKernelDriver) {
    bus.attach(ft232r(3));
    bus.attach(ft232r(4));
    bus.clearRequests();
    const DeviceHandle third = openAt(2);
    ASSERT_NE(third, nullptr);
    EXPECT_NE(third, handle);

    const auto claims = ofKind(bus.requests(), UsbRequest::Kind::ClaimInterface);
    ASSERT_EQ(claims.size(), 1u);
    EXPECT_EQ(claims[0].device, 2);
    EXPECT_EQ(claims[0].value, 0) << "the FT232R's only interface";
    const auto autoDetach = ofKind(bus.requests(), UsbRequest::Kind::AutoDetachKernelDriver);
    ASSERT_EQ(autoDetach.size(), 1u) << "so that releasing the interface binds the kernel driver again";
    EXPECT_EQ(autoDetach[0].value, 1);
    EXPECT_FALSE(bus.kernelDriverBound(2));
    EXPECT_TRUE(bus.kernelDriverBound(1));
}

TEST_F(LibFtdiLine, DivisorTwelveReachesTheChipAsExactly250000Baud) {
    ASSERT_EQ(driver.setDivisor(handle, 12), DriverStatus::Ok);
    const UsbRequest request = onlyControl();
    EXPECT_EQ(request.request, kBaudRate);
    EXPECT_EQ(request.value, 12);
    EXPECT_EQ(request.index, 0);
    EXPECT_EQ(chipBaudOf(request), 250'000.0);
}

TEST_F(LibFtdiLine, OtherDivisorsReachTheChipUnchanged) {
    for (const std::uint16_t divisor :
         std::initializer_list<std::uint16_t>{0, 1, 2, 3, 7, 13, 100, 625, 10000}) {
        SCOPED_TRACE(divisor);
        ASSERT_EQ(driver.setDivisor(handle, divisor), DriverStatus::Ok);
        const double expected = divisor == 0   ? 3'000'000.0
                                : divisor == 1 ? 2'000'000.0
                                               : 3'000'000.0 / divisor;
        EXPECT_DOUBLE_EQ(chipBaudOf(onlyControl()), expected);
    }
}

TEST_F(LibFtdiLine, EightDataBitsTwoStopBitsNoParityWithAndWithoutBreak) {
    ASSERT_EQ(driver.setDataCharacteristics(handle, kWordLength8, kStopBits2, kParityNone), DriverStatus::Ok);
    UsbRequest request = onlyControl();
    EXPECT_EQ(request.request, kData);
    EXPECT_EQ(request.value, 0x1008);
    EXPECT_EQ(request.index, 1) << "the FT232R's port A";

    ASSERT_EQ(driver.setBreakOn(handle), DriverStatus::Ok);
    request = onlyControl();
    EXPECT_EQ(request.request, kData);
    EXPECT_EQ(request.value, 0x5008);
    const DataSettings withBreak = dataSettingsOf(request);
    EXPECT_EQ(withBreak.dataBits, 8);
    EXPECT_EQ(withBreak.stopBits, 2);
    EXPECT_EQ(withBreak.parity, 0);
    EXPECT_TRUE(withBreak.breakOn);

    ASSERT_EQ(driver.setBreakOff(handle), DriverStatus::Ok);
    EXPECT_EQ(onlyControl().value, 0x1008);
}

TEST_F(LibFtdiLine, BreakKeepsTheLineSettingsOfEachHandle) {
    bus.attach(ft232r(3));
    const DeviceHandle other = openAt(1);
    ASSERT_EQ(driver.setDataCharacteristics(handle, kWordLength8, kStopBits2, kParityNone), DriverStatus::Ok);
    ASSERT_EQ(driver.setDataCharacteristics(other, 7, kStopBits1, 2), DriverStatus::Ok);
    bus.clearRequests();

    ASSERT_EQ(driver.setBreakOn(other), DriverStatus::Ok);
    EXPECT_EQ(onlyControl().value, 0x4207) << "7 data bits, even parity, 1 stop bit, break";
    ASSERT_EQ(driver.setBreakOn(handle), DriverStatus::Ok);
    EXPECT_EQ(onlyControl().value, 0x5008);

    ASSERT_EQ(driver.setDataCharacteristics(handle, kWordLength8, kStopBits1, kParityNone), DriverStatus::Ok);
    EXPECT_EQ(onlyControl().value, 0x4008) << "new settings keep the break that is on";
}

TEST_F(LibFtdiLine, FlowControlOffAndRtsCleared) {
    ASSERT_EQ(driver.setFlowControl(handle, kFlowNone, 0, 0), DriverStatus::Ok);
    UsbRequest request = onlyControl();
    EXPECT_EQ(request.request, kFlowControl);
    EXPECT_EQ(request.value, 0);
    EXPECT_EQ(request.index, 0x0001) << "no handshake bits, port A";

    ASSERT_EQ(driver.clearRts(handle), DriverStatus::Ok);
    request = onlyControl();
    EXPECT_EQ(request.request, kModemControl);
    EXPECT_EQ(request.value, 0x0200) << "RTS selected and low";
    EXPECT_EQ(request.index, 1);

    ASSERT_EQ(driver.setFlowControl(handle, 0x0400, 0x11, 0x13), DriverStatus::Ok);
    request = onlyControl();
    EXPECT_EQ(request.value, 0x1311);
    EXPECT_EQ(request.index, 0x0401);
}

TEST_F(LibFtdiLine, PurgesTheBuffersTheMaskNames) {
    ASSERT_EQ(driver.purge(handle, kPurgeReceive | kPurgeTransmit), DriverStatus::Ok);
    const auto both = bus.requests();
    ASSERT_EQ(both.size(), 2u);
    for (const UsbRequest& request : both) {
        EXPECT_EQ(request.request, kReset);
        EXPECT_EQ(request.index, 1);
    }
    EXPECT_EQ(both[0].value, SIO_TCIFLUSH);
    EXPECT_EQ(both[1].value, SIO_TCOFLUSH);
    bus.clearRequests();

    ASSERT_EQ(driver.purge(handle, kPurgeReceive), DriverStatus::Ok);
    EXPECT_EQ(onlyControl().value, SIO_TCIFLUSH);
    ASSERT_EQ(driver.purge(handle, kPurgeTransmit), DriverStatus::Ok);
    EXPECT_EQ(onlyControl().value, SIO_TCOFLUSH);
}

TEST_F(LibFtdiLine, ResetSendsTheChipsResetRequest) {
    ASSERT_EQ(driver.resetDevice(handle), DriverStatus::Ok);
    const UsbRequest request = onlyControl();
    EXPECT_EQ(request.request, kReset);
    EXPECT_EQ(request.value, 0);
    EXPECT_EQ(request.index, 1);
}

TEST_F(LibFtdiLine, EachWriteIsOneBulkTransferOfItsBytes) {
    std::vector<std::uint8_t> universe(512);
    for (std::size_t i = 0; i < universe.size(); ++i) {
        universe[i] = static_cast<std::uint8_t>(255 - i % 256);
    }
    const std::uint8_t startCode[] = {0x00};
    std::uint32_t written = 0;
    ASSERT_EQ(driver.write(handle, startCode, written), DriverStatus::Ok);
    EXPECT_EQ(written, 1u);
    ASSERT_EQ(driver.write(handle, universe, written), DriverStatus::Ok);
    EXPECT_EQ(written, 512u);

    const auto bulk = ofKind(bus.requests(), UsbRequest::Kind::Bulk);
    ASSERT_EQ(bulk.size(), 2u);
    EXPECT_EQ(bulk[0].endpoint, 0x02);
    EXPECT_EQ(bulk[0].data, std::vector<std::uint8_t>{0x00});
    EXPECT_EQ(bulk[1].endpoint, 0x02);
    EXPECT_EQ(bulk[1].data, universe);
}

TEST_F(LibFtdiLine, CloseReleasesTheInterfaceAndGivesTheDeviceBackToTheKernelDriver) {
    ASSERT_EQ(driver.close(handle), DriverStatus::Ok);
    const auto requests = bus.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].kind, UsbRequest::Kind::ReleaseInterface);
    EXPECT_EQ(requests[1].kind, UsbRequest::Kind::Close);
    EXPECT_TRUE(bus.kernelDriverBound(0));
    EXPECT_EQ(bus.liveSessions(), 0);
    EXPECT_EQ(bus.openHandles(), 0);

    EXPECT_EQ(driver.setBreakOn(handle), DriverStatus::InvalidHandle);
    EXPECT_EQ(driver.close(handle), DriverStatus::InvalidHandle);
    handle = openAt(0);
    EXPECT_NE(handle, nullptr) << "a closed device opens again";
}

TEST_F(LibFtdiLine, SettingsTheChipCannotTakeAreRefusedWithoutARequest) {
    EXPECT_EQ(driver.setDataCharacteristics(handle, 9, kStopBits2, kParityNone),
              DriverStatus::InvalidParameter);
    EXPECT_EQ(driver.setDataCharacteristics(handle, kWordLength8, 3, kParityNone),
              DriverStatus::InvalidParameter);
    EXPECT_EQ(driver.setDataCharacteristics(handle, kWordLength8, kStopBits2, 5),
              DriverStatus::InvalidParameter);
    EXPECT_EQ(driver.setFlowControl(handle, 0x0800, 0, 0), DriverStatus::InvalidParameter);
    EXPECT_EQ(driver.purge(handle, 4), DriverStatus::InvalidParameter);
    EXPECT_TRUE(bus.requests().empty());
}

TEST_F(LibFtdiLine, DestroyingTheDriverClosesWhatIsStillOpen) {
    {
        LibFtdiDriver scoped;
        DeviceHandle second = nullptr;
        bus.attach(ft232r(3));
        ASSERT_EQ(scoped.open(1, second), DriverStatus::Ok);
        EXPECT_FALSE(bus.kernelDriverBound(1));
    }
    EXPECT_TRUE(bus.kernelDriverBound(1));
    EXPECT_EQ(bus.liveSessions(), 1) << "only the fixture's own device is still open";
}
