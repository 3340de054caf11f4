#pragma once

#include "app/TerminationSignals.h"

#include <array>
#include <atomic>
#include <signal.h>

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

} // namespace lumora::test
