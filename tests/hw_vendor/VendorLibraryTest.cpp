#include "dmx/CDmxPort.h"
#include "hw/DriverChoice.h"
#if defined(_WIN32)
#include "hw/NoDriver.h"
#else
#include "hw/LibFtdiDriver.h"
#endif
#include "hw/VendorLibraryDriver.h"
#include "platform/SharedLibrary.h"
#include "support/WaitFor.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

using namespace lumora;
using namespace lumora::hw;
using namespace std::chrono_literals;

namespace {

// The stand-in library in the test's build tree, found by the same name and search as the vendor's
// library: the test executable's run path leads to it on Linux; on Windows it lies beside the
// executable.
struct VendorLibrary : ::testing::Test {
    VendorLibrary() {
        reset = standIn.function<void (*)()>("lumora_stand_in_reset");
        fail = standIn.function<void (*)(const char*, unsigned int)>("lumora_stand_in_fail");
        record = standIn.function<const char* (*)()>("lumora_stand_in_record");
        if (reset != nullptr) {
            reset();
        }
    }

    void SetUp() override {
        ASSERT_TRUE(reset != nullptr && fail != nullptr && record != nullptr)
            << kVendorLibraryName << " found first is not the stand-in built for this test";
    }

    std::vector<std::string> calls() const {
        std::vector<std::string> lines;
        std::istringstream text(record());
        for (std::string line; std::getline(text, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    std::size_t count(std::string_view prefix) const {
        const auto lines = calls();
        return static_cast<std::size_t>(
            std::count_if(lines.begin(), lines.end(),
                          [prefix](const std::string& line) { return line.starts_with(prefix); }));
    }

    SharedLibrary standIn{kVendorLibraryName};
    void (*reset)() = nullptr;
    void (*fail)(const char*, unsigned int) = nullptr;
    const char* (*record)() = nullptr;
};

// Without a usable vendor library the choice falls back to libftdi1 on Linux; on Windows there is
// no other driver, so it takes one that sees no adapter.
bool isTheFallback(const FtdiDriver* driver) {
#if defined(_WIN32)
    return dynamic_cast<const NoDriver*>(driver) != nullptr;
#else
    return dynamic_cast<const LibFtdiDriver*>(driver) != nullptr;
#endif
}

std::string hexOf(const ChannelLevels& levels) {
    std::string hex;
    for (const std::uint8_t level : levels) {
        constexpr char kDigits[] = "0123456789abcdef";
        hex += kDigits[level >> 4];
        hex += kDigits[level & 0xF];
    }
    return hex;
}

} // namespace

TEST_F(VendorLibrary, TheStartUpChoiceTakesTheLibraryTheLoaderFinds) {
    const auto driver = chooseDriver();
    ASSERT_NE(dynamic_cast<VendorLibraryDriver*>(driver.get()), nullptr);
    std::uint32_t count = 0;
    EXPECT_EQ(driver->createDeviceList(count), DriverStatus::Ok);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(calls(), std::vector<std::string>{"FT_CreateDeviceInfoList"});
}

TEST_F(VendorLibrary, DiscoveryPassesThroughAndNeverOverrunsStorage) {
    const auto driver = VendorLibraryDriver::load(kVendorLibraryName);
    ASSERT_NE(driver, nullptr);
    std::uint32_t count = 0;
    ASSERT_EQ(driver->createDeviceList(count), DriverStatus::Ok);
    ASSERT_EQ(count, 3u);

    std::vector<DeviceRecord> storage(3);
    setFieldText(storage[1].description, "untouched");
    count = 0;
    ASSERT_EQ(driver->getDeviceList(std::span(storage).first(1), count), DriverStatus::Ok);
    EXPECT_EQ(count, 3u) << "the whole list is reported";
    EXPECT_EQ(fieldText(storage[0].description), "FT232R USB UART");
    EXPECT_EQ(fieldText(storage[1].description), "untouched") << "the library writes all three nodes";

    ASSERT_EQ(driver->getDeviceList(storage, count), DriverStatus::Ok);
    EXPECT_EQ(fieldText(storage[1].description), "USB <-> Serial Cable");
    EXPECT_EQ(storage[1].type, 0u);
    EXPECT_EQ(fieldText(storage[2].serialNumber), "SI000003");
    EXPECT_EQ(storage[2].type, 5u);
    EXPECT_EQ(storage[2].locationId, 0x102u);
    EXPECT_EQ(calls(), (std::vector<std::string>{"FT_CreateDeviceInfoList", "FT_GetDeviceInfoList",
                                                 "FT_GetDeviceInfoList"}));
}

TEST_F(VendorLibrary, NothingIsCopiedBeforeAListIsBuilt) {
    const auto driver = VendorLibraryDriver::load(kVendorLibraryName);
    ASSERT_NE(driver, nullptr);
    std::vector<DeviceRecord> storage(1);
    setFieldText(storage[0].description, "untouched");
    std::uint32_t count = 7;
    EXPECT_EQ(driver->getDeviceList(storage, count), DriverStatus::Ok);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(fieldText(storage[0].description), "untouched");
    EXPECT_TRUE(calls().empty()) << "the library would write a list of a size not known here";
}

TEST_F(VendorLibrary, APortOpensSendsWholeFramesAndClosesThroughTheLibrary) {
    const auto driver = VendorLibraryDriver::load(kVendorLibraryName);
    ASSERT_NE(driver, nullptr);
    ChannelLevels levels{};
    for (std::size_t i = 0; i < levels.size(); ++i) {
        levels[i] = static_cast<std::uint8_t>(i * 5);
    }
    {
        CDmxPort port(*driver, CDmxPort::Timing{.settle = 0ms});
        port.setLevels(levels);
        ASSERT_TRUE(port.open(2));
        ASSERT_TRUE(test::waitFor([&] { return count("FT_Write h2 512") >= 3; }));
        port.close();
    }

    const auto lines = calls();
    const std::vector<std::string> setUp = {"FT_Open 2",
                                            "FT_ResetDevice h2",
                                            "FT_SetDivisor h2 12",
                                            "FT_SetDataCharacteristics h2 8 2 0",
                                            "FT_SetFlowControl h2 0 0 0",
                                            "FT_ClrRts h2",
                                            "FT_Purge h2 3",
                                            "FT_SetTimeouts h2 500 500"};
    ASSERT_GT(lines.size(), setUp.size() + 1);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 8), setUp);
    EXPECT_EQ(lines.back(), "FT_Close h2");
    const std::vector<std::string> frame = {"FT_SetBreakOn h2", "FT_SetBreakOff h2", "FT_Write h2 1 00",
                                            "FT_Write h2 512 " + hexOf(levels)};
    const std::size_t frames = (lines.size() - setUp.size() - 1) / frame.size();
    EXPECT_GE(frames, 3u);
    for (std::size_t i = 0; i < frames * frame.size(); ++i) {
        EXPECT_EQ(lines[setUp.size() + i], frame[i % frame.size()]) << i;
    }
}

TEST_F(VendorLibrary, StatusesAndHandlesPassThroughUnchanged) {
    const auto driver = VendorLibraryDriver::load(kVendorLibraryName);
    ASSERT_NE(driver, nullptr);
    DeviceHandle first = nullptr;
    DeviceHandle third = nullptr;
    ASSERT_EQ(driver->open(0, first), DriverStatus::Ok);
    ASSERT_EQ(driver->open(2, third), DriverStatus::Ok);
    EXPECT_NE(first, third);
    DeviceHandle again = nullptr;
    EXPECT_EQ(driver->open(0, again), DriverStatus::DeviceNotOpened);
    EXPECT_EQ(driver->open(3, again), DriverStatus::DeviceNotFound);

    fail("FT_SetDivisor", 7);
    fail("FT_Write", 4);
    EXPECT_EQ(driver->setDivisor(third, 12), DriverStatus::InvalidBaudRate);
    std::uint32_t written = 99;
    const std::uint8_t byte[] = {0x2a};
    EXPECT_EQ(driver->write(first, byte, written), DriverStatus::IoError);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(driver->setBreakOn(first), DriverStatus::Ok);
    EXPECT_EQ(driver->close(third), DriverStatus::Ok);
    EXPECT_EQ(driver->close(third), DriverStatus::InvalidHandle);

    const auto lines = calls();
    EXPECT_EQ(std::vector<std::string>(lines.end() - 5, lines.end()),
              (std::vector<std::string>{"FT_SetDivisor h2 12", "FT_Write h0 1 2a", "FT_SetBreakOn h0",
                                        "FT_Close h2", "FT_Close h?"}));
}

TEST_F(VendorLibrary, APortTheLibraryRefusesToConfigureDoesNotOpenAndClosesTheAdapter) {
    const auto driver = VendorLibraryDriver::load(kVendorLibraryName);
    ASSERT_NE(driver, nullptr);
    fail("FT_SetDivisor", 7);
    CDmxPort port(*driver, CDmxPort::Timing{.settle = 0ms});
    EXPECT_FALSE(port.open(0));
    EXPECT_EQ(calls().back(), "FT_Close h0");
}

TEST(VendorLibraryAbsent, ALibraryMissingOneFunctionOrNoneAtAllIsUnavailableAndTheFallbackIsChosen) {
    // The incomplete library is found and lacks only the one function, so that is what refuses it.
    const SharedLibrary incomplete(LUMORA_INCOMPLETE_D2XX);
    ASSERT_TRUE(incomplete.isLoaded());
    EXPECT_NE(incomplete.function<void (*)()>("FT_Open"), nullptr);
    EXPECT_EQ(incomplete.function<void (*)()>("FT_SetBreakOff"), nullptr);
    for (const std::string library : {
#if !defined(_WIN32)
             // Loaded anyway, its first call would end the process with a symbol lookup error.
             LUMORA_UNRESOLVED_D2XX,
#endif
                 LUMORA_INCOMPLETE_D2XX, "ftd2xx-not-installed", "/nonexistent/ftd2xx"
         }) {
        EXPECT_EQ(VendorLibraryDriver::load(library), nullptr) << library;
        EXPECT_TRUE(isTheFallback(chooseDriver(library).get())) << library;
    }
}

#if defined(_WIN32)
TEST(VendorLibraryAbsent, WithoutTheLibraryTheConsoleFindsNoAdapterAndOpensNone) {
    const auto driver = chooseDriver("ftd2xx-not-installed");
    ASSERT_NE(driver, nullptr);
    std::uint32_t count = 99;
    EXPECT_EQ(driver->createDeviceList(count), DriverStatus::Ok);
    EXPECT_EQ(count, 0u);
    std::vector<DeviceRecord> storage(1);
    EXPECT_EQ(driver->getDeviceList(storage, count), DriverStatus::Ok);
    EXPECT_EQ(count, 0u);
    DeviceHandle handle = &storage;
    EXPECT_EQ(driver->open(0, handle), DriverStatus::DeviceNotFound);
    EXPECT_EQ(handle, nullptr);
    CDmxPort port(*driver, CDmxPort::Timing{.settle = 0ms});
    EXPECT_FALSE(port.open(0));
    EXPECT_FALSE(port.isOpen());
}

// A DLL of any name left in the folder the console was started from must not be taken for the
// driver: a bare name is looked for beside the program and in the system folder only.
TEST(VendorLibraryOnWindows, ADllInTheCurrentFolderIsNotLoadedByName) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / "lumora-current-folder";
    fs::create_directories(folder);
    fs::copy_file(LUMORA_INCOMPLETE_D2XX, folder / "ftd2xx_left_here.dll",
                  fs::copy_options::overwrite_existing);
    const fs::path previous = fs::current_path();
    fs::current_path(folder);
    const bool loadedByName = SharedLibrary("ftd2xx_left_here.dll").isLoaded();
    fs::current_path(previous);
    EXPECT_FALSE(loadedByName);
    EXPECT_TRUE(SharedLibrary((folder / "ftd2xx_left_here.dll").string()).isLoaded()) << "it is loadable";
}
#endif
