#pragma once

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace lumora::test {

// How many of this process's threads, as the kernel lists them right now, have a name that keep
// accepts.
template <typename Keep> std::size_t countThreads(Keep keep) {
    std::error_code error;
    std::size_t count = 0;
    for (std::filesystem::directory_iterator task("/proc/self/task", error), end; !error && task != end;
         task.increment(error)) {
        std::ifstream comm(task->path() / "comm");
        std::string threadName;
        if (std::getline(comm, threadName) && keep(threadName)) {
            ++count;
        }
    }
    return count;
}

// How many of this process's threads go by this name right now.
inline std::size_t threadsNamed(const std::string& name) {
    return countThreads([&name](const std::string& threadName) { return threadName == name; });
}

// How many threads this process has right now. A thread takes its name only once it runs, so a
// thread just started is counted here before threadsNamed counts it.
inline std::size_t threadCount() {
    return countThreads([](const std::string&) { return true; });
}

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
