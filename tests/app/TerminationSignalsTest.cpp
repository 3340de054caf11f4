#include "app/TerminationSignals.h"

#include "CountingHandlers.h"
#include "support/ThreadState.h"
#include "support/WaitFor.h"

#include <QTest>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

using lumora::TerminationSignals;
using lumora::test::CountingHandlers;

TEST(TerminationSignals, GiveThePreviousHandlersBackAndKeepIgnoredSignalsIgnored) {
    const CountingHandlers previous;
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGHUP, &ignore, nullptr);
    int reported = 0;
    {
        TerminationSignals termination([&reported] { ++reported; });
        ASSERT_TRUE(termination.install());
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
        ASSERT_TRUE(first.install());
        TerminationSignals second([] {});
        EXPECT_FALSE(second.install()) << "one instance at a time";
        std::raise(SIGTERM);
        EXPECT_TRUE(QTest::qWaitFor([&reported] { return reported > 0; }, 2000))
            << "the failed second one left the first one working";
    }

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

// A handler still writing on another thread when the console ends: uninstalling must wait for it
// before closing the pipe, and the handler must wake it once it is done.
TEST(TerminationSignals, UninstallWaitsForAHandlerStillRunning) {
    const CountingHandlers previous;
    const int lowestFree = dup(STDIN_FILENO);
    ASSERT_GE(lowestFree, 0);
    close(lowestFree);
    TerminationSignals termination([] {});
    ASSERT_TRUE(termination.install());
    // pipe2 took the two lowest free descriptors. Put a full pipe of ours in place of its write end,
    // so that the handler's write stays blocked until that pipe is drained.
    int held[2] = {-1, -1};
    ASSERT_EQ(pipe2(held, O_NONBLOCK), 0);
    while (write(held[1], "x", 1) == 1) {
    }
    fcntl(held[1], F_SETFL, 0);
    ASSERT_EQ(dup2(held[1], lowestFree + 1), lowestFree + 1);

    std::atomic<bool> uninstalling{false};
    std::atomic<bool> uninstalled{false};
    bool finishedWhileHeld = true;
    const long uninstaller = gettid();
    std::atomic<long> handlerThread{0};
    std::thread handler([&handlerThread] {
        handlerThread.store(gettid());
        std::raise(SIGTERM);
    });
    std::thread releaser([&] {
        lumora::test::waitFor(
            [&] { return uninstalling.load() && lumora::test::threadIsBlocked(uninstaller); });
        finishedWhileHeld = uninstalled.load();
        char drained[4096];
        [[maybe_unused]] const ssize_t ignored = read(held[0], drained, sizeof drained);
    });
    ASSERT_TRUE(lumora::test::waitFor(
        [&] { return handlerThread.load() != 0 && lumora::test::threadIsBlocked(handlerThread.load()); }));
    uninstalling.store(true);
    termination.uninstall();
    uninstalled.store(true);
    releaser.join();
    handler.join();
    close(held[0]);
    close(held[1]);
    EXPECT_FALSE(finishedWhileHeld) << "uninstall returned while a handler was still writing";
}
