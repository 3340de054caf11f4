#include <QApplication>

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include "support/NoSystemBus.h"
#endif

int main(int argc, char** argv) {
#if !defined(_WIN32)
    // Only Linux asks a desktop service for priority.
    lumora::test::keepOffTheSystemBus();
#endif
    // Test discovery runs this binary without the tests' environment, so the platform is chosen
    // here unless the caller asked for another (Xvfb, for instance).
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" LUMORA_OFFSCREEN_CONFIG);
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
