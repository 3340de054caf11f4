#pragma once

#include <cstdio>
#include <cstdlib>

namespace lumora::fuzz {

// Stops the run at a broken invariant. The fuzzer keeps the input that got here, and a replaying
// test fails with the reason on its error output.
inline void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

} // namespace lumora::fuzz
