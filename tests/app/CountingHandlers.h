#pragma once

#include "app/TerminationSignals.h"

#include <array>
#include <atomic>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace lumora::test {

// Gives SIGINT, SIGTERM and SIGHUP a counting handler while it lives, so that a test knows what the
// handler before TerminationSignals was, and a signal that gets past it is counted instead of
// ending the test program.
class CountingHandlers {
public:
    static constexpr int kFlags = SA_RESTART | SA_NODEFER;
    static inline std::atomic<int> caught{0};

    CountingHandlers() {
        struct sigaction counting = {};
        counting.sa_handler = count;
        counting.sa_flags = kFlags;
        sigemptyset(&counting.sa_mask);
        for (std::size_t i = 0; i < kSignals.size(); ++i) {
            sigaction(kSignals[i], &counting, &original_[i]);
        }
        caught = 0;
    }
    ~CountingHandlers() {
        for (std::size_t i = 0; i < kSignals.size(); ++i) {
            sigaction(kSignals[i], &original_[i], nullptr);
        }
    }
    CountingHandlers(const CountingHandlers&) = delete;
    CountingHandlers& operator=(const CountingHandlers&) = delete;

    static struct sigaction dispositionOf(int signal) {
        struct sigaction current = {};
        sigaction(signal, nullptr, &current);
        return current;
    }
    // Whether the counting handler, with its flags, is the signal's disposition now.
    static bool inPlace(int signal) {
        const struct sigaction current = dispositionOf(signal);
        return current.sa_handler == count && (current.sa_flags & kFlags) == kFlags;
    }
    static bool allInPlace() {
        for (const int signal : kSignals) {
            if (!inPlace(signal)) {
                return false;
            }
        }
        return true;
    }

private:
    static constexpr auto kSignals = TerminationSignals::kSignals;

    static void count(int) { caught.fetch_add(1); }

    std::array<struct sigaction, kSignals.size()> original_ = {};
};

// The descriptor numbers the next pipe gets: the two lowest free ones.
inline std::array<int, 2> nextPipeEnds() {
    const std::array<int, 2> ends = {dup(STDIN_FILENO), dup(STDIN_FILENO)};
    close(ends[0]);
    close(ends[1]);
    return ends;
}

// Whether both ends of the handlers' pipe are non-blocking, so that the window's thread never waits
// on a drained pipe (checked before a test raises a signal, which would hang it), and closed on
// exec, so that no program the console starts (the logo's browser) holds them.
inline bool nonBlockingAndClosedOnExec(const std::array<int, 2>& ends) {
    for (const int end : ends) {
        if ((fcntl(end, F_GETFL) & O_NONBLOCK) == 0 || (fcntl(end, F_GETFD) & FD_CLOEXEC) == 0) {
            return false;
        }
    }
    return true;
}

} // namespace lumora::test
