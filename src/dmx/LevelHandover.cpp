#include "dmx/LevelHandover.h"

namespace lumora {

LevelHandover::Edit::Edit(LevelHandover& handover)
    : handover_(handover)
    , turn_(handover.writerTurn_) {}

LevelHandover::Edit::~Edit() {
    // Release makes the filled buffer visible to the reader that acquires it from the exchange.
    const std::uint8_t previous = handover_.middle_.exchange(
        static_cast<std::uint8_t>(handover_.back_ | kFresh), std::memory_order_acq_rel);
    handover_.back_ = previous & kIndex;
}

const ChannelLevels& LevelHandover::latest() {
    if ((middle_.load(std::memory_order_relaxed) & kFresh) != 0) {
        const std::uint8_t previous = middle_.exchange(front_, std::memory_order_acq_rel);
        front_ = previous & kIndex;
    }
    return buffers_[front_];
}

} // namespace lumora
