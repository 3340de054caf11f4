#pragma once

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/types.h>
#include <system_error>

namespace lumora::test {

// Calls visit(thread id, name) for each of this process's threads as the kernel lists them right
// now, until it returns true.
template <typename Visit> void visitThreads(Visit visit) {
    std::error_code error;
    for (std::filesystem::directory_iterator task("/proc/self/task", error), end; !error && task != end;
         task.increment(error)) {
        std::ifstream comm(task->path() / "comm");
        std::string threadName;
        if (std::getline(comm, threadName) &&
            visit(static_cast<pid_t>(std::stol(task->path().filename().string())), threadName)) {
            return;
        }
    }
}

// How many of this process's threads, as the kernel lists them right now, have a name that keep
// accepts.
template <typename Keep> std::size_t countThreads(Keep keep) {
    std::size_t count = 0;
    visitThreads([&](pid_t, const std::string& threadName) {
        if (keep(threadName)) {
            ++count;
        }
        return false;
    });
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

// The id of one of this process's threads that goes by this name right now; 0 when none does.
inline pid_t threadIdNamed(const std::string& name) {
    pid_t found = 0;
    visitThreads([&](pid_t thread, const std::string& threadName) {
        found = threadName == name ? thread : 0;
        return found != 0;
    });
    return found;
}

} // namespace lumora::test
