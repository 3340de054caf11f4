#pragma once

#include "virtual/WireSnapshot.h"

#include <cstdint>
#include <string>

namespace lumora::wire {

// What the monitor learnt at one moment: whether the segment was there, the snapshot read from it,
// whether the process that wrote it still runs, and when (steady clock) it looked.
struct WireObservation {
    std::string segmentName;
    bool found = false;
    WireSnapshot snapshot;
    bool writerRunning = false;
    std::int64_t nowNs = 0;
};

} // namespace lumora::wire
