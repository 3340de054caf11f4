// How the transmit thread is scheduled, seen from a process of its own that is allowed real-time
// scheduling, limited to a lower priority, or refused it, with or without a RealtimeKit service on
// a private stand-in for the system bus.

#include "PrivateBus.h"
#include "StandInRealtimeKit.h"
#include "platform/RealtimeKit.h"
#include "platform/ThreadPriority.h"
#include "support/WaitFor.h"

#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <pthread.h>
#include <sched.h>
#include <sstream>
#include <thread>

using namespace lumora;
using namespace lumora::test;

namespace {

enum class Bus { None, NoService, Granting, Refusing, Hung };

struct Case {
    const char* name;
    const char* restriction; // "keep", or the real-time limit the probe is left
    Bus bus;
    std::int32_t serviceMaximum;
    int policy;
    int priority;
    // The priority the service must have been asked for; 0 when it must not have been asked.
    std::uint32_t asked;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

constexpr std::int64_t kServiceRunTimeMaximum = 200'000;

const Case kCases[] = {
    {"Allowed", "keep", Bus::Granting, 20, SCHED_FIFO, 49, 0},
    {"LimitedBelowTheChosenPriority", "10", Bus::Granting, 20, SCHED_FIFO, 10, 0},
    {"RefusedWithNoBus", "0", Bus::None, 0, SCHED_OTHER, 0, 0},
    {"RefusedWithNoService", "0", Bus::NoService, 0, SCHED_OTHER, 0, 0},
    {"GrantedByTheServiceAtItsHighest", "0", Bus::Granting, 20, SCHED_RR, 20, 20},
    // 49: below the interrupt threads of a PREEMPT_RT kernel, which run at 50.
    {"GrantedByTheServiceAtTheChosenPriority", "0", Bus::Granting, 60, SCHED_RR, 49, 49},
    {"RefusedByTheService", "0", Bus::Refusing, 20, SCHED_OTHER, 0, 20},
    // Output starts, and CLOSE returns, however long a hung service keeps the request.
    {"ServiceThatNeverAnswers", "0", Bus::Hung, 20, SCHED_OTHER, 0, 20},
};

struct Probed {
    std::string said;
    long long thread = 0;
    int policy = -1;
    int priority = -1;
    long long runTimeLimit = 0;
    long long longestBusWait = -1; // µs
    long long allBusWaits = -1;    // µs
    int replySlotsKept = -1;
};

StandInRealtimeKit::Answer answerOf(Bus bus) {
    return bus == Bus::Granting   ? StandInRealtimeKit::Answer::Grant
           : bus == Bus::Refusing ? StandInRealtimeKit::Answer::Refuse
                                  : StandInRealtimeKit::Answer::Never;
}

// Whether a thread of this process may take real-time scheduling, tried on one that ends at once.
bool aThreadMayRunRealtime() {
    bool allowed = false;
    std::thread([&allowed] {
        sched_param parameter{};
        parameter.sched_priority = 1;
        allowed = pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameter) == 0;
    }).join();
    return allowed;
}

class TransmitPriority : public ::testing::TestWithParam<Case> {
protected:
    static constexpr int kCannotRestrict = 3;

    // The probe's exit status, and what it saw when it is 0.
    int probe(const std::string& busAddress, Probed& probed) {
        ChildProcess child({LUMORA_PRIORITY_PROBE, GetParam().restriction},
                           {"DBUS_SYSTEM_BUS_ADDRESS=" + busAddress});
        // Longer than the probe's own wait for frames, so that its message arrives when that fails.
        probed.said = child.readLine(2 * kHangGuard);
        std::istringstream line(probed.said);
        line >> probed.thread >> probed.policy >> probed.priority >> probed.runTimeLimit >>
            probed.longestBusWait >> probed.allBusWaits >> probed.replySlotsKept;
        return child.exitStatus();
    }
};

} // namespace

TEST_P(TransmitPriority, RunsTheThreadAsTheSystemAllows) {
    const Case& c = GetParam();
    // Refusals need no privilege: the probe only gives up what it has.
    if ((std::string(c.restriction) == "keep" || c.bus == Bus::Granting) && !aThreadMayRunRealtime()) {
        GTEST_SKIP() << "this process may not choose real-time scheduling, so neither the probe nor "
                        "the stand-in service can be granted it";
    }
    std::unique_ptr<PrivateBus> bus;
    std::unique_ptr<StandInRealtimeKit> service;
    std::string address = "unix:path=/nonexistent/lumora-no-bus";
    if (c.bus != Bus::None) {
        bus = std::make_unique<PrivateBus>();
        ASSERT_FALSE(bus->address().empty()) << "dbus-daemon did not start";
        address = bus->address();
    }
    if (c.bus == Bus::Granting || c.bus == Bus::Refusing || c.bus == Bus::Hung) {
        service = std::make_unique<StandInRealtimeKit>(address, answerOf(c.bus), c.serviceMaximum,
                                                       kServiceRunTimeMaximum);
        ASSERT_TRUE(service->serving());
    }

    Probed probed;
    const int status = probe(address, probed);
    if (status == kCannotRestrict) {
        GTEST_SKIP() << "this process may not set a real-time limit of " << c.restriction;
    }
    ASSERT_EQ(status, 0) << "the probe said: " << probed.said;

    EXPECT_EQ(probed.policy, c.policy);
    EXPECT_EQ(probed.priority, c.priority);
    // What the bus waits asked for, not how long they took: a hung service holds the first frame for
    // the half second's patience (and a slice for each of the few replies that end a wait early),
    // and CLOSE for one 10 ms slice at most.
    EXPECT_LE(probed.longestBusWait, 10'000);
    EXPECT_LE(probed.allBusWaits, 600'000);
    EXPECT_EQ(probed.replySlotsKept, 0) << "every reply slot is given back with its connection";
    const auto request = service ? service->request() : std::nullopt;
    if (c.asked == 0) {
        EXPECT_FALSE(request.has_value()) << "the service is asked only when the system refuses";
        return;
    }
    ASSERT_TRUE(request.has_value()) << "the service was asked";
    EXPECT_EQ(static_cast<long long>(request->thread), probed.thread) << "for the transmit thread";
    EXPECT_EQ(request->priority, c.asked);
    EXPECT_GE(probed.runTimeLimit, 0);
    EXPECT_LE(probed.runTimeLimit, kServiceRunTimeMaximum) << "within the service's run-time maximum";
}

INSTANTIATE_TEST_SUITE_P(Each, TransmitPriority, ::testing::ValuesIn(kCases),
                         [](const auto& each) { return std::string(each.param.name); });

// Once 49 is refused, the thread tries the real-time limit it is held to, which is the soft one.
TEST(FallbackPriority, IsTheSoftRealtimeLimitBelowTheChosenPriority) {
    const struct {
        rlim_t soft, hard;
        int tried;
    } rows[] = {{1, 1, 1},    {10, 20, 10}, {10, RLIM_INFINITY, 10},          {0, 20, 0},
                {48, 99, 48}, {49, 99, 0},  {RLIM_INFINITY, RLIM_INFINITY, 0}};
    for (const auto& row : rows) {
        EXPECT_EQ(fifoPriorityWithin(rlimit{row.soft, row.hard}), row.tried)
            << row.soft << " of " << row.hard;
    }
}

// CLOSE while the service sits on the request: the wait ends as soon as the thread is asked to stop.
TEST(RealtimeKitWait, EndsWhenTheThreadIsAskedToStop) {
    PrivateBus bus;
    StandInRealtimeKit service(bus.address(), StandInRealtimeKit::Answer::Never, 20, kServiceRunTimeMaximum);
    ASSERT_TRUE(service.serving());
    setenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address().c_str(), 1);
    std::atomic<int> stop{0};
    std::atomic<bool> returned{false};
    std::thread asking([&] { returned = !askRealtimeKit(gettid(), 49, 2 * kHangGuard, stop); });
    const bool asked = waitFor([&] { return service.request().has_value(); });
    stop = 1;
    EXPECT_TRUE(waitFor([&] { return returned.load(); })) << "still waiting after being asked to stop";
    asking.join();
    unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    EXPECT_TRUE(asked);
}
