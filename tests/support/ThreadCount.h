#pragma once

#include <cstddef>
#include <filesystem>
#include <system_error>

namespace lumora::test {

// The threads this process has right now, as the kernel lists them; 0 when it cannot tell.
inline std::size_t runningThreadCount() {
    std::error_code error;
    std::size_t count = 0;
    for (std::filesystem::directory_iterator task("/proc/self/task", error), end; !error && task != end;
         task.increment(error)) {
        ++count;
    }
    return error ? 0 : count;
}

} // namespace lumora::test
