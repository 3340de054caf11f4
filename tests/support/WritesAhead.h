#pragma once

#include "simulated/SimulatedAdapter.h"

namespace lumora::test {

// The number, as failCall and stallCall count, of a 512-slot write that the port's transmit thread
// has not started yet: writes alternate start code (odd) and slots (even), and the next write to
// start may already be under way, so the one after it is the first that is surely still to come.
inline int aSlotsWriteStillToCome(const hw::SimulatedAdapter& adapter) {
    const int nth = adapter.callsStarted(hw::Operation::Write) + 2;
    return nth % 2 == 0 ? nth : nth + 1;
}

} // namespace lumora::test
