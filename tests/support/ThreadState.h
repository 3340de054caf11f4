#pragma once

#include <fstream>
#include <string>

namespace lumora::test {

// Whether one of this process's threads is blocked, waiting for something (its state is S or D).
inline bool threadIsBlocked(long threadId) {
    std::ifstream stat("/proc/self/task/" + std::to_string(threadId) + "/stat");
    std::string line;
    if (!std::getline(stat, line) || line.rfind(')') == std::string::npos) {
        return false;
    }
    // The name in parentheses may hold spaces; the state follows the closing one.
    const std::size_t state = line.rfind(')') + 2;
    return state < line.size() && (line[state] == 'S' || line[state] == 'D');
}

} // namespace lumora::test
