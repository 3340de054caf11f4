#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <systemd/sd-bus.h>
#include <thread>

namespace lumora::test {

// Plays the desktop's RealtimeKit service on a bus: owns its name, offers its two limits and
// records each thread it is asked to make real-time. A granting stand-in moves the thread to
// SCHED_RR itself, as the service does (which needs the privilege the test process has as root); a
// refusing one answers with an error, and a hung one never answers the request at all.
class StandInRealtimeKit {
public:
    enum class Answer { Grant, Refuse, Never };
    struct Request {
        std::uint64_t thread;
        std::uint32_t priority;
    };

    StandInRealtimeKit(const std::string& busAddress, Answer answer, std::int32_t maxPriority,
                       std::int64_t maxRunTimeMicroseconds);
    ~StandInRealtimeKit();
    StandInRealtimeKit(const StandInRealtimeKit&) = delete;
    StandInRealtimeKit& operator=(const StandInRealtimeKit&) = delete;

    // True once the name is ours and requests are being served.
    bool serving() const { return thread_.joinable(); }
    std::optional<Request> request() const;

private:
    static int onMakeThreadRealtime(sd_bus_message* call, void* self, sd_bus_error* error);
    static int offerMaxPriority(sd_bus* bus, const char* path, const char* interface, const char* property,
                                sd_bus_message* reply, void* self, sd_bus_error* error);
    static int offerMaxRunTime(sd_bus* bus, const char* path, const char* interface, const char* property,
                               sd_bus_message* reply, void* self, sd_bus_error* error);
    void serve();

    const Answer answer_;
    const std::int32_t maxPriority_;
    const std::int64_t maxRunTime_;
    sd_bus* bus_ = nullptr;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::optional<Request> request_;
    std::thread thread_;
};

} // namespace lumora::test
