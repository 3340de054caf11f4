#include "virtual/WireTap.h"

#include "simulated/WireDecoder.h"

#include <algorithm>
#include <exception>
#include <numeric>

namespace lumora::wire {

namespace {

// Enough for a frame and the break that ends it several times over; a caller that writes without
// ever sending a break loses its oldest calls rather than growing the window.
constexpr std::size_t kMaxWindowCalls = 64;

std::int64_t nanoseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(duration).count();
}

} // namespace

WireTap::WireTap(std::int32_t writerPid, Sink sink)
    : sink_(std::move(sink)) {
    snapshot_.writerPid = writerPid;
}

void WireTap::onCall(const hw::DriverCall& call) noexcept {
    if (!hw::succeeded(call.status)) {
        return;
    }
    std::lock_guard lock(mutex_);
    try {
        switch (call.operation) {
        case hw::Operation::Open:
            ++snapshot_.openHandles;
            publishLocked();
            break;
        case hw::Operation::Close:
            // A frame cut short by closing is never complete, and the next opening starts afresh.
            snapshot_.openHandles = snapshot_.openHandles > 0 ? snapshot_.openHandles - 1 : 0;
            window_.clear();
            periodCount_ = 0;
            publishLocked();
            break;
        case hw::Operation::SetBreakOn:
        case hw::Operation::Write:
            if (window_.size() == kMaxWindowCalls) {
                window_.erase(window_.begin());
            }
            window_.push_back(call);
            break;
        case hw::Operation::SetBreakOff:
            window_.push_back(call);
            takeCompleteFramesLocked();
            break;
        default:
            break;
        }
    } catch (const std::exception&) {
        // Out of memory: forget the frame in progress; the next ones are decoded as usual.
        window_.clear();
    }
}

WireSnapshot WireTap::latest() const {
    std::lock_guard lock(mutex_);
    return snapshot_;
}

void WireTap::takeCompleteFramesLocked() {
    const std::vector<hw::WireFrame> frames = hw::decodeWireFrames(window_);
    if (frames.size() < 2) {
        return;
    }
    for (std::size_t i = 0; i + 1 < frames.size(); ++i) {
        countFrameLocked(frames[i]);
    }
    const hw::WireFrame& latest = frames[frames.size() - 2];
    snapshot_.breakNs = nanoseconds(latest.breakLength);
    snapshot_.markAfterBreakNs = nanoseconds(latest.markAfterBreak);
    snapshot_.periodNs = nanoseconds(latest.period);
    snapshot_.hasStartCode = latest.hasStartCode ? 1 : 0;
    snapshot_.startCode = latest.startCode;
    snapshot_.slotCount = static_cast<std::uint32_t>(latest.slotBytes.size());
    snapshot_.levels.fill(0);
    std::copy_n(latest.slotBytes.begin(), std::min(latest.slotBytes.size(), kUniverseSlots),
                snapshot_.levels.begin());
    publishLocked();

    // The calls from the last break on begin the frame that is still being sent.
    const Clock::time_point lastBreak = frames.back().breakStart;
    std::erase_if(window_, [lastBreak](const hw::DriverCall& call) { return call.finished < lastBreak; });
}

void WireTap::countFrameLocked(const hw::WireFrame& frame) {
    ++snapshot_.frames;
    const bool regular =
        frame.hasStartCode && frame.startCode == 0 && frame.slotBytes.size() == kUniverseSlots;
    if (!regular) {
        ++snapshot_.irregularFrames;
    }
    periods_[periodCount_ % periods_.size()] = frame.period;
    ++periodCount_;
    const std::size_t held = std::min(periodCount_, periods_.size());
    const Clock::duration total = std::accumulate(
        periods_.begin(), periods_.begin() + static_cast<std::ptrdiff_t>(held), Clock::duration::zero());
    snapshot_.framesPerSecond = total > Clock::duration::zero()
                                    ? static_cast<double>(held) / std::chrono::duration<double>(total).count()
                                    : 0.0;
}

void WireTap::publishLocked() {
    snapshot_.publishedAtNs = nanoseconds(Clock::now().time_since_epoch());
    if (sink_) {
        sink_(snapshot_);
    }
}

} // namespace lumora::wire
