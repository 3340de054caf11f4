#pragma once

#include "virtual/WireObservation.h"
#include "virtual/WireSegment.h"

#include <string>
#include <sys/types.h>

namespace lumora::wire {

// Looks at the virtual adapter's segment for the monitor. Until a segment is found, and while its
// writer is not running, every look opens the name again, so the monitor follows a console that
// starts later or restarts.
class WireWatcher {
public:
    explicit WireWatcher(std::string segmentName);

    WireObservation observe();

    // Whether the process exists and is not a zombie waiting for its parent.
    static bool processRunning(pid_t pid);

private:
    std::string name_;
    WireSegment segment_;
    bool writerRunning_ = false;
};

} // namespace lumora::wire
