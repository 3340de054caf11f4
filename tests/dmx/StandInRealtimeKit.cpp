#include "StandInRealtimeKit.h"

#include <sched.h>

namespace lumora::test {

namespace {

constexpr const char* kName = "org.freedesktop.RealtimeKit1";
constexpr const char* kObject = "/org/freedesktop/RealtimeKit1";
// How often the serving thread looks for the end of the test while the bus is quiet.
constexpr std::uint64_t kQuietSliceMicroseconds = 20'000;
// What the service grants: round-robin real-time, which the thread's children do not inherit.
constexpr int kGrantedPolicy = SCHED_RR | SCHED_RESET_ON_FORK;

} // namespace

StandInRealtimeKit::StandInRealtimeKit(const std::string& busAddress, Answer answer, std::int32_t maxPriority,
                                       std::int64_t maxRunTimeMicroseconds)
    : answer_(answer)
    , maxPriority_(maxPriority)
    , maxRunTime_(maxRunTimeMicroseconds) {
    static const sd_bus_vtable vtable[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("MakeThreadRealtime", "tu", "", &StandInRealtimeKit::onMakeThreadRealtime,
                      SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_PROPERTY("MaxRealtimePriority", "i", &StandInRealtimeKit::offerMaxPriority, 0,
                        SD_BUS_VTABLE_PROPERTY_CONST),
        SD_BUS_PROPERTY("RTTimeUSecMax", "x", &StandInRealtimeKit::offerMaxRunTime, 0,
                        SD_BUS_VTABLE_PROPERTY_CONST),
        SD_BUS_VTABLE_END};
    if (sd_bus_new(&bus_) < 0 || sd_bus_set_address(bus_, busAddress.c_str()) < 0 ||
        sd_bus_set_bus_client(bus_, 1) < 0 || sd_bus_start(bus_) < 0 ||
        sd_bus_add_object_vtable(bus_, nullptr, kObject, kName, vtable, this) < 0 ||
        sd_bus_request_name(bus_, kName, 0) < 0) {
        return;
    }
    thread_ = std::thread(&StandInRealtimeKit::serve, this);
}

StandInRealtimeKit::~StandInRealtimeKit() {
    stop_.store(true);
    if (thread_.joinable()) {
        thread_.join();
    }
    sd_bus_close_unref(bus_);
}

std::optional<StandInRealtimeKit::Request> StandInRealtimeKit::request() const {
    std::lock_guard lock(mutex_);
    return request_;
}

void StandInRealtimeKit::serve() {
    while (!stop_.load()) {
        const int handled = sd_bus_process(bus_, nullptr);
        if (handled < 0) {
            return;
        }
        if (handled == 0) {
            sd_bus_wait(bus_, kQuietSliceMicroseconds);
        }
    }
}

int StandInRealtimeKit::onMakeThreadRealtime(sd_bus_message* call, void* self, sd_bus_error*) {
    auto* service = static_cast<StandInRealtimeKit*>(self);
    Request request{};
    if (sd_bus_message_read(call, "tu", &request.thread, &request.priority) < 0) {
        return sd_bus_reply_method_errorf(call, SD_BUS_ERROR_INVALID_ARGS,
                                          "expected a thread and a priority");
    }
    {
        std::lock_guard lock(service->mutex_);
        service->request_ = request;
    }
    if (service->answer_ == Answer::Never) {
        return 1; // handled, with no reply ever sent
    }
    sched_param parameter{};
    parameter.sched_priority = static_cast<int>(request.priority);
    if (service->answer_ == Answer::Refuse ||
        sched_setscheduler(static_cast<pid_t>(request.thread), kGrantedPolicy, &parameter) != 0) {
        return sd_bus_reply_method_errorf(call, SD_BUS_ERROR_ACCESS_DENIED, "not granted");
    }
    return sd_bus_reply_method_return(call, "");
}

int StandInRealtimeKit::offerMaxPriority(sd_bus*, const char*, const char*, const char*,
                                         sd_bus_message* reply, void* self, sd_bus_error*) {
    return sd_bus_message_append(reply, "i", static_cast<StandInRealtimeKit*>(self)->maxPriority_);
}

int StandInRealtimeKit::offerMaxRunTime(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply,
                                        void* self, sd_bus_error*) {
    return sd_bus_message_append(reply, "x", static_cast<StandInRealtimeKit*>(self)->maxRunTime_);
}

} // namespace lumora::test
