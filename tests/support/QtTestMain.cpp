#include "support/NoSystemBus.h"

#include <QApplication>

#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    lumora::test::keepOffTheSystemBus();
    // Test discovery runs this binary without the tests' environment, so the platform is chosen
    // here unless the caller asked for another (Xvfb, for instance).
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen:configfile=" LUMORA_OFFSCREEN_CONFIG, 1);
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
