#include "virtual/WireWatcher.h"

#include <cerrno>
#include <chrono>
#include <fstream>
#include <signal.h>
#include <string>
#include <utility>

namespace lumora::wire {

WireWatcher::WireWatcher(std::string segmentName)
    : name_(std::move(segmentName)) {}

WireObservation WireWatcher::observe() {
    if (!segment_.isMapped() || !writerRunning_) {
        WireSegment fresh = WireSegment::openForReading(name_);
        if (fresh.isMapped()) {
            segment_ = std::move(fresh);
        }
    }
    WireObservation observation;
    observation.segmentName = name_;
    observation.found = segment_.read(observation.snapshot);
    observation.writerRunning = observation.found && processRunning(observation.snapshot.writerPid);
    observation.nowNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count();
    writerRunning_ = observation.writerRunning;
    return observation;
}

bool WireWatcher::processRunning(pid_t pid) {
    if (pid <= 0 || (kill(pid, 0) != 0 && errno != EPERM)) {
        return false;
    }
    // The third field of /proc/<pid>/stat is the state; the second, the name in parentheses, may
    // itself hold spaces and parentheses, so the state is found after the last ')'.
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) {
        return true;
    }
    const std::size_t end = line.rfind(')');
    return end == std::string::npos || end + 2 >= line.size() || line[end + 2] != 'Z';
}

} // namespace lumora::wire
