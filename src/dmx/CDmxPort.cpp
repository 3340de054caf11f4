#include "dmx/CDmxPort.h"

#include "hw/FtdiDriver.h"
#include "platform/ThreadName.h"
#include "platform/ThreadPriority.h"

#include <exception>

namespace lumora {

namespace {

// 3 MHz / 12 = 250,000 bit/s, the DMX512 rate.
constexpr std::uint16_t kDmxDivisor = 12;
constexpr std::uint8_t kStartCode = 0x00;

} // namespace

CDmxPort::CDmxPort(hw::FtdiDriver& driver)
    : CDmxPort(driver, Timing{}) {}

CDmxPort::CDmxPort(hw::FtdiDriver& driver, Timing timing)
    : driver_(driver)
    , timing_(timing) {}

CDmxPort::~CDmxPort() {
    close();
}

bool CDmxPort::open(DeviceIndex index) {
    if (openFlag_.load() == 1) {
        return true;
    }
    hw::DeviceHandle handle = nullptr;
    if (!hw::succeeded(driver_.open(index, handle))) {
        // Some drivers hand back a handle even when they fail; it is not ours to keep or close.
        return false;
    }
    device_ = handle;
    timerResolution_.emplace();
    if (!configure()) {
        failOpen();
        return false;
    }
    std::this_thread::sleep_for(timing_.settle);
    if (!startThread()) {
        failOpen();
        return false;
    }
    openFlag_.store(1);
    return true;
}

bool CDmxPort::configure() {
    using hw::succeeded;
    if (!succeeded(driver_.resetDevice(device_)) || !succeeded(driver_.setDivisor(device_, kDmxDivisor)) ||
        !succeeded(
            driver_.setDataCharacteristics(device_, hw::kWordLength8, hw::kStopBits2, hw::kParityNone)) ||
        !succeeded(driver_.setFlowControl(device_, hw::kFlowNone, 0, 0))) {
        return false;
    }
    // RTS and the purge only tidy the line; an adapter that refuses them still sends correctly. One
    // that refuses the timeouts sends correctly too, only without the bound on a stall.
    driver_.clearRts(device_);
    driver_.purge(device_, hw::kPurgeReceive | hw::kPurgeTransmit);
    const auto timeout = static_cast<std::uint32_t>(kDriverTimeout.count());
    driver_.setTimeouts(device_, timeout, timeout);
    return true;
}

bool CDmxPort::startThread() {
    stopFlag_.store(0);
    try {
        thread_ = std::thread(&CDmxPort::transmitLoop, this);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

void CDmxPort::failOpen() {
    timerResolution_.reset();
    driver_.close(device_);
    device_ = nullptr;
}

void CDmxPort::close() {
    if (thread_.joinable()) {
        stopFlag_.store(1);
        thread_.join();
    }
    if (openFlag_.load() == 1) {
        driver_.close(device_);
        device_ = nullptr;
    }
    timerResolution_.reset();
    openFlag_.store(0);
}

void CDmxPort::setLevels(const ChannelLevels& levels) {
    LevelHandover::Edit(universe_).levels() = levels;
}

void CDmxPort::transmitLoop() {
    nameCurrentThread(kTransmitThreadName);
    raiseCurrentThreadToRealtime(stopFlag_);
    do {
        sendFrame();
        std::this_thread::sleep_for(timing_.cycle);
    } while (stopFlag_.load() == 0);
}

void CDmxPort::sendFrame() {
    // The first cycle may run before open has finished; it sends nothing.
    if (openFlag_.load() == 0) {
        return;
    }
    const ChannelLevels& frame = universe_.latest();
    // The break lasts as long as the two requests take; the line then idles as mark-after-break
    // until the start code leaves the adapter. A receiver reads whatever follows a break as one
    // frame, so a cycle whose break or start code did not go out sends nothing more: the slots would
    // run on from the last frame, or slot 1 would stand for the start code. A short slots write is
    // not made up: the next break ends the frame, and receivers take it as one of fewer slots.
    std::uint32_t written = 0;
    const std::uint8_t startCode[] = {kStartCode};
    if (!hw::succeeded(driver_.setBreakOn(device_)) || !hw::succeeded(driver_.setBreakOff(device_)) ||
        !hw::succeeded(driver_.write(device_, startCode, written)) || written != 1) {
        return;
    }
    driver_.write(device_, frame, written);
}

} // namespace lumora
