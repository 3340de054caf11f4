#include "LibFtdiFixture.h"

#include <gtest/gtest.h>

using namespace lumora::hw;
using lumora::test::FakeUsbDevice;
using lumora::test::UsbRequest;

namespace {

struct LibFtdiDeviceList : lumora::test::LibFtdiFixture {
    FakeUsbDevice chip(std::uint16_t product, std::uint16_t release, const char* name, std::uint8_t address) {
        FakeUsbDevice device = ft232r(address);
        device.productId = product;
        device.release = release;
        device.product = name;
        return device;
    }
};

} // namespace

TEST_F(LibFtdiDeviceList, ListsEveryFtdiPairLibftdiKnowsWithProductStringAndChipType) {
    bus.attach(ft232r(2, "FT1"));
    FakeUsbDevice other = chip(0x2303, 0x0300, "USB-Serial Controller", 3);
    other.vendorId = 0x067b;
    bus.attach(other);
    bus.attach(chip(0x6010, 0x0500, "Dual RS232", 4));
    bus.attach(chip(0x6014, 0x0900, "Single RS232-HS", 5));
    bus.attach(chip(0x6015, 0x1000, "FT230X Basic UART", 6));
    bus.attach(chip(0x6011, 0x0800, "Quad RS232-HS", 7));
    bus.attach(ft232r(8, "FT2"));

    const auto records = list();
    ASSERT_EQ(records.size(), 6u) << "the other maker's adapter is not listed";
    const std::vector<std::pair<std::string_view, DeviceType>> expected = {
        {"FT232R USB UART", DeviceType::Ft232R}, {"Dual RS232", DeviceType::Ft2232C},
        {"Single RS232-HS", DeviceType::Ft232H}, {"FT230X Basic UART", DeviceType::FtX},
        {"Quad RS232-HS", DeviceType::Ft4232H},  {"FT232R USB UART", DeviceType::Ft232R}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(fieldText(records[i].description), expected[i].first);
        EXPECT_EQ(records[i].type, static_cast<std::uint32_t>(expected[i].second));
        EXPECT_EQ(records[i].flags, 0u);
    }
    EXPECT_EQ(records[0].type, 5u);
    EXPECT_EQ(records[0].id, 0x04036001u);
    EXPECT_EQ(records[1].id, 0x04036010u);
    EXPECT_EQ(fieldText(records[0].serialNumber), "FT1");
    EXPECT_EQ(fieldText(records[5].serialNumber), "FT2");
    EXPECT_EQ(records[5].locationId, 0x108u);
}

TEST_F(LibFtdiDeviceList, TellsEarlyChipsApartByTheirReleaseNumber) {
    bus.attach(chip(0x6001, 0x0200, "AM", 2));
    FakeUsbDevice bmWithoutSerial = chip(0x6001, 0x0200, "BM without serial", 3);
    bmWithoutSerial.serialNumber.clear();
    bus.attach(bmWithoutSerial);
    bus.attach(chip(0x6001, 0x0400, "BM", 4));
    bus.attach(chip(0x6010, 0x0700, "Dual RS232-HS", 5));
    bus.attach(chip(0x6001, 0x0123, "Unheard of", 6));

    const auto records = list();
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].type, static_cast<std::uint32_t>(DeviceType::Am));
    EXPECT_EQ(records[1].type, static_cast<std::uint32_t>(DeviceType::Bm));
    EXPECT_EQ(records[2].type, static_cast<std::uint32_t>(DeviceType::Bm));
    EXPECT_EQ(records[3].type, static_cast<std::uint32_t>(DeviceType::Ft2232H));
    EXPECT_EQ(records[4].type, static_cast<std::uint32_t>(DeviceType::Unknown));
}

TEST_F(LibFtdiDeviceList, NeverWritesPastStorageAndReportsTheWholeList) {
    for (std::uint8_t address = 2; address < 5; ++address) {
        bus.attach(ft232r(address));
    }
    std::uint32_t count = 0;
    ASSERT_EQ(driver.createDeviceList(count), DriverStatus::Ok);
    EXPECT_EQ(count, 3u);

    std::vector<DeviceRecord> storage(3);
    setFieldText(storage[2].description, "untouched");
    count = 0;
    ASSERT_EQ(driver.getDeviceList(std::span(storage).first(2), count), DriverStatus::Ok);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(fieldText(storage[1].description), "FT232R USB UART");
    EXPECT_EQ(fieldText(storage[2].description), "untouched");

    count = 0;
    ASSERT_EQ(driver.getDeviceList({}, count), DriverStatus::Ok);
    EXPECT_EQ(count, 3u);
}

TEST_F(LibFtdiDeviceList, ListingLeavesEveryDeviceWithTheKernelDriverAndNothingOpen) {
    bus.attach(ft232r(2));
    bus.attach(ft232r(3));
    EXPECT_EQ(list().size(), 2u);
    EXPECT_EQ(bus.liveSessions(), 0);
    EXPECT_EQ(bus.openHandles(), 0);
    EXPECT_TRUE(bus.kernelDriverBound(0));
    EXPECT_TRUE(bus.kernelDriverBound(1));
    const auto requests = bus.requests();
    EXPECT_TRUE(lumora::test::ofKind(requests, UsbRequest::Kind::ClaimInterface).empty());
    EXPECT_TRUE(lumora::test::ofKind(requests, UsbRequest::Kind::Control).empty());
}

TEST_F(LibFtdiDeviceList, KeepsDevicesWhoseStringsCannotBeReadWithAnEmptyDescription) {
    bus.attach(ft232r(2));
    bus.attach(ft232r(3, ""));
    FakeUsbDevice longName = ft232r(4);
    longName.product = std::string(80, 'x');
    bus.attach(longName);
    bus.denyAccess(0);

    const auto records = list();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(fieldText(records[0].description), "") << "no permission to open the device";
    EXPECT_EQ(records[0].type, 5u);
    EXPECT_EQ(fieldText(records[1].description), "FT232R USB UART") << "a chip without serial number";
    EXPECT_EQ(fieldText(records[1].serialNumber), "");
    EXPECT_EQ(fieldText(records[2].description), std::string(63, 'x'));
}

TEST_F(LibFtdiDeviceList, MarksTheDevicesThisDriverHasOpen) {
    bus.attach(ft232r(2));
    bus.attach(ft232r(3));
    const DeviceHandle handle = openAt(1);
    auto records = list();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].flags, 0u);
    EXPECT_EQ(records[1].flags, 1u);
    driver.close(handle);
    records = list();
    EXPECT_EQ(records[1].flags, 0u);
}

TEST_F(LibFtdiDeviceList, FailsWhenUsbCannotStartAndKeepsNoEarlierList) {
    bus.attach(ft232r(2));
    ASSERT_EQ(list().size(), 1u);
    bus.failSessions();
    std::uint32_t count = 7;
    EXPECT_NE(driver.createDeviceList(count), DriverStatus::Ok);
    EXPECT_EQ(count, 0u);
    std::vector<DeviceRecord> storage(1);
    EXPECT_EQ(driver.getDeviceList(storage, count), DriverStatus::Ok);
    EXPECT_EQ(count, 0u);
}
