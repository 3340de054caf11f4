#include "platform/RealtimeKit.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <sys/resource.h>
#include <systemd/sd-bus.h>

namespace lumora {

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kService = "org.freedesktop.RealtimeKit1";
constexpr const char* kObject = "/org/freedesktop/RealtimeKit1";
// How long one wait on the bus lasts before the caller's wish to give up is looked at again.
constexpr std::chrono::milliseconds kWaitSlice{10};

struct BusCloser {
    void operator()(sd_bus* bus) const { sd_bus_close_unref(bus); }
};
struct MessageReleaser {
    void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};
using Bus = std::unique_ptr<sd_bus, BusCloser>;
using Message = std::unique_ptr<sd_bus_message, MessageReleaser>;

std::uint64_t microseconds(Clock::duration duration) {
    const auto count = std::chrono::duration_cast<std::chrono::microseconds>(duration).count();
    return count > 0 ? static_cast<std::uint64_t>(count) : 1;
}

// One conversation with the service, bounded by a deadline and by the caller giving up. The bus is
// never waited on for longer than a slice, so a hung bus holds nobody.
class Conversation {
public:
    Conversation(sd_bus* bus, Clock::time_point deadline, const std::atomic<int>& giveUp)
        : bus_(bus)
        , deadline_(deadline)
        , giveUp_(giveUp) {}

    Message newCall(const char* interface, const char* member) const {
        sd_bus_message* call = nullptr;
        if (sd_bus_message_new_method_call(bus_, &call, kService, kObject, interface, member) < 0) {
            return nullptr;
        }
        return Message(call);
    }

    // Sends the call and waits for its reply; null on an error reply, a broken bus, the deadline or
    // the caller giving up.
    Message exchange(sd_bus_message* call) const {
        Pending pending;
        sd_bus_slot* slot = nullptr;
        if (sd_bus_call_async(bus_, &slot, call, &Conversation::onReply, &pending,
                              microseconds(deadline_ - Clock::now())) < 0) {
            return nullptr;
        }
        while (!pending.answered && giveUp_.load() == 0) {
            const auto now = Clock::now();
            if (now >= deadline_) {
                break;
            }
            const int progressed = sd_bus_process(bus_, nullptr);
            if (progressed < 0) {
                break;
            }
            if (progressed == 0) {
                sd_bus_wait(bus_, microseconds(std::min<Clock::duration>(kWaitSlice, deadline_ - now)));
            }
        }
        // Unhooks the reply handler, so that a late reply never reaches the finished wait.
        sd_bus_slot_unref(slot);
        return std::move(pending.reply);
    }

    template <typename Value> bool readProperty(const char* name, char type, Value& value) const {
        Message call = newCall("org.freedesktop.DBus.Properties", "Get");
        if (!call || sd_bus_message_append(call.get(), "ss", kService, name) < 0) {
            return false;
        }
        const char contents[] = {type, '\0'};
        Message reply = exchange(call.get());
        return reply && sd_bus_message_enter_container(reply.get(), 'v', contents) > 0 &&
               sd_bus_message_read_basic(reply.get(), type, &value) > 0;
    }

private:
    struct Pending {
        bool answered = false;
        Message reply;
    };

    static int onReply(sd_bus_message* reply, void* userdata, sd_bus_error*) {
        auto* pending = static_cast<Pending*>(userdata);
        pending->answered = true;
        if (sd_bus_message_is_method_error(reply, nullptr) == 0) {
            pending->reply.reset(sd_bus_message_ref(reply));
        }
        return 0;
    }

    sd_bus* bus_;
    Clock::time_point deadline_;
    const std::atomic<int>& giveUp_;
};

// Keeps the process's real-time CPU budget (the time a real-time thread may run without blocking)
// within the service's maximum; a limit already lower stays. The service refuses any process whose
// hard limit is above its maximum, so the hard limit is lowered too: that holds for the whole
// process and for good, as only a privileged process may raise a hard limit again.
bool limitRealtimeRunTime(std::int64_t maximumMicroseconds) {
    rlimit limit{};
    if (getrlimit(RLIMIT_RTTIME, &limit) != 0) {
        return false;
    }
    const auto maximum = static_cast<rlim_t>(maximumMicroseconds);
    limit.rlim_max = std::min(limit.rlim_max, maximum);
    limit.rlim_cur = std::min(limit.rlim_cur, limit.rlim_max);
    return setrlimit(RLIMIT_RTTIME, &limit) == 0;
}

} // namespace

bool askRealtimeKit(pid_t thread, int priority, std::chrono::milliseconds patience,
                    const std::atomic<int>& giveUp) noexcept {
    sd_bus* opened = nullptr;
    if (sd_bus_open_system(&opened) < 0) {
        return false;
    }
    Bus bus(opened);
    const Conversation conversation(bus.get(), Clock::now() + patience, giveUp);

    std::int32_t highestPriority = 0;
    std::int64_t runTimeMaximum = 0;
    if (!conversation.readProperty("MaxRealtimePriority", 'i', highestPriority) || highestPriority < 1 ||
        !conversation.readProperty("RTTimeUSecMax", 'x', runTimeMaximum) || runTimeMaximum < 1 ||
        !limitRealtimeRunTime(runTimeMaximum)) {
        return false;
    }
    Message call = conversation.newCall(kService, "MakeThreadRealtime");
    if (!call || sd_bus_message_append(call.get(), "tu", static_cast<std::uint64_t>(thread),
                                       static_cast<std::uint32_t>(std::min(priority, highestPriority))) < 0) {
        return false;
    }
    return conversation.exchange(call.get()) != nullptr;
}

} // namespace lumora
