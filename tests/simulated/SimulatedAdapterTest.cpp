#include "simulated/SimulatedAdapter.h"

#include "support/DriverCallQueries.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>
#include <mutex>
#include <thread>

using namespace lumora::hw;
using namespace std::chrono_literals;
using lumora::test::callsOf;
using lumora::test::waitFor;

namespace {

SimulatedAdapter::Timing instant() {
    return {std::chrono::microseconds(0), 128};
}

SimulatedDevice device(const char* description, DeviceType type = DeviceType::Ft232R) {
    return {description, static_cast<std::uint32_t>(type), "S1"};
}

DeviceHandle openAt(SimulatedAdapter& adapter, int position) {
    DeviceHandle handle = nullptr;
    EXPECT_EQ(adapter.open(position, handle), DriverStatus::Ok);
    return handle;
}

} // namespace

TEST(SimulatedAdapterDeviceList, ReportsAttachedDevicesInOrderAndNeverWritesPastStorage) {
    SimulatedAdapter adapter(instant());
    adapter.attach(device("FT232R USB UART"));
    adapter.attach(device("USB <-> Serial", DeviceType::Bm));
    adapter.attach(
        device("A description far longer than the sixty-four bytes that the driver's record holds"));

    std::uint32_t count = 0;
    ASSERT_EQ(adapter.createDeviceList(count), DriverStatus::Ok);
    EXPECT_EQ(count, 3u);

    std::vector<DeviceRecord> storage(3);
    setFieldText(storage[2].description, "untouched");
    count = 0;
    ASSERT_EQ(adapter.getDeviceList(std::span(storage).first(2), count), DriverStatus::Ok);
    EXPECT_EQ(count, 3u) << "the driver reports its whole list even when storage is smaller";
    EXPECT_EQ(fieldText(storage[0].description), "FT232R USB UART");
    EXPECT_EQ(storage[0].type, 5u);
    EXPECT_EQ(storage[1].type, 0u);
    EXPECT_EQ(fieldText(storage[2].description), "untouched");

    ASSERT_EQ(adapter.getDeviceList(storage, count), DriverStatus::Ok);
    EXPECT_EQ(fieldText(storage[2].description).size(), 63u);
    EXPECT_EQ(storage[2].description[63], '\0');
}

TEST(SimulatedAdapterDeviceList, CopiesTheListAsBuiltNotAsItIsNow) {
    SimulatedAdapter adapter(instant());
    adapter.attach(device("FT232R USB UART"));
    std::uint32_t count = 0;
    adapter.createDeviceList(count);
    adapter.attach(device("FT232R USB UART"));

    std::vector<DeviceRecord> storage(4);
    adapter.getDeviceList(storage, count);
    EXPECT_EQ(count, 1u);
}

TEST(SimulatedAdapterOpenClose, OpensByPositionOnceAndClosesOnlyKnownHandles) {
    SimulatedAdapter adapter(instant());
    adapter.attach(device("FT232R USB UART"));

    DeviceHandle handle = nullptr;
    EXPECT_EQ(adapter.open(1, handle), DriverStatus::DeviceNotFound);
    EXPECT_EQ(handle, nullptr);
    EXPECT_EQ(adapter.open(-1, handle), DriverStatus::DeviceNotFound);

    handle = openAt(adapter, 0);
    ASSERT_NE(handle, nullptr);
    DeviceHandle second = nullptr;
    EXPECT_EQ(adapter.open(0, second), DriverStatus::DeviceNotOpened) << "an adapter opens only once";

    EXPECT_EQ(adapter.close(handle), DriverStatus::Ok);
    EXPECT_EQ(adapter.close(handle), DriverStatus::InvalidHandle);
    EXPECT_EQ(adapter.resetDevice(handle), DriverStatus::InvalidHandle);
    EXPECT_NE(openAt(adapter, 0), nullptr) << "a closed adapter can be opened again";
}

TEST(SimulatedAdapterFailures, FailsExactlyTheNthCallOfTheChosenOperation) {
    SimulatedAdapter adapter(instant());
    adapter.attach(device("FT232R USB UART"));
    const DeviceHandle handle = openAt(adapter, 0);
    adapter.failCall(Operation::SetDivisor, 2, DriverStatus::IoError);

    EXPECT_EQ(adapter.setDivisor(handle, 12), DriverStatus::Ok);
    EXPECT_EQ(adapter.setDivisor(handle, 12), DriverStatus::IoError);
    EXPECT_EQ(adapter.setDivisor(handle, 12), DriverStatus::Ok);
    EXPECT_EQ(adapter.resetDevice(handle), DriverStatus::Ok);

    const auto divisors = callsOf(adapter.calls(), Operation::SetDivisor);
    ASSERT_EQ(divisors.size(), 3u);
    EXPECT_EQ(divisors[1].status, DriverStatus::IoError) << "failed calls are recorded too";
}

TEST(SimulatedAdapterFailures, FailedOpenHandsBackAStrayHandle) {
    SimulatedAdapter adapter(instant());
    adapter.attach(device("FT232R USB UART"));
    adapter.failCall(Operation::Open, 1, DriverStatus::DeviceNotOpened);
    DeviceHandle handle = nullptr;
    EXPECT_EQ(adapter.open(0, handle), DriverStatus::DeviceNotOpened);
    EXPECT_NE(handle, nullptr);
    EXPECT_EQ(adapter.close(handle), DriverStatus::InvalidHandle);
}

TEST(SimulatedAdapterFailures, AFailedCloseStillLetsGoOfTheDevice) {
    SimulatedAdapter adapter(instant());
    adapter.attach(device("FT232R USB UART"));
    const DeviceHandle handle = openAt(adapter, 0);
    EXPECT_EQ(adapter.openHandleCount(), 1u);
    adapter.failCall(Operation::Close, 1, DriverStatus::IoError);
    EXPECT_EQ(adapter.close(handle), DriverStatus::IoError);
    EXPECT_EQ(adapter.openHandleCount(), 0u);
    EXPECT_NE(openAt(adapter, 0), nullptr);
}

// A stall that is never released would hang the test until its timeout: that is the failure.
constexpr auto kUntilReleased = std::chrono::hours(1);

TEST(SimulatedAdapterStalls, AStalledCallHasItsEffectButReturnsOnlyWhenReleased) {
    SimulatedAdapter adapter(instant());
    adapter.attach(device("FT232R USB UART"));
    const DeviceHandle handle = openAt(adapter, 0);
    adapter.stallCall(Operation::Write, 2, kUntilReleased);

    std::uint32_t written = 0;
    const std::uint8_t byte[] = {0x2A};
    EXPECT_EQ(adapter.write(handle, byte, written), DriverStatus::Ok) << "the first write is not stalled";
    std::thread writer([&] { adapter.write(handle, byte, written); });
    ASSERT_TRUE(waitFor([&] { return adapter.stalledCallCount() == 1; }));
    EXPECT_EQ(adapter.callsStarted(Operation::Write), 2);
    EXPECT_EQ(adapter.callCount(Operation::Write), 1u) << "a stalled call is recorded once it returns";
    EXPECT_EQ(adapter.resetDevice(handle), DriverStatus::Ok) << "other calls go on meanwhile";
    adapter.releaseStalls();
    writer.join();
    EXPECT_EQ(adapter.stalledCallCount(), 0);
    const auto writes = callsOf(adapter.calls(), Operation::Write);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[1].stallLimit, kUntilReleased);
}

TEST(SimulatedAdapterStalls, AReleaseDuringTheRequestLatencyIsNotLost) {
    SimulatedAdapter adapter(SimulatedAdapter::Timing{50ms, 128});
    adapter.attach(device("FT232R USB UART"));
    const DeviceHandle handle = openAt(adapter, 0);
    adapter.stallCall(Operation::SetBreakOn, 1, kUntilReleased);
    std::thread caller([&] { adapter.setBreakOn(handle); });
    ASSERT_TRUE(waitFor([&] { return adapter.stalledCallCount() == 1; }));
    adapter.releaseStalls();
    caller.join();
    EXPECT_EQ(adapter.stalledCallCount(), 0);
}

TEST(SimulatedAdapterStalls, AReleaseAlsoDropsTheStallsStillToCome) {
    SimulatedAdapter adapter(instant());
    adapter.attach(device("FT232R USB UART"));
    const DeviceHandle handle = openAt(adapter, 0);
    adapter.stallCall(Operation::SetBreakOff, 1, kUntilReleased);
    adapter.releaseStalls();
    EXPECT_EQ(adapter.setBreakOff(handle), DriverStatus::Ok);
}

TEST(SimulatedAdapterStalls, AStallEndsByItselfAfterItsLongestTime) {
    SimulatedAdapter adapter(instant());
    adapter.attach(device("FT232R USB UART"));
    const DeviceHandle handle = openAt(adapter, 0);
    adapter.stallCall(Operation::SetBreakOn, 1, 20ms);
    const auto before = SimulatedAdapter::Clock::now();
    EXPECT_EQ(adapter.setBreakOn(handle), DriverStatus::Ok);
    EXPECT_GE(SimulatedAdapter::Clock::now() - before, 20ms);
}

TEST(SimulatedAdapterUnplug, UnpluggedDeviceLeavesTheListAndFailsItsOpenHandle) {
    SimulatedAdapter adapter(instant());
    adapter.attach(device("FT232R USB UART"));
    adapter.attach(device("Other"));
    const DeviceHandle handle = openAt(adapter, 0);

    adapter.unplug(0);
    std::uint32_t written = 0;
    const std::uint8_t byte[] = {0};
    EXPECT_EQ(adapter.write(handle, byte, written), DriverStatus::IoError);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(adapter.setBreakOn(handle), DriverStatus::IoError);
    EXPECT_EQ(adapter.close(handle), DriverStatus::Ok) << "a dead handle can still be released";

    std::uint32_t count = 0;
    adapter.createDeviceList(count);
    std::vector<DeviceRecord> storage(2);
    adapter.getDeviceList(storage, count);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(fieldText(storage[0].description), "Other") << "later devices move up";
}

TEST(SimulatedAdapterUnplug, ScheduledUnplugTakesEffectAtTheFirstCallAfterItsMoment) {
    SimulatedAdapter adapter(instant());
    adapter.attach(device("FT232R USB UART"));
    const DeviceHandle handle = openAt(adapter, 0);
    adapter.unplugAt(0, SimulatedAdapter::Clock::now() + 20ms);

    EXPECT_EQ(adapter.setBreakOn(handle), DriverStatus::Ok);
    std::this_thread::sleep_for(25ms);
    EXPECT_EQ(adapter.setBreakOn(handle), DriverStatus::IoError);
}

TEST(SimulatedAdapterTiming, WritesDrainThroughTheBufferAtTheConfiguredLineRate) {
    SimulatedAdapter adapter(instant());
    adapter.attach(device("FT232R USB UART"));
    const DeviceHandle handle = openAt(adapter, 0);
    adapter.setDivisor(handle, 12);
    adapter.setDataCharacteristics(handle, kWordLength8, kStopBits2, kParityNone);

    const std::vector<std::uint8_t> frame(512, 7);
    std::uint32_t written = 0;
    ASSERT_EQ(adapter.write(handle, frame, written), DriverStatus::Ok);
    EXPECT_EQ(written, 512u);

    const auto write = callsOf(adapter.calls(), Operation::Write).at(0);
    EXPECT_EQ(write.byteTime, 44us) << "11 bits at 250 kbit/s";
    EXPECT_EQ(write.data, frame);
    // The write returns once all but the buffer's 128 bytes are on the line.
    EXPECT_GE(write.finished - write.wireStart, 383 * 44us);
}

TEST(SimulatedAdapterTiming, BytesQueueBehindThoseStillBuffered) {
    SimulatedAdapter adapter(instant());
    adapter.attach(device("FT232R USB UART"));
    const DeviceHandle handle = openAt(adapter, 0);
    // 100 bit/s: the 128 bytes that fit the buffer hold the line for 14 s, so the next write comes
    // while they are still buffered however late this thread is scheduled.
    adapter.setDivisor(handle, 30000);
    adapter.setDataCharacteristics(handle, kWordLength8, kStopBits2, kParityNone);

    std::uint32_t written = 0;
    ASSERT_EQ(adapter.write(handle, std::vector<std::uint8_t>(128, 7), written), DriverStatus::Ok);
    const std::uint8_t one[] = {0};
    ASSERT_EQ(adapter.write(handle, one, written), DriverStatus::Ok);
    const auto writes = callsOf(adapter.calls(), Operation::Write);
    EXPECT_EQ(writes.at(1).wireStart, writes.at(0).wireStart + 128 * 110ms);
}

TEST(SimulatedAdapterTiming, ControlRequestsTakeTheConfiguredLatency) {
    SimulatedAdapter adapter({std::chrono::milliseconds(3), 128});
    adapter.attach(device("FT232R USB UART"));
    const DeviceHandle handle = openAt(adapter, 0);
    adapter.setBreakOn(handle);
    const auto call = callsOf(adapter.calls(), Operation::SetBreakOn).at(0);
    EXPECT_GE(call.finished - call.started, 3ms);
}

TEST(SimulatedAdapterRecord, RecordsCallsFromEveryThreadWithTheirThread) {
    SimulatedAdapter adapter(instant());
    adapter.attach(device("FT232R USB UART"));
    adapter.attach(device("FT232R USB UART"));
    const DeviceHandle first = openAt(adapter, 0);
    const DeviceHandle second = openAt(adapter, 1);

    auto hammer = [&adapter](DeviceHandle handle) {
        for (int i = 0; i < 200; ++i) {
            adapter.setBreakOn(handle);
        }
    };
    std::thread a(hammer, first);
    std::thread b(hammer, second);
    const auto idA = a.get_id();
    a.join();
    b.join();

    const auto breaks = callsOf(adapter.calls(), Operation::SetBreakOn);
    ASSERT_EQ(breaks.size(), 400u);
    EXPECT_EQ(
        std::count_if(breaks.begin(), breaks.end(), [&](const DriverCall& c) { return c.thread == idA; }),
        200);
    adapter.clearCalls();
    EXPECT_EQ(adapter.callCount(Operation::SetBreakOn), 0u);
}

TEST(SimulatedAdapterObserver, SeesEveryFinishedCallOnItsThreadAndMayCallBack) {
    SimulatedAdapter adapter(instant());
    adapter.attach(device("FT232R USB UART"));
    adapter.keepCallRecord(false);
    std::mutex seenMutex;
    std::vector<DriverCall> seen;
    adapter.observeCalls([&](const DriverCall& call) {
        // Outside the adapter's lock: asking the adapter from here must not deadlock.
        adapter.callCount(call.operation);
        std::lock_guard lock(seenMutex);
        seen.push_back(call);
    });

    const DeviceHandle handle = openAt(adapter, 0);
    std::thread sender([&] {
        const std::uint8_t bytes[] = {0, 1, 2};
        std::uint32_t written = 0;
        adapter.setBreakOn(handle);
        adapter.write(handle, bytes, written);
    });
    const auto senderId = sender.get_id();
    sender.join();
    adapter.observeCalls(nullptr);
    adapter.close(handle);

    ASSERT_EQ(seen.size(), 3u) << "calls after the observer was removed are not seen";
    EXPECT_EQ(seen[0].operation, Operation::Open);
    EXPECT_EQ(seen[0].thread, std::this_thread::get_id());
    EXPECT_EQ(seen[2].operation, Operation::Write);
    EXPECT_EQ(seen[2].thread, senderId);
    EXPECT_EQ(seen[2].data, (std::vector<std::uint8_t>{0, 1, 2}));
    EXPECT_GE(seen[2].finished, seen[2].started);
    EXPECT_TRUE(adapter.calls().empty()) << "no record is kept when asked not to";
}
