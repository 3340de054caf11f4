#pragma once

#include "virtual/WireSnapshot.h"

#include <cstddef>
#include <string>

namespace lumora::wire {

// The POSIX shared-memory segment through which the virtual adapter shows its wire to other
// processes. One writer publishes whole snapshots under a sequence number that is odd while it
// writes; a reader copies a snapshot out and starts again when the number moved meanwhile, so it
// never sees half of one frame and half of the next. The segment outlives its writer, so that a
// monitor keeps its view while the console restarts.
//
// Thread rules: publish is for one thread at a time; read may run anywhere, at any time.
class WireSegment {
public:
    WireSegment() = default;
    ~WireSegment();
    WireSegment(WireSegment&& other) noexcept;
    WireSegment& operator=(WireSegment&& other) noexcept;
    WireSegment(const WireSegment&) = delete;
    WireSegment& operator=(const WireSegment&) = delete;

    // Creates the segment, or takes over the one a previous writer left, and publishes an empty
    // snapshot carrying this process's id. Unmapped when the system refuses.
    static WireSegment createForWriting(const std::string& name);
    // Maps a segment that a writer has set up, read-only. Unmapped when there is none yet.
    static WireSegment openForReading(const std::string& name);
    // Removes the name; processes that mapped the segment keep it until they unmap it.
    static bool remove(const std::string& name);
    // The name from the environment, or the default one.
    static std::string nameFromEnvironment();

    bool isMapped() const { return layout_ != nullptr; }

    void publish(const WireSnapshot& snapshot);
    // Copies the latest snapshot; false when unmapped or when no whole copy could be had (a writer
    // that died while publishing).
    bool read(WireSnapshot& snapshot) const;

private:
    struct Layout;

    WireSegment(Layout* layout, bool writable);
    void release();

    Layout* layout_ = nullptr;
    bool writable_ = false;
};

} // namespace lumora::wire
