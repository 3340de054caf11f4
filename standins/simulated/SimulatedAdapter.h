#pragma once

#include "hw/FtdiDriver.h"
#include "simulated/DriverCall.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace lumora::hw {

struct SimulatedDevice {
    std::string description = "FT232R USB UART";
    std::uint32_t type = static_cast<std::uint32_t>(DeviceType::Ft232R);
    std::string serialNumber = "SIM00001";
};

// An in-process stand-in for FTDI adapters and their driver, for tests, benchmarks and trying the
// console without hardware. It keeps a list of attached devices, fails chosen calls on request,
// models the time USB requests and the serial line take, and records every call.
//
// Timing model: every request takes `requestLatency` to reach the adapter. Written bytes then enter
// a transmit buffer of `transmitBufferBytes` that drains onto the line at the configured baud rate,
// each byte framed by one start bit, the data bits, a parity bit if any and the stop bits; a write
// returns once its last byte is in that buffer. Break on and off take effect when their requests
// arrive.
//
// Thread-safe: every member may be called from any thread.
class SimulatedAdapter final : public FtdiDriver {
public:
    using Clock = std::chrono::steady_clock;
    // Sees each call once it has finished, on the thread that made it and outside the adapter's
    // lock, so it may call the adapter again. Calls from several threads may reach it at the same
    // time. It must not throw.
    using CallObserver = std::function<void(const DriverCall&)>;

    struct Timing {
        Clock::duration requestLatency = std::chrono::microseconds(500);
        std::size_t transmitBufferBytes = 128;
    };

    explicit SimulatedAdapter(Timing timing);
    SimulatedAdapter();
    ~SimulatedAdapter() override;
    SimulatedAdapter(const SimulatedAdapter&) = delete;
    SimulatedAdapter& operator=(const SimulatedAdapter&) = delete;

    // Adds a device at the end of the driver's list.
    void attach(const SimulatedDevice& device);
    // Removes the device at a list position: later devices move up, and calls on its open handle
    // fail with an I/O error from then on.
    void unplug(int position);
    // The same, carried out by the first call made at or after `when`.
    void unplugAt(int position, Clock::time_point when);
    // Makes the nth call (counted from 1 over the adapter's life) of an operation fail with status.
    // A failed Open still hands back a non-null handle, as some drivers do; a failed Close still
    // lets go of the device, as the drivers' own close does.
    void failCall(Operation operation, int nthCall, DriverStatus status);
    // Makes the nth write (counted as failCall counts) take only its first `taken` bytes and report
    // that count, with success, as a driver whose write ran out of time may.
    void cutWrite(int nthCall, std::size_t taken);
    // Makes the nth call of an operation stall, as an adapter that stops answering does: the call
    // has its effect but does not return until releaseStalls() or until `longest` has passed. A write
    // timeout set on its handle (setTimeouts, 0 for none) ends the stall sooner, and the call then
    // fails with an I/O error.
    void stallCall(Operation operation, int nthCall, Clock::duration longest);
    // Lets every stalled call return at once and drops the stalls still to come.
    void releaseStalls();
    // How many calls have started and will not return until released or timed out.
    int stalledCallCount() const;
    // How many calls of an operation have started over the adapter's life, finished or not: the
    // count that failCall and stallCall number their nth call by.
    int callsStarted(Operation operation) const;
    // How many handles are open: an open that succeeded and no close for it yet.
    std::size_t openHandleCount() const;

    // Replaces the observer; an empty one stops observing. Calls already past the point where they
    // look for an observer still reach the one they found.
    void observeCalls(CallObserver observer);
    // Whether finished calls are kept for calls() and callCount(), as they are by default. An adapter
    // that runs for hours behind an observer keeps none, so that its memory stays flat.
    void keepCallRecord(bool keep);

    std::vector<DriverCall> calls() const;
    std::size_t callCount(Operation operation) const;
    void clearCalls();

    DriverStatus createDeviceList(std::uint32_t& count) override;
    DriverStatus getDeviceList(std::span<DeviceRecord> storage, std::uint32_t& count) override;
    DriverStatus open(int position, DeviceHandle& handle) override;
    DriverStatus resetDevice(DeviceHandle handle) override;
    DriverStatus setDivisor(DeviceHandle handle, std::uint16_t divisor) override;
    DriverStatus setDataCharacteristics(DeviceHandle handle, std::uint8_t wordLength, std::uint8_t stopBits,
                                        std::uint8_t parity) override;
    DriverStatus setFlowControl(DeviceHandle handle, std::uint16_t flowControl, std::uint8_t xon,
                                std::uint8_t xoff) override;
    DriverStatus clearRts(DeviceHandle handle) override;
    DriverStatus purge(DeviceHandle handle, std::uint32_t mask) override;
    DriverStatus setTimeouts(DeviceHandle handle, std::uint32_t readTimeout,
                             std::uint32_t writeTimeout) override;
    DriverStatus setBreakOn(DeviceHandle handle) override;
    DriverStatus setBreakOff(DeviceHandle handle) override;
    DriverStatus write(DeviceHandle handle, std::span<const std::uint8_t> bytes,
                       std::uint32_t& written) override;
    DriverStatus close(DeviceHandle handle) override;

private:
    struct Device;
    struct PendingUnplug {
        int position;
        Clock::time_point when;
    };
    struct InjectedFailure {
        Operation operation;
        int nthCall;
        DriverStatus status;
    };
    struct InjectedCut {
        int nthCall;
        std::size_t taken;
    };
    struct InjectedStall {
        Operation operation;
        int nthCall;
        Clock::duration longest;
    };

    // Starts a call: applies due unplugs, counts the call and tells whether it must fail or stall.
    DriverCall begin(Operation operation, DeviceHandle handle, std::array<std::uint32_t, 3> arguments);
    // Waits out the request latency and any stall, stamps the call, shows it to the observer and
    // records it.
    DriverStatus finish(DriverCall call, Clock::time_point until);
    void waitOutStall(DriverCall& call);
    // The handle's write timeout; zero for none or for a handle not open.
    Clock::duration writeTimeoutLocked(DeviceHandle handle) const;
    // A control request on an open handle that applies `change` to the device once it arrives.
    template <typename Change>
    DriverStatus controlRequest(Operation operation, DeviceHandle handle,
                                std::array<std::uint32_t, 3> arguments, Change change);
    void applyDueUnplugsLocked(Clock::time_point now);
    void unplugLocked(int position);
    std::shared_ptr<Device> deviceForHandleLocked(DeviceHandle handle, DriverStatus& status) const;

    const Timing timing_;
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<Device>> attached_;
    std::vector<std::shared_ptr<Device>> listed_;
    std::map<std::uintptr_t, std::shared_ptr<Device>> openHandles_;
    std::uintptr_t nextHandle_ = 0x1000;
    std::vector<PendingUnplug> pendingUnplugs_;
    std::vector<InjectedFailure> failures_;
    std::vector<InjectedCut> cuts_;
    std::vector<InjectedStall> stalls_;
    std::condition_variable stallReleased_;
    // The threads whose call is stalled; a thread has at most one call in progress.
    std::set<std::thread::id> stalledThreads_;
    std::array<int, kOperationCount> callCounts_ = {};
    std::vector<DriverCall> record_;
    bool keepRecord_ = true;
    std::shared_ptr<const CallObserver> observer_;
};

} // namespace lumora::hw
