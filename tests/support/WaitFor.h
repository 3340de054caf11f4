#pragma once

#include <chrono>
#include <thread>

namespace lumora::test {

// Only a guard against a hang: a test that passes never waits this long, however busy the machine.
// ctest gives each case several times as long (cmake/LumoraOptions.cmake), so a wait that fails
// reports its assertion instead of being killed as a timeout.
inline constexpr std::chrono::milliseconds kHangGuard{30'000};

// Polls a condition until it holds; tests then assert on the condition itself, so a slow machine
// only makes them slower, never wrong. Gives up only at the hang guard.
template <typename Condition>
bool waitFor(Condition condition, std::chrono::milliseconds hangGuard = kHangGuard) {
    const auto until = std::chrono::steady_clock::now() + hangGuard;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Polls a condition for as long as the code under test needs to get there, measured in its own
// progress: gives up once `progress` (a count that grows as it works, such as driver calls started)
// has grown by `steps` with the condition still false, so a fault fails the test after the same
// amount of work on a quiet machine and on a busy one.
template <typename Condition, typename Progress>
bool waitWithin(Condition condition, Progress progress, int steps) {
    const auto limit = progress() + steps;
    return waitFor([&] { return condition() || progress() >= limit; }) && condition();
}

} // namespace lumora::test
