#include "app/TerminationSignals.h"

#include "CountingHandlers.h"
#include "support/ThreadState.h"
#include "support/WaitFor.h"

#include <QTest>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

using lumora::TerminationSignals;
using lumora::test::CountingHandlers;
using lumora::test::nextPipeEnds;
using lumora::test::nonBlockingAndClosedOnExec;

TEST(TerminationSignals, GiveThePreviousHandlersBackAndKeepIgnoredSignalsIgnored) {
    const CountingHandlers previous;
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGHUP, &ignore, nullptr);
    int reported = 0;
    {
        TerminationSignals termination([&reported] { ++reported; });
        const auto ends = nextPipeEnds();
        ASSERT_TRUE(termination.install());
        ASSERT_TRUE(nonBlockingAndClosedOnExec(ends));
        for (const int signal : {SIGINT, SIGTERM}) {
            EXPECT_FALSE(CountingHandlers::inPlace(signal));
            EXPECT_NE(CountingHandlers::dispositionOf(signal).sa_flags & SA_RESTART, 0);
        }
        EXPECT_EQ(CountingHandlers::dispositionOf(SIGHUP).sa_handler, SIG_IGN) << "as nohup left it";
        std::raise(SIGINT);
        std::raise(SIGHUP);
        std::raise(SIGTERM);
        EXPECT_TRUE(QTest::qWaitFor([&reported] { return reported > 0; }, 2000));
        QTest::qWait(20);
    }
    EXPECT_EQ(reported, 1) << "signals that came together are one request";
    EXPECT_TRUE(CountingHandlers::inPlace(SIGINT));
    EXPECT_TRUE(CountingHandlers::inPlace(SIGTERM));
    EXPECT_EQ(CountingHandlers::dispositionOf(SIGHUP).sa_handler, SIG_IGN);
    std::raise(SIGTERM);
    EXPECT_EQ(CountingHandlers::caught, 1) << "the previous handler runs again";
}

TEST(TerminationSignals, WhenSetupFailsNothingChanges) {
    const CountingHandlers previous;
    {
        int reported = 0;
        TerminationSignals first([&reported] { ++reported; });
        const auto ends = nextPipeEnds();
        ASSERT_TRUE(first.install());
        ASSERT_TRUE(nonBlockingAndClosedOnExec(ends));
        TerminationSignals second([] {});
        EXPECT_FALSE(second.install()) << "one instance at a time";
        std::raise(SIGTERM);
        EXPECT_TRUE(QTest::qWaitFor([&reported] { return reported > 0; }, 2000))
            << "the failed second one left the first one working";
    }
    EXPECT_TRUE(TerminationSignals([] {}).install()) << "once the first one is gone";

    // With every descriptor number below the limit taken, the pipe cannot be made.
    rlimit limits = {};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limits), 0);
    const int lowestFree = dup(STDIN_FILENO);
    ASSERT_GE(lowestFree, 0);
    close(lowestFree);
    rlimit tight = limits;
    tight.rlim_cur = static_cast<rlim_t>(lowestFree);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
    TerminationSignals withoutPipe([] {});
    const bool installed = withoutPipe.install();
    setrlimit(RLIMIT_NOFILE, &limits);
    EXPECT_FALSE(installed);
    EXPECT_FALSE(withoutPipe.isInstalled());
    EXPECT_TRUE(CountingHandlers::allInPlace());
    EXPECT_EQ(CountingHandlers::caught, 0);
}

// A handler still writing on another thread when the console ends: uninstalling waits for it before
// closing the pipe, and the handler wakes it once done.
TEST(TerminationSignals, UninstallWaitsForAHandlerStillRunning) {
    const CountingHandlers previous;
    const int lowestFree = dup(STDIN_FILENO);
    close(lowestFree);
    auto termination = std::make_unique<TerminationSignals>([] {});
    ASSERT_TRUE(termination->install());
    // A full pipe in place of its write end (pipe2 took the two lowest free numbers) holds the
    // handler's write until the test drains it.
    int held[2] = {-1, -1};
    ASSERT_EQ(pipe2(held, O_NONBLOCK), 0);
    while (write(held[1], "x", 1) == 1) {
    }
    fcntl(held[1], F_SETFL, 0);
    ASSERT_EQ(dup2(held[1], lowestFree + 1), lowestFree + 1);
    std::atomic<long> handler{0};
    std::thread signalled([&handler] {
        handler.store(gettid());
        std::raise(SIGTERM);
    });
    ASSERT_TRUE(
        lumora::test::waitFor([&] { return handler != 0 && lumora::test::threadIsBlocked(handler); }));
    std::atomic<bool> uninstalled{false};
    bool returnedWhileHeld = true;
    std::thread releaser([&, uninstaller = gettid()] {
        lumora::test::waitFor([&] { return lumora::test::threadIsBlocked(uninstaller) || uninstalled; });
        returnedWhileHeld = uninstalled;
        char drained[4096];
        EXPECT_GT(read(held[0], drained, sizeof drained), 0);
    });
    termination.reset();
    uninstalled = true;
    releaser.join();
    signalled.join();
    close(held[0]);
    close(held[1]);
    EXPECT_FALSE(returnedWhileHeld) << "the pipe was closed under a running handler";
}
