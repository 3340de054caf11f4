#include "LibFtdiFixture.h"
#include "dmx/CDmxPort.h"
#include "simulated/WireDecoder.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>
#include <libusb.h>
#include <thread>

using namespace lumora;
using namespace lumora::hw;
using namespace lumora::test;
using namespace std::chrono_literals;

namespace {

struct LibFtdiPort : LibFtdiFixture {
    LibFtdiPort() { bus.attach(ft232r(2)); }
};

ChannelLevels ramp() {
    ChannelLevels levels{};
    for (std::size_t i = 0; i < levels.size(); ++i) {
        levels[i] = static_cast<std::uint8_t>(i * 3 + 1);
    }
    return levels;
}

} // namespace

TEST_F(LibFtdiPort, RunsForASecondAndEveryFrameDecodesOnTheChipsLine) {
    const ChannelLevels levels = ramp();
    {
        CDmxPort port(driver, CDmxPort::Timing{.settle = 0ms});
        port.setLevels(levels);
        ASSERT_TRUE(port.open(0));
        std::this_thread::sleep_for(1s);
        port.close();
    }
    const auto requests = bus.requests();

    // The set-up the port asks for, after libftdi1's own reset and 9600 baud on opening.
    const auto claim = std::find_if(requests.begin(), requests.end(), [](const UsbRequest& r) {
        return r.kind == UsbRequest::Kind::ClaimInterface;
    });
    ASSERT_NE(claim, requests.end());
    std::vector<UsbRequest> setUp;
    std::copy_if(claim, requests.end(), std::back_inserter(setUp),
                 [](const UsbRequest& r) { return r.kind == UsbRequest::Kind::Control; });
    ASSERT_GE(setUp.size(), 9u);
    setUp.erase(setUp.begin(), setUp.begin() + 2);
    EXPECT_EQ(setUp[0].request, kReset);
    EXPECT_EQ(setUp[0].value, 0);
    EXPECT_EQ(setUp[1].request, kBaudRate);
    EXPECT_EQ(chipBaudOf(setUp[1]), 250'000.0);
    EXPECT_EQ(setUp[2].request, kData);
    EXPECT_EQ(setUp[2].value, 0x1008);
    EXPECT_EQ(setUp[3].request, kFlowControl);
    EXPECT_EQ(setUp[3].value, 0);
    EXPECT_EQ(setUp[4].request, kModemControl);
    EXPECT_EQ(setUp[4].value, 0x0200);
    EXPECT_EQ(setUp[5].request, kReset);
    EXPECT_EQ(setUp[6].request, kReset);
    EXPECT_EQ(setUp[5].value + setUp[6].value, 3) << "both buffers purged";

    const auto bulk = ofKind(requests, UsbRequest::Kind::Bulk);
    ASSERT_GE(bulk.size(), 40u) << "about 30 frames in a second";
    for (std::size_t i = 0; i < bulk.size(); ++i) {
        EXPECT_EQ(bulk[i].data.size(), i % 2 == 0 ? 1u : 512u) << i;
    }

    const auto calls = lineCallsOf(requests);
    const auto frames = decodeWireFrames(calls);
    ASSERT_GE(frames.size(), 20u);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_GT(frames[i].breakLength, 0ns);
        EXPECT_TRUE(frames[i].hasStartCode);
        EXPECT_EQ(frames[i].startCode, 0x00);
        EXPECT_EQ(frames[i].slotBytes, std::vector<std::uint8_t>(levels.begin(), levels.end()));
        if (i + 1 < frames.size()) {
            EXPECT_GE(frames[i].period, CDmxPort::Timing{}.cycle);
        }
    }

    for (const UsbRequest& request : requests) {
        if (request.kind == UsbRequest::Kind::Control || request.kind == UsbRequest::Kind::Bulk) {
            EXPECT_GT(request.timeout, 0u) << "libusb waits for ever on a zero timeout";
            EXPECT_LE(request.timeout, 5000u);
        }
    }
    EXPECT_TRUE(ofKind(requests, UsbRequest::Kind::Unexpected).empty());
    EXPECT_TRUE(bus.kernelDriverBound(0));
    EXPECT_EQ(bus.liveSessions(), 0);
    EXPECT_EQ(bus.openHandles(), 0);
}

TEST_F(LibFtdiPort, KeepsCyclingWhenTheAdapterIsUnpluggedAndClosesCleanly) {
    CDmxPort port(driver, CDmxPort::Timing{.settle = 0ms});
    ASSERT_TRUE(port.open(0));
    std::this_thread::sleep_for(100ms);
    bus.unplug(0);
    const std::size_t before = bus.requests().size();
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(port.isOpen());
    EXPECT_GT(bus.requests().size(), before) << "the thread still tries every cycle";
    port.close();
    EXPECT_EQ(bus.liveSessions(), 0);
    EXPECT_EQ(bus.openHandles(), 0);
}

// Bulk writes that hang: each is given up at the half-second timeout the port set, and ends its cycle.
TEST_F(LibFtdiPort, HangingWritesAreGivenUpAtTheTimeoutAndEndTheirCycle) {
    CDmxPort port(driver, CDmxPort::Timing{.settle = 0ms});
    ASSERT_TRUE(port.open(0));
    bus.hangBulk();
    ASSERT_TRUE(waitFor([&] { return bus.requests().back().result == LIBUSB_ERROR_TIMEOUT; }));
    port.close();
    const auto requests = bus.requests();
    for (auto r = requests.begin(); r + 1 != requests.end(); ++r) {
        EXPECT_FALSE(r->result == LIBUSB_ERROR_TIMEOUT &&
                     (r->timeout != 500 || (r + 1)->kind == UsbRequest::Kind::Bulk));
    }
}
