#include "support/NoSystemBus.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    lumora::test::keepOffTheSystemBus();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
