#pragma once

#include <cstdint>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace lumora::test {

// Takes from the calling thread, and from every thread it starts afterwards, what lets it choose
// real-time scheduling by itself: the CAP_SYS_NICE capability, and a real-time limit above
// `limit`. Lowering either needs no privilege; raising the limit does. True when both took effect.
inline bool restrictRealtime(rlim_t limit) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct sets[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, sets) != 0) {
        return false;
    }
    const auto niceBit = static_cast<std::uint32_t>(CAP_TO_MASK(CAP_SYS_NICE));
    __user_cap_data_struct& set = sets[CAP_TO_INDEX(CAP_SYS_NICE)];
    set.effective &= ~niceBit;
    set.permitted &= ~niceBit;
    set.inheritable &= ~niceBit;
    // Set the limit while any CAP_SYS_RESOURCE still allows raising it.
    const rlimit realtime{limit, limit};
    return setrlimit(RLIMIT_RTPRIO, &realtime) == 0 && syscall(SYS_capset, &header, sets) == 0;
}

} // namespace lumora::test
