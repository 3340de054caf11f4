#include "simulated/SimulatedAdapter.h"

#include <algorithm>
#include <thread>

namespace lumora::hw {

namespace {

constexpr std::uint32_t kVendorProductId = 0x04036001; // FTDI's vendor id and the FT232R's product id
constexpr std::uint32_t kFlagOpened = 1;
constexpr long long kBaseClock = 3'000'000;

long long baudForDivisor(std::uint16_t divisor) {
    // The chip reserves divisors 0 and 1 for its two fastest rates.
    if (divisor == 0) {
        return kBaseClock;
    }
    if (divisor == 1) {
        return 2'000'000;
    }
    return kBaseClock / divisor;
}

} // namespace

struct SimulatedAdapter::Device {
    SimulatedDevice info;
    bool plugged = true;
    bool open = false;
    long long baud = 9600;
    int dataBits = 8;
    int stopBits = 1;
    bool parity = false;
    Clock::duration writeTimeout = Clock::duration::zero();
    Clock::time_point lineFreeAt;

    Clock::duration byteTime() const {
        const long long bits = 1 + dataBits + (parity ? 1 : 0) + stopBits;
        return std::chrono::duration_cast<Clock::duration>(
            std::chrono::nanoseconds(bits * 1'000'000'000LL / baud));
    }
};

SimulatedAdapter::SimulatedAdapter(Timing timing)
    : timing_(timing) {}

SimulatedAdapter::SimulatedAdapter()
    : SimulatedAdapter(Timing{}) {}

SimulatedAdapter::~SimulatedAdapter() = default;

void SimulatedAdapter::attach(const SimulatedDevice& device) {
    auto entry = std::make_shared<Device>();
    entry->info = device;
    std::lock_guard lock(mutex_);
    attached_.push_back(std::move(entry));
}

void SimulatedAdapter::unplug(int position) {
    std::lock_guard lock(mutex_);
    unplugLocked(position);
}

void SimulatedAdapter::unplugAt(int position, Clock::time_point when) {
    std::lock_guard lock(mutex_);
    pendingUnplugs_.push_back({position, when});
}

void SimulatedAdapter::failCall(Operation operation, int nthCall, DriverStatus status) {
    std::lock_guard lock(mutex_);
    failures_.push_back({operation, nthCall, status});
}

void SimulatedAdapter::cutWrite(int nthCall, std::size_t taken) {
    std::lock_guard lock(mutex_);
    cuts_.push_back({nthCall, taken});
}

void SimulatedAdapter::stallCall(Operation operation, int nthCall, Clock::duration longest) {
    std::lock_guard lock(mutex_);
    stalls_.push_back({operation, nthCall, longest});
}

void SimulatedAdapter::releaseStalls() {
    {
        std::lock_guard lock(mutex_);
        stalls_.clear();
        stalledThreads_.clear();
    }
    stallReleased_.notify_all();
}

int SimulatedAdapter::stalledCallCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(stalledThreads_.size());
}

int SimulatedAdapter::callsStarted(Operation operation) const {
    std::lock_guard lock(mutex_);
    return callCounts_[static_cast<std::size_t>(operation)];
}

std::size_t SimulatedAdapter::openHandleCount() const {
    std::lock_guard lock(mutex_);
    return openHandles_.size();
}

void SimulatedAdapter::observeCalls(CallObserver observer) {
    auto shared = observer ? std::make_shared<const CallObserver>(std::move(observer)) : nullptr;
    std::lock_guard lock(mutex_);
    observer_ = std::move(shared);
}

void SimulatedAdapter::keepCallRecord(bool keep) {
    std::lock_guard lock(mutex_);
    keepRecord_ = keep;
}

std::vector<DriverCall> SimulatedAdapter::calls() const {
    std::lock_guard lock(mutex_);
    return record_;
}

std::size_t SimulatedAdapter::callCount(Operation operation) const {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(
        std::count_if(record_.begin(), record_.end(),
                      [operation](const DriverCall& call) { return call.operation == operation; }));
}

void SimulatedAdapter::clearCalls() {
    std::lock_guard lock(mutex_);
    record_.clear();
}

DriverCall SimulatedAdapter::begin(Operation operation, DeviceHandle handle,
                                   std::array<std::uint32_t, 3> arguments) {
    DriverCall call;
    call.operation = operation;
    call.handle = handle;
    call.arguments = arguments;
    call.thread = std::this_thread::get_id();
    call.started = Clock::now();

    std::lock_guard lock(mutex_);
    applyDueUnplugsLocked(call.started);
    const int nth = ++callCounts_[static_cast<std::size_t>(operation)];
    for (const InjectedFailure& failure : failures_) {
        if (failure.operation == operation && failure.nthCall == nth) {
            call.status = failure.status;
        }
    }
    for (const InjectedCut& cut : cuts_) {
        if (operation == Operation::Write && cut.nthCall == nth) {
            call.takeLimit = cut.taken;
        }
    }
    for (const InjectedStall& stall : stalls_) {
        if (stall.operation == operation && stall.nthCall == nth) {
            // Counted as stalled from here, so a release during the request latency is not lost.
            const Clock::duration timeout = writeTimeoutLocked(handle);
            const bool timesOut = timeout > Clock::duration::zero() && timeout < stall.longest;
            call.stallLimit = timesOut ? timeout : stall.longest;
            stalledThreads_.insert(call.thread);
        }
    }
    return call;
}

void SimulatedAdapter::waitOutStall(DriverCall& call) {
    std::unique_lock lock(mutex_);
    const bool released = stallReleased_.wait_for(lock, call.stallLimit,
                                                  [&] { return !stalledThreads_.contains(call.thread); });
    stalledThreads_.erase(call.thread);
    if (!released && call.stallLimit == writeTimeoutLocked(call.handle)) {
        call.status = DriverStatus::IoError;
    }
}

SimulatedAdapter::Clock::duration SimulatedAdapter::writeTimeoutLocked(DeviceHandle handle) const {
    const auto found = openHandles_.find(reinterpret_cast<std::uintptr_t>(handle));
    return found == openHandles_.end() ? Clock::duration::zero() : found->second->writeTimeout;
}

DriverStatus SimulatedAdapter::finish(DriverCall call, Clock::time_point until) {
    // A sleep may end early: MinGW's rounds to whole milliseconds of a coarser clock than
    // steady_clock. The modelled time is a floor, so sleep again until it has passed.
    while (Clock::now() < until) {
        std::this_thread::sleep_until(until);
    }
    if (call.stallLimit > Clock::duration::zero()) {
        waitOutStall(call);
    }
    call.finished = Clock::now();
    const DriverStatus status = call.status;
    std::shared_ptr<const CallObserver> observer;
    {
        std::lock_guard lock(mutex_);
        observer = observer_;
    }
    if (observer) {
        (*observer)(call);
    }
    std::lock_guard lock(mutex_);
    if (keepRecord_) {
        record_.push_back(std::move(call));
    }
    return status;
}

template <typename Change>
DriverStatus SimulatedAdapter::controlRequest(Operation operation, DeviceHandle handle,
                                              std::array<std::uint32_t, 3> arguments, Change change) {
    DriverCall call = begin(operation, handle, arguments);
    if (succeeded(call.status)) {
        std::lock_guard lock(mutex_);
        if (auto device = deviceForHandleLocked(handle, call.status)) {
            change(*device);
        }
    }
    const Clock::time_point arrives = call.started + timing_.requestLatency;
    return finish(std::move(call), arrives);
}

DriverStatus SimulatedAdapter::createDeviceList(std::uint32_t& count) {
    DriverCall call = begin(Operation::CreateDeviceList, nullptr, {});
    count = 0;
    if (succeeded(call.status)) {
        std::lock_guard lock(mutex_);
        listed_ = attached_;
        count = static_cast<std::uint32_t>(listed_.size());
    }
    const Clock::time_point arrives = call.started + timing_.requestLatency;
    return finish(std::move(call), arrives);
}

DriverStatus SimulatedAdapter::getDeviceList(std::span<DeviceRecord> storage, std::uint32_t& count) {
    DriverCall call =
        begin(Operation::GetDeviceList, nullptr, {static_cast<std::uint32_t>(storage.size()), 0, 0});
    if (succeeded(call.status)) {
        std::lock_guard lock(mutex_);
        const std::size_t copied = std::min(storage.size(), listed_.size());
        for (std::size_t i = 0; i < copied; ++i) {
            const Device& device = *listed_[i];
            DeviceRecord record;
            record.flags = device.open ? kFlagOpened : 0;
            record.type = device.info.type;
            record.id = kVendorProductId;
            record.locationId = static_cast<std::uint32_t>(i + 1);
            setFieldText(record.serialNumber, device.info.serialNumber);
            setFieldText(record.description, device.info.description);
            storage[i] = record;
        }
        count = static_cast<std::uint32_t>(listed_.size());
    }
    const Clock::time_point arrives = call.started + timing_.requestLatency;
    return finish(std::move(call), arrives);
}

DriverStatus SimulatedAdapter::open(int position, DeviceHandle& handle) {
    DriverCall call = begin(Operation::Open, nullptr, {static_cast<std::uint32_t>(position), 0, 0});
    handle = nullptr;
    if (!succeeded(call.status)) {
        handle = reinterpret_cast<DeviceHandle>(std::uintptr_t{0xDEAD});
    } else {
        std::lock_guard lock(mutex_);
        if (position < 0 || static_cast<std::size_t>(position) >= attached_.size()) {
            call.status = DriverStatus::DeviceNotFound;
        } else if (attached_[static_cast<std::size_t>(position)]->open) {
            call.status = DriverStatus::DeviceNotOpened;
        } else {
            const std::uintptr_t id = nextHandle_++;
            const auto& device = attached_[static_cast<std::size_t>(position)];
            device->open = true;
            device->writeTimeout = Clock::duration::zero();
            openHandles_[id] = device;
            handle = reinterpret_cast<DeviceHandle>(id);
            call.handle = handle;
        }
    }
    const Clock::time_point arrives = call.started + timing_.requestLatency;
    return finish(std::move(call), arrives);
}

DriverStatus SimulatedAdapter::resetDevice(DeviceHandle handle) {
    return controlRequest(Operation::ResetDevice, handle, {}, [](Device& device) {
        device.baud = 9600;
        device.dataBits = 8;
        device.stopBits = 1;
        device.parity = false;
    });
}

DriverStatus SimulatedAdapter::setDivisor(DeviceHandle handle, std::uint16_t divisor) {
    return controlRequest(Operation::SetDivisor, handle, {divisor, 0, 0},
                          [divisor](Device& device) { device.baud = baudForDivisor(divisor); });
}

DriverStatus SimulatedAdapter::setDataCharacteristics(DeviceHandle handle, std::uint8_t wordLength,
                                                      std::uint8_t stopBits, std::uint8_t parity) {
    return controlRequest(Operation::SetDataCharacteristics, handle, {wordLength, stopBits, parity},
                          [=](Device& device) {
                              device.dataBits = wordLength;
                              device.stopBits = stopBits == kStopBits2 ? 2 : 1;
                              device.parity = parity != kParityNone;
                          });
}

DriverStatus SimulatedAdapter::setFlowControl(DeviceHandle handle, std::uint16_t flowControl,
                                              std::uint8_t xon, std::uint8_t xoff) {
    return controlRequest(Operation::SetFlowControl, handle, {flowControl, xon, xoff}, [](Device&) {});
}

DriverStatus SimulatedAdapter::clearRts(DeviceHandle handle) {
    return controlRequest(Operation::ClearRts, handle, {}, [](Device&) {});
}

DriverStatus SimulatedAdapter::purge(DeviceHandle handle, std::uint32_t mask) {
    return controlRequest(Operation::Purge, handle, {mask, 0, 0}, [](Device&) {});
}

DriverStatus SimulatedAdapter::setTimeouts(DeviceHandle handle, std::uint32_t readTimeout,
                                           std::uint32_t writeTimeout) {
    return controlRequest(
        Operation::SetTimeouts, handle, {readTimeout, writeTimeout, 0},
        [writeTimeout](Device& device) { device.writeTimeout = std::chrono::milliseconds(writeTimeout); });
}

DriverStatus SimulatedAdapter::setBreakOn(DeviceHandle handle) {
    return controlRequest(Operation::SetBreakOn, handle, {}, [](Device&) {});
}

DriverStatus SimulatedAdapter::setBreakOff(DeviceHandle handle) {
    return controlRequest(Operation::SetBreakOff, handle, {}, [](Device&) {});
}

DriverStatus SimulatedAdapter::write(DeviceHandle handle, std::span<const std::uint8_t> bytes,
                                     std::uint32_t& written) {
    DriverCall call = begin(Operation::Write, handle, {static_cast<std::uint32_t>(bytes.size()), 0, 0});
    const std::size_t taken = std::min(bytes.size(), call.takeLimit);
    call.data.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(taken));
    written = 0;
    const Clock::time_point arrives = call.started + timing_.requestLatency;
    Clock::time_point returns = arrives;
    if (succeeded(call.status)) {
        std::lock_guard lock(mutex_);
        if (auto device = deviceForHandleLocked(handle, call.status)) {
            const Clock::duration byteTime = device->byteTime();
            const auto count = static_cast<Clock::rep>(taken);
            const auto buffered = static_cast<Clock::rep>(timing_.transmitBufferBytes);
            call.wireStart = std::max(arrives, device->lineFreeAt);
            call.byteTime = byteTime;
            device->lineFreeAt = call.wireStart + count * byteTime;
            // The last byte gets into the buffer once the byte `buffered` places ahead of it has
            // moved on to the line.
            returns = std::max(arrives, call.wireStart + (count - 1 - buffered) * byteTime);
            written = static_cast<std::uint32_t>(taken);
        }
    }
    const DriverStatus status = finish(std::move(call), returns);
    // A write given up at its timeout reports nothing taken.
    written = succeeded(status) ? written : 0;
    return status;
}

DriverStatus SimulatedAdapter::close(DeviceHandle handle) {
    DriverCall call = begin(Operation::Close, handle, {});
    {
        std::lock_guard lock(mutex_);
        const auto found = openHandles_.find(reinterpret_cast<std::uintptr_t>(handle));
        if (found == openHandles_.end()) {
            call.status = succeeded(call.status) ? DriverStatus::InvalidHandle : call.status;
        } else {
            // The handle is gone whatever the close reports, as with the real drivers.
            found->second->open = false;
            openHandles_.erase(found);
        }
    }
    const Clock::time_point arrives = call.started + timing_.requestLatency;
    return finish(std::move(call), arrives);
}

void SimulatedAdapter::applyDueUnplugsLocked(Clock::time_point now) {
    const auto due = std::stable_partition(pendingUnplugs_.begin(), pendingUnplugs_.end(),
                                           [now](const PendingUnplug& unplug) { return unplug.when > now; });
    std::vector<PendingUnplug> fired(due, pendingUnplugs_.end());
    pendingUnplugs_.erase(due, pendingUnplugs_.end());
    for (const PendingUnplug& unplug : fired) {
        unplugLocked(unplug.position);
    }
}

void SimulatedAdapter::unplugLocked(int position) {
    if (position < 0 || static_cast<std::size_t>(position) >= attached_.size()) {
        return;
    }
    const auto at = attached_.begin() + position;
    (*at)->plugged = false;
    attached_.erase(at);
}

std::shared_ptr<SimulatedAdapter::Device>
SimulatedAdapter::deviceForHandleLocked(DeviceHandle handle, DriverStatus& status) const {
    const auto found = openHandles_.find(reinterpret_cast<std::uintptr_t>(handle));
    if (found == openHandles_.end()) {
        status = DriverStatus::InvalidHandle;
        return nullptr;
    }
    if (!found->second->plugged) {
        status = DriverStatus::IoError;
        return nullptr;
    }
    return found->second;
}

} // namespace lumora::hw
