#pragma once

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace lumora::test {

// How many of this process's threads go by this name right now, as the kernel lists them.
inline std::size_t threadsNamed(const std::string& name) {
    std::error_code error;
    std::size_t count = 0;
    for (std::filesystem::directory_iterator task("/proc/self/task", error), end; !error && task != end;
         task.increment(error)) {
        std::ifstream comm(task->path() / "comm");
        std::string threadName;
        if (std::getline(comm, threadName) && threadName == name) {
            ++count;
        }
    }
    return count;
}

} // namespace lumora::test
