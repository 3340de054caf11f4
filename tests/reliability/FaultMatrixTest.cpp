// Every driver operation failing with every status, in each state the console can call it in,
// through the real main dialog: the operator sees exactly the expected message (or none), nothing
// is left open or running, and the console opens again once the fault has passed.

#include "app/ConsoleFixture.h"
#include "platform/ThreadName.h"
#include "support/DriverCallQueries.h"
#include "support/ThreadsNamed.h"
#include "support/WritesAhead.h"

#include <string>

using namespace lumora;
using namespace lumora::test;
using hw::DriverStatus;
using hw::Operation;

namespace {

const std::string kNotFound = "FT232R USB UART 장치를 찾지 못했습니다.";
const std::string kOpenFailed = "USB 통신 포트를 여는데 실패했습니다";

// Every failure the driver can report: the named statuses and one it has no name for.
constexpr DriverStatus kFailures[] = {
    DriverStatus::InvalidHandle,
    DriverStatus::DeviceNotFound,
    DriverStatus::DeviceNotOpened,
    DriverStatus::IoError,
    DriverStatus::InsufficientResources,
    DriverStatus::InvalidParameter,
    DriverStatus::InvalidBaudRate,
    DriverStatus::FailedToWriteDevice,
    DriverStatus::InvalidArgs,
    DriverStatus::NotSupported,
    DriverStatus::OtherError,
    static_cast<DriverStatus>(0xFFFF'FFFFu),
};

// Which write of a frame fails: the start code's is odd-numbered, the slots' even-numbered.
enum class Write { StartCode, Slots };

struct Fault {
    Operation operation;
    DriverStatus status;
    Write write = Write::StartCode;
    int taken = -1; // a write cut short instead: the adapter takes this many bytes and reports success
};

std::string faultName(const ::testing::TestParamInfo<Fault>& info) {
    std::string name(hw::operationName(info.param.operation));
    if (info.param.operation == Operation::Write) {
        name += info.param.write == Write::StartCode ? "StartCode" : "Slots";
    }
    name += info.param.taken >= 0 ? "CutTo" + std::to_string(info.param.taken) : "";
    return name + "Status" + std::to_string(static_cast<std::uint32_t>(info.param.status));
}

std::vector<Fault> faultsOf(std::initializer_list<Fault> points) {
    std::vector<Fault> faults;
    for (const Fault& point : points) {
        for (DriverStatus status : kFailures) {
            faults.push_back({point.operation, status, point.write});
        }
    }
    return faults;
}

constexpr std::array<bool, 3> kInitialPanel{true, false, true};
constexpr std::array<bool, 3> kOpenPanel{false, true, false};
constexpr std::array<bool, 3> kClosedPanel{true, false, false};

} // namespace

class ConsoleUnderFaults : public ConsoleFixture {
protected:
    void SetUp() override {
        attachAdapter();
        start();
        // The operator's levels, which must survive every fault.
        edit(2)->setText("77");
        edit(19)->setText("255");
        boxes.clear();
    }

    // Nothing held, nothing running, and OPEN works again with the operator's levels on the wire.
    void expectCleanAndReopenable() {
        EXPECT_FALSE(dialog->port().isOpen());
        EXPECT_EQ(adapter.openHandleCount(), 0u);
        EXPECT_TRUE(waitFor([] { return threadsNamed(kTransmitThreadName) == 0; }))
            << "no transmit thread is left behind";
        boxes.clear();
        click(resources::kOpenButton);
        ASSERT_TRUE(dialog->port().isOpen()) << "the fault has passed, so OPEN succeeds";
        EXPECT_TRUE(waitFor([] { return threadsNamed(kTransmitThreadName) == 1; }));
        EXPECT_TRUE(boxes.empty());
        expectOperatorLevels(nextWholeFrame());
    }

    void expectOperatorLevels(const hw::WireFrame& frame) {
        ASSERT_EQ(frame.slotBytes.size(), kChannelCount);
        EXPECT_EQ(frame.startCode, 0);
        EXPECT_TRUE(std::equal(frame.slotBytes.begin(), frame.slotBytes.end(), dialog->levels().begin()));
        EXPECT_EQ(frame.slotBytes[2], 77);
        EXPECT_EQ(frame.slotBytes[19], 255);
    }
};

class FaultMatrix : public ConsoleUnderFaults, public ::testing::WithParamInterface<Fault> {
protected:
    // Fails the next call of the fault's operation that the console makes from now on.
    void injectBeforeNextCall() {
        const Fault& fault = GetParam();
        adapter.failCall(fault.operation, adapter.callsStarted(fault.operation) + 1, fault.status);
    }

    // Fails a transmit call far enough ahead that it cannot already be under way.
    void injectAheadOfTheTransmitThread() {
        const Fault& fault = GetParam();
        int nth = adapter.callsStarted(fault.operation) + 2;
        if (fault.operation == Operation::Write) {
            // The start code that follows such a slots write, never one that may be starting now.
            nth = aSlotsWriteStillToCome(adapter) + (fault.write == Write::StartCode ? 1 : 0);
        }
        fault.taken >= 0 ? adapter.cutWrite(nth, static_cast<std::size_t>(fault.taken))
                         : adapter.failCall(fault.operation, nth, fault.status);
    }

    static bool isFault(const hw::DriverCall& call) {
        const Fault& fault = GetParam();
        return call.operation == fault.operation &&
               (fault.taken >= 0 ? call.data.size() < call.arguments[0] : call.status == fault.status);
    }

    bool faultHappened() const {
        const auto calls = adapter.calls();
        return std::any_of(calls.begin(), calls.end(), isFault);
    }

    // The cycle ends at the fault; a break is followed by nothing or by start code 0 and levels in place.
    void expectNothingMalformedOnTheWire() {
        const auto calls = adapter.calls();
        const auto fault = std::find_if(calls.begin(), calls.end(), isFault);
        const auto next = std::find_if(
            fault + 1, calls.end(), [&](const hw::DriverCall& call) { return call.thread == fault->thread; });
        EXPECT_TRUE(next == calls.end() || next->operation == Operation::SetBreakOn) << "the cycle went on";
        for (const hw::WireFrame& frame : hw::decodeWireFrames(calls)) {
            EXPECT_TRUE(frame.slotBytes.size() <= kChannelCount &&
                        (!frame.hasStartCode || frame.startCode == 0) &&
                        std::equal(frame.slotBytes.begin(), frame.slotBytes.end(), dialog->levels().begin()))
                << "whole or short, after start code 0, every level in its own slot";
        }
    }
};

using FaultWhileDiscovering = FaultMatrix;
using FaultWhileDiscoveringAfterAnEarlierFind = FaultMatrix;
using FaultWhileConfiguring = FaultMatrix;
using FaultInALineTidyUpStep = FaultMatrix;
using FaultWhileTransmitting = FaultMatrix;
using FaultOnClose = FaultMatrix;
using FaultOnCloseAfterAFailedOpen = FaultMatrix;
using FaultOnCloseAtExit = FaultMatrix;

TEST_P(FaultWhileDiscovering, ShowsOnlyTheNotFoundMessageAndOpensNothing) {
    injectBeforeNextCall();
    click(resources::kOpenButton);

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kNotFound);
    EXPECT_EQ(boxes[0].icon, dialogkit::MessageIcon::Warning);
    EXPECT_EQ(panelState(), kInitialPanel);
    EXPECT_EQ(selector()->count(), 1) << "only the start-up run's entry";
    EXPECT_EQ(adapter.callCount(Operation::Open), 0u);
    expectCleanAndReopenable();
}

// A list that cannot be read finds no adapter; the earlier position is not trusted blindly.
TEST_P(FaultWhileDiscoveringAfterAnEarlierFind, ShowsTheOpenFailureAndOpensNothing) {
    click(resources::kOpenButton);
    click(resources::kCloseButton);
    const std::size_t opens = adapter.callCount(Operation::Open);
    injectBeforeNextCall();
    click(resources::kOpenButton);

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kOpenFailed);
    EXPECT_EQ(boxes[0].icon, dialogkit::MessageIcon::Error);
    EXPECT_EQ(boxes[0].panelWhileShown, kClosedPanel);
    EXPECT_EQ(panelState(), kInitialPanel);
    EXPECT_EQ(adapter.callCount(Operation::Open), opens);
    expectCleanAndReopenable();
}

TEST_P(FaultWhileConfiguring, ShowsTheOpenFailureAndLeavesNothingOpen) {
    injectBeforeNextCall();
    click(resources::kOpenButton);

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kOpenFailed);
    EXPECT_EQ(boxes[0].icon, dialogkit::MessageIcon::Error);
    EXPECT_EQ(boxes[0].panelWhileShown, kInitialPanel);
    EXPECT_EQ(panelState(), kInitialPanel);
    const std::size_t closes = GetParam().operation == Operation::Open ? 0u : 1u;
    EXPECT_EQ(adapter.callCount(Operation::Close), closes) << "the adapter is closed once if it was opened";
    EXPECT_EQ(adapter.callCount(Operation::SetBreakOn), 0u);
    EXPECT_EQ(adapter.callCount(Operation::Write), 0u);
    expectCleanAndReopenable();
}

TEST_P(FaultInALineTidyUpStep, IsIgnoredAndOutputStarts) {
    injectBeforeNextCall();
    click(resources::kOpenButton);

    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(panelState(), kOpenPanel);
    EXPECT_TRUE(faultHappened());
    expectOperatorLevels(nextWholeFrame());
    click(resources::kCloseButton);
    expectCleanAndReopenable();
}

TEST_P(FaultWhileTransmitting, IsIgnoredAndTheNextFramesAreWhole) {
    click(resources::kOpenButton);
    ASSERT_TRUE(dialog->port().isOpen());
    injectAheadOfTheTransmitThread();
    // The fault is at most four calls ahead; ten more calls of the operation mean it was passed by.
    ASSERT_TRUE(waitWithin([&] { return faultHappened(); },
                           [&] { return adapter.callsStarted(GetParam().operation); }, 10));

    expectOperatorLevels(nextWholeFrame());
    EXPECT_TRUE(dialog->port().isOpen());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(panelState(), kOpenPanel);
    click(resources::kCloseButton);
    expectNothingMalformedOnTheWire();
    expectCleanAndReopenable();
}

TEST_P(FaultOnClose, IsIgnoredAndTheAdapterIsLetGo) {
    click(resources::kOpenButton);
    ASSERT_TRUE(dialog->port().isOpen());
    injectBeforeNextCall();
    click(resources::kCloseButton);

    EXPECT_TRUE(faultHappened());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(panelState(), kClosedPanel);
    expectCleanAndReopenable();
}

TEST_F(ConsoleUnderFaults, AnAdapterUnpluggedWhileSendingKeepsThePortOpenUntilCloseThenResumes) {
    click(resources::kOpenButton);
    ASSERT_TRUE(dialog->port().isOpen());
    adapter.unplug(0);
    const std::size_t breaks = adapter.callCount(Operation::SetBreakOn);
    ASSERT_TRUE(waitFor([&] { return adapter.callCount(Operation::SetBreakOn) >= breaks + 3; }))
        << "the port keeps cycling into the unplugged adapter";
    EXPECT_TRUE(dialog->port().isOpen());
    EXPECT_EQ(panelState(), kOpenPanel);
    EXPECT_TRUE(boxes.empty());

    click(resources::kCloseButton);
    attachAdapter();
    expectCleanAndReopenable();
}

TEST_P(FaultOnCloseAfterAFailedOpen, StillShowsOnlyTheOpenFailureAndLetsGo) {
    adapter.failCall(Operation::ResetDevice, adapter.callsStarted(Operation::ResetDevice) + 1,
                     DriverStatus::IoError);
    injectBeforeNextCall();
    click(resources::kOpenButton);

    EXPECT_TRUE(faultHappened());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kOpenFailed);
    EXPECT_EQ(panelState(), kInitialPanel);
    expectCleanAndReopenable();
}

TEST_P(FaultOnCloseAtExit, EndsTheConsoleSilentlyWithNothingLeft) {
    click(resources::kOpenButton);
    ASSERT_TRUE(dialog->port().isOpen());
    injectBeforeNextCall();
    click(dialogkit::kIdCancel);

    EXPECT_TRUE(dialog->hasEnded());
    EXPECT_TRUE(faultHappened());
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(dialog->port().isOpen());
    EXPECT_EQ(adapter.openHandleCount(), 0u);
    EXPECT_TRUE(waitFor([] { return threadsNamed(kTransmitThreadName) == 0; }));
}

// Discovery during the dialog's initialisation, before SetUp's levels exist.
class FaultInTheStartUpDiscovery : public ConsoleFixture, public ::testing::WithParamInterface<Fault> {};

TEST_P(FaultInTheStartUpDiscovery, ShowsTheNotFoundMessageAndLeavesOpenWorking) {
    attachAdapter();
    adapter.failCall(GetParam().operation, 1, GetParam().status);
    start();

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kNotFound);
    EXPECT_EQ(boxes[0].icon, dialogkit::MessageIcon::Warning);
    EXPECT_EQ(panelState(), kInitialPanel);
    EXPECT_EQ(selector()->count(), 0);
    boxes.clear();
    click(resources::kOpenButton);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(dialog->port().isOpen());
}

INSTANTIATE_TEST_SUITE_P(EveryStatus, FaultInTheStartUpDiscovery,
                         ::testing::ValuesIn(faultsOf({{Operation::CreateDeviceList, {}},
                                                       {Operation::GetDeviceList, {}}})),
                         faultName);
INSTANTIATE_TEST_SUITE_P(EveryStatus, FaultWhileDiscovering,
                         ::testing::ValuesIn(faultsOf({{Operation::CreateDeviceList, {}},
                                                       {Operation::GetDeviceList, {}}})),
                         faultName);
INSTANTIATE_TEST_SUITE_P(EveryStatus, FaultWhileDiscoveringAfterAnEarlierFind,
                         ::testing::ValuesIn(faultsOf({{Operation::CreateDeviceList, {}},
                                                       {Operation::GetDeviceList, {}}})),
                         faultName);
INSTANTIATE_TEST_SUITE_P(EveryStatus, FaultWhileConfiguring,
                         ::testing::ValuesIn(faultsOf({{Operation::Open, {}},
                                                       {Operation::ResetDevice, {}},
                                                       {Operation::SetDivisor, {}},
                                                       {Operation::SetDataCharacteristics, {}},
                                                       {Operation::SetFlowControl, {}}})),
                         faultName);
INSTANTIATE_TEST_SUITE_P(EveryStatus, FaultInALineTidyUpStep,
                         ::testing::ValuesIn(faultsOf({{Operation::ClearRts, {}}, {Operation::Purge, {}}})),
                         faultName);
INSTANTIATE_TEST_SUITE_P(EveryStatus, FaultWhileTransmitting,
                         ::testing::ValuesIn(faultsOf({{Operation::SetBreakOn, {}},
                                                       {Operation::SetBreakOff, {}},
                                                       {Operation::Write, {}, Write::StartCode},
                                                       {Operation::Write, {}, Write::Slots}})),
                         faultName);
INSTANTIATE_TEST_SUITE_P(ShortWrites, FaultWhileTransmitting,
                         ::testing::Values(Fault{Operation::Write, DriverStatus::Ok, Write::StartCode, 0},
                                           Fault{Operation::Write, DriverStatus::Ok, Write::Slots, 100}),
                         faultName);
INSTANTIATE_TEST_SUITE_P(EveryStatus, FaultOnClose, ::testing::ValuesIn(faultsOf({{Operation::Close, {}}})),
                         faultName);
INSTANTIATE_TEST_SUITE_P(EveryStatus, FaultOnCloseAfterAFailedOpen,
                         ::testing::ValuesIn(faultsOf({{Operation::Close, {}}})), faultName);
INSTANTIATE_TEST_SUITE_P(EveryStatus, FaultOnCloseAtExit,
                         ::testing::ValuesIn(faultsOf({{Operation::Close, {}}})), faultName);
