#pragma once

#include "dmx/ChannelLevels.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

namespace lumora {

// Hands whole sets of levels from the window's thread to the transmit thread so that the transmit
// thread never waits: a preempted writer must not delay a real-time frame. Three buffers: the
// writer fills one, the reader sends from another, and the third holds the latest complete set.
// Publishing and taking swap a buffer with that third one through one atomic exchange.
class LevelHandover {
public:
    // The writer's side, held for as long as this object lives: fill all 512 levels (the buffer
    // still holds an older set), and they are published whole when it ends. Writers take turns;
    // the reader never waits for them.
    class Edit {
    public:
        explicit Edit(LevelHandover& handover);
        ~Edit();
        Edit(const Edit&) = delete;
        Edit& operator=(const Edit&) = delete;

        ChannelLevels& levels() { return handover_.buffers_[handover_.back_]; }

    private:
        LevelHandover& handover_;
        std::lock_guard<std::mutex> turn_;
    };

    // Reader's side, for one thread only: the latest set published whole. Never blocks; the result
    // stays unchanged until the next call.
    const ChannelLevels& latest();

private:
    static constexpr std::uint8_t kFresh = 0x4;
    static constexpr std::uint8_t kIndex = 0x3;

    std::array<ChannelLevels, 3> buffers_{};
    std::mutex writerTurn_;
    std::uint8_t back_ = 0;
    std::atomic<std::uint8_t> middle_{1};
    std::uint8_t front_ = 2;
};

} // namespace lumora
