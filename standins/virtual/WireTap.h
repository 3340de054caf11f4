#pragma once

#include "simulated/DriverCall.h"
#include "virtual/WireSnapshot.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <vector>

namespace lumora::hw {
struct WireFrame;
}

namespace lumora::wire {

// Follows the calls made on a simulated adapter, rebuilds the frames on its line and hands a
// snapshot to its sink whenever a frame is complete or an adapter opens or closes. A frame is
// complete once the next break has ended; the calls before that break are then dropped, so only
// the few calls of the frame being sent are ever held.
//
// Thread-safe: calls may arrive from several threads at once (the console opens and closes on its
// interface thread and sends on its transmit thread); they are taken one at a time, and the sink is
// called under that order, never by two threads at once.
class WireTap {
public:
    using Sink = std::function<void(const WireSnapshot&)>;

    WireTap(std::int32_t writerPid, Sink sink);

    // Meant as the adapter's call observer; never throws.
    void onCall(const hw::DriverCall& call) noexcept;

    WireSnapshot latest() const;

private:
    using Clock = std::chrono::steady_clock;

    void takeCompleteFramesLocked();
    void countFrameLocked(const hw::WireFrame& frame);
    void publishLocked();

    mutable std::mutex mutex_;
    const Sink sink_;
    std::vector<hw::DriverCall> window_;
    // The periods of the latest frames, for the frame rate.
    std::array<Clock::duration, 16> periods_ = {};
    std::size_t periodCount_ = 0;
    WireSnapshot snapshot_;
};

} // namespace lumora::wire
