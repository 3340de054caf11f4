#pragma once

#include "dmx/ChannelLevels.h"
#include "simulated/DriverCall.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace lumora::test {

// Every frame the transmit thread began is whole (break on, break off, the start code alone, the
// 512 slots), so no break is left on, and the adapter is closed after the last one, by the
// interface thread.
inline ::testing::AssertionResult wholeFramesThenClose(const std::vector<hw::DriverCall>& calls,
                                                       std::size_t atLeast) {
    // The close may come before the transmit thread has begun a single frame.
    auto at = std::find_if(calls.begin(), calls.end(), [](const hw::DriverCall& call) {
        return call.operation == hw::Operation::SetBreakOn || call.operation == hw::Operation::Close;
    });
    std::size_t frames = 0;
    for (; at != calls.end() && at->operation == hw::Operation::SetBreakOn; at += 4, ++frames) {
        const bool whole = calls.end() - at >= 4 && at[1].operation == hw::Operation::SetBreakOff &&
                           at[2].operation == hw::Operation::Write &&
                           at[2].data == std::vector<std::uint8_t>{0} &&
                           at[3].operation == hw::Operation::Write && at[3].data.size() == kChannelCount;
        if (!whole) {
            return ::testing::AssertionFailure() << "frame " << frames << " is not break, start code, slots";
        }
    }
    if (frames < atLeast) {
        return ::testing::AssertionFailure() << frames << " frames, expected at least " << atLeast;
    }
    if (at == calls.end() || at->operation != hw::Operation::Close) {
        return ::testing::AssertionFailure() << "no close right after frame " << frames;
    }
    if (at->thread != std::this_thread::get_id()) {
        return ::testing::AssertionFailure() << "closed off the interface thread";
    }
    if (at + 1 != calls.end()) {
        return ::testing::AssertionFailure() << "calls after the close";
    }
    return ::testing::AssertionSuccess();
}

} // namespace lumora::test
