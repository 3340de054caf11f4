#pragma once

#include "dmx/ChannelLevels.h"
#include "dmx/LevelHandover.h"
#include "hw/DeviceIndex.h"
#include "hw/DeviceRecord.h"
#include "platform/TimerResolution.h"

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

namespace lumora {

namespace hw {
class FtdiDriver;
}

// How long one driver request may wait for an adapter that has stopped taking data before the driver
// gives it up. A whole frame is 23 ms on the wire; the slowest slots write measured under load took a
// small fraction of this, so a working adapter never meets it, while CLOSE, EXIT and the signals end
// within it and one cycle however the adapter stalls, before an operator would think the console hung.
inline constexpr std::chrono::milliseconds kDriverTimeout{500};

// One FT232R adapter driven as a DMX512 transmitter: open configures the line and starts a
// transmit thread that sends the whole universe (break, start code 0, 512 slots) every cycle until
// close. The port shows no messages; it reports success or failure to its caller.
//
// Thread rules: open, close, setLevels and destruction belong to one controlling thread (the user
// interface); the transmit thread is the port's own. setLevels is thread safe and never waits on the
// driver; the transmit thread never waits on setLevels.
class CDmxPort {
public:
    struct Timing {
        // How long open lets the adapter settle after configuring it before output starts.
        std::chrono::milliseconds settle{1000};
        // The pause after each frame.
        std::chrono::milliseconds cycle{30};
    };

    explicit CDmxPort(hw::FtdiDriver& driver);
    CDmxPort(hw::FtdiDriver& driver, Timing timing);
    virtual ~CDmxPort();
    CDmxPort(const CDmxPort&) = delete;
    CDmxPort& operator=(const CDmxPort&) = delete;

    // Opens the adapter at a position of the driver's device list, configures it for DMX512 and
    // starts output. True when the port is open afterwards; an open port stays as it is.
    bool open(DeviceIndex index);
    // Stops output, waiting for the frame in progress (at most kDriverTimeout per request on a stalled
    // adapter), and closes the adapter. Safe in any state.
    void close();
    // Replaces the whole universe; the next full cycle after this returns carries the new levels.
    void setLevels(const ChannelLevels& levels);
    bool isOpen() const { return openFlag_.load() != 0; }

protected:
    // The universe on its way to the transmit thread; reachable from a derived class so that the
    // writer's side can be held the way a preempted window thread would hold it.
    LevelHandover universe_;

private:
    bool configure();
    bool startThread();
    void failOpen();
    void transmitLoop();
    void sendFrame();

    hw::FtdiDriver& driver_;
    const Timing timing_;

    hw::DeviceHandle device_ = nullptr;
    std::thread thread_;
    // Held while the transmit thread runs, so that its pauses last what they say.
    std::optional<FineTimerResolution> timerResolution_;
    std::atomic<int> openFlag_{0};
    std::atomic<int> stopFlag_{0};
};

} // namespace lumora
