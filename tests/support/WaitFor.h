#pragma once

#include <chrono>
#include <thread>

namespace lumora::test {

// Polls a condition until it holds or a generous deadline passes; tests then assert on the
// condition itself, so a slow machine only makes them slower, never wrong.
template <typename Condition>
bool waitFor(Condition condition, std::chrono::milliseconds deadline = std::chrono::seconds(10)) {
    const auto until = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

} // namespace lumora::test
