#include <gtest/gtest.h>

#if !defined(_WIN32)
#include "support/NoSystemBus.h"
#endif

int main(int argc, char** argv) {
#if !defined(_WIN32)
    // Only Linux asks a desktop service for priority.
    lumora::test::keepOffTheSystemBus();
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
